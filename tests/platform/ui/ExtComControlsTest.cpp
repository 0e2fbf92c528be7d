// Page controls, the status bar, speed buttons, pictures and context menus.
#include "UiTestSupport.h"

#include <QBuffer>
#include <QContextMenuEvent>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QToolButton>

using namespace uitest;

namespace {

class ExtComControlsTest : public UiTest {};

QByteArray PngBytes(int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(Qt::red);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return bytes;
}

// ---------------------------------------------------------------- pages

const char* const kPagesDefinition = R"(object F: TForm
  ClientWidth = 400
  ClientHeight = 300
  object PageControl1: TPageControl
    ActivePage = TabSheet2
    Align = alClient
    OnChange = PagesChange
    object TabSheet1: TTabSheet
      Caption = 'Tra'#382'i'
      object Panel1: TPanel
        Align = alClient
      end
    end
    object TabSheet2: TTabSheet
      Caption = 'Favoriti'
      OnShow = Sheet2Show
      object Panel2: TPanel
        Align = alTop
      end
    end
  end
end)";

TEST_F(ExtComControlsTest, PageCaptionsAreTabTextsAndActivePageFromTheDefinitionHolds) {
  int changes = 0, shows = 0;
  auto form = BuildForm(QString::fromUtf8(kPagesDefinition), [&](THandlerTable& t) {
    handlers.Notify(t, "PagesChange", [&](TObject*) { ++changes; });
    handlers.Notify(t, "Sheet2Show", [&](TObject*) { ++shows; });
  });
  auto* pages = Find<TPageControl>(form.get(), "PageControl1");
  auto* sheet1 = Find<TTabSheet>(form.get(), "TabSheet1");
  auto* sheet2 = Find<TTabSheet>(form.get(), "TabSheet2");
  ASSERT_EQ(pages->PageCount(), 2);
  EXPECT_EQ(pages->Tabs()->tabText(0), QStringLiteral("Tra\u017ei"));
  EXPECT_EQ(pages->Tabs()->tabText(1), QStringLiteral("Favoriti"));
  EXPECT_EQ(sheet1->PageIndex(), 0);
  EXPECT_EQ(sheet2->PageControl(), pages);
  EXPECT_EQ(pages->ActivePage(), sheet2);
  EXPECT_EQ(pages->Tabs()->currentIndex(), 1);
  EXPECT_EQ(changes, 0) << "loading changes no page";

  pages->SetActivePageIndex(0);
  EXPECT_EQ(pages->ActivePage(), sheet1);
  EXPECT_EQ(changes, 1);
  pages->Tabs()->setCurrentIndex(1);  // as a click on the tab does
  EXPECT_EQ(pages->ActivePage(), sheet2);
  EXPECT_EQ(changes, 2);
  EXPECT_EQ(shows, 1);

  sheet1->SetCaption(QStringLiteral("Pretraga"));
  EXPECT_EQ(pages->Tabs()->tabText(0), QStringLiteral("Pretraga"));
  sheet1->SetTabVisible(false);
  EXPECT_FALSE(pages->Tabs()->isTabVisible(0));
  EXPECT_THROW(pages->Pages(2), EListError);
}

TEST_F(ExtComControlsTest, ActivePageNamedBeforeThePageIsPlacedIsSelectedWhenItArrives) {
  TPageControl pages;
  auto* first = new TTabSheet(&pages);
  first->SetCaption(QStringLiteral("Prva"));
  first->SetPageControl(&pages);
  auto* second = new TTabSheet(&pages);
  second->SetCaption(QStringLiteral("Druga"));
  pages.SetActivePage(second);
  EXPECT_EQ(pages.ActivePage(), first);
  second->SetPageControl(&pages);
  EXPECT_EQ(pages.ActivePage(), second);
  EXPECT_EQ(pages.Tabs()->tabText(1), QStringLiteral("Druga"));
}

TEST_F(ExtComControlsTest, ControlsOnAPageFillItOnceTheWindowIsLaidOut) {
  auto form = BuildForm(QString::fromUtf8(kPagesDefinition), [&](THandlerTable& t) {
    handlers.Notify(t, "PagesChange", [](TObject*) {});
    handlers.Notify(t, "Sheet2Show", [](TObject*) {});
  });
  auto* pages = Find<TPageControl>(form.get(), "PageControl1");
  form->Show();
  Process();
  EXPECT_EQ(pages->BoundsRect(), QRect(0, 0, 400, 300));
  auto* sheet2 = Find<TTabSheet>(form.get(), "TabSheet2");
  auto* panel2 = Find<TPanel>(form.get(), "Panel2");
  EXPECT_EQ(panel2->Width(), sheet2->Widget()->width());
  EXPECT_GT(panel2->Width(), 300);
  pages->SetActivePageIndex(0);
  Process();
  auto* sheet1 = Find<TTabSheet>(form.get(), "TabSheet1");
  auto* panel1 = Find<TPanel>(form.get(), "Panel1");
  EXPECT_EQ(panel1->Widget()->size(), sheet1->Widget()->size());
  EXPECT_EQ(panel1->BoundsRect(), QRect(QPoint(0, 0), sheet1->Widget()->size()));
}

// ---------------------------------------------------------------- status bar

TEST_F(ExtComControlsTest, StatusBarShowsItsSimpleText) {
  auto form = BuildForm(QStringLiteral(R"(object F: TForm
  object StatusBar1: TStatusBar
    SimplePanel = True
    SimpleText = 'Zapisa: 0'
  end
end)"));
  auto* bar = Find<TStatusBar>(form.get(), "StatusBar1");
  EXPECT_EQ(bar->Align(), alBottom);
  auto* label = bar->Widget()->findChild<QLabel*>();
  ASSERT_NE(label, nullptr);
  EXPECT_EQ(label->text(), QStringLiteral("Zapisa: 0"));
  bar->SetSimpleText(QStringLiteral("Zapisa: 12"));
  EXPECT_EQ(bar->SimpleText(), QStringLiteral("Zapisa: 12"));
  EXPECT_EQ(label->text(), QStringLiteral("Zapisa: 12"));
}

// ---------------------------------------------------------------- speed button

TEST_F(ExtComControlsTest, SpeedButtonHintIsATooltipOnlyWithShowHint) {
  struct {
    const char* name;
    const char* properties;
    QString tooltip;
  } const rows[] = {
      {"hint without ShowHint", "Hint = 'Novi unos'", QString()},
      {"hint then ShowHint", "Hint = 'Novi unos'\n    ShowHint = True", QStringLiteral("Novi unos")},
      {"ShowHint then hint", "ShowHint = True\n    Hint = 'Novi unos'", QStringLiteral("Novi unos")},
      {"ShowHint turned off", "Hint = 'Novi unos'\n    ShowHint = False", QString()},
  };
  for (const auto& r : rows) {
    auto form = BuildForm(QStringLiteral("object F: TForm\n  object SpeedButton1: TSpeedButton\n    %1\n  end\nend\n")
                              .arg(QLatin1String(r.properties)));
    auto* button = Find<TSpeedButton>(form.get(), "SpeedButton1");
    EXPECT_EQ(button->Widget()->toolTip(), r.tooltip) << r.name;
    EXPECT_EQ(button->Hint(), QStringLiteral("Novi unos")) << r.name;
  }
  TSpeedButton button;
  button.SetHint(QStringLiteral("a"));
  button.SetShowHint(true);
  button.SetHint(QStringLiteral("b"));
  EXPECT_EQ(button.Widget()->toolTip(), QStringLiteral("b"));
  button.SetShowHint(false);
  EXPECT_EQ(button.Widget()->toolTip(), QString());
}

TEST_F(ExtComControlsTest, SpeedButtonGlyphFlatAndClick) {
  int clicks = 0;
  TSpeedButton button;
  auto* tool = static_cast<QToolButton*>(button.Widget());
  button.SetOnClick(TNotifyEvent{[&](TObject*) { ++clicks; }, QStringLiteral("SpeedButton1Click")});
  button.SetFlat(true);
  EXPECT_TRUE(tool->autoRaise());
  button.SetFlat(false);
  EXPECT_FALSE(tool->autoRaise());

  TPicture glyph;
  glyph.LoadFromData(PngBytes(16, 16), QStringLiteral("glyph"));
  button.SetGlyph(&glyph);
  EXPECT_FALSE(tool->icon().isNull());
  EXPECT_EQ(tool->iconSize(), QSize(16, 16));
  EXPECT_EQ(tool->toolButtonStyle(), Qt::ToolButtonIconOnly);

  TSpeedButton strip;
  strip.SetNumGlyphs(2);
  TPicture two;
  two.LoadFromData(PngBytes(32, 16), QStringLiteral("strip"));
  strip.SetGlyph(&two);
  EXPECT_EQ(static_cast<QToolButton*>(strip.Widget())->iconSize(), QSize(16, 16)) << "the first of two glyphs";

  ClickWidget(tool);
  EXPECT_EQ(clicks, 1);
}

// ---------------------------------------------------------------- image

struct ImageCase {
  const char* name;
  QSize picture;
  bool stretch, center, proportional;
  QRect dest;  // in a 100 x 100 image control
};

TEST_F(ExtComControlsTest, ImageDestRectFollowsStretchCenterAndProportional) {
  const ImageCase cases[] = {
      {"as it is", {40, 20}, false, false, false, QRect(0, 0, 40, 20)},
      {"centred", {40, 20}, false, true, false, QRect(30, 40, 40, 20)},
      {"stretched", {40, 20}, true, false, false, QRect(0, 0, 100, 100)},
      {"stretched and centred", {40, 20}, true, true, false, QRect(0, 0, 100, 100)},
      {"stretched in proportion", {40, 20}, true, false, true, QRect(0, 0, 100, 50)},
      {"stretched in proportion, centred", {40, 20}, true, true, true, QRect(0, 25, 100, 50)},
      {"proportional keeps a small picture", {40, 20}, false, false, true, QRect(0, 0, 40, 20)},
      {"proportional shrinks a large picture", {200, 400}, false, true, true, QRect(25, 0, 50, 100)},
      {"larger than the control, centred", {200, 100}, false, true, false, QRect(-50, 0, 200, 100)},
  };
  for (const ImageCase& c : cases) {
    TImage image;
    image.SetBounds(0, 0, 100, 100);
    image.Picture()->LoadFromData(PngBytes(c.picture.width(), c.picture.height()), QStringLiteral("picture"));
    image.SetStretch(c.stretch);
    image.SetCenter(c.center);
    image.SetProportional(c.proportional);
    EXPECT_EQ(image.DestRect(), c.dest) << c.name;
  }
}

// ---------------------------------------------------------------- popup menus

TEST_F(ExtComControlsTest, ContextMenuOfAControlOpensItsPopupMenu) {
  for (const char* className : {"TEdit", "TMemo", "TPanel", "TLabel"}) {
    int popups = 0;
    auto form =
        BuildForm(QStringLiteral(R"(object F: TForm
  object X: %1
    PopupMenu = PopupMenu1
  end
  object PopupMenu1: TPopupMenu
    OnPopup = PopupMenu1Popup
    object Copy1: TMenuItem
      Caption = 'Kopiraj'
    end
  end
end)")
                      .arg(QLatin1String(className)),
                  [&](THandlerTable& t) { handlers.Notify(t, "PopupMenu1Popup", [&](TObject*) { ++popups; }); });
    auto* x = Find<TControl>(form.get(), "X");
    auto* popup = Find<TPopupMenu>(form.get(), "PopupMenu1");
    ASSERT_EQ(x->PopupMenu(), popup) << className;
    form->Show();
    Process();
    // A memo's text area is the widget the mouse reaches.
    QWidget* target = x->Widget();
    if (auto* editor = qobject_cast<QPlainTextEdit*>(target)) target = editor->viewport();
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(2, 2), target->mapToGlobal(QPoint(2, 2)));
    QCoreApplication::sendEvent(target, &event);
    EXPECT_EQ(popups, 1) << className;
    QMenu* menu = popup->Items()->SubMenu();
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(menu->isVisible()) << className;
    ASSERT_EQ(menu->actions().size(), 1);
    EXPECT_EQ(menu->actions()[0]->text(), QStringLiteral("Kopiraj"));
    menu->hide();

    delete popup;
    EXPECT_EQ(x->PopupMenu(), nullptr) << className << ": a destroyed menu is forgotten";
    QCoreApplication::sendEvent(target, &event);
    EXPECT_EQ(popups, 1) << className;
  }
}

}  // namespace
