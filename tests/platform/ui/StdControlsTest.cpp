// The standard controls on their real widgets: edits, memos, buttons, check
// and radio buttons, labels.
#include "UiTestSupport.h"

#include <QCheckBox>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>

using namespace uitest;

namespace {

class StdControlsTest : public UiTest {};

// ---------------------------------------------------------------- TEdit

TEST_F(StdControlsTest, EditRunsOnChangeForTypingAndForSettingText) {
  int changes = 0;
  auto form = BuildForm(QStringLiteral(R"(object F: TForm
  object Edit1: TEdit
    Text = 'loaded'
    OnChange = Edit1Change
  end
end)"),
                        [&](THandlerTable& t) { handlers.Notify(t, "Edit1Change", [&](TObject*) { ++changes; }); });
  auto* edit = Find<TEdit>(form.get(), "Edit1");
  EXPECT_EQ(changes, 0) << "the text a definition sets is no change";
  EXPECT_EQ(edit->Text(), QStringLiteral("loaded"));

  edit->SetText(QStringLiteral("abc"));
  EXPECT_EQ(changes, 1);
  edit->SetText(QStringLiteral("abc"));
  EXPECT_EQ(changes, 1) << "the same text again is no change";

  TypeText(edit->Widget(), QStringLiteral("de"));
  EXPECT_EQ(edit->Text(), QStringLiteral("abcde"));
  EXPECT_EQ(changes, 3) << "one change per typed character";

  edit->Clear();
  EXPECT_EQ(edit->Text(), QString());
  EXPECT_EQ(changes, 4);
}

struct KeyCase {
  const char* name;
  int key;
  QString text;
  QChar expectedChar;    // what the handler sees
  QChar answer;          // what the handler leaves
  QString expectedText;  // the edit's text afterwards, starting from "ab"
};

TEST_F(StdControlsTest, EditOnKeyPressSeesTheCharacterAndMaySwallowOrReplaceIt) {
  const KeyCase cases[] = {
      {"Enter is 13", Qt::Key_Return, QStringLiteral("\r"), QChar(13), QChar(13), QStringLiteral("ab")},
      {"keypad Enter is 13", Qt::Key_Enter, QStringLiteral("\r"), QChar(13), QChar(13), QStringLiteral("ab")},
      {"a letter passes", Qt::Key_C, QStringLiteral("c"), QChar(u'c'), QChar(u'c'), QStringLiteral("abc")},
      {"a swallowed letter", Qt::Key_X, QStringLiteral("x"), QChar(u'x'), QChar(0), QStringLiteral("ab")},
      {"a replaced letter", Qt::Key_X, QStringLiteral("x"), QChar(u'x'), QChar(u'y'), QStringLiteral("aby")},
      {"a Serbian letter", Qt::Key_unknown, QStringLiteral("\u0161"), QChar(0x0161), QChar(0x0161),
       QStringLiteral("ab\u0161")},
      {"Backspace is 8", Qt::Key_Backspace, QString(), QChar(8), QChar(8), QStringLiteral("a")},
      {"a swallowed Backspace", Qt::Key_Backspace, QString(), QChar(8), QChar(0), QStringLiteral("ab")},
  };
  for (const KeyCase& c : cases) {
    std::vector<QChar> seen;
    TEdit edit;
    edit.SetText(QStringLiteral("ab"));
    edit.SetOnKeyPress(TKeyPressEvent{[&](TObject* sender, QChar& key) {
                                        EXPECT_EQ(sender, &edit) << c.name;
                                        seen.push_back(key);
                                        key = c.answer;
                                      },
                                      QStringLiteral("Edit1KeyPress")});
    PressKey(edit.Widget(), c.key, c.text);
    ASSERT_EQ(seen.size(), 1u) << c.name;
    EXPECT_EQ(seen[0], c.expectedChar) << c.name;
    EXPECT_EQ(edit.Text(), c.expectedText) << c.name;
  }
}

TEST_F(StdControlsTest, EditReadOnlyAndMaxLengthHoldAgainstTyping) {
  TEdit edit;
  edit.SetMaxLength(3);
  TypeText(edit.Widget(), QStringLiteral("abcdef"));
  EXPECT_EQ(edit.Text(), QStringLiteral("abc"));
  EXPECT_EQ(edit.MaxLength(), 3);
  edit.SetMaxLength(0);
  EXPECT_EQ(edit.MaxLength(), 0);
  edit.SetReadOnly(true);
  TypeText(edit.Widget(), QStringLiteral("x"));
  EXPECT_EQ(edit.Text(), QStringLiteral("abc"));
  edit.SetText(QStringLiteral("program"));
  EXPECT_EQ(edit.Text(), QStringLiteral("program")) << "ReadOnly stops the user, not the program";
}

// ---------------------------------------------------------------- TMemo

TEST_F(StdControlsTest, MemoLinesAndTextAreJoinedByCrLf) {
  auto form = BuildForm(QStringLiteral(R"(object F: TForm
  object Memo1: TMemo
    Lines = ('first' 'second' '')
  end
end)"));
  auto* memo = Find<TMemo>(form.get(), "Memo1");
  EXPECT_EQ(memo->Lines()->Count(), 3);
  EXPECT_EQ(memo->Text(), QStringLiteral("first\r\nsecond\r\n"));

  memo->SetText(QStringLiteral("one\r\ntwo\nthree\rfour"));
  ASSERT_EQ(memo->Lines()->Count(), 4);
  EXPECT_EQ(memo->Lines()->Get(1), QStringLiteral("two"));
  EXPECT_EQ(memo->Lines()->Get(3), QStringLiteral("four"));
  EXPECT_EQ(memo->Text(), QStringLiteral("one\r\ntwo\r\nthree\r\nfour"));
  EXPECT_EQ(memo->Editor()->toPlainText(), QStringLiteral("one\ntwo\nthree\nfour"));

  memo->Lines()->Put(0, QStringLiteral("ONE"));
  memo->Lines()->Delete(2);
  memo->Lines()->Add(QStringLiteral("five"));
  EXPECT_EQ(memo->Text(), QStringLiteral("ONE\r\ntwo\r\nfour\r\nfive"));
  EXPECT_THROW(memo->Lines()->Get(4), EListError);
}

TEST_F(StdControlsTest, MemoLinesKeepALeadingEmptyLine) {
  TMemo memo;
  memo.Lines()->Add(QString());
  EXPECT_EQ(memo.Lines()->Count(), 1) << "one empty line is a line";
  memo.Lines()->Add(QStringLiteral("second"));
  EXPECT_EQ(memo.Lines()->Count(), 2);
  EXPECT_EQ(memo.Text(), QStringLiteral("\r\nsecond"));

  TMemo copy;
  TStringList lines(QStringList{QString(), QStringLiteral("b")});
  copy.SetLines(&lines);
  EXPECT_EQ(copy.Text(), QStringLiteral("\r\nb"));
  copy.Clear();
  EXPECT_EQ(copy.Lines()->Count(), 0);
  EXPECT_EQ(copy.Text(), QString());
}

TEST_F(StdControlsTest, MemoModifiedIsSetByTheUserAndClearedByTheProgram) {
  int changes = 0;
  TMemo memo;
  memo.SetOnChange(TNotifyEvent{[&](TObject*) { ++changes; }, QStringLiteral("Memo1Change")});
  memo.SetText(QStringLiteral("body"));
  EXPECT_FALSE(memo.Modified());
  EXPECT_EQ(changes, 1);

  TypeText(memo.Editor(), QStringLiteral("x"));
  EXPECT_TRUE(memo.Modified()) << "typing modifies";
  EXPECT_EQ(changes, 2);
  EXPECT_EQ(memo.Text(), QStringLiteral("xbody"));
  PressKey(memo.Editor(), Qt::Key_Return, QStringLiteral("\r"));
  EXPECT_EQ(memo.Text(), QStringLiteral("x\r\nbody")) << "Enter breaks the line";

  memo.SetText(QStringLiteral("new"));
  EXPECT_FALSE(memo.Modified());
  memo.SetText(QStringLiteral("new"));
  EXPECT_FALSE(memo.Modified());
  memo.SetModified(true);
  EXPECT_TRUE(memo.Modified());
  memo.Lines()->Add(QStringLiteral("more"));
  EXPECT_FALSE(memo.Modified()) << "lines the program adds are no user edit";
}

TEST_F(StdControlsTest, MemoWordWrapReadOnlyAndScrollBarsReachTheEditor) {
  auto form = BuildForm(QStringLiteral(R"(object F: TForm
  object Memo1: TMemo
    ReadOnly = True
    ScrollBars = ssVertical
    WordWrap = False
  end
end)"));
  auto* memo = Find<TMemo>(form.get(), "Memo1");
  QPlainTextEdit* editor = memo->Editor();
  EXPECT_EQ(editor->lineWrapMode(), QPlainTextEdit::NoWrap);
  EXPECT_TRUE(editor->isReadOnly());
  TypeText(editor, QStringLiteral("x"));
  EXPECT_EQ(memo->Text(), QString()) << "a read-only memo takes no typing";
  EXPECT_FALSE(memo->Modified());
  // ...but is read with the keys: the caret moves and text is selected.
  memo->SetText(QStringLiteral("first line\nsecond line"));
  QTest::keyClick(editor, Qt::Key_End, Qt::ControlModifier);
  EXPECT_EQ(editor->textCursor().position(), editor->toPlainText().size()) << "Ctrl+End reaches the end";
  QTest::keyClick(editor, Qt::Key_Home, Qt::ShiftModifier);
  EXPECT_EQ(memo->SelText(), QStringLiteral("second line"));
  EXPECT_TRUE(editor->tabChangesFocus()) << "Tab moves on; a memo takes no tab characters";
  memo->SetWordWrap(true);
  EXPECT_EQ(editor->lineWrapMode(), QPlainTextEdit::WidgetWidth);

  struct {
    TScrollStyle style;
    Qt::ScrollBarPolicy vertical, horizontal;
  } const rows[] = {
      {ssNone, Qt::ScrollBarAlwaysOff, Qt::ScrollBarAlwaysOff},
      {ssVertical, Qt::ScrollBarAlwaysOn, Qt::ScrollBarAlwaysOff},
      {ssHorizontal, Qt::ScrollBarAlwaysOff, Qt::ScrollBarAlwaysOn},
      {ssBoth, Qt::ScrollBarAlwaysOn, Qt::ScrollBarAlwaysOn},
  };
  for (const auto& r : rows) {
    memo->SetScrollBars(r.style);
    EXPECT_EQ(editor->verticalScrollBarPolicy(), r.vertical) << "style " << r.style;
    EXPECT_EQ(editor->horizontalScrollBarPolicy(), r.horizontal) << "style " << r.style;
  }
}

// ---------------------------------------------------------------- buttons

TEST_F(StdControlsTest, ButtonClickRunsOnClickOnceAndNotWhenDisabled) {
  std::vector<TObject*> clicks;
  auto form = BuildForm(QStringLiteral(R"(object F: TForm
  object Button1: TButton
    Caption = '&Dodaj'
    OnClick = Button1Click
  end
end)"),
                        [&](THandlerTable& t) {
                          handlers.Notify(t, "Button1Click", [&](TObject* sender) { clicks.push_back(sender); });
                        });
  auto* button = Find<TButton>(form.get(), "Button1");
  form->Show();
  Process();
  ClickWidget(button->Widget());
  ASSERT_EQ(clicks.size(), 1u);
  EXPECT_EQ(clicks[0], button);
  button->SetEnabled(false);
  ClickWidget(button->Widget());
  EXPECT_EQ(clicks.size(), 1u) << "a disabled button does not click";
  button->SetEnabled(true);
  static_cast<QPushButton*>(button->Widget())->click();
  EXPECT_EQ(clicks.size(), 2u);
  EXPECT_EQ(button->Caption(), QStringLiteral("&Dodaj"));
}

TEST_F(StdControlsTest, CheckBoxCheckedRunsOnClickButNotWhileLoading) {
  int clicks = 0;
  auto form = BuildForm(QStringLiteral(R"(object F: TForm
  object Check1: TCheckBox
    Caption = 'Omiljeni'
    Checked = True
    OnClick = Check1Click
  end
end)"),
                        [&](THandlerTable& t) { handlers.Notify(t, "Check1Click", [&](TObject*) { ++clicks; }); });
  auto* check = Find<TCheckBox>(form.get(), "Check1");
  EXPECT_TRUE(check->Checked());
  EXPECT_EQ(clicks, 0);
  check->SetChecked(false);
  EXPECT_FALSE(check->Checked());
  EXPECT_EQ(clicks, 1);
  check->SetChecked(false);
  EXPECT_EQ(clicks, 1) << "no change, no click";
  form->Show();
  Process();
  ClickAt(check->Widget(), QPoint(6, 8));
  EXPECT_TRUE(check->Checked()) << "a click toggles";
  EXPECT_EQ(clicks, 2);
  check->SetState(cbGrayed);
  EXPECT_EQ(check->State(), cbGrayed);
  EXPECT_FALSE(check->Checked());
  check->SetState(cbChecked);
  EXPECT_EQ(check->State(), cbChecked);
}

TEST_F(StdControlsTest, RadioButtonsOfOneParentExcludeEachOther) {
  std::vector<QString> clicked;
  auto form = BuildForm(QStringLiteral(R"(object F: TForm
  object Sr: TRadioButton
    Caption = 'Srpski'
    Checked = True
    OnClick = RadioClick
  end
  object En: TRadioButton
    Top = 20
    Caption = 'English'
    OnClick = RadioClick
  end
  object Group1: TGroupBox
    Top = 50
    object G1: TRadioButton
      Top = 20
      Checked = True
      OnClick = RadioClick
    end
    object G2: TRadioButton
      Top = 40
      OnClick = RadioClick
    end
  end
end)"),
                        [&](THandlerTable& t) {
                          handlers.Notify(t, "RadioClick",
                                          [&](TObject* s) { clicked.push_back(static_cast<TComponent*>(s)->Name()); });
                        });
  auto* sr = Find<TRadioButton>(form.get(), "Sr");
  auto* en = Find<TRadioButton>(form.get(), "En");
  auto* g1 = Find<TRadioButton>(form.get(), "G1");
  auto* g2 = Find<TRadioButton>(form.get(), "G2");
  EXPECT_TRUE(sr->Checked());
  EXPECT_TRUE(g1->Checked()) << "another parent is another group";

  en->SetChecked(true);
  EXPECT_FALSE(sr->Checked());
  EXPECT_TRUE(en->Checked());
  EXPECT_TRUE(g1->Checked());
  EXPECT_EQ(clicked, std::vector<QString>{QStringLiteral("En")}) << "only the button that became checked clicks";

  form->Show();
  Process();
  ClickAt(g2->Widget(), QPoint(6, 8));
  EXPECT_TRUE(g2->Checked());
  EXPECT_FALSE(g1->Checked());
  EXPECT_TRUE(en->Checked());
  EXPECT_EQ(clicked, (std::vector<QString>{QStringLiteral("En"), QStringLiteral("G2")}));
}

// ---------------------------------------------------------------- TLabel

TEST_F(StdControlsTest, LabelShowsItsCaptionWithoutAccessMarks) {
  const std::pair<const char*, const char*> rows[] = {
      {"&Naziv", "Naziv"}, {"Save && exit", "Save & exit"}, {"Tra\u017ei", "Tra\u017ei"}, {"", ""}};
  for (const auto& [caption, shown] : rows) {
    TLabel label;
    label.SetCaption(QString::fromUtf8(caption));
    EXPECT_EQ(label.Caption(), QString::fromUtf8(caption));
    EXPECT_EQ(static_cast<QLabel*>(label.Widget())->text(), QString::fromUtf8(shown)) << caption;
  }
}

TEST_F(StdControlsTest, AutoSizeLabelFitsItsTextAndARightAlignedOneKeepsItsRightEdge) {
  auto form = BuildForm(QStringLiteral(R"(object F: TForm
  object Left1: TLabel
    Left = 10
    Top = 8
    Width = 200
    Height = 40
    Caption = '&Kategorija:'
  end
  object Right1: TLabel
    Left = 100
    Top = 30
    Width = 200
    Height = 40
    Alignment = taRightJustify
    Caption = 'Datum:'
  end
  object Fixed1: TLabel
    Left = 5
    Top = 60
    Width = 200
    Height = 40
    AutoSize = False
    Caption = 'Datum:'
  end
end)"));
  auto* left = Find<TLabel>(form.get(), "Left1");
  auto* right = Find<TLabel>(form.get(), "Right1");
  auto* fixed = Find<TLabel>(form.get(), "Fixed1");
  const QFontMetrics fm(left->Font()->ToQFont());
  EXPECT_EQ(left->BoundsRect(), QRect(10, 8, fm.horizontalAdvance(QStringLiteral("Kategorija:")), fm.height()))
      << "a loaded label fits its text";
  const int w = fm.horizontalAdvance(QStringLiteral("Datum:"));
  EXPECT_EQ(right->BoundsRect(), QRect(300 - w, 30, w, fm.height())) << "right edge stays at 300";
  EXPECT_EQ(fixed->BoundsRect(), QRect(5, 60, 200, 40));

  right->SetCaption(QStringLiteral("Datum unosa:"));
  const int w2 = fm.horizontalAdvance(QStringLiteral("Datum unosa:"));
  EXPECT_EQ(right->Left() + right->Width(), 300);
  EXPECT_EQ(right->Width(), w2);
  EXPECT_EQ(right->Widget()->geometry(), right->BoundsRect());

  left->Font()->SetHeight(-24);
  const QFontMetrics big(left->Font()->ToQFont());
  EXPECT_EQ(left->Width(), big.horizontalAdvance(QStringLiteral("Kategorija:"))) << "a bigger font widens it";
  EXPECT_EQ(left->Height(), big.height());
  EXPECT_EQ(left->Left(), 10);

  fixed->SetCaption(QStringLiteral("x"));
  EXPECT_EQ(fixed->BoundsRect(), QRect(5, 60, 200, 40)) << "AutoSize off keeps the bounds";
}

TEST_F(StdControlsTest, LabelClickRunsOnClick) {
  int clicks = 0;
  TLabel label;
  label.SetOnClick(TNotifyEvent{[&](TObject*) { ++clicks; }, QStringLiteral("Label1Click")});
  label.SetCaption(QStringLiteral("click me"));
  ClickWidget(label.Widget());
  EXPECT_EQ(clicks, 1);
}

}  // namespace
