#include "rsStreaming.h"

#include "Classes.h"
#include "Component.h"
#include "Exceptions.h"
#include "Forms.h"
#include "TypeInfo.h"

#include <QByteArray>
#include <QMetaType>
#include <QVariant>

namespace {

const QByteArray kSignature = QByteArrayLiteral("RSOBJ1\n");
// Sub-objects are walked only this deep; a cycle of sub-objects ends there.
constexpr int kMaxDepth = 8;

QByteArray Escape(const QString& text) {
  QByteArray out;
  for (const char c : text.toUtf8()) {
    const auto b = static_cast<unsigned char>(c);
    if (b < 32 || b == '%' || b == 127) {
      static const char hex[] = "0123456789ABCDEF";
      out += '%';
      out += hex[b >> 4];
      out += hex[b & 15];
    } else {
      out += c;
    }
  }
  return out;
}

QString Unescape(const QByteArray& bytes) {
  QByteArray out;
  for (qsizetype i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '%') {
      bool ok = false;
      const int code = i + 2 < bytes.size() ? bytes.mid(i + 1, 2).toInt(&ok, 16) : 0;
      if (!ok) throw EConvertError(QStringLiteral("Damaged escape in a stored object"));
      out += static_cast<char>(code);
      i += 2;
    } else {
      out += bytes[i];
    }
  }
  return QString::fromUtf8(out);
}

bool IsReferenceType(const TPropInfo& prop) {
  const QMetaObject* cls = prop.ClassType();
  return cls && cls->inherits(&TComponent::staticMetaObject);
}

QString VariantText(const QVariant& v) {
  if (!v.isValid()) return QStringLiteral("-");
  switch (v.metaType().id()) {
    case QMetaType::Bool: return v.toBool() ? QStringLiteral("b:True") : QStringLiteral("b:False");
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort: return QStringLiteral("i:") + QString::number(v.toLongLong());
    case QMetaType::Double:
    case QMetaType::Float: return QStringLiteral("f:") + QString::number(v.toDouble(), 'g', 17);
    default: return QStringLiteral("s:") + v.toString();
  }
}

QVariant TextVariant(const QString& text) {
  bool ok = true;
  QVariant v;
  if (text == QLatin1String("-")) return QVariant();
  if (text.startsWith(QLatin1String("b:"))) return QVariant(text.mid(2) == QLatin1String("True"));
  if (text.startsWith(QLatin1String("i:")))
    v = QVariant(text.mid(2).toLongLong(&ok));
  else if (text.startsWith(QLatin1String("f:")))
    v = QVariant(text.mid(2).toDouble(&ok));
  else if (text.startsWith(QLatin1String("s:")))
    v = QVariant(text.mid(2));
  else
    ok = false;
  if (!ok) throw EConvertError(QStringLiteral("'%1' is not a stored variant").arg(text));
  return v;
}

void WriteProperties(QByteArray& out, const QObject* object, const TComponent* root, const QString& prefix, int depth) {
  for (const TPropInfo& prop : GetPropList(object)) {
    if (!prop.Readable()) continue;
    if (prefix.isEmpty() && qobject_cast<const TComponent*>(object) && SameText(prop.Name(), QStringLiteral("Name")))
      continue;
    const QString path = prefix + prop.Name();
    QString value;
    switch (prop.Kind()) {
      case tkInteger:
      case tkChar:
      case tkWChar:
      case tkInt64:
        if (!prop.Writable()) continue;
        value = QString::number(prop.Kind() == tkInt64 ? GetInt64Prop(object, prop) : GetOrdProp(object, prop));
        break;
      case tkEnumeration:
        if (!prop.Writable()) continue;
        value = GetEnumName(prop, GetOrdProp(object, prop));
        break;
      case tkSet:
        if (!prop.Writable()) continue;
        value = SetToString(prop, GetOrdProp(object, prop), true);
        break;
      case tkFloat:
        if (!prop.Writable()) continue;
        value = QString::number(GetFloatProp(object, prop), 'g', 17);
        break;
      case tkString:
      case tkLString:
      case tkWString:
        if (!prop.Writable()) continue;
        value = GetStrProp(object, prop);
        break;
      case tkVariant:
        if (!prop.Writable()) continue;
        value = VariantText(GetVariantProp(object, prop));
        break;
      case tkClass: {
        QObject* held = GetObjectProp(object, prop);
        if (IsReferenceType(prop)) {
          if (!prop.Writable()) continue;
          value = ComponentReferenceName(qobject_cast<TComponent*>(held), root);
          break;
        }
        if (!held) continue;
        if (auto* strings = qobject_cast<TStrings*>(held)) {
          value = strings->Text();
          break;
        }
        if (depth < kMaxDepth && !qobject_cast<TCollection*>(held))
          WriteProperties(out, held, root, path + QLatin1Char('.'), depth + 1);
        continue;
      }
      default: continue;
    }
    out += Escape(path);
    out += '=';
    out += Escape(value);
    out += '\n';
  }
}

void ReadValue(QObject* object, const TPropInfo& prop, const QString& value, TComponent* root) {
  switch (prop.Kind()) {
    case tkInteger:
    case tkChar:
    case tkWChar:
    case tkInt64: {
      bool ok = false;
      const qint64 v = value.toLongLong(&ok);
      if (!ok) throw EConvertError(QStringLiteral("'%1' is not a valid integer value").arg(value));
      prop.Kind() == tkInt64 ? SetInt64Prop(object, prop, v) : SetOrdProp(object, prop, v);
      return;
    }
    case tkEnumeration:
      if (const auto v = GetEnumValue(prop, value)) SetOrdProp(object, prop, *v);
      return;
    case tkSet:
      if (const auto v = StringToSet(prop, value)) SetOrdProp(object, prop, *v);
      return;
    case tkFloat: {
      bool ok = false;
      const double v = value.toDouble(&ok);
      if (!ok) throw EConvertError(QStringLiteral("'%1' is not a valid floating point value").arg(value));
      SetFloatProp(object, prop, v);
      return;
    }
    case tkString:
    case tkLString:
    case tkWString: SetStrProp(object, prop, value); return;
    case tkVariant: SetVariantProp(object, prop, TextVariant(value)); return;
    case tkClass:
      if (IsReferenceType(prop)) {
        if (value.isEmpty())
          SetObjectProp(object, prop, nullptr);
        else if (TComponent* c = FindComponentReference(value, root))
          SetObjectProp(object, prop, c);
        return;
      }
      if (auto* strings = qobject_cast<TStrings*>(GetObjectProp(object, prop))) strings->SetText(value);
      return;
    default: return;
  }
}

// Every window of the application, wherever it stands in the ownership tree.
TCustomForm* FindWindow(const TComponent* owner, const QString& name) {
  if (!owner) return nullptr;
  for (TComponent* c : owner->ComponentList()) {
    if (auto* form = qobject_cast<TCustomForm*>(c); form && form->Name() == name) return form;
    if (TCustomForm* inner = FindWindow(c, name)) return inner;
  }
  return nullptr;
}

}  // namespace

QByteArray StreamObjectProperties(const QObject* object, const TComponent* root) {
  QByteArray out = kSignature;
  if (object) WriteProperties(out, object, root, QString(), 0);
  return out;
}

void ReadObjectProperties(QObject* object, const QByteArray& bytes, TComponent* root) {
  if (!bytes.startsWith(kSignature)) throw EConvertError(QStringLiteral("The stored value is no object"));
  if (!object) return;
  const QList<QByteArray> lines = bytes.mid(kSignature.size()).split('\n');
  for (const QByteArray& line : lines) {
    const qsizetype eq = line.indexOf('=');
    if (eq <= 0) continue;
    const QString path = Unescape(line.left(eq));
    const QString value = Unescape(line.mid(eq + 1));
    QString last;
    QObject* holder = ResolvePropertyPath(object, path, &last);
    if (!holder) continue;
    const TPropInfo prop = GetPropInfo(holder, last);
    if (!prop.IsValid()) continue;
    if (!prop.Writable() && !(prop.Kind() == tkClass && !IsReferenceType(prop))) continue;
    ReadValue(holder, prop, value, root);
  }
}

QString ComponentReferenceName(const TComponent* component, const TComponent* root) {
  if (!component) return QString();
  const TComponent* owner = component->Owner();
  if (!owner || owner == root || owner->Name().isEmpty()) return component->Name();
  return owner->Name() + QLatin1Char('.') + component->Name();
}

TComponent* FindComponentReference(const QString& name, TComponent* root) {
  if (name.isEmpty()) return nullptr;
  const qsizetype dot = name.indexOf(QLatin1Char('.'));
  if (dot < 0) {
    if (!root) return nullptr;
    if (TComponent* c = root->FindComponent(name)) return c;
    return SameText(root->Name(), name) ? root : nullptr;
  }
  // Windows (and their owners' windows) are searched by exact name.
  TCustomForm* form = FindWindow(Application, name.left(dot));
  return form ? form->FindComponent(name.mid(dot + 1)) : nullptr;
}
