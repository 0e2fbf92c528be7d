// Edge alignment, panel insets, anchors, splitters and the window's own
// client area.
#include "UiTestSupport.h"

#include <QMenuBar>

#include <map>

using namespace uitest;

namespace {

class LayoutTest : public UiTest {
protected:
  // A parent without bevels, so that its client rectangle is all of it.
  TPanel* MakeParent(int width, int height) {
    parent = std::make_unique<TPanel>();
    parent->SetBevelOuter(bvNone);
    parent->SetBounds(0, 0, width, height);
    return parent.get();
  }
  TPanel* Child(const char* name, TAlign align, int width, int height, bool visible = true) {
    auto* c = new TPanel(parent.get());
    c->SetName(QString::fromLatin1(name));
    c->SetBounds(0, 0, width, height);
    c->SetVisible(visible);
    c->SetAlign(align);
    c->SetParent(parent.get());
    return c;
  }
  void ExpectBounds(const std::map<std::string, QRect>& expected, const char* when) {
    for (const auto& [name, rect] : expected) {
      auto* c = Find<TControl>(parent.get(), name.c_str());
      ASSERT_NE(c, nullptr);
      EXPECT_EQ(c->BoundsRect(), rect) << name << " " << when;
      EXPECT_EQ(c->Widget()->geometry(), rect) << name << "'s widget " << when;
    }
  }
  std::unique_ptr<TPanel> parent;
};

TEST_F(LayoutTest, AlignedControlsTakeTheirEdgesInGroupOrderThenCreationOrder) {
  MakeParent(400, 300);
  // Created out of group order on purpose: the groups go top, bottom, left,
  // right, client; within a group the older control is nearer the edge.
  Child("L1", alLeft, 50, 10);
  Child("T1", alTop, 10, 20);
  Child("C", alClient, 10, 10);
  Child("B1", alBottom, 10, 30);
  Child("T2", alTop, 10, 10);
  Child("R1", alRight, 40, 10);
  auto* hidden = Child("L2", alLeft, 60, 10, false);
  Child("L3", alLeft, 25, 10);
  Child("B2", alBottom, 10, 15);

  ExpectBounds({{"T1", QRect(0, 0, 400, 20)},
                {"T2", QRect(0, 20, 400, 10)},
                {"B1", QRect(0, 270, 400, 30)},
                {"B2", QRect(0, 255, 400, 15)},
                {"L1", QRect(0, 30, 50, 225)},
                {"L3", QRect(50, 30, 25, 225)},
                {"R1", QRect(360, 30, 40, 225)},
                {"C", QRect(75, 30, 285, 225)}},
               "at 400x300");

  parent->SetBounds(0, 0, 500, 400);
  ExpectBounds({{"T1", QRect(0, 0, 500, 20)},
                {"B1", QRect(0, 370, 500, 30)},
                {"B2", QRect(0, 355, 500, 15)},
                {"L1", QRect(0, 30, 50, 325)},
                {"L3", QRect(50, 30, 25, 325)},
                {"R1", QRect(460, 30, 40, 325)},
                {"C", QRect(75, 30, 385, 325)}},
               "after the parent grew to 500x400");

  hidden->Show();
  ExpectBounds({{"L2", QRect(50, 30, 60, 325)}, {"L3", QRect(110, 30, 25, 325)}, {"C", QRect(135, 30, 325, 325)}},
               "after the hidden left control was shown");

  Find<TControl>(parent.get(), "T1")->Hide();
  ExpectBounds({{"T2", QRect(0, 0, 500, 10)}, {"L1", QRect(0, 10, 50, 345)}}, "after the first top control was hidden");
}

TEST_F(LayoutTest, ChangingAlignOrSizeOfAnAlignedControlRealignsItsSiblings) {
  MakeParent(300, 200);
  auto* top = Child("T", alTop, 10, 20);
  Child("C", alClient, 10, 10);
  top->SetHeight(50);
  ExpectBounds({{"T", QRect(0, 0, 300, 50)}, {"C", QRect(0, 50, 300, 150)}}, "after the top control grew");
  top->SetAlign(alLeft);
  top->SetWidth(70);
  ExpectBounds({{"T", QRect(0, 0, 70, 200)}, {"C", QRect(70, 0, 230, 200)}}, "after the top control went left");
}

struct InsetCase {
  const char* name;
  TBevelCut outer, inner;
  int bevelWidth, borderWidth;
  int inset;
};

TEST_F(LayoutTest, PanelBevelsAndBorderInsetTheClientArea) {
  const InsetCase cases[] = {
      {"no bevel", bvNone, bvNone, 1, 0, 0},
      {"raised outer", bvRaised, bvNone, 1, 0, 1},
      {"lowered outer, wide", bvLowered, bvNone, 3, 0, 3},
      {"space outer", bvSpace, bvNone, 2, 0, 2},
      {"outer and inner", bvRaised, bvLowered, 2, 0, 4},
      {"border only", bvNone, bvNone, 1, 5, 5},
      {"all of them", bvLowered, bvRaised, 3, 4, 10},
  };
  for (const InsetCase& c : cases) {
    TPanel panel;
    panel.SetBounds(0, 0, 200, 100);
    auto* client = new TPanel(&panel);
    client->SetAlign(alClient);
    client->SetParent(&panel);
    // Set after the child is placed: a change of the insets realigns it.
    panel.SetBevelOuter(c.outer);
    panel.SetBevelInner(c.inner);
    panel.SetBevelWidth(c.bevelWidth);
    panel.SetBorderWidth(c.borderWidth);
    const int i = c.inset;
    EXPECT_EQ(panel.ClientRect(), QRect(i, i, 200 - 2 * i, 100 - 2 * i)) << c.name;
    EXPECT_EQ(client->BoundsRect(), QRect(i, i, 200 - 2 * i, 100 - 2 * i)) << c.name;
  }
}

struct AnchorCase {
  const char* name;
  TAnchors anchors;
  QRect afterGrowth;  // the parent grows by 100 x 60
};

TEST_F(LayoutTest, AnchorsKeepDistancesWhenTheParentIsResized) {
  const QRect start(10, 20, 50, 30);
  const AnchorCase cases[] = {
      {"left top", akLeft | akTop, start},
      {"right top", akRight | akTop, QRect(110, 20, 50, 30)},
      {"left right top", akLeft | akRight | akTop, QRect(10, 20, 150, 30)},
      {"left bottom", akLeft | akBottom, QRect(10, 80, 50, 30)},
      {"left top bottom", akLeft | akTop | akBottom, QRect(10, 20, 50, 90)},
      {"right bottom", akRight | akBottom, QRect(110, 80, 50, 30)},
      {"all four", akLeft | akTop | akRight | akBottom, QRect(10, 20, 150, 90)},
      {"none: stays centred", TAnchors(), QRect(60, 50, 50, 30)},
  };
  for (const AnchorCase& c : cases) {
    MakeParent(200, 100);
    auto* child = Child("A", alNone, 50, 30);
    child->SetBounds(start.x(), start.y(), start.width(), start.height());
    child->SetAnchors(c.anchors);
    parent->SetBounds(0, 0, 300, 160);
    EXPECT_EQ(child->BoundsRect(), c.afterGrowth) << c.name;
    EXPECT_EQ(child->Widget()->geometry(), c.afterGrowth) << c.name << ": widget";
    // Back to the designed size: the distances come from where the control
    // was placed, so nothing drifts.
    parent->SetBounds(0, 0, 200, 100);
    EXPECT_EQ(child->BoundsRect(), start) << c.name << " after shrinking back";
  }
}

TEST_F(LayoutTest, MovingAnAnchoredControlMakesItsNewPlaceTheOneItKeeps) {
  MakeParent(200, 100);
  auto* child = Child("A", alNone, 50, 30);
  child->SetAnchors(akRight | akTop);
  child->SetBounds(100, 10, 50, 30);
  parent->SetWidth(260);
  ASSERT_EQ(child->Left(), 160);
  child->SetLeft(20);
  parent->SetWidth(300);
  EXPECT_EQ(child->Left(), 60) << "the right distance set by the move (260 - 70) is kept";
}

struct SplitterCase {
  const char* name;
  TAlign align;
  int delta;
  int expectedSize;  // width or height of the control the splitter resizes
};

TEST_F(LayoutTest, SplitterResizesTheControlOnItsSideWithinMinSize) {
  // The resized control starts at 100; the parent is 400 x 300, so 270 (or
  // 170) pixels remain for the client control.
  const SplitterCase cases[] = {
      {"left +40", alLeft, 40, 140},
      {"left -40", alLeft, -40, 60},
      {"left below MinSize", alLeft, -90, 30},
      {"left leaves the client its MinSize", alLeft, 1000, 400 - 3 - 30},
      {"right +40", alRight, 40, 60},
      {"right -40", alRight, -40, 140},
      {"top +40", alTop, 40, 140},
      {"top below MinSize", alTop, -95, 30},
      {"bottom +40", alBottom, 40, 60},
      {"bottom -40", alBottom, -40, 140},
      {"bottom leaves the client its MinSize", alBottom, -1000, 300 - 3 - 30},
  };
  for (const SplitterCase& c : cases) {
    MakeParent(400, 300);
    const bool horizontal = c.align == alLeft || c.align == alRight;
    auto* side = Child("Side", c.align, 100, 100);
    auto* splitter = new TSplitter(parent.get());
    splitter->SetBounds(0, 0, 3, 3);
    splitter->SetAlign(c.align);
    splitter->SetParent(parent.get());
    auto* client = Child("Client", alClient, 10, 10);
    ASSERT_EQ(splitter->FindControl(), side) << c.name;

    splitter->MoveBy(c.delta);
    const int size = horizontal ? side->Width() : side->Height();
    EXPECT_EQ(size, c.expectedSize) << c.name;
    const int clientSize = horizontal ? client->Width() : client->Height();
    EXPECT_EQ(clientSize, (horizontal ? 400 : 300) - 3 - c.expectedSize) << c.name << ": the client takes the rest";
    // The splitter stays next to the control it resizes.
    switch (c.align) {
      case alLeft: EXPECT_EQ(splitter->Left(), side->Width()) << c.name; break;
      case alRight: EXPECT_EQ(splitter->Left() + 3, side->Left()) << c.name; break;
      case alTop: EXPECT_EQ(splitter->Top(), side->Height()) << c.name; break;
      default: EXPECT_EQ(splitter->Top() + 3, side->Top()) << c.name; break;
    }
  }
}

TEST_F(LayoutTest, SplitterBetweenLeftAndClientPanelsFromADefinition) {
  auto form = BuildForm(QStringLiteral(R"(object F: TForm
  ClientWidth = 500
  ClientHeight = 300
  object Left1: TPanel
    Width = 120
    Align = alLeft
  end
  object Splitter1: TSplitter
    Left = 120
    Width = 4
    MinSize = 50
  end
  object Client1: TPanel
    Align = alClient
  end
end)"));
  auto* left = Find<TPanel>(form.get(), "Left1");
  auto* client = Find<TPanel>(form.get(), "Client1");
  auto* splitter = Find<TSplitter>(form.get(), "Splitter1");
  ASSERT_EQ(client->BoundsRect(), QRect(124, 0, 376, 300));
  splitter->MoveBy(40);
  EXPECT_EQ(left->Width(), 160);
  EXPECT_EQ(client->BoundsRect(), QRect(164, 0, 336, 300));
  splitter->MoveBy(-500);
  EXPECT_EQ(left->Width(), 50) << "MinSize holds";
  EXPECT_EQ(client->Width(), 500 - 4 - 50);
}

TEST_F(LayoutTest, WindowKeepsItsDesignedClientAreaBesideTheMenuBar) {
  auto form = BuildForm(QStringLiteral(R"(object F: TForm
  Left = 10
  Top = 10
  ClientHeight = 726
  ClientWidth = 775
  Menu = MainMenu1
  object PageControl1: TPageControl
    Width = 775
    Height = 707
    Align = alClient
  end
  object StatusBar1: TStatusBar
    Top = 707
    Width = 775
    Height = 19
  end
  object MainMenu1: TMainMenu
    object File1: TMenuItem
      Caption = 'Program'
    end
  end
end)"));
  auto* status = Find<TStatusBar>(form.get(), "StatusBar1");
  auto* pages = Find<TPageControl>(form.get(), "PageControl1");
  auto check = [&](const char* when) {
    EXPECT_EQ(form->ClientWidth(), 775) << when;
    EXPECT_EQ(form->ClientHeight(), 726) << when;
    EXPECT_EQ(form->ClientRect(), QRect(0, 0, 775, 726)) << when;
    EXPECT_EQ(status->BoundsRect(), QRect(0, 707, 775, 19)) << when;
    EXPECT_EQ(pages->BoundsRect(), QRect(0, 0, 775, 707)) << when;
  };
  check("after loading");
  form->Show();
  Process();
  check("after showing");
  EXPECT_EQ(form->ClientWidget()->size(), QSize(775, 726));
  const QMenuBar* bar = form->Window()->findChild<QMenuBar*>();
  ASSERT_NE(bar, nullptr);
  EXPECT_TRUE(bar->isVisible());
  EXPECT_EQ(form->Height(), 726 + bar->height());
}

TEST_F(LayoutTest, ClientSizeSetAfterTheMenuStillExcludesTheMenuBar) {
  TForm form;
  auto* menu = new TMainMenu(&form);
  auto* item = new TMenuItem(&form);
  item->SetCaption(QStringLiteral("File"));
  menu->Items()->Add(item);
  form.SetMenu(menu);
  form.SetClientWidth(400);
  form.SetClientHeight(300);
  auto* status = new TStatusBar(&form);
  status->SetParent(&form);
  EXPECT_EQ(status->BoundsRect(), QRect(0, 281, 400, 19));
  form.Show();
  Process();
  EXPECT_EQ(form.ClientWidget()->size(), QSize(400, 300));
  EXPECT_EQ(status->BoundsRect(), QRect(0, 281, 400, 19));
}

TEST_F(LayoutTest, ResizingTheWindowRealignsItsControlsAndRunsOnResize) {
  int resized = 0;
  auto form = BuildForm(QStringLiteral(R"(object F: TForm
  ClientWidth = 300
  ClientHeight = 200
  OnResize = FormResize
  object Bar: TPanel
    Height = 30
    Align = alBottom
  end
  object Ok: TButton
    Left = 200
    Top = 100
    Anchors = [akRight, akBottom]
  end
end)"),
                        [&](THandlerTable& t) { handlers.Notify(t, "FormResize", [&](TObject*) { ++resized; }); });
  form->Show();
  Process();
  resized = 0;
  form->Window()->resize(400, 260);
  Process();
  EXPECT_GE(resized, 1);
  EXPECT_EQ(form->ClientWidth(), 400);
  EXPECT_EQ(Find<TPanel>(form.get(), "Bar")->BoundsRect(), QRect(0, 230, 400, 30));
  EXPECT_EQ(Find<TButton>(form.get(), "Ok")->BoundsRect(), QRect(300, 160, 75, 25));
}

}  // namespace
