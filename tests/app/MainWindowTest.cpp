// The main window's frame as its definition builds it, and its commands.
#include "Dialogs.h"
#include "MainWindowFixture.h"
#include "Notebook.h"
#include "Placement.h"
#include "StdCtrls.h"
#include "TestModalHost.h"
#include "TypeInfo.h"
#include "Unit1.h"

#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class MainWindow : public MainWindowFixture {
protected:
  void Prepare() override { MakeNotebook({}); }
  TMenuItem* Item(const char* name) const {
    return qobject_cast<TMenuItem*>(Form1->FindComponent(QString::fromLatin1(name)));
  }
};

class MainWindowWithoutNotebook : public MainWindow {
protected:
  void Prepare() override {}
};

TEST_F(MainWindow, FrameMatchesItsDefinition) {
  EXPECT_EQ(Form1->Name(), QStringLiteral("Form1"));
  EXPECT_EQ(Form1->Caption(), QStringLiteral("Notarium 1.0"));
  EXPECT_EQ(Form1->Window()->windowTitle(), QStringLiteral("Notarium 1.0"));
  EXPECT_EQ(Form1->WindowState(), wsMaximized) << "the first start opens maximised";
  EXPECT_EQ(Form1->Position(), poDesktopCenter);
  EXPECT_EQ(Form1->ClientWidth(), 775);
  EXPECT_EQ(Form1->ClientHeight(), 726);
  EXPECT_EQ(Form1->Font()->Name(), QStringLiteral("Tahoma"));
  EXPECT_EQ(Form1->Font()->Height(), -11);
  EXPECT_EQ(Form1->Menu(), Form1->MainMenu1);

  EXPECT_EQ(Form1->PageControl1->Align(), alClient);
  ASSERT_EQ(Form1->PageControl1->PageCount(), 2);
  EXPECT_EQ(Form1->PageControl1->Pages(0), Form1->TabSheet1);
  EXPECT_EQ(Form1->TabSheet1->Caption(), QString::fromUtf8("Traži"));
  EXPECT_EQ(Form1->TabSheet2->Caption(), QStringLiteral("Favoriti"));
  EXPECT_EQ(Form1->PageControl1->ActivePage(), Form1->TabSheet1) << "the search page shows at start";

  EXPECT_EQ(Form1->StatusBar1->Align(), alBottom);
  EXPECT_EQ(Form1->StatusBar1->Height(), 19);
  EXPECT_TRUE(Form1->StatusBar1->SimpleText().isEmpty());
  EXPECT_EQ(Form1->StatusBar1->Top(), 726 - 19) << "the status bar stands at the bottom of the client area";
  EXPECT_EQ(Form1->PageControl1->Height(), 726 - 19);

  EXPECT_TRUE(Form1->SpeedButton3->Caption().isEmpty());
  EXPECT_TRUE(Form1->SpeedButton3->Glyph()->Empty());
  EXPECT_EQ(Form1->SpeedButton3->Action(), nullptr);
  for (TImage* banner : {Form1->Image1, Form1->Image2})
    EXPECT_EQ(banner->Picture()->Width(), 533) << "both headers show the banner";
  EXPECT_EQ(Form1->SpeedButton3->Widget()->focusPolicy(), Qt::NoFocus) << "Tab passes a button that shows nothing";
  EXPECT_EQ(Form1->SpeedButton1->Widget()->focusPolicy(), Qt::TabFocus);
}

TEST_F(MainWindow, MenuTable) {
  struct Row {
    const char* name;
    const char* parent;  // nullptr: a top item of the menu bar
    const char* caption;
    int shortCut;
    bool command;  // runs something when chosen
  };
  const Row rows[] = {
      {"File1", nullptr, "Program", 0, false},
      {"JezikLanguage1", "File1", "Jezik / Language", 112, true},
      {"N2", "File1", "-", 0, false},
      {"Exit1", "File1", "Izlaz", 0, true},
      {"Unos1", nullptr, "Zapisi", 0, false},
      {"Noviunos1", "Unos1", "Novi unos", 116, true},
      {"N1", "Unos1", "-", 0, false},
      {"Novakategorija1", "Unos1", "Kategorije", 120, true},
      {"Oprogramu1", nullptr, "Info", 0, false},
      {"Oprogramu2", "Oprogramu1", "O programu...", 0, true},
  };
  TMenuItem* root = Form1->MainMenu1->Items();
  ASSERT_EQ(root->Count(), 3);
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    TMenuItem* item = Item(r.name);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->Caption(), QString::fromUtf8(r.caption));
    EXPECT_EQ(item->ShortCut(), r.shortCut);
    EXPECT_EQ(item->Parent(), r.parent ? Item(r.parent) : root);
    EXPECT_EQ(static_cast<bool>(item->OnClick()), r.command);
    EXPECT_EQ(item->IsLine(), QByteArray(r.caption) == "-");
  }
  EXPECT_EQ(ShortCutToText(Item("JezikLanguage1")->ShortCut()), QStringLiteral("F1"));
  EXPECT_EQ(ShortCutToText(Item("Noviunos1")->ShortCut()), QStringLiteral("F5"));
  EXPECT_EQ(ShortCutToText(Item("Novakategorija1")->ShortCut()), QStringLiteral("F9"));
  // Items keep the order of the definition inside their submenus.
  EXPECT_EQ(Item("Unos1")->Items(0), Item("Noviunos1"));
  EXPECT_EQ(Item("Unos1")->Items(2), Item("Novakategorija1"));
}

TEST_F(MainWindow, AboutBoxIsANoticeWithTheTitle) {
  Item("Oprogramu2")->Click();
  const auto notices = host.ShownOf(ShownBox::Notice);
  ASSERT_EQ(notices.size(), 1u);
  EXPECT_EQ(notices[0].caption, QStringLiteral("Notarium 1.0"));
  const QStringList lines = notices[0].text.split(QLatin1Char('\n'));
  ASSERT_EQ(lines.size(), 3);
  EXPECT_EQ(lines[0], QStringLiteral("Notarium 1.0"));
  EXPECT_EQ(lines[1], QStringLiteral("The Notarium developers"));
  EXPECT_EQ(lines[2], QStringLiteral("December 2026"));
}

TEST_F(MainWindow, FunctionKeysOpenTheirDialogsFromEitherPage) {
  Form1->Show();
  Form1->Window()->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(Form1->Window()));
  const std::pair<Qt::Key, const char*> keys[] = {
      {Qt::Key_F1, "Jezik"}, {Qt::Key_F5, "NoviUnos"}, {Qt::Key_F9, "Kategorije"}};
  for (TTabSheet* page : {Form1->TabSheet1, Form1->TabSheet2}) {
    Form1->PageControl1->SetActivePage(page);
    for (const auto& [key, dialog] : keys) {
      SCOPED_TRACE(QStringLiteral("%1 on %2").arg(QString::fromUtf8(dialog), page->Name()).toStdString());
      host.Clear();
      TComponent* owner = nullptr;
      host.OnModal([&owner](TCustomForm& form) {
        owner = form.Owner();
        form.Close();
      });
      QTest::keyClick(Form1->Window(), key);
      const auto shown = host.ShownOf(ShownBox::Modal);
      ASSERT_EQ(shown.size(), 1u) << "the dialog opens once";
      EXPECT_EQ(shown[0].text, QString::fromUtf8(dialog));
      EXPECT_EQ(owner, Form1) << "owned by the main window";
      EXPECT_TRUE(host.Errors().empty());
    }
  }
}

TEST_F(MainWindow, ExitClosesTheMainWindowAndEndsTheProgram) {
  Form1->Show();
  ASSERT_FALSE(Application->Terminated());
  Item("Exit1")->Click();
  EXPECT_TRUE(Application->Terminated());
  EXPECT_TRUE(host.Errors().empty());
}

TEST_F(MainWindow, OpensTheNotebookAndBothCategoryTablesWhenCreated) {
  EXPECT_TRUE(host.Errors().empty());
  EXPECT_TRUE(Form1->ADOConnection1->Connected());
  EXPECT_FALSE(Form1->ADOConnection1->LoginPrompt());
  EXPECT_EQ(Form1->ADOConnection1->Mode(), cmShareDenyNone);
  EXPECT_EQ(Form1->ADOConnection1->FileName(), QDir(folder.path()).absoluteFilePath(QStringLiteral("db.mdb")))
      << "the notebook is looked up in the working directory";
  const auto items = ParseConnectionString(Form1->ADOConnection1->ConnectionString());
  EXPECT_EQ(items.at(QStringLiteral("jet oledb:database password")), kNotebookPassword)
      << "the tool creates notebooks with the password the window opens them with";
  EXPECT_EQ(Form1->ADOConnection1->ConnectionString().size(), 567);
  for (TADOTable* t : {Form1->ADOTable1, Form1->ADOTable2}) {
    SCOPED_TRACE(t->Name().toStdString());
    EXPECT_TRUE(t->Active());
    EXPECT_EQ(t->TableName(), QStringLiteral("kategorije"));
    EXPECT_EQ(t->CursorType(), ctStatic);
  }
  for (TADOQuery* q : {Form1->naslov, Form1->ADOQuery1}) {
    SCOPED_TRACE(q->Name().toStdString());
    EXPECT_FALSE(q->Active()) << "the lists stay closed until the user first browses";
    EXPECT_TRUE(q->SQL()->Text().isEmpty());
  }
  EXPECT_EQ(Form1->DataSource1->DataSet(), Form1->ADOTable1);
  EXPECT_EQ(Form1->DataSource2->DataSet(), Form1->naslov);
  EXPECT_EQ(Form1->DataSource3->DataSet(), Form1->ADOQuery1);
  EXPECT_EQ(Form1->DataSource4->DataSet(), Form1->ADOTable2);
}

TEST_F(MainWindowWithoutNotebook, ReportsTheMissingNotebookOnceAndStillOpens) {
  const auto errors = host.Errors();
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_TRUE(errors[0].contains(QStringLiteral("does not exist"))) << errors[0].toStdString();
  EXPECT_FALSE(Form1->ADOConnection1->Connected());
  EXPECT_FALSE(Form1->ADOTable1->Active());
  EXPECT_FALSE(Form1->ADOTable2->Active());
  EXPECT_EQ(Form1->PageControl1->PageCount(), 2) << "the window is whole";
  EXPECT_FALSE(QFile::exists(QStringLiteral("db.mdb"))) << "nothing is created";
}

}  // namespace

namespace {

TEST_F(MainWindowWithoutNotebook, ChoosingAndSearchingDoNothingHarmful) {
  host.Clear();
  OpenAndDismiss(Form1->DBLookupComboBox1);
  OpenAndDismiss(Form1->DBLookupComboBox2);
  Form1->Edit1->SetText(QStringLiteral("x"));
  AsUser([] { Form1->Button1Click(nullptr); });
  AsUser([] { Form1->Button2Click(nullptr); });
  AsUser([] { Form1->FormActivate(nullptr); });
  EXPECT_TRUE(host.Errors().empty());
  const auto notices = host.ShownOf(ShownBox::Notice);
  ASSERT_EQ(notices.size(), 2u);
  EXPECT_EQ(notices[0].text, QStringLiteral("Odaberite kategoriju"));
  EXPECT_FALSE(Form1->naslov->Active());
  EXPECT_FALSE(Form1->ADOQuery1->Active());
}

class MainWindowInUse : public MainWindowFixture {
protected:
  void Prepare() override {
    MakeNotebook({{"Recepti", "Ćevapi", "Meso, luk i lepinja.", true}, {"Recepti", "Sarma", "Kupus.", true}});
  }
  static QString AccessibleName(TControl* control) { return AccessibleName(control->Widget()); }
  static QString AccessibleName(QWidget* widget) {
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(widget);
    return a ? a->text(QAccessible::Name) : QString();
  }
  // The text of the label a screen reader announces for the control: its
  // "labelled by" relation. (A combo box's own name is the item it shows.)
  static QString LabelOf(TControl* control) {
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(control->Widget());
    if (!a) return QString();
    const auto labels = a->relations(QAccessible::Label);
    return labels.isEmpty() ? QString() : labels.first().first->text(QAccessible::Name);
  }
};

// A screen reader names the choosers, lists, pane and tool buttons by their
// labels, pages, titles and hints.
TEST_F(MainWindowInUse, ControlsCarryAccessibleNames) {
  Choose(Form1->DBLookupComboBox1, QStringLiteral("Recepti"));
  Choose(Form1->DBLookupComboBox2, QStringLiteral("Recepti"));
  EXPECT_EQ(LabelOf(Form1->DBLookupComboBox1), QStringLiteral("Kategorija:"));
  EXPECT_EQ(LabelOf(Form1->DBLookupComboBox2), QStringLiteral("Kategorija:"));
  EXPECT_EQ(LabelOf(Form1->Edit1), QStringLiteral("Traži:"));
  const std::pair<TControl*, const char*> rows[] = {
      {Form1->Edit1, "Traži:"},
      {Form1->SpeedButton1, "Označi kao favorita"},
      {Form1->SpeedButton2, "Obriši"},
      {Form1->SpeedButton4, "Preimenuj"},
      {Form1->SpeedButton5, "Izbriši iz favorita"},
      {Form1->DBGrid1, "Traži"},
      {Form1->DBGrid2, "Favoriti"},
      {Form1->DBMemo1, "Ćevapi"},
      {Form1->DBMemo2, "Ćevapi"},
  };
  for (const auto& [control, name] : rows) EXPECT_EQ(AccessibleName(control), QString::fromUtf8(name)) << name;

  Form1->Edit2->SetText(QStringLiteral("2"));
  Form1->FormActivate(Form1);
  EXPECT_EQ(AccessibleName(Form1->DBGrid1), QStringLiteral("Search"));
  EXPECT_EQ(AccessibleName(Form1->SpeedButton1), QStringLiteral("Mark as favorite"));
  EXPECT_EQ(LabelOf(Form1->DBLookupComboBox1), QStringLiteral("Category:"));
}

// Every control of the search page is reached with Tab alone.
TEST_F(MainWindowInUse, TabReachesEveryControlOfThePage) {
  Form1->Show();
  Form1->Window()->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(Form1->Window()));
  Choose(Form1->DBLookupComboBox1, QStringLiteral("Recepti"));
  Form1->Edit1->SetText(QStringLiteral("a"));
  Form1->DBLookupComboBox1->SetFocus();
  std::vector<QWidget*> wanted = {Form1->DBLookupComboBox1->Widget(), Form1->Edit1->Widget(),
                                  Form1->Button1->Widget(),           Form1->SpeedButton1->Widget(),
                                  Form1->SpeedButton2->Widget(),      Form1->SpeedButton4->Widget(),
                                  Form1->DBGrid1->Widget(),           Form1->DBMemo1->Widget()};
  QSet<QWidget*> reached;
  for (int i = 0; i < 40; ++i) {
    QWidget* focus = QApplication::focusWidget();
    ASSERT_NE(focus, nullptr);
    for (QWidget* w = focus; w; w = w->parentWidget()) reached.insert(w);
    QTest::keyClick(focus, Qt::Key_Tab);
  }
  for (QWidget* w : wanted) EXPECT_TRUE(reached.contains(w)) << w->metaObject()->className();
}

}  // namespace
