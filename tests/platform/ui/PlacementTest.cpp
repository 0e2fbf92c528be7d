// The window placement record: the restored rectangle, the show command, and
// rectangles kept on a screen. Screen sizes come from the running platform.
#include "Placement.h"
#include "UiTestSupport.h"

#include <QGuiApplication>
#include <QScreen>

#include <algorithm>

using namespace uitest;

namespace {

class PlacementTest : public UiTest {
protected:
  void SetUp() override {
    screen = QGuiApplication::primaryScreen();
    ASSERT_NE(screen, nullptr);
    form = std::make_unique<TForm>();
    form->SetBounds(50, 60, 300, 200);
  }
  static TWindowPlacement Record(QRect r, int showCmd) {
    TWindowPlacement p;
    p.showCmd = showCmd;
    p.left = r.x();
    p.top = r.y();
    p.right = r.x() + r.width();
    p.bottom = r.y() + r.height();
    return p;
  }
  QScreen* screen = nullptr;
  std::unique_ptr<TForm> form;
};

TEST_F(PlacementTest, NormalRectangleRoundTripsWithExclusiveRightAndBottom) {
  form->Show();
  Process();
  TWindowPlacement p = GetWindowPlacement(*form);
  EXPECT_EQ(p.showCmd, SW_SHOWNORMAL);
  EXPECT_EQ(p.left, 50);
  EXPECT_EQ(p.top, 60);
  EXPECT_EQ(p.right, 350);
  EXPECT_EQ(p.bottom, 260);

  p = Record(QRect(70, 80, 320, 250), SW_SHOWNORMAL);
  p.flags = WPF_SETMINPOSITION;
  p.minPosition = QPoint(3, 4);
  p.maxPosition = QPoint(-8, -8);
  SetWindowPlacement(*form, p);
  Process();
  EXPECT_EQ(form->Window()->geometry(), QRect(70, 80, 320, 250));
  EXPECT_EQ(form->BoundsRect(), QRect(70, 80, 320, 250));
  const TWindowPlacement back = GetWindowPlacement(*form);
  EXPECT_EQ(back.left, 70);
  EXPECT_EQ(back.top, 80);
  EXPECT_EQ(back.right, 390);
  EXPECT_EQ(back.bottom, 330);
  EXPECT_EQ(back.flags, WPF_SETMINPOSITION);
  EXPECT_EQ(back.minPosition, QPoint(3, 4));
  EXPECT_EQ(back.maxPosition, QPoint(-8, -8));
}

TEST_F(PlacementTest, ShowCommandsOfAShownWindow) {
  form->Show();
  Process();
  const QRect normal(60, 70, 310, 210);
  const struct {
    int showCmd;
    TWindowState state;
    bool iconic;
  } rows[] = {
      {SW_SHOWMAXIMIZED, wsMaximized, false}, {SW_SHOWNORMAL, wsNormal, false},
      {SW_SHOWMINIMIZED, wsMinimized, true},  {SW_SHOWNORMAL, wsNormal, false},
      {SW_SHOWMINIMIZED, wsMinimized, true},  {SW_SHOWMAXIMIZED, wsMaximized, false},
      {SW_SHOWNORMAL, wsNormal, false},
  };
  for (const auto& r : rows) {
    SetWindowPlacement(*form, Record(normal, r.showCmd));
    Process();
    EXPECT_EQ(form->WindowState(), r.state) << "show command " << r.showCmd;
    EXPECT_EQ(IsIconic(*form), r.iconic) << "show command " << r.showCmd;
    EXPECT_TRUE(IsWindowVisible(*form)) << "show command " << r.showCmd;
    const TWindowPlacement p = GetWindowPlacement(*form);
    EXPECT_EQ(p.showCmd, r.showCmd);
    EXPECT_EQ(QRect(p.left, p.top, p.right - p.left, p.bottom - p.top), normal)
        << "show command " << r.showCmd << ": the restored rectangle is kept";
    if (r.state == wsNormal) {
      EXPECT_EQ(form->Window()->geometry(), normal);
    }
  }
}

TEST_F(PlacementTest, HideCommandLeavesAHiddenWindowHiddenWithItsNewBounds) {
  SetWindowPlacement(*form, Record(QRect(20, 30, 280, 190), SW_HIDE));
  Process();
  EXPECT_FALSE(IsWindowVisible(*form));
  EXPECT_FALSE(IsIconic(*form));
  EXPECT_EQ(form->BoundsRect(), QRect(20, 30, 280, 190));
  form->Show();
  Process();
  EXPECT_EQ(form->Window()->geometry(), QRect(20, 30, 280, 190));
}

TEST_F(PlacementTest, MaximisedWindowKeepsItsRestoredRectangle) {
  form->Show();
  Process();
  form->SetWindowState(wsMaximized);
  Process();
  ASSERT_TRUE(form->Window()->isMaximized());
  TWindowPlacement p = GetWindowPlacement(*form);
  EXPECT_EQ(p.showCmd, SW_SHOWMAXIMIZED);
  EXPECT_EQ(QRect(p.left, p.top, p.right - p.left, p.bottom - p.top), QRect(50, 60, 300, 200));

  // A new restored rectangle for a maximised window waits for the restore.
  SetWindowPlacement(*form, Record(QRect(90, 100, 250, 150), SW_SHOWMAXIMIZED));
  Process();
  EXPECT_TRUE(form->Window()->isMaximized());
  p = GetWindowPlacement(*form);
  EXPECT_EQ(QRect(p.left, p.top, p.right - p.left, p.bottom - p.top), QRect(90, 100, 250, 150));
  form->SetWindowState(wsNormal);
  Process();
  EXPECT_EQ(form->Window()->geometry(), QRect(90, 100, 250, 150));
}

TEST_F(PlacementTest, ARectangleWhoseTitleBarNoScreenShowsIsBroughtOntoTheScreen) {
  const QRect area = screen->availableGeometry();
  QRect everything;
  for (QScreen* s : QGuiApplication::screens()) everything |= s->geometry();
  const struct {
    const char* name;
    QRect rect;
    bool moves;
  } rows[] = {
      {"inside", QRect(area.x() + 10, area.y() + 10, 200, 100), false},
      {"partly off the right edge, a grip of the title bar left",
       QRect(everything.right() - TitleBarGrip + 1, area.y() + 10, 400, 100), false},
      {"half the title bar above the top", QRect(area.x() + 10, area.y() - TitleBarHeight / 2, 200, 100), false},
      {"only a sliver of the title bar at the right edge",
       QRect(everything.right() - TitleBarGrip + 2, area.y() + 10, 400, 100), true},
      {"title bar above the top, the body on the screen", QRect(area.x() + 10, everything.top() - 50, 200, 100), true},
      {"off to the right", QRect(everything.right() + 100, area.y() + 10, 200, 100), true},
      {"off to the left and above", QRect(everything.left() - 3000, everything.top() - 3000, 200, 100), true},
      {"off and larger than the screen", QRect(everything.right() + 10, 0, area.width() + 500, area.height() + 500),
       true},
  };
  for (const auto& r : rows) {
    const QRect kept = KeepOnScreen(r.rect);
    if (!r.moves) {
      EXPECT_EQ(kept, r.rect) << r.name;
      continue;
    }
    EXPECT_TRUE(area.contains(kept)) << r.name << ": " << kept;
    EXPECT_EQ(kept.width(), std::min(r.rect.width(), area.width())) << r.name;
    EXPECT_EQ(kept.height(), std::min(r.rect.height(), area.height())) << r.name;
  }

  const QRect lost(everything.right() + 500, everything.bottom() + 500, 300, 200);
  SetWindowPlacement(*form, Record(lost, SW_SHOWNORMAL));
  EXPECT_TRUE(area.contains(form->BoundsRect())) << form->BoundsRect();
  EXPECT_EQ(form->BoundsRect().size(), QSize(300, 200));
}

}  // namespace
