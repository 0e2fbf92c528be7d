// Published properties by name: the one module through which the loader, the
// translation engine and the property saver read and write component state.
#pragma once

#include <QByteArray>
#include <QMetaProperty>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <optional>
#include <vector>

class QObject;

// Property kinds, numbered as the rest of the system expects them.
enum TTypeKind {
  tkUnknown = 0,
  tkInteger = 1,
  tkChar = 2,
  tkEnumeration = 3,
  tkFloat = 4,
  tkString = 5,
  tkSet = 6,
  tkClass = 7,
  tkMethod = 8,
  tkWChar = 9,
  tkLString = 10,
  tkWString = 11,
  tkVariant = 12,
  tkArray = 13,
  tkRecord = 14,
  tkInterface = 15,
  tkInt64 = 16,
  tkDynArray = 17,
};

using TTypeKinds = unsigned;  // bit (1u << kind) per kind
constexpr TTypeKinds KindBit(TTypeKind k) { return 1u << k; }
constexpr TTypeKinds tkStrings = KindBit(tkString) | KindBit(tkLString) | KindBit(tkWString);
constexpr TTypeKinds tkAny = ~0u & ~KindBit(tkMethod) & ~KindBit(tkUnknown);

// One published property of a class.
class TPropInfo {
public:
  TPropInfo() = default;
  explicit TPropInfo(QMetaProperty property);

  bool IsValid() const { return FProp.isValid(); }
  QString Name() const { return QString::fromLatin1(FProp.name()); }
  TTypeKind Kind() const { return FKind; }
  // The type's name: "Integer", "Boolean", "WideString", an enumeration or set
  // type's own name ("TWindowState", "TFontStyles") or a class name ("TFont").
  QString TypeName() const;
  bool Readable() const { return FProp.isReadable(); }
  bool Writable() const { return FProp.isWritable(); }
  // For tkClass: the class of the property's declared type.
  const QMetaObject* ClassType() const { return FProp.metaType().metaObject(); }
  // For tkEnumeration (except Boolean) and tkSet: the members.
  QMetaEnum Enumerator() const { return FProp.enumerator(); }
  const QMetaProperty& MetaProperty() const { return FProp; }

private:
  QMetaProperty FProp;
  TTypeKind FKind = tkUnknown;
};

// All published properties of the object's class and its ancestors except
// events, sorted by name.
std::vector<TPropInfo> GetPropList(const QObject* object);
// Finds a property ignoring ASCII case, the class first and then its
// ancestors. Events are found too when `withEvents` is set.
TPropInfo GetPropInfo(const QObject* object, const QString& name, bool withEvents = false);
// Whether `object`'s class is, or descends from, the class named `className`.
bool InheritsFrom(const QObject* object, const char* className);

// Reading and writing by kind. Ordinal covers tkInteger, tkChar, tkWChar,
// tkEnumeration (Boolean: 0 or 1) and tkSet (the bit mask, member k at bit k).
qint64 GetOrdProp(const QObject* object, const TPropInfo& prop);
void SetOrdProp(QObject* object, const TPropInfo& prop, qint64 value);
qint64 GetInt64Prop(const QObject* object, const TPropInfo& prop);
void SetInt64Prop(QObject* object, const TPropInfo& prop, qint64 value);
double GetFloatProp(const QObject* object, const TPropInfo& prop);
void SetFloatProp(QObject* object, const TPropInfo& prop, double value);
// Text in byte properties: long and short strings (QByteArray) and byte
// characters hold Windows-1250, the system's single-byte code page (see
// Definition.h). Text goes in and out of them through that code page: every
// byte comes back as the character it stands for (and goes back unchanged),
// and a character the code page lacks is stored as '?'.
QString AnsiToText(const QByteArray& bytes);
QByteArray TextToAnsi(const QString& text);
// Wide strings (QString) as they are; byte strings through Windows-1250 as
// above.
QString GetStrProp(const QObject* object, const TPropInfo& prop);
void SetStrProp(QObject* object, const TPropInfo& prop, const QString& value);
QByteArray GetBytesProp(const QObject* object, const TPropInfo& prop);
void SetBytesProp(QObject* object, const TPropInfo& prop, const QByteArray& value);
QObject* GetObjectProp(const QObject* object, const TPropInfo& prop);
// Stores a reference, or (for sub-objects such as fonts) lets the property's
// writer copy the object. Raises EConvertError for an object of the wrong
// class.
void SetObjectProp(QObject* object, const TPropInfo& prop, QObject* value);
QVariant GetVariantProp(const QObject* object, const TPropInfo& prop);
void SetVariantProp(QObject* object, const TPropInfo& prop, const QVariant& value);
// Events: the raw handler value.
QVariant GetMethodProp(const QObject* object, const TPropInfo& prop);
void SetMethodProp(QObject* object, const TPropInfo& prop, const QVariant& handler);

// Enumeration members (Boolean: "False", "True").
QStringList GetEnumNames(const TPropInfo& prop);
QString GetEnumName(const TPropInfo& prop, qint64 value);
// The member's value for a name compared ignoring ASCII case; none when no
// member has that name.
std::optional<qint64> GetEnumValue(const TPropInfo& prop, const QString& name);
// Set members, in ascending element order, and their bits.
QStringList GetSetNames(const TPropInfo& prop);
// "fsBold,fsItalic" for a mask; the empty text for the empty set.
QString SetToString(const TPropInfo& prop, qint64 mask, bool brackets = false);
// Names separated by commas or blanks, with optional brackets; none when a
// name is not a member.
std::optional<qint64> StringToSet(const TPropInfo& prop, const QString& text);

// Walks a dotted property path such as "Columns[0].Title.Caption" from
// `start`: every segment but the last names an object property (ignoring
// case), and "Name[n]" takes item n of a collection property. Returns the
// object that holds the last property and stores that property's name in
// `*lastProperty`; nullptr when a segment names no object property or the
// object is empty. A missing or non-numeric index raises EConvertError, an
// index outside the collection EListError.
QObject* ResolvePropertyPath(QObject* start, const QString& path, QString* lastProperty);
