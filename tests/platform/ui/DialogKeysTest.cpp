// Enter and Escape in a window: they press its default and cancel buttons
// unless the focused control or the window's key preview takes the key.
#include "UiTestSupport.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

using namespace uitest;

namespace {

const char* const kWindow = R"(object Dlg: TForm
  ClientWidth = 320
  ClientHeight = 200
  KeyPreview = %1
  OnKeyPress = FormKeyPress
  object Edit1: TEdit
    Left = 8
    Top = 8
  end
  object Memo1: TMemo
    Left = 8
    Top = 40
    Height = 60
  end
  object Panel1: TPanel
    Left = 8
    Top = 120
    Width = 300
    Height = 60
    object OkButton: TButton
      Left = 8
      Top = 8
      Caption = 'Sacuvaj'
      Default = True
      ModalResult = 1
      OnClick = OkClick
    end
    object CancelButton: TButton
      Left = 100
      Top = 8
      Caption = 'Odustani'
      Cancel = True
      ModalResult = 2
      OnClick = CancelClick
    end
    object OtherButton: TButton
      Left = 200
      Top = 8
      Caption = 'Kopiraj'
      OnClick = OtherClick
    end
  end
end)";

class DialogKeysTest : public UiTest {
protected:
  // `swallowEscape` gives the window a key preview that eats Escape, as the
  // language window's does.
  void Build(bool swallowEscape = false) {
    log.clear();
    form = BuildForm(QString::fromLatin1(kWindow).arg(swallowEscape ? "True" : "False"), [this](THandlerTable& t) {
      handlers.Key(t, "FormKeyPress", [this](TObject*, QChar& key) {
        log.push_back(QStringLiteral("preview %1").arg(key.unicode()));
        if (key == QChar(27)) key = QChar(0);
      });
      handlers.Notify(t, "OkClick", [this](TObject*) { log.push_back(QStringLiteral("ok")); });
      handlers.Notify(t, "CancelClick", [this](TObject*) { log.push_back(QStringLiteral("cancel")); });
      handlers.Notify(t, "OtherClick", [this](TObject*) { log.push_back(QStringLiteral("other")); });
    });
    ShowAndActivate(*form);
  }
  // Puts the focus on the control and presses the key there, as the keyboard does.
  void Press(const char* focus, Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    auto* control = Find<TWinControl>(form.get(), focus);
    ASSERT_NE(control, nullptr);
    control->SetFocus();
    Process();
    ASSERT_EQ(QApplication::focusWidget(), control->Widget()) << focus;
    QTest::keyClick(QApplication::focusWidget(), key, mods);
    Process();
  }
  std::unique_ptr<TForm> form;
  std::vector<QString> log;
};

using Log = std::vector<QString>;

TEST_F(DialogKeysTest, EnterAndEscapePressTheDefaultAndCancelButtonsUnlessTheFocusedControlTakesThem) {
  const struct {
    const char* name;
    const char* focus;
    Qt::Key key;
    Qt::KeyboardModifiers mods;
    Log expected;
    int result;
    QString memo;
  } rows[] = {
      {"Enter in an edit", "Edit1", Qt::Key_Return, Qt::NoModifier, {"ok"}, mrOk, ""},
      {"keypad Enter in an edit", "Edit1", Qt::Key_Enter, Qt::KeypadModifier, {"ok"}, mrOk, ""},
      {"Escape in an edit", "Edit1", Qt::Key_Escape, Qt::NoModifier, {"cancel"}, mrCancel, ""},
      {"Enter in a memo is a line break", "Memo1", Qt::Key_Return, Qt::NoModifier, {}, mrNone, "\r\n"},
      {"keypad Enter in a memo too", "Memo1", Qt::Key_Enter, Qt::KeypadModifier, {}, mrNone, "\r\n"},
      {"Escape in a memo", "Memo1", Qt::Key_Escape, Qt::NoModifier, {"cancel"}, mrCancel, ""},
      {"Enter on another button presses that one",
       "OtherButton",
       Qt::Key_Return,
       Qt::NoModifier,
       {"other"},
       mrNone,
       ""},
      {"Escape on the default button", "OkButton", Qt::Key_Escape, Qt::NoModifier, {"cancel"}, mrCancel, ""},
      {"Alt+Enter is no dialog key", "Edit1", Qt::Key_Return, Qt::AltModifier, {}, mrNone, ""},
  };
  for (const auto& r : rows) {
    Build();
    Press(r.focus, r.key, r.mods);
    EXPECT_EQ(log, r.expected) << r.name;
    EXPECT_EQ(form->ModalResult(), r.result) << r.name;
    EXPECT_EQ(Find<TMemo>(form.get(), "Memo1")->Text(), r.memo) << r.name;
  }
}

TEST_F(DialogKeysTest, ADisabledOrHiddenButtonIsNotPressed) {
  const struct {
    const char* name;
    std::function<void(TForm&)> change;
    Qt::Key key;
  } rows[] = {
      {"disabled default button", [](TForm& f) { Find<TButton>(&f, "OkButton")->SetEnabled(false); }, Qt::Key_Return},
      {"hidden cancel button", [](TForm& f) { Find<TButton>(&f, "CancelButton")->SetVisible(false); }, Qt::Key_Escape},
      {"default button on a disabled panel", [](TForm& f) { Find<TPanel>(&f, "Panel1")->SetEnabled(false); },
       Qt::Key_Return},
      {"cancel button on a hidden panel", [](TForm& f) { Find<TPanel>(&f, "Panel1")->SetVisible(false); },
       Qt::Key_Escape},
      {"no longer the default button", [](TForm& f) { Find<TButton>(&f, "OkButton")->SetDefault(false); },
       Qt::Key_Return},
  };
  for (const auto& r : rows) {
    Build();
    r.change(*form);
    Process();
    Press("Edit1", r.key);
    EXPECT_EQ(log, Log{}) << r.name;
    EXPECT_EQ(form->ModalResult(), mrNone) << r.name;
    EXPECT_TRUE(form->Window()->isVisible()) << r.name;
  }
}

TEST_F(DialogKeysTest, TheDefaultButtonLooksDefault) {
  Build();
  auto* ok = static_cast<QPushButton*>(Find<TButton>(form.get(), "OkButton")->Widget());
  auto* cancel = static_cast<QPushButton*>(Find<TButton>(form.get(), "CancelButton")->Widget());
  EXPECT_TRUE(ok->isDefault());
  EXPECT_FALSE(cancel->isDefault());
}

TEST_F(DialogKeysTest, AKeyPreviewThatSwallowsEscapeKeepsItFromTheCancelButton) {
  const struct {
    const char* focus;
    Qt::Key key;
    Log expected;
  } rows[] = {
      {"Edit1", Qt::Key_Escape, {"preview 27"}},
      {"Memo1", Qt::Key_Escape, {"preview 27"}},
      {"CancelButton", Qt::Key_Escape, {"preview 27"}},
      {"Edit1", Qt::Key_Return, {"preview 13", "ok"}},
  };
  for (const auto& r : rows) {
    Build(true);
    Press(r.focus, r.key);
    EXPECT_EQ(log, r.expected) << r.focus << " " << r.key;
    EXPECT_EQ(form->ModalResult(), r.key == Qt::Key_Return ? mrOk : mrNone) << r.focus;
  }
}

}  // namespace
