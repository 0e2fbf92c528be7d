// A window owned by another one: tied to its owner's window on the desktop,
// centred on the owner's screen, and never opened out of the user's reach.
#include "Placement.h"
#include "UiTestSupport.h"

#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QWindow>

using namespace uitest;

namespace {

class OwnedWindowTest : public UiTest {
protected:
  void SetUp() override {
    screen = QGuiApplication::primaryScreen();
    ASSERT_NE(screen, nullptr);
    area = screen->availableGeometry();
    owner = std::make_unique<TForm>();
    owner->SetCaption(QStringLiteral("Notarium"));
    owner->SetBounds(area.x() + 100, area.y() + 80, 500, 400);
  }
  static QWidget* TransientParentOf(const TCustomForm& form) { return form.Window()->parentWidget(); }
  QScreen* screen = nullptr;
  QRect area;
  std::unique_ptr<TForm> owner;
};

TEST_F(OwnedWindowTest, AnOwnedWindowIsADialogOfItsOwnersWindowAndKeepsItsOwnLook) {
  owner->SetColor(0x0000FF);  // red
  owner->Font()->SetName(QStringLiteral("Courier"));
  owner->Show();
  Process();
  auto* dialog = new TForm(owner.get());
  TForm unowned;
  dialog->SetBounds(area.x() + 30, area.y() + 40, 200, 150);
  dialog->Show();
  Process();

  EXPECT_EQ(TransientParentOf(*dialog), owner->Window());
  EXPECT_TRUE(dialog->Window()->isWindow());
  EXPECT_EQ(dialog->Window()->windowType(), Qt::Dialog);
  ASSERT_NE(dialog->Window()->windowHandle(), nullptr);
  EXPECT_EQ(dialog->Window()->windowHandle()->transientParent(), owner->Window()->windowHandle());
  EXPECT_EQ(dialog->Window()->geometry(), QRect(area.x() + 30, area.y() + 40, 200, 150))
      << "the bounds are the screen's, not the owner's";
  EXPECT_EQ(dialog->BoundsRect(), QRect(area.x() + 30, area.y() + 40, 200, 150));
  EXPECT_EQ(dialog->Window()->palette().color(QPalette::Window), unowned.Window()->palette().color(QPalette::Window));
  EXPECT_EQ(dialog->Window()->font().family(), unowned.Window()->font().family());

  // The component owner frees it, once.
  QPointer<QWidget> window = dialog->Window();
  owner.reset();
  EXPECT_TRUE(window.isNull());
}

TEST_F(OwnedWindowTest, WithoutAVisibleOwnerTheMainWindowHoldsItOrNone) {
  TForm* main = nullptr;
  Application->CreateForm(main);
  ASSERT_EQ(Application->MainForm(), main);
  auto owned = std::make_unique<TForm>(owner.get());  // the owner stays hidden

  owned->Show();
  Process();
  EXPECT_EQ(TransientParentOf(*owned), nullptr) << "neither its owner nor the main window is shown";
  EXPECT_EQ(owned->Window()->windowType(), Qt::Window);
  owned->Hide();

  main->Show();
  Process();
  owned->Show();
  Process();
  EXPECT_EQ(TransientParentOf(*owned), main->Window()) << "the main window, shown, holds it";
  EXPECT_EQ(main->Window()->parentWidget(), nullptr) << "the main window is held by none";
  owned->Hide();

  owner->Show();
  Process();
  owned->Show();
  Process();
  EXPECT_EQ(TransientParentOf(*owned), owner->Window()) << "its own owner, once shown, comes first";
  delete main;
}

TEST_F(OwnedWindowTest, AnOwnerWindowThatGoesFirstLetsItsDialogsGo) {
  TForm* main = nullptr;
  Application->CreateForm(main);
  main->Show();
  Process();
  // Owned by nobody, tied to the main window: the main window goes first.
  auto dialog = std::make_unique<TForm>();
  dialog->SetBounds(area.x() + 20, area.y() + 20, 200, 150);
  dialog->Show();
  Process();
  ASSERT_EQ(TransientParentOf(*dialog), main->Window());

  delete main;
  Process();
  ASSERT_NE(dialog->Window(), nullptr) << "the widget lives as long as its form";
  EXPECT_EQ(TransientParentOf(*dialog), nullptr);
  EXPECT_EQ(dialog->Window()->windowType(), Qt::Window);
  EXPECT_TRUE(dialog->Window()->isVisible()) << "a shown dialog stays shown";
  EXPECT_EQ(dialog->Window()->geometry(), QRect(area.x() + 20, area.y() + 20, 200, 150));
  dialog->Hide();
  dialog->Show();
  Process();
  EXPECT_EQ(TransientParentOf(*dialog), nullptr);
  dialog.reset();
}

TEST_F(OwnedWindowTest, CentredOnTheOwnersScreen) {
  owner->Show();
  Process();
  ASSERT_EQ(owner->HomeScreen(), screen);
  const struct {
    const char* position;
    QSize size;
  } rows[] = {
      {"poScreenCenter", QSize(300, 200)},
      {"poDesktopCenter", QSize(301, 199)},
  };
  for (const auto& r : rows) {
    auto* dialog = new TForm(owner.get());
    LoadWindowDefinitionText(dialog,
                             QStringLiteral("object D: TForm\n  Left = 3\n  Top = 4\n  Width = %1\n  Height = %2\n"
                                            "  Position = %3\nend\n")
                                 .arg(r.size.width())
                                 .arg(r.size.height())
                                 .arg(QLatin1String(r.position)),
                             QStringLiteral("Test.def"));
    EXPECT_EQ(dialog->HomeScreen(), screen);
    dialog->Show();
    Process();
    const QPoint expected(area.x() + (area.width() - r.size.width()) / 2,
                          area.y() + (area.height() - r.size.height()) / 2);
    EXPECT_EQ(dialog->Window()->geometry(), QRect(expected, r.size)) << r.position << " " << r.size.width();
    delete dialog;
  }
}

TEST_F(OwnedWindowTest, AWindowPlacedOutOfReachOpensOnItsOwnersScreen) {
  owner->Show();
  Process();
  QRect everything;
  for (QScreen* s : QGuiApplication::screens()) everything |= s->geometry();
  const QRect far(everything.right() + 5000, everything.bottom() + 4000, 300, 220);
  const QRect huge(everything.left() - 9000, everything.top() - 9000, area.width() + 300, area.height() + 200);
  const auto centred = [&](QSize size) {
    size = size.boundedTo(area.size());
    return QRect(area.x() + (area.width() - size.width()) / 2, area.y() + (area.height() - size.height()) / 2,
                 size.width(), size.height());
  };
  ASSERT_EQ(centred(huge.size()).size(), area.size());
  const auto record = [](QRect r) {
    TWindowPlacement p;
    p.showCmd = SW_HIDE;
    p.left = r.x();
    p.top = r.y();
    p.right = r.x() + r.width();
    p.bottom = r.y() + r.height();
    return p;
  };
  const struct {
    const char* name;
    std::function<void(TForm&)> place;
    QRect expected;
  } rows[] = {
      {"a saved placement far off every screen", [&](TForm& f) { SetWindowPlacement(f, record(far)); },
       centred(far.size())},
      {"a saved placement larger than the screen and off it", [&](TForm& f) { SetWindowPlacement(f, record(huge)); },
       centred(huge.size())},
      {"designed off the screen", [&](TForm& f) { f.SetBounds(far.x(), far.y(), far.width(), far.height()); },
       centred(far.size())},
      {"title bar above the screen", [&](TForm& f) { f.SetBounds(area.x() + 40, area.y() - 100, 300, 220); },
       centred(QSize(300, 220))},
      {"on the screen, left alone",
       [&](TForm& f) { SetWindowPlacement(f, record(QRect(area.x() + 7, area.y() + 9, 300, 220))); },
       QRect(area.x() + 7, area.y() + 9, 300, 220)},
  };
  for (const auto& r : rows) {
    auto* dialog = new TForm(owner.get());
    r.place(*dialog);
    dialog->Show();
    Process();
    const QRect shown = dialog->Window()->geometry();
    if (r.expected.size() == area.size()) {
      // As large as the work area: the platform may still nudge it to fit
      // its frame, so only its size and its reach are certain.
      EXPECT_EQ(shown.size(), r.expected.size()) << r.name;
      EXPECT_EQ(KeepOnScreen(shown), shown) << r.name << ": " << shown;
    } else {
      EXPECT_EQ(shown, r.expected) << r.name;
      EXPECT_EQ(dialog->BoundsRect(), r.expected) << r.name;
    }

    // Moved away while hidden, it is brought back at the next showing.
    dialog->Hide();
    dialog->SetBounds(far.x(), far.y(), 250, 180);
    dialog->Show();
    Process();
    EXPECT_EQ(dialog->Window()->geometry(), centred(QSize(250, 180))) << r.name << ", shown again";
    delete dialog;
  }
}

}  // namespace
