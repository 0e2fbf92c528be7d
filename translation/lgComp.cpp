#include "lgComp.h"

#include "Classes.h"
#include "Controls.h"
#include "Definition.h"
#include "Graphics.h"

#include <QApplication>
#include <QCursor>
#include <QMetaEnum>

#include <algorithm>
#include <array>

namespace {

const char kVersion[] = "6.0.2";

// The message dialogs' titles and buttons: the key of each row and the
// platform's text for it (the "&" marks a button's access letter).
struct TDialogText {
  const char* key;
  const char* text;
};
const std::array<TDialogText, 15> kDialogTexts = {{
    {"Warning", "Warning"},
    {"Error", "Error"},
    {"Information", "Information"},
    {"Confirm", "Confirm"},
    {"Yes", "&Yes"},
    {"No", "&No"},
    {"OK", "OK"},
    {"Cancel", "Cancel"},
    {"Abort", "&Abort"},
    {"Retry", "&Retry"},
    {"Ignore", "&Ignore"},
    {"All", "&All"},
    {"No To All", "N&o to All"},
    {"Yes To All", "Yes to &All"},
    {"Help", "&Help"},
}};

// Properties no window ever wants translated ("HelpKeyword" twice, as the
// window definitions carry it).
const char* const kExcludedProperties[] = {"Category",
                                           "SecondaryShortCuts",
                                           "HelpKeyword",
                                           "InitialDir",
                                           "HelpKeyword",
                                           "ActivePage",
                                           "ImeName",
                                           "DefaultExt",
                                           "FileName",
                                           "FieldName",
                                           "PickList",
                                           "DisplayFormat",
                                           "EditMask",
                                           "KeyList",
                                           "LookupDisplayFields",
                                           "DropDownSpecRow",
                                           "TableName",
                                           "DatabaseName",
                                           "IndexName",
                                           "MasterFields"};

const char kTab = '\t';

QByteArray SectionIdent(int type) { return QByteArray(QMetaEnum::fromType<TStringsType>().valueToKey(type)); }

// Names inside the rows are plain identifiers; the row bytes are taken one to
// one so that no byte is lost on the way to a name comparison.
QString NameText(const QByteArray& bytes) { return QString::fromLatin1(bytes); }

}  // namespace

// --- The byte format ----------------------------------------------------------

QByteArray ExtractTranslation(const QByteArray& row, char delim, int index) {
  if (row.isEmpty() || index < 0) return {};
  if (index == 0) {
    const qsizetype end = row.indexOf(delim);
    return end < 0 ? row : row.left(end);
  }
  qsizetype pos = -1;
  for (int k = 0; k < index; ++k) {
    pos = row.indexOf(delim, pos + 1);
    if (pos < 0) return {};
  }
  const qsizetype start = pos + 1;
  qsizetype end = row.indexOf(delim, start);
  if (end < 0) end = row.size();
  return row.mid(start, end - start);
}

QByteArray ExtractWord(int n, const QByteArray& text, const QByteArray& separators) {
  if (n < 1) return {};
  const qsizetype len = text.size();
  qsizetype pos = 0;
  int count = 0;
  for (;;) {
    if (pos < len && separators.contains(text[pos])) ++pos;
    if (pos >= len) return {};
    qsizetype end = pos;
    while (end < len && !separators.contains(text[end])) ++end;
    if (++count == n) return text.mid(pos, end - pos);
    pos = end;
  }
}

bool lgSameName(const QByteArray& a, const QByteArray& b) {
  if (a.size() != b.size()) return false;
  for (qsizetype i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 32);
    if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 32);
    if (x != y) return false;
  }
  return true;
}

bool lgListHas(const TStrings* list, const QString& name) {
  if (!list) return false;
  for (int i = 0; i < list->Count(); ++i)
    if (SameText(list->Get(i), name)) return true;
  return false;
}

// --- Creation -------------------------------------------------------------------

TlgCustomLang::TlgCustomLang(TComponent* owner) : TComponent(owner) {
  if (owner) {
    for (TComponent* c : owner->ComponentList())
      if (c != this && qobject_cast<TlgCustomLang*>(c))
        throw Exception(QStringLiteral("Only one TlgCustomLang component per Form/DataModule allowed!"));
  }
  FStringsTypes = new TStringList(QStringList{QStringLiteral("TIB_STRINGLIST"), QStringLiteral("TSTRINGLIST")});
  FLangNames = new TStringList(QStringList{QStringLiteral("Language N1")});
  FLanguage = QStringLiteral("Language N1");
  QStringList excluded;
  for (const char* name : kExcludedProperties) excluded << QString::fromLatin1(name);
  FExcludedProperties = new TStringList(excluded);
  FDoNotTranslate = new TStringList;
  FSmartExcludeProps = new TStringList;
  FExtended = new TCollection(this, [](TCollection* c) -> TCollectionItem* { return new TlgExtendedItem(c); });
  // A definition fills the names in place; whatever way they change, the
  // language and the count follow them.
  FLangNames->OnChange = [this] { LangNamesChanged(); };
  FillDialogs();
  if (owner) {
    const TPropInfo font = GetPropInfo(owner, QStringLiteral("Font"));
    FOwnerHasFont = font.IsValid() && font.Kind() == tkClass && font.Readable() &&
                    qobject_cast<TFont*>(GetObjectProp(owner, font)) != nullptr;
  }
}

TlgCustomLang::~TlgCustomLang() {
  FLangNames->OnChange = nullptr;
  delete FExtended;
  delete FSmartExcludeProps;
  delete FDoNotTranslate;
  delete FExcludedProperties;
  delete FLangNames;
  delete FStringsTypes;
  FExtended = nullptr;
  FSmartExcludeProps = FDoNotTranslate = FExcludedProperties = FLangNames = FStringsTypes = nullptr;
}

void TlgCustomLang::FillDialogs() {
  TlgRows& rows = FLists[stDlgsCaptions];
  const char d = static_cast<char>(FLangDelim);
  for (const TDialogText& t : kDialogTexts) rows.append(QByteArray(t.key) + d + QByteArray(t.text) + d);
}

void TlgCustomLang::FillNewDialogs() {
  TlgRows& rows = FLists[stDlgsCaptions];
  if (FNeedAllDlgs || rows.size() != 82) return;
  const char d = static_cast<char>(FLangDelim);
  for (qsizetype i = rows.size() - 1; i >= 0; --i) {
    const QByteArray key = ExtractTranslation(rows[i], d, 0);
    const bool known =
        std::any_of(kDialogTexts.begin(), kDialogTexts.end(), [&](const TDialogText& t) { return key == t.key; });
    if (!known) rows.removeAt(i);
  }
}

// --- Published settings -------------------------------------------------------

QString TlgCustomLang::Version() const { return QString::fromLatin1(kVersion); }

void TlgCustomLang::SetVersion(const QString&) {}

TStrings* TlgCustomLang::StringsTypes() const { return FStringsTypes; }

void TlgCustomLang::SetStringsTypes(TStrings* value) { FStringsTypes->Assign(value); }

TStrings* TlgCustomLang::LangNames() const { return FLangNames; }

void TlgCustomLang::SetLangNames(TStrings* value) { FLangNames->Assign(value); }

void TlgCustomLang::LangNamesChanged() {
  if (FAdjustingNames) return;
  if (FLangNames->Count() >= FActiveLanguage && FActiveLanguage >= 1) FLanguage = FLangNames->Get(FActiveLanguage - 1);
  FNumOfLanguages = FLangNames->Count();
}

void TlgCustomLang::SetNumLang(int value) {
  if (value == FNumOfLanguages) return;
  if (value <= 0)
    throw ELanguageError(QString::number(value) + QStringLiteral(" - is not a valid property value !") + QChar(13) +
                         QStringLiteral("Value must be more than ZERO !"));
  FNumOfLanguages = value;
  FAdjustingNames = true;
  try {
    while (FLangNames->Count() < value) FLangNames->Add(QStringLiteral("Language N%1").arg(FLangNames->Count() + 1));
    while (FLangNames->Count() > value) FLangNames->Delete(FLangNames->Count() - 1);
  } catch (...) {
    FAdjustingNames = false;
    throw;
  }
  FAdjustingNames = false;
}

void TlgCustomLang::SetLangDelim(uchar value) {
  if (Loading()) {
    FLangDelim = value;
    return;
  }
  if (value == FLangDelim) return;
  ChangeLangDelim(static_cast<char>(FLangDelim), static_cast<char>(value));
  FLangDelim = value;
}

TStrings* TlgCustomLang::ExcludedProperties() const { return FExcludedProperties; }

void TlgCustomLang::SetExProps(TStrings* value) { FExcludedProperties->Assign(value); }

TStrings* TlgCustomLang::DoNotTranslate() const { return FDoNotTranslate; }

void TlgCustomLang::SetDoNotTranslate(TStrings* value) { FDoNotTranslate->Assign(value); }

TStrings* TlgCustomLang::SmartExcludeProps() const { return FSmartExcludeProps; }

void TlgCustomLang::SetSmartExcludeProps(TStrings* value) { FSmartExcludeProps->Assign(value); }

void TlgCustomLang::SetExtendedTranslations(TCollection* value) {
  if (value == FExtended) return;
  FExtended->Clear();
  if (!value) return;
  for (int i = 0; i < value->Count(); ++i) {
    auto* source = qobject_cast<TlgExtendedItem*>(value->Items(i));
    auto* item = static_cast<TlgExtendedItem*>(FExtended->Add());
    if (source) {
      item->SetIdentifier(source->Identifier());
      item->SetValues(source->Values());
    }
  }
}

// --- Language selection -------------------------------------------------------

void TlgCustomLang::SetLanguage(const QString& name) {
  if (name == FLanguage) return;
  if (Loading()) {
    if (!lgListHas(FLangNames, name)) {
      FAdjustingNames = true;
      FLangNames->Add(name);
      FAdjustingNames = false;
    }
    FLanguage = name;
    return;
  }
  int position = -1;
  for (int i = 0; i < FLangNames->Count() && position < 0; ++i)
    if (SameText(FLangNames->Get(i), name)) position = i + 1;
  if (position < 0) throw ELanguageError(QStringLiteral("Language name shall be included in LangNames property!"));
  const QString previous = FLanguage;
  const int previousIndex = FActiveLanguage;
  FLanguage = name;
  try {
    SetActLang(position);
  } catch (...) {
    // A refused index leaves the selection as it was; a switch that failed
    // half way keeps the language it was switching to.
    if (FActiveLanguage == previousIndex) FLanguage = previous;
    throw;
  }
}

namespace {
// Shows the switching cursor while a switch runs and puts the screen's
// cursor back however the switch ends.
class TSwitchCursor {
public:
  explicit TSwitchCursor(int cursor) {
    if (cursor == -1 || !qApp || QApplication::overrideCursor()) return;
    const int shape = CursorToQtShape(cursor);
    if (shape < 0) return;
    QApplication::setOverrideCursor(QCursor(static_cast<Qt::CursorShape>(shape)));
    FActive = true;
  }
  ~TSwitchCursor() {
    if (FActive) QApplication::restoreOverrideCursor();
  }
  TSwitchCursor(const TSwitchCursor&) = delete;
  TSwitchCursor& operator=(const TSwitchCursor&) = delete;

private:
  bool FActive = false;
};
}  // namespace

void TlgCustomLang::SetActLang(int index) {
  if (index == FActiveLanguage) return;
  if (index < 1 || index > FNumOfLanguages) {
    if (Loading()) return;
    throw ELanguageError(QStringLiteral("%1 - is not a valid property value!").arg(index) + QChar(13) +
                         QStringLiteral("Value must be within [1..%1]!").arg(FNumOfLanguages));
  }
  TSwitchCursor cursor(FChangingCursor);
  FActiveLanguage = index;
  if (Loading()) return;
  if (FLangNames->Count() >= index) FLanguage = FLangNames->Get(index - 1);
  ChangeLanguage();
}

// --- The table ------------------------------------------------------------------

TlgRows* TlgCustomLang::GetPropListByType(int type) { return type >= 0 && type < 11 ? &FLists[type] : nullptr; }

const TlgRows* TlgCustomLang::GetPropListByType(int type) const {
  return type >= 0 && type < 11 ? &FLists[type] : nullptr;
}

TlgRows* TlgCustomLang::GetPropListByName(const QString& name) {
  for (int type = 0; type <= stListView_TreeView_Items; ++type)
    if (SameText(NameText(SectionIdent(type).mid(2)), name)) return GetPropListByType(type);
  return nullptr;
}

TlgRows& TlgCustomLang::Rows(TStringsType type) {
  TlgRows* rows = GetPropListByType(type);
  if (!rows) RaiseListIndexError(type);
  return *rows;
}

const TlgRows& TlgCustomLang::Rows(TStringsType type) const {
  const TlgRows* rows = GetPropListByType(type);
  if (!rows) RaiseListIndexError(type);
  return *rows;
}

void TlgCustomLang::ReadOurStrProps(const QByteArray& data) {
  QByteArray text = data;
  const qsizetype zero = text.indexOf('\0');
  if (zero >= 0) text.truncate(zero);

  const char d = static_cast<char>(FLangDelim);
  const QByteArray windowPrefix = Owner() ? Owner()->ClassName().toLatin1() + d : QByteArray();
  bool inSection = false;
  TlgRows* section = nullptr;

  auto takeLine = [&](QByteArray line) {
    for (int type = 0; type <= stListView_TreeView_Items; ++type) {
      const QByteArray ident = SectionIdent(type);
      if (lgSameName(line, ident)) {
        inSection = true;
        section = GetPropListByName(NameText(ident.mid(2)));
        if (section) section->clear();
        return;
      }
    }
    if (!inSection || !section) return;
    line.replace('\x19', '\r');
    line.replace('\x1A', '\n');
    if (!windowPrefix.isEmpty() && line.startsWith(windowPrefix))
      section->prepend(line);
    else
      section->append(line);
  };

  const qsizetype len = text.size();
  qsizetype start = 0;
  for (qsizetype i = 0; i < len; ++i) {
    const char c = text[i];
    if (c != '\r' && c != '\n') continue;
    takeLine(text.mid(start, i - start));
    if (c == '\r' && i + 1 < len && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < len) takeLine(text.mid(start));
}

QByteArray TlgCustomLang::WriteOurStrProps() const {
  QByteArray out;
  for (int type = 0; type < 11; ++type) {
    out += SectionIdent(type);
    out += "\r\n";
    for (QByteArray row : FLists[type]) {
      row.replace('\r', '\x19');
      row.replace('\n', '\x1A');
      out += row;
      out += "\r\n";
    }
  }
  return out;
}

QByteArray TlgCustomLang::IntExtractTranslation(const QByteArray& row, char delim, int index) const {
  QByteArray value = ExtractTranslation(row, delim, index);
  if (FUseDefaultLanguage && value.isEmpty() && index != FDefaultLanguage)
    value = ExtractTranslation(row, delim, FDefaultLanguage);
  return value;
}

QByteArray TlgCustomLang::GetStringValue(const TlgRows& list, const QByteArray& name, int index) const {
  const char d = static_cast<char>(FLangDelim);
  for (const QByteArray& row : list)
    if (lgSameName(ExtractTranslation(row, d, 0), name)) return ExtractTranslation(row, d, index);
  return {};
}

QByteArray TlgCustomLang::GetTextFromByIndex(const TlgRows& list, int position, bool firstLanguageFallback) const {
  if (position < 0 || position >= list.size()) return {};
  const char d = static_cast<char>(FLangDelim);
  QByteArray value = ExtractTranslation(list[position], d, FActiveLanguage);
  if (value.isEmpty() && firstLanguageFallback) value = ExtractTranslation(list[position], d, 1);
  return value;
}

// --- Language bookkeeping -----------------------------------------------------

void TlgCustomLang::ChangeLangDelim(char oldDelim, char newDelim) {
  if (oldDelim == newDelim) return;
  for (TlgRows& rows : FLists)
    for (QByteArray& row : rows) row.replace(oldDelim, newDelim);
}

bool TlgCustomLang::NotHandledProperty(const QString& componentName, const QString& propertyName) const {
  if (lgListHas(FExcludedProperties, propertyName)) return true;
  if (lgListHas(FSmartExcludeProps, componentName + QLatin1Char('.') + propertyName)) return true;
  return propertyName == QLatin1String("Name");
}

void TlgCustomLang::ExcludeProperties() {
  if (lgListHas(FExcludedProperties, QStringLiteral("Caption"))) FLists[stCaptions].clear();
  if (lgListHas(FExcludedProperties, QStringLiteral("Hint"))) FLists[stHints].clear();
  if (lgListHas(FExcludedProperties, QStringLiteral("DisplayLabel"))) FLists[stDisplayLabels].clear();
  if (lgListHas(FExcludedProperties, QStringLiteral("Font"))) {
    FLists[stFonts].clear();
    FLists[stCharSets].clear();
  }
  if (lgListHas(FExcludedProperties, QStringLiteral("Charset"))) FLists[stCharSets].clear();

  const char d = static_cast<char>(FLangDelim);
  for (TStringsType type : {stMultiLines, stOtherStrings, stCollections}) {
    TlgRows& rows = FLists[type];
    QByteArray separators = QByteArray(".") + d;
    if (type == stCollections) separators += '[';
    for (qsizetype i = rows.size() - 1; i >= 0; --i) {
      const QString component = NameText(ExtractWord(1, rows[i], separators));
      if (NotHandledProperty(component, NameText(ExtractWord(2, rows[i], separators))) ||
          (type == stCollections && NotHandledProperty(component, NameText(ExtractWord(4, rows[i], separators)))))
        rows.removeAt(i);
    }
  }
}

void TlgCustomLang::Loaded() {
  TComponent::Loaded();
  FillNewDialogs();
  if (FLangDelim == 9) SetLangDelim(1);
  auto tabs = [](const TlgRows& rows) { return rows.isEmpty() ? -1 : static_cast<int>(rows.first().count(kTab)); };
  const bool tabSeparated = tabs(FLists[stDlgsCaptions]) > 0 || tabs(FLists[stLocales]) > 0 ||
                            tabs(FLists[stCaptions]) == FNumOfLanguages + 1 ||
                            tabs(FLists[stHints]) == FNumOfLanguages + 1;
  if (tabSeparated) ChangeLangDelim(kTab, static_cast<char>(FLangDelim));
  ExcludeProperties();
}

void TlgCustomLang::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation != TOperation::opRemove || !component || !FDoNotTranslate || component == this) return;
  const QString name = component->Name();
  if (name.isEmpty()) return;
  for (int i = FDoNotTranslate->Count() - 1; i >= 0; --i)
    if (SameText(FDoNotTranslate->Get(i), name)) FDoNotTranslate->Delete(i);
}

void RegisterTranslationClasses() { RegisterComponentClass<TlgLang>(); }
