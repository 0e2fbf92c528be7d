// The language switch: writes the active language's value of every row into
// the named component's property, section by section, comparing before it
// writes so that a switch there and back touches only what really changes.
#include "lgSwitch.h"

#include "CodePage.h"
#include "Controls.h"
#include "Graphics.h"
#include "SysUtils.h"
#include "lgComp.h"

#include <QDir>
#include <QStringList>

#include <cctype>

// ---------------------------------------------------------------- standalone rules

namespace {

struct CharsetName {
  const char* name;
  int value;
};

// Searched in this order; the first match wins.
constexpr CharsetName kCharsets[] = {
    {"ANSI_CHARSET", 0},          {"DEFAULT_CHARSET", 1},      {"SYMBOL_CHARSET", 2},    {"MAC_CHARSET", 77},
    {"SHIFTJIS_CHARSET", 128},    {"HANGEUL_CHARSET", 129},    {"JOHAB_CHARSET", 130},   {"GB2312_CHARSET", 134},
    {"CHINESEBIG5_CHARSET", 136}, {"GREEK_CHARSET", 161},      {"TURKISH_CHARSET", 162}, {"VIETNAMESE_CHARSET", 163},
    {"HEBREW_CHARSET", 177},      {"ARABIC_CHARSET", 178},     {"BALTIC_CHARSET", 186},  {"RUSSIAN_CHARSET", 204},
    {"THAI_CHARSET", 222},        {"EASTEUROPE_CHARSET", 238}, {"OEM_CHARSET", 255},
};

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

bool HasDrive(const QByteArray& s) {
  return s.size() >= 2 && s[1] == ':' && std::isalpha(static_cast<unsigned char>(s[0]));
}

bool IsUnc(const QByteArray& s) { return s.size() >= 2 && IsSeparator(s[0]) && IsSeparator(s[1]); }

// The root of an absolute name ("C:", "\\server\share", or nothing for a name
// that starts at a separator) and the length it takes in the name.
QByteArray RootOf(const QByteArray& s, qsizetype* length) {
  if (HasDrive(s)) {
    *length = 2;
    return s.left(2);
  }
  if (IsUnc(s)) {
    // Server and share both belong to the root: ".." never climbs above them.
    qsizetype i = 2;
    int parts = 0;
    QByteArray root = "\\\\";
    QByteArray part;
    while (i < s.size() && parts < 2) {
      if (IsSeparator(s[i])) {
        if (!part.isEmpty()) {
          root += (parts ? "\\" : "") + part;
          ++parts;
          part.clear();
        }
      } else {
        part += s[i];
      }
      ++i;
    }
    if (parts < 2 && !part.isEmpty()) {
      root += (parts ? "\\" : "") + part;
      i = s.size();
    }
    *length = i;
    return root;
  }
  *length = 0;
  return {};
}

}  // namespace

std::optional<int> lgCharsetByName(const QByteArray& name, bool ignoreCase) {
  for (const CharsetName& c : kCharsets)
    if (name.compare(c.name, ignoreCase ? Qt::CaseInsensitive : Qt::CaseSensitive) == 0) return c.value;
  return std::nullopt;
}

QByteArray lgExpandFileName(const QByteArray& fileName, const QByteArray& currentDir) {
  if (fileName.isEmpty()) return {};
  QByteArray full;
  if (IsUnc(fileName) || (HasDrive(fileName) && fileName.size() > 2 && IsSeparator(fileName[2]))) {
    full = fileName;
  } else if (HasDrive(fileName)) {
    // "C:name" is relative to the current directory only when that is on C:.
    const bool sameDrive = HasDrive(currentDir) && std::toupper(static_cast<unsigned char>(currentDir[0])) ==
                                                       std::toupper(static_cast<unsigned char>(fileName[0]));
    full = (sameDrive ? currentDir : fileName.left(2)) + '\\' + fileName.mid(2);
  } else if (IsSeparator(fileName[0])) {
    qsizetype unused = 0;
    full = RootOf(currentDir, &unused) + fileName;
  } else {
    full = currentDir + '\\' + fileName;
  }

  qsizetype rootLength = 0;
  const QByteArray root = RootOf(full, &rootLength);
  QList<QByteArray> segments;
  QByteArray segment;
  const auto flush = [&] {
    if (segment == "..") {
      if (!segments.isEmpty()) segments.removeLast();
    } else if (!segment.isEmpty() && segment != ".") {
      segments.append(segment);
    }
    segment.clear();
  };
  for (qsizetype i = rootLength; i < full.size(); ++i) {
    if (IsSeparator(full[i]))
      flush();
    else
      segment += full[i];
  }
  flush();

  QByteArray out = root;
  for (const QByteArray& s : segments) out += '\\' + s;
  if (segments.isEmpty() || IsSeparator(fileName.back())) out += '\\';
  return out;
}

bool lgSameFileName(const QByteArray& a, const QByteArray& b) {
  QByteArray x = a, y = b;
  return x.replace('/', '\\') == y.replace('/', '\\');
}

int lgCodePageOf(int charset) {
  const int codePage = CharsetToCodePage(charset);
  return codePage != 0 && IsCodePageSupported(codePage) ? codePage : DefaultAnsiCodePage();
}

void lgReplaceLines(TStrings* list, const QStringList& lines) {
  auto* plain = qobject_cast<TStringList*>(list);
  const bool sorted = plain && plain->Sorted();
  list->BeginUpdate();
  try {
    if (sorted) plain->SetSorted(false);
    const int count = static_cast<int>(lines.size());
    for (int i = 0; i < count; ++i) {
      if (i < list->Count())
        list->Put(i, lines[i]);
      else
        list->Add(lines[i]);
    }
    while (list->Count() > count) list->Delete(list->Count() - 1);
    if (sorted) plain->SetSorted(true);
  } catch (...) {
    if (sorted) plain->SetSorted(true);
    list->EndUpdate();
    throw;
  }
  list->EndUpdate();
}

// ---------------------------------------------------------------- the switch

namespace {

bool IsStringKind(const TPropInfo& prop) { return prop.IsValid() && (tkStrings & KindBit(prop.Kind())); }
bool IsReadWrite(const TPropInfo& prop) { return prop.IsValid() && prop.Readable() && prop.Writable(); }

// Row names are identifiers: their bytes are ASCII.
QString NameText(const QByteArray& bytes) { return QString::fromLatin1(bytes); }

QObject* ObjectOf(const QObject* object, const TPropInfo& prop) {
  if (!prop.IsValid() || prop.Kind() != tkClass || !prop.Readable()) return nullptr;
  return GetObjectProp(object, prop);
}

// A control whose action is set, or any object whose published Action is set.
bool BoundToAction(const QObject* object) {
  return ObjectOf(object, GetPropInfo(object, QStringLiteral("Action"))) != nullptr;
}

bool ParentFontOn(const QObject* object) {
  const auto* control = qobject_cast<const TControl*>(object);
  return control && control->ParentFont();
}

QString ToWide(const TlgCustomLang& lang, const QByteArray& value) {
  return value.isEmpty() ? QString() : MultiByteToWide(lgCodePageOf(lang.CurrentCharset()), value);
}

QByteArray ToBytes(const TlgCustomLang& lang, const QString& text) {
  return text.isEmpty() ? QByteArray() : WideToMultiByte(lgCodePageOf(lang.CurrentCharset()), text);
}

// Lines of text separated by CR LF, CR or LF, as a string list reads them.
QStringList TextLines(const QString& text) {
  TStringList lines;
  lines.SetText(text);
  return lines.ToList();
}

// The one window-wide view of a switch in progress.
class TSwitch {
public:
  explicit TSwitch(TlgCustomLang& lang)
      : L(lang),
        FOwner(lang.Owner()),
        FClassName(FOwner ? FOwner->ClassName() : QString()),
        FClassBytes(FClassName.toLatin1()),
        FDelim(static_cast<char>(lang.LangDelim())) {}

  bool Skipped(const QString& componentName) const { return lgListHas(L.DoNotTranslate(), componentName); }
  bool SmartExcluded(const char* suffix) const {
    return lgListHas(L.SmartExcludeProps(), FClassName + QLatin1String(suffix));
  }

  // The active language's value of a row; with ttGetDefault an empty one
  // falls back to language 1.
  QByteArray Value(const QByteArray& row, bool componentFallback = true) const {
    QByteArray value = componentFallback ? L.IntExtractTranslation(row, FDelim, L.ActiveLanguage())
                                         : ExtractTranslation(row, FDelim, L.ActiveLanguage());
    if (value.isEmpty() && L.TranslateType() == ttGetDefault) value = ExtractTranslation(row, FDelim, 1);
    return value;
  }

  // The component a row names: one of the window's, or the window itself by
  // its class name or its own name (exact).
  QObject* Target(const QString& name) const {
    if (TComponent* c = FOwner->FindComponent(name)) return c;
    if (!name.isEmpty() && (name == FClassName || name == FOwner->Name())) return FOwner;
    return nullptr;
  }

  // Whether the section's first row is the window's own row.
  bool FirstRowIsWindows(const TlgRows& rows) const {
    if (rows.isEmpty()) return false;
    return lgSameName(ExtractTranslation(rows.first(), FDelim, 0), FClassBytes);
  }

  void ApplyWindowText(TStringsType type, const char* property, const char* suffix);
  void ApplyWindowFont();
  void ApplySection(TStringsType type);
  void ApplyLocales();
  void ApplyCollections();

private:
  void ApplyRow(TStringsType type, const TlgRows& rows, int position);
  void ApplyText(QObject* component, const TPropInfo& prop, const QByteArray& value, bool captionLike);
  void ApplySubProperty(QObject* component, const TPropInfo& prop, const QString& subName, const QByteArray& value);
  void ApplyFont(QObject* component, const QByteArray& componentName, const TPropInfo& prop, const QByteArray& value);
  void ApplyLines(QObject* component, const TPropInfo& prop, const QString& subName, const QByteArray& value);
  // One row of stCollections; false when the row was deleted.
  bool ApplyCollectionRow(TlgRows& rows, int position);

  TlgCustomLang& L;
  TComponent* FOwner;
  QString FClassName;
  QByteArray FClassBytes;
  char FDelim;
};

void TSwitch::ApplyWindowText(TStringsType type, const char* property, const char* suffix) {
  const TlgRows& rows = L.Rows(type);
  const QString name = QLatin1String(property);
  if (rows.isEmpty() || Skipped(FClassName) || SmartExcluded(suffix)) return;
  if (!L.ObjectHasProperty(FOwner, name, tkStrings)) return;
  if (!FirstRowIsWindows(rows)) return;
  const QByteArray value = Value(rows.first());
  // The window's own text is written without comparing with what it shows.
  if (!value.isEmpty() && !BoundToAction(FOwner)) L.SetObjectStrProperty(FOwner, name, value);
}

void TSwitch::ApplyWindowFont() {
  const TlgRows& rows = L.Rows(stFonts);
  const QString font = QStringLiteral("Font");
  if (rows.isEmpty() || Skipped(FClassName) || SmartExcluded(".Font")) return;
  if (!L.ObjectHasProperty(FOwner, font, KindBit(tkClass), QStringLiteral("TFont"))) return;
  if (!FirstRowIsWindows(rows)) return;
  auto* object = qobject_cast<TFont*>(ObjectOf(FOwner, GetPropInfo(FOwner, font)));
  if (!object) return;
  const QByteArray value = Value(rows.first(), false);
  if (!value.isEmpty()) L.SetObjectStrProperty(object, QStringLiteral("Name"), value);
  const QByteArray charset = L.GetStringValue(L.Rows(stCharSets), FClassBytes, L.ActiveLanguage());
  if (const auto v = lgCharsetByName(charset, false)) object->SetCharset(*v);
}

void TSwitch::ApplySection(TStringsType type) {
  L.DelOldNames(type);
  const TlgRows& rows = L.Rows(type);
  if (rows.isEmpty()) return;
  int first = 0;
  if ((type == stCaptions || type == stHints || type == stFonts) && InheritsFrom(FOwner, "TCustomForm") &&
      !Skipped(FClassName) && rows.first().startsWith(FClassBytes + FDelim))
    first = 1;  // the window's own row has been applied already
  const int count = static_cast<int>(rows.size());
  for (int i = first; i < count; ++i) ApplyRow(type, rows, i);
}

void TSwitch::ApplyRow(TStringsType type, const TlgRows& rows, int position) {
  const QByteArray row = rows.value(position);  // a row gone meanwhile reads empty
  const QByteArray name = ExtractTranslation(row, FDelim, 0);
  QByteArray componentName = name;
  QString propertyName, subName;
  if (type == stMultiLines || type == stOtherStrings) {
    const qsizetype dot = name.indexOf('.');
    if (dot < 0) return;
    componentName = name.left(dot);
    propertyName = NameText(name.mid(dot + 1));
    const qsizetype subDot = propertyName.indexOf(QLatin1Char('.'));
    if (subDot >= 0) {
      subName = propertyName.mid(subDot + 1);
      propertyName.truncate(subDot);
    }
  } else {
    static const char* const kProperty[] = {"Caption", "Hint", "DisplayLabel", "Font"};
    if (type > stFonts) return;
    propertyName = QLatin1String(kProperty[type]);
  }
  const QString component = NameText(componentName);
  if (Skipped(component)) return;
  const QByteArray value = Value(row);
  QObject* target = Target(component);
  if (!target) return;
  const TPropInfo prop = GetPropInfo(target, propertyName);
  if (!IsReadWrite(prop)) return;

  try {
    switch (type) {
      case stCaptions:
      case stHints: ApplyText(target, prop, value, true); break;
      case stDisplayLabels: ApplyText(target, prop, value, false); break;
      case stOtherStrings:
        if (subName.isEmpty())
          ApplyText(target, prop, value, false);
        else
          ApplySubProperty(target, prop, subName, value);
        break;
      case stFonts: ApplyFont(target, componentName, prop, value); break;
      case stMultiLines: ApplyLines(target, prop, subName, value); break;
      default: break;
    }
  } catch (const EListError&) {
    // A row whose list moved under it is left for the next switch.
  } catch (...) {
    // Texts are independent of each other: one that will not take its value
    // must not keep the rest of the window in the old language. Fonts and
    // lists are different: their failures reach the caller.
    if (type == stFonts || type == stMultiLines) throw;
  }
}

void TSwitch::ApplyText(QObject* component, const TPropInfo& prop, const QByteArray& value, bool captionLike) {
  if (value.isEmpty() || !IsStringKind(prop)) return;
  const QByteArray current = L.lgGetStrprop(component, prop);
  if (current == value) return;
  if (captionLike) {
    // An action decides the texts of the controls bound to it.
    if (BoundToAction(component)) return;
  } else if (value.contains("..") || value.contains(".\\")) {
    // A relative file name that already stands for the absolute one the
    // property holds is left as it is.
    const QByteArray currentDir = ToBytes(L, QDir::currentPath());
    if (lgSameFileName(lgExpandFileName(value, currentDir), current)) return;
  }
  L.lgSetStrProp(component, prop, value);
}

void TSwitch::ApplySubProperty(QObject* component, const TPropInfo& prop, const QString& subName,
                               const QByteArray& value) {
  if (value.isEmpty()) return;
  QObject* object = ObjectOf(component, prop);
  if (!object) return;
  const TPropInfo sub = GetPropInfo(object, subName);
  if (!sub.IsValid()) return;
  if (value == L.lgGetStrprop(object, sub)) return;
  if (sub.Kind() == tkWString)
    SetStrProp(object, sub, MultiByteToWide(DefaultAnsiCodePage(), value));
  else
    L.lgSetStrProp(object, sub, value);
}

void TSwitch::ApplyFont(QObject* component, const QByteArray& componentName, const TPropInfo& prop,
                        const QByteArray& value) {
  auto* font = qobject_cast<TFont*>(ObjectOf(component, prop));
  if (!font) return;
  // A control that takes its parent's font keeps taking it.
  const bool parentFont = ParentFontOn(component);
  const QByteArray charset = L.GetStringValue(L.Rows(stCharSets), componentName, L.ActiveLanguage());
  if (const auto v = lgCharsetByName(charset, true); v && !parentFont) font->SetCharset(*v);
  if (value.isEmpty() || parentFont) return;
  L.SetObjectStrProperty(font, QStringLiteral("Name"), value);
  SetObjectProp(component, prop, font);
}

void TSwitch::ApplyLines(QObject* component, const TPropInfo& prop, const QString& subName, const QByteArray& value) {
  if (value.isEmpty()) return;
  QObject* object = ObjectOf(component, prop);
  if (!object) return;
  if (!subName.isEmpty()) {
    auto* list = qobject_cast<TStrings*>(ObjectOf(object, GetPropInfo(object, subName)));
    if (!list) return;
    const QString text = ToWide(L, value);
    if (text != list->CommaText()) lgReplaceLines(list, ParseCommaText(text));
    return;
  }
  auto* list = qobject_cast<TStrings*>(object);
  if (!list) return;
  const QString text = ToWide(L, value);
  if (text == list->CommaText()) return;

  // Refilling the lines would lose a list's selection and, with word wrap
  // on, make a memo re-wrap every line on the way.
  const TPropInfo itemIndex =
      InheritsFrom(component, "TCustomListControl") ? GetPropInfo(component, QStringLiteral("ItemIndex")) : TPropInfo();
  const TPropInfo wordWrap =
      InheritsFrom(component, "TMemo") ? GetPropInfo(component, QStringLiteral("WordWrap")) : TPropInfo();
  const qint64 selected = IsReadWrite(itemIndex) ? GetOrdProp(component, itemIndex) : -1;
  const bool wrapped = IsReadWrite(wordWrap) && GetOrdProp(component, wordWrap) != 0;
  if (wrapped) SetOrdProp(component, wordWrap, 0);
  const auto restore = [&] {
    if (IsReadWrite(itemIndex)) SetOrdProp(component, itemIndex, selected);
    if (wrapped) SetOrdProp(component, wordWrap, 1);
  };
  try {
    lgReplaceLines(list, ParseCommaText(text));
  } catch (...) {
    restore();
    throw;
  }
  restore();
}

void TSwitch::ApplyLocales() {
  TFormatSettings& f = FormatSettings;
  const auto firstChar = [](const QString& s) { return s.at(0); };
  const auto names = [](const QString& text, QString* target, int size) {
    const QStringList items = ParseCommaText(text);
    for (int i = 0; i < size && i < items.size(); ++i) target[i] = items[i];
  };
  for (const QByteArray& row : L.Rows(stLocales)) {
    const QByteArray value = Value(row);
    if (value.isEmpty()) continue;
    const QByteArray name = ExtractTranslation(row, FDelim, 0);
    const QString text = ToWide(L, value);
    if (text.isEmpty()) continue;
    if (name == "Currency String")
      f.CurrencyString = text;
    else if (name == "Thousand Separator")
      f.ThousandSeparator = firstChar(text);
    else if (name == "Decimal Separator")
      f.DecimalSeparator = firstChar(text);
    else if (name == "Date Separator")
      f.DateSeparator = firstChar(text);
    else if (name == "Short Date Format")
      f.ShortDateFormat = text;
    else if (name == "Long Date Format")
      f.LongDateFormat = text;
    else if (name == "Time Separator")
      f.TimeSeparator = firstChar(text);
    else if (name == "Time AM String")
      f.TimeAMString = text;
    else if (name == "Time PM String")
      f.TimePMString = text;
    else if (name == "Short Time Format")
      f.ShortTimeFormat = text;
    else if (name == "Long Time Format")
      f.LongTimeFormat = text;
    else if (name == "Short Month Names")
      names(text, f.ShortMonthNames, 12);
    else if (name == "Long Month Names")
      names(text, f.LongMonthNames, 12);
    else if (name == "Short Day Names")
      names(text, f.ShortDayNames, 7);
    else if (name == "Long Day Names")
      names(text, f.LongDayNames, 7);
  }
}

void TSwitch::ApplyCollections() {
  L.DelOldNames(stCollections);
  TlgRows& rows = L.Rows(stCollections);
  // Rows are deleted on the way: the count is read anew every time, and a
  // deleted row's place is taken by the next one.
  int i = 0;
  while (i < rows.size())
    if (ApplyCollectionRow(rows, i)) ++i;
}

// The parts of a row name like "DBGrid1.Columns[0].Title.Caption" or
// "Grid1.Properties.Columns[1].Caption".
struct CollectionPath {
  QByteArray component;
  QString subObject;   // "Properties", or empty
  QString collection;  // "Columns"
  int index = -1;
  QString itemPath;  // "Title.Caption"
};

// The component part of a collection row; false for a name of another shape.
bool SplitCollectionPath(const QByteArray& name, CollectionPath* path) {
  const qsizetype dot = name.indexOf('.');
  if (dot < 0) return false;
  path->component = name.left(dot);
  const QByteArray rest = name.mid(dot + 1);
  const qsizetype open = rest.indexOf('['), close = rest.indexOf(']');
  if (open < 0 || close < open + 2 || !rest.mid(close + 1).startsWith('.')) return false;
  QString collection = NameText(rest.left(open));
  const qsizetype subDot = collection.indexOf(QLatin1Char('.'));
  if (subDot >= 0) {
    path->subObject = collection.left(subDot);
    collection = collection.mid(subDot + 1);
  }
  path->collection = collection;
  bool ok = false;
  const QByteArray digits = rest.mid(open + 1, close - open - 1);
  for (char c : digits)
    if (c < '0' || c > '9') return false;
  path->index = digits.toInt(&ok);
  if (!ok) return false;
  path->itemPath = NameText(rest.mid(close + 2));
  return !path->itemPath.isEmpty();
}

bool TSwitch::ApplyCollectionRow(TlgRows& rows, int position) {
  const auto drop = [&] {
    if (position < rows.size()) rows.removeAt(position);
    return false;
  };
  const QByteArray row = rows.value(position);
  const QByteArray name = ExtractTranslation(row, FDelim, 0);
  const qsizetype dot = name.indexOf('.');
  if (dot >= 0 && Skipped(NameText(name.left(dot)))) return true;
  CollectionPath path;
  if (!SplitCollectionPath(name, &path)) return true;  // no shape this window knows: left alone
  const QByteArray value = Value(row);

  TComponent* component = FOwner->FindComponent(NameText(path.component));
  if (!component) return true;
  QObject* holder = component;
  if (!path.subObject.isEmpty()) {
    holder = ObjectOf(component, GetPropInfo(component, path.subObject));
    if (!holder) return drop();
  }
  auto* collection = qobject_cast<TCollection*>(ObjectOf(holder, GetPropInfo(holder, path.collection)));
  if (!collection || path.index >= collection->Count()) return drop();
  TCollectionItem* item = collection->Items(path.index);

  const auto currentText = [&](const QObject* object, const TPropInfo& prop) {
    try {
      return L.lgGetStrprop(object, prop);
    } catch (...) {
      return QByteArray();  // an unreadable value counts as empty
    }
  };
  const auto write = [&](QObject* object, const TPropInfo& prop) {
    if (!value.isEmpty() && value != currentText(object, prop)) L.lgSetStrProp(object, prop, value);
  };

  if (!path.itemPath.contains(QLatin1Char('.'))) {
    const TPropInfo prop = GetPropInfo(item, path.itemPath);
    if (!prop.IsValid()) return drop();
    if (prop.Kind() == tkClass) {
      QObject* object = ObjectOf(item, prop);
      if (!object) return drop();
      if (auto* list = qobject_cast<TStrings*>(object)) {
        if (value.isEmpty()) return true;
        const QStringList lines = TextLines(ToWide(L, value));
        if (lines != list->ToList()) lgReplaceLines(list, lines);
        return true;
      }
    }
    if (!IsReadWrite(prop)) return drop();
    write(item, prop);
    return true;
  }
  if (!path.subObject.isEmpty()) return drop();  // only one property name reaches an item there

  const QByteArray itemPath = path.itemPath.toLatin1();
  const TPropInfo objectProp = GetPropInfo(item, NameText(ExtractWord(1, itemPath, ".")));
  QObject* object = IsReadWrite(objectProp) ? ObjectOf(item, objectProp) : nullptr;
  if (!object) return drop();
  const TPropInfo prop = GetPropInfo(object, NameText(ExtractWord(2, itemPath, ".")));
  if (!IsReadWrite(prop)) return drop();
  write(object, prop);
  return true;
}

// --- pruning

// Whether a collection row still has its component and an item at its index.
bool CollectionRowFits(const TComponent* owner, const QByteArray& name) {
  const qsizetype dot = name.indexOf('.');
  const TComponent* component = owner->FindComponent(NameText(name.left(dot < 0 ? name.size() : dot)));
  if (!component) return false;
  if (dot < 0) return true;
  QByteArray rest = name.mid(dot + 1);
  const QObject* holder = component;
  if (rest.startsWith("Properties.")) {
    rest = rest.mid(11);
    holder = ObjectOf(component, GetPropInfo(component, QStringLiteral("Properties")));
    if (!holder) return true;  // the switch deletes it when it meets it
  }
  const qsizetype next = rest.indexOf('.');
  const QByteArray segment = next < 0 ? rest : rest.left(next);
  const qsizetype open = segment.indexOf('['), close = segment.indexOf(']');
  if (open < 0 || close <= open) return true;
  const QString property = NameText(segment.left(open));
  bool ok = false;
  const int index = segment.mid(open + 1, close - open - 1).toInt(&ok);
  if (!ok) return true;
  // The property is named exactly as the class publishes it.
  for (const TPropInfo& p : GetPropList(holder)) {
    if (p.Name() != property) continue;
    if (const auto* collection = qobject_cast<const TCollection*>(ObjectOf(holder, p)))
      return collection->Count() > index;
    return true;
  }
  return true;
}

}  // namespace

// ---------------------------------------------------------------- members

void TlgCustomLang::UpdateCurrentCharset() {
  SetCurrentCharset(1);  // DEFAULT_CHARSET
  if (!Owner()) return;
  const QByteArray name = GetStringValue(Rows(stCharSets), Owner()->ClassName().toLatin1(), ActiveLanguage());
  if (const auto v = lgCharsetByName(name, false)) SetCurrentCharset(*v);
}

void TlgCustomLang::ChangeLangForExtended() {
  const char delim = static_cast<char>(LangDelim());
  TCollection* items = ExtendedTranslations();
  if (!items) return;
  for (int i = 0; i < items->Count(); ++i) {
    const auto* item = qobject_cast<const TlgExtendedItem*>(items->Items(i));
    if (!item) continue;
    // The values carry no name: language k is the (k-1)-th column.
    QByteArray value = ExtractTranslation(item->Values(), delim, ActiveLanguage() - 1);
    if (value.isEmpty() && TranslateType() == ttGetDefault) value = ExtractTranslation(item->Values(), delim, 0);
    if (!value.isEmpty()) SetPropValueByPath(item->Identifier(), value);
  }
}

void TlgCustomLang::DelOldNames(TStringsType type) {
  TComponent* owner = Owner();
  if (!owner) return;
  TlgRows* rows = GetPropListByType(type);
  if (!rows) return;
  const char delim = static_cast<char>(LangDelim());
  const QString className = owner->ClassName();

  if (type == stCollections) {
    rows->removeIf([&](const QByteArray& row) { return !CollectionRowFits(owner, ExtractTranslation(row, delim, 0)); });
    return;
  }
  if (type != stCaptions && type != stHints && type != stDisplayLabels && type != stFonts && type != stMultiLines &&
      type != stOtherStrings)
    return;

  // The window's own row stays where the window has the property it sets.
  bool keepFirst = false;
  if (type == stCaptions) keepFirst = ObjectHasProperty(owner, QStringLiteral("Caption"), tkStrings);
  if (type == stHints) keepFirst = ObjectHasProperty(owner, QStringLiteral("Hint"), tkStrings);
  if (type == stFonts)
    keepFirst = ObjectHasProperty(owner, QStringLiteral("Font"), KindBit(tkClass), QStringLiteral("TFont"));

  TlgRows kept;
  kept.reserve(rows->size());
  for (qsizetype i = 0; i < rows->size(); ++i) {
    const QByteArray& row = (*rows)[i];
    const QByteArray name = ExtractTranslation(row, delim, 0);
    if (i == 0 && keepFirst) {
      kept.append(row);
      continue;
    }
    if (type == stMultiLines || type == stOtherStrings) {
      const qsizetype dot = name.indexOf('.');
      const QString component = NameText(dot < 0 ? name : name.left(dot));
      if (component == className || owner->FindComponent(component)) kept.append(row);
      continue;
    }
    const TComponent* component = owner->FindComponent(NameText(name));
    if (!component) continue;
    // An action decides the texts of what is bound to it.
    if ((type == stCaptions || type == stHints) && BoundToAction(component)) continue;
    kept.append(row);
  }
  *rows = kept;
}

void TlgCustomLang::ChangeLanguage() {
  if (!Owner()) return;
  TSwitch s(*this);
  UpdateCurrentCharset();
  if (TranslateExtendedFirst()) ChangeLangForExtended();

  // Whatever the window does with its own caption and hint, the components
  // are still to be switched; a caption the window refuses leaves its hint
  // alone too.
  try {
    s.ApplyWindowText(stCaptions, "Caption", ".Caption");
    s.ApplyWindowText(stHints, "Hint", ".Hint");
  } catch (...) {
  }

  s.ApplySection(stCaptions);
  s.ApplySection(stHints);
  s.ApplySection(stDisplayLabels);
  if (ObjectHasProperty(Owner(), QStringLiteral("Font"), KindBit(tkClass), QStringLiteral("TFont")))
    s.ApplySection(stFonts);
  s.ApplyWindowFont();
  s.ApplySection(stMultiLines);
  s.ApplySection(stOtherStrings);
  if (ChangeLocales()) s.ApplyLocales();
  s.ApplyCollections();
  if (!TranslateExtendedFirst()) ChangeLangForExtended();
  if (const TNotifyEvent handler = OnChangeLanguage()) handler(this);
}
