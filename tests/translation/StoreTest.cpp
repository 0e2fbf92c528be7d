// The translation component's store: creation, the setters while a window
// definition is applied and afterwards, the clean-ups once loading is
// complete, and the language selection with its errors.
#include "LangTestSupport.h"

#include "Exceptions.h"
#include "StdCtrls.h"

#include <QApplication>
#include <QCursor>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

using lgtest::Block;
using lgtest::BuildForm;
using lgtest::Hex;
using lgtest::Lang;
using lgtest::LangWindow;
using lgtest::Row;

namespace {

std::string Show(const QByteArray& bytes) { return bytes.toHex(' ').toStdString(); }

QString Lines(const QStringList& lines) { return lines.join(QLatin1Char('\n')); }

const char kCR = '\r';

// The properties a window of the program sets, in its order, with the table
// given as bytes.
QString StandardProperties(const QByteArray& data, const QString& names = QStringLiteral("('Srpski' 'Engleski')"),
                           const QString& language = QStringLiteral("'Srpski'")) {
  return Lines({"    Version = '6.0.2'", "    StringsTypes = ('TIB_STRINGLIST' 'TSTRINGLIST')",
                "    NumOfLanguages = 2", "    LangDelim = 1", "    LangNames = " + names, "    Language = " + language,
                "    ExcludedProperties = ('Category' 'TableName' 'DatabaseName')",
                "    TranslationData = " + Hex(data)});
}

QByteArray SmallTable() {
  return Block({"stCaptions", Row("Button1", {"Dodaj", "Add"}), Row("TForm", {"Prozor", "Window"}), "stHints",
                Row("TForm", {""}), Row("Button1", {"Dodaj zapis", "Add a record"}), "stDisplayLabels", "stFonts",
                "stMultiLines", "stDlgsCaptions", Row("Warning", {"Warning", ""}), Row("OK", {"OK", ""}), "stStrings",
                "stOtherStrings", Row("Edit1.Text", {"tekst", "text"}), "stLocales", "stCollections", "stCharSets"});
}

}  // namespace

TEST(LangCreation, InitialValues) {
  TForm form;
  auto* lang = new TlgLang(&form);
  EXPECT_EQ(lang->Version(), "6.0.2");
  EXPECT_EQ(lang->StringsTypes()->ToList(), (QStringList{"TIB_STRINGLIST", "TSTRINGLIST"}));
  EXPECT_EQ(lang->NumOfLanguages(), 1);
  EXPECT_EQ(lang->LangDelim(), 1);
  EXPECT_EQ(lang->LangNames()->ToList(), QStringList{"Language N1"});
  EXPECT_EQ(lang->Language(), "Language N1");
  EXPECT_EQ(lang->ActiveLanguage(), 1);
  EXPECT_EQ(lang->ExcludedProperties()->ToList(), (QStringList{"Category",
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
                                                               "MasterFields"}));
  EXPECT_EQ(lang->DoNotTranslate()->Count(), 0);
  EXPECT_EQ(lang->SmartExcludeProps()->Count(), 0);
  EXPECT_EQ(lang->TranslateType(), ttNoChange);
  EXPECT_FALSE(lang->NeedAllDlgs());
  EXPECT_EQ(lang->ChangingCursor(), -1);
  EXPECT_FALSE(lang->UseDefaultLanguage());
  EXPECT_EQ(lang->DefaultLanguage(), 1);
  EXPECT_FALSE(lang->ChangeLocales());
  EXPECT_FALSE(lang->TranslateExtendedFirst());
  EXPECT_FALSE(static_cast<bool>(lang->OnChangeLanguage()));
  EXPECT_EQ(lang->ExtendedTranslations()->Count(), 0);
  EXPECT_TRUE(lang->OwnerHasFont());
  for (int t = 0; t < 11; ++t)
    if (t != stDlgsCaptions) {
      EXPECT_TRUE(lang->GetPropListByType(t)->isEmpty()) << t;
    }
  EXPECT_EQ(lang->Rows(stDlgsCaptions),
            (TlgRows{"Warning\x01Warning\x01",
                     "Error\x01"
                     "Error\x01",
                     "Information\x01Information\x01",
                     "Confirm\x01"
                     "Confirm\x01",
                     "Yes\x01&Yes\x01", "No\x01&No\x01", "OK\x01OK\x01",
                     "Cancel\x01"
                     "Cancel\x01",
                     "Abort\x01&Abort\x01", "Retry\x01&Retry\x01", "Ignore\x01&Ignore\x01", "All\x01&All\x01",
                     "No To All\x01N&o to All\x01", "Yes To All\x01Yes to &All\x01", "Help\x01&Help\x01"}));
}

TEST(LangCreation, FontOfTheOwner) {
  TComponent plain;
  auto* lang = new TlgLang(&plain);
  EXPECT_FALSE(lang->OwnerHasFont()) << "an owner without a Font property";
  TlgLang ownerless;
  EXPECT_FALSE(ownerless.OwnerHasFont());
  TEdit edit;  // a Font property, but the component is created on its own
  auto* onEdit = new TlgLang(&edit);
  EXPECT_TRUE(onEdit->OwnerHasFont());
}

TEST(LangCreation, OnlyOnePerWindow) {
  TForm form;
  auto* first = new TlgLang(&form);
  first->SetName("lgLang1");
  try {
    new TlgLang(&form);
    FAIL() << "a second component was created";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "Only one TlgCustomLang component per Form/DataModule allowed!");
  }
  EXPECT_EQ(form.ComponentCount(), 1) << "the refused component leaves the window";
  EXPECT_EQ(form.Components(0), first);

  const QString twice = LangWindow(QString()).replace(
      QStringLiteral("  object lgLang1"), QStringLiteral("  object lgLang0: TlgLang\n  end\n  object lgLang1"));
  try {
    BuildForm(twice);
    FAIL() << "a window with two translation components was built";
  } catch (const EDefinitionError& e) {
    EXPECT_TRUE(e.Message().contains("Only one TlgCustomLang component per Form/DataModule allowed!")) << e.what();
  }
}

TEST(LangLoading, WindowDefinitionSetsThePublishedProperties) {
  auto form = BuildForm(LangWindow(StandardProperties(SmallTable())));
  TlgLang* lang = Lang(*form);
  ASSERT_TRUE(lang);
  EXPECT_FALSE(lang->Loading());
  EXPECT_EQ(lang->Version(), "6.0.2");
  EXPECT_EQ(lang->NumOfLanguages(), 2);
  EXPECT_EQ(lang->LangNames()->ToList(), (QStringList{"Srpski", "Engleski"}));
  EXPECT_EQ(lang->Language(), "Srpski");
  EXPECT_EQ(lang->ActiveLanguage(), 1);
  EXPECT_EQ(lang->ExcludedProperties()->ToList(), (QStringList{"Category", "TableName", "DatabaseName"}));
  EXPECT_EQ(lang->Rows(stCaptions).value(0), Row("TForm", {"Prozor", "Window"})) << "the window row first";
  EXPECT_EQ(lang->Rows(stDlgsCaptions), (TlgRows{Row("Warning", {"Warning", ""}), Row("OK", {"OK", ""})}));
  QByteArray written = SmallTable();
  written.replace(Row("Button1", {"Dodaj", "Add"}) + "\r\n" + Row("TForm", {"Prozor", "Window"}),
                  Row("TForm", {"Prozor", "Window"}) + "\r\n" + Row("Button1", {"Dodaj", "Add"}));
  EXPECT_EQ(Show(lang->TranslationData()), Show(written)) << "the table as read, the window row first";
  // Loading applies no language: the window keeps its definition's texts.
  EXPECT_EQ(lgtest::Lang(*form)->ActiveLanguage(), 1);
  EXPECT_EQ(qobject_cast<TButton*>(form->FindComponent("Button1"))->Caption(), "Dodaj");
  EXPECT_EQ(form->Caption(), "Prozor");
}

TEST(LangLoading, QuotedTableTextIsSingleByte) {
  // Definitions write the Serbian letters as characters; the table holds
  // them as Windows-1250 bytes.
  auto form =
      BuildForm(LangWindow("    NumOfLanguages = 2\n"
                           "    TranslationData = 'stCaptions'#13#10'Button1'#1'Tra'#382'i'#1'Search'#1#13#10"));
  EXPECT_EQ(Show(Lang(*form)->Rows(stCaptions).value(0)), Show(Row("Button1", {"Tra\x9Ei", "Search"})));
}

TEST(LangLoading, SettingsNoWindowOfTheProgramSets) {
  auto form =
      BuildForm(LangWindow("StringsTypes = ('TMYLIST')\n"
                           "NumOfLanguages = 3\n"
                           "DoNotTranslate = ('Edit1')\n"
                           "SmartExcludeProps = ('Button1.Hint')\n"
                           "ActiveLanguage = 2\n"
                           "TranslateType = ttGetDefault\n"
                           "NeedAllDlgs = True\n"
                           "ChangingCursor = -11\n"
                           "UseDefaultLanguage = True\n"
                           "DefaultLanguage = 3\n"
                           "ChangeLocales = True\n"
                           "TranslateExtendedFirst = True\n"));
  const TlgLang* lang = Lang(*form);
  EXPECT_EQ(lang->StringsTypes()->ToList(), QStringList{"TMYLIST"});
  EXPECT_EQ(lang->DoNotTranslate()->ToList(), QStringList{"Edit1"});
  EXPECT_EQ(lang->SmartExcludeProps()->ToList(), QStringList{"Button1.Hint"});
  EXPECT_EQ(lang->ActiveLanguage(), 2);
  EXPECT_EQ(lang->Language(), "Language N1") << "while loading only the index is stored";
  EXPECT_EQ(lang->TranslateType(), ttGetDefault);
  EXPECT_TRUE(lang->NeedAllDlgs());
  EXPECT_EQ(lang->ChangingCursor(), -11);
  EXPECT_TRUE(lang->UseDefaultLanguage());
  EXPECT_EQ(lang->DefaultLanguage(), 3);
  EXPECT_TRUE(lang->ChangeLocales());
  EXPECT_TRUE(lang->TranslateExtendedFirst());
}

TEST(LangLoading, TableFromAFileAndExtendedItems) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  QFile file(dir.filePath("Form1.lng"));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(SmallTable());
  file.close();
  auto form =
      BuildForm(LangWindow("NumOfLanguages = 2\n"
                           "ExtendedTranslations = <\n"
                           "  item\n    Identifier = 'Button1.Caption'\n    Values = 'Dodaj'#1'Add'#1\n  end\n"
                           "  item\n    Identifier = 'Edit1.Text'\n    Values = #382#1'z'#1\n  end>\n"
                           "TranslationData = @'" +
                           file.fileName() + "'"));
  const TlgLang* lang = Lang(*form);
  EXPECT_EQ(lang->Rows(stCaptions).value(0), Row("TForm", {"Prozor", "Window"}));
  EXPECT_EQ(lang->Rows(stOtherStrings), TlgRows{Row("Edit1.Text", {"tekst", "text"})});
  ASSERT_EQ(lang->ExtendedTranslations()->Count(), 2);
  auto* item = qobject_cast<TlgExtendedItem*>(lang->ExtendedTranslations()->Items(1));
  ASSERT_TRUE(item);
  EXPECT_EQ(item->Identifier(), "Edit1.Text");
  EXPECT_EQ(Show(item->Values()), Show("\x9E\x01z\x01"));
}

TEST(LangLoading, LanguageSettersWhileLoading) {
  struct Case {
    const char* what;
    QString properties;
    int count;
    QStringList names;
    QString language;
    int active;
  } cases[] = {
      {"nothing set", "", 1, {"Language N1"}, "Language N1", 1},
      {"count without names completes them", "NumOfLanguages = 2", 2, {"Language N1", "Language N2"}, "Language N1", 1},
      {"count of three", "NumOfLanguages = 3", 3, {"Language N1", "Language N2", "Language N3"}, "Language N1", 1},
      {"names set the count", "NumOfLanguages = 3\nLangNames = ('A' 'B')", 2, {"A", "B"}, "A", 1},
      {"names then a smaller count", "LangNames = ('A' 'B' 'C')\nNumOfLanguages = 2", 2, {"A", "B"}, "A", 1},
      {"unknown language appended",
       "NumOfLanguages = 2\nLangNames = ('Srpski' 'Engleski')\nLanguage = 'Deutsch'",
       2,
       {"Srpski", "Engleski", "Deutsch"},
       "Deutsch",
       1},
      {"language found ignoring case",
       "NumOfLanguages = 2\nLangNames = ('Srpski' 'Engleski')\nLanguage = 'SRPSKI'",
       2,
       {"Srpski", "Engleski"},
       "SRPSKI",
       1},
      {"index out of range ignored",
       "NumOfLanguages = 2\nActiveLanguage = 5",
       2,
       {"Language N1", "Language N2"},
       "Language N1",
       1},
      {"index 0 ignored",
       "NumOfLanguages = 2\nActiveLanguage = 0",
       2,
       {"Language N1", "Language N2"},
       "Language N1",
       1},
      {"index in range only stored",
       "NumOfLanguages = 2\nActiveLanguage = 2",
       2,
       {"Language N1", "Language N2"},
       "Language N1",
       2},
      {"version ignored", "Version = '1.0'", 1, {"Language N1"}, "Language N1", 1},
  };
  for (const Case& c : cases) {
    auto form = BuildForm(LangWindow(c.properties));
    const TlgLang* lang = Lang(*form);
    EXPECT_EQ(lang->NumOfLanguages(), c.count) << c.what;
    EXPECT_EQ(lang->LangNames()->ToList(), c.names) << c.what;
    EXPECT_EQ(lang->Language(), c.language) << c.what;
    EXPECT_EQ(lang->ActiveLanguage(), c.active) << c.what;
    EXPECT_EQ(lang->Version(), "6.0.2") << c.what;
  }
}

TEST(LangLoading, NumberOfLanguagesMustBePositive) {
  for (int value : {0, -3}) {
    TForm form;
    auto* lang = new TlgLang(&form);
    try {
      lang->SetNumLang(value);
      ADD_FAILURE() << value << " was accepted";
    } catch (const ELanguageError& e) {
      EXPECT_EQ(e.Message(), QString::number(value) + " - is not a valid property value !" + QChar(kCR) +
                                 "Value must be more than ZERO !");
    }
    EXPECT_EQ(lang->NumOfLanguages(), 1);
    EXPECT_EQ(lang->LangNames()->ToList(), QStringList{"Language N1"});
  }
  try {
    BuildForm(LangWindow("NumOfLanguages = 0"));
    FAIL() << "the definition loaded";
  } catch (const EDefinitionError& e) {
    EXPECT_TRUE(e.Message().contains(QString("0 - is not a valid property value !") + QChar(kCR) +
                                     "Value must be more than ZERO !"))
        << e.what();
  }
}

TEST(LangLoading, TabDelimiterIsConvertedToOne) {
  const QByteArray data =
      Block({"stCaptions", Row("TForm", {"Prozor", "Window"}, '\t'), Row("Button1", {"Dodaj", "Add"}, '\t'),
             "stOtherStrings", Row("Edit1.Text", {"a", "b"}, '\t'), "stDlgsCaptions", Row("OK", {"OK", ""}, '\t')});
  auto form = BuildForm(LangWindow("NumOfLanguages = 2\nLangDelim = 9\nTranslationData = " + Hex(data)));
  const TlgLang* lang = Lang(*form);
  EXPECT_EQ(lang->LangDelim(), 1);
  EXPECT_EQ(lang->Rows(stCaptions), (TlgRows{Row("TForm", {"Prozor", "Window"}), Row("Button1", {"Dodaj", "Add"})}))
      << "the window row was found with the Tab delimiter, and every Tab became 0x01";
  EXPECT_EQ(lang->Rows(stOtherStrings), TlgRows{Row("Edit1.Text", {"a", "b"})});
  EXPECT_EQ(lang->Rows(stDlgsCaptions), TlgRows{Row("OK", {"OK", ""})});
}

TEST(LangLoading, TabSeparatedTablesAreConverted) {
  const QByteArray tabRow2 = Row("Button1", {"Dodaj", "Add"}, '\t');  // three Tabs
  struct Case {
    const char* what;
    QList<QByteArray> lines;
    bool converted;
  } cases[] = {
      {"first caption row with NumOfLanguages + 1 Tabs", {"stCaptions", tabRow2, Row("Edit1", {"x"})}, true},
      {"first hint row with NumOfLanguages + 1 Tabs", {"stHints", tabRow2}, true},
      {"any Tab in the first dialog row", {"stDlgsCaptions", "OK\tOK"}, true},
      {"any Tab in the first locale row", {"stLocales", "a\tb"}, true},
      {"caption row with two Tabs", {"stCaptions", Row("Button1", {"Dodaj"}, '\t')}, false},
      {"caption row with four Tabs", {"stCaptions", Row("Button1", {"a", "b", "c"}, '\t')}, false},
      {"Tabs only in a later caption row", {"stCaptions", Row("Edit1", {"x", "y"}), tabRow2}, false},
      {"Tabs in other sections only", {"stOtherStrings", Row("Edit1.Text", {"a", "b"}, '\t')}, false},
      {"dialog row without Tab", {"stDlgsCaptions", Row("OK", {"OK", ""}), "OK\tOK"}, false},
  };
  for (const Case& c : cases) {
    QList<QByteArray> lines = c.lines;
    lines << "stOtherStrings"
          << "Edit2.Text\ta\tb\t";  // an innocent row that shows the conversion
    if (c.lines.first() == "stOtherStrings") lines = c.lines;
    auto form = BuildForm(LangWindow("NumOfLanguages = 2\nLangDelim = 2\nTranslationData = " + Hex(Block(lines))));
    const TlgLang* lang = Lang(*form);
    bool anyTab = false;
    for (int t = 0; t < 11; ++t)
      for (const QByteArray& row : *lang->GetPropListByType(t)) anyTab = anyTab || row.contains('\t');
    EXPECT_EQ(!anyTab, c.converted) << c.what;
    if (c.converted) {
      EXPECT_EQ(lang->Rows(stOtherStrings).value(0), QByteArray("Edit2.Text\x02"
                                                                "a\x02"
                                                                "b\x02"))
          << c.what << ": Tabs become the current delimiter";
    }
    EXPECT_EQ(lang->LangDelim(), 2) << c.what;
  }
}

TEST(LangLoading, ExclusionsSeeTheConvertedRows) {
  // The Tabs become delimiters before the rows are split into component and
  // property, so an excluded property is found in a Tab-separated table too.
  struct Case {
    const char* what;
    QString delimiter;
    QList<QByteArray> lines;
  } cases[] = {
      {"Tab-separated rows, delimiter 1",
       "1",
       {"stCaptions", Row("Button1", {"Dodaj", "Add"}, '\t'), "stOtherStrings", Row("Edit1.Name", {"a", "b"}, '\t'),
        Row("Edit1.Text", {"a", "b"}, '\t'), "stCollections", Row("Grid1.Columns[0].TableName", {"a", "b"}, '\t')}},
      {"delimiter 9",
       "9",
       {"stOtherStrings", Row("Edit1.Name", {"a", "b"}, '\t'), Row("Edit1.Text", {"a", "b"}, '\t'), "stCollections",
        Row("Grid1.Columns[0].TableName", {"a", "b"}, '\t')}},
  };
  for (const Case& c : cases) {
    auto form = BuildForm(
        LangWindow("NumOfLanguages = 2\nLangDelim = " + c.delimiter + "\nTranslationData = " + Hex(Block(c.lines))));
    const TlgLang* lang = Lang(*form);
    EXPECT_EQ(lang->Rows(stOtherStrings), TlgRows{Row("Edit1.Text", {"a", "b"})}) << c.what;
    EXPECT_TRUE(lang->Rows(stCollections).isEmpty()) << c.what;
  }
}

TEST(LangLoading, AnIndexGivenByTheDefinitionAppliesNothing) {
  auto form =
      BuildForm(LangWindow(StandardProperties(SmallTable())
                               .replace("    Language = 'Srpski'", "    Language = 'Srpski'\n    ActiveLanguage = 2")));
  const TlgLang* lang = Lang(*form);
  EXPECT_EQ(lang->ActiveLanguage(), 2);
  EXPECT_EQ(lang->Language(), "Srpski");
  EXPECT_EQ(form->Caption(), "Prozor");
  EXPECT_EQ(qobject_cast<TButton*>(form->FindComponent("Button1"))->Caption(), "Dodaj");
  EXPECT_EQ(qobject_cast<TEdit*>(form->FindComponent("Edit1"))->Text(), "tekst");
}

TEST(LangLoading, ExcludedPropertiesEmptySections) {
  const QByteArray data =
      Block({"stCaptions", Row("Button1", {"a", "b"}), "stHints", Row("Button1", {"a", "b"}), "stDisplayLabels",
             Row("Field1", {"a", "b"}), "stFonts", Row("TForm", {"Tahoma", ""}), "stCharSets",
             Row("TForm", {"DEFAULT_CHARSET", ""}), "stOtherStrings", Row("Edit1.Text", {"a", "b"})});
  struct Case {
    const char* excluded;
    QList<TStringsType> emptied;
  } cases[] = {
      {"'Category'", {}},
      {"'Caption'", {stCaptions}},
      {"'caption'", {stCaptions}},
      {"'Hint'", {stHints}},
      {"'DisplayLabel'", {stDisplayLabels}},
      {"'Font'", {stFonts, stCharSets}},
      {"'Charset'", {stCharSets}},
      {"'Caption' 'Hint' 'Font'", {stCaptions, stHints, stFonts, stCharSets}},
  };
  for (const Case& c : cases) {
    auto form = BuildForm(LangWindow(QString("NumOfLanguages = 2\nExcludedProperties = (%1)\nTranslationData = %2")
                                         .arg(QString::fromLatin1(c.excluded), Hex(data))));
    const TlgLang* lang = Lang(*form);
    for (TStringsType t : {stCaptions, stHints, stDisplayLabels, stFonts, stCharSets, stOtherStrings})
      EXPECT_EQ(lang->Rows(t).isEmpty(), c.emptied.contains(t)) << c.excluded << ", section " << t;
  }
}

TEST(LangLoading, ExcludedPropertyRowsAreRemoved) {
  const QByteArray data =
      Block({"stMultiLines", Row("Memo1.Lines", {"a", "b"}), Row("Memo2.Items", {"a", "b"}), "stOtherStrings",
             Row("Edit1.Name", {"a", "b"}), Row("Table1.TableName", {"a", "b"}), Row("Edit1.Text", {"a", "b"}),
             Row("Edit2.Text", {"a", "b"}), Row("Edit1.name", {"a", "b"}), Row("TForm.HelpFile", {"a", "b"}),
             "stCollections", Row("DBGrid1.Columns[0].Title.Caption", {"a", "b"}),
             Row("DBGrid1.Columns[1].PickList", {"a", "b"}), Row("DBGrid2.Columns[0].Title.Caption", {"a", "b"}),
             Row("DBGrid3.Panels[0].Text", {"a", "b"}), "stCaptions", Row("Button1", {"a", "b"})});
  auto form =
      BuildForm(LangWindow("NumOfLanguages = 2\n"
                           "ExcludedProperties = ('TableName' 'Items' 'PickList' 'helpfile')\n"
                           "SmartExcludeProps = ('edit2.TEXT' 'DBGrid2.Title' 'DBGrid3.Panels')\n"
                           "TranslationData = " +
                           Hex(data)));
  const TlgLang* lang = Lang(*form);
  EXPECT_EQ(lang->Rows(stMultiLines), TlgRows{Row("Memo1.Lines", {"a", "b"})});
  EXPECT_EQ(lang->Rows(stOtherStrings), (TlgRows{Row("Edit1.Text", {"a", "b"}), Row("Edit1.name", {"a", "b"})}))
      << "\"Name\" is matched exactly, the lists ignoring case";
  EXPECT_EQ(lang->Rows(stCollections), TlgRows{Row("DBGrid1.Columns[0].Title.Caption", {"a", "b"})})
      << "word 2 or word 4 excluded";
  EXPECT_EQ(lang->Rows(stCaptions).size(), 1) << "other sections are not pruned row by row";
}

TEST(LangLoading, NotHandledProperty) {
  TForm form;
  auto* lang = new TlgLang(&form);
  TStringList smart(QStringList{"Edit1.Hint"});
  lang->SetSmartExcludeProps(&smart);
  struct Case {
    const char* component;
    const char* property;
    bool expected;
  } cases[] = {
      {"Edit1", "TableName", true}, {"Edit1", "tablename", true}, {"Edit1", "Name", true},
      {"Edit1", "name", false},     {"Edit1", "Hint", true},      {"EDIT1", "hint", true},
      {"Edit2", "Hint", false},     {"Edit1", "Text", false},     {"", "Hint", false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(lang->NotHandledProperty(c.component, c.property), c.expected) << c.component << "." << c.property;
}

TEST(LangLoading, DialogSectionOf82RowsIsTrimmed) {
  auto table = [](int extra, bool withKeys) {
    QList<QByteArray> lines{"stDlgsCaptions"};
    const char* keys[] = {"Warning", "Error", "Information", "Confirm", "Yes",       "No",         "OK",  "Cancel",
                          "Abort",   "Retry", "Ignore",      "All",     "No To All", "Yes To All", "Help"};
    int n = 0;
    for (const char* k : keys) {
      if (withKeys) lines << Row(k, {QByteArray(k) + " text", ""});
      for (int i = 0; i < extra / 15 + (n < extra % 15 ? 1 : 0); ++i)
        lines << Row("Extra" + QByteArray::number(n) + "_" + QByteArray::number(i), {"x", ""});
      ++n;
    }
    return Block(lines);
  };
  auto load = [](const QByteArray& data, const QString& more = QString()) {
    return BuildForm(LangWindow("NumOfLanguages = 2\n" + more + "TranslationData = " + Hex(data)));
  };
  {
    auto form = load(table(67, true));
    const TlgRows& rows = Lang(*form)->Rows(stDlgsCaptions);
    ASSERT_EQ(rows.size(), 15);
    EXPECT_EQ(rows.first(), Row("Warning", {"Warning text", ""}));
    EXPECT_EQ(rows.last(), Row("Help", {"Help text", ""}));
  }
  {
    auto form = load(table(66, true));
    EXPECT_EQ(Lang(*form)->Rows(stDlgsCaptions).size(), 81) << "only 82 rows are trimmed";
  }
  {
    auto form = load(table(67, true), "NeedAllDlgs = True\n");
    EXPECT_EQ(Lang(*form)->Rows(stDlgsCaptions).size(), 82) << "NeedAllDlgs keeps them";
  }
  {
    QByteArray lower = table(67, true);
    lower.replace("\r\nOK\x01", "\r\nok\x01");
    auto form = load(lower);
    EXPECT_EQ(Lang(*form)->Rows(stDlgsCaptions).size(), 14) << "keys compare exactly";
  }
}

// --- After loading -------------------------------------------------------------

namespace {
class LangSelection : public ::testing::Test {
protected:
  void Load(const QString& names = QStringLiteral("('Srpski' 'Engleski')"),
            const QString& language = QStringLiteral("'Srpski'")) {
    form = BuildForm(LangWindow(StandardProperties(SmallTable(), names, language)));
    lang = Lang(*form);
    ASSERT_TRUE(lang);
  }
  void ExpectRangeError(int index) {
    const int active = lang->ActiveLanguage();
    const QString language = lang->Language();
    try {
      lang->SetActLang(index);
      ADD_FAILURE() << index << " was accepted";
    } catch (const ELanguageError& e) {
      EXPECT_EQ(e.Message(), QString("%1 - is not a valid property value!").arg(index) + QChar(kCR) +
                                 QString("Value must be within [1..%1]!").arg(lang->NumOfLanguages()));
      EXPECT_EQ(e.Message().toLatin1().count('\r'), 1);
      EXPECT_FALSE(e.Message().contains('\n'));
    }
    EXPECT_EQ(lang->ActiveLanguage(), active) << index;
    EXPECT_EQ(lang->Language(), language) << index;
  }

  std::unique_ptr<TForm> form;
  TlgLang* lang = nullptr;
};
}  // namespace

TEST_F(LangSelection, SetActLangTakesTheNameOfTheIndex) {
  Load();
  lang->SetActLang(2);
  EXPECT_EQ(lang->ActiveLanguage(), 2);
  EXPECT_EQ(lang->Language(), "Engleski");
  lang->SetActLang(1);
  EXPECT_EQ(lang->Language(), "Srpski");

  Load("('Language N1' 'Language N2')", "'Language N1'");
  lang->SetActLang(2);
  EXPECT_EQ(lang->Language(), "Language N2");
}

TEST_F(LangSelection, SameIndexDoesNothing) {
  // "Deutsch" is appended while loading; language 1 stays active, so asking
  // for it again must not even re-take the name of index 1.
  Load("('Srpski' 'Engleski')", "'Deutsch'");
  ASSERT_EQ(lang->Language(), "Deutsch");
  int told = 0;
  lang->SetOnChangeLanguage(TNotifyEvent{[&](TObject*) { ++told; }, "Changed"});
  lang->SetActLang(1);
  EXPECT_EQ(lang->Language(), "Deutsch");
  EXPECT_EQ(told, 0);
}

TEST_F(LangSelection, IndexOutOfRangeFails) {
  Load();
  ExpectRangeError(0);
  ExpectRangeError(3);
  ExpectRangeError(-1);
  lang->SetActLang(2);
  ExpectRangeError(3);
  EXPECT_EQ(lang->Language(), "Engleski");
}

TEST_F(LangSelection, SetLanguage) {
  Load();
  lang->SetLanguage("Engleski");
  EXPECT_EQ(lang->ActiveLanguage(), 2);
  EXPECT_EQ(lang->Language(), "Engleski");
  lang->SetLanguage("srpski");
  EXPECT_EQ(lang->ActiveLanguage(), 1) << "names are found ignoring case";
  EXPECT_EQ(lang->Language(), "Srpski") << "and the list's spelling wins";
  try {
    lang->SetLanguage("Deutsch");
    FAIL() << "an unknown name was accepted";
  } catch (const ELanguageError& e) {
    EXPECT_EQ(e.Message(), "Language name shall be included in LangNames property!");
  }
  EXPECT_EQ(lang->ActiveLanguage(), 1);
  EXPECT_EQ(lang->Language(), "Srpski");
  EXPECT_EQ(lang->LangNames()->Count(), 2) << "after loading no name is appended";
}

TEST_F(LangSelection, SetLanguageBeyondTheCountChangesNothing) {
  // The name appended while loading stands at position 3 of two languages.
  Load("('Srpski' 'Engleski')", "'Deutsch'");
  lang->SetActLang(2);
  try {
    lang->SetLanguage("Deutsch");
    FAIL() << "language 3 of 2 was made active";
  } catch (const ELanguageError& e) {
    EXPECT_TRUE(e.Message().startsWith("3 - is not a valid property value!")) << e.what();
  }
  EXPECT_EQ(lang->ActiveLanguage(), 2);
  EXPECT_EQ(lang->Language(), "Engleski");
}

TEST_F(LangSelection, DelimiterChangeConvertsRowsAfterLoading) {
  Load();
  lang->SetLangDelim(1);
  EXPECT_EQ(lang->Rows(stCaptions).value(1), Row("Button1", {"Dodaj", "Add"}));
  lang->SetLangDelim(3);
  EXPECT_EQ(lang->LangDelim(), 3);
  EXPECT_EQ(lang->Rows(stCaptions).value(1), Row("Button1", {"Dodaj", "Add"}, '\x03'));
  EXPECT_EQ(lang->Rows(stDlgsCaptions).value(0), Row("Warning", {"Warning", ""}, '\x03'));
  EXPECT_EQ(lang->GetStringValue(lang->Rows(stCaptions), "Button1", 2), QByteArray("Add"));
  lang->ChangeLangDelim('\x03', 'x');
  EXPECT_EQ(lang->Rows(stCaptions).value(1), QByteArray("Button1xDodajxAddx"));
  EXPECT_EQ(lang->LangDelim(), 3) << "ChangeLangDelim leaves the setting alone";
}

TEST_F(LangSelection, RemovedComponentLeavesDoNotTranslate) {
  form =
      BuildForm(LangWindow("NumOfLanguages = 2\nDoNotTranslate = ('Button1' 'Edit1' 'BUTTON1')\n"
                           "TranslationData = " +
                           Hex(SmallTable())));
  lang = Lang(*form);
  delete form->FindComponent("Button1");
  EXPECT_EQ(lang->DoNotTranslate()->ToList(), QStringList{"Edit1"});
  EXPECT_EQ(lang->GetStringValue(lang->Rows(stCaptions), "Button1", 1), QByteArray("Dodaj")) << "its rows stay";
}

TEST_F(LangSelection, ChangingCursorIsRestored) {
  Load();
  lang->SetChangingCursor(-11);  // the hourglass
  ASSERT_EQ(QApplication::overrideCursor(), nullptr);
  Qt::CursorShape during = Qt::ArrowCursor;
  int told = 0;
  lang->SetOnChangeLanguage(TNotifyEvent{[&](TObject*) {
                                           ++told;
                                           if (QApplication::overrideCursor())
                                             during = QApplication::overrideCursor()->shape();
                                           throw Exception("handler failed");
                                         },
                                         "Changed"});
  try {
    lang->SetActLang(2);
  } catch (const Exception&) {
  }
  EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "the screen cursor is back, also after a failure";
  EXPECT_EQ(told, 1);
  EXPECT_EQ(during, Qt::WaitCursor) << "the switching cursor while the switch runs";
  EXPECT_EQ(lang->ActiveLanguage(), 2) << "the failed switch keeps the new index";

  // A screen already showing another cursor is left alone.
  QApplication::setOverrideCursor(QCursor(Qt::CrossCursor));
  lang->SetOnChangeLanguage({});
  lang->SetActLang(1);
  ASSERT_NE(QApplication::overrideCursor(), nullptr);
  EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::CrossCursor);
  QApplication::restoreOverrideCursor();
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}
