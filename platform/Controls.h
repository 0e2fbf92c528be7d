// Controls: components that own a toolkit widget and place it by position,
// edge alignment and anchors inside their parent control.
#pragma once

#include "Component.h"
#include "Events.h"
#include "Graphics.h"
#include "Menus.h"
#include "VclTypes.h"

#include <QPointer>
#include <QRect>
#include <QString>
#include <QWidget>

#include <memory>
#include <vector>

class QKeyEvent;
class TWinControl;

// A visible element of a window. It owns its widget; the published properties
// it declares are its whole public state.
class TControl : public TComponent {
  Q_OBJECT
  Q_PROPERTY(TComponent* Action READ Action WRITE SetAction)
  Q_PROPERTY(Vcl::TAlign Align READ Align WRITE SetAlign)
  Q_PROPERTY(Vcl::TAnchors Anchors READ Anchors WRITE SetAnchors)
  Q_PROPERTY(int Cursor READ Cursor WRITE SetCursor)
  Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled)
  Q_PROPERTY(int Height READ Height WRITE SetHeight)
  Q_PROPERTY(QString Hint READ Hint WRITE SetHint)
  Q_PROPERTY(int Left READ Left WRITE SetLeft)
  Q_PROPERTY(bool ShowHint READ ShowHint WRITE SetShowHint)
  Q_PROPERTY(int Top READ Top WRITE SetTop)
  Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)
  Q_PROPERTY(int Width READ Width WRITE SetWidth)
public:
  explicit TControl(TComponent* owner = nullptr);
  ~TControl() override;

  int Left() const { return FLeft; }
  void SetLeft(int v) { SetBounds(v, FTop, FWidth, FHeight); }
  int Top() const { return FTop; }
  void SetTop(int v) { SetBounds(FLeft, v, FWidth, FHeight); }
  int Width() const { return FWidth; }
  void SetWidth(int v) { SetBounds(FLeft, FTop, v, FHeight); }
  int Height() const { return FHeight; }
  void SetHeight(int v) { SetBounds(FLeft, FTop, FWidth, v); }
  // Moves and sizes the control as its owner asks; this also becomes the
  // position its anchors keep.
  virtual void SetBounds(int left, int top, int width, int height);
  QRect BoundsRect() const { return QRect(FLeft, FTop, FWidth, FHeight); }

  TAlign Align() const { return FAlign; }
  void SetAlign(TAlign align);
  TAnchors Anchors() const { return FAnchors; }
  void SetAnchors(TAnchors anchors);
  bool Visible() const { return FVisible; }
  void SetVisible(bool visible);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  // Visible and every parent up to the window visible too.
  bool Showing() const;
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool enabled);
  QString Hint() const { return FHint; }
  void SetHint(const QString& hint);
  bool ShowHint() const { return FShowHint; }
  void SetShowHint(bool show);
  int Cursor() const { return FCursor; }
  void SetCursor(int cursor);
  TComponent* Action() const { return FAction; }
  void SetAction(TComponent* action);

  // State that descendants publish where they have it.
  QString Caption() const { return GetText(); }
  void SetCaption(const QString& caption) { SetText(caption); }
  TColor Color() const { return FColor; }
  void SetColor(TColor color);
  bool ParentColor() const { return FParentColor; }
  void SetParentColor(bool parentColor);
  TFont* Font() const { return FFont.get(); }
  void SetFont(TFont* font);
  bool ParentFont() const { return FParentFont; }
  void SetParentFont(bool parentFont);
  TPopupMenu* PopupMenu() const { return FPopupMenu; }
  void SetPopupMenu(TPopupMenu* menu);
  TNotifyEvent OnClick() const { return FOnClick; }
  void SetOnClick(const TNotifyEvent& e) { FOnClick = e; }
  TNotifyEvent OnDblClick() const { return FOnDblClick; }
  void SetOnDblClick(const TNotifyEvent& e) { FOnDblClick = e; }

  TWinControl* Parent() const { return FParent; }
  virtual void SetParent(TWinControl* parent);
  void SetParentComponent(TComponent* parent) override;
  void Loaded() override;

  QWidget* Widget() const { return FWidget; }
  // Runs the control's click command, as a click of the mouse does.
  virtual void Click();

  // Told by the parent when its font or colour changed.
  virtual void ParentFontChanged();
  virtual void ParentColorChanged();

protected:
  // Descendants make their widget in their constructor and hand it over.
  void SetWidget(QWidget* widget);
  virtual QString GetText() const { return FText; }
  virtual void SetText(const QString& text);
  // Gives the widget the control's font and colour.
  virtual void ApplyFont();
  virtual void ApplyColor();
  // The palette role that the control's Color paints.
  virtual int ColorRole() const;
  virtual bool DefaultParentColor() const { return true; }
  // Fires an event handler through the one dispatch point.
  void Fire(const TNotifyEvent& event);
  // The widget changed size on its own (a window or page resized by the
  // toolkit); the control takes the new size.
  virtual void WidgetResized(int width, int height);
  bool eventFilter(QObject* watched, QEvent* event) override;
  // Puts the widget where the control's bounds and visibility say; a control
  // whose place the toolkit manages (a page of a page control) overrides them.
  virtual void ApplyGeometry();
  virtual void ApplyVisibility();
  // Whether the parent leaves this control out of its layout.
  virtual bool PlacedByToolkit() const { return false; }
  // Key presses of the widget, for controls that publish OnKeyPress: the
  // handler may change the character or swallow it by setting it to 0.
  TKeyPressEvent FOnKeyPress;
  // Runs `handler` on the key press `event` is and tells what to do with the
  // event: true when it is taken (swallowed, or replaced by a press of the
  // changed character, sent to `target`). `origin` is the control whose
  // handler runs; the replacement does not reach that handler again.
  static bool FilterKeyPress(TControl* origin, QObject* target, const QKeyEvent* event, const TKeyPressEvent& handler);
  bool FClickOnMouseRelease = false;

  QString FText;
  int FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
  TAlign FAlign = alNone;
  TAnchors FAnchors = TAnchors(akLeft | akTop);
  bool FVisible = true;
  bool FEnabled = true;
  QString FHint;
  bool FShowHint = false;
  int FCursor = 0;
  TColor FColor = clBtnFace;
  bool FParentColor = false;
  std::unique_ptr<TFont> FFont;
  bool FParentFont = true;
  bool FApplyingParentFont = false;
  TComponent* FAction = nullptr;
  TPopupMenu* FPopupMenu = nullptr;
  TNotifyEvent FOnClick;
  TNotifyEvent FOnDblClick;
  TWinControl* FParent = nullptr;
  QPointer<QWidget> FWidget;
  bool FSettingGeometry = false;

  // Where the anchors hold the control: its bounds and the parent's client
  // size when they were last set explicitly.
  struct AnchorRules {
    QRect bounds;
    int parentWidth = 0;
    int parentHeight = 0;
    bool valid = false;
  } FAnchorRules;
  void UpdateAnchorRules();

  void Notification(TComponent* component, TOperation operation) override;

private:
  friend class TWinControl;
  void SetBoundsFromParent(int left, int top, int width, int height);
};

// A control that holds other controls and lays them out.
class TWinControl : public TControl {
  Q_OBJECT
public:
  explicit TWinControl(TComponent* owner = nullptr);
  ~TWinControl() override;

  int ControlCount() const { return static_cast<int>(FControls.size()); }
  TControl* Controls(int index) const;
  const std::vector<TControl*>& ControlList() const { return FControls; }
  bool AcceptsChildren() const override { return true; }

  // Where child widgets live; the control's own widget unless a descendant
  // keeps a separate client area.
  virtual QWidget* ClientWidget() const { return FWidget; }
  // The client area children are laid out in, in the control's coordinates.
  virtual QRect ClientRect() const;
  // Lays out the aligned children in creation order (top, bottom, left,
  // right, then client) and moves the anchored ones.
  void Realign();
  void DisableAlign() { ++FAlignDisabled; }
  void EnableAlign();

  // Whether the keyboard focus is on this control's widget.
  bool Focused() const;
  void SetFocus();
  bool CanFocus() const;

  void ParentFontChanged() override;
  void ParentColorChanged() override;
  void Loaded() override;

protected:
  // Descendants that keep their children elsewhere (the pages of a page
  // control) take them here.
  virtual void InsertControl(TControl* control);
  virtual void RemoveControl(TControl* control);
  // Insets of the client area inside the control (borders, bevels, captions).
  virtual QRect AdjustClientRect(QRect rect) const { return rect; }
  void WidgetResized(int width, int height) override;
  void ApplyFont() override;
  void ApplyColor() override;
  void NotifyChildrenFont();

private:
  friend class TControl;
  std::vector<TControl*> FControls;
  int FAlignDisabled = 0;
  bool FAligning = false;
};

// The character a key press types, as key-press handlers see it: 13 for
// Enter, 27 for Escape, 8 for Backspace; none for keys that type nothing.
QChar KeyEventChar(const QKeyEvent* event);

// A cursor number ("crHandPoint" is -21) as the toolkit's cursor shape.
int CursorToQtShape(int cursor);
