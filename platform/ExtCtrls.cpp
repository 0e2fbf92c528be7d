#include "ExtCtrls.h"

#include "Dispatch.h"
#include "StdCtrls.h"

#include <QIcon>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QToolButton>
#include <QWidget>

#include <algorithm>
#include <functional>

namespace {

// A widget whose painting and mouse handling belong to its control.
class DrawnWidget : public QWidget {
public:
  std::function<void(QPainter&)> paint;
  std::function<void(QMouseEvent*)> press, move, release;

protected:
  void paintEvent(QPaintEvent*) override {
    if (!paint) return;
    QPainter p(this);
    paint(p);
  }
  void mousePressEvent(QMouseEvent* e) override {
    if (press) press(e);
    QWidget::mousePressEvent(e);
  }
  void mouseMoveEvent(QMouseEvent* e) override {
    if (move) move(e);
    QWidget::mouseMoveEvent(e);
  }
  void mouseReleaseEvent(QMouseEvent* e) override {
    if (release) release(e);
    QWidget::mouseReleaseEvent(e);
  }
};

void DrawBevel(QPainter& p, QRect r, bool raised, int width) {
  const QColor light = ColorToQColor(SystemColor(20)), dark = ColorToQColor(SystemColor(16));
  for (int i = 0; i < width; ++i) {
    p.setPen(raised ? light : dark);
    p.drawLine(r.left(), r.top(), r.right(), r.top());
    p.drawLine(r.left(), r.top(), r.left(), r.bottom());
    p.setPen(raised ? dark : light);
    p.drawLine(r.left(), r.bottom(), r.right(), r.bottom());
    p.drawLine(r.right(), r.top(), r.right(), r.bottom());
    r.adjust(1, 1, -1, -1);
  }
}

}  // namespace

// ---------------------------------------------------------------- TPanel

TPanel::TPanel(TComponent* owner) : TWinControl(owner) {
  auto* w = new DrawnWidget();
  w->setAutoFillBackground(true);
  w->paint = [this, w](QPainter& p) {
    QRect r = w->rect();
    if (FBevelOuter != bvNone && FBevelOuter != bvSpace) DrawBevel(p, r, FBevelOuter == bvRaised, FBevelWidth);
    if (FBevelOuter != bvNone) r.adjust(FBevelWidth, FBevelWidth, -FBevelWidth, -FBevelWidth);
    r.adjust(FBorderWidth, FBorderWidth, -FBorderWidth, -FBorderWidth);
    if (FBevelInner != bvNone && FBevelInner != bvSpace) DrawBevel(p, r, FBevelInner == bvRaised, FBevelWidth);
    const QString caption = DisplayCaption();
    if (!caption.isEmpty()) {
      p.setFont(FFont->ToQFont());
      p.setPen(ColorToQColor(FFont->Color()));
      const Qt::Alignment h = FAlignment == taLeftJustify    ? Qt::AlignLeft
                              : FAlignment == taRightJustify ? Qt::AlignRight
                                                             : Qt::AlignHCenter;
      p.drawText(r, static_cast<int>(h | Qt::AlignVCenter), caption);
    }
  };
  FColor = clBtnFace;
  SetWidget(w);
  FClickOnMouseRelease = true;
  SetBounds(0, 0, 185, 41);
}

QString TPanel::DisplayCaption() const { return StripAccelChars(FText); }

void TPanel::SetText(const QString& text) {
  FText = text;
  if (FWidget) FWidget->update();
}

void TPanel::SetAlignment(TAlignment v) {
  FAlignment = v;
  FWidget->update();
}
void TPanel::SetBevelInner(TBevelCut v) {
  FBevelInner = v;
  FWidget->update();
  Realign();
}
void TPanel::SetBevelOuter(TBevelCut v) {
  FBevelOuter = v;
  FWidget->update();
  Realign();
}
void TPanel::SetBevelWidth(int v) {
  FBevelWidth = std::max(1, v);
  FWidget->update();
  Realign();
}
void TPanel::SetBorderWidth(int v) {
  FBorderWidth = std::max(0, v);
  FWidget->update();
  Realign();
}

QRect TPanel::AdjustClientRect(QRect rect) const {
  int inset = FBorderWidth;
  if (FBevelOuter != bvNone) inset += FBevelWidth;
  if (FBevelInner != bvNone) inset += FBevelWidth;
  return rect.adjusted(inset, inset, -inset, -inset);
}

// ---------------------------------------------------------------- TBevel

TBevel::TBevel(TComponent* owner) : TControl(owner) {
  auto* w = new DrawnWidget();
  w->setAttribute(Qt::WA_TransparentForMouseEvents);
  w->paint = [this, w](QPainter& p) {
    const QRect r = w->rect();
    const QColor light = ColorToQColor(SystemColor(20)), dark = ColorToQColor(SystemColor(16));
    const QColor first = FStyle == bsLowered ? dark : light, second = FStyle == bsLowered ? light : dark;
    auto hline = [&](int y) {
      p.setPen(first);
      p.drawLine(r.left(), y, r.right(), y);
      p.setPen(second);
      p.drawLine(r.left(), y + 1, r.right(), y + 1);
    };
    auto vline = [&](int x) {
      p.setPen(first);
      p.drawLine(x, r.top(), x, r.bottom());
      p.setPen(second);
      p.drawLine(x + 1, r.top(), x + 1, r.bottom());
    };
    switch (FShape) {
      case bsBox:
      case bsFrame:
        DrawBevel(p, r, FStyle == bsRaised, 1);
        if (FShape == bsFrame) DrawBevel(p, r.adjusted(1, 1, -1, -1), FStyle != bsRaised, 1);
        break;
      case bsTopLine: hline(r.top()); break;
      case bsBottomLine: hline(r.bottom() - 1); break;
      case bsLeftLine: vline(r.left()); break;
      case bsRightLine: vline(r.right() - 1); break;
      case bsSpacer: break;
    }
  };
  SetWidget(w);
  SetBounds(0, 0, 50, 50);
}

void TBevel::SetShape(TBevelShape v) {
  FShape = v;
  FWidget->update();
}
void TBevel::SetStyle(TBevelStyle v) {
  FStyle = v;
  FWidget->update();
}

// ---------------------------------------------------------------- TImage

TImage::TImage(TComponent* owner) : TControl(owner), FPicture(std::make_unique<TPicture>()) {
  auto* w = new DrawnWidget();
  w->paint = [this](QPainter& p) {
    if (FPicture->Empty()) return;
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(DestRect(), FPicture->Image());
  };
  FPicture->OnChange = [this] { Repaint(); };
  SetWidget(w);
  FClickOnMouseRelease = true;
  SetBounds(0, 0, 105, 105);
}

QRect TImage::DestRect() const {
  const int pw = FPicture->Width(), ph = FPicture->Height();
  int w = pw, h = ph;
  if (FStretch || (FProportional && (pw > FWidth || ph > FHeight))) {
    if (FProportional && pw > 0 && ph > 0) {
      const double scale = std::min(static_cast<double>(FWidth) / pw, static_cast<double>(FHeight) / ph);
      w = static_cast<int>(pw * scale);
      h = static_cast<int>(ph * scale);
    } else {
      w = FWidth;
      h = FHeight;
    }
  }
  if (FCenter) return QRect((FWidth - w) / 2, (FHeight - h) / 2, w, h);
  return QRect(0, 0, w, h);
}

void TImage::SetCenter(bool v) {
  FCenter = v;
  Repaint();
}
void TImage::SetPicture(TPicture* p) { FPicture->Assign(p); }
void TImage::SetProportional(bool v) {
  FProportional = v;
  Repaint();
}
void TImage::SetStretch(bool v) {
  FStretch = v;
  Repaint();
}
void TImage::Repaint() {
  if (FWidget) FWidget->update();
}

// ---------------------------------------------------------------- TSplitter

TSplitter::TSplitter(TComponent* owner) : TControl(owner) {
  auto* w = new DrawnWidget();
  w->setAutoFillBackground(true);
  w->setCursor(Qt::SplitHCursor);
  auto dragFrom = std::make_shared<int>(0);
  auto dragging = std::make_shared<bool>(false);
  auto pos = [this](QMouseEvent* e) {
    const QPoint global = e->globalPosition().toPoint();
    return FAlign == alTop || FAlign == alBottom ? global.y() : global.x();
  };
  w->press = [=](QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) return;
    *dragging = true;
    *dragFrom = pos(e);
  };
  w->move = [=, this](QMouseEvent* e) {
    if (!*dragging) return;
    const int now = pos(e);
    const int delta = now - *dragFrom;
    if (delta == 0) return;
    *dragFrom = now;
    Dispatch([&] { MoveBy(delta); });
  };
  w->release = [=, this](QMouseEvent*) {
    if (!*dragging) return;
    *dragging = false;
    Dispatch([this] { Fire(FOnMoved); });
  };
  SetWidget(w);
  FAlign = alLeft;
  SetBounds(0, 0, 3, 100);
}

TControl* TSplitter::FindControl() const {
  if (!FParent) return nullptr;
  TControl* best = nullptr;
  for (TControl* c : FParent->ControlList()) {
    if (c == this || !c->Visible() || c->Align() != FAlign) continue;
    bool touches = false;
    switch (FAlign) {
      case alLeft: touches = c->Left() + c->Width() == FLeft; break;
      case alRight: touches = c->Left() == FLeft + FWidth; break;
      case alTop: touches = c->Top() + c->Height() == FTop; break;
      case alBottom: touches = c->Top() == FTop + FHeight; break;
      default: break;
    }
    if (touches) best = c;
  }
  return best;
}

void TSplitter::MoveBy(int delta) {
  TControl* c = FindControl();
  if (!c) return;
  const bool horizontal = FAlign == alLeft || FAlign == alRight;
  if (!horizontal && FAlign != alTop && FAlign != alBottom) return;
  // The control may grow until what is left between the edge-aligned
  // controls (the client control's room) comes down to MinSize.
  const QRect client = FParent->ClientRect();
  int rest = horizontal ? client.width() : client.height();
  for (TControl* other : FParent->ControlList()) {
    if (other == c || !other->Visible()) continue;
    const TAlign a = other->Align();
    if (horizontal && (a == alLeft || a == alRight)) rest -= other->Width();
    if (!horizontal && (a == alTop || a == alBottom)) rest -= other->Height();
  }
  const int current = horizontal ? c->Width() : c->Height();
  const int wanted = FAlign == alLeft || FAlign == alTop ? current + delta : current - delta;
  const int size = std::max(FMinSize, std::min(wanted, rest - FMinSize));
  if (horizontal)
    c->SetWidth(size);
  else
    c->SetHeight(size);
}

// ---------------------------------------------------------------- TSpeedButton

TSpeedButton::TSpeedButton(TComponent* owner) : TControl(owner), FGlyph(std::make_unique<TPicture>()) {
  FButton = new QToolButton();
  FButton->setToolButtonStyle(Qt::ToolButtonIconOnly);
  FGlyph->OnChange = [this] { UpdateIcon(); };
  SetWidget(FButton);
  SetBounds(0, 0, 23, 22);
  UpdateIcon();
  QObject::connect(FButton, &QToolButton::clicked, FButton, [this] { Dispatch([this] { Click(); }); });
}

void TSpeedButton::SetFlat(bool v) {
  FFlat = v;
  FButton->setAutoRaise(v);
}

void TSpeedButton::SetGlyph(TPicture* p) { FGlyph->Assign(p); }

void TSpeedButton::SetText(const QString& text) {
  FText = text;
  FButton->setText(text);
  UpdateIcon();
}

void TSpeedButton::UpdateIcon() {
  // A button that shows neither text nor picture is nothing the user can
  // see: Tab passes it by.
  FButton->setFocusPolicy(FGlyph->Empty() && FText.isEmpty() ? Qt::NoFocus : Qt::TabFocus);
  if (FGlyph->Empty()) {
    FButton->setIcon(QIcon());
    FButton->setToolButtonStyle(Qt::ToolButtonTextOnly);
    return;
  }
  QImage image = FGlyph->Image();
  // A strip of several glyphs holds the normal look first.
  if (FNumGlyphs > 1) image = image.copy(0, 0, image.width() / FNumGlyphs, image.height());
  FButton->setIcon(QIcon(QPixmap::fromImage(image)));
  FButton->setIconSize(image.size());
  FButton->setToolButtonStyle(FText.isEmpty() ? Qt::ToolButtonIconOnly : Qt::ToolButtonTextBesideIcon);
}
