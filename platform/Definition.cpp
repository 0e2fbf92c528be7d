#include "Definition.h"

#include "Classes.h"
#include "Controls.h"
#include "Exceptions.h"
#include "Forms.h"
#include "Graphics.h"
#include "TypeInfo.h"

#include <QFile>
#include <QFileInfo>

#include <map>
#include <mutex>

void RegisterStandardClasses();

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
  bool IsWord(const char* w) const { return FToken.kind == Token::Ident && FToken.text.compare(QLatin1String(w), Qt::CaseInsensitive) == 0; }

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
      default:
        break;
    }
    if (IsSymbol("-")) {
      Next();
      TDefValue n = ParseValue();
      if (n.kind == TDefValue::Integer) n.integer = -n.integer;
      else if (n.kind != TDefValue::Float) Fail(v.line, QStringLiteral("a number expected after '-'"));
      n.number = -n.number;
      return n;
    }
    if (IsSymbol("[")) {
      Next();
      v.kind = TDefValue::Set;
      while (!IsSymbol("]")) {
        v.names << ExpectIdent(QStringLiteral("a set member"));
        if (IsSymbol(",")) Next();
        else if (!IsSymbol("]")) Fail(FToken.line, QStringLiteral("',' or ']' expected"));
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
    Fail(FToken.line, FToken.kind == Token::End ? QStringLiteral("a value expected") : QStringLiteral("unexpected '%1'").arg(FToken.text));
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
    if (c.isDigit() || c == QLatin1Char('$')) {
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
    while (k < FText.size() && FText[k].isDigit()) {
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
      while (Peek().isDigit() || QStringLiteral("abcdefABCDEF").contains(Peek())) ++FPos;
      FToken.kind = Token::Integer;
      FToken.integer = static_cast<qint64>(FText.mid(start + 1, FPos - start - 1).toULongLong(&ok, 16));
      if (!ok) Fail(FLine, QStringLiteral("bad hexadecimal number"));
      return;
    }
    while (Peek().isDigit()) ++FPos;
    bool isFloat = false;
    if (Peek() == QLatin1Char('.') && Peek(1).isDigit()) {
      isFloat = true;
      ++FPos;
      while (Peek().isDigit()) ++FPos;
    }
    if ((Peek() == QLatin1Char('e') || Peek() == QLatin1Char('E')) && (Peek(1).isDigit() || Peek(1) == QLatin1Char('-'))) {
      isFloat = true;
      FPos += 2;
      while (Peek().isDigit()) ++FPos;
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
        while (Peek().isDigit()) ++FPos;
        bool ok = false;
        const uint code = FText.mid(start, FPos - start).toUInt(&ok);
        if (!ok || code > 0x10FFFF) Fail(FLine, QStringLiteral("bad character code"));
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
      if (!(c.isDigit() || QStringLiteral("abcdefABCDEF").contains(c))) Fail(FLine, QStringLiteral("bad hex digit '%1'").arg(c));
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

class Loader {
public:
  Loader(TCustomForm* form, QString origin) : FForm(form), FOrigin(std::move(origin)) {}

  void Load(const TDefObject& root) {
    if (!SameText(root.className, FForm->ClassName()))
      Fail(root.line, QStringLiteral("the window is a %1, not a %2").arg(FForm->ClassName(), root.className));
    FForm->BeginLoading();
    Guard(root.line, [&] { FForm->SetName(root.name); });
    ApplyProperties(FForm, root.properties);
    for (const TDefObject& child : root.children) Create(child, FForm);
    for (const Fixup& f : FFixups) Resolve(f);
    FForm->Loaded();
    for (TComponent* c : FCreated) c->Loaded();
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
    }
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
      FCreated.push_back(c);
      c->SetName(def.name);
      // Components that stand on the window itself without being controls
      // (data sets, menus, dialogs) have no parent.
      if (parent != FForm || qobject_cast<TControl*>(c)) c->SetParentComponent(parent);
    });
    ApplyProperties(c, def.properties);
    for (const TDefObject& child : def.children) Create(child, c);
  }

  void ApplyProperties(QObject* object, const std::vector<TDefProperty>& props) {
    for (const TDefProperty& p : props) Guard(p.line, [&] { Apply(object, p); });
  }

  void Apply(QObject* object, const TDefProperty& p) {
    QObject* target = object;
    const QStringList path = p.name.split(QLatin1Char('.'));
    for (qsizetype i = 0; i + 1 < path.size(); ++i) {
      const TPropInfo sub = GetPropInfo(target, path[i]);
      if (!sub.IsValid() || sub.Kind() != tkClass)
        Fail(p.line, QStringLiteral("%1 has no object property %2").arg(Describe(target), path[i]));
      target = GetObjectProp(target, sub);
      if (!target) Fail(p.line, QStringLiteral("%1 of %2 holds no object").arg(path[i], Describe(object)));
    }
    const QString name = path.back();
    const TPropInfo prop = GetPropInfo(target, name, true);
    if (!prop.IsValid()) Fail(p.line, QStringLiteral("unknown property %1 of %2").arg(name, Describe(target)));
    if (!prop.Writable()) Fail(p.line, QStringLiteral("property %1 of %2 is read-only").arg(name, Describe(target)));
    Assign(target, prop, p.value);
  }

  QString Describe(const QObject* o) const {
    if (auto c = qobject_cast<const TComponent*>(o); c && !c->Name().isEmpty()) return c->Name();
    if (auto p = qobject_cast<const TPersistent*>(o)) return p->ClassName();
    return QString::fromLatin1(o->metaObject()->className());
  }

  [[noreturn]] void WrongValue(const TDefValue& v, const TPropInfo& prop) const {
    Fail(v.line, QStringLiteral("unsuitable value for %1 (%2)").arg(prop.Name(), prop.TypeName()));
  }

  static QString ValueText(const TDefValue& v) {
    return v.kind == TDefValue::Integer ? QString::number(v.integer) : v.text;
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
        if (!mask) Fail(v.line, QStringLiteral("[%1] is not a set of %2").arg(v.names.join(QLatin1Char(',')), prop.TypeName()));
        SetOrdProp(target, prop, *mask);
        return;
      }
      case tkString:
      case tkLString:
      case tkWString:
        if (v.kind == TDefValue::String)
          prop.Kind() == tkWString ? SetStrProp(target, prop, v.text) : SetBytesProp(target, prop, v.text.toUtf8());
        else if (v.kind == TDefValue::Bytes)
          SetBytesProp(target, prop, v.bytes);
        else if (v.kind == TDefValue::Resource)
          SetBytesProp(target, prop, ResourceBytes(v));
        else
          WrongValue(v, prop);
        return;
      case tkChar:
      case tkWChar:
        if (v.kind == TDefValue::String && v.text.size() == 1)
          SetOrdProp(target, prop, v.text[0].unicode());
        else if (v.kind == TDefValue::Integer)
          SetOrdProp(target, prop, v.integer);
        else
          WrongValue(v, prop);
        return;
      case tkVariant:
        SetVariantProp(target, prop, v.kind == TDefValue::Integer ? QVariant(v.integer)
                                     : v.kind == TDefValue::Float ? QVariant(v.number)
                                                                 : QVariant(v.text));
        return;
      case tkMethod: {
        if (v.kind != TDefValue::Ident) WrongValue(v, prop);
        const QVariant handler = FForm->Handlers().Find(v.text);
        if (!handler.isValid()) Fail(v.line, QStringLiteral("%1 has no handler %2").arg(FForm->ClassName(), v.text));
        if (handler.metaType() != prop.MetaProperty().metaType())
          Fail(v.line, QStringLiteral("handler %1 does not fit event %2").arg(v.text, prop.Name()));
        SetMethodProp(target, prop, handler);
        return;
      }
      case tkClass:
        AssignObject(target, prop, v);
        return;
      default:
        WrongValue(v, prop);
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
        for (const TDefValue& item : v.items) lines << ValueText(item);
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

  void Resolve(const Fixup& f) {
    TComponent* found = FForm->FindComponent(f.name);
    if (!found && SameText(f.name, FForm->Name())) found = FForm;
    if (!found) Fail(f.line, QStringLiteral("no component named %1").arg(f.name));
    Guard(f.line, [&] { SetObjectProp(f.object, f.prop, found); });
  }

  TCustomForm* FForm;
  QString FOrigin;
  std::vector<TComponent*> FCreated;
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
  if (!file.open(QIODevice::ReadOnly)) throw EDefinitionError(QStringLiteral("Window definition %1 not found").arg(origin));
  LoadWindowDefinitionText(form, QString::fromUtf8(file.readAll()), origin);
}
