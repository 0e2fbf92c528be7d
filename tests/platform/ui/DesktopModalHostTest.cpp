// The desktop's modal host with real boxes and the real modal loop, answered
// as a person would: a driver acts on the modal widget from inside its loop.
#include "UiTestSupport.h"

#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace uitest;

namespace {

// Answers the next modal box or window once its modal loop runs. The steps
// run one per turn of that loop; a step that returns false (its box is not
// up yet, or not in the state it waits for) is tried again on the next turn,
// a bounded number of times. A box that never comes, or never closes, is
// rejected by a safety timer and the test fails instead of hanging; the
// timer goes on closing it while a close query refuses.
class ModalDriver : public QObject {
public:
  using Step = std::function<bool(QWidget* modal)>;

  explicit ModalDriver(std::vector<Step> steps) : FSteps(std::move(steps)) {
    FSafety.setSingleShot(true);
    QObject::connect(&FSafety, &QTimer::timeout, this, [this] { GiveUp("the modal widget was still open"); });
    FSafety.start(10000);
    Post();
  }
  ~ModalDriver() override {
    FSafety.stop();
    EXPECT_EQ(FNext, FSteps.size()) << "steps left undone";
  }

  // The steps, each a person's action on the modal widget. They wait until
  // it is up and active, so that keys go where the focus is.
  static Step Ready(std::function<void(QWidget*)> act) {
    return [act = std::move(act)](QWidget* modal) {
      if (!modal) return false;
      if (QApplication::activeWindow() != modal) {
        modal->activateWindow();
        return false;
      }
      act(modal);
      return true;
    };
  }
  static Step Key(Qt::Key key) {
    return Ready([key](QWidget* modal) {
      QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : modal;
      QTest::keyClick(target, key);
    });
  }
  static Step Click(QMessageBox::StandardButton which) {
    return Ready([which](QWidget* modal) {
      auto* box = qobject_cast<QMessageBox*>(modal);
      ASSERT_NE(box, nullptr) << "a message box";
      ASSERT_NE(box->button(which), nullptr);
      QTest::mouseClick(box->button(which), Qt::LeftButton);
    });
  }
  static Step CloseBox() {
    return Ready([](QWidget* modal) { modal->close(); });
  }

private:
  void Post() {
    QMetaObject::invokeMethod(
        this, [this] { Turn(); }, Qt::QueuedConnection);
  }
  void Turn() {
    if (FNext >= FSteps.size()) return;
    if (FSteps[FNext](QApplication::activeModalWidget())) {
      ++FNext;
      FTries = 0;
    } else if (++FTries > 500) {
      GiveUp("a step never found the modal widget it waits for");
      return;
    }
    if (FNext < FSteps.size()) Post();
  }
  void GiveUp(const char* why) {
    if (!FGaveUp) ADD_FAILURE() << why << " (step " << FNext << ")";
    FGaveUp = true;
    FNext = FSteps.size();
    if (QWidget* modal = QApplication::activeModalWidget()) {
      if (auto* dialog = qobject_cast<QDialog*>(modal))
        dialog->reject();
      else
        modal->close();
      FSafety.start(100);
    }
  }

  std::vector<Step> FSteps;
  size_t FNext = 0;
  int FTries = 0;
  bool FGaveUp = false;
  QTimer FSafety;
};

class DesktopModalHostTest : public UiTest {
protected:
  void SetUp() override { previous = Application->SetModalHost(nullptr); }
  void TearDown() override { Application->SetModalHost(previous); }
  IModalHost* previous = nullptr;
};

TEST_F(DesktopModalHostTest, MessageBoxesAnswerWithTheButtonAPersonChose) {
  using Box = QMessageBox;
  const struct {
    const char* name;
    TMsgButtons buttons;
    ModalDriver::Step answer;
    int expected;
  } rows[] = {
      {"Yes of Yes/No", TMsgButtons::YesNo, ModalDriver::Click(Box::Yes), mrYes},
      {"No of Yes/No", TMsgButtons::YesNo, ModalDriver::Click(Box::No), mrNo},
      {"Escape on Yes/No", TMsgButtons::YesNo, ModalDriver::Key(Qt::Key_Escape), mrNo},
      {"closing Yes/No", TMsgButtons::YesNo, ModalDriver::CloseBox(), mrNo},
      {"Yes of Yes/No/Cancel", TMsgButtons::YesNoCancel, ModalDriver::Click(Box::Yes), mrYes},
      {"No of Yes/No/Cancel", TMsgButtons::YesNoCancel, ModalDriver::Click(Box::No), mrNo},
      {"Cancel of Yes/No/Cancel", TMsgButtons::YesNoCancel, ModalDriver::Click(Box::Cancel), mrCancel},
      {"Escape on Yes/No/Cancel", TMsgButtons::YesNoCancel, ModalDriver::Key(Qt::Key_Escape), mrCancel},
      {"closing Yes/No/Cancel", TMsgButtons::YesNoCancel, ModalDriver::CloseBox(), mrCancel},
      {"Enter on OK", TMsgButtons::OK, ModalDriver::Key(Qt::Key_Return), mrOk},
  };
  Application->SetTitle(QStringLiteral("Notarium 1.0"));
  // The title never becomes the display name, which Qt would append to
  // every box's caption.
  EXPECT_NE(QGuiApplication::applicationDisplayName(), QStringLiteral("Notarium 1.0"));
  for (const auto& r : rows) {
    QStringList seen;
    ModalDriver driver({
        ModalDriver::Ready([&](QWidget* modal) {
          auto* box = qobject_cast<QMessageBox*>(modal);
          ASSERT_NE(box, nullptr);
          seen << box->windowTitle() << box->text();
          for (QAbstractButton* b : box->buttons()) seen << QString::number(box->standardButton(b));
        }),
        r.answer,
    });
    EXPECT_EQ(MessageBox(QStringLiteral("Sačuvati izmjene?"), QStringLiteral("Potvrda"), r.buttons), r.expected)
        << r.name;
    ASSERT_GE(seen.size(), 2) << r.name;
    EXPECT_EQ(seen[0], QStringLiteral("Potvrda")) << r.name << ": the caption as given";
    EXPECT_EQ(seen[1], QStringLiteral("Sačuvati izmjene?")) << r.name;
    const int buttons = r.buttons == TMsgButtons::OK ? 1 : r.buttons == TMsgButtons::YesNo ? 2 : 3;
    EXPECT_EQ(seen.size() - 2, buttons) << r.name;
  }
}

TEST_F(DesktopModalHostTest, TheNoticeIsCaptionedWithTheTitle) {
  Application->SetTitle(QStringLiteral("Notarium 1.0"));
  QString caption;
  ModalDriver driver({ModalDriver::Ready([&](QWidget* modal) { caption = modal->windowTitle(); }),
                      ModalDriver::Click(QMessageBox::Ok)});
  ShowMessage(QStringLiteral("Morate odabrati kategoriju i unijeti naslov!"));
  EXPECT_EQ(caption, QStringLiteral("Notarium 1.0"));
}

TEST_F(DesktopModalHostTest, TheInputBoxReturnsTheTypedTextOnOkOnly) {
  const auto typeAndPress = [](QString text, ModalDriver::Step press) {
    return std::vector<ModalDriver::Step>{
        ModalDriver::Ready([text](QWidget* modal) {
          auto* field = modal->findChild<QLineEdit*>();
          ASSERT_NE(field, nullptr);
          EXPECT_EQ(field->text(), QStringLiteral("Staro ime")) << "the field starts with the value";
          QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
          if (text.isEmpty())
            QTest::keyClick(field, Qt::Key_Delete);
          else
            QTest::keyClicks(field, text);
        }),
        press,
    };
  };
  const auto clickBoxButton = [](QDialogButtonBox::StandardButton which) {
    return ModalDriver::Ready([which](QWidget* modal) {
      auto* buttons = modal->findChild<QDialogButtonBox*>();
      ASSERT_NE(buttons, nullptr);
      QTest::mouseClick(buttons->button(which), Qt::LeftButton);
    });
  };
  const struct {
    const char* name;
    std::vector<ModalDriver::Step> steps;
    bool ok;
    QString value;
  } rows[] = {
      {"OK", typeAndPress(QStringLiteral("Recepti"), clickBoxButton(QDialogButtonBox::Ok)), true, "Recepti"},
      {"Enter", typeAndPress(QStringLiteral("Pesme"), ModalDriver::Key(Qt::Key_Return)), true, "Pesme"},
      {"OK on an emptied field", typeAndPress(QString(), ModalDriver::Key(Qt::Key_Return)), true, ""},
      {"Cancel", typeAndPress(QStringLiteral("Recepti"), clickBoxButton(QDialogButtonBox::Cancel)), false, "Staro ime"},
      {"Escape", typeAndPress(QStringLiteral("Recepti"), ModalDriver::Key(Qt::Key_Escape)), false, "Staro ime"},
  };
  for (const auto& r : rows) {
    QString value = QStringLiteral("Staro ime");
    bool ok = false;
    {
      ModalDriver driver(r.steps);
      ok = InputQuery(QStringLiteral("Novo ime"), QStringLiteral("Unesite novo ime"), value);
    }
    EXPECT_EQ(ok, r.ok) << r.name;
    EXPECT_EQ(value, r.value) << r.name;
  }
}

// ---------------------------------------------------------------- the modal loop

const char* const kDialog = R"(object Dlg: TForm
  Caption = 'Kategorije'
  ClientWidth = 300
  ClientHeight = 140
  KeyPreview = %1
  OnKeyPress = FormKeyPress
  OnCloseQuery = FormCloseQuery
  object Name1: TEdit
    Left = 8
    Top = 8
  end
  object Serbian: TRadioButton
    Left = 8
    Top = 40
    Caption = 'Srpski'
  end
  object OkButton: TButton
    Left = 8
    Top = 100
    Caption = 'OK'
    Default = True
    ModalResult = 1
    OnClick = OkClick
  end
  object CancelButton: TButton
    Left = 100
    Top = 100
    Caption = 'Odustani'
    Cancel = True
    ModalResult = 2
    OnClick = CancelClick
  end
end)";

class ModalLoopTest : public DesktopModalHostTest {
protected:
  void SetUp() override {
    DesktopModalHostTest::SetUp();
    owner = std::make_unique<TForm>();
    owner->Show();
    Process();
  }
  // The dialog, owned by the shown window. `closeOnEscape` gives it the
  // language window's key preview: Escape is swallowed and closes it.
  TForm* Build(bool closeOnEscape) {
    auto* dialog = new TForm(owner.get());
    handlers.Key(dialog->Handlers(), "FormKeyPress", [dialog, this](TObject*, QChar& key) {
      if (key != QChar(27)) return;
      key = QChar(0);
      log << QStringLiteral("escape");
      dialog->Close();
    });
    handlers.CloseQuery(dialog->Handlers(), "FormCloseQuery", [this](TObject*, bool& canClose) {
      ++queries;
      canClose = queries > vetoes;
    });
    handlers.Notify(dialog->Handlers(), "OkClick", [this](TObject*) { log << QStringLiteral("ok"); });
    handlers.Notify(dialog->Handlers(), "CancelClick", [this](TObject*) { log << QStringLiteral("cancel"); });
    LoadWindowDefinitionText(dialog, QString::fromLatin1(kDialog).arg(closeOnEscape ? "True" : "False"),
                             QStringLiteral("Dlg.def"));
    dialog->AfterConstruction();
    return dialog;
  }
  // Focuses the named control, then presses the key there.
  static ModalDriver::Step KeyOn(TForm* dialog, const char* control, Qt::Key key) {
    return ModalDriver::Ready([=](QWidget*) {
      auto* c = Find<TWinControl>(dialog, control);
      c->SetFocus();
      Process();
      ASSERT_EQ(QApplication::focusWidget(), c->Widget());
      QTest::keyClick(c->Widget(), key);
    });
  }
  std::unique_ptr<TForm> owner;
  QStringList log;
  int queries = 0, vetoes = 0;
};

TEST_F(ModalLoopTest, EscapeAndEnterCloseTheWindowWithTheirButtonsResult) {
  const struct {
    const char* control;
    Qt::Key key;
    int expected;
    QStringList log;
  } rows[] = {
      {"Name1", Qt::Key_Escape, mrCancel, {"cancel"}},
      {"Name1", Qt::Key_Return, mrOk, {"ok"}},
      {"Serbian", Qt::Key_Enter, mrOk, {"ok"}},
      {"OkButton", Qt::Key_Escape, mrCancel, {"cancel"}},
  };
  for (const auto& r : rows) {
    TForm* dialog = Build(false);
    log.clear();
    queries = 0;
    bool modalAboveOwner = false;
    ModalDriver driver({ModalDriver::Ready([&](QWidget* modal) {
                          modalAboveOwner = modal == dialog->Window() && dialog->IsModal() &&
                                            modal->parentWidget() == owner->Window();
                        }),
                        KeyOn(dialog, r.control, r.key)});
    EXPECT_EQ(dialog->ShowModal(), r.expected) << r.control << " " << r.key;
    EXPECT_TRUE(modalAboveOwner) << "the modal window is the owner's dialog";
    EXPECT_EQ(log, r.log) << r.control << " " << r.key;
    EXPECT_EQ(queries, 1);
    EXPECT_FALSE(dialog->Window()->isVisible());
    delete dialog;
  }
}

TEST_F(ModalLoopTest, TheCloseQueryKeepsItOpenUntilASecondTry) {
  TForm* dialog = Build(false);
  vetoes = 1;
  ModalDriver driver({
      KeyOn(dialog, "Name1", Qt::Key_Return),
      // Waits for the loop to have asked and been refused.
      [&](QWidget* modal) {
        if (queries < 1) return false;
        EXPECT_EQ(modal, dialog->Window());
        EXPECT_TRUE(dialog->Window()->isVisible()) << "still open after the refusal";
        EXPECT_EQ(dialog->ModalResult(), mrNone);
        return true;
      },
      KeyOn(dialog, "Name1", Qt::Key_Return),
  });
  EXPECT_EQ(dialog->ShowModal(), mrOk);
  EXPECT_EQ(queries, 2);
  EXPECT_EQ(log, (QStringList{"ok", "ok"}));
  delete dialog;
}

TEST_F(ModalLoopTest, AKeyPreviewClosesOnEscapeWhicheverControlHasTheFocus) {
  for (const char* control : {"Name1", "Serbian", "OkButton", "CancelButton"}) {
    TForm* dialog = Build(true);
    log.clear();
    ModalDriver driver({KeyOn(dialog, control, Qt::Key_Escape)});
    EXPECT_EQ(dialog->ShowModal(), mrCancel) << control;
    EXPECT_EQ(log, QStringList{"escape"}) << control << ": the cancel button's click never came";
    delete dialog;
  }
}

}  // namespace
