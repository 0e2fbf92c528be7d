// The translation component: one per translated window. It keeps the
// window's translation table (rows of single-byte text, one column per
// language), knows the languages and the active one, and re-labels the
// window's components when the active language changes.
#pragma once

#include "Classes.h"
#include "Component.h"
#include "Events.h"
#include "Exceptions.h"
#include "TypeInfo.h"

#include <QByteArray>
#include <QList>
#include <QString>

class TStrings;
class TStringList;

// One section of the table: rows of Windows-1250 bytes, the row's name
// followed by one value per language, each value behind the delimiter byte.
// Named unqualified everywhere; the namespace exists for the meta-object system.
using TlgRows = QList<QByteArray>;

namespace Lg {
Q_NAMESPACE
// The sections of the table, in the order a writer emits them.
enum TStringsType {
  stCaptions,
  stHints,
  stDisplayLabels,
  stFonts,
  stMultiLines,
  stDlgsCaptions,
  stStrings,
  stOtherStrings,
  stLocales,
  stCollections,
  stCharSets,
  stListView_TreeView_Items,
};
Q_ENUM_NS(TStringsType)

// What a switch writes for a row whose active-language value is empty.
enum TTranslateType { ttNoChange, ttGetDefault };
Q_ENUM_NS(TTranslateType)
}  // namespace Lg
using Lg::TStringsType;
using enum Lg::TStringsType;
using Lg::TTranslateType;
using enum Lg::TTranslateType;

// The translation component's own failures.
class ELanguageError : public Exception {
  using Exception::Exception;
};

// --- The byte format of a table --------------------------------------------

// Index 0: the row's name; index k >= 1: the value for language k. Empty when
// the row has no such column.
QByteArray ExtractTranslation(const QByteArray& row, char delim, int index);
// The n-th word (1-based) of `text`, words separated by any byte of
// `separators`; empty when there are fewer words.
QByteArray ExtractWord(int n, const QByteArray& text, const QByteArray& separators);
// Names in rows and in the name lists (DoNotTranslate, SmartExcludeProps,
// ExcludedProperties, LangNames) compare ignoring ASCII case only.
bool lgSameName(const QByteArray& a, const QByteArray& b);
bool lgListHas(const TStrings* list, const QString& name);

// One extended translation: a property path and its values, one per language
// separated by the delimiter byte (no name column).
class TlgExtendedItem : public TCollectionItem {
  Q_OBJECT
  Q_PROPERTY(QString Identifier READ Identifier WRITE SetIdentifier)
  Q_PROPERTY(QByteArray Values READ Values WRITE SetValues)
public:
  using TCollectionItem::TCollectionItem;
  QString Identifier() const { return FIdentifier; }
  void SetIdentifier(const QString& v) { FIdentifier = v; }
  QByteArray Values() const { return FValues; }
  void SetValues(const QByteArray& v) { FValues = v; }

private:
  QString FIdentifier;
  QByteArray FValues;
};

// The engine of the translation component.
class TlgCustomLang : public TComponent {
  Q_OBJECT
public:
  // Raises a plain Exception when the owner already has a translation
  // component.
  explicit TlgCustomLang(TComponent* owner = nullptr);
  ~TlgCustomLang() override;

  // --- Published settings (their setters act differently while loading) ---
  QString Version() const;
  void SetVersion(const QString& value);  // ignored: the version is fixed
  TStrings* StringsTypes() const;
  void SetStringsTypes(TStrings* value);
  int NumOfLanguages() const { return FNumOfLanguages; }
  void SetNumLang(int value);
  uchar LangDelim() const { return FLangDelim; }
  void SetLangDelim(uchar value);
  TStrings* LangNames() const;
  void SetLangNames(TStrings* value);
  QString Language() const { return FLanguage; }
  void SetLanguage(const QString& name);
  TStrings* ExcludedProperties() const;
  void SetExProps(TStrings* value);
  TStrings* DoNotTranslate() const;
  void SetDoNotTranslate(TStrings* value);
  TStrings* SmartExcludeProps() const;
  void SetSmartExcludeProps(TStrings* value);
  int ActiveLanguage() const { return FActiveLanguage; }
  void SetActLang(int index);
  TTranslateType TranslateType() const { return FTranslateType; }
  void SetTranslateType(TTranslateType v) { FTranslateType = v; }
  bool NeedAllDlgs() const { return FNeedAllDlgs; }
  void SetNeedAllDlgs(bool v) { FNeedAllDlgs = v; }
  int ChangingCursor() const { return FChangingCursor; }
  void SetChangingCursor(int v) { FChangingCursor = v; }
  bool UseDefaultLanguage() const { return FUseDefaultLanguage; }
  void SetUseDefaultLanguage(bool v) { FUseDefaultLanguage = v; }
  int DefaultLanguage() const { return FDefaultLanguage; }
  void SetDefaultLanguage(int v) { FDefaultLanguage = v; }
  bool ChangeLocales() const { return FChangeLocales; }
  void SetChangeLocales(bool v) { FChangeLocales = v; }
  TCollection* ExtendedTranslations() const { return FExtended; }
  void SetExtendedTranslations(TCollection* value);
  bool TranslateExtendedFirst() const { return FTranslateExtendedFirst; }
  void SetTranslateExtendedFirst(bool v) { FTranslateExtendedFirst = v; }
  TNotifyEvent OnChangeLanguage() const { return FOnChangeLanguage; }
  void SetOnChangeLanguage(const TNotifyEvent& e) { FOnChangeLanguage = e; }
  // The table as one block of bytes: assigning reads it into the sections.
  QByteArray TranslationData() const { return WriteOurStrProps(); }
  void SetTranslationData(const QByteArray& data) { ReadOurStrProps(data); }

  // --- The table ---
  // Reads a whole block into the sections; a section the block lacks keeps
  // its rows. Never fails.
  void ReadOurStrProps(const QByteArray& data);
  // Writes every section 0..10 with its header, CR LF after every line.
  QByteArray WriteOurStrProps() const;
  // A section by number (none for 11 or out of range) and by name without
  // "st" ("Captions"), ignoring case.
  TlgRows* GetPropListByType(int type);
  const TlgRows* GetPropListByType(int type) const;
  TlgRows* GetPropListByName(const QString& name);
  // A section by number; EListError for stListView_TreeView_Items.
  TlgRows& Rows(TStringsType type);
  const TlgRows& Rows(TStringsType type) const;

  // The row's value for `index` with the component's fall-back to the
  // default language.
  QByteArray IntExtractTranslation(const QByteArray& row, char delim, int index) const;
  // Value for `index` of the first row named `name` (ignoring ASCII case).
  QByteArray GetStringValue(const TlgRows& list, const QByteArray& name, int index) const;
  // The active language's value of the row at `position`, with an optional
  // fall-back to language 1.
  QByteArray GetTextFromByIndex(const TlgRows& list, int position, bool firstLanguageFallback) const;

  // --- Language bookkeeping ---
  void Loaded() override;
  void ChangeLangDelim(char oldDelim, char newDelim);
  bool NotHandledProperty(const QString& componentName, const QString& propertyName) const;
  void ExcludeProperties();
  void FillDialogs();
  void FillNewDialogs();
  // Whether the owner had a "Font" property holding a font when created.
  bool OwnerHasFont() const { return FOwnerHasFont; }

  // --- Property paths (relative to the owning window) ---
  // The current character set that wide strings are converted with.
  int CurrentCharset() const { return FCurrentCharset; }
  void SetCurrentCharset(int charset) { FCurrentCharset = charset; }
  bool ObjectHasProperty(const QObject* object, const QString& propertyName, TTypeKinds kinds,
                         const QString& typeName = QString()) const;
  QByteArray GetObjectStrProperty(const QObject* object, const QString& propertyName) const;
  void SetObjectStrProperty(QObject* object, const QString& propertyName, const QByteArray& text) const;
  QByteArray lgGetStrprop(const QObject* object, const TPropInfo& prop) const;
  void lgSetStrProp(QObject* object, const TPropInfo& prop, const QByteArray& text) const;
  // The object holding the path's last property (its name in
  // `*lastProperty`), or none. Collection index errors reach the caller.
  QObject* GetObjByPath(const QString& path, QString* lastProperty = nullptr) const;
  QByteArray GetPropValueByPath(const QString& path) const;
  void SetPropValueByPath(const QString& path, const QByteArray& value) const;
  int GetPropTypeByPath(const QString& path) const;

  // --- Language switching ---
  // Applies the active language to the owning window.
  void ChangeLanguage();
  // Removes the rows of a section that name nothing in the window.
  void DelOldNames(TStringsType type);
  void UpdateCurrentCharset();
  void ChangeLangForExtended();

protected:
  void Notification(TComponent* component, TOperation operation) override;

private:
  // Keeps Language and NumOfLanguages in step with LangNames, however the
  // names were changed (a definition fills the list in place).
  void LangNamesChanged();

  TlgRows FLists[11];
  TStringList* FStringsTypes;
  TStringList* FLangNames;
  TStringList* FExcludedProperties;
  TStringList* FDoNotTranslate;
  TStringList* FSmartExcludeProps;
  TCollection* FExtended;
  int FNumOfLanguages = 1;
  uchar FLangDelim = 1;
  QString FLanguage;
  int FActiveLanguage = 1;
  TTranslateType FTranslateType = ttNoChange;
  bool FNeedAllDlgs = false;
  int FChangingCursor = -1;
  bool FUseDefaultLanguage = false;
  int FDefaultLanguage = 1;
  bool FChangeLocales = false;
  bool FTranslateExtendedFirst = false;
  TNotifyEvent FOnChangeLanguage;
  bool FOwnerHasFont = false;
  int FCurrentCharset = 1;  // DEFAULT_CHARSET
  bool FAdjustingNames = false;
};

// The component as window definitions place it, with its settings published.
class TlgLang : public TlgCustomLang {
  Q_OBJECT
  Q_PROPERTY(QString Version READ Version WRITE SetVersion)
  Q_PROPERTY(TStrings* StringsTypes READ StringsTypes WRITE SetStringsTypes)
  Q_PROPERTY(int NumOfLanguages READ NumOfLanguages WRITE SetNumLang)
  Q_PROPERTY(uchar LangDelim READ LangDelim WRITE SetLangDelim)
  Q_PROPERTY(TStrings* LangNames READ LangNames WRITE SetLangNames)
  Q_PROPERTY(QString Language READ Language WRITE SetLanguage)
  Q_PROPERTY(TStrings* ExcludedProperties READ ExcludedProperties WRITE SetExProps)
  Q_PROPERTY(TStrings* DoNotTranslate READ DoNotTranslate WRITE SetDoNotTranslate)
  Q_PROPERTY(TStrings* SmartExcludeProps READ SmartExcludeProps WRITE SetSmartExcludeProps)
  Q_PROPERTY(int ActiveLanguage READ ActiveLanguage WRITE SetActLang)
  Q_PROPERTY(Lg::TTranslateType TranslateType READ TranslateType WRITE SetTranslateType)
  Q_PROPERTY(bool NeedAllDlgs READ NeedAllDlgs WRITE SetNeedAllDlgs)
  Q_PROPERTY(int ChangingCursor READ ChangingCursor WRITE SetChangingCursor)
  Q_PROPERTY(bool UseDefaultLanguage READ UseDefaultLanguage WRITE SetUseDefaultLanguage)
  Q_PROPERTY(int DefaultLanguage READ DefaultLanguage WRITE SetDefaultLanguage)
  Q_PROPERTY(bool ChangeLocales READ ChangeLocales WRITE SetChangeLocales)
  Q_PROPERTY(TCollection* ExtendedTranslations READ ExtendedTranslations WRITE SetExtendedTranslations)
  Q_PROPERTY(bool TranslateExtendedFirst READ TranslateExtendedFirst WRITE SetTranslateExtendedFirst)
  Q_PROPERTY(TNotifyEvent OnChangeLanguage READ OnChangeLanguage WRITE SetOnChangeLanguage)
  Q_PROPERTY(QByteArray TranslationData READ TranslationData WRITE SetTranslationData)
public:
  explicit TlgLang(TComponent* owner = nullptr) : TlgCustomLang(owner) {}
};

// Makes TlgLang known to window definitions.
void RegisterTranslationClasses();
