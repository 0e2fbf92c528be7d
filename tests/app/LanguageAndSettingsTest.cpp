// The main window's language: restored from Edit2 on activation, switched
// by its translation table, and spoken by the message table; and the window's
// settings in opt.ini.
#include "MainWindowFixture.h"
#include "Messages.h"

#include <QRegularExpression>
#include <QStringConverter>
#include <QTest>

namespace {

const std::vector<SeedEntry> kEntries = {
    {"Recepti", "Ćevapi", "Meso, luk i lepinja.", true},
    {"Posao", "Sastanak", "U ponedjeljak u devet.", false},
};

class MainWindowLanguage : public MainWindowFixture {
protected:
  std::vector<SeedEntry> Seed() const override { return kEntries; }
  void Prepare() override {
    MakeNotebook(Seed());
    if (!settings.isEmpty()) WriteFile(QStringLiteral("opt.ini"), settings);
  }
  void Activate() { Form1->FormActivate(Form1); }
  QString Text(const char* component, const char* property = "Caption") const {
    const QString name = QString::fromLatin1(component);
    QObject* c = name == Form1->Name() ? Form1 : Form1->FindComponent(name);
    EXPECT_NE(c, nullptr) << component;
    return c ? c->property(property).toString() : QString();
  }

  std::string FirstError() const { return host.Errors().empty() ? std::string() : host.Errors()[0].toStdString(); }

  QByteArray settings;  // opt.ini as the test lays it down
};

class StoredLanguage : public MainWindowLanguage, public ::testing::WithParamInterface<const char*> {
protected:
  void SetUp() override {
    settings = QByteArray("[Form1.rsPropSaver1]\r\nEdit2.Text=\"") + GetParam() + "\"\r\n";
    MainWindowLanguage::SetUp();
  }
};

TEST_P(StoredLanguage, AnythingButOneOrTwoStartsInSerbianAndIsStoredAsOne) {
  EXPECT_EQ(Form1->Edit2->Text(), QString::fromLatin1(GetParam())) << "restored before the first activation";
  Activate();
  EXPECT_EQ(Form1->Edit2->Text(), QStringLiteral("1"));
  EXPECT_EQ(Form1->lgLang1->ActiveLanguage(), 1);
  EXPECT_EQ(Form1->TabSheet1->Caption(), QStringLiteral("Traži"));
  EXPECT_TRUE(host.Errors().empty());
  CloseWindow();
  EXPECT_TRUE(ReadFile(QStringLiteral("opt.ini")).contains("\r\nEdit2.Text=\"1\"\r\n"));
}

INSTANTIATE_TEST_SUITE_P(Values, StoredLanguage, ::testing::Values("0", "3", "01", "", "x", " 2", "2 "));

TEST_F(MainWindowLanguage, EnglishStoredShowsFromTheFirstActivation) {
  Restart("[Form1.rsPropSaver1]\r\nEdit2.Text=\"2\"\r\n");
  // The real activation, as the desktop gives it.
  Form1->Show();
  Form1->Window()->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(Form1->Window()));
  EXPECT_EQ(Form1->lgLang1->ActiveLanguage(), 2);
  EXPECT_EQ(Form1->TabSheet1->Caption(), QStringLiteral("Search"));
  EXPECT_TRUE(host.Errors().empty());
}

// What switching to English changes, and what switching back restores.
TEST_F(MainWindowLanguage, SwitchingToEnglishAndBack) {
  struct Row {
    const char* component;
    const char* property;
    const char* serbian;
    const char* english;
  };
  const Row rows[] = {
      {"TabSheet1", "Caption", "Traži", "Search"},
      {"TabSheet2", "Caption", "Favoriti", "Favorites"},
      {"Kategorija", "Caption", "Kategorija:", "Category:"},
      {"Label1", "Caption", "Traži:", "Search:"},
      {"Button1", "Caption", "Traži", "Search"},
      {"Label2", "Caption", "Kategorija:", "Category:"},
      {"Button2", "Caption", "Osvježi", "Refresh"},
      {"Label3", "Caption", "Naslov:", "Title:"},
      {"Label4", "Caption", "Kategorija:", "Category:"},
      {"Label5", "Caption", "Naslov:", "Title:"},
      {"Label6", "Caption", "Kategorija:", "Category:"},
      {"SpeedButton1", "Hint", "Označi kao favorita", "Mark as favorite"},
      {"SpeedButton2", "Hint", "Obriši", "Delete"},
      {"SpeedButton4", "Hint", "Preimenuj", "Rename"},
      {"SpeedButton5", "Hint", "Izbriši iz favorita", "Remove from favorites"},
      {"File1", "Caption", "Program", "Program"},
      {"JezikLanguage1", "Caption", "Jezik / Language", "Jezik / Language"},
      {"Exit1", "Caption", "Izlaz", "Exit"},
      {"Unos1", "Caption", "Zapisi", "Entries"},
      {"Noviunos1", "Caption", "Novi unos", "New entry"},
      {"Novakategorija1", "Caption", "Kategorije", "Categories"},
      {"Oprogramu1", "Caption", "Info", "Info"},
      {"Oprogramu2", "Caption", "O programu...", "About..."},
      {"Editujzapis1", "Caption", "Edituj zapis", "Edit record"},
      {"Copy1", "Caption", "Kopiraj", "Copy"},
      {"Selectall1", "Caption", "Selektuj sve", "Select All"},
      {"Form1", "Caption", "Notarium 1.0", "Notarium 1.0"},
      {"Edit2", "Text", "1", "2"},
  };
  Choose(Form1->DBLookupComboBox1, QStringLiteral("Recepti"));
  const QString connection = Form1->ADOConnection1->ConnectionString();
  const QStringList properties = Form1->rsPropSaver1->Properties()->ToList();
  const QString root = Form1->rsPropSaver1->RootSection();
  const QString hints1 = Form1->DBNavigator1->Hints()->Text();

  for (int language : {2, 1, 2, 1}) {
    SCOPED_TRACE(language);
    Form1->Edit2->SetText(QString::number(language));
    Activate();
    EXPECT_EQ(Form1->lgLang1->ActiveLanguage(), language);
    for (const Row& r : rows)
      EXPECT_EQ(Text(r.component, r.property), QString::fromUtf8(language == 1 ? r.serbian : r.english))
          << r.component << "." << r.property;
    EXPECT_EQ(Form1->Font()->Name(), QStringLiteral("Tahoma"));
    EXPECT_EQ(Form1->DBGrid1->Font()->Height(), -13);
    EXPECT_EQ(Form1->DBNavigator1->Hints()->Text(), hints1) << "the navigator's hints have no English column";
    EXPECT_EQ(Form1->rsPropSaver1->Properties()->ToList(), properties);
    EXPECT_EQ(Form1->rsPropSaver1->RootSection(), root);
    EXPECT_EQ(Form1->DBMemo1->DataField(), QStringLiteral("Body"));
    EXPECT_EQ(Form1->DBLookupComboBox1->KeyField(), QStringLiteral("Category"));
    // The notebook stays open and usable.
    EXPECT_TRUE(Form1->ADOConnection1->Connected());
    EXPECT_EQ(Form1->ADOConnection1->ConnectionString(), connection);
    EXPECT_TRUE(Form1->ADOTable1->Active());
    Choose(Form1->DBLookupComboBox1, QStringLiteral("Posao"));
    EXPECT_EQ(Titles(Form1->naslov), QStringList({QStringLiteral("Sastanak")}));
    Choose(Form1->DBLookupComboBox1, QStringLiteral("Recepti"));
    EXPECT_TRUE(host.Errors().empty()) << FirstError();
  }
}

TEST_F(MainWindowLanguage, MessagesSpeakTheActiveLanguage) {
  for (int language : {1, 2}) {
    Form1->Edit2->SetText(QString::number(language));
    Activate();
    for (int number = 0; number <= 16; ++number)
      EXPECT_EQ(Form1->Message(number), MessageText(number, language)) << number << " in " << language;
    EXPECT_TRUE(Form1->Message(0).isEmpty());
    EXPECT_TRUE(Form1->Message(16).isEmpty());
  }

  // Every box fetches its texts afresh.
  Choose(Form1->DBLookupComboBox1, QStringLiteral("Recepti"));
  Form1->SpeedButton1Click(nullptr);
  Form1->Edit2->SetText(QStringLiteral("1"));
  Activate();
  Form1->SpeedButton1Click(nullptr);
  const auto asked = host.ShownOf(ShownBox::Message);
  ASSERT_EQ(asked.size(), 2u);
  EXPECT_EQ(asked[0].text, QStringLiteral("Mark as favorite?"));
  EXPECT_EQ(asked[0].caption, QStringLiteral("Confirm"));
  EXPECT_EQ(asked[1].text, QStringLiteral("Označiti kao favorita?"));
  EXPECT_EQ(asked[1].caption, QStringLiteral("Potvrda"));
}

TEST_F(MainWindowLanguage, AFirstStartWritesTheDefinitionsValues) {
  EXPECT_EQ(Form1->WindowState(), wsMaximized);
  EXPECT_EQ(Form1->Panel3->Width(), 233);
  CloseWindow();
  const QByteArray file = ReadFile(QStringLiteral("opt.ini"));
  const QList<QByteArray> lines = file.split('\n');
  ASSERT_EQ(lines.size(), 7) << file.toStdString();
  for (int i = 0; i < 6; ++i) EXPECT_TRUE(lines[i].endsWith('\r')) << "CR LF lines: " << i;
  EXPECT_EQ(lines[0], "[Form1.rsPropSaver1]\r");
  EXPECT_EQ(lines[1], "Edit2.Text=\"1\"\r");
  EXPECT_TRUE(QRegularExpression(QStringLiteral(R"(^FormPlacement="(-?\d+,){9}-?\d+"\r$)"))
                  .match(QString::fromLatin1(lines[2]))
                  .hasMatch())
      << lines[2].toStdString();
  EXPECT_EQ(lines[3], "Panel3.Width=233\r");
  EXPECT_EQ(lines[4], "Panel7.Width=233\r");
  EXPECT_EQ(lines[5], "\r");
  EXPECT_EQ(lines[6], "");
}

TEST_F(MainWindowLanguage, ListWidthsAndLanguageSurviveARestart) {
  Form1->Panel3->SetWidth(311);
  Form1->Panel7->SetWidth(187);
  Form1->Edit2->SetText(QStringLiteral("2"));
  Restart();
  EXPECT_EQ(Form1->Panel3->Width(), 311);
  EXPECT_EQ(Form1->Panel7->Width(), 187);
  Activate();
  EXPECT_EQ(Form1->TabSheet2->Caption(), QStringLiteral("Favorites"));
  EXPECT_TRUE(host.Errors().empty());
}

// Whatever opt.ini holds, the window opens.
TEST_F(MainWindowLanguage, AnySettingsFileLetsTheWindowOpen) {
  QByteArray utf16;
  {
    const QString text = QStringLiteral("[Form1.rsPropSaver1]\r\nEdit2.Text=\"2\"\r\nPanel3.Width=300\r\n");
    utf16 = QByteArray("\xFF\xFE") + QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
  }
  struct Row {
    const char* name;
    QByteArray file;
    int errors;
    int panel3;
    TWindowState state;
  };
  const Row rows[] = {
      {"garbage", QByteArray("\x00\xff[[[\x01=\"\r\n=\n[", 12), 0, 233, wsMaximized},
      {"not a number",
       "[Form1.rsPropSaver1]\r\nEdit2.Text=\"2\"\r\nFormPlacement=\"0,1,-1,-1,-1,-1,10,20,410,320\"\r\n"
       "Panel3.Width=250\r\nPanel7.Width=\"abc\"\r\n",
       1, 233, wsMaximized},
      {"nine fields", "[Form1.rsPropSaver1]\r\nFormPlacement=\"0,1,-1,-1,-1,-1,10,20,410\"\r\nPanel3.Width=250\r\n", 0,
       250, wsMaximized},
      {"UTF-16", utf16, 0, 233, wsMaximized},
      {"restored", "[Form1.rsPropSaver1]\r\nFormPlacement=\"0,1,-1,-1,-1,-1,10,20,610,520\"\r\n", 0, 233, wsNormal},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Restart(row.file);
    ASSERT_NE(Form1, nullptr);
    EXPECT_EQ(static_cast<int>(host.Errors().size()), row.errors) << FirstError();
    EXPECT_EQ(Form1->Panel3->Width(), row.panel3);
    EXPECT_EQ(Form1->WindowState(), row.state);
    EXPECT_EQ(Form1->PageControl1->PageCount(), 2);
    Activate();
    EXPECT_EQ(Form1->lgLang1->ActiveLanguage(), 1);
  }
}

TEST(Banner, AMissingOrBrokenPictureLeavesTheHeadersColour) {
  TImage image;
  ShowBanner(&image, kBannerPath);
  EXPECT_EQ(image.Picture()->Width(), 533);
  EXPECT_EQ(image.Picture()->Height(), 65);

  QTemporaryDir folder;
  const QString broken = folder.filePath(QStringLiteral("banner.jpg"));
  {
    QFile f(broken);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("\xFF\xD8\xFF\xE0 not really a picture");
  }
  for (const QString& path : {broken, folder.filePath(QStringLiteral("missing.jpg"))}) {
    ShowBanner(&image, path);
    EXPECT_TRUE(image.Picture()->Empty()) << path.toStdString();
  }
}

}  // namespace
