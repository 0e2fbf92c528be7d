// The error display for exceptions that leave event handlers, and the boxes
// that go through the modal host.
#include "UiTestSupport.h"

#include <QCheckBox>
#include <QPushButton>

#include <stdexcept>

using namespace uitest;

namespace {

const char* const kWindow = R"(object F: TForm
  Caption = 'Prozor'
  OnActivate = Fail
  OnCloseQuery = FailQuery
  OnKeyPress = FailKey
  Menu = MainMenu1
  object Button1: TButton
    Caption = 'Dodaj'
    OnClick = Fail
  end
  object Check1: TCheckBox
    Top = 40
    Caption = 'Omiljeni'
    OnClick = Fail
  end
  object Edit1: TEdit
    Top = 80
    OnChange = Fail
  end
  object Panel1: TPanel
    Top = 120
    OnClick = Fail
  end
  object MainMenu1: TMainMenu
    object File1: TMenuItem
      Caption = 'Program'
      object Item1: TMenuItem
        Caption = 'Novi unos'
        ShortCut = 116
        OnClick = Fail
      end
    end
  end
end)";

class ErrorDisplayTest : public UiTest {
protected:
  void Build() {
    form = BuildForm(QString::fromUtf8(kWindow), [this](THandlerTable& t) {
      handlers.Notify(t, "Fail", [this](TObject*) { Raise(); });
      handlers.CloseQuery(t, "FailQuery", [this](TObject*, bool&) { Raise(); });
      handlers.Key(t, "FailKey", [this](TObject*, QChar&) { Raise(); });
    });
  }
  void Raise() {
    ++calls;
    if (thrower) thrower();
  }
  std::unique_ptr<TForm> form;
  std::function<void()> thrower;
  int calls = 0;
};

struct Source {
  const char* name;
  std::function<void(TForm&)> fire;
};

TEST_F(ErrorDisplayTest, AnExceptionInAnyHandlerIsShownOnceWithItsTextAndTheTitle) {
  const Source sources[] = {
      {"button click", [](TForm& f) { ClickWidget(Find<TButton>(&f, "Button1")->Widget()); }},
      {"check box click", [](TForm& f) { ClickAt(Find<TCheckBox>(&f, "Check1")->Widget(), QPoint(6, 8)); }},
      {"panel click", [](TForm& f) { ClickWidget(Find<TPanel>(&f, "Panel1")->Widget()); }},
      {"edit change by typing", [](TForm& f) { TypeText(Find<TEdit>(&f, "Edit1")->Widget(), QStringLiteral("x")); }},
      {"menu item", [](TForm& f) { Find<TMenuItem>(&f, "Item1")->QtAction()->trigger(); }},
      {"menu shortcut", [](TForm& f) { PressKey(f.Window(), Qt::Key_F5); }},
      {"window activation", [](TForm& f) { f.Activate(); }},
      {"close query", [](TForm& f) { f.Window()->close(); }},
      {"key press",
       [](TForm& f) {
         f.SetKeyPreview(true);
         QWidget* focus = QApplication::focusWidget();
         PressKey(focus ? focus : f.Window(), Qt::Key_Escape, QStringLiteral("\x1b"));
       }},
  };
  const struct {
    const char* name;
    std::function<void()> raise;
    QString text;
  } errors[] = {
      {"system exception", [] { throw EConvertError(QStringLiteral("'abc' is not a valid date")); },
       QStringLiteral("'abc' is not a valid date")},
      {"standard exception", [] { throw std::runtime_error("disk full"); }, QStringLiteral("disk full")},
      {"Serbian text", [] { throw Exception(QStringLiteral("Gre\u0161ka u bazi")); },
       QStringLiteral("Gre\u0161ka u bazi")},
      {"exception without text", [] { throw Exception(QString()); }, QString()},
      {"not an exception object", [] { throw 42; }, QString()},
  };
  for (const Source& s : sources) {
    for (const auto& e : errors) {
      thrower = nullptr;
      Build();
      ShowAndActivate(*form);
      form->Deactivate();
      host.Clear();
      calls = 0;
      thrower = e.raise;
      s.fire(*form);
      Process();
      ASSERT_EQ(host.Errors().size(), 1u) << s.name << ", " << e.name;
      EXPECT_EQ(host.Errors()[0], e.text) << s.name << ", " << e.name;
      EXPECT_EQ(host.ShownOf(ShownBox::Error)[0].caption, QStringLiteral("Notarium Test")) << s.name << ", " << e.name;
      EXPECT_EQ(calls, 1) << s.name << ", " << e.name;
      EXPECT_TRUE(form->Window()->isVisible()) << s.name << ", " << e.name << ": the window stays";
    }
  }
}

TEST_F(ErrorDisplayTest, TheWindowStaysUsableAfterAnError) {
  Build();
  ShowAndActivate(*form);
  calls = 0;
  thrower = [] { throw Exception(QStringLiteral("first")); };
  auto* button = Find<TButton>(form.get(), "Button1");
  ClickWidget(button->Widget());
  ASSERT_EQ(host.Errors(), std::vector<QString>{QStringLiteral("first")});
  EXPECT_FALSE(static_cast<QPushButton*>(button->Widget())->isDown()) << "the button is released again";

  thrower = nullptr;
  ClickWidget(button->Widget());
  EXPECT_EQ(calls, 2) << "the next click works";
  EXPECT_EQ(host.Errors().size(), 1u);
  form->Close();
  EXPECT_FALSE(form->Window()->isVisible()) << "and the window closes when asked";
}

TEST_F(ErrorDisplayTest, AnErrorInTheCreationEventIsShownAndTheWindowStays) {
  auto form = BuildForm(QStringLiteral("object F: TForm\n  OnCreate = FormCreate\nend\n"), [this](THandlerTable& t) {
    handlers.Notify(t, "FormCreate", [](TObject*) { throw Exception(QStringLiteral("no database")); });
  });
  EXPECT_EQ(host.Errors(), std::vector<QString>{QStringLiteral("no database")});
  form->Show();
  EXPECT_TRUE(form->Window()->isVisible());
}

TEST_F(ErrorDisplayTest, AnErrorInAModalWindowsCloseQueryKeepsTheLoopGoing) {
  auto dialog = BuildForm(QStringLiteral(R"(object D: TForm
  OnCloseQuery = Q
  object Ok: TButton
    ModalResult = 1
  end
end)"),
                          [this](THandlerTable& t) {
                            handlers.CloseQuery(t, "Q", [this](TObject*, bool&) {
                              if (++calls == 1) throw Exception(QStringLiteral("save failed"));
                            });
                          });
  host.OnModal([](TCustomForm& f) {
    ClickWidget(Find<TButton>(&f, "Ok")->Widget());
    EXPECT_FALSE(f.ModalLoopDone()) << "a failing close query keeps the window";
    ClickWidget(Find<TButton>(&f, "Ok")->Widget());
  });
  EXPECT_EQ(dialog->ShowModal(), mrOk);
  EXPECT_EQ(host.Errors(), std::vector<QString>{QStringLiteral("save failed")});
}

// A click whose handler sets off other handlers through the controls, and
// an error raised in one of those.
class NestedErrorTest : public UiTest {
protected:
  void Build() {
    form = BuildForm(QStringLiteral(R"(object F: TForm
  object Button1: TButton
    OnClick = Outer
  end
  object Edit1: TEdit
    Top = 30
    OnChange = Inner
  end
  object Memo1: TMemo
    Top = 60
    OnChange = Inner
  end
  object Check1: TCheckBox
    Top = 160
    OnClick = Inner
  end
  object Radio1: TRadioButton
    Top = 190
    OnClick = Inner
  end
  object Pages: TPageControl
    Top = 220
    OnChange = Inner
    object Page1: TTabSheet
    end
    object Page2: TTabSheet
    end
  end
end)"),
                     [this](THandlerTable& t) {
                       handlers.Notify(t, "Outer", [this](TObject*) {
                         log.push_back(QStringLiteral("outer"));
                         step(*form);
                         log.push_back(QStringLiteral("outer goes on"));
                       });
                       handlers.Notify(t, "Inner", [this](TObject* sender) {
                         log.push_back(static_cast<TComponent*>(sender)->Name());
                         inner(*form, static_cast<TComponent*>(sender));
                       });
                     });
  }
  void Click() { ClickWidget(Find<TButton>(form.get(), "Button1")->Widget()); }

  std::unique_ptr<TForm> form;
  std::vector<QString> log;
  std::function<void(TForm&)> step;
  std::function<void(TForm&, TComponent*)> inner;
};

struct NestedStep {
  const char* name;
  std::function<void(TForm&)> run;
  QString inner;  // the control whose handler runs
};

TEST_F(NestedErrorTest, AnErrorInAHandlerSetOffByAnotherStopsTheWholeActionAndIsShownOnce) {
  const NestedStep steps[] = {
      {"edit text", [](TForm& f) { Find<TEdit>(&f, "Edit1")->SetText(QStringLiteral("x")); }, QStringLiteral("Edit1")},
      {"memo text", [](TForm& f) { Find<TMemo>(&f, "Memo1")->SetText(QStringLiteral("x")); }, QStringLiteral("Memo1")},
      {"check box", [](TForm& f) { Find<TCheckBox>(&f, "Check1")->SetChecked(true); }, QStringLiteral("Check1")},
      {"radio button", [](TForm& f) { Find<TRadioButton>(&f, "Radio1")->SetChecked(true); }, QStringLiteral("Radio1")},
      {"active page", [](TForm& f) { Find<TPageControl>(&f, "Pages")->SetActivePageIndex(1); },
       QStringLiteral("Pages")},
  };
  for (const NestedStep& s : steps) {
    SCOPED_TRACE(s.name);
    Build();
    ShowAndActivate(*form);
    host.Clear();
    log.clear();
    step = s.run;
    inner = [](TForm&, TComponent*) { throw Exception(QStringLiteral("Gre\u0161ka u bazi")); };
    Click();
    Process();
    EXPECT_EQ(log, (std::vector<QString>{QStringLiteral("outer"), s.inner}))
        << "the outer handler stops at the failing step";
    EXPECT_EQ(host.Errors(), std::vector<QString>{QStringLiteral("Gre\u0161ka u bazi")});
  }
}

TEST_F(NestedErrorTest, AnErrorTwoLevelsDownStopsEveryHandlerAbove) {
  Build();
  ShowAndActivate(*form);
  host.Clear();
  step = [](TForm& f) { Find<TEdit>(&f, "Edit1")->SetText(QStringLiteral("x")); };
  inner = [this](TForm& f, TComponent* sender) {
    if (sender->Name() == QLatin1String("Edit1")) {
      Find<TCheckBox>(&f, "Check1")->SetChecked(true);
      log.push_back(QStringLiteral("Edit1 goes on"));
    } else {
      throw EConvertError(QStringLiteral("'x' is not a valid integer value"));
    }
  };
  Click();
  EXPECT_EQ(log, (std::vector<QString>{QStringLiteral("outer"), QStringLiteral("Edit1"), QStringLiteral("Check1")}));
  EXPECT_EQ(host.Errors(), std::vector<QString>{QStringLiteral("'x' is not a valid integer value")});
}

TEST_F(NestedErrorTest, AModalWindowOpenedByAHandlerShowsItsOwnErrorsAtOnce) {
  Build();
  ShowAndActivate(*form);
  auto dialog =
      BuildForm(QStringLiteral("object D: TForm\n  object Fail: TButton\n    OnClick = DialogFails\n  end\nend\n"),
                [this](THandlerTable& t) {
                  handlers.Notify(t, "DialogFails", [](TObject*) { throw Exception(QStringLiteral("in the dialog")); });
                });
  host.Clear();
  host.OnModal([this](TCustomForm& f) {
    ClickWidget(Find<TButton>(&f, "Fail")->Widget());
    log.push_back(QStringLiteral("shown: ") + (host.Errors().empty() ? QString() : host.Errors().back()));
    f.SetModalResult(mrOk);
  });
  step = [&](TForm&) { dialog->ShowModal(); };
  Click();
  EXPECT_EQ(log, (std::vector<QString>{QStringLiteral("outer"), QStringLiteral("shown: in the dialog"),
                                       QStringLiteral("outer goes on")}))
      << "the dialog's error is an action of its own; the handler that opened it goes on";
  EXPECT_EQ(host.Errors(), std::vector<QString>{QStringLiteral("in the dialog")});
}

TEST_F(ErrorDisplayTest, ApplicationShowsExceptionsWithItsTitle) {
  Application->SetTitle(QStringLiteral("Notarium 1.0"));
  Application->HandleException(std::make_exception_ptr(EListError(QStringLiteral("List index out of bounds (3)"))));
  Application->HandleException(std::exception_ptr());
  ASSERT_EQ(host.ShownOf(ShownBox::Error).size(), 2u);
  EXPECT_EQ(host.ShownOf(ShownBox::Error)[0].text, QStringLiteral("List index out of bounds (3)"));
  EXPECT_EQ(host.ShownOf(ShownBox::Error)[0].caption, QStringLiteral("Notarium 1.0"));
  EXPECT_EQ(host.ShownOf(ShownBox::Error)[1].text, QString());
}

// ---------------------------------------------------------------- boxes

class BoxTest : public UiTest {};

TEST_F(BoxTest, MessageBoxPassesTextCaptionAndButtonsAndReturnsTheAnswer) {
  const struct {
    TMsgButtons buttons;
    int answer;
  } rows[] = {
      {TMsgButtons::YesNo, mrYes},      {TMsgButtons::YesNo, mrNo},           {TMsgButtons::YesNoCancel, mrYes},
      {TMsgButtons::YesNoCancel, mrNo}, {TMsgButtons::YesNoCancel, mrCancel}, {TMsgButtons::OK, mrOk},
  };
  for (const auto& r : rows) {
    host.Clear();
    host.Answer(r.answer);
    EXPECT_EQ(MessageBox(QStringLiteral("Obrisati zapis?"), QStringLiteral("Potvrda"), r.buttons), r.answer);
    ASSERT_EQ(host.Shown().size(), 1u);
    const ShownBox& box = host.Shown()[0];
    EXPECT_EQ(box.kind, ShownBox::Message);
    EXPECT_EQ(box.text, QStringLiteral("Obrisati zapis?"));
    EXPECT_EQ(box.caption, QStringLiteral("Potvrda"));
    EXPECT_EQ(box.buttons, r.buttons);
  }
}

TEST_F(BoxTest, ShowMessageIsANoticeCaptionedWithTheTitle) {
  Application->SetTitle(QStringLiteral("Notarium 1.0"));
  ShowMessage(QStringLiteral("Sa\u010duvano."));
  ASSERT_EQ(host.ShownOf(ShownBox::Notice).size(), 1u);
  EXPECT_EQ(host.ShownOf(ShownBox::Notice)[0].text, QStringLiteral("Sa\u010duvano."));
  EXPECT_EQ(host.ShownOf(ShownBox::Notice)[0].caption, QStringLiteral("Notarium 1.0"));
}

// Records the value the input box starts with.
class InputRecordingHost : public TestModalHost {
public:
  bool InputQuery(const QString& caption, const QString& prompt, QString& value) override {
    started.push_back(value);
    return TestModalHost::InputQuery(caption, prompt, value);
  }
  std::vector<QString> started;
};

TEST(InputQueryTest, StartsWithTheGivenValueAndReturnsTheAnswer) {
  InputRecordingHost host;
  QString value = QStringLiteral("Recepti");
  host.AnswerInput(true, QStringLiteral("Kuvar"));
  EXPECT_TRUE(InputQuery(QStringLiteral("Kategorija"), QStringLiteral("Naziv:"), value));
  EXPECT_EQ(value, QStringLiteral("Kuvar"));
  host.AnswerInput(false, QStringLiteral("ignored"));
  EXPECT_FALSE(InputQuery(QStringLiteral("Kategorija"), QStringLiteral("Naziv:"), value));
  EXPECT_EQ(value, QStringLiteral("Kuvar")) << "a cancelled box leaves the value";
  EXPECT_EQ(host.started, (std::vector<QString>{QStringLiteral("Recepti"), QStringLiteral("Kuvar")}));
  ASSERT_EQ(host.ShownOf(ShownBox::Input).size(), 2u);
  EXPECT_EQ(host.ShownOf(ShownBox::Input)[0].caption, QStringLiteral("Kategorija"));
  EXPECT_EQ(host.ShownOf(ShownBox::Input)[0].text, QStringLiteral("Naziv:"));
}

TEST_F(BoxTest, FontAndColourDialogsStartFromTheirValueAndTakeTheChoice) {
  TFontDialog fonts;
  fonts.Font()->SetName(QStringLiteral("Verdana"));
  host.AnswerFont([](TFont& f) {
    f.SetName(QStringLiteral("Arial"));
    f.SetHeight(-16);
  });
  EXPECT_TRUE(fonts.Execute());
  EXPECT_EQ(fonts.Font()->Name(), QStringLiteral("Arial"));
  EXPECT_EQ(fonts.Font()->Height(), -16);
  EXPECT_EQ(host.ShownOf(ShownBox::Font)[0].text, QStringLiteral("Verdana"));
  EXPECT_FALSE(fonts.Execute()) << "cancelled";
  EXPECT_EQ(fonts.Font()->Name(), QStringLiteral("Arial"));

  TColorDialog colors;
  colors.SetColor(clCream);
  host.AnswerColor(12615680);
  EXPECT_TRUE(colors.Execute());
  EXPECT_EQ(colors.Color(), 12615680);
  EXPECT_EQ(host.ShownOf(ShownBox::Color)[0].text, QString::number(clCream));
  EXPECT_FALSE(colors.Execute());
  EXPECT_EQ(colors.Color(), 12615680);
}

}  // namespace
