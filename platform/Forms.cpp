#include "Forms.h"

#include "Definition.h"
#include "Dialogs.h"
#include "Dispatch.h"
#include "Exceptions.h"
#include "Menus.h"
#include "Placement.h"
#include "StdCtrls.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <QWidget>

TApplication* Application = nullptr;

// The top-level widget of a window: it reports the toolkit's window events to
// its form.
class FormWindow : public QWidget {
public:
  explicit FormWindow(TCustomForm* form) : FForm(form) {}
  // The form is going: the widget outlives its events, which nobody hears.
  void Detach() { FForm = nullptr; }
  // A key pressed on `target`, one of this window's widgets, before the
  // widget sees it; true when the window's key preview took it.
  bool PreviewKey(QWidget* target, const QKeyEvent* event) { return FForm && FForm->PreviewKey(target, event); }

protected:
  void closeEvent(QCloseEvent* event) override {
    // The form decides; the toolkit never closes a window by itself.
    event->ignore();
    if (FForm) Dispatch([this] { FForm->Close(); });
  }
  void changeEvent(QEvent* event) override {
    if (FForm && event->type() == QEvent::ActivationChange) {
      if (isActiveWindow())
        FForm->Activate();
      else
        FForm->Deactivate();
    }
    QWidget::changeEvent(event);
  }
  void showEvent(QShowEvent* event) override {
    QWidget::showEvent(event);
    if (FForm && !event->spontaneous())
      Dispatch([this] {
        if (FForm->FOnShow) FForm->FOnShow(FForm);
      });
  }
  void hideEvent(QHideEvent* event) override {
    QWidget::hideEvent(event);
    if (FForm && !event->spontaneous())
      Dispatch([this] {
        if (FForm->FOnHide) FForm->FOnHide(FForm);
      });
  }
  void moveEvent(QMoveEvent* event) override {
    QWidget::moveEvent(event);
    if (FForm) FForm->WindowMovedOrResized();
  }
  void resizeEvent(QResizeEvent* event) override {
    QWidget::resizeEvent(event);
    if (FForm) FForm->WindowMovedOrResized();
  }
  // Reached by the keys that the focused control left unused.
  void keyPressEvent(QKeyEvent* event) override {
    if (FForm && FForm->DialogKey(event))
      event->accept();
    else
      QWidget::keyPressEvent(event);
  }

private:
  TCustomForm* FForm;
};

namespace {
// A window tied to another one on the desktop is the toolkit's child of that
// window, of the dialog kind, so that the window manager keeps it above;
// without one it is an ordinary top-level window. Changing the parent hides
// a window and may move it: both are put back.
void SetOwnerWindow(QWidget* window, QWidget* owner) {
  const QRect geometry = window->geometry();
  const bool shown = window->isVisible();
  window->setParent(owner, (window->windowFlags() & ~Qt::WindowType_Mask) | (owner ? Qt::Dialog : Qt::Window));
  window->setGeometry(geometry);
  if (shown) window->show();
}

// The first enabled, shown button of the window marked as its default (or
// its cancel) button.
TButton* FindDialogButton(const TWinControl* parent, const QWidget* window, bool isDefault) {
  for (int i = 0; i < parent->ControlCount(); ++i) {
    TControl* control = parent->Controls(i);
    if (auto* button = qobject_cast<TButton*>(control)) {
      QWidget* w = button->Widget();
      if ((isDefault ? button->Default() : button->Cancel()) && w && w->isEnabled() && w->isVisibleTo(window))
        return button;
    } else if (auto* container = qobject_cast<TWinControl*>(control)) {
      if (TButton* found = FindDialogButton(container, window, isDefault)) return found;
    }
  }
  return nullptr;
}

// The window whose activation event ran last, so that it is deactivated
// before another one is activated, whatever order the toolkit reports.
TCustomForm* gActiveForm = nullptr;

// Key preview needs the key presses of every widget of a window, which the
// toolkit delivers to the focused widget only. One filter on the application
// hands each key press to the window it happens in; everything else a window
// hears through the filter on its own widgets.
class KeyPreviewFilter : public QObject {
public:
  using QObject::QObject;

  static void Install() {
    static QPointer<KeyPreviewFilter> filter;
    if (filter || !qApp) return;
    filter = new KeyPreviewFilter(qApp);
    qApp->installEventFilter(filter);
  }

protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType()) return false;
    auto* target = static_cast<QWidget*>(watched);
    auto* window = dynamic_cast<FormWindow*>(target->window());
    return window && window->PreviewKey(target, static_cast<QKeyEvent*>(event));
  }
};
}  // namespace

TCustomForm::TCustomForm(TComponent* owner) : TWinControl(owner) {
  auto* window = new FormWindow(this);
  window->setAttribute(Qt::WA_DeleteOnClose, false);
  auto* layout = new QVBoxLayout(window);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  FMenuBar = new QMenuBar(window);
  FMenuBar->setNativeMenuBar(false);
  FMenuBar->hide();
  layout->setMenuBar(FMenuBar);
  FClient = new QWidget(window);
  FClient->setAutoFillBackground(true);
  layout->addWidget(FClient, 1);
  FClient->installEventFilter(this);
  KeyPreviewFilter::Install();
  FParentFont = false;
  FParentColor = false;
  SetWidget(window);
  FColor = clBtnFace;
  ApplyColor();
  SetBounds(0, 0, 320, 240);
  FClientWidth = 320;
  FClientHeight = 240;
}

TCustomForm::~TCustomForm() {
  // Freed without a teardown (a window on the stack): its components go
  // now, and no handler of the half-destroyed window runs.
  Detach();
  DestroyComponents();
  FClient->removeEventFilter(this);
  if (Application) Application->NotifyFormDestroyed(this);
}

void TCustomForm::Detach() {
  if (gActiveForm == this) gActiveForm = nullptr;
  if (auto* window = dynamic_cast<FormWindow*>(FWidget.data())) window->Detach();
  ReleaseOwnedWindows();
}

void TCustomForm::ReleaseOwnedWindows() {
  if (!FWidget) return;
  const QObjectList children = FWidget->children();
  for (QObject* child : children)
    if (auto* window = dynamic_cast<FormWindow*>(child)) SetOwnerWindow(window, nullptr);
}

TCustomForm* TCustomForm::OwnerWindowForm() const {
  auto usable = [this](TCustomForm* form) {
    // Never a window tied to this one: the two would hold each other.
    if (!form || form == this || !form->FWidget || !form->FWidget->isVisible()) return false;
    for (const QWidget* w = form->FWidget; w; w = w->parentWidget())
      if (w == FWidget) return false;
    return true;
  };
  if (auto* owner = qobject_cast<TCustomForm*>(Owner()); usable(owner)) return owner;
  if (Application && usable(Application->MainForm())) return Application->MainForm();
  return nullptr;
}

QScreen* TCustomForm::HomeScreen() const {
  if (TCustomForm* owner = OwnerWindowForm()) {
    QWidget* w = owner->FWidget;
    if (QScreen* s = QGuiApplication::screenAt(w->frameGeometry().center())) return s;
    if (QScreen* s = w->screen()) return s;
  }
  return QGuiApplication::primaryScreen();
}

void TCustomForm::AttachToOwnerWindow() {
  TCustomForm* owner = OwnerWindowForm();
  QWidget* ownerWindow = owner ? owner->FWidget.data() : nullptr;
  if (FWidget->parentWidget() == ownerWindow) return;
  // The window keeps its own bounds; the moves of the change are not the
  // user's.
  FSettingGeometry = true;
  SetOwnerWindow(FWidget, ownerWindow);
  FSettingGeometry = false;
  ApplyGeometry();
}

void TCustomForm::BeforeDestruction() {
  // From here on the toolkit's window events reach nobody; the destruction
  // event is the last one the window's handlers hear.
  Detach();
  try {
    if (FOnDestroy) FOnDestroy(this);
  } catch (...) {
    HandleCurrentException();
  }
  // The components go while the window is whole, last created first; the
  // settings they keep are written on the way.
  TWinControl::BeforeDestruction();
}

void TCustomForm::LoadDefinition(const QString& resourcePath) { LoadWindowDefinition(this, resourcePath); }

void TCustomForm::AfterConstruction() {
  if (FOnCreate) Dispatch([this] { FOnCreate(this); });
  RaiseHandlerError();
}

void TCustomForm::SetText(const QString& text) {
  FText = text;
  FWidget->setWindowTitle(text);
}

void TCustomForm::SetBounds(int left, int top, int width, int height) {
  width = std::max(0, width);
  height = std::max(0, height);
  FLeft = left;
  FTop = top;
  FWidth = width;
  FHeight = height;
  FNormalBounds = QRect(left, top, width, height);
  ApplyGeometry();
}

void TCustomForm::ApplyGeometry() {
  if (!FWidget) return;
  if (FWidget->isVisible() && (FWidget->windowState() & (Qt::WindowMaximized | Qt::WindowMinimized))) return;
  FSettingGeometry = true;
  // A window of a fixed border keeps the size it is given now, not the one
  // it had when the border was set.
  if (FFixedSize) FWidget->setFixedSize(FWidth, FHeight);
  FWidget->setGeometry(FLeft, FTop, FWidth, FHeight);
  FSettingGeometry = false;
}

static int MenuBarHeight(const QMenuBar* bar) { return bar && !bar->isHidden() ? bar->sizeHint().height() : 0; }

void TCustomForm::SetClientWidth(int v) {
  FClientWidth = v;
  SetBounds(FLeft, FTop, v, FHeight);
  Realign();
}

void TCustomForm::SetClientHeight(int v) {
  FClientHeight = v;
  SetBounds(FLeft, FTop, FWidth, v + MenuBarHeight(FMenuBar));
  Realign();
}

void TCustomForm::WindowMovedOrResized() {
  if (FSettingGeometry || !FWidget) return;
  const QRect g = FWidget->geometry();
  if (!(FWidget->windowState() & (Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen))) FNormalBounds = g;
  FLeft = g.x();
  FTop = g.y();
  FWidth = g.width();
  FHeight = g.height();
}

void TCustomForm::WidgetResized(int, int) {}

QRect TCustomForm::NormalBounds() const { return FNormalBounds; }

void TCustomForm::SetNormalBounds(const QRect& r) {
  FNormalBounds = r;
  const bool special = FWidget->isVisible() && (FWidget->windowState() & (Qt::WindowMaximized | Qt::WindowMinimized));
  if (!special) {
    FLeft = r.x();
    FTop = r.y();
    FWidth = r.width();
    FHeight = r.height();
    ApplyGeometry();
  } else {
    // The toolkit keeps the restored geometry of a maximised window itself;
    // set it by restoring for a moment would flicker, so remember it and
    // apply it when the window is restored.
    FPendingNormal = true;
  }
}

bool TCustomForm::eventFilter(QObject* watched, QEvent* event) {
  if (Destroying()) return false;
  if (watched == FClient && event->type() == QEvent::Resize) {
    const QSize s = FClient->size();
    if (s.width() != FClientWidth || s.height() != FClientHeight) {
      FClientWidth = s.width();
      FClientHeight = s.height();
      Dispatch([this] {
        Realign();
        if (FOnResize) FOnResize(this);
      });
    }
    return false;
  }
  if (watched == FWidget) return TWinControl::eventFilter(watched, event);
  return false;
}

bool TCustomForm::DialogKey(const QKeyEvent* event) {
  if (Destroying() || (event->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) return false;
  const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
  if (!enter && event->key() != Qt::Key_Escape) return false;
  // A focused button takes Enter as if it were the default one.
  if (auto* focused = qobject_cast<QPushButton*>(FWidget->focusWidget()); enter && focused && focused->isEnabled()) {
    focused->click();
    return true;
  }
  TButton* button = FindDialogButton(this, FWidget, enter);
  if (!button) return false;
  // The same click as the mouse's: the button's modal result, then its
  // OnClick.
  static_cast<QPushButton*>(button->Widget())->click();
  return true;
}

bool TCustomForm::PreviewKey(QWidget* target, const QKeyEvent* event) {
  if (!FKeyPreview || !FOnFormKeyPress || Destroying()) return false;
  // The key goes where the focus is; with no focus, to the window itself.
  QWidget* focus = QApplication::focusWidget();
  if (target == focus || (!focus && target == FWidget)) return FilterKeyPress(this, target, event, FOnFormKeyPress);
  return false;
}

TWindowState TCustomForm::WindowState() const {
  if (FWidget && FWidget->isVisible()) {
    const Qt::WindowStates s = FWidget->windowState();
    if (s & Qt::WindowMinimized) return wsMinimized;
    if (s & Qt::WindowMaximized) return wsMaximized;
    return wsNormal;
  }
  return FWindowState;
}

void TCustomForm::SetWindowState(TWindowState v) {
  FWindowState = v;
  if (!FWidget || !FWidget->isVisible()) return;
  switch (v) {
    case wsMinimized: FWidget->showMinimized(); break;
    case wsMaximized: FWidget->showMaximized(); break;
    case wsNormal:
      FWidget->showNormal();
      if (FPendingNormal) {
        FPendingNormal = false;
        ApplyNormalBounds();
      }
      break;
  }
}

void TCustomForm::ApplyNormalBounds() {
  FSettingGeometry = true;
  FWidget->setGeometry(FNormalBounds);
  FSettingGeometry = false;
  WindowMovedOrResized();
}

void TCustomForm::SetBorderStyle(TFormBorderStyle v) {
  FBorderStyle = v;
  UpdateWindowFlags();
}

void TCustomForm::SetBorderIcons(TBorderIcons v) {
  FBorderIcons = v;
  UpdateWindowFlags();
}

void TCustomForm::UpdateWindowFlags() {
  const bool visible = FWidget->isVisible();
  Qt::WindowFlags f = Qt::Window | Qt::WindowTitleHint | Qt::CustomizeWindowHint;
  const bool sizeable = FBorderStyle == bsSizeable || FBorderStyle == bsSizeToolWin;
  if (FBorderIcons.testFlag(biSystemMenu)) f |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
  if (FBorderStyle != bsDialog && FBorderStyle != bsToolWindow && FBorderStyle != bsSizeToolWin) {
    if (FBorderIcons.testFlag(biMinimize)) f |= Qt::WindowMinimizeButtonHint;
    if (FBorderIcons.testFlag(biMaximize) && sizeable) f |= Qt::WindowMaximizeButtonHint;
  }
  if (FBorderStyle == bsNone) f = Qt::Window | Qt::FramelessWindowHint;
  // A window tied to an owner window stays of the dialog kind.
  if (FWidget->parentWidget()) f = (f & ~Qt::WindowType_Mask) | Qt::Dialog;
  FWidget->setWindowFlags(f);
  FFixedSize = !sizeable;
  if (FFixedSize)
    FWidget->setFixedSize(FWidth, FHeight);
  else {
    FWidget->setMinimumSize(0, 0);
    FWidget->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
  }
  if (visible) FWidget->show();
}

void TCustomForm::SetMenu(TMainMenu* menu) {
  if (FMenu) {
    FMenu->OnChange = nullptr;
    FMenu->RemoveFreeNotification(this);
  }
  FMenu = menu;
  if (menu) {
    menu->FreeNotification(this);
    menu->OnChange = [this] { RebuildMenuBar(); };
  }
  RebuildMenuBar();
}

void TCustomForm::RebuildMenuBar() {
  const int before = MenuBarHeight(FMenuBar);
  if (FMenu) {
    FMenu->BuildMenuBar(FMenuBar, FWidget);
    FMenuBar->show();
  } else {
    FMenuBar->clear();
    FMenuBar->hide();
  }
  const int after = MenuBarHeight(FMenuBar);
  // The client area keeps its size; the window grows by the bar.
  if (after != before) SetBounds(FLeft, FTop, FWidth, FClientHeight + after);
}

void TCustomForm::SetActiveControl(TControl* c) {
  FActiveControl = c;
  if (auto* w = qobject_cast<TWinControl*>(c))
    if (w->Widget()) w->Widget()->setFocus(Qt::OtherFocusReason);
}

void TCustomForm::Notification(TComponent* component, TOperation operation) {
  TWinControl::Notification(component, operation);
  if (operation != TOperation::opRemove) return;
  if (component == FMenu) {
    FMenu = nullptr;
    if (!Destroying()) RebuildMenuBar();
  }
  if (component == FActiveControl) FActiveControl = nullptr;
}

void TCustomForm::PlaceForShow() {
  QScreen* screen = HomeScreen();
  if (!screen) return;
  if (!FPlaced) {
    FPlaced = true;
    // Centred on the screen of the window it belongs to: on a desktop of
    // several screens, the desktop's middle may be the seam between two.
    QRect area;
    switch (FPosition) {
      case poScreenCenter:
      case poDesktopCenter: area = screen->availableGeometry(); break;
      case poMainFormCenter:
      case poOwnerFormCenter: {
        auto* owner = qobject_cast<TCustomForm*>(Owner());
        if (FPosition == poMainFormCenter && Application) owner = Application->MainForm();
        area = owner && owner != this ? owner->Window()->frameGeometry() : screen->availableGeometry();
        break;
      }
      default: break;
    }
    if (!area.isNull()) {
      const int left = area.x() + (area.width() - FWidth) / 2, top = area.y() + (area.height() - FHeight) / 2;
      SetBounds(std::max(area.x(), left), std::max(area.y(), top), FWidth, FHeight);
    }
  }
  // Whatever placed it (its definition, a saved placement, the program), a
  // window never opens where the user cannot take hold of it.
  if (WindowState() == wsNormal) {
    const QRect kept = KeepOnScreen(BoundsRect(), screen);
    if (kept != BoundsRect()) SetBounds(kept.x(), kept.y(), kept.width(), kept.height());
  }
}

void TCustomForm::Show() {
  AttachToOwnerWindow();
  PlaceForShow();
  FVisible = true;
  switch (FWindowState) {
    case wsMaximized: FWidget->showMaximized(); break;
    case wsMinimized: FWidget->showMinimized(); break;
    default: FWidget->show(); break;
  }
  if (FWindowState != wsMinimized) BringToFront();
  RaiseHandlerError();
}

void TCustomForm::Hide() {
  FWindowState = WindowState();
  FVisible = false;
  FWidget->hide();
  RaiseHandlerError();
}

bool TCustomForm::Active() const { return FActive; }

void TCustomForm::BringToFront() {
  FWidget->raise();
  FWidget->activateWindow();
}

void TCustomForm::Restore() {
  if (!FWidget->isVisible()) return;
  if (FWidget->windowState() & Qt::WindowMinimized) {
    FWidget->setWindowState(FWidget->windowState() & ~Qt::WindowMinimized);
    FWidget->show();
  }
  BringToFront();
}

void TCustomForm::Activate() {
  if (FActive) return;
  if (gActiveForm && gActiveForm != this) gActiveForm->Deactivate();
  FActive = true;
  gActiveForm = this;
  Dispatch([this] {
    if (FOnActivate) FOnActivate(this);
  });
}

void TCustomForm::Deactivate() {
  if (!FActive) return;
  FActive = false;
  if (gActiveForm == this) gActiveForm = nullptr;
  Dispatch([this] {
    if (FOnDeactivate) FOnDeactivate(this);
  });
}

bool TCustomForm::CloseQuery() {
  bool canClose = true;
  if (FOnCloseQuery) FOnCloseQuery(this, canClose);
  return canClose;
}

void TCustomForm::DoClose(TCloseAction& action) {
  if (FOnClose) FOnClose(this, action);
}

void TCustomForm::Close() {
  if (FModal) {
    FModalResult = mrCancel;
    return;
  }
  if (!CloseQuery()) return;
  TCloseAction action = caHide;
  DoClose(action);
  if (action == caNone) return;
  if (Application && Application->MainForm() == this) {
    Application->Terminate();
  } else if (action == caMinimize) {
    SetWindowState(wsMinimized);
  } else {
    Hide();
    // Freed once the handler that asked to close has returned.
    if (action == caFree) deleteLater();
  }
}

int TCustomForm::ShowModal() {
  if (FModal || FWidget->isVisible()) throw EInvalidOperation(QStringLiteral("Cannot make a visible window modal"));
  FModal = true;
  FModalDone = false;
  FModalResult = mrNone;
  FWidget->setWindowModality(Qt::ApplicationModal);
  struct EndModal {
    TCustomForm* form;
    ~EndModal() {
      try {
        form->Hide();
      } catch (...) {
        HandleCurrentException();
      }
      form->FWidget->setWindowModality(Qt::NonModal);
      form->FModal = false;
    }
  } end{this};
  Show();
  {
    TEventLoopScope loop;
    Application->ModalHost().RunModalLoop(*this);
  }
  return FModalResult;
}

bool TCustomForm::ModalLoopDone() {
  if (FModalDone) return true;
  if (Application && Application->Terminated()) {
    if (FModalResult == mrNone) FModalResult = mrCancel;
    return true;
  }
  if (FModalResult == mrNone) return false;
  CloseModal();
  FModalDone = FModalResult != mrNone;
  return FModalDone;
}

void TCustomForm::CloseModal() {
  try {
    TCloseAction action = caNone;
    if (CloseQuery()) {
      action = caHide;
      DoClose(action);
    }
    if (action == caNone) FModalResult = mrNone;
  } catch (...) {
    FModalResult = mrNone;
    HandleCurrentException();
  }
}

TCustomForm* GetParentForm(const TControl* control) {
  const TControl* c = control;
  while (c && c->Parent()) c = c->Parent();
  return qobject_cast<TCustomForm*>(const_cast<TControl*>(c));
}

// ---------------------------------------------------------------- TApplication

TApplication::TApplication() : FDefaultHost(MakeDesktopModalHost()), FHost(FDefaultHost.get()) {
  Application = this;
  SetExceptionHandler([this](std::exception_ptr e) { HandleException(e); });
}

TApplication::~TApplication() {
  DestroyComponents();
  SetExceptionHandler(nullptr);
  if (Application == this) Application = nullptr;
}

// The title is not handed to Qt as the display name: Qt would append it to
// every window's caption ("Potvrda - Notarium 1.0" where the box says
// "Potvrda"). Boxes take it as their caption where they need it.
void TApplication::SetTitle(const QString& title) { FTitle = title; }

void TApplication::Initialize() { QApplication::setQuitOnLastWindowClosed(false); }

void TApplication::Run() {
  if (!FMainForm) return;
  FMainForm->Show();
  while (!FTerminated) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

void TApplication::Terminate() {
  FTerminated = true;
  // Wakes the message loop so that it sees the flag.
  QMetaObject::invokeMethod(
      qApp, [] {}, Qt::QueuedConnection);
}

void TApplication::ProcessMessages() {
  TEventLoopScope loop;
  QCoreApplication::processEvents();
}

void TApplication::HandleException(std::exception_ptr error) { ShowException(ExceptionMessage(error)); }

void TApplication::ShowException(const QString& message) {
  TEventLoopScope loop;
  FHost->Error(message, FTitle);
}

void TApplication::Restore() {
  if (FMainForm) FMainForm->Restore();
}

bool TApplication::IsMinimized() const { return FMainForm && FMainForm->WindowState() == wsMinimized; }

IModalHost* TApplication::SetModalHost(IModalHost* host) {
  IModalHost* old = FHost;
  FHost = host ? host : FDefaultHost.get();
  return old;
}

void TApplication::NotifyFormDestroyed(TCustomForm* form) {
  if (form == FMainForm) FMainForm = nullptr;
}
