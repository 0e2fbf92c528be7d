#include "TypeInfo.h"

#include "CodePage.h"

#include "Classes.h"
#include "Component.h"
#include "Events.h"
#include "Exceptions.h"

#include <QMetaEnum>
#include <QMetaObject>

#include <algorithm>
#include <cstring>

namespace {

TTypeKind KindOf(const QMetaProperty& p) {
  const QMetaType type = p.metaType();
  if (p.isFlagType()) return tkSet;
  if (p.isEnumType()) return tkEnumeration;
  switch (type.id()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Short:
    case QMetaType::UShort: return tkInteger;
    case QMetaType::LongLong:
    case QMetaType::ULongLong: return tkInt64;
    case QMetaType::Double:
    case QMetaType::Float: return tkFloat;
    case QMetaType::QString: return tkWString;
    case QMetaType::QByteArray: return tkLString;
    case QMetaType::Bool: return tkEnumeration;
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar: return tkChar;
    case QMetaType::QChar:
    case QMetaType::Char16: return tkWChar;
    case QMetaType::QVariant: return tkVariant;
    default: break;
  }
  if (type.flags() & QMetaType::PointerToQObject) return tkClass;
  if (IsEventType(type)) return tkMethod;
  return tkUnknown;
}

bool IsBool(const TPropInfo& prop) { return prop.MetaProperty().metaType().id() == QMetaType::Bool; }

qint64 RawOrdinal(const QVariant& v) {
  const QMetaType t = v.metaType();
  const void* data = v.constData();
  switch (t.sizeOf()) {
    case 1: {
      if (t.id() == QMetaType::Bool) return *static_cast<const bool*>(data) ? 1 : 0;
      // A character's ordinal is its code, 0..255, whatever the signedness of char.
      if (t.id() == QMetaType::UChar || t.id() == QMetaType::Char) return *static_cast<const unsigned char*>(data);
      return *static_cast<const signed char*>(data);
    }
    case 2:
      if (t.id() == QMetaType::Short) return *static_cast<const qint16*>(data);
      return *static_cast<const quint16*>(data);
    case 4:
      if (t.id() == QMetaType::UInt) return *static_cast<const quint32*>(data);
      return *static_cast<const qint32*>(data);
    case 8: return *static_cast<const qint64*>(data);
    default: return 0;
  }
}

QVariant MakeOrdinal(QMetaType t, qint64 value) {
  switch (t.sizeOf()) {
    case 1: {
      if (t.id() == QMetaType::Bool) {
        bool b = value != 0;
        return QVariant(t, &b);
      }
      auto c = static_cast<signed char>(value);
      return QVariant(t, &c);
    }
    case 2: {
      auto s = static_cast<qint16>(value);
      return QVariant(t, &s);
    }
    case 4: {
      auto i = static_cast<qint32>(value);
      return QVariant(t, &i);
    }
    case 8: return QVariant(t, &value);
    default: return QVariant();
  }
}

void Write(QObject* object, const TPropInfo& prop, const QVariant& value) {
  if (!object || !prop.IsValid()) return;
  if (!prop.Writable()) throw EInvalidOperation(QStringLiteral("Property %1 is read-only").arg(prop.Name()));
  if (!prop.MetaProperty().write(object, value))
    throw EConvertError(QStringLiteral("Invalid value for property %1").arg(prop.Name()));
}

QVariant Read(const QObject* object, const TPropInfo& prop) {
  if (!object || !prop.IsValid() || !prop.Readable()) return QVariant();
  return prop.MetaProperty().read(object);
}

std::vector<std::pair<QString, qint64>> Members(const TPropInfo& prop) {
  std::vector<std::pair<QString, qint64>> out;
  if (IsBool(prop)) {
    out = {{QStringLiteral("False"), 0}, {QStringLiteral("True"), 1}};
    return out;
  }
  const QMetaEnum e = prop.Enumerator();
  for (int i = 0; i < e.keyCount(); ++i) out.emplace_back(QString::fromLatin1(e.key(i)), e.value(i));
  std::stable_sort(out.begin(), out.end(), [](const auto& a, const auto& b) { return a.second < b.second; });
  return out;
}

}  // namespace

TPropInfo::TPropInfo(QMetaProperty property) : FProp(property), FKind(KindOf(property)) {}

QString TPropInfo::TypeName() const {
  switch (FKind) {
    case tkInteger: return QStringLiteral("Integer");
    case tkInt64: return QStringLiteral("Int64");
    case tkFloat: return QStringLiteral("Double");
    case tkWString: return QStringLiteral("WideString");
    case tkLString: return QStringLiteral("AnsiString");
    case tkChar: return QStringLiteral("Char");
    case tkWChar: return QStringLiteral("WideChar");
    case tkVariant: return QStringLiteral("Variant");
    case tkEnumeration:
      if (IsBool(*this)) return QStringLiteral("Boolean");
      return QString::fromLatin1(FProp.enumerator().name());
    case tkSet: return QString::fromLatin1(FProp.enumerator().name());
    case tkClass: {
      const QMetaObject* mo = ClassType();
      QString name = mo ? QString::fromLatin1(mo->className()) : QString();
      const qsizetype colon = name.lastIndexOf(QLatin1Char(':'));
      return colon >= 0 ? name.mid(colon + 1) : name;
    }
    case tkMethod: return QString::fromLatin1(FProp.metaType().name());
    default: return QString::fromLatin1(FProp.typeName());
  }
}

std::vector<TPropInfo> GetPropList(const QObject* object) {
  std::vector<TPropInfo> out;
  if (!object) return out;
  const QMetaObject* mo = object->metaObject();
  // Class first: a property redeclared by a descendant hides its ancestor's.
  // QObject's own properties are not published.
  for (const QMetaObject* m = mo; m && m != &QObject::staticMetaObject; m = m->superClass()) {
    for (int i = m->propertyOffset(); i < m->propertyCount(); ++i) {
      TPropInfo info(m->property(i));
      if (info.Kind() == tkMethod || info.Kind() == tkUnknown) continue;
      const QString name = info.Name();
      if (std::any_of(out.begin(), out.end(), [&](const TPropInfo& p) { return SameText(p.Name(), name); })) continue;
      out.push_back(info);
    }
  }
  std::stable_sort(out.begin(), out.end(), [](const TPropInfo& a, const TPropInfo& b) {
    return a.Name().compare(b.Name(), Qt::CaseInsensitive) < 0;
  });
  return out;
}

TPropInfo GetPropInfo(const QObject* object, const QString& name, bool withEvents) {
  if (!object || name.isEmpty()) return TPropInfo();
  for (const QMetaObject* m = object->metaObject(); m && m != &QObject::staticMetaObject; m = m->superClass()) {
    for (int i = m->propertyOffset(); i < m->propertyCount(); ++i) {
      const QMetaProperty p = m->property(i);
      if (!SameText(QString::fromLatin1(p.name()), name)) continue;
      TPropInfo info(p);
      if (info.Kind() == tkUnknown) continue;
      if (info.Kind() == tkMethod && !withEvents) continue;
      return info;
    }
  }
  return TPropInfo();
}

bool InheritsFrom(const QObject* object, const char* className) { return object && object->inherits(className); }

qint64 GetOrdProp(const QObject* object, const TPropInfo& prop) {
  const QVariant v = Read(object, prop);
  if (!v.isValid()) return 0;
  if (prop.Kind() == tkWChar) return v.metaType().id() == QMetaType::QChar ? v.value<QChar>().unicode() : RawOrdinal(v);
  return RawOrdinal(v);
}

void SetOrdProp(QObject* object, const TPropInfo& prop, qint64 value) {
  if (prop.Kind() == tkWChar && prop.MetaProperty().metaType().id() == QMetaType::QChar) {
    Write(object, prop, QVariant::fromValue(QChar(static_cast<char16_t>(value))));
    return;
  }
  Write(object, prop, MakeOrdinal(prop.MetaProperty().metaType(), value));
}

qint64 GetInt64Prop(const QObject* object, const TPropInfo& prop) { return RawOrdinal(Read(object, prop)); }

void SetInt64Prop(QObject* object, const TPropInfo& prop, qint64 value) {
  Write(object, prop, MakeOrdinal(prop.MetaProperty().metaType(), value));
}

double GetFloatProp(const QObject* object, const TPropInfo& prop) { return Read(object, prop).toDouble(); }

void SetFloatProp(QObject* object, const TPropInfo& prop, double value) {
  QVariant v(value);
  v.convert(prop.MetaProperty().metaType());
  Write(object, prop, v);
}

QString AnsiToText(const QByteArray& bytes) { return MultiByteToWide(DefaultAnsiCodePage(), bytes); }

QByteArray TextToAnsi(const QString& text) { return WideToMultiByte(DefaultAnsiCodePage(), text); }

QString GetStrProp(const QObject* object, const TPropInfo& prop) {
  const QVariant v = Read(object, prop);
  if (prop.Kind() == tkLString || prop.Kind() == tkString) return AnsiToText(v.toByteArray());
  return v.toString();
}

void SetStrProp(QObject* object, const TPropInfo& prop, const QString& value) {
  if (prop.Kind() == tkLString || prop.Kind() == tkString) {
    Write(object, prop, QVariant(TextToAnsi(value)));
    return;
  }
  Write(object, prop, QVariant(value));
}

QByteArray GetBytesProp(const QObject* object, const TPropInfo& prop) {
  const QVariant v = Read(object, prop);
  return prop.Kind() == tkWString ? v.toString().toUtf8() : v.toByteArray();
}

void SetBytesProp(QObject* object, const TPropInfo& prop, const QByteArray& value) {
  if (prop.Kind() == tkWString) {
    Write(object, prop, QVariant(QString::fromUtf8(value)));
    return;
  }
  Write(object, prop, QVariant(value));
}

QObject* GetObjectProp(const QObject* object, const TPropInfo& prop) {
  if (prop.Kind() != tkClass) return nullptr;
  const QVariant v = Read(object, prop);
  if (!v.isValid()) return nullptr;
  return *static_cast<QObject* const*>(v.constData());
}

void SetObjectProp(QObject* object, const TPropInfo& prop, QObject* value) {
  if (prop.Kind() != tkClass) throw EConvertError(QStringLiteral("Property %1 holds no object").arg(prop.Name()));
  const QMetaType target = prop.MetaProperty().metaType();
  if (value && target.metaObject() && !value->metaObject()->inherits(target.metaObject()))
    throw EConvertError(QStringLiteral("Invalid class %1 for property %2")
                            .arg(QString::fromLatin1(value->metaObject()->className()), prop.Name()));
  QVariant v(target, &value);
  Write(object, prop, v);
}

QVariant GetVariantProp(const QObject* object, const TPropInfo& prop) { return Read(object, prop); }

void SetVariantProp(QObject* object, const TPropInfo& prop, const QVariant& value) { Write(object, prop, value); }

QVariant GetMethodProp(const QObject* object, const TPropInfo& prop) { return Read(object, prop); }

void SetMethodProp(QObject* object, const TPropInfo& prop, const QVariant& handler) {
  if (handler.isValid() && handler.metaType() != prop.MetaProperty().metaType())
    throw EConvertError(QStringLiteral("Handler %1 does not fit event %2")
                            .arg(QString::fromLatin1(handler.metaType().name()), prop.Name()));
  Write(object, prop, handler.isValid() ? handler : QVariant(prop.MetaProperty().metaType()));
}

QStringList GetEnumNames(const TPropInfo& prop) {
  QStringList out;
  if (prop.Kind() != tkEnumeration) return out;
  for (const auto& [name, value] : Members(prop)) out << name;
  return out;
}

QString GetEnumName(const TPropInfo& prop, qint64 value) {
  if (prop.Kind() != tkEnumeration) return QString();
  for (const auto& [name, v] : Members(prop))
    if (v == value) return name;
  return QString();
}

std::optional<qint64> GetEnumValue(const TPropInfo& prop, const QString& name) {
  if (prop.Kind() != tkEnumeration) return std::nullopt;
  for (const auto& [n, v] : Members(prop))
    if (SameText(n, name)) return v;
  return std::nullopt;
}

QStringList GetSetNames(const TPropInfo& prop) {
  QStringList out;
  if (prop.Kind() != tkSet) return out;
  for (const auto& [name, value] : Members(prop))
    if (value != 0) out << name;
  return out;
}

QString SetToString(const TPropInfo& prop, qint64 mask, bool brackets) {
  QStringList names;
  if (prop.Kind() == tkSet)
    for (const auto& [name, value] : Members(prop))
      if (value != 0 && (mask & value) == value) names << name;
  const QString joined = names.join(QLatin1Char(','));
  return brackets ? QLatin1Char('[') + joined + QLatin1Char(']') : joined;
}

std::optional<qint64> StringToSet(const TPropInfo& prop, const QString& text) {
  if (prop.Kind() != tkSet) return std::nullopt;
  const auto members = Members(prop);
  qint64 mask = 0;
  qsizetype i = 0;
  const qsizetype n = text.size();
  auto separator = [](QChar c) { return c == QLatin1Char(',') || c.isSpace() || c == QLatin1Char(']'); };
  while (i < n && (text[i].isSpace() || text[i] == QLatin1Char('['))) ++i;
  while (i < n) {
    qsizetype start = i;
    while (i < n && !separator(text[i])) ++i;
    const QString name = text.mid(start, i - start);
    if (!name.isEmpty()) {
      auto it = std::find_if(members.begin(), members.end(),
                             [&](const auto& m) { return m.second != 0 && SameText(m.first, name); });
      if (it == members.end()) return std::nullopt;
      mask |= it->second;
    }
    if (i < n) ++i;
  }
  return mask;
}

namespace {
// "Columns[3]" gives "Columns" and 3; a name without brackets gives no index.
QString SplitIndex(const QString& segment, std::optional<int>& index) {
  const qsizetype open = segment.indexOf(QLatin1Char('['));
  if (open < 0) return segment;
  const QString digits = segment.mid(open + 1, segment.size() - open - 2);
  bool ok = segment.endsWith(QLatin1Char(']')) && !digits.isEmpty();
  for (qsizetype k = 0; ok && k < digits.size(); ++k)
    ok = (digits[k] >= QLatin1Char('0') && digits[k] <= QLatin1Char('9')) || (k == 0 && digits[k] == QLatin1Char('-'));
  const int value = ok ? digits.toInt(&ok) : 0;
  if (!ok) throw EConvertError(QStringLiteral("'%1' has no valid index").arg(segment));
  index = value;
  return segment.left(open);
}
}  // namespace

QObject* ResolvePropertyPath(QObject* start, const QString& path, QString* lastProperty) {
  if (lastProperty) lastProperty->clear();
  if (!start || path.isEmpty()) return nullptr;
  const QStringList segments = path.split(QLatin1Char('.'));
  QObject* object = start;
  for (qsizetype i = 0; i + 1 < segments.size(); ++i) {
    std::optional<int> index;
    const QString name = SplitIndex(segments[i], index);
    const TPropInfo prop = GetPropInfo(object, name);
    if (!prop.IsValid() || prop.Kind() != tkClass) return nullptr;
    object = GetObjectProp(object, prop);
    if (!object) return nullptr;
    if (index) {
      auto* collection = qobject_cast<TCollection*>(object);
      if (!collection) return nullptr;
      object = collection->Items(*index);
    }
  }
  if (lastProperty) *lastProperty = segments.back();
  return object;
}
