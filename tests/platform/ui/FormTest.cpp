// Windows: the order of their events from creation to destruction, closing,
// modal showing, key preview and placement on first show.
#include "UiTestSupport.h"

#include <QGuiApplication>
#include <QLineEdit>
#include <QPointer>
#include <QScreen>

#include <algorithm>

using namespace uitest;

namespace {

std::vector<QString> gEvents;

// A component and a control that report their loaded notification and their
// destruction.
class LoadProbe : public TComponent {
public:
  using TComponent::TComponent;
  ~LoadProbe() override { gEvents.push_back(QStringLiteral("~") + Name()); }
  void Loaded() override {
    TComponent::Loaded();
    gEvents.push_back(QStringLiteral("Loaded ") + Name());
  }
};

class ProbePanel : public TPanel {
public:
  using TPanel::TPanel;
  ~ProbePanel() override { gEvents.push_back(QStringLiteral("~") + Name()); }
  void Loaded() override {
    TPanel::Loaded();
    gEvents.push_back(QStringLiteral("Loaded ") + Name());
  }
};

void RegisterProbes() {
  static const bool once = [] {
    RegisterComponentClass(QStringLiteral("TLoadProbe"),
                           [](TComponent* owner) -> TComponent* { return new LoadProbe(owner); });
    RegisterComponentClass(QStringLiteral("TProbePanel"),
                           [](TComponent* owner) -> TComponent* { return new ProbePanel(owner); });
    return true;
  }();
  (void)once;
}

// A window class as the program writes them: handlers first, then the definition.
class TOrderForm : public TForm {
public:
  explicit TOrderForm(TComponent* owner) : TForm(owner) {
    RegisterProbes();
    Handlers().Add(QStringLiteral("FormCreate"), this, &TOrderForm::FormCreate);
    Handlers().Add(QStringLiteral("FormDestroy"), this, &TOrderForm::FormDestroy);
    Handlers().Add(QStringLiteral("FormHide"), this, &TOrderForm::FormHide);
    Handlers().Add(QStringLiteral("FormDeactivate"), this, &TOrderForm::FormDeactivate);
    LoadWindowDefinitionText(this, QStringLiteral(R"(object F: TForm
  OnCreate = FormCreate
  OnDestroy = FormDestroy
  OnHide = FormHide
  OnDeactivate = FormDeactivate
  object P1: TProbePanel
    object Inner: TProbePanel
    end
  end
  object Data1: TLoadProbe
  end
end)"),
                             QStringLiteral("Order.def"));
  }
  void Loaded() override {
    TForm::Loaded();
    gEvents.push_back(QStringLiteral("Loaded F"));
  }
  void FormCreate(TObject*) {
    gEvents.push_back(QStringLiteral("Create"));
    // Every component is complete by now.
    auto* inner = qobject_cast<TPanel*>(FindComponent(QStringLiteral("Inner")));
    if (!inner || inner->Loading() || inner->Parent() != FindComponent(QStringLiteral("P1")))
      gEvents.push_back(QStringLiteral("Inner not ready"));
  }
  ~TOrderForm() override { gEvents.push_back(QStringLiteral("~F")); }
  void FormDestroy(TObject*) {
    gEvents.push_back(QStringLiteral("Destroy"));
    if (FState != QLatin1String("whole")) gEvents.push_back(QStringLiteral("the window is half gone"));
    if (!FindComponent(QStringLiteral("Data1")) || !FindComponent(QStringLiteral("Inner")))
      gEvents.push_back(QStringLiteral("components gone too early"));
  }
  void FormHide(TObject*) { gEvents.push_back(QStringLiteral("Hide")); }
  void FormDeactivate(TObject*) { gEvents.push_back(QStringLiteral("Deactivate")); }

private:
  // A member of the window class: gone once its destructor has run.
  QString FState = QStringLiteral("whole");
};

class TOtherForm : public TForm {
public:
  explicit TOtherForm(TComponent* owner) : TForm(owner) {
    LoadWindowDefinitionText(this, QStringLiteral("object G: TForm\nend\n"), QStringLiteral("Other.def"));
  }
};

class FormTest : public UiTest {
protected:
  FormTest() { gEvents.clear(); }
};

TEST_F(FormTest, CreationRunsOnCreateAfterEveryComponentIsLoaded) {
  auto* form = new TOrderForm(nullptr);
  EXPECT_EQ(gEvents, (std::vector<QString>{QStringLiteral("Loaded F"), QStringLiteral("Loaded P1"),
                                           QStringLiteral("Loaded Inner"), QStringLiteral("Loaded Data1")}))
      << "loading alone runs no creation event";
  delete form;

  gEvents.clear();
  std::unique_ptr<TOrderForm> created(CreateForm<TOrderForm>(nullptr));
  EXPECT_EQ(gEvents, (std::vector<QString>{QStringLiteral("Loaded F"), QStringLiteral("Loaded P1"),
                                           QStringLiteral("Loaded Inner"), QStringLiteral("Loaded Data1"),
                                           QStringLiteral("Create")}));
  EXPECT_FALSE(created->Loading());
}

TEST_F(FormTest, DestructionRunsOnDestroyBeforeTheComponentsGo) {
  auto* form = CreateForm<TOrderForm>(nullptr);
  ShowAndActivate(*form);
  ASSERT_TRUE(form->Active());
  gEvents.clear();
  delete form;
  EXPECT_EQ(gEvents, (std::vector<QString>{QStringLiteral("Destroy"), QStringLiteral("~Data1"),
                                           QStringLiteral("~Inner"), QStringLiteral("~P1"), QStringLiteral("~F")}))
      << "the destruction event on the whole window, then its components last created first, then the window "
         "itself; no window event once the window is going";
}

TEST_F(FormTest, ApplicationCreateFormMakesTheFirstWindowTheMainOne) {
  TOrderForm* first = nullptr;
  TOtherForm* second = nullptr;
  Application->CreateForm(first);
  Application->CreateForm(second);
  EXPECT_EQ(Application->MainForm(), first);
  EXPECT_EQ(first->Owner(), Application);
  EXPECT_EQ(second->Owner(), Application);
  EXPECT_EQ(std::count(gEvents.begin(), gEvents.end(), QStringLiteral("Create")), 1);
  delete second;
  delete first;
  EXPECT_EQ(Application->MainForm(), nullptr);
}

TEST_F(FormTest, ActivationEventsRunOncePerChange) {
  int activated = 0, deactivated = 0;
  auto form =
      BuildForm(QStringLiteral("object F: TForm\n  OnActivate = A\n  OnDeactivate = D\nend\n"), [&](THandlerTable& t) {
        handlers.Notify(t, "A", [&](TObject*) { ++activated; });
        handlers.Notify(t, "D", [&](TObject*) { ++deactivated; });
      });
  form->Activate();
  form->Activate();
  EXPECT_EQ(activated, 1);
  EXPECT_TRUE(form->Active());
  form->Deactivate();
  form->Deactivate();
  EXPECT_EQ(deactivated, 1);
  EXPECT_FALSE(form->Active());
  form->Activate();
  EXPECT_EQ(activated, 2);
  form->Deactivate();
  EXPECT_EQ(deactivated, 2);
}

TEST_F(FormTest, ShowingAnotherWindowMovesTheActivation) {
  // The offscreen platform activates windows as they are shown and raised.
  std::vector<QString> log;
  auto bind = [&](const char* who) {
    return [&log, who, this](THandlerTable& t) {
      handlers.Notify(t, "A",
                      [&log, who](TObject*) { log.push_back(QStringLiteral("activate ") + QLatin1String(who)); });
      handlers.Notify(t, "D",
                      [&log, who](TObject*) { log.push_back(QStringLiteral("deactivate ") + QLatin1String(who)); });
    };
  };
  const QString text = QStringLiteral("object F: TForm\n  OnActivate = A\n  OnDeactivate = D\nend\n");
  auto first = BuildForm(text, bind("first"));
  auto second = BuildForm(text, bind("second"));
  ShowAndActivate(*first);
  ASSERT_EQ(log, std::vector<QString>{QStringLiteral("activate first")});
  ShowAndActivate(*second);
  EXPECT_EQ(log, (std::vector<QString>{QStringLiteral("activate first"), QStringLiteral("deactivate first"),
                                       QStringLiteral("activate second")}));
  EXPECT_TRUE(second->Active());
  EXPECT_FALSE(first->Active());
}

struct CloseCase {
  const char* name;
  bool allow;
  TCloseAction action;
  bool byWindow;  // the window's close button instead of Close()
  bool closeRuns, staysVisible, minimised;
};

TEST_F(FormTest, CloseAsksTheCloseQueryAndFollowsTheCloseAction) {
  const CloseCase cases[] = {
      {"veto", false, caHide, false, false, true, false},
      {"veto from the window", false, caHide, true, false, true, false},
      {"hide", true, caHide, false, true, false, false},
      {"hide from the window", true, caHide, true, true, false, false},
      {"caNone keeps it open", true, caNone, false, true, true, false},
      {"caNone from the window", true, caNone, true, true, true, false},
      {"minimise", true, caMinimize, false, true, true, true},
  };
  for (const CloseCase& c : cases) {
    int queries = 0, closes = 0;
    auto form =
        BuildForm(QStringLiteral("object F: TForm\n  OnCloseQuery = Q\n  OnClose = C\nend\n"), [&](THandlerTable& t) {
          handlers.CloseQuery(t, "Q", [&](TObject*, bool& canClose) {
            ++queries;
            canClose = c.allow;
          });
          handlers.Close(t, "C", [&](TObject*, TCloseAction& action) {
            ++closes;
            EXPECT_EQ(action, caHide) << c.name << ": a window hides by default";
            action = c.action;
          });
        });
    form->Show();
    Process();
    if (c.byWindow)
      form->Window()->close();
    else
      form->Close();
    Process();
    EXPECT_EQ(queries, 1) << c.name;
    EXPECT_EQ(closes, c.closeRuns ? 1 : 0) << c.name;
    EXPECT_EQ(form->Window()->isVisible(), c.staysVisible) << c.name;
    EXPECT_EQ(form->WindowState() == wsMinimized, c.minimised) << c.name;
    EXPECT_TRUE(host.Errors().empty()) << c.name;
  }
}

TEST_F(FormTest, CloseActionFreeDestroysTheWindow) {
  auto* form = CreateForm<TOrderForm>(nullptr);
  form->SetOnClose(TCloseEvent{[](TObject*, TCloseAction& action) { action = caFree; }, QStringLiteral("FormClose")});
  QPointer<TOrderForm> alive(form);
  form->Show();
  Process();
  form->Close();
  EXPECT_FALSE(form->Window()->isVisible());
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(alive.isNull()) << "caFree releases the window";
  EXPECT_NE(std::find(gEvents.begin(), gEvents.end(), QStringLiteral("Destroy")), gEvents.end());
  if (alive) delete alive.data();
}

TEST_F(FormTest, ClosingTheMainWindowEndsTheProgram) {
  TOrderForm* main = nullptr;
  Application->CreateForm(main);
  main->Show();
  main->Close();
  EXPECT_TRUE(Application->Terminated());
  delete main;
}

// ---------------------------------------------------------------- modal windows

const char* const kDialog = R"(object Dlg: TForm
  Caption = 'Kategorije'
  ClientWidth = 300
  ClientHeight = 120
  OnCloseQuery = FormCloseQuery
  OnClose = FormClose
  object Name1: TEdit
    Left = 8
    Top = 8
  end
  object OkButton: TButton
    Left = 8
    Top = 80
    Caption = 'OK'
    ModalResult = 1
  end
  object CancelButton: TButton
    Left = 100
    Top = 80
    Caption = 'Odustani'
    ModalResult = 2
  end
  object PlainButton: TButton
    Left = 200
    Top = 80
    Caption = 'Provera'
    OnClick = PlainClick
  end
end)";

class ModalTest : public UiTest {
protected:
  void Build() {
    dialog = BuildForm(QString::fromUtf8(kDialog), [this](THandlerTable& t) {
      handlers.CloseQuery(t, "FormCloseQuery", [this](TObject*, bool& canClose) {
        ++queries;
        canClose = queries > vetoes;
      });
      handlers.Close(t, "FormClose", [this](TObject*, TCloseAction&) { ++closes; });
      handlers.Notify(t, "PlainClick", [this](TObject*) { ++plainClicks; });
    });
  }
  QWidget* ButtonWidget(TCustomForm& form, const char* name) { return Find<TButton>(&form, name)->Widget(); }
  std::unique_ptr<TForm> dialog;
  int queries = 0, closes = 0, plainClicks = 0, vetoes = 0;
};

TEST_F(ModalTest, ShowModalReturnsTheResultOfTheButtonThatClosedIt) {
  const struct {
    const char* name;
    std::function<void(TCustomForm&)> act;
    int expected;
  } rows[] = {
      {"OK button", [this](TCustomForm& f) { ClickWidget(ButtonWidget(f, "OkButton")); }, mrOk},
      {"Cancel button", [this](TCustomForm& f) { ClickWidget(ButtonWidget(f, "CancelButton")); }, mrCancel},
      {"Close()", [](TCustomForm& f) { f.Close(); }, mrCancel},
      {"the window's close button", [](TCustomForm& f) { f.Window()->close(); }, mrCancel},
      {"a result set by code", [](TCustomForm& f) { f.SetModalResult(mrYes); }, mrYes},
  };
  for (const auto& r : rows) {
    Build();
    queries = closes = plainClicks = 0;
    host.Clear();
    host.OnModal([&](TCustomForm& f) {
      EXPECT_TRUE(f.IsModal()) << r.name;
      EXPECT_TRUE(f.Window()->isVisible()) << r.name;
      ClickWidget(ButtonWidget(f, "PlainButton"));
      EXPECT_FALSE(f.ModalLoopDone()) << r.name << ": a button without ModalResult leaves it open";
      r.act(f);
    });
    EXPECT_EQ(dialog->ShowModal(), r.expected) << r.name;
    EXPECT_EQ(plainClicks, 1) << r.name;
    EXPECT_EQ(queries, 1) << r.name;
    EXPECT_EQ(closes, 1) << r.name;
    EXPECT_FALSE(dialog->Window()->isVisible()) << r.name;
    EXPECT_FALSE(dialog->IsModal()) << r.name;
    EXPECT_TRUE(host.Errors().empty()) << r.name << ": " << (host.Errors().empty() ? QString() : host.Errors()[0]);
    ASSERT_EQ(host.ShownOf(ShownBox::Modal).size(), 1u) << r.name;
    EXPECT_EQ(host.ShownOf(ShownBox::Modal)[0].caption, QStringLiteral("Kategorije"));
  }
}

TEST_F(ModalTest, AVetoingCloseQueryKeepsTheModalLoopGoing) {
  Build();
  vetoes = 2;
  host.OnModal([this](TCustomForm& f) {
    for (int attempt = 1; attempt <= 2; ++attempt) {
      ClickWidget(ButtonWidget(f, "OkButton"));
      EXPECT_FALSE(f.ModalLoopDone()) << "attempt " << attempt << " is vetoed";
      EXPECT_EQ(f.ModalResult(), mrNone);
      EXPECT_TRUE(f.Window()->isVisible());
    }
    EXPECT_EQ(closes, 0);
    ClickWidget(ButtonWidget(f, "OkButton"));
  });
  EXPECT_EQ(dialog->ShowModal(), mrOk);
  EXPECT_EQ(queries, 3);
  EXPECT_EQ(closes, 1);
  EXPECT_TRUE(host.Errors().empty());
}

TEST_F(ModalTest, AModalWindowCanBeShownAgainButNotWhileVisible) {
  Build();
  host.OnModal([this](TCustomForm& f) { ClickWidget(ButtonWidget(f, "OkButton")); });
  host.OnModal([this](TCustomForm& f) { ClickWidget(ButtonWidget(f, "CancelButton")); });
  EXPECT_EQ(dialog->ShowModal(), mrOk);
  EXPECT_EQ(dialog->ShowModal(), mrCancel);
  dialog->Show();
  EXPECT_THROW(dialog->ShowModal(), EInvalidOperation);
}

// ---------------------------------------------------------------- key preview

struct PreviewCase {
  const char* name;
  bool keyPreview;
  bool formSwallows;
  int key;
  QString text;
  std::vector<QString> expected;
  QString editText;
};

TEST_F(FormTest, KeyPreviewSeesEachKeyOnceAndOnlyItsOwnWindows) {
  int previewed = 0;
  auto form =
      BuildForm(QStringLiteral("object F: TForm\n  KeyPreview = True\n  OnKeyPress = FormKeyPress\nend\n"),
                [&](THandlerTable& t) { handlers.Key(t, "FormKeyPress", [&](TObject*, QChar&) { ++previewed; }); });
  auto other = BuildForm(QStringLiteral("object G: TForm\nend\n"));
  if (QWidget* focus = QApplication::focusWidget()) focus->clearFocus();
  ASSERT_EQ(QApplication::focusWidget(), nullptr);
  PressKey(form->Window(), Qt::Key_A, QStringLiteral("a"));
  EXPECT_EQ(previewed, 1) << "a key on the window itself, with nothing focused, reaches the handler once";
  PressKey(other->Window(), Qt::Key_A, QStringLiteral("a"));
  EXPECT_EQ(previewed, 1) << "another window's keys are not this window's";
}

TEST_F(FormTest, KeyPreviewLetsTheWindowSeeKeysBeforeTheFocusedControl) {
  const PreviewCase cases[] = {
      {"Escape previewed", true, false, Qt::Key_Escape, QStringLiteral("\x1b"), {"form 27", "edit 27"}, ""},
      {"Escape swallowed", true, true, Qt::Key_Escape, QStringLiteral("\x1b"), {"form 27"}, ""},
      {"letter swallowed", true, true, Qt::Key_A, QStringLiteral("a"), {"form 97"}, ""},
      {"letter previewed", true, false, Qt::Key_A, QStringLiteral("a"), {"form 97", "edit 97"}, "a"},
      {"no preview", false, false, Qt::Key_Escape, QStringLiteral("\x1b"), {"edit 27"}, ""},
  };
  for (const PreviewCase& c : cases) {
    std::vector<QString> log;
    std::unique_ptr<TForm> form;
    form = BuildForm(QStringLiteral(R"(object F: TForm
  KeyPreview = %1
  OnKeyPress = FormKeyPress
  object Edit1: TEdit
    OnKeyPress = Edit1KeyPress
  end
end)")
                         .arg(c.keyPreview ? QStringLiteral("True") : QStringLiteral("False")),
                     [&](THandlerTable& t) {
                       handlers.Key(t, "FormKeyPress", [&](TObject* s, QChar& key) {
                         EXPECT_EQ(s, form.get()) << c.name;
                         log.push_back(QStringLiteral("form %1").arg(key.unicode()));
                         if (c.formSwallows) key = QChar(0);
                       });
                       handlers.Key(t, "Edit1KeyPress", [&](TObject*, QChar& key) {
                         log.push_back(QStringLiteral("edit %1").arg(key.unicode()));
                       });
                     });
    auto* edit = Find<TEdit>(form.get(), "Edit1");
    ShowAndActivate(*form);
    edit->SetFocus();
    Process();
    ASSERT_EQ(QApplication::focusWidget(), edit->Widget()) << c.name;
    PressKey(edit->Widget(), c.key, c.text);
    std::vector<QString> expected;
    for (const QString& e : c.expected) expected.push_back(e);
    EXPECT_EQ(log, expected) << c.name;
    EXPECT_EQ(edit->Text(), c.editText) << c.name;
  }
}

// ---------------------------------------------------------------- first show

TEST_F(FormTest, PositionCentresTheWindowOnItsFirstShowOnly) {
  QScreen* screen = QGuiApplication::primaryScreen();
  ASSERT_NE(screen, nullptr);
  const struct {
    const char* name;
    const char* position;
    QRect area;
  } rows[] = {
      {"screen centre", "poScreenCenter", screen->availableGeometry()},
      {"desktop centre", "poDesktopCenter", screen->availableGeometry()},
      {"as designed", "poDesigned", QRect()},
  };
  for (const auto& r : rows) {
    auto form = BuildForm(QStringLiteral("object F: TForm\n  Left = 5\n  Top = 7\n  ClientWidth = 300\n"
                                         "  ClientHeight = 200\n  Position = %1\nend\n")
                              .arg(QLatin1String(r.position)));
    EXPECT_EQ(form->Left(), 5) << r.name << ": nothing moves before the window shows";
    form->Show();
    Process();
    const QPoint expected =
        r.area.isNull() ? QPoint(5, 7)
                        : QPoint(r.area.x() + (r.area.width() - 300) / 2, r.area.y() + (r.area.height() - 200) / 2);
    EXPECT_EQ(QPoint(form->Left(), form->Top()), expected) << r.name;
    EXPECT_EQ(form->Window()->geometry(), QRect(expected, QSize(300, 200))) << r.name;

    form->Hide();
    form->SetBounds(20, 30, 300, 200);
    form->Show();
    Process();
    EXPECT_EQ(form->Window()->geometry().topLeft(), QPoint(20, 30)) << r.name << ": shown again, it stays put";
  }
}

TEST_F(FormTest, MaximisedBeforeShowingShowsMaximisedAndKeepsTheDesignedBounds) {
  auto form =
      BuildForm(QStringLiteral("object F: TForm\n  Left = 40\n  Top = 30\n  ClientWidth = 300\n  ClientHeight = 200\n  "
                               "WindowState = wsMaximized\n"
                               "  object Client1: TPanel\n    Align = alClient\n  end\nend\n"));
  EXPECT_EQ(form->WindowState(), wsMaximized);
  EXPECT_FALSE(form->Window()->isVisible());
  form->Show();
  Process();
  EXPECT_TRUE(form->Window()->isMaximized());
  EXPECT_EQ(form->WindowState(), wsMaximized);
  EXPECT_EQ(form->NormalBounds(), QRect(40, 30, 300, 200));
  const QSize client = form->ClientWidget()->size();
  EXPECT_GT(client.width(), 300);
  EXPECT_EQ(Find<TPanel>(form.get(), "Client1")->BoundsRect(), QRect(QPoint(0, 0), client))
      << "the controls fill the maximised window";

  form->SetWindowState(wsNormal);
  Process();
  EXPECT_FALSE(form->Window()->isMaximized());
  EXPECT_EQ(form->Window()->geometry(), QRect(40, 30, 300, 200));
  EXPECT_EQ(Find<TPanel>(form.get(), "Client1")->BoundsRect(), QRect(0, 0, 300, 200));
}

}  // namespace
