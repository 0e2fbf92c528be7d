// The language switch: which rows it writes and which it leaves, the window's
// own rows, pruning, collections, lists and memos, the failure rules of each
// section, and the small rules it stands on (character sets, file names).
#include "LangTestSupport.h"
#include "SwitchTestClasses.h"

#include "Definition.h"
#include "Exceptions.h"
#include "StdCtrls.h"
#include "SysUtils.h"
#include "lgSwitch.h"

#include <QDir>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <mutex>
#include <optional>

using lgtest::Row;

// Readable texts in failure messages.
static void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
static void PrintTo(const QStringList& l, std::ostream* os) {
  *os << '{' << l.join(QLatin1String(", ")).toStdString() << '}';
}

namespace swt {

int& Failures() {
  static int failures = 0;
  return failures;
}

std::vector<QString>& Writes() {
  static std::vector<QString> writes;
  return writes;
}

int WritesOf(const QString& what) {
  const QString prefix = what.endsWith(QLatin1Char('.')) ? what : what + QLatin1Char('=');
  int n = 0;
  for (const QString& w : Writes())
    if (w.startsWith(prefix)) ++n;
  return n;
}

void RegisterSwitchTestClasses() {
  static std::once_flag once;
  std::call_once(once, [] {
    RegisterComponentClass<TSwProbe>();
    RegisterComponentClass<TSwAction>();
    RegisterComponentClass<TSwGrid>();
    RegisterComponentClass<TSwForgetfulListBox>();
  });
}

}  // namespace swt

namespace {

using swt::TSwProbe;
using swt::Writes;
using swt::WritesOf;

QStringList Names(const TlgRows& rows) {
  QStringList out;
  for (const QByteArray& row : rows) out << QString::fromLatin1(ExtractTranslation(row, '\x01', 0));
  return out;
}

// A window TForm1 built from component definitions, with a two-language
// translation component lgLang1 whose sections the tests fill directly.
class SwitchTest : public ::testing::Test {
protected:
  void SetUp() override { swt::RegisterSwitchTestClasses(); }

  void Build(const QString& components, const QString& formProperties = QString()) {
    form = std::make_unique<swt::TForm1>();
    LoadWindowDefinitionText(form.get(),
                             QStringLiteral("object Form1: TForm1\n  Caption = 'Pocetni'\n") + formProperties +
                                 components + QStringLiteral("end\n"),
                             QStringLiteral("Switch.def"));
    lang = new TlgLang(form.get());
    lang->SetName(QStringLiteral("lgLang1"));
    lang->SetNumLang(2);
    Writes().clear();
  }

  // One probe component per name, each on its own definition lines.
  static QString Probes(std::initializer_list<const char*> names) {
    QString out;
    for (const char* n : names) out += QStringLiteral("  object %1: TSwProbe\n  end\n").arg(QLatin1String(n));
    return out;
  }

  void Add(TStringsType section, const QByteArray& name, const QList<QByteArray>& values) {
    lang->Rows(section).append(Row(name, values));
  }

  TSwProbe* Probe(const char* name) const { return Get<TSwProbe>(name); }
  template <class T>
  T* Get(const char* name) const {
    auto* c = qobject_cast<T*>(form->FindComponent(QLatin1String(name)));
    EXPECT_NE(c, nullptr) << name;
    return c;
  }

  std::unique_ptr<swt::TForm1> form;
  TlgLang* lang = nullptr;
};

// ---------------------------------------------------------------- there and back

struct TripCase {
  const char* label;
  TStringsType section;
  QByteArray rowName;
  QByteArray serbian, english;
  const char* probe;
  const char* property;  // "Caption", "Lines" (comma text), "Font.Name"
  QString initial, afterEnglish, afterSerbian;
  int writesThere, writesBack;  // -1: not recorded
};

QString ReadProbe(TSwProbe* p, const QString& property) {
  if (property == QLatin1String("Lines")) return p->Lines()->CommaText();
  if (property == QLatin1String("Font.Name")) return p->Font()->Name();
  if (property == QLatin1String("Code")) return QString::fromLatin1(p->Code());
  return p->property(property.toLatin1().constData()).toString();
}

void WriteProbe(TSwProbe* p, const QString& property, const QString& value) {
  if (property == QLatin1String("Lines"))
    p->Lines()->SetCommaText(value);
  else if (property == QLatin1String("Font.Name"))
    p->Font()->SetName(value);
  else if (property == QLatin1String("Code"))
    p->SetCode(value.toLatin1());
  else
    p->setProperty(property.toLatin1().constData(), value);
}

TEST_F(SwitchTest, ThereAndBackWritesOnlyNonEmptyValuesThatDiffer) {
  const TripCase cases[] = {
      {"caption changed both ways", stCaptions, "P1", "Naziv", "Name", "P1", "Caption", "Naziv", "Name", "Naziv", 1, 1},
      {"the same in both languages", stCaptions, "P2", "Isto", "Isto", "P2", "Caption", "Isto", "Isto", "Isto", 0, 0},
      {"empty English", stCaptions, "P3", "Dodaj", "", "P3", "Caption", "Dodaj", "Dodaj", "Dodaj", 0, 0},
      {"empty English keeps even another text", stCaptions, "P4", "Srpski", "", "P4", "Caption", "Drugo", "Drugo",
       "Srpski", 0, 1},
      {"empty in both", stCaptions, "P5", "", "", "P5", "Caption", "Drugo", "Drugo", "Drugo", 0, 0},
      {"Windows-1250 letters", stCaptions, "P6",
       "\x8a"
       "ifra",
       "Code", "P6", "Caption", QStringLiteral("Šifra"), "Code", QStringLiteral("Šifra"), 1, 1},
      {"hint", stHints, "P7", "Savet", "Tip", "P7", "Hint", "", "Tip", "Savet", 1, 1},
      {"display label", stDisplayLabels, "P8", "Polje", "Field", "P8", "DisplayLabel", "Polje", "Field", "Polje", 1, 1},
      {"other string, empty English", stOtherStrings, "P9.Text", "1", "", "P9", "Text", "5", "5", "1", 0, 1},
      {"other string", stOtherStrings, "P10.text", "jedan", "one", "P10", "Text", "jedan", "one", "jedan", 1, 1},
      {"byte string property", stOtherStrings, "P11.Code", "A", "B", "P11", "Code", "A", "B", "A", 1, 1},
      {"sub-property", stOtherStrings, "P12.Font.Name", "Tahoma", "Arial", "P12", "Font.Name", "Tahoma", "Arial",
       "Tahoma", -1, -1},
      {"lines", stMultiLines, "P13.Lines", "a,b", "\"x y\",z", "P13", "Lines", "a,b", "\"x y\",z", "a,b", 1, 1},
      {"lines, empty English", stMultiLines, "P14.Lines", "a", "", "P14", "Lines", "a", "a", "a", 0, 0},
      // The comparison is with the list's comma text, not with its lines.
      {"lines equal but spaced", stMultiLines, "P15.Lines", "a,b", "a , b", "P15", "Lines", "a,b", "a,b", "a,b", 1, 0},
  };
  Build(Probes({"P1", "P2", "P3", "P4", "P5", "P6", "P7", "P8", "P9", "P10", "P11", "P12", "P13", "P14", "P15"}));
  for (const TripCase& c : cases) {
    Add(c.section, c.rowName, {c.serbian, c.english});
    WriteProbe(Probe(c.probe), QLatin1String(c.property), c.initial);
  }
  Writes().clear();

  lang->SetActLang(2);
  for (const TripCase& c : cases) {
    const QString probe = QLatin1String(c.probe) + QLatin1Char('.') + QLatin1String(c.property);
    EXPECT_EQ(ReadProbe(Probe(c.probe), QLatin1String(c.property)), c.afterEnglish) << c.label;
    if (c.writesThere >= 0) {
      EXPECT_EQ(WritesOf(probe), c.writesThere) << c.label << " (to English)";
    }
  }
  Writes().clear();

  lang->SetActLang(1);
  for (const TripCase& c : cases) {
    const QString probe = QLatin1String(c.probe) + QLatin1Char('.') + QLatin1String(c.property);
    EXPECT_EQ(ReadProbe(Probe(c.probe), QLatin1String(c.property)), c.afterSerbian) << c.label;
    if (c.writesBack >= 0) {
      EXPECT_EQ(WritesOf(probe), c.writesBack) << c.label << " (back to Serbian)";
    }
  }
}

TEST_F(SwitchTest, TheSameLanguageAgainWritesOnlyTheWindowsOwnTexts) {
  Build(Probes({"P1"}));
  Add(stCaptions, "TForm1", {"Prozor", "Window"});
  Add(stCaptions, "P1", {"Naziv", "Name"});
  Add(stHints, "TForm1", {"Savet", "Tip"});
  lang->SetActLang(2);
  EXPECT_EQ(form->Caption(), "Window");
  EXPECT_EQ(form->Hint(), "Tip");
  EXPECT_EQ(WritesOf("TForm1.Caption"), 1);
  EXPECT_EQ(WritesOf("P1.Caption"), 1);

  lang->ChangeLanguage();
  EXPECT_EQ(WritesOf("TForm1.Caption"), 2) << "the window's caption is written without comparing";
  EXPECT_EQ(WritesOf("P1.Caption"), 1) << "a component's caption is compared first";
}

TEST_F(SwitchTest, WindowRowsApplyOnlyAsTheFirstRowNamedLikeTheWindow) {
  Build(Probes({"P1"}));
  Add(stCaptions, "P1", {"Naziv", "Name"});
  Add(stCaptions, "TForm1", {"Prozor", "Window"});  // not first: the reader never leaves it there
  Add(stOtherStrings, "TForm1.HelpFile", {"pomoc.hlp", "help.hlp"});
  Add(stOtherStrings, "Form1.HelpFile", {"x.hlp", "y.hlp"});
  lang->SetActLang(2);
  EXPECT_EQ(form->Caption(), "Pocetni");
  EXPECT_EQ(Probe("P1")->Caption(), "Name");
  EXPECT_EQ(form->HelpFile(), "help.hlp") << "stOtherStrings reaches the window by its class name";
  EXPECT_EQ(Names(lang->Rows(stOtherStrings)), QStringList{"TForm1.HelpFile"})
      << "the window's own name is no component of it";
}

TEST_F(SwitchTest, ALabelThatQuotesTheWindowRowIsNotTakenForIt) {
  Build(QStringLiteral("  object Label1: TLabel\n    Caption = 'x'\n  end\n"));
  Add(stCaptions, "Label1", {"TForm1", "Window's name"});
  lang->SetActLang(2);
  EXPECT_EQ(Get<TLabel>("Label1")->Caption(), "Window's name");
}

// ---------------------------------------------------------------- fonts and character sets

TEST_F(SwitchTest, WindowFontTakesNameAndExactCharsetComponentsIgnoreCase) {
  struct Case {
    const char* label;
    QByteArray charset;
    int window, current, component;
  } cases[] = {
      {"exact name", "EASTEUROPE_CHARSET", 238, 238, 238},
      {"small letters", "easteurope_charset", 1, 1, 238},
      {"no character set", "EASTEUROPE", 1, 1, 1},
      {"empty", "", 1, 1, 1},
  };
  for (const Case& c : cases) {
    Build(Probes({"P1"}));
    Add(stFonts, "TForm1", {"Tahoma", "Arial"});
    Add(stFonts, "P1", {"Tahoma", "Verdana"});
    Add(stCharSets, "TForm1", {"DEFAULT_CHARSET", c.charset});
    Add(stCharSets, "P1", {"DEFAULT_CHARSET", c.charset});
    lang->SetActLang(2);
    EXPECT_EQ(form->Font()->Name(), "Arial") << c.label;
    EXPECT_EQ(form->Font()->Charset(), c.window) << c.label;
    EXPECT_EQ(lang->CurrentCharset(), c.current) << c.label;
    EXPECT_EQ(Probe("P1")->Font()->Name(), "Verdana") << c.label;
    EXPECT_EQ(Probe("P1")->Font()->Charset(), c.component) << c.label;
    EXPECT_EQ(WritesOf("P1.Font"), 1) << c.label << ": the font is assigned back to the component";
  }
}

TEST_F(SwitchTest, TheCurrentCharsetIsSetBeforeTheTextsAreConverted) {
  Build(Probes({"P1"}));
  Add(stCharSets, "TForm1", {"DEFAULT_CHARSET", "RUSSIAN_CHARSET"});
  Add(stCaptions, "P1", {"Naziv", "\xcf\xf0\xe8"});  // "При" in Windows-1251
  lang->SetActLang(2);
  EXPECT_EQ(lang->CurrentCharset(), 204);
  EXPECT_EQ(Probe("P1")->Caption(), QStringLiteral("При"));
  lang->SetActLang(1);
  EXPECT_EQ(lang->CurrentCharset(), 1);
  EXPECT_EQ(Probe("P1")->Caption(), "Naziv");
}

TEST_F(SwitchTest, ControlsThatTakeTheirParentsFontAreLeftAlone) {
  Build(
      QStringLiteral("  object Label1: TLabel\n  end\n"
                     "  object Label2: TLabel\n    ParentFont = False\n  end\n"));
  Add(stFonts, "Label1", {"Tahoma", "Arial"});
  Add(stFonts, "Label2", {"Tahoma", "Arial"});
  Add(stCharSets, "Label1", {"RUSSIAN_CHARSET", "RUSSIAN_CHARSET"});
  Add(stCharSets, "Label2", {"RUSSIAN_CHARSET", "russian_charset"});
  lang->SetActLang(2);
  auto* label1 = Get<TLabel>("Label1");
  auto* label2 = Get<TLabel>("Label2");
  EXPECT_TRUE(label1->ParentFont());
  EXPECT_EQ(label1->Font()->Name(), form->Font()->Name());
  EXPECT_EQ(label1->Font()->Charset(), form->Font()->Charset());
  EXPECT_EQ(label2->Font()->Name(), "Arial");
  EXPECT_EQ(label2->Font()->Charset(), 204);
}

TEST(SwitchCharsets, NamesAndValuesFirstMatchWins) {
  const struct {
    QByteArray name;
    bool ignoreCase;
    std::optional<int> value;
  } cases[] = {
      {"ANSI_CHARSET", false, 0},
      {"DEFAULT_CHARSET", false, 1},
      {"SYMBOL_CHARSET", false, 2},
      {"MAC_CHARSET", false, 77},
      {"SHIFTJIS_CHARSET", false, 128},
      {"HANGEUL_CHARSET", false, 129},
      {"JOHAB_CHARSET", false, 130},
      {"GB2312_CHARSET", false, 134},
      {"CHINESEBIG5_CHARSET", false, 136},
      {"GREEK_CHARSET", false, 161},
      {"TURKISH_CHARSET", false, 162},
      {"VIETNAMESE_CHARSET", false, 163},
      {"HEBREW_CHARSET", false, 177},
      {"ARABIC_CHARSET", false, 178},
      {"BALTIC_CHARSET", false, 186},
      {"RUSSIAN_CHARSET", false, 204},
      {"THAI_CHARSET", false, 222},
      {"EASTEUROPE_CHARSET", false, 238},
      {"OEM_CHARSET", false, 255},
      {"Oem_Charset", false, {}},
      {"Oem_Charset", true, 255},
      {"DEFAULT_CHARSET ", true, {}},
      {"1", true, {}},
      {"", true, {}},
      {"EASTEUROPE_CHARSET\x01", true, {}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(lgCharsetByName(c.name, c.ignoreCase), c.value)
        << c.name.constData() << " ignoring case " << c.ignoreCase;
}

// ---------------------------------------------------------------- actions and pruning

TEST_F(SwitchTest, ActionBoundRowsAreRemovedAtTheFirstSwitchAndNeverWritten) {
  Build(
      QStringLiteral("  object Action1: TSwAction\n  end\n"
                     "  object Button1: TButton\n    Caption = 'Dugme'\n    Action = Action1\n  end\n"
                     "  object Button2: TButton\n    Caption = 'Drugo'\n  end\n"
                     "  object P1: TSwProbe\n    Caption = 'p'\n    Action = Action1\n  end\n"));
  Add(stCaptions, "TForm1", {"Prozor", "Window"});
  Add(stCaptions, "Button1", {"Dugme", "Button"});
  Add(stCaptions, "Button2", {"Drugo", "Other"});
  Add(stCaptions, "P1", {"p", "q"});
  Add(stHints, "TForm1", {"", ""});
  Add(stHints, "Button1", {"savet", "hint"});
  Add(stHints, "P1", {"savet", "hint"});
  lang->SetActLang(2);
  auto* button1 = Get<TButton>("Button1");
  EXPECT_EQ(button1->Caption(), "Dugme");
  EXPECT_EQ(button1->Hint(), "");
  EXPECT_EQ(Get<TButton>("Button2")->Caption(), "Other");
  EXPECT_EQ(WritesOf("P1."), 0);
  EXPECT_EQ(Names(lang->Rows(stCaptions)), (QStringList{"TForm1", "Button2"}));
  EXPECT_EQ(Names(lang->Rows(stHints)), QStringList{"TForm1"});

  button1->SetAction(nullptr);
  Probe("P1")->SetAction(nullptr);
  lang->SetActLang(1);
  lang->SetActLang(2);
  EXPECT_EQ(button1->Caption(), "Dugme") << "the row is gone for the window's life";
  EXPECT_EQ(WritesOf("P1."), 0);
}

TEST_F(SwitchTest, AWindowBoundToAnActionKeepsItsCaption) {
  Build(QStringLiteral("  object Action1: TSwAction\n  end\n"), QStringLiteral("  Action = Action1\n"));
  Add(stCaptions, "TForm1", {"Prozor", "Window"});
  lang->SetActLang(2);
  EXPECT_EQ(form->Caption(), "Pocetni");
}

TEST_F(SwitchTest, PruningRemovesRowsOfMissingComponentsForTheWindowsLife) {
  Build(Probes({"P1"}) + QStringLiteral("  object Grid1: TSwGrid\n    Columns = <item end>\n  end\n"));
  Add(stCaptions, "TForm1", {"Prozor", "Window"});
  Add(stCaptions, "Ghost", {"a", "b"});
  Add(stCaptions, "P1", {"c", "d"});
  Add(stHints, "Phantom", {"a", "b"});  // first row: the window's place, left alone
  Add(stHints, "Ghost", {"a", "b"});
  Add(stDisplayLabels, "Ghost", {"a", "b"});
  Add(stDisplayLabels, "P1", {"a", "b"});
  Add(stFonts, "TForm1", {"Tahoma", ""});
  Add(stFonts, "Ghost", {"Tahoma", "Arial"});
  Add(stMultiLines, "Ghost.Lines", {"a", "b"});
  Add(stMultiLines, "P1.Lines", {"a", "b"});
  Add(stOtherStrings, "Ghost.Text", {"a", "b"});
  Add(stOtherStrings, "TForm1.HelpFile", {"a", "b"});
  Add(stOtherStrings, "tform1.HelpFile", {"a", "b"});
  Add(stCollections, "Ghost.Columns[0].Title.Caption", {"a", "b"});
  Add(stCollections, "Grid1.Columns[0].Title.Caption", {"a", "b"});
  for (TStringsType untouched : {stDlgsCaptions, stStrings, stLocales, stCharSets}) Add(untouched, "Ghost", {"a", "b"});
  const TlgRows dialogs = lang->Rows(stDlgsCaptions);

  lang->SetActLang(2);
  EXPECT_EQ(Names(lang->Rows(stCaptions)), (QStringList{"TForm1", "P1"}));
  EXPECT_EQ(Names(lang->Rows(stHints)), QStringList{"Phantom"});
  EXPECT_EQ(Names(lang->Rows(stDisplayLabels)), QStringList{"P1"});
  EXPECT_EQ(Names(lang->Rows(stFonts)), QStringList{"TForm1"});
  EXPECT_EQ(Names(lang->Rows(stMultiLines)), QStringList{"P1.Lines"});
  EXPECT_EQ(Names(lang->Rows(stOtherStrings)), QStringList{"TForm1.HelpFile"});
  EXPECT_EQ(Names(lang->Rows(stCollections)), QStringList{"Grid1.Columns[0].Title.Caption"});
  EXPECT_EQ(lang->Rows(stDlgsCaptions), dialogs);
  for (TStringsType untouched : {stStrings, stLocales, stCharSets})
    EXPECT_EQ(Names(lang->Rows(untouched)), QStringList{"Ghost"}) << untouched;

  // A component of that name arriving later finds its rows gone.
  auto* ghost = new TSwProbe(form.get());
  ghost->SetName(QStringLiteral("Ghost"));
  lang->SetActLang(1);
  lang->SetActLang(2);
  EXPECT_EQ(WritesOf("Ghost."), 0);
}

// ---------------------------------------------------------------- collections

TEST_F(SwitchTest, CollectionRowsApplyThroughItemsAndDeleteWhatCannotApply) {
  Build(
      QStringLiteral("  object Grid1: TSwGrid\n"
                     "    Columns = <\n      item\n        FieldName = 'Ime'\n        Title.Caption = 'Naslov'\n"
                     "      end\n      item\n        FieldName = 'Ime'\n      end>\n"
                     "    Properties.Columns = <\n      item\n        Caption = 'Prvi'\n      end>\n"
                     "  end\n"));
  const struct {
    QByteArray name;
    bool stays;
  } rows[] = {
      {"Grid1.Columns[0].Title.Caption", true},
      {"Grid1.Columns[5].Title.Caption", false},       // beyond the collection: pruned
      {"Grid1.Rows[0].Title.Caption", false},          // no such collection: deleted when met
      {"Grid1.Columns[1].Missing", false},             // no such item property
      {"Grid1.Columns[1].FieldName", true},            // a property of the item itself
      {"Grid1.Columns[1].Notes", true},                // a string list of the item
      {"Grid1.Columns[1].FixedTitle.Caption", false},  // an object property that cannot be written
      {"Grid1.Columns[1].Title.Missing", false},       // no such property of the object
      {"Grid1.Properties.Columns[0].Caption", true},
      {"Grid1.Properties.Columns[0].Title.Caption", false},  // only one name reaches an item there
      {"Grid1.Properties.Columns[1].Caption", false},        // beyond the sub-object's collection: pruned
      {"Grid1.Columns[x].Caption", true},                    // a shape of no meaning here: left alone
  };
  for (const auto& r : rows) Add(stCollections, r.name, {"", "English"});
  lang->Rows(stCollections)[5] = Row("Grid1.Columns[1].Notes", {"a\r\nb", "c\r\nd\r\ne"});

  lang->SetActLang(2);
  QStringList staying;
  for (const auto& r : rows)
    if (r.stays) staying << QString::fromLatin1(r.name);
  EXPECT_EQ(Names(lang->Rows(stCollections)), staying);

  auto* grid = Get<swt::TSwGrid>("Grid1");
  auto* column0 = qobject_cast<swt::TSwColumn*>(grid->Columns()->Items(0));
  auto* column1 = qobject_cast<swt::TSwColumn*>(grid->Columns()->Items(1));
  auto* inner = qobject_cast<swt::TSwColumn*>(grid->Properties()->Columns()->Items(0));
  EXPECT_EQ(column0->Title()->Caption(), "English");
  EXPECT_EQ(column1->FieldName(), "English");
  EXPECT_EQ(column1->Notes()->ToList(), (QStringList{"c", "d", "e"}));
  EXPECT_EQ(inner->Caption(), "English");

  const TStrings* notes = column1->Notes();
  lang->SetActLang(1);
  EXPECT_EQ(column0->Title()->Caption(), "English") << "empty Serbian values write nothing";
  lang->Rows(stCollections)[2] = Row("Grid1.Columns[1].Notes", {"a\r\nb", ""});
  lang->SetActLang(2);
  lang->SetActLang(1);
  EXPECT_EQ(column1->Notes()->ToList(), (QStringList{"a", "b"}));
  EXPECT_EQ(column1->Notes(), notes) << "the list object stays the same one";
}

// ---------------------------------------------------------------- lists

TEST_F(SwitchTest, MemoKeepsItsWordWrapAndIsRefilledWithWrapOff) {
  for (const bool wrap : {true, false}) {
    Build(QStringLiteral("  object Memo1: TMemo\n    Lines = ('a' 'b')\n    WordWrap = %1\n  end\n")
              .arg(wrap ? QLatin1String("True") : QLatin1String("False")));
    Add(stMultiLines, "Memo1.Lines", {"a,b", "x,\"y z\",w"});
    auto* memo = Get<TMemo>("Memo1");
    TStrings* lines = memo->Lines();
    std::vector<bool> wrapWhileFilling;
    lines->OnChange = [&] { wrapWhileFilling.push_back(memo->WordWrap()); };
    lang->SetActLang(2);
    EXPECT_EQ(lines->ToList(), (QStringList{"x", "y z", "w"})) << "wrap " << wrap;
    EXPECT_EQ(memo->Lines(), lines);
    EXPECT_EQ(memo->WordWrap(), wrap);
    EXPECT_EQ(wrapWhileFilling, std::vector<bool>{false}) << "wrap " << wrap;
  }
}

TEST_F(SwitchTest, ListControlsKeepTheirSelectedItem) {
  for (const char* cls : {"TListBox", "TSwForgetfulListBox"}) {
    Build(QStringLiteral("  object List1: %1\n    Items = ('a' 'b' 'c' 'd')\n  end\n").arg(QLatin1String(cls)));
    Add(stMultiLines, "List1.Items", {"a,b,c,d", "e,f,g"});
    auto* list = Get<TListBox>("List1");
    TStrings* items = list->Items();
    list->SetItemIndex(2);
    lang->SetActLang(2);
    EXPECT_EQ(items->ToList(), (QStringList{"e", "f", "g"})) << cls;
    EXPECT_EQ(list->Items(), items) << cls;
    EXPECT_EQ(list->ItemIndex(), 2) << cls;
  }
}

TEST_F(SwitchTest, SortedListIsRefilledAndSortedAgainInTheSameObject) {
  Build(Probes({"P1"}));
  Add(stMultiLines, "P1.Lines", {"a,b", "z,y,x"});
  auto* lines = Probe("P1")->Lines();
  lines->SetList({"b", "a"});
  lines->SetSorted(true);
  Writes().clear();
  lang->SetActLang(2);
  EXPECT_EQ(Probe("P1")->Lines(), lines);
  EXPECT_TRUE(lines->Sorted());
  EXPECT_EQ(lines->ToList(), (QStringList{"x", "y", "z"}));
  EXPECT_EQ(Writes(), std::vector<QString>{"P1.Lines=x,y,z"}) << "one change notice, with the lines sorted again";
}

TEST_F(SwitchTest, SubPropertiesReachOneLevelIntoAnObject) {
  Build(Probes({"P1"}));
  auto* part = Probe("P1")->Part();
  TStrings* items = part->Items();
  items->SetList({"a", "b"});
  Add(stMultiLines, "P1.Part.Items", {"a,b", "c,\"d e\""});
  Add(stMultiLines, "P1.Font.Name", {"a", "b"});  // no list: left alone
  Add(stOtherStrings, "P1.Part.Caption",
      {"Naslov",
       "\xc8"
       "as"});
  Add(stOtherStrings, "P1.Part.Missing", {"x", "y"});
  lang->SetActLang(2);
  EXPECT_EQ(part->Items(), items);
  EXPECT_EQ(items->ToList(), (QStringList{"c", "d e"}));
  EXPECT_EQ(Probe("P1")->Font()->Name(), "Tahoma");
  EXPECT_EQ(part->Caption(), QStringLiteral("Čas"));
  EXPECT_EQ(WritesOf("P1."), 0) << "the objects are changed in place";
}

// ---------------------------------------------------------------- failures

TEST_F(SwitchTest, FailuresAreSkippedPerRowExceptInFontsAndLists) {
  const struct {
    const char* label;
    TStringsType section;
    QByteArray failing, companion;
    QByteArray value;
    bool reachesCaller;
  } cases[] = {
      {"caption", stCaptions, "P1", "P2", "fail", false},
      {"hint", stHints, "P1", "P2", "fail", false},
      {"display label", stDisplayLabels, "P1", "P2", "fail", false},
      {"other string", stOtherStrings, "P1.Text", "P2.Text", "fail", false},
      {"window caption", stCaptions, "TForm1", "P2", "fail", false},
      {"font", stFonts, "P1", "P2", "fail", true},
      {"font, list index", stFonts, "P1", "P2", "listfail", false},
      {"lines", stMultiLines, "P1.Lines", "P2.Lines", "fail", true},
      {"lines, list index", stMultiLines, "P1.Lines", "P2.Lines", "listfail", false},
  };
  for (const auto& c : cases) {
    Build(Probes({"P1", "P2", "P3"}));
    swt::Failures() = 0;
    int told = 0;
    lang->SetOnChangeLanguage(TNotifyEvent{[&](TObject*) { ++told; }, QStringLiteral("Told")});
    Add(c.section, c.failing, {"", c.value});
    Add(c.section, c.companion, {"", "ok"});
    Add(stOtherStrings, "P3.Text", {"", "new"});
    if (c.reachesCaller)
      EXPECT_THROW(lang->SetActLang(2), std::runtime_error) << c.label;
    else
      EXPECT_NO_THROW(lang->SetActLang(2)) << c.label;
    EXPECT_EQ(swt::Failures(), 1) << c.label << ": the failing writer was reached";
    EXPECT_EQ(WritesOf("P2.") > 0, !c.reachesCaller) << c.label << ": the rest of the section";
    EXPECT_EQ(Probe("P3")->Text(), c.reachesCaller ? "" : "new") << c.label << ": the later sections";
    EXPECT_EQ(told, c.reachesCaller ? 0 : 1) << c.label;
  }
}

TEST_F(SwitchTest, AFailingWindowCaptionSkipsTheWindowsHintButNotTheComponents) {
  Build(Probes({"P1"}));
  Add(stCaptions, "TForm1", {"", "fail"});
  Add(stCaptions, "P1", {"", "Name"});
  Add(stHints, "TForm1", {"", "Window tip"});
  Add(stHints, "P1", {"", "Tip"});
  swt::Failures() = 0;
  EXPECT_NO_THROW(lang->SetActLang(2));
  EXPECT_EQ(swt::Failures(), 1);
  EXPECT_EQ(form->Hint(), "") << "the window's hint comes after its caption in the same guarded step";
  EXPECT_EQ(Probe("P1")->Caption(), "Name");
  EXPECT_EQ(Probe("P1")->Hint(), "Tip");
}

TEST_F(SwitchTest, TheWindowsOwnFontHasNoGuard) {
  Build(Probes({"P1", "P2"}) + QStringLiteral("  object Grid1: TSwGrid\n    Columns = <item end>\n  end\n"));
  Add(stFonts, "TForm1", {"", "fail"});
  Add(stCaptions, "P1", {"", "ok"});
  Add(stMultiLines, "P2.Lines", {"", "a,b"});
  Add(stOtherStrings, "P2.Text", {"", "new"});
  Add(stCollections, "Grid1.Columns[0].FieldName", {"", "Name"});
  auto* item = qobject_cast<TlgExtendedItem*>(lang->ExtendedTranslations()->Add());
  item->SetIdentifier(QStringLiteral("P2.Hint"));
  item->SetValues(
      QByteArray("\x01"
                 "extended\x01"));
  int told = 0;
  lang->SetOnChangeLanguage(TNotifyEvent{[&](TObject*) { ++told; }, QStringLiteral("Told")});
  form->Font()->OnChange = [this] {
    if (form->Font()->Name() == QLatin1String("fail")) throw std::runtime_error("font refused");
  };
  EXPECT_THROW(lang->SetActLang(2), std::runtime_error);
  form->Font()->OnChange = nullptr;
  EXPECT_EQ(Probe("P1")->Caption(), "ok") << "the sections before the window's font are in the new language";
  EXPECT_EQ(WritesOf("P2."), 0) << "the sections after it are not applied";
  auto* grid = Get<swt::TSwGrid>("Grid1");
  EXPECT_EQ(qobject_cast<swt::TSwColumn*>(grid->Columns()->Items(0))->FieldName(), "");
  EXPECT_EQ(told, 0);
}

TEST_F(SwitchTest, CollectionWritersAndExtendedPathsHaveNoGuard) {
  const QString grid = QStringLiteral("  object Grid1: TSwGrid\n    Columns = <item end>\n  end\n");
  {
    Build(Probes({"P1"}) + grid);
    Add(stCollections, "Grid1.Columns[0].Caption", {"", "fail"});
    auto* item = qobject_cast<TlgExtendedItem*>(lang->ExtendedTranslations()->Add());
    item->SetIdentifier(QStringLiteral("P1.Caption"));
    item->SetValues(
        QByteArray("\x01"
                   "extended\x01"));
    int told = 0;
    lang->SetOnChangeLanguage(TNotifyEvent{[&](TObject*) { ++told; }, QStringLiteral("Told")});
    EXPECT_THROW(lang->SetActLang(2), std::runtime_error) << "a collection item's writer failure";
    EXPECT_EQ(WritesOf("P1."), 0) << "the extended translations come after the collections";
    EXPECT_EQ(told, 0);
    EXPECT_EQ(lang->Rows(stCollections).size(), 1) << "a failing row is not deleted";
  }
  {
    // The path writer swallows a value the property refuses, but not a path
    // that does not resolve.
    Build(Probes({"P1", "P2"}) + grid);
    const char* const items[][2] = {{"P1.Caption", "fail"}, {"P2.Caption", "ok"}, {"Grid1.Columns[3].Caption", "x"}};
    for (const auto& i : items) {
      auto* item = qobject_cast<TlgExtendedItem*>(lang->ExtendedTranslations()->Add());
      item->SetIdentifier(QLatin1String(i[0]));
      item->SetValues(QByteArray("\x01") + i[1] + '\x01');
    }
    int told = 0;
    lang->SetOnChangeLanguage(TNotifyEvent{[&](TObject*) { ++told; }, QStringLiteral("Told")});
    EXPECT_THROW(lang->SetActLang(2), EListError);
    EXPECT_EQ(Probe("P2")->Caption(), "ok");
    EXPECT_EQ(told, 0);
  }
}

TEST_F(SwitchTest, UseDefaultLanguageFillsEmptyValuesExceptTheWindowsFont) {
  Build(Probes({"P1"}) + QStringLiteral("  object Grid1: TSwGrid\n    Columns = <item end>\n  end\n"));
  lang->SetUseDefaultLanguage(true);
  Add(stCaptions, "TForm1", {"Prozor", ""});
  Add(stCaptions, "P1", {"Naziv", ""});
  Add(stFonts, "TForm1", {"Verdana", ""});
  Add(stOtherStrings, "P1.Text", {"jedan", ""});
  Add(stCollections, "Grid1.Columns[0].FieldName", {"Ime", ""});
  lang->SetActLang(2);
  EXPECT_EQ(form->Caption(), "Prozor");
  EXPECT_EQ(Probe("P1")->Caption(), "Naziv");
  EXPECT_EQ(Probe("P1")->Text(), "jedan");
  auto* grid = Get<swt::TSwGrid>("Grid1");
  EXPECT_EQ(qobject_cast<swt::TSwColumn*>(grid->Columns()->Items(0))->FieldName(), "Ime");
  EXPECT_NE(form->Font()->Name(), "Verdana") << "the window's font takes the active column as it stands";

  // Another default language; the default language itself has nothing to
  // fall back to.
  Build(Probes({"P1", "P2"}));
  lang->SetUseDefaultLanguage(true);
  lang->SetDefaultLanguage(2);
  Add(stCaptions, "P1", {"", "Name"});
  Add(stCaptions, "P2", {"Naziv", ""});
  Probe("P1")->SetCaption(QStringLiteral("x"));
  Probe("P2")->SetCaption(QStringLiteral("y"));
  lang->SetActLang(2);
  EXPECT_EQ(Probe("P1")->Caption(), "Name");
  EXPECT_EQ(Probe("P2")->Caption(), "y");
  Probe("P1")->SetCaption(QStringLiteral("x"));
  lang->SetActLang(1);
  EXPECT_EQ(Probe("P1")->Caption(), "Name") << "an empty language 1 takes the default language's value";
  EXPECT_EQ(Probe("P2")->Caption(), "Naziv");
}

TEST_F(SwitchTest, FontNamesAreWrittenWithoutComparing) {
  Build(Probes({"P1"}));
  Add(stFonts, "P1", {"Tahoma", "Arial"});
  Add(stCaptions, "P1", {"Naziv", "Name"});
  lang->SetActLang(2);
  lang->ChangeLanguage();
  EXPECT_EQ(WritesOf("P1.Font"), 2);
  EXPECT_EQ(WritesOf("P1.Caption"), 1);
}

// ---------------------------------------------------------------- exclusions and defaults

TEST_F(SwitchTest, DoNotTranslateAndSmartExcludeLeaveTheirRowsAlone) {
  const struct {
    const char* label;
    const char* doNotTranslate;
    const char* smartExclude;
    bool caption, hint, font, probe;
  } cases[] = {
      {"nothing excluded", nullptr, nullptr, true, true, true, true},
      {"a component, any case", "p1", nullptr, true, true, true, false},
      {"the window", "TFORM1", nullptr, false, false, false, true},
      {"the window's caption", nullptr, "TForm1.Caption", false, true, true, true},
      {"the window's hint, any case", nullptr, "tform1.hint", true, false, true, true},
      {"the window's font", nullptr, "TForm1.Font", true, true, false, true},
  };
  for (const auto& c : cases) {
    Build(Probes({"P1", "P2"}));
    if (c.doNotTranslate) lang->DoNotTranslate()->Add(QLatin1String(c.doNotTranslate));
    if (c.smartExclude) lang->SmartExcludeProps()->Add(QLatin1String(c.smartExclude));
    Add(stCaptions, "TForm1", {"Prozor", "Window"});
    Add(stCaptions, "P1", {"a", "b"});
    Add(stCaptions, "P2", {"a", "b"});
    Add(stHints, "TForm1", {"s", "t"});
    Add(stHints, "P1", {"s", "t"});
    Add(stFonts, "TForm1", {"Tahoma", "Arial"});
    Add(stFonts, "P1", {"Tahoma", "Arial"});
    Add(stOtherStrings, "P1.Text", {"x", "y"});
    Add(stMultiLines, "P1.Lines", {"x", "y"});
    lang->SetActLang(2);
    EXPECT_EQ(form->Caption() == QLatin1String("Window"), c.caption) << c.label;
    EXPECT_EQ(form->Hint() == QLatin1String("t"), c.hint) << c.label;
    EXPECT_EQ(form->Font()->Name() == QLatin1String("Arial"), c.font) << c.label;
    EXPECT_EQ(WritesOf("P1."), c.probe ? 5 : 0) << c.label;
    EXPECT_EQ(Probe("P2")->Caption(), "b") << c.label;
  }
}

TEST_F(SwitchTest, GetDefaultFallsBackToLanguageOne) {
  for (const TTranslateType type : {ttNoChange, ttGetDefault}) {
    const bool fallback = type == ttGetDefault;
    Build(Probes({"P1"}));
    lang->SetTranslateType(type);
    Add(stCaptions, "TForm1", {"Prozor", ""});
    Add(stCaptions, "P1", {"Naziv", ""});
    Add(stFonts, "TForm1", {"Verdana", ""});
    Add(stOtherStrings, "P1.Text", {"jedan", ""});
    auto* item = qobject_cast<TlgExtendedItem*>(lang->ExtendedTranslations()->Add());
    item->SetIdentifier(QStringLiteral("P1.Hint"));
    item->SetValues(QByteArray("Savet\x01\x01"));
    lang->SetActLang(2);
    EXPECT_EQ(form->Caption(), fallback ? "Prozor" : "Pocetni") << type;
    EXPECT_EQ(Probe("P1")->Caption(), fallback ? "Naziv" : "") << type;
    EXPECT_EQ(form->Font()->Name() == QLatin1String("Verdana"), fallback) << type;
    EXPECT_EQ(Probe("P1")->Text(), fallback ? "jedan" : "") << type;
    EXPECT_EQ(Probe("P1")->Hint(), fallback ? "Savet" : "") << type;
  }
}

// ---------------------------------------------------------------- order and listeners

TEST_F(SwitchTest, OnChangeLanguageIsToldOncePerSwitch) {
  Build(Probes({"P1"}));
  std::vector<QObject*> senders;
  lang->SetOnChangeLanguage(TNotifyEvent{[&](TObject* sender) { senders.push_back(sender); }, QStringLiteral("X")});
  Add(stCaptions, "TForm1", {"Prozor", "Window"});
  lang->SetActLang(2);
  EXPECT_EQ(senders, std::vector<QObject*>{lang});
  lang->SetActLang(2);
  EXPECT_EQ(senders.size(), 1u) << "the active index again is no switch";
  EXPECT_EQ(WritesOf("TForm1.Caption"), 1) << "and writes nothing, not even the window's caption";
  lang->SetActLang(1);
  EXPECT_EQ(senders.size(), 2u);
}

TEST_F(SwitchTest, ExtendedTranslationsGoLastOrFirst) {
  for (const bool first : {false, true}) {
    Build(Probes({"P1"}));
    lang->SetTranslateExtendedFirst(first);
    Add(stCaptions, "P1", {"", "from the table"});
    auto* item = qobject_cast<TlgExtendedItem*>(lang->ExtendedTranslations()->Add());
    item->SetIdentifier(QStringLiteral("P1.Caption"));
    item->SetValues(
        QByteArray("\x01"
                   "extended\x01"));
    int told = 0;
    lang->SetOnChangeLanguage(TNotifyEvent{[&](TObject*) {
                                             ++told;
                                             EXPECT_EQ(Probe("P1")->Caption(), first ? "from the table" : "extended");
                                           },
                                           QStringLiteral("X")});
    lang->SetActLang(2);
    EXPECT_EQ(Writes(), (std::vector<QString>{first ? "P1.Caption=extended" : "P1.Caption=from the table",
                                              first ? "P1.Caption=from the table" : "P1.Caption=extended"}))
        << "first " << first;
    EXPECT_EQ(told, 1);
  }
}

// ---------------------------------------------------------------- locales

class SwitchLocalesTest : public SwitchTest {
protected:
  void SetUp() override {
    SwitchTest::SetUp();
    saved = FormatSettings;
  }
  void TearDown() override { FormatSettings = saved; }
  TFormatSettings saved;
};

TEST_F(SwitchLocalesTest, LocaleRowsSetTheProcessFormatsOnlyWhenAsked) {
  const auto names = [](const QString* items, int n) {
    QStringList out;
    for (int i = 0; i < n; ++i) out << items[i];
    return out.join(QLatin1Char('|'));
  };
  const auto& f = FormatSettings;
  const struct {
    QByteArray name, value;
    std::function<QString()> read;
    QString expected;
  } cases[] = {
      {"Currency String", "din.", [&] { return f.CurrencyString; }, "din."},
      {"Thousand Separator", ".,", [&] { return QString(f.ThousandSeparator); }, "."},
      {"Decimal Separator", ",;", [&] { return QString(f.DecimalSeparator); }, ","},
      {"Date Separator", "-", [&] { return QString(f.DateSeparator); }, "-"},
      {"Short Date Format", "d.m.yyyy", [&] { return f.ShortDateFormat; }, "d.m.yyyy"},
      {"Long Date Format", "d. mmmm yyyy", [&] { return f.LongDateFormat; }, "d. mmmm yyyy"},
      {"Time Separator", ".", [&] { return QString(f.TimeSeparator); }, "."},
      {"Time AM String", "pre", [&] { return f.TimeAMString; }, "pre"},
      {"Time PM String", "po", [&] { return f.TimePMString; }, "po"},
      {"Short Time Format", "h.nn", [&] { return f.ShortTimeFormat; }, "h.nn"},
      {"Long Time Format", "h.nn.ss", [&] { return f.LongTimeFormat; }, "h.nn.ss"},
      {"Short Month Names", "jan,feb,mar", [&] { return names(f.ShortMonthNames, 3); }, "jan|feb|mar"},
      {"Long Month Names", "1,2,3,4,5,6,7,8,9,10,11,12,13", [&] { return names(f.LongMonthNames, 12); },
       "1|2|3|4|5|6|7|8|9|10|11|12"},
      {"Short Day Names", "ned,pon", [&] { return names(f.ShortDayNames, 2); }, "ned|pon"},
      {"Long Day Names", "a,b,c,d,e,f,g,h", [&] { return names(f.LongDayNames, 7); }, "a|b|c|d|e|f|g"},
  };
  for (const bool changeLocales : {false, true}) {
    FormatSettings = saved;
    FormatSettings.ShortMonthNames[3] = QStringLiteral("apr");
    Build(QString());
    lang->SetChangeLocales(changeLocales);
    std::vector<QString> before;
    for (const auto& c : cases) {
      Add(stLocales, c.name, {"", c.value});
      before.push_back(c.read());
    }
    Add(stLocales, "currency string", {"", "ignored"});  // names match exactly
    lang->SetActLang(2);
    for (size_t i = 0; i < std::size(cases); ++i)
      EXPECT_EQ(cases[i].read(), changeLocales ? cases[i].expected : before[i])
          << cases[i].name.constData() << " with ChangeLocales " << changeLocales;
    EXPECT_EQ(FormatSettings.ShortMonthNames[3], "apr") << "fewer names leave the rest";
  }
}

// ---------------------------------------------------------------- file names

TEST(SwitchFileNames, ExpandedAgainstTheCurrentDirectoryTheWindowsWay) {
  const struct {
    QByteArray name, currentDir, expanded;
  } cases[] = {
      {".\\db.mdb", "C:\\Notarium", "C:\\Notarium\\db.mdb"},
      {"..\\db.mdb", "C:\\Notarium\\bin", "C:\\Notarium\\db.mdb"},
      {"..\\..\\..\\db.mdb", "C:\\a", "C:\\db.mdb"},
      {"data\\.\\sub\\..\\db.mdb", "C:\\a", "C:\\a\\data\\db.mdb"},
      {"data/../db.mdb", "C:\\a", "C:\\a\\db.mdb"},
      {"db.mdb", "C:\\a\\", "C:\\a\\db.mdb"},
      {"C:\\x\\..\\y\\.\\db.mdb", "D:\\a", "C:\\y\\db.mdb"},
      {"\\x\\..\\db.mdb", "D:\\a\\b", "D:\\db.mdb"},
      {"D:db.mdb", "D:\\a", "D:\\a\\db.mdb"},
      {"E:..\\db.mdb", "D:\\a", "E:\\db.mdb"},
      {"\\\\server\\share\\..\\..\\db.mdb", "C:\\a", "\\\\server\\share\\db.mdb"},
      {".\\", "C:\\a", "C:\\a\\"},
      {"..", "C:\\a\\b", "C:\\a"},
      {"..", "C:\\", "C:\\"},
      {".\\db.mdb", "/work/main", "\\work\\main\\db.mdb"},
      {"..\\..\\x", "/work/main", "\\x"},
      {"", "C:\\a", ""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(lgExpandFileName(c.name, c.currentDir), c.expanded)
        << c.name.constData() << " in " << c.currentDir.constData();
  EXPECT_TRUE(lgSameFileName("\\work\\main\\db.mdb", "/work/main/db.mdb"));
  EXPECT_FALSE(lgSameFileName("\\work\\main\\db.mdb", "/work/main/DB.mdb"));
}

TEST_F(SwitchTest, ARelativeFileNameThatMeansTheCurrentValueIsNotWritten) {
  const QString here = QDir::currentPath();
  QString up = QDir::cleanPath(here + QStringLiteral("/.."));
  if (!up.endsWith(QLatin1Char('/'))) up += QLatin1Char('/');
  const struct {
    const char* label;
    TStringsType section;
    const char* probe;
    QByteArray value;
    QString current;
    bool written;
  } cases[] = {
      {"the same file", stOtherStrings, "P1", ".\\db.mdb", here + QStringLiteral("/db.mdb"), false},
      {"one up", stOtherStrings, "P2", "..\\x\\db.mdb", up + QStringLiteral("x/db.mdb"), false},
      {"another file", stOtherStrings, "P3", ".\\db.mdb", here + QStringLiteral("/other.mdb"), true},
      {"not a file name", stOtherStrings, "P4", "Wait...", QStringLiteral("Wait"), true},
      {"display labels too", stDisplayLabels, "P5", ".\\db.mdb", here + QStringLiteral("/db.mdb"), false},
  };
  Build(Probes({"P1", "P2", "P3", "P4", "P5"}));
  for (const auto& c : cases) {
    const QByteArray probe(c.probe);
    Add(c.section, c.section == stOtherStrings ? probe + ".Text" : probe, {"", c.value});
    Probe(c.probe)->SetText(c.current);
    Probe(c.probe)->SetDisplayLabel(c.current);
  }
  lang->SetActLang(2);
  for (const auto& c : cases) {
    const TSwProbe* p = Probe(c.probe);
    const QString now = c.section == stDisplayLabels ? p->DisplayLabel() : p->Text();
    EXPECT_EQ(now, c.written ? QString::fromLatin1(c.value) : c.current) << c.label << " (unexpanded when written)";
  }
}

// ---------------------------------------------------------------- a whole window

TEST(SwitchWindow, AWindowFromItsDefinitionSwitchesThereAndBack) {
  const QByteArray table = lgtest::Block({"stCaptions",
                                          Row("TForm", {"Prozor", "Window"}),
                                          Row("Label1", {"Naziv", "Name"}),
                                          Row("Button1", {"Dodaj", ""}),
                                          "stHints",
                                          Row("TForm", {""}),
                                          Row("Button1", {"Dodaj zapis", "Add a record"}),
                                          "stDisplayLabels",
                                          "stFonts",
                                          Row("TForm", {"Tahoma", ""}),
                                          "stMultiLines",
                                          "stDlgsCaptions",
                                          Row("OK", {"OK", ""}),
                                          "stStrings",
                                          "stOtherStrings",
                                          Row("Edit1.Text", {"tekst", ""}),
                                          "stLocales",
                                          "stCollections",
                                          "stCharSets",
                                          Row("TForm", {"DEFAULT_CHARSET", "DEFAULT_CHARSET"})});
  auto form = lgtest::BuildForm(lgtest::LangWindow(
      QStringLiteral("    NumOfLanguages = 2\n    LangDelim = 1\n    TranslationData = ") + lgtest::Hex(table)));
  TlgLang* lang = lgtest::Lang(*form);
  ASSERT_NE(lang, nullptr);
  auto* label = qobject_cast<TLabel*>(form->FindComponent(QStringLiteral("Label1")));
  auto* edit = qobject_cast<TEdit*>(form->FindComponent(QStringLiteral("Edit1")));
  auto* button = qobject_cast<TButton*>(form->FindComponent(QStringLiteral("Button1")));
  ASSERT_TRUE(label && edit && button);

  lang->SetActLang(1);
  EXPECT_EQ(edit->Text(), QStringLiteral("tekst")) << "the active language again applies nothing";

  edit->SetText(QStringLiteral("typed"));
  lang->SetActLang(2);
  EXPECT_EQ(form->Caption(), QStringLiteral("Window"));
  EXPECT_EQ(label->Caption(), QStringLiteral("Name"));
  EXPECT_EQ(button->Caption(), QStringLiteral("Dodaj"));
  EXPECT_EQ(button->Hint(), QStringLiteral("Add a record"));
  EXPECT_EQ(edit->Text(), QStringLiteral("typed"));
  EXPECT_EQ(form->Font()->Charset(), 1);

  lang->SetActLang(1);
  EXPECT_EQ(form->Caption(), QStringLiteral("Prozor"));
  EXPECT_EQ(label->Caption(), QStringLiteral("Naziv"));
  EXPECT_EQ(button->Hint(), QStringLiteral("Dodaj zapis"));
  EXPECT_EQ(edit->Text(), QStringLiteral("tekst"));
  EXPECT_EQ(form->Font()->Name(), QStringLiteral("Tahoma"));
  EXPECT_EQ(lang->Rows(stDlgsCaptions).size(), 1);
}

}  // namespace
