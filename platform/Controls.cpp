#include "Controls.h"

#include "Dispatch.h"
#include "Exceptions.h"
#include "Menus.h"

#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPalette>
#include <QWidget>

#include <algorithm>

int CursorToQtShape(int cursor) {
  switch (cursor) {
    case -2: return Qt::ArrowCursor;
    case -3: return Qt::CrossCursor;
    case -4: return Qt::IBeamCursor;
    case -9: return Qt::SizeHorCursor;
    case -11: return Qt::WaitCursor;
    case -14: return Qt::SplitHCursor;
    case -15: return Qt::SplitVCursor;
    case -21: return Qt::PointingHandCursor;
    default: return -1;
  }
}

QChar KeyEventChar(const QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: return QChar(13);
    case Qt::Key_Escape: return QChar(27);
    case Qt::Key_Backspace: return QChar(8);
    case Qt::Key_Tab: return QChar(9);
    default: break;
  }
  const QString text = event->text();
  return text.size() == 1 ? text[0] : QChar();
}

namespace {

// The control whose key handler is replaying a changed character, so that the
// replayed press passes that handler by.
const TControl* gReplayingKeyFor = nullptr;

int KeyForChar(QChar c) {
  switch (c.unicode()) {
    case 13: return Qt::Key_Return;
    case 27: return Qt::Key_Escape;
    case 8: return Qt::Key_Backspace;
    case 9: return Qt::Key_Tab;
    default: break;
  }
  if (c.unicode() < 128 && c.isLetterOrNumber()) return c.toUpper().unicode();
  if (c == QLatin1Char(' ')) return Qt::Key_Space;
  return Qt::Key_unknown;
}

}  // namespace

bool TControl::FilterKeyPress(TControl* origin, QObject* target, const QKeyEvent* event,
                              const TKeyPressEvent& handler) {
  if (gReplayingKeyFor == origin) return false;
  QChar key = KeyEventChar(event);
  if (key.isNull()) return false;
  const QChar typed = key;
  Dispatch([&] { handler(origin, key); });
  if (key == typed) return false;
  if (key.isNull()) return true;
  // A changed character is typed instead of the one pressed. Control
  // characters carry no text, as the keyboard sends them.
  const QString text = key.unicode() < 32 ? QString() : QString(key);
  QKeyEvent replacement(QEvent::KeyPress, KeyForChar(key), Qt::NoModifier, text);
  const TControl* previous = gReplayingKeyFor;
  gReplayingKeyFor = origin;
  QCoreApplication::sendEvent(target, &replacement);
  gReplayingKeyFor = previous;
  return true;
}

TControl::TControl(TComponent* owner) : TComponent(owner), FFont(std::make_unique<TFont>()) {
  FParentColor = true;
  FFont->OnChange = [this] {
    if (!FApplyingParentFont) FParentFont = false;
    ApplyFont();
  };
}

TControl::~TControl() {
  FFont->OnChange = nullptr;
  if (FParent) FParent->RemoveControl(this);
  delete FWidget.data();
}

void TControl::SetWidget(QWidget* widget) {
  FWidget = widget;
  FWidth = widget->width();
  FHeight = widget->height();
  widget->installEventFilter(this);
  FParentColor = DefaultParentColor();
  ApplyFont();
  ApplyColor();
}

void TControl::SetBounds(int left, int top, int width, int height) {
  SetBoundsFromParent(left, top, width, height);
  if (!FSettingGeometry) UpdateAnchorRules();
  if (FParent && FAlign != alNone) FParent->Realign();
}

void TControl::SetBoundsFromParent(int left, int top, int width, int height) {
  width = std::max(0, width);
  height = std::max(0, height);
  const bool sized = width != FWidth || height != FHeight;
  if (left == FLeft && top == FTop && !sized) return;
  FLeft = left;
  FTop = top;
  FWidth = width;
  FHeight = height;
  ApplyGeometry();
  if (sized)
    if (auto* self = qobject_cast<TWinControl*>(this)) self->Realign();
}

void TControl::ApplyGeometry() {
  if (!FWidget || !FParent) return;
  FSettingGeometry = true;
  FWidget->setGeometry(FLeft, FTop, FWidth, FHeight);
  FSettingGeometry = false;
}

void TControl::UpdateAnchorRules() {
  if (!FParent) {
    FAnchorRules.valid = false;
    return;
  }
  const QRect client = FParent->ClientRect();
  FAnchorRules.bounds = BoundsRect();
  FAnchorRules.parentWidth = client.width();
  FAnchorRules.parentHeight = client.height();
  FAnchorRules.valid = true;
}

void TControl::SetAlign(TAlign align) {
  if (align == FAlign) return;
  FAlign = align;
  if (FParent) FParent->Realign();
}

void TControl::SetAnchors(TAnchors anchors) {
  FAnchors = anchors;
  UpdateAnchorRules();
}

void TControl::SetVisible(bool visible) {
  if (visible == FVisible) return;
  FVisible = visible;
  ApplyVisibility();
  if (FParent && FAlign != alNone) FParent->Realign();
}

void TControl::ApplyVisibility() {
  if (FWidget && FParent) FWidget->setVisible(FVisible);
}

bool TControl::Showing() const {
  for (const TControl* c = this; c; c = c->FParent)
    if (!c->FVisible) return false;
  return FWidget && FWidget->isVisible();
}

void TControl::SetEnabled(bool enabled) {
  FEnabled = enabled;
  if (FWidget) FWidget->setEnabled(enabled);
}

void TControl::SetHint(const QString& hint) {
  FHint = hint;
  if (!FWidget) return;
  FWidget->setToolTip(FShowHint ? hint : QString());
  // A control without text of its own (a button with only a picture) is
  // known to screen readers by its hint, shown as a tip or not.
  if (!hint.isEmpty() && GetText().isEmpty()) FWidget->setAccessibleName(hint);
}

void TControl::SetShowHint(bool show) {
  FShowHint = show;
  SetHint(FHint);
}

void TControl::SetCursor(int cursor) {
  FCursor = cursor;
  if (!FWidget) return;
  const int shape = CursorToQtShape(cursor);
  if (shape < 0)
    FWidget->unsetCursor();
  else
    FWidget->setCursor(static_cast<Qt::CursorShape>(shape));
}

void TControl::SetAction(TComponent* action) { SetReference(FAction, action); }

void TControl::SetText(const QString& text) { FText = text; }

void TControl::SetColor(TColor color) {
  FParentColor = false;
  if (color == FColor) return;
  FColor = color;
  ApplyColor();
}

void TControl::SetParentColor(bool parentColor) {
  FParentColor = parentColor;
  if (parentColor && FParent) {
    FColor = FParent->Color();
    ApplyColor();
  }
}

void TControl::ParentColorChanged() {
  if (FParentColor && FParent) {
    FColor = FParent->Color();
    ApplyColor();
  }
}

void TControl::SetFont(TFont* font) {
  if (font) FFont->Assign(font);
}

void TControl::SetParentFont(bool parentFont) {
  FParentFont = parentFont;
  if (parentFont) ParentFontChanged();
}

void TControl::ParentFontChanged() {
  if (!FParentFont || !FParent) return;
  FApplyingParentFont = true;
  FFont->Assign(FParent->Font());
  FApplyingParentFont = false;
}

void TControl::SetPopupMenu(TPopupMenu* menu) { SetReference(FPopupMenu, menu); }

void TControl::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation != TOperation::opRemove) return;
  if (component == FPopupMenu) FPopupMenu = nullptr;
  if (component == FAction) FAction = nullptr;
}

int TControl::ColorRole() const { return QPalette::Window; }

void TControl::ApplyFont() {
  if (!FWidget) return;
  FWidget->setFont(FFont->ToQFont());
  QPalette p = FWidget->palette();
  const QColor text = ColorToQColor(FFont->Color());
  p.setColor(QPalette::WindowText, text);
  p.setColor(QPalette::Text, text);
  p.setColor(QPalette::ButtonText, text);
  FWidget->setPalette(p);
}

void TControl::ApplyColor() {
  if (!FWidget) return;
  QPalette p = FWidget->palette();
  p.setColor(static_cast<QPalette::ColorRole>(ColorRole()), ColorToQColor(FColor));
  FWidget->setPalette(p);
}

void TControl::SetParent(TWinControl* parent) {
  if (parent == FParent) return;
  if (parent == this) throw EInvalidOperation(QStringLiteral("A control cannot be its own parent"));
  if (FParent) FParent->RemoveControl(this);
  if (parent) parent->InsertControl(this);
}

void TControl::SetParentComponent(TComponent* parent) {
  if (auto* win = qobject_cast<TWinControl*>(parent)) {
    SetParent(win);
    return;
  }
  TComponent::SetParentComponent(parent);
}

void TControl::Loaded() { TComponent::Loaded(); }

void TControl::Click() { Fire(FOnClick); }

void TControl::Fire(const TNotifyEvent& event) {
  if (event) event(this);
}

void TControl::WidgetResized(int width, int height) {
  FWidth = width;
  FHeight = height;
}

bool TControl::eventFilter(QObject* watched, QEvent* event) {
  if (watched != FWidget) return false;
  switch (event->type()) {
    case QEvent::Resize:
      if (!FSettingGeometry && (FWidget->width() != FWidth || FWidget->height() != FHeight)) {
        const int w = FWidget->width(), h = FWidget->height();
        Dispatch([&] { WidgetResized(w, h); });
      }
      break;
    case QEvent::ContextMenu:
      if (FPopupMenu) {
        const QPoint at = static_cast<QContextMenuEvent*>(event)->globalPos();
        Dispatch([&] { FPopupMenu->Popup(at.x(), at.y()); });
        return true;
      }
      break;
    case QEvent::KeyPress:
      if (FOnKeyPress) return FilterKeyPress(this, watched, static_cast<QKeyEvent*>(event), FOnKeyPress);
      break;
    case QEvent::MouseButtonRelease:
      if (FClickOnMouseRelease && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton && FEnabled) {
        Dispatch([&] { Click(); });
      }
      break;
    case QEvent::MouseButtonDblClick:
      if (FOnDblClick) {
        Dispatch([&] { Fire(FOnDblClick); });
        return true;
      }
      break;
    default: break;
  }
  return false;
}

TWinControl::TWinControl(TComponent* owner) : TControl(owner) {}

TWinControl::~TWinControl() {
  // Children that outlive this control (owned elsewhere) lose their parent,
  // and their widgets with it, before this control's widget goes.
  while (!FControls.empty()) FControls.back()->SetParent(nullptr);
}

TControl* TWinControl::Controls(int index) const {
  if (index < 0 || index >= ControlCount()) RaiseListIndexError(index);
  return FControls[static_cast<size_t>(index)];
}

void TWinControl::InsertControl(TControl* control) {
  FControls.push_back(control);
  control->FParent = this;
  if (control->FWidget) {
    control->FWidget->setParent(ClientWidget());
    control->ApplyGeometry();
    control->ApplyVisibility();
  }
  control->ParentFontChanged();
  control->ParentColorChanged();
  control->UpdateAnchorRules();
  Realign();
}

void TWinControl::RemoveControl(TControl* control) {
  auto it = std::find(FControls.begin(), FControls.end(), control);
  if (it == FControls.end()) return;
  FControls.erase(it);
  control->FParent = nullptr;
  if (control->FWidget) {
    control->FWidget->hide();
    control->FWidget->setParent(nullptr);
  }
  if (!Destroying()) Realign();
}

QRect TWinControl::ClientRect() const { return AdjustClientRect(QRect(0, 0, FWidth, FHeight)); }

void TWinControl::EnableAlign() {
  if (FAlignDisabled > 0 && --FAlignDisabled == 0) Realign();
}

void TWinControl::Realign() {
  if (FAlignDisabled > 0 || FAligning || Loading() || Destroying()) return;
  FAligning = true;
  const QRect client = ClientRect();
  int x = client.x(), y = client.y(), w = client.width(), h = client.height();
  for (TAlign kind : {alTop, alBottom, alLeft, alRight, alClient}) {
    for (TControl* c : FControls) {
      if (!c->FVisible || c->FAlign != kind || c->PlacedByToolkit()) continue;
      switch (kind) {
        case alTop:
          c->SetBoundsFromParent(x, y, w, c->FHeight);
          y += c->FHeight;
          h -= c->FHeight;
          break;
        case alBottom:
          c->SetBoundsFromParent(x, y + h - c->FHeight, w, c->FHeight);
          h -= c->FHeight;
          break;
        case alLeft:
          c->SetBoundsFromParent(x, y, c->FWidth, h);
          x += c->FWidth;
          w -= c->FWidth;
          break;
        case alRight:
          c->SetBoundsFromParent(x + w - c->FWidth, y, c->FWidth, h);
          w -= c->FWidth;
          break;
        default: c->SetBoundsFromParent(x, y, w, h); break;
      }
      h = std::max(0, h);
      w = std::max(0, w);
    }
  }
  for (TControl* c : FControls) {
    if (c->FAlign != alNone || !c->FAnchorRules.valid || c->PlacedByToolkit()) continue;
    const auto& r = c->FAnchorRules;
    const int dx = client.width() - r.parentWidth, dy = client.height() - r.parentHeight;
    int left = r.bounds.x(), top = r.bounds.y(), width = r.bounds.width(), height = r.bounds.height();
    const TAnchors a = c->FAnchors;
    if (a.testFlag(akLeft) && a.testFlag(akRight))
      width += dx;
    else if (a.testFlag(akRight))
      left += dx;
    else if (!a.testFlag(akLeft))
      left += dx / 2;
    if (a.testFlag(akTop) && a.testFlag(akBottom))
      height += dy;
    else if (a.testFlag(akBottom))
      top += dy;
    else if (!a.testFlag(akTop))
      top += dy / 2;
    c->SetBoundsFromParent(left, top, width, height);
  }
  FAligning = false;
}

void TWinControl::WidgetResized(int width, int height) {
  TControl::WidgetResized(width, height);
  Realign();
}

void TWinControl::Loaded() {
  TControl::Loaded();
  Realign();
}

bool TWinControl::Focused() const { return FWidget && FWidget->hasFocus(); }

bool TWinControl::CanFocus() const { return FWidget && FVisible && FEnabled && FWidget->isVisible(); }

void TWinControl::SetFocus() {
  if (!CanFocus()) throw EInvalidOperation(QStringLiteral("Cannot focus a disabled or invisible window"));
  FWidget->setFocus(Qt::OtherFocusReason);
}

void TWinControl::ApplyFont() {
  TControl::ApplyFont();
  NotifyChildrenFont();
}

void TWinControl::NotifyChildrenFont() {
  for (TControl* c : FControls) c->ParentFontChanged();
}

void TWinControl::ParentFontChanged() { TControl::ParentFontChanged(); }

void TWinControl::ApplyColor() {
  TControl::ApplyColor();
  for (TControl* c : FControls) c->ParentColorChanged();
}

void TWinControl::ParentColorChanged() { TControl::ParentColorChanged(); }
