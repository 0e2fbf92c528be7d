#include "Definition.h"

#include "Classes.h"
#include "ComponentMembers.h"
#include "Controls.h"
#include "Exceptions.h"
#include "Forms.h"
#include "Graphics.h"
#include "TypeInfo.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <map>
#include <mutex>

void RegisterStandardClasses();

namespace {
// Only ASCII digits count: QChar::isDigit also takes the digits of other scripts.
bool IsDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }
bool IsHexDigit(QChar c) {
  const char16_t lower = c.unicode() | 0x20;
  return IsDigit(c) || (lower >= 'a' && lower <= 'f');
}
}  // namespace

// ---------------------------------------------------------------- parsing

namespace {

struct Token {
  enum Kind { End, Ident, Integer, Float, String, Symbol, Bytes };
  Kind kind = End;
  QString text;
  qint64 integer = 0;
  double number = 0;
  QByteArray bytes;
  int line = 0;
};

class Parser {
public:
  Parser(const QString& text, const QString& origin) : FText(text), FOrigin(origin) { Next(); }

  TDefObject ParseRoot() {
    TDefObject root = ParseObject();
    if (FToken.kind != Token::End) Fail(FToken.line, QStringLiteral("text after the final 'end'"));
    return root;
  }

private:
  [[noreturn]] void Fail(int line, const QString& what) const {
    throw EDefinitionError(QStringLiteral("%1, line %2: %3").arg(FOrigin).arg(line).arg(what));
  }

  bool IsSymbol(const char* s) const { return FToken.kind == Token::Symbol && FToken.text == QLatin1String(s); }
  bool IsWord(const char* w) const {
    return FToken.kind == Token::Ident && FToken.text.compare(QLatin1String(w), Qt::CaseInsensitive) == 0;
  }

  void Expect(const char* symbol) {
    if (!IsSymbol(symbol)) Fail(FToken.line, QStringLiteral("'%1' expected").arg(QLatin1String(symbol)));
    Next();
  }

  QString ExpectIdent(const QString& what) {
    if (FToken.kind != Token::Ident) Fail(FToken.line, QStringLiteral("%1 expected").arg(what));
    QString s = FToken.text;
    Next();
    return s;
  }

  TDefObject ParseObject() {
    TDefObject obj;
    obj.line = FToken.line;
    if (!IsWord("object")) Fail(FToken.line, QStringLiteral("'object' expected"));
    Next();
    obj.name = ExpectIdent(QStringLiteral("a component name"));
    Expect(":");
    obj.className = ExpectIdent(QStringLiteral("a class name"));
    while (true) {
      if (FToken.kind == Token::End) Fail(obj.line, QStringLiteral("object %1 has no 'end'").arg(obj.name));
      if (IsWord("end")) {
        Next();
        break;
      }
      if (IsWord("object")) {
        obj.children.push_back(ParseObject());
        obj.children.back().propertiesBefore = obj.properties.size();
        continue;
      }
      obj.properties.push_back(ParseProperty());
    }
    return obj;
  }

  TDefProperty ParseProperty() {
    TDefProperty p;
    p.line = FToken.line;
    p.name = ExpectIdent(QStringLiteral("a property name"));
    Expect("=");
    p.value = ParseValue();
    return p;
  }

  QString ParseStringExpr() {
    QString s;
    while (true) {
      if (FToken.kind != Token::String) Fail(FToken.line, QStringLiteral("a string expected"));
      s += FToken.text;
      Next();
      if (!IsSymbol("+")) break;
      Next();
    }
    return s;
  }

  TDefValue ParseValue() {
    TDefValue v;
    v.line = FToken.line;
    switch (FToken.kind) {
      case Token::Integer:
        v.kind = TDefValue::Integer;
        v.integer = FToken.integer;
        v.number = static_cast<double>(FToken.integer);
        Next();
        return v;
      case Token::Float:
        v.kind = TDefValue::Float;
        v.number = FToken.number;
        Next();
        return v;
      case Token::String:
        v.kind = TDefValue::String;
        v.text = ParseStringExpr();
        return v;
      case Token::Ident:
        v.kind = TDefValue::Ident;
        v.text = FToken.text;
        Next();
        return v;
      case Token::Bytes:
        v.kind = TDefValue::Bytes;
        v.bytes = FToken.bytes;
        Next();
        return v;
      default: break;
    }
    if (IsSymbol("-")) {
      Next();
      TDefValue n = ParseValue();
      if (n.kind == TDefValue::Integer)
        n.integer = -n.integer;
      else if (n.kind != TDefValue::Float)
        Fail(v.line, QStringLiteral("a number expected after '-'"));
      n.number = -n.number;
      return n;
    }
    if (IsSymbol("[")) {
      Next();
      v.kind = TDefValue::Set;
      while (!IsSymbol("]")) {
        v.names << ExpectIdent(QStringLiteral("a set member"));
        if (IsSymbol(","))
          Next();
        else if (!IsSymbol("]"))
          Fail(FToken.line, QStringLiteral("',' or ']' expected"));
      }
      Next();
      return v;
    }
    if (IsSymbol("(")) {
      Next();
      v.kind = TDefValue::List;
      while (!IsSymbol(")")) {
        if (FToken.kind == Token::End) Fail(v.line, QStringLiteral("')' expected"));
        v.items.push_back(ParseValue());
      }
      Next();
      return v;
    }
    if (IsSymbol("<")) {
      Next();
      v.kind = TDefValue::Collection;
      while (!IsSymbol(">")) {
        if (!IsWord("item")) Fail(FToken.line, QStringLiteral("'item' or '>' expected"));
        TDefValue::Item item;
        item.line = FToken.line;
        Next();
        while (!IsWord("end")) {
          if (FToken.kind == Token::End) Fail(item.line, QStringLiteral("item has no 'end'"));
          item.properties.push_back(ParseProperty());
        }
        Next();
        v.collection.push_back(std::move(item));
      }
      Next();
      return v;
    }
    if (IsSymbol("@")) {
      Next();
      if (FToken.kind != Token::String) Fail(FToken.line, QStringLiteral("a resource path expected after '@'"));
      v.kind = TDefValue::Resource;
      v.text = ParseStringExpr();
      return v;
    }
    Fail(FToken.line, FToken.kind == Token::End ? QStringLiteral("a value expected")
                                                : QStringLiteral("unexpected '%1'").arg(FToken.text));
  }

  // ---- tokenizer

  QChar Peek(qsizetype k = 0) const { return FPos + k < FText.size() ? FText[FPos + k] : QChar(0); }

  void Next() {
    SkipSpace();
    FToken = Token();
    FToken.line = FLine;
    if (FPos >= FText.size()) return;
    const QChar c = Peek();
    if (c.isLetter() || c == QLatin1Char('_')) {
      const qsizetype start = FPos;
      while (Peek().isLetterOrNumber() || Peek() == QLatin1Char('_') || Peek() == QLatin1Char('.') ||
             (Peek() == QLatin1Char('[') && IsIndexAhead()))
        if (Peek() == QLatin1Char('[')) {
          while (Peek() != QLatin1Char(']')) ++FPos;
          ++FPos;
        } else {
          ++FPos;
        }
      FToken.kind = Token::Ident;
      FToken.text = FText.mid(start, FPos - start);
      return;
    }
    if (IsDigit(c) || c == QLatin1Char('$')) {
      ReadNumber();
      return;
    }
    if (c == QLatin1Char('\'') || c == QLatin1Char('#')) {
      ReadString();
      return;
    }
    if (c == QLatin1Char('{')) {
      ReadBytes();
      return;
    }
    FToken.kind = Token::Symbol;
    FToken.text = QString(c);
    ++FPos;
    if (QStringLiteral("=:[](),<>+-@").indexOf(c) < 0) Fail(FLine, QStringLiteral("unexpected character '%1'").arg(c));
  }

  // "Columns[0]" inside a name: an index in brackets right after a letter.
  bool IsIndexAhead() const {
    qsizetype k = FPos + 1;
    bool digits = false;
    while (k < FText.size() && IsDigit(FText[k])) {
      ++k;
      digits = true;
    }
    return digits && k < FText.size() && FText[k] == QLatin1Char(']');
  }

  void SkipSpace() {
    while (FPos < FText.size()) {
      const QChar c = Peek();
      if (c == QLatin1Char('\n')) {
        ++FLine;
        ++FPos;
      } else if (c.isSpace()) {
        ++FPos;
      } else if (c == QLatin1Char('/') && Peek(1) == QLatin1Char('/')) {
        while (FPos < FText.size() && Peek() != QLatin1Char('\n')) ++FPos;
      } else {
        break;
      }
    }
  }

  void ReadNumber() {
    const qsizetype start = FPos;
    bool ok = false;
    if (Peek() == QLatin1Char('$')) {
      ++FPos;
      while (IsHexDigit(Peek())) ++FPos;
      FToken.kind = Token::Integer;
      FToken.integer = static_cast<qint64>(FText.mid(start + 1, FPos - start - 1).toULongLong(&ok, 16));
      if (!ok) Fail(FLine, QStringLiteral("bad hexadecimal number"));
      return;
    }
    while (IsDigit(Peek())) ++FPos;
    bool isFloat = false;
    if (Peek() == QLatin1Char('.') && IsDigit(Peek(1))) {
      isFloat = true;
      ++FPos;
      while (IsDigit(Peek())) ++FPos;
    }
    const bool sign = Peek(1) == QLatin1Char('-') || Peek(1) == QLatin1Char('+');
    const bool exponent = Peek() == QLatin1Char('e') || Peek() == QLatin1Char('E');
    if (exponent && (IsDigit(Peek(1)) || (sign && IsDigit(Peek(2))))) {
      isFloat = true;
      FPos += sign ? 2 : 1;
      while (IsDigit(Peek())) ++FPos;
    }
    const QString text = FText.mid(start, FPos - start);
    if (isFloat) {
      FToken.kind = Token::Float;
      FToken.number = text.toDouble(&ok);
    } else {
      FToken.kind = Token::Integer;
      FToken.integer = text.toLongLong(&ok);
    }
    if (!ok) Fail(FLine, QStringLiteral("bad number '%1'").arg(text));
  }

  void ReadString() {
    FToken.kind = Token::String;
    QString s;
    while (true) {
      if (Peek() == QLatin1Char('\'')) {
        ++FPos;
        while (true) {
          if (FPos >= FText.size() || Peek() == QLatin1Char('\n')) Fail(FLine, QStringLiteral("unterminated string"));
          if (Peek() == QLatin1Char('\'')) {
            if (Peek(1) == QLatin1Char('\'')) {
              s += QLatin1Char('\'');
              FPos += 2;
              continue;
            }
            ++FPos;
            break;
          }
          s += Peek();
          ++FPos;
        }
      } else if (Peek() == QLatin1Char('#')) {
        ++FPos;
        const qsizetype start = FPos;
        while (IsDigit(Peek())) ++FPos;
        bool ok = false;
        const uint code = FText.mid(start, FPos - start).toUInt(&ok);
        if (!ok || code > 0x10FFFF) Fail(FLine, QStringLiteral("bad character code"));
        // Below 256 a code is a byte of the system's code page, as a
        // single-byte designer writes it; from 256 up, a Unicode code point.
        if (code < 256)
          s += AnsiToText(QByteArray(1, static_cast<char>(code)));
        else
          s += QString::fromUcs4(reinterpret_cast<const char32_t*>(&code), 1);
      } else {
        break;
      }
    }
    FToken.text = s;
  }

  void ReadBytes() {
    const int line = FLine;
    ++FPos;
    QByteArray hex;
    while (true) {
      if (FPos >= FText.size()) Fail(line, QStringLiteral("'}' expected"));
      const QChar c = Peek();
      ++FPos;
      if (c == QLatin1Char('}')) break;
      if (c == QLatin1Char('\n')) ++FLine;
      if (c.isSpace()) continue;
      if (!IsHexDigit(c)) Fail(FLine, QStringLiteral("bad hex digit '%1'").arg(c));
      hex += static_cast<char>(c.unicode());
    }
    if (hex.size() % 2) Fail(line, QStringLiteral("odd number of hex digits"));
    FToken.kind = Token::Bytes;
    FToken.bytes = QByteArray::fromHex(hex);
  }

  QString FText;
  QString FOrigin;
  qsizetype FPos = 0;
  int FLine = 1;
  Token FToken;
};

}  // namespace

TDefObject ParseDefinition(const QString& text, const QString& origin) { return Parser(text, origin).ParseRoot(); }

// ---------------------------------------------------------------- registry

namespace {
std::map<QString, TComponentFactory>& Registry() {
  static std::map<QString, TComponentFactory> registry;
  return registry;
}
}  // namespace

void RegisterComponentClass(const QString& className, TComponentFactory factory) {
  Registry()[className.toLower()] = std::move(factory);
}

TComponentFactory FindComponentClass(const QString& className) {
  static std::once_flag standard;
  std::call_once(standard, [] { RegisterStandardClasses(); });
  auto it = Registry().find(className.toLower());
  return it == Registry().end() ? TComponentFactory() : it->second;
}

// ---------------------------------------------------------------- loading

namespace {

const QString kTrue = QStringLiteral("True");
const QString kFalse = QStringLiteral("False");

class Loader {
public:
  Loader(TCustomForm* form, QString origin) : FForm(form), FOrigin(std::move(origin)) {}

  // A second window of one definition under the same owner is named
  // Name_1, Name_2 and so on, so that both can live.
  QString UniqueWindowName(const QString& name) const {
    TComponent* owner = FForm->Owner();
    if (!owner) return name;
    QString candidate = name;
    for (int i = 1; owner->FindComponent(candidate) && owner->FindComponent(candidate) != FForm; ++i)
      candidate = QStringLiteral("%1_%2").arg(name).arg(i);
    return candidate;
  }

  void Load(const TDefObject& root) {
    if (!SameText(root.className, FForm->ClassName()))
      Fail(root.line, QStringLiteral("the window is a %1, not a %2").arg(FForm->ClassName(), root.className));
    FForm->BeginLoading();
    Guard(root.line, [&] { FForm->SetName(UniqueWindowName(root.name)); });
    Build(FForm, root);
    for (const Fixup& f : FFixups) Resolve(f);
    BindMembers(root);
    Guard(root.line, [&] { FForm->Loaded(); });
    for (const auto& created : FCreated) Guard(created.second, [&] { created.first->Loaded(); });
  }

private:
  struct Fixup {
    QObject* object;
    TPropInfo prop;
    QString name;
    int line;
  };

  [[noreturn]] void Fail(int line, const QString& what) const {
    throw EDefinitionError(QStringLiteral("%1, line %2: %3").arg(FOrigin).arg(line).arg(what));
  }

  template <class F>
  void Guard(int line, F&& action) {
    try {
      action();
    } catch (const EDefinitionError&) {
      throw;
    } catch (const Exception& e) {
      Fail(line, e.Message());
    } catch (const std::exception& e) {
      Fail(line, QString::fromUtf8(e.what()));
    } catch (...) {
      Fail(line, QStringLiteral("an error without a message"));
    }
  }

  // The object's properties and nested objects in the order the text gives them.
  void Build(TComponent* component, const TDefObject& def) {
    size_t next = 0;
    auto applyUpTo = [&](size_t end) {
      for (; next < end && next < def.properties.size(); ++next) {
        const TDefProperty& p = def.properties[next];
        Guard(p.line, [&] { Apply(component, p); });
      }
    };
    for (const TDefObject& child : def.children) {
      applyUpTo(child.propertiesBefore);
      Create(child, component);
    }
    applyUpTo(def.properties.size());
  }

  void Create(const TDefObject& def, TComponent* parent) {
    TComponentFactory factory = FindComponentClass(def.className);
    if (!factory) Fail(def.line, QStringLiteral("unknown class %1").arg(def.className));
    if (parent != FForm && !parent->AcceptsChildren())
      Fail(def.line, QStringLiteral("%1 cannot hold %2").arg(parent->Name(), def.name));
    TComponent* c = nullptr;
    Guard(def.line, [&] {
      c = factory(FForm);
      c->BeginLoading();
      FCreated.emplace_back(c, def.line);
      c->SetName(def.name);
      // Components that stand on the window itself without being controls
      // (data sets, menus, dialogs) have no parent.
      if (parent != FForm || qobject_cast<TControl*>(c)) c->SetParentComponent(parent);
    });
    Build(c, def);
  }

  void ApplyProperties(QObject* object, const std::vector<TDefProperty>& props) {
    for (const TDefProperty& p : props) Guard(p.line, [&] { Apply(object, p); });
  }

  void Apply(QObject* object, const TDefProperty& p) {
    QString name;
    QObject* target = ResolvePropertyPath(object, p.name, &name);
    if (!target) Fail(p.line, PathProblem(object, p.name));
    const TPropInfo prop = GetPropInfo(target, name, true);
    if (!prop.IsValid()) Fail(p.line, QStringLiteral("unknown property %1 of %2").arg(name, Describe(target)));
    // A sub-object (string list, collection, picture) is filled in place and
    // needs no writer; only a reference replaces it.
    const bool inPlace = prop.Kind() == tkClass && p.value.kind != TDefValue::Ident;
    if (!prop.Writable() && !inPlace)
      Fail(p.line, QStringLiteral("property %1 of %2 is read-only").arg(name, Describe(target)));
    // A later value replaces a reference that is still waiting to be resolved.
    std::erase_if(FFixups, [&](const Fixup& f) { return f.object == target && SameText(f.prop.Name(), name); });
    Assign(target, prop, p.value);
  }

  // Why a dotted path leads to no object: the first segment that fails.
  QString PathProblem(QObject* object, const QString& path) const {
    const QStringList segments = path.split(QLatin1Char('.'));
    QObject* holder = object;
    for (qsizetype i = 0; i + 1 < segments.size(); ++i) {
      QString last;
      QObject* next = ResolvePropertyPath(holder, segments[i] + QStringLiteral(".x"), &last);
      if (!next) {
        QString name = segments[i];
        name = name.left(name.indexOf(QLatin1Char('[')) < 0 ? name.size() : name.indexOf(QLatin1Char('[')));
        const TPropInfo prop = GetPropInfo(holder, name);
        if (!prop.IsValid() || prop.Kind() != tkClass)
          return QStringLiteral("%1 has no object property %2").arg(Describe(holder), name);
        if (!GetObjectProp(holder, prop)) return QStringLiteral("%1 of %2 holds no object").arg(name, Describe(holder));
        return QStringLiteral("%1 of %2 is not a collection").arg(name, Describe(holder));
      }
      holder = next;
    }
    return QStringLiteral("%1 of %2 leads to no object").arg(path, Describe(object));
  }

  QString Describe(const QObject* o) const {
    if (auto c = qobject_cast<const TComponent*>(o); c && !c->Name().isEmpty()) return c->Name();
    if (auto p = qobject_cast<const TPersistent*>(o)) return p->ClassName();
    return QString::fromLatin1(o->metaObject()->className());
  }

  [[noreturn]] void WrongValue(const TDefValue& v, const TPropInfo& prop) const {
    Fail(v.line, QStringLiteral("unsuitable value for %1 (%2)").arg(prop.Name(), prop.TypeName()));
  }

  // A list line: strings, and numbers or names written bare.
  QString LineText(const TDefValue& v, const TPropInfo& prop) const {
    switch (v.kind) {
      case TDefValue::Integer: return QString::number(v.integer);
      case TDefValue::Float: return QString::number(v.number);
      case TDefValue::String:
      case TDefValue::Ident: return v.text;
      default: WrongValue(v, prop);
    }
  }

  // An integer property takes what its type holds; 32-bit ones also take
  // unsigned values such as $80000018, as colours are written.
  void CheckRange(const TDefValue& v, const TPropInfo& prop, qint64 value) const {
    const int size = prop.MetaProperty().metaType().sizeOf();
    if (size >= 8) return;
    const qint64 low = -(qint64(1) << (8 * size - 1));
    const qint64 high = (qint64(1) << (8 * size)) - 1;
    if (value < low || value > high)
      Fail(v.line, QStringLiteral("%1 is out of range for %2 (%3)").arg(value).arg(prop.Name(), prop.TypeName()));
  }

  QByteArray ResourceBytes(const TDefValue& v) const {
    QFile f(v.text);
    if (!f.open(QIODevice::ReadOnly)) Fail(v.line, QStringLiteral("resource %1 not found").arg(v.text));
    return f.readAll();
  }

  void Assign(QObject* target, const TPropInfo& prop, const TDefValue& v) {
    switch (prop.Kind()) {
      case tkInteger:
      case tkInt64:
        if (v.kind == TDefValue::Integer) {
          CheckRange(v, prop, v.integer);
          SetOrdProp(target, prop, v.integer);
        } else if (v.kind == TDefValue::Ident) {
          const auto value = IdentToInt(v.text);
          if (!value) Fail(v.line, QStringLiteral("unknown constant %1").arg(v.text));
          SetOrdProp(target, prop, *value);
        } else {
          WrongValue(v, prop);
        }
        return;
      case tkFloat:
        if (v.kind != TDefValue::Integer && v.kind != TDefValue::Float) WrongValue(v, prop);
        SetFloatProp(target, prop, v.number);
        return;
      case tkEnumeration: {
        if (v.kind != TDefValue::Ident) WrongValue(v, prop);
        const auto value = GetEnumValue(prop, v.text);
        if (!value) Fail(v.line, QStringLiteral("%1 is not a value of %2").arg(v.text, prop.TypeName()));
        SetOrdProp(target, prop, *value);
        return;
      }
      case tkSet: {
        if (v.kind != TDefValue::Set) WrongValue(v, prop);
        const auto mask = StringToSet(prop, v.names.join(QLatin1Char(',')));
        if (!mask)
          Fail(v.line, QStringLiteral("[%1] is not a set of %2").arg(v.names.join(QLatin1Char(',')), prop.TypeName()));
        SetOrdProp(target, prop, *mask);
        return;
      }
      case tkString:
      case tkLString:
      case tkWString:
        if (v.kind == TDefValue::String)
          SetStrProp(target, prop, v.text);
        else if (v.kind == TDefValue::Bytes)
          SetBytesProp(target, prop, v.bytes);
        else if (v.kind == TDefValue::Resource)
          SetBytesProp(target, prop, ResourceBytes(v));
        else
          WrongValue(v, prop);
        return;
      case tkChar:
      case tkWChar: {
        const auto doesNotFit = [&](qint64 code) {
          Fail(v.line, QStringLiteral("character %1 does not fit %2 (%3)").arg(code).arg(prop.Name(), prop.TypeName()));
        };
        qint64 code = 0;
        if (v.kind == TDefValue::String && v.text.size() == 1) {
          code = v.text[0].unicode();
          if (prop.Kind() == tkChar) {
            // A byte character holds the character's byte in Windows-1250.
            const QByteArray byte = TextToAnsi(v.text);
            if (byte == "?" && v.text != QLatin1String("?")) doesNotFit(code);
            code = static_cast<uchar>(byte.at(0));
          }
        } else if (v.kind == TDefValue::Integer) {
          code = v.integer;
        } else {
          WrongValue(v, prop);
        }
        if (code < 0 || code > (prop.Kind() == tkChar ? 0xFF : 0xFFFF)) doesNotFit(code);
        SetOrdProp(target, prop, code);
        return;
      }
      case tkVariant:
        if (v.kind == TDefValue::Integer)
          SetVariantProp(target, prop, QVariant(v.integer));
        else if (v.kind == TDefValue::Float)
          SetVariantProp(target, prop, QVariant(v.number));
        else if (v.kind == TDefValue::String)
          SetVariantProp(target, prop, QVariant(v.text));
        else if (v.kind == TDefValue::Ident && (SameText(v.text, kTrue) || SameText(v.text, kFalse)))
          SetVariantProp(target, prop, QVariant(SameText(v.text, kTrue)));
        else
          WrongValue(v, prop);
        return;
      case tkMethod: {
        if (v.kind != TDefValue::Ident) WrongValue(v, prop);
        QVariant handler = FForm->Handlers().Find(v.text);
        THandlerMatch match = THandlerMatch::Found;
        if (!handler.isValid())
          match = FindMethodHandler(FForm, v.text, prop.MetaProperty().metaType(), handler);
        else if (handler.metaType() != prop.MetaProperty().metaType())
          match = THandlerMatch::Unfit;
        if (match == THandlerMatch::Missing)
          Fail(v.line, QStringLiteral("%1 has no handler %2").arg(FForm->ClassName(), v.text));
        if (match == THandlerMatch::Unfit)
          Fail(v.line, QStringLiteral("handler %1 does not fit event %2").arg(v.text, prop.Name()));
        SetMethodProp(target, prop, handler);
        return;
      }
      case tkClass: AssignObject(target, prop, v); return;
      default: WrongValue(v, prop);
    }
  }

  void AssignObject(QObject* target, const TPropInfo& prop, const TDefValue& v) {
    if (v.kind == TDefValue::Ident) {
      if (v.text.compare(QLatin1String("nil"), Qt::CaseInsensitive) == 0) {
        SetObjectProp(target, prop, nullptr);
        return;
      }
      const QMetaObject* cls = prop.ClassType();
      if (!cls || !cls->inherits(&TComponent::staticMetaObject)) WrongValue(v, prop);
      FFixups.push_back({target, prop, v.text, v.line});
      return;
    }
    QObject* object = GetObjectProp(target, prop);
    if (!object) Fail(v.line, QStringLiteral("%1 holds no object").arg(prop.Name()));
    if (auto* strings = qobject_cast<TStrings*>(object)) {
      if (v.kind == TDefValue::List) {
        QStringList lines;
        for (const TDefValue& item : v.items) lines << LineText(item, prop);
        strings->SetList(lines);
      } else if (v.kind == TDefValue::Resource) {
        strings->SetText(QString::fromUtf8(ResourceBytes(v)));
      } else {
        WrongValue(v, prop);
      }
      return;
    }
    if (auto* collection = qobject_cast<TCollection*>(object)) {
      if (v.kind != TDefValue::Collection) WrongValue(v, prop);
      collection->Clear();
      for (const TDefValue::Item& item : v.collection) {
        TCollectionItem* it = nullptr;
        Guard(item.line, [&] { it = collection->Add(); });
        ApplyProperties(it, item.properties);
      }
      return;
    }
    if (auto* picture = qobject_cast<TPicture*>(object)) {
      if (v.kind == TDefValue::Resource)
        picture->LoadFromResource(v.text);
      else if (v.kind == TDefValue::Bytes)
        picture->LoadFromData(v.bytes, prop.Name());
      else
        WrongValue(v, prop);
      return;
    }
    WrongValue(v, prop);
  }

  // Fills the window's declared component members, each by its name and
  // class, before any component hears it is loaded.
  void BindMembers(const TDefObject& root) {
    for (const TComponentMember& m : DeclaredComponentMembers(FForm)) {
      TComponent* c = FForm->FindComponent(m.name);
      if (!c)
        Fail(root.line, QStringLiteral("%1 has no component %2 (%3)").arg(FForm->ClassName(), m.name, m.className));
      if (!m.assign(c)) {
        const auto made = std::find_if(FCreated.begin(), FCreated.end(), [c](const auto& e) { return e.first == c; });
        Fail(made != FCreated.end() ? made->second : root.line,
             QStringLiteral("%1 is a %2, not a %3").arg(m.name, c->ClassName(), m.className));
      }
    }
  }

  void Resolve(const Fixup& f) {
    TComponent* found = FForm->FindComponent(f.name);
    if (!found && SameText(f.name, FForm->Name())) found = FForm;
    if (!found) found = FindInOtherWindow(f.name);
    if (!found) Fail(f.line, QStringLiteral("no component named %1").arg(f.name));
    Guard(f.line, [&] { SetObjectProp(f.object, f.prop, found); });
  }

  // "Form1.ADOConnection1": a component of another window of the
  // application, as a dialog names the main window's connection.
  static TComponent* FindInOtherWindow(const QString& path) {
    const qsizetype dot = path.indexOf(QLatin1Char('.'));
    if (dot <= 0 || !Application) return nullptr;
    const QString window = path.left(dot);
    for (TComponent* c : Application->ComponentList())
      if (auto* form = qobject_cast<TCustomForm*>(c); form && SameText(form->Name(), window))
        return form->FindComponent(path.mid(dot + 1));
    return nullptr;
  }

  TCustomForm* FForm;
  QString FOrigin;
  std::vector<std::pair<TComponent*, int>> FCreated;
  std::vector<Fixup> FFixups;
};

}  // namespace

void LoadWindowDefinitionText(TCustomForm* form, const QString& text, const QString& origin) {
  const TDefObject root = ParseDefinition(text, origin);
  Loader(form, origin).Load(root);
}

void LoadWindowDefinition(TCustomForm* form, const QString& resourcePath) {
  QFile file(resourcePath);
  const QString origin = QFileInfo(resourcePath).fileName();
  if (!file.open(QIODevice::ReadOnly))
    throw EDefinitionError(QStringLiteral("Window definition %1 not found").arg(origin));
  LoadWindowDefinitionText(form, QString::fromUtf8(file.readAll()), origin);
}
