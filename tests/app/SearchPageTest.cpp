// The search page driven through its handlers on a real notebook: choosing a
// category, searching, and marking, deleting and renaming entries.
#include "MainWindowFixture.h"

#include <QApplication>
#include <QClipboard>
#include <QSet>

namespace {

const std::vector<SeedEntry> kEntries = {
    {"Recepti", "Ćevapi", "Meso, luk i lepinja.", true},
    {"Recepti", "Čorba", "Šargarepa, krompir i celer.", false},
    {"Recepti", "Sarma", "Kupus i ŽELUDAC strpljenja.", true},
    {"Recepti", "Navodnici", "Rekao je \"zdravo\" i otišao.", false},
    {"Recepti", "Znakovi", "Popust 100% na _sve_ [danas].", false},
    {"Recepti", nullptr, "Zapis bez naslova", false},
    {"Recepti", "Bez teksta", nullptr, false},
    {"Posao", "Sastanak", "U ponedjeljak u devet.", true},
    {"Posao", "Izvještaj", "Rok je petak.", false},
    {"Jedan", "Jedini", "Sam u svojoj kategoriji.", false},
};

class SearchPage : public MainWindowFixture {
protected:
  std::vector<SeedEntry> Seed() const override { return kEntries; }
  void Prepare() override { MakeNotebook(Seed(), {QStringLiteral("Prazno")}); }

  void Search(const QString& text) {
    Form1->Edit1->SetText(text);
    Form1->Button1Click(Form1->Button1);
  }
  bool ToolButtons() const {
    const bool mark = Form1->SpeedButton1->Enabled();
    EXPECT_EQ(Form1->SpeedButton2->Enabled(), mark);
    EXPECT_EQ(Form1->SpeedButton4->Enabled(), mark);
    return mark;
  }
  QString Current() const { return Form1->DBEdit3->Text(); }
};

TEST_F(SearchPage, StartsEmptyWithItsButtonsDisabled) {
  EXPECT_TRUE(host.Errors().empty());
  EXPECT_TRUE(Form1->DBLookupComboBox1->Text().isEmpty());
  EXPECT_FALSE(Form1->naslov->Active());
  EXPECT_TRUE(Form1->DBMemo1->Text().isEmpty());
  EXPECT_FALSE(ToolButtons());
  EXPECT_FALSE(Form1->Button1->Enabled());
  EXPECT_FALSE(Form1->DBText2->Visible());
  EXPECT_EQ(Form1->DBEdit1->Text(), QStringLiteral("1")) << "the category table stands on its first row";
}

TEST_F(SearchPage, ChoosingACategoryListsItsEntriesByTitle) {
  Choose(Form1->DBLookupComboBox1, QStringLiteral("Posao"));
  EXPECT_TRUE(host.Errors().empty());
  EXPECT_EQ(Form1->naslov->SQL()->Text().trimmed(),
            QStringLiteral("select * from notes where Cat_id=2 order by Title"));
  EXPECT_EQ(Titles(Form1->naslov), QStringList({QStringLiteral("Izvještaj"), QStringLiteral("Sastanak")}));
  EXPECT_EQ(Current(), QStringLiteral("Izvještaj")) << "the first entry is current";
  EXPECT_EQ(Form1->DBMemo1->Text(), QStringLiteral("Rok je petak."));
  EXPECT_EQ(Form1->DBText1->Caption(), QStringLiteral("Izvještaj"));
  EXPECT_TRUE(Form1->DBText2->Visible());
  EXPECT_EQ(Form1->DBText2->Caption(), QStringLiteral("Posao")) << "the header names the chosen category";
  EXPECT_EQ(Form1->DBText3->Caption(), QStringLiteral("14.03.2026")) << "the date alone";
  EXPECT_TRUE(ToolButtons());

  // Choosing lists the whole category even while a search text stands.
  Form1->Edit1->SetText(QStringLiteral("petak"));
  Choose(Form1->DBLookupComboBox1, QStringLiteral("Recepti"));
  EXPECT_EQ(Titles(Form1->naslov).size(), 7);
  EXPECT_EQ(Form1->DBText2->Caption(), QStringLiteral("Recepti"));
}

TEST_F(SearchPage, ClosingTheChooserWithoutAPickRunsNothing) {
  OpenAndDismiss(Form1->DBLookupComboBox1);
  EXPECT_FALSE(Form1->naslov->Active());
  EXPECT_FALSE(Form1->DBText2->Visible());

  Choose(Form1->DBLookupComboBox1, QStringLiteral("Posao"));
  Form1->naslov->Last();
  OpenAndDismiss(Form1->DBLookupComboBox1);
  EXPECT_EQ(Form1->DBLookupComboBox1->Text(), QStringLiteral("Posao"));
  EXPECT_EQ(Current(), QStringLiteral("Izvještaj")) << "a dismissed list lists the chosen category again";
}

TEST_F(SearchPage, SearchMatchesTitlesAndBodiesLiterally) {
  Choose(Form1->DBLookupComboBox1, QStringLiteral("Recepti"));
  struct Row {
    const char* text;
    QStringList titles;
  };
  const Row rows[] = {
      {"", {"Bez teksta", "Ćevapi", "Čorba", "Navodnici", "Sarma", "Znakovi", ""}},
      {"ćevapi", {"Ćevapi"}},
      {"ĆEVAPI", {"Ćevapi"}},
      {"šargarepa", {"Čorba"}},
      {"želudac", {"Sarma"}},
      {"\"zdravo\"", {"Navodnici"}},
      {"\"", {"Navodnici"}},
      {"100%", {"Znakovi"}},
      {"%", {"Znakovi"}},
      {"_sve_", {"Znakovi"}},
      {"_", {"Znakovi"}},
      {"[danas]", {"Znakovi"}},
      {"[", {"Znakovi"}},
      {"Posao", {}},
      {"u devet", {}},
  };
  for (const Row& row : rows) {
    const QString text = QString::fromUtf8(row.text);
    SCOPED_TRACE(text.toStdString());
    host.Clear();
    Search(text);
    EXPECT_TRUE(host.Shown().empty()) << "no box: " << (host.Shown().empty() ? "" : host.Shown()[0].text.toStdString());
    const QStringList found = Titles(Form1->naslov);
    EXPECT_EQ(QSet<QString>(found.begin(), found.end()), QSet<QString>(row.titles.begin(), row.titles.end()));
    EXPECT_EQ(found.size(), row.titles.size());
    EXPECT_EQ(ToolButtons(), !found.isEmpty() && !found[0].isEmpty());
  }
}

TEST_F(SearchPage, EnterSearchesEvenWithTheButtonDisabled) {
  Choose(Form1->DBLookupComboBox1, QStringLiteral("Posao"));
  Search(QStringLiteral("petak"));
  ASSERT_EQ(Titles(Form1->naslov).size(), 1);

  Form1->Edit1->SetText(QString());
  EXPECT_FALSE(Form1->Button1->Enabled());
  QChar key(13);
  Form1->Edit1KeyPress(Form1->Edit1, key);
  EXPECT_EQ(key, QChar(0)) << "Enter is swallowed";
  EXPECT_EQ(Titles(Form1->naslov).size(), 2) << "an empty text lists the whole category";

  QChar other(QLatin1Char('a'));
  Form1->Edit1KeyPress(Form1->Edit1, other);
  EXPECT_EQ(other, QLatin1Char('a')) << "other keys are typed";
}

TEST_F(SearchPage, TheButtonFollowsTheSearchText) {
  const std::pair<const char*, bool> rows[] = {{"a", true}, {"", false}, {" ", true}, {"ž", true}};
  for (const auto& [text, enabled] : rows) {
    Form1->Edit1->SetText(QString::fromUtf8(text));
    EXPECT_EQ(Form1->Button1->Enabled(), enabled) << text;
  }
}

TEST_F(SearchPage, SearchWithoutACategoryOnlySaysSo) {
  Search(QStringLiteral("x"));
  const auto notices = host.ShownOf(ShownBox::Notice);
  ASSERT_EQ(notices.size(), 1u);
  EXPECT_EQ(notices[0].text, QStringLiteral("Odaberite kategoriju"));
  EXPECT_EQ(notices[0].caption, kApplicationTitle);
  EXPECT_FALSE(Form1->naslov->Active());
}

TEST_F(SearchPage, ToolButtonsFollowTheCurrentTitle) {
  Choose(Form1->DBLookupComboBox1, QStringLiteral("Prazno"));
  EXPECT_TRUE(Form1->naslov->Active());
  EXPECT_FALSE(ToolButtons()) << "an empty list";
  // The buttons do nothing on an empty list.
  Form1->SpeedButton1Click(nullptr);
  Form1->SpeedButton2Click(nullptr);
  Form1->SpeedButton4Click(nullptr);
  Form1->Editujzapis1Click(nullptr);
  EXPECT_TRUE(host.Shown().empty());

  Choose(Form1->DBLookupComboBox1, QStringLiteral("Jedan"));
  EXPECT_TRUE(ToolButtons());
  host.Answer(mrYes);
  Form1->SpeedButton2Click(nullptr);
  EXPECT_TRUE(Form1->naslov->IsEmpty());
  EXPECT_FALSE(ToolButtons()) << "the only entry deleted";
}

TEST_F(SearchPage, MarkAsksThenMarksAndRerunsTheFavouritesOnlyOnceFilled) {
  Choose(Form1->DBLookupComboBox1, QStringLiteral("Recepti"));
  Form1->naslov->Locate(QStringLiteral("Title"), QStringLiteral("Čorba"));
  const int place = Form1->naslov->RecNo();

  Form1->SpeedButton1Click(nullptr);  // no answer queued: No
  const auto asked = host.ShownOf(ShownBox::Message);
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_EQ(asked[0].text, QStringLiteral("Označiti kao favorita?"));
  EXPECT_EQ(asked[0].caption, QStringLiteral("Potvrda"));
  EXPECT_EQ(asked[0].buttons, TMsgButtons::YesNo);
  EXPECT_EQ(Stored(QStringLiteral("Favorite"), QStringLiteral("Čorba")).toInt(), 0) << "No changes nothing";

  host.Answer(mrYes);
  Form1->SpeedButton1Click(nullptr);
  EXPECT_EQ(Stored(QStringLiteral("Favorite"), QStringLiteral("Čorba")).toInt(), 1);
  EXPECT_FALSE(Form1->ADOQuery1->Active()) << "a favourites list never filled stays closed";
  EXPECT_EQ(Form1->naslov->RecNo(), place) << "the search list keeps its place";

  Choose(Form1->DBLookupComboBox2, QStringLiteral("Recepti"));
  ASSERT_FALSE(Titles(Form1->ADOQuery1).contains(QStringLiteral("Navodnici")));
  Form1->naslov->Locate(QStringLiteral("Title"), QStringLiteral("Navodnici"));
  host.Answer(mrYes);
  Form1->SpeedButton1Click(nullptr);
  EXPECT_TRUE(Titles(Form1->ADOQuery1).contains(QStringLiteral("Navodnici"))) << "the filled list is run again";
  EXPECT_EQ(Current(), QStringLiteral("Navodnici"));
  EXPECT_TRUE(host.Errors().empty());
}

TEST_F(SearchPage, DeleteAsksThenDeletesAndTheNextEntryBecomesCurrent) {
  Choose(Form1->DBLookupComboBox2, QStringLiteral("Recepti"));
  Choose(Form1->DBLookupComboBox1, QStringLiteral("Recepti"));
  const QStringList before = Titles(Form1->naslov);
  const int sarma = before.indexOf(QStringLiteral("Sarma"));
  Form1->naslov->SetRecNo(sarma + 1);

  Form1->SpeedButton2Click(nullptr);
  EXPECT_EQ(host.ShownOf(ShownBox::Message).at(0).text, QStringLiteral("Izbrisati zapis?"));
  EXPECT_EQ(Titles(Form1->naslov), before) << "No keeps the entry";

  host.Answer(mrYes);
  Form1->SpeedButton2Click(nullptr);
  QStringList after = before;
  after.removeAt(sarma);
  EXPECT_EQ(Titles(Form1->naslov), after);
  EXPECT_EQ(Current(), before.value(sarma + 1, before.value(sarma - 1)));
  EXPECT_FALSE(Stored(QStringLiteral("Title"), QStringLiteral("Sarma")).isValid()) << "gone from the notebook";
  EXPECT_FALSE(Titles(Form1->ADOQuery1).contains(QStringLiteral("Sarma"))) << "and from the favourites";
}

TEST_F(SearchPage, RenameOffersAnEmptyFieldAndIgnoresAnEmptyAnswer) {
  Choose(Form1->DBLookupComboBox1, QStringLiteral("Posao"));
  Form1->naslov->Last();
  ASSERT_EQ(Current(), QStringLiteral("Sastanak"));

  struct Row {
    bool ok;
    const char* answer;
    const char* title;  // the title afterwards
  };
  const Row rows[] = {
      {false, "Odbačeno", "Sastanak"},
      {true, "", "Sastanak"},
      {true, "  Sastanak u 9 \"sala\" ", "  Sastanak u 9 \"sala\" "},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.answer);
    host.Clear();
    host.AnswerInput(row.ok, QString::fromUtf8(row.answer));
    Form1->SpeedButton4Click(nullptr);
    const auto inputs = host.ShownOf(ShownBox::Input);
    ASSERT_EQ(inputs.size(), 1u);
    EXPECT_EQ(inputs[0].caption, QStringLiteral("Novi naslov"));
    EXPECT_EQ(inputs[0].text, QStringLiteral("Unesite novi naslov za zapis"));
    EXPECT_TRUE(inputs[0].value.isEmpty()) << "the field starts empty, not with the title";
    EXPECT_EQ(Current(), QString::fromUtf8(row.title));
    EXPECT_EQ(Form1->DBText1->Caption(), QString::fromUtf8(row.title));
  }
  EXPECT_EQ(Stored(QStringLiteral("Body"), QStringLiteral("  Sastanak u 9 \"sala\" ")).toString(),
            QStringLiteral("U ponedjeljak u devet."));
  EXPECT_EQ(Form1->naslov->RecNo(), 2) << "the list keeps its place";
}

TEST_F(SearchPage, ARefusedRenameIsShownAndTheListKeepsItsRows) {
  Choose(Form1->DBLookupComboBox1, QStringLiteral("Posao"));
  const QStringList before = Titles(Form1->naslov);
  host.AnswerInput(true, QString(300, QLatin1Char('x')));  // longer than a title may be
  AsUser([] { Form1->SpeedButton4Click(nullptr); });
  ASSERT_EQ(host.Errors().size(), 1u);
  EXPECT_EQ(Titles(Form1->naslov), before);
  EXPECT_EQ(Form1->naslov->State(), dsBrowse) << "nothing is left pending";
  Form1->naslov->Next();
  EXPECT_EQ(host.Errors().size(), 1u) << "moving on does not try the store again";
}

TEST_F(SearchPage, PaneCopiesAndSelectsItsText) {
  Choose(Form1->DBLookupComboBox1, QStringLiteral("Posao"));
  Form1->Selectall1Click(nullptr);
  EXPECT_EQ(Form1->DBMemo1->SelText(), QStringLiteral("Rok je petak."));
  QApplication::clipboard()->clear();
  Form1->Copy1Click(nullptr);
  EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("Rok je petak."));
  EXPECT_TRUE(Form1->DBMemo1->ReadOnly());
  EXPECT_EQ(Form1->DBMemo1->PopupMenu(), Form1->PopupMenu1);
}

TEST_F(SearchPage, TheGridAndNavigatorMoveTheCurrentEntry) {
  Choose(Form1->DBLookupComboBox1, QStringLiteral("Posao"));
  Form1->naslov->Next();
  EXPECT_EQ(Current(), QStringLiteral("Sastanak"));
  EXPECT_EQ(Form1->DBMemo1->Text(), QStringLiteral("U ponedjeljak u devet."));
  Form1->naslov->First();
  EXPECT_EQ(Form1->DBText1->Caption(), QStringLiteral("Izvještaj"));
  EXPECT_EQ(Form1->DBNavigator1->DataSource(), Form1->DataSource2);
  EXPECT_EQ(Form1->DBGrid1->DataSource(), Form1->DataSource2);
}

}  // namespace
