// Reaching the owning window's components and their published properties by
// name and by dotted path ("DBGrid1.Columns[0].Title.Caption"), and reading
// and writing them as single-byte text. Wide strings go through the code page
// of the current character set.
#include "Classes.h"
#include "CodePage.h"
#include "Exceptions.h"
#include "SysUtils.h"
#include "TypeInfo.h"
#include "lgComp.h"
#include "lgSwitch.h"

#include <QMetaEnum>

#include <optional>

namespace {

// The item index of a collection segment: the text between the first "[" and
// the first "]" of what is left of the path.
int ItemIndex(const QString& rest) {
  const qsizetype open = rest.indexOf(QLatin1Char('['));
  const qsizetype close = rest.indexOf(QLatin1Char(']'));
  const QString digits = open >= 0 && close > open ? rest.mid(open + 1, close - open - 1) : QString();
  return StrToInt(digits);
}

// A set from member names. Leading blanks and "[" are skipped; names are
// separated by ",", blanks or "]". None when a name is not a member.
std::optional<qint64> ParseSet(const TPropInfo& prop, const QString& text) {
  const QMetaEnum members = prop.Enumerator();
  auto separator = [](QChar c) { return c == QLatin1Char(',') || c == QLatin1Char(' ') || c == QLatin1Char(']'); };
  qint64 mask = 0;
  qsizetype i = 0;
  const qsizetype n = text.size();
  while (i < n && (text[i] == QLatin1Char(' ') || text[i] == QLatin1Char('['))) ++i;
  while (i < n) {
    const qsizetype start = i;
    while (i < n && !separator(text[i])) ++i;
    const QString name = text.mid(start, i - start);
    while (i < n && separator(text[i])) ++i;
    if (name.isEmpty()) continue;
    std::optional<qint64> bit;
    for (int k = 0; k < members.keyCount() && !bit; ++k)
      if (members.value(k) != 0 && SameText(QString::fromLatin1(members.key(k)), name)) bit = members.value(k);
    if (!bit) return std::nullopt;
    mask |= *bit;
  }
  return mask;
}

}  // namespace

bool TlgCustomLang::ObjectHasProperty(const QObject* object, const QString& propertyName, TTypeKinds kinds,
                                      const QString& typeName) const {
  if (!object) return false;
  const TPropInfo prop = GetPropInfo(object, propertyName);
  if (!prop.IsValid() || !(kinds & KindBit(prop.Kind()))) return false;
  return typeName.isEmpty() || SameText(prop.TypeName(), typeName);
}

QByteArray TlgCustomLang::GetObjectStrProperty(const QObject* object, const QString& propertyName) const {
  if (!object) return {};
  const TPropInfo prop = GetPropInfo(object, propertyName);
  if (!prop.IsValid()) return {};
  return lgGetStrprop(object, prop);
}

void TlgCustomLang::SetObjectStrProperty(QObject* object, const QString& propertyName, const QByteArray& text) const {
  if (!object) return;
  const TPropInfo prop = GetPropInfo(object, propertyName);
  if (!prop.IsValid()) return;
  lgSetStrProp(object, prop, text);
}

QByteArray TlgCustomLang::lgGetStrprop(const QObject* object, const TPropInfo& prop) const {
  if (!object || !prop.IsValid()) return {};
  switch (prop.Kind()) {
    case tkWString: return WideToMultiByte(lgCodePageOf(FCurrentCharset), GetStrProp(object, prop));
    case tkString:
    case tkLString: return GetBytesProp(object, prop);
    default: return {};
  }
}

void TlgCustomLang::lgSetStrProp(QObject* object, const TPropInfo& prop, const QByteArray& text) const {
  if (!object || !prop.IsValid()) return;
  switch (prop.Kind()) {
    case tkWString: SetStrProp(object, prop, MultiByteToWide(lgCodePageOf(FCurrentCharset), text)); break;
    case tkString:
    case tkLString: SetBytesProp(object, prop, text); break;
    default: break;
  }
}

QObject* TlgCustomLang::GetObjByPath(const QString& path, QString* lastProperty) const {
  if (lastProperty) lastProperty->clear();
  TComponent* window = Owner();
  if (!window) return nullptr;

  // The window is reached only through its class name: it is not one of its
  // own components.
  QObject* current = nullptr;
  QString rest;
  const QString classPrefix = window->ClassName() + QLatin1Char('.');
  if (path.startsWith(classPrefix, Qt::CaseSensitive)) {
    current = window;
    rest = path.mid(classPrefix.size());
  } else {
    const qsizetype dot = path.indexOf(QLatin1Char('.'));
    if (dot < 0) return nullptr;
    current = window->FindComponent(path.left(dot));
    if (!current) return nullptr;
    rest = path.mid(dot + 1);
  }

  for (qsizetype dot = rest.indexOf(QLatin1Char('.')); dot >= 0; dot = rest.indexOf(QLatin1Char('.'))) {
    // "Columns[0].Title": the name ends at the bracket when the text before
    // it is a property; otherwise at the dot.
    const qsizetype bracket = rest.indexOf(QLatin1Char('['));
    TPropInfo prop = bracket >= 0 ? GetPropInfo(current, rest.left(bracket)) : TPropInfo();
    if (!prop.IsValid()) prop = GetPropInfo(current, rest.left(dot));
    if (!prop.IsValid() || prop.Kind() != tkClass) return nullptr;
    current = GetObjectProp(current, prop);
    if (!current) return nullptr;
    if (auto* collection = qobject_cast<TCollection*>(current)) current = collection->Items(ItemIndex(rest));
    rest = rest.mid(dot + 1);
  }
  if (lastProperty) *lastProperty = rest;
  return current;
}

QByteArray TlgCustomLang::GetPropValueByPath(const QString& path) const {
  QString name;
  QObject* object = GetObjByPath(path, &name);
  if (!object) return {};
  const TPropInfo prop = GetPropInfo(object, name);
  if (!prop.IsValid()) return {};
  switch (prop.Kind()) {
    case tkInteger: return QByteArray::number(static_cast<qint32>(GetOrdProp(object, prop)));
    case tkInt64: return QByteArray::number(GetInt64Prop(object, prop));
    case tkEnumeration: return GetEnumName(prop, GetOrdProp(object, prop)).toLatin1();
    case tkFloat: return FloatToStr(GetFloatProp(object, prop)).toLatin1();
    case tkSet: return SetToString(prop, GetOrdProp(object, prop)).toLatin1();
    case tkString:
    case tkLString:
    case tkWString: return lgGetStrprop(object, prop);
    case tkClass:
      if (auto* list = qobject_cast<TStrings*>(GetObjectProp(object, prop)))
        return WideToMultiByte(lgCodePageOf(FCurrentCharset), list->CommaText());
      return {};
    default: return {};
  }
}

void TlgCustomLang::SetPropValueByPath(const QString& path, const QByteArray& value) const {
  QString name;
  QObject* object = GetObjByPath(path, &name);
  if (!object) return;
  const TPropInfo prop = GetPropInfo(object, name);
  if (!prop.IsValid()) return;
  // From here on a value that does not convert, or a writer that refuses it,
  // leaves the property as it was.
  try {
    const QString text = QString::fromLatin1(value);
    switch (prop.Kind()) {
      case tkInteger: SetOrdProp(object, prop, StrToInt(text)); break;
      case tkInt64: SetInt64Prop(object, prop, StrToInt(text)); break;
      case tkEnumeration:
        // A text that names no member stores nothing.
        if (const auto member = GetEnumValue(prop, text)) SetOrdProp(object, prop, *member);
        break;
      case tkFloat: SetFloatProp(object, prop, StrToFloat(text)); break;
      case tkSet:
        if (const auto mask = ParseSet(prop, text)) SetOrdProp(object, prop, *mask);
        break;
      case tkString:
      case tkLString:
      case tkWString: lgSetStrProp(object, prop, value); break;
      case tkClass:
        if (auto* list = qobject_cast<TStrings*>(GetObjectProp(object, prop)))
          lgReplaceLines(list, ParseCommaText(MultiByteToWide(lgCodePageOf(FCurrentCharset), value)));
        break;
      default: break;
    }
  } catch (...) {
  }
}

int TlgCustomLang::GetPropTypeByPath(const QString& path) const {
  QString name;
  QObject* object = GetObjByPath(path, &name);
  if (!object) return 0;
  const TPropInfo prop = GetPropInfo(object, name);
  if (!prop.IsValid()) return 0;
  if (prop.Kind() == tkClass) return qobject_cast<TStrings*>(GetObjectProp(object, prop)) ? tkClass : 0;
  return prop.Kind();
}
