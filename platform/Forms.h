// Windows and the application object.
#pragma once

#include "Controls.h"
#include "Events.h"
#include "Menus.h"

#include <QPointer>
#include <QString>

#include <exception>
#include <memory>

class QKeyEvent;
class QMenuBar;
class QScreen;
class QWidget;
class IModalHost;

enum TModalResult { mrNone = 0, mrOk = 1, mrCancel = 2, mrAbort = 3, mrRetry = 4, mrIgnore = 5, mrYes = 6, mrNo = 7 };

// A top-level window, built from its definition. Its events: creation,
// activation and deactivation, showing and hiding, the close query (which may
// veto closing), the close itself and destruction.
class TCustomForm : public TWinControl {
  Q_OBJECT
public:
  explicit TCustomForm(TComponent* owner = nullptr);
  ~TCustomForm() override;

  // Builds the window's components from a definition compiled into the
  // program, then runs nothing else; the creation event follows when the
  // window is complete (see CreateForm).
  void LoadDefinition(const QString& resourcePath);
  // Runs the creation event. An error in it is shown, and the window stays.
  virtual void AfterConstruction();
  THandlerTable& Handlers() { return FHandlers; }

  void SetBounds(int left, int top, int width, int height) override;
  int ClientWidth() const { return FClientWidth; }
  void SetClientWidth(int v);
  int ClientHeight() const { return FClientHeight; }
  void SetClientHeight(int v);
  QRect ClientRect() const override { return QRect(0, 0, FClientWidth, FClientHeight); }
  QWidget* ClientWidget() const override { return FClient; }

  TPosition Position() const { return FPosition; }
  // Changing Position does not move a window that is already placed.
  void SetPosition(TPosition v) { FPosition = v; }
  TWindowState WindowState() const;
  void SetWindowState(TWindowState v);
  TFormBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TFormBorderStyle v);
  TBorderIcons BorderIcons() const { return FBorderIcons; }
  void SetBorderIcons(TBorderIcons v);
  bool KeyPreview() const { return FKeyPreview; }
  void SetKeyPreview(bool v) { FKeyPreview = v; }
  TMainMenu* Menu() const { return FMenu; }
  void SetMenu(TMainMenu* menu);
  QString HelpFile() const { return FHelpFile; }
  void SetHelpFile(const QString& v) { FHelpFile = v; }
  TControl* ActiveControl() const { return FActiveControl; }
  void SetActiveControl(TControl* c);

  // Shows the window (placing it first by Position and WindowState).
  void Show();
  void Hide();
  // Asks the close query and, if closing is allowed, closes: a modal window
  // ends its modal loop, the main window ends the program.
  void Close();
  // Runs the close query: the window's own handler decides.
  virtual bool CloseQuery();
  // Shows the window modally and returns its modal result.
  int ShowModal();
  int ModalResult() const { return FModalResult; }
  void SetModalResult(int v) { FModalResult = v; }
  bool IsModal() const { return FModal; }
  // For modal loops: whether the loop should end now. A set modal result
  // runs the close query, which may veto and clear it. Once the close is
  // granted the loop stays done; the close query is not asked again.
  bool ModalLoopDone();
  bool Active() const;
  // Makes the window the active one and raises it.
  void BringToFront();
  // What a restore command does: a minimised window comes back as it was
  // before, and is raised.
  void Restore();

  // Runs the activation and deactivation events, as the toolkit's focus
  // changes do.
  void Activate();
  void Deactivate();

  // The window's top-level widget.
  QWidget* Window() const { return FWidget; }
  // The visible window this one belongs to on the desktop: its owner, or
  // else the main window; none for the main window itself. The window stays
  // above it while both are shown.
  TCustomForm* OwnerWindowForm() const;
  // The screen the window opens on: its owner window's, else the primary one.
  QScreen* HomeScreen() const;

protected:
  // The window's events; TForm publishes them.
  TNotifyEvent FOnCreate, FOnDestroy, FOnActivate, FOnDeactivate, FOnShow, FOnHide, FOnResize;
  TCloseQueryEvent FOnCloseQuery;
  TCloseEvent FOnClose;
  TKeyPressEvent FOnFormKeyPress;

  void DoClose(TCloseAction& action);
  void CloseModal();
  void ApplyGeometry() override;
  void ApplyVisibility() override {}
  void SetText(const QString& text) override;
  void WidgetResized(int width, int height) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  // The teardown: the destruction event, then the components.
  void BeforeDestruction() override;
  // Places the window before its first showing: centred by Position.
  void PlaceForShow();
  void Notification(TComponent* component, TOperation operation) override;

  THandlerTable FHandlers;
  QWidget* FClient = nullptr;
  QMenuBar* FMenuBar = nullptr;
  int FClientWidth = 0, FClientHeight = 0;
  TPosition FPosition = poDesigned;
  TWindowState FWindowState = wsNormal;
  TFormBorderStyle FBorderStyle = bsSizeable;
  TBorderIcons FBorderIcons = TBorderIcons(biSystemMenu | biMinimize | biMaximize);
  bool FKeyPreview = false;
  TMainMenu* FMenu = nullptr;
  QString FHelpFile;
  TControl* FActiveControl = nullptr;
  int FModalResult = 0;
  bool FModal = false;
  bool FModalDone = false;
  bool FPlaced = false;
  bool FActive = false;

private:
  friend class FormWindow;
  // Cuts the window off from the toolkit's window events.
  void Detach();
  // The key preview: runs OnKeyPress for a key pressed on `target`.
  bool PreviewKey(QWidget* target, const QKeyEvent* event);
  // Enter and Escape that no control used: they press the default and the
  // cancel button. True when a button took the key.
  bool DialogKey(const QKeyEvent* event);
  // Ties the window to its owner window before it shows, or unties it.
  void AttachToOwnerWindow();
  // The owned windows tied to this one are let go before this one's widget
  // is freed: their own forms free them.
  void ReleaseOwnedWindows();
  void UpdateWindowFlags();
  void RebuildMenuBar();
  void WindowMovedOrResized();
  void ApplyNormalBounds();
  bool FPendingNormal = false;
  bool FFixedSize = false;
  // The restored bounds of the window, kept while it is maximised or
  // minimised; the placement record reads them.
  QRect FNormalBounds;

  int FPlacementFlags = 0;
  QPoint FMinPosition{-1, -1};
  QPoint FMaxPosition{-1, -1};

public:
  QRect NormalBounds() const;
  void SetNormalBounds(const QRect& r);
  // What the placement record keeps beyond the bounds and the state.
  int PlacementFlags() const { return FPlacementFlags; }
  QPoint PlacementMinPosition() const { return FMinPosition; }
  QPoint PlacementMaxPosition() const { return FMaxPosition; }
  void SetPlacementExtras(int flags, QPoint minPosition, QPoint maxPosition) {
    FPlacementFlags = flags;
    FMinPosition = minPosition;
    FMaxPosition = maxPosition;
  }
};

// The published face of a window.
class TForm : public TCustomForm {
  Q_OBJECT
  Q_PROPERTY(TControl* ActiveControl READ ActiveControl WRITE SetActiveControl)
  Q_PROPERTY(Vcl::TBorderIcons BorderIcons READ BorderIcons WRITE SetBorderIcons)
  Q_PROPERTY(Vcl::TFormBorderStyle BorderStyle READ BorderStyle WRITE SetBorderStyle)
  Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
  Q_PROPERTY(int ClientHeight READ ClientHeight WRITE SetClientHeight)
  Q_PROPERTY(int ClientWidth READ ClientWidth WRITE SetClientWidth)
  Q_PROPERTY(int Color READ Color WRITE SetColor)
  Q_PROPERTY(TFont* Font READ Font WRITE SetFont)
  Q_PROPERTY(QString HelpFile READ HelpFile WRITE SetHelpFile)
  Q_PROPERTY(bool KeyPreview READ KeyPreview WRITE SetKeyPreview)
  Q_PROPERTY(TMainMenu* Menu READ Menu WRITE SetMenu)
  Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
  Q_PROPERTY(TPopupMenu* PopupMenu READ PopupMenu WRITE SetPopupMenu)
  Q_PROPERTY(Vcl::TPosition Position READ Position WRITE SetPosition)
  Q_PROPERTY(Vcl::TWindowState WindowState READ WindowState WRITE SetWindowState)
  Q_PROPERTY(TNotifyEvent OnActivate READ OnActivate WRITE SetOnActivate)
  Q_PROPERTY(TCloseEvent OnClose READ OnClose WRITE SetOnClose)
  Q_PROPERTY(TCloseQueryEvent OnCloseQuery READ OnCloseQuery WRITE SetOnCloseQuery)
  Q_PROPERTY(TNotifyEvent OnCreate READ OnCreate WRITE SetOnCreate)
  Q_PROPERTY(TNotifyEvent OnDeactivate READ OnDeactivate WRITE SetOnDeactivate)
  Q_PROPERTY(TNotifyEvent OnDestroy READ OnDestroy WRITE SetOnDestroy)
  Q_PROPERTY(TNotifyEvent OnHide READ OnHide WRITE SetOnHide)
  Q_PROPERTY(TKeyPressEvent OnKeyPress READ OnKeyPress WRITE SetOnKeyPress)
  Q_PROPERTY(TNotifyEvent OnResize READ OnResize WRITE SetOnResize)
  Q_PROPERTY(TNotifyEvent OnShow READ OnShow WRITE SetOnShow)
public:
  explicit TForm(TComponent* owner = nullptr) : TCustomForm(owner) {}

#define NOTARIUM_FORM_EVENT(Type, Name, Field) \
  Type Name() const { return Field; }          \
  void Set##Name(const Type& e) { Field = e; }
  NOTARIUM_FORM_EVENT(TNotifyEvent, OnActivate, FOnActivate)
  NOTARIUM_FORM_EVENT(TCloseEvent, OnClose, FOnClose)
  NOTARIUM_FORM_EVENT(TCloseQueryEvent, OnCloseQuery, FOnCloseQuery)
  NOTARIUM_FORM_EVENT(TNotifyEvent, OnCreate, FOnCreate)
  NOTARIUM_FORM_EVENT(TNotifyEvent, OnDeactivate, FOnDeactivate)
  NOTARIUM_FORM_EVENT(TNotifyEvent, OnDestroy, FOnDestroy)
  NOTARIUM_FORM_EVENT(TNotifyEvent, OnHide, FOnHide)
  NOTARIUM_FORM_EVENT(TKeyPressEvent, OnKeyPress, FOnFormKeyPress)
  NOTARIUM_FORM_EVENT(TNotifyEvent, OnResize, FOnResize)
  NOTARIUM_FORM_EVENT(TNotifyEvent, OnShow, FOnShow)
#undef NOTARIUM_FORM_EVENT
};

// The window a control stands on, or none.
TCustomForm* GetParentForm(const TControl* control);

// Creates a window of class T owned by `owner`: builds it from its
// definition (in T's constructor) and then runs its creation event.
template <class T>
T* CreateForm(TComponent* owner) {
  auto* form = new T(owner);
  form->AfterConstruction();
  return form;
}

// The running program: its title, its main window, the error display, and the
// seam through which every modal box and modal loop goes.
class TApplication : public TComponent {
  Q_OBJECT
public:
  TApplication();
  ~TApplication() override;

  QString Title() const { return FTitle; }
  void SetTitle(const QString& title);
  void Initialize();

  TCustomForm* MainForm() const { return FMainForm; }
  // Creates a window owned by the application; the first one becomes the
  // main window.
  template <class T>
  void CreateForm(T*& reference) {
    reference = ::CreateForm<T>(this);
    if (!FMainForm) FMainForm = reference;
  }
  // Shows the main window and runs the message loop until it closes.
  void Run();
  void Terminate();
  bool Terminated() const { return FTerminated; }
  // Processes pending events once, without waiting.
  void ProcessMessages();

  // The error display: an error box with the exception's text (an exception
  // without text gives an empty box), captioned with the title.
  void HandleException(std::exception_ptr error);
  void ShowException(const QString& message);

  // Brings the main window back after a restore command from a second start.
  void Restore();
  // Whether the application is minimised: its main window is.
  bool IsMinimized() const;

  IModalHost& ModalHost() const { return *FHost; }
  // Replaces the modal seam (tests answer boxes and drive modal windows);
  // returns the previous one, which the caller gives back.
  IModalHost* SetModalHost(IModalHost* host);

  void NotifyFormDestroyed(TCustomForm* form);

private:
  QString FTitle;
  TCustomForm* FMainForm = nullptr;
  bool FTerminated = false;
  std::unique_ptr<IModalHost> FDefaultHost;
  IModalHost* FHost = nullptr;
};

extern TApplication* Application;

// Turns on the desktop's visual styles; the toolkit always draws with them,
// so the component only has to exist.
class TXPManifest : public TComponent {
  Q_OBJECT
public:
  explicit TXPManifest(TComponent* owner = nullptr) : TComponent(owner) {}
};
