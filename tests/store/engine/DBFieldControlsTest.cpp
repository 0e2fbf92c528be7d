// The controls that show one field of the current row: the edit (whose
// OnChange the windows hang their logic on), the label and the memo.
#include "DataControlsFixture.h"

#include "Definition.h"
#include "Forms.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QToolButton>

#include <functional>

namespace {

TField* CategoryOf(TDataSet* t) { return t->FieldByName(QStringLiteral("Category")); }

struct EditCase {
  const char* name;
  void (*before)(TDataSet*);  // on the open table, before counting
  void (*action)(TDataSet*);
  const char* shown;
  int changes;
};

// The categories are Posao, Kuća, Kuća, Hobi, in that order.
const EditCase kEditCases[] = {
    {"Open", [](TDataSet* t) { t->Close(); }, [](TDataSet* t) { t->Open(); }, "Posao", 1},
    {"Close", nullptr, [](TDataSet* t) { t->Close(); }, "", 1},
    {"ScrollToAnotherName", nullptr, [](TDataSet* t) { t->Next(); }, "Kuća", 1},
    {"ScrollToTheSameName", [](TDataSet* t) { t->Next(); }, [](TDataSet* t) { t->Next(); }, "Kuća", 0},
    {"LocateTheCurrentRow", nullptr,
     [](TDataSet* t) { t->Locate(QStringLiteral("Category"), QStringLiteral("Posao")); }, "Posao", 0},
    {"PostAChangeOfTheCurrentRow", nullptr,
     [](TDataSet* t) {
       t->Edit();
       CategoryOf(t)->SetAsString(QStringLiteral("Posao i rad"));
       t->Post();
     },
     "Posao i rad", 1},
    {"PostTheRowUnchanged", nullptr,
     [](TDataSet* t) {
       t->Edit();
       t->Post();
     },
     "Posao", 0},
    {"GiveUpAChange", nullptr,
     [](TDataSet* t) {
       t->Edit();
       CategoryOf(t)->SetAsString(QStringLiteral("Nešto"));
       t->Cancel();
     },
     "Posao", 2},
    {"DeleteTheCurrentRow", nullptr, [](TDataSet* t) { t->Delete(); }, "Kuća", 1},
    {"DeleteTheLastRow", [](TDataSet* t) { t->Last(); }, [](TDataSet* t) { t->Delete(); }, "Kuća", 1},
    {"DeleteARowFollowedByOneOfTheSameName", [](TDataSet* t) { t->Next(); }, [](TDataSet* t) { t->Delete(); }, "Kuća",
     0},
    {"BeginANewRow", nullptr, [](TDataSet* t) { t->Append(); }, "", 1},
};

class EditChangeTest : public DataControlsTest, public ::testing::WithParamInterface<EditCase> {};

}  // namespace

TEST_P(EditChangeTest, OnChangeFiresExactlyWhenTheShownTextChanges) {
  const EditCase& c = GetParam();
  categories->Open();
  auto* edit = new TDBEdit(&owner);
  edit->SetDataSource(source);
  edit->SetDataField(QStringLiteral("Category"));
  if (c.before) c.before(categories);
  int changes = 0;
  edit->SetOnChange(Counter(changes));
  c.action(categories);
  EXPECT_EQ(edit->Text(), QString::fromUtf8(c.shown));
  EXPECT_EQ(changes, c.changes);
  EXPECT_TRUE(host.Errors().empty());
}

INSTANTIATE_TEST_SUITE_P(DataChanges, EditChangeTest, ::testing::ValuesIn(kEditCases),
                         [](const ::testing::TestParamInfo<EditCase>& info) { return std::string(info.param.name); });

TEST_F(DataControlsTest, EditIsEmptyWithoutDataAndTypingChangesOnlyWhatItShows) {
  categories->Open();
  auto* edit = new TDBEdit(&owner);
  int changes = 0;
  edit->SetOnChange(Counter(changes));
  edit->SetDataField(QStringLiteral("Category"));
  EXPECT_EQ(edit->Text(), QString()) << "no data source";
  edit->SetDataSource(source);
  EXPECT_EQ(edit->Text(), QStringLiteral("Posao"));
  EXPECT_EQ(changes, 1);
  edit->SetDataField(QStringLiteral("NoSuchField"));
  EXPECT_EQ(edit->Text(), QString());
  edit->SetDataField(QStringLiteral("Category"));
  changes = 0;

  ShowAlone(edit, 120, 21);
  QTest::keyClicks(edit->Widget(), QStringLiteral("ab"));
  EXPECT_EQ(edit->Text(), QStringLiteral("Posaoab"));
  EXPECT_EQ(changes, 2) << "each typed character changes the text";
  EXPECT_EQ(Category()->AsString(), QStringLiteral("Posao")) << "typing does not edit the row";
  EXPECT_EQ(categories->State(), dsBrowse);

  categories->Next();
  EXPECT_EQ(edit->Text(), QStringLiteral("Kuća")) << "the data replace what was typed";
  EXPECT_EQ(changes, 3);

  // A data source going away leaves the edit empty.
  delete source;
  EXPECT_EQ(edit->Text(), QString());
  EXPECT_EQ(changes, 4);
  EXPECT_EQ(edit->DataSource(), nullptr);
}

TEST_F(DataControlsTest, AnEditFreedAloneTellsNothingOnItsWayOut) {
  categories->Open();
  int changes = 0;
  auto* edit = new TDBEdit(&owner);
  edit->SetDataSource(source);
  edit->SetDataField(QStringLiteral("Category"));
  edit->SetOnChange(Counter(changes));
  delete edit;
  categories->Next();
  categories->Close();
  EXPECT_EQ(changes, 0);
}

TEST_F(DataControlsTest, TextShowsTheDateAloneAndKeepsItsRightEdge) {
  const qint64 work = 1;
  AddEntry(work, QStringLiteral("Kratko"), QStringLiteral("a"));
  AddEntry(work, QStringLiteral("Jedan mnogo duži naslov beleške"), QStringLiteral("b"));
  TADOTable* notes = Table(QStringLiteral("Notes"), QStringLiteral("notes"));
  auto* notesSource = new TDataSource(&owner);
  notesSource->SetDataSet(notes);

  auto* date = new TDBText(&owner);
  date->SetDataSource(notesSource);
  date->SetDataField(QStringLiteral("Entered"));
  auto* title = new TDBText(&owner);
  title->SetAlignment(taRightJustify);
  title->SetAutoSize(true);
  title->SetBounds(100, 10, 50, 13);
  title->SetDataSource(notesSource);
  title->SetDataField(QStringLiteral("Title"));

  notes->Open();
  EXPECT_EQ(date->Caption(), QDate::currentDate().toString(QStringLiteral("dd.MM.yyyy")));
  EXPECT_EQ(title->Caption(), QStringLiteral("Kratko"));
  EXPECT_EQ(title->Left() + title->Width(), 150);
  const int shortWidth = title->Width();
  notes->Next();
  EXPECT_GT(title->Width(), shortWidth);
  EXPECT_EQ(title->Left() + title->Width(), 150) << "a right-aligned label grows to the left";
  notes->Close();
  EXPECT_EQ(date->Caption(), QString());
  EXPECT_EQ(title->Left() + title->Width(), 150);
}

TEST_F(DataControlsTest, MemoFollowsTheCurrentRowAndShowsALongBodyWhole) {
  const QString big = QString(1'000'000, QLatin1Char('x')) + QStringLiteral("\r\nkraj");
  AddEntry(1, QStringLiteral("a"), QStringLiteral("prvi red\r\ndrugi red"));
  AddEntry(1, QStringLiteral("b"), big);
  TADOTable* notes = Table(QStringLiteral("Notes"), QStringLiteral("notes"));
  auto* notesSource = new TDataSource(&owner);
  notesSource->SetDataSet(notes);
  auto* memo = new TDBMemo(&owner);
  memo->SetReadOnly(true);
  memo->SetScrollBars(ssVertical);
  memo->SetDataSource(notesSource);
  memo->SetDataField(QStringLiteral("Body"));

  notes->Open();
  EXPECT_EQ(memo->Text(), QStringLiteral("prvi red\r\ndrugi red"));
  EXPECT_FALSE(memo->Modified());
  memo->SelectAll();
  EXPECT_EQ(memo->SelText(), QStringLiteral("prvi red\r\ndrugi red"));
  notes->Next();
  EXPECT_EQ(memo->Text(), big);
  notes->Edit();
  notes->FieldByName(QStringLiteral("Body"))->SetAsString(QStringLiteral("novo"));
  notes->Post();
  EXPECT_EQ(memo->Text(), QStringLiteral("novo"));
  notes->Delete();
  EXPECT_EQ(memo->Text(), QStringLiteral("prvi red\r\ndrugi red")) << "the row before the deleted last one";
  notes->Close();
  EXPECT_EQ(memo->Text(), QString());
  EXPECT_TRUE(memo->Editor()->isReadOnly());
  EXPECT_EQ(memo->Editor()->focusPolicy() & Qt::TabFocus, Qt::TabFocus) << "read-only, still reached with Tab";
}

TEST_F(DataControlsTest, ControlsPublishWhatTheWindowsSet) {
  struct Expected {
    const char* className;
    QStringList has;
    QStringList lacks;
  };
  const QStringList data{"DataSource", "DataField"};
  const QStringList looks{"Color", "Font", "ParentColor", "ParentFont"};
  const Expected table[] = {
      {"TDBEdit", data + looks + QStringList{"ReadOnly", "MaxLength", "OnChange", "OnKeyPress", "Visible", "Hint"}, {}},
      {"TDBText", data + looks + QStringList{"Alignment", "AutoSize", "Transparent", "WordWrap", "Visible"}, {}},
      {"TDBMemo",
       data + looks + QStringList{"ReadOnly", "ScrollBars", "WordWrap", "PopupMenu", "Alignment"},
       {"Lines", "MaxLength", "OnChange"}},
      {"TDBLookupComboBox",
       data + looks + QStringList{"ListSource", "ListField", "KeyField", "DropDownRows", "OnCloseUp", "OnClick"},
       {}},
      {"TDBLookupListBox",
       data + looks + QStringList{"ListSource", "ListField", "KeyField", "OnClick"},
       {"DropDownRows"}},
      {"TDBGrid", looks + QStringList{"DataSource", "Columns", "Options", "ReadOnly", "OnCellClick", "Cursor"}, {}},
      {"TDBNavigator",
       QStringList{"DataSource", "VisibleButtons", "Flat", "Hints", "ShowHint", "ParentShowHint", "Color"},
       {}},
  };
  RegisterStoreClasses();
  for (const Expected& e : table) {
    SCOPED_TRACE(e.className);
    const TComponentFactory make = FindComponentClass(QString::fromLatin1(e.className));
    ASSERT_TRUE(make) << "registered for definitions";
    std::unique_ptr<TComponent> c(make(nullptr));
    const QStringList names = Published(c.get());
    for (const QString& n : e.has) EXPECT_TRUE(names.contains(n)) << n.toStdString();
    for (const QString& n : e.lacks) EXPECT_FALSE(names.contains(n)) << n.toStdString();
  }
}

namespace {

class TBoundForm : public TForm {
  Q_OBJECT
public:
  using TForm::TForm;
};

}  // namespace

// The windows' own way of making these controls: a definition naming them,
// the sets and the grid's columns as the main window has them.
TEST_F(DataControlsTest, DefinitionsMakeTheControlsWithTheirSetsAndColumns) {
  RegisterStoreClasses();
  RegisterComponentClass<TBoundForm>();
  const QString text = QStringLiteral(
      "object BoundForm: TBoundForm\n"
      "  object Source: TDataSource\n"
      "  end\n"
      "  object DBGrid1: TDBGrid\n"
      "    DataSource = Source\n"
      "    Options = [dgColumnResize, dgRowSelect, dgAlwaysShowSelection, dgConfirmDelete, dgCancelOnExit]\n"
      "    Cursor = crHandPoint\n"
      "    Columns = <\n"
      "      item\n"
      "        FieldName = 'Title'\n"
      "        Width = 150\n"
      "        Title.Caption = 'Naslov'\n"
      "      end>\n"
      "  end\n"
      "  object DBNavigator1: TDBNavigator\n"
      "    DataSource = Source\n"
      "    VisibleButtons = [nbFirst, nbPrior, nbNext, nbLast]\n"
      "    Flat = True\n"
      "    Hints = ('Prvi' 'Prethodni')\n"
      "  end\n"
      "  object Lookup: TDBLookupComboBox\n"
      "    KeyField = 'Category'\n"
      "    ListSource = Source\n"
      "    DropDownRows = 12\n"
      "  end\n"
      "end\n");
  TBoundForm form;
  LoadWindowDefinitionText(&form, text, QStringLiteral("BoundForm.def"));
  auto* grid = qobject_cast<TDBGrid*>(form.FindComponent(QStringLiteral("DBGrid1")));
  auto* nav = qobject_cast<TDBNavigator*>(form.FindComponent(QStringLiteral("DBNavigator1")));
  auto* lookup = qobject_cast<TDBLookupComboBox*>(form.FindComponent(QStringLiteral("Lookup")));
  ASSERT_TRUE(grid && nav && lookup);
  EXPECT_EQ(grid->Options(),
            TDBGridOptions(dgColumnResize | dgRowSelect | dgAlwaysShowSelection | dgConfirmDelete | dgCancelOnExit));
  ASSERT_EQ(grid->Columns()->Count(), 1);
  EXPECT_EQ(grid->Columns()->Items(0)->FieldName(), QStringLiteral("Title"));
  EXPECT_EQ(grid->Columns()->Items(0)->Width(), 150);
  EXPECT_EQ(nav->VisibleButtons(), TNavButtonSet(nbFirst | nbPrior | nbNext | nbLast));
  EXPECT_TRUE(nav->Flat());
  EXPECT_EQ(nav->Button(nbPrior)->accessibleName(), QStringLiteral("Prethodni"));
  EXPECT_EQ(nav->Button(nbNext)->accessibleName(), QStringLiteral("Next record")) << "no line of its own";
  EXPECT_EQ(lookup->DropDownRows(), 12);

  // The translation's path to the column title reaches it through the
  // published properties.
  QString last;
  QObject* holder = ResolvePropertyPath(grid, QStringLiteral("Columns[0].Title.Caption"), &last);
  ASSERT_EQ(holder, grid->Columns()->Items(0)->Title());
  SetStrProp(holder, GetPropInfo(holder, last), QStringLiteral("Title"));
  EXPECT_EQ(grid->Model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Title"));
}

#include "DBFieldControlsTest.moc"
