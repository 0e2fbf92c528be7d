#include "Placement.h"

#include "Forms.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

TWindowPlacement GetWindowPlacement(const TCustomForm& form) {
  TWindowPlacement p;
  p.flags = form.PlacementFlags();
  p.minPosition = form.PlacementMinPosition();
  p.maxPosition = form.PlacementMaxPosition();
  switch (form.WindowState()) {
    case wsMinimized: p.showCmd = SW_SHOWMINIMIZED; break;
    case wsMaximized: p.showCmd = SW_SHOWMAXIMIZED; break;
    default: p.showCmd = SW_SHOWNORMAL; break;
  }
  const QRect r = form.NormalBounds();
  p.left = r.x();
  p.top = r.y();
  p.right = r.x() + r.width();
  p.bottom = r.y() + r.height();
  return p;
}

QRect KeepOnScreen(const QRect& rect, const QScreen* home) {
  // Measured on the rectangle's top strip: the window's frame is not known
  // before it shows, and the record's rectangle is where the window starts.
  const QRect bar(rect.x(), rect.y(), rect.width(), std::min(TitleBarHeight, rect.height()));
  const int wide = std::min(TitleBarGrip, bar.width()), high = (bar.height() + 1) / 2;
  for (const QScreen* s : QGuiApplication::screens()) {
    const QRect seen = bar & s->availableGeometry();
    if (seen.width() >= wide && seen.height() >= high) return rect;
  }
  if (!home) home = QGuiApplication::primaryScreen();
  if (!home) return rect;
  const QRect area = home->availableGeometry();
  const int w = std::min(rect.width(), area.width()), h = std::min(rect.height(), area.height());
  return QRect(area.x() + (area.width() - w) / 2, area.y() + (area.height() - h) / 2, w, h);
}

void SetWindowPlacement(TCustomForm& form, const TWindowPlacement& p) {
  form.SetPlacementExtras(p.flags, p.minPosition, p.maxPosition);
  form.SetNormalBounds(KeepOnScreen(QRect(p.left, p.top, p.right - p.left, p.bottom - p.top), form.HomeScreen()));
  if (!IsWindowVisible(form)) return;
  switch (p.showCmd) {
    case SW_SHOWMINIMIZED: form.SetWindowState(wsMinimized); break;
    case SW_SHOWMAXIMIZED: form.SetWindowState(wsMaximized); break;
    case SW_HIDE: break;
    default: form.SetWindowState(wsNormal); break;
  }
}

bool IsWindowVisible(const TCustomForm& form) { return form.Window() && form.Window()->isVisible(); }

bool IsIconic(const TCustomForm& form) { return IsWindowVisible(form) && form.WindowState() == wsMinimized; }
