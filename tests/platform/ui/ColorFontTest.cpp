// Colours as signed 32-bit values on the widgets' palettes, and fonts that
// follow the parent's.
#include "UiTestSupport.h"

#include <QLabel>
#include <QPalette>

using namespace uitest;

namespace {

class ColorFontTest : public UiTest {};

struct ColorCase {
  const char* name;
  const char* className;
  const char* value;  // as the definition writes it
  TColor expectedValue;
  QPalette::ColorRole role;
  QColor expectedRgb;
};

TEST_F(ColorFontTest, ColorValuesAreSignedAndPaintTheRightPaletteRole) {
  const ColorCase cases[] = {
      {"panel RGB", "TPanel", "12615680", 12615680, QPalette::Window, QColor(0, 128, 192)},
      {"panel clRed", "TPanel", "clRed", 0x0000FF, QPalette::Window, QColor(255, 0, 0)},
      {"edit info background", "TEdit", "-2147483624", -2147483624, QPalette::Base, QColor(0xFF, 0xFF, 0xE1)},
      {"edit clInfoBk by name", "TEdit", "clInfoBk", -2147483624, QPalette::Base, QColor(0xFF, 0xFF, 0xE1)},
      {"memo info background", "TMemo", "-2147483624", -2147483624, QPalette::Base, QColor(0xFF, 0xFF, 0xE1)},
      {"memo RGB", "TMemo", "$00C08000", 12615680, QPalette::Base, QColor(0, 128, 192)},
      {"label clWhite", "TLabel", "clWhite", 0xFFFFFF, QPalette::Window, QColor(255, 255, 255)},
      {"group box clBtnFace", "TGroupBox", "clBtnFace", -2147483633, QPalette::Window, QColor(0xF0, 0xF0, 0xF0)},
  };
  for (const ColorCase& c : cases) {
    auto form = BuildForm(QStringLiteral("object F: TForm\n  object X: %1\n    Color = %2\n  end\nend\n")
                              .arg(QLatin1String(c.className), QLatin1String(c.value)));
    auto* x = Find<TControl>(form.get(), "X");
    ASSERT_NE(x, nullptr) << c.name;
    EXPECT_EQ(x->Color(), c.expectedValue) << c.name;
    EXPECT_FALSE(x->ParentColor()) << c.name;
    EXPECT_EQ(x->Widget()->palette().color(c.role), c.expectedRgb) << c.name;
  }
}

TEST_F(ColorFontTest, EditAndMemoDefaultToTheWindowColourOnTheirBase) {
  TEdit edit;
  TMemo memo;
  EXPECT_EQ(edit.Color(), clWindow);
  EXPECT_EQ(memo.Color(), clWindow);
  EXPECT_EQ(edit.Widget()->palette().color(QPalette::Base), ColorToQColor(clWindow));
  EXPECT_EQ(memo.Widget()->palette().color(QPalette::Base), ColorToQColor(clWindow));
}

TEST_F(ColorFontTest, ParentColorFollowsTheParentUntilTheChildGetsItsOwn) {
  TPanel panel;
  auto* label = new TLabel(&panel);
  label->SetParent(&panel);
  auto* edit = new TEdit(&panel);
  edit->SetParent(&panel);
  EXPECT_TRUE(label->ParentColor());
  EXPECT_FALSE(edit->ParentColor()) << "an edit keeps its window colour";

  panel.SetColor(12615680);
  EXPECT_EQ(label->Color(), 12615680);
  EXPECT_EQ(label->Widget()->palette().color(QPalette::Window), QColor(0, 128, 192));
  EXPECT_EQ(edit->Color(), clWindow);

  label->SetColor(clYellow);
  EXPECT_FALSE(label->ParentColor());
  panel.SetColor(clWhite);
  EXPECT_EQ(label->Color(), clYellow);
  label->SetParentColor(true);
  EXPECT_EQ(label->Color(), clWhite);
}

TEST_F(ColorFontTest, ParentFontFollowsTheParentAndOwnFontTurnsItOff) {
  auto form = BuildForm(QStringLiteral(R"(object F: TForm
  Font.Name = 'Tahoma'
  Font.Height = -11
  object Panel1: TPanel
    object Inner: TLabel
      Caption = 'inner'
    end
  end
  object Own: TLabel
    Caption = 'own'
    Font.Height = -20
  end
  object Plain: TLabel
    Caption = 'plain'
  end
end)"));
  auto* panel = Find<TPanel>(form.get(), "Panel1");
  auto* inner = Find<TLabel>(form.get(), "Inner");
  auto* own = Find<TLabel>(form.get(), "Own");
  auto* plain = Find<TLabel>(form.get(), "Plain");
  EXPECT_TRUE(plain->ParentFont());
  EXPECT_FALSE(own->ParentFont()) << "setting a font in the definition turns ParentFont off";

  form->Font()->SetHeight(-16);
  form->Font()->SetName(QStringLiteral("Courier New"));
  for (TControl* c : {static_cast<TControl*>(panel), static_cast<TControl*>(inner), static_cast<TControl*>(plain)}) {
    EXPECT_EQ(c->Font()->Height(), -16) << c->Name();
    EXPECT_EQ(c->Font()->Name(), QStringLiteral("Courier New")) << c->Name();
    EXPECT_EQ(c->Widget()->font().pixelSize(), 16) << c->Name();
    EXPECT_TRUE(c->ParentFont()) << c->Name() << " still follows its parent";
  }
  EXPECT_EQ(own->Font()->Height(), -20);
  EXPECT_EQ(own->Widget()->font().pixelSize(), 20);

  plain->Font()->SetStyle(fsBold);
  EXPECT_FALSE(plain->ParentFont());
  form->Font()->SetHeight(-13);
  EXPECT_EQ(plain->Font()->Height(), -16) << "a child with its own font no longer follows";
  EXPECT_TRUE(plain->Widget()->font().bold());
  plain->SetParentFont(true);
  EXPECT_EQ(plain->Font()->Height(), -13);
  EXPECT_FALSE(plain->Widget()->font().bold());

  TFont big;
  big.SetHeight(-30);
  inner->SetFont(&big);
  EXPECT_FALSE(inner->ParentFont()) << "assigning a font turns ParentFont off";
  EXPECT_EQ(inner->Widget()->font().pixelSize(), 30);
}

struct FontSizeCase {
  const char* name;
  bool bySize;
  int value;
};

TEST_F(ColorFontTest, FontHeightAndSizeReachTheWidgetsPixelSize) {
  const int ppi = TFont().PixelsPerInch();
  const FontSizeCase cases[] = {
      {"Height -11", false, -11}, {"Height -16", false, -16}, {"Height 15 (with leading)", false, 15},
      {"Size 8", true, 8},        {"Size 12", true, 12},
  };
  for (const FontSizeCase& c : cases) {
    const int expectedPixels = c.bySize ? MulDiv(c.value, ppi, 72) : c.value < 0 ? -c.value : (c.value * 4 + 2) / 5;
    TEdit edit;
    TLabel label;
    for (TControl* control : {static_cast<TControl*>(&edit), static_cast<TControl*>(&label)}) {
      if (c.bySize)
        control->Font()->SetSize(c.value);
      else
        control->Font()->SetHeight(c.value);
      EXPECT_EQ(control->Widget()->font().pixelSize(), expectedPixels) << c.name << " on " << control->ClassName();
    }
  }
}

TEST_F(ColorFontTest, FontColourPaintsTheText) {
  TLabel label;
  label.Font()->SetColor(12615680);
  EXPECT_EQ(label.Widget()->palette().color(QPalette::WindowText), QColor(0, 128, 192));
  TEdit edit;
  edit.Font()->SetColor(0x0000FF);
  EXPECT_EQ(edit.Widget()->palette().color(QPalette::Text), QColor(255, 0, 0));
}

}  // namespace
