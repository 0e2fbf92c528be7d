// Window placement: where a window stands when restored, and whether it is
// shown normal, minimised or maximised, as one record that can be saved and
// applied again.
#pragma once

#include <QPoint>
#include <QRect>

class QScreen;
class TCustomForm;

// Show commands of the record.
constexpr int SW_HIDE = 0;
constexpr int SW_SHOWNORMAL = 1;
constexpr int SW_SHOWMINIMIZED = 2;
constexpr int SW_SHOWMAXIMIZED = 3;
// Flag: restore to the minimised position.
constexpr int WPF_SETMINPOSITION = 1;

struct TWindowPlacement {
  int flags = 0;
  int showCmd = SW_SHOWNORMAL;
  QPoint minPosition{-1, -1};
  QPoint maxPosition{-1, -1};
  // Left, top, right and bottom of the restored window; right and bottom
  // are exclusive.
  int left = 0, top = 0, right = 0, bottom = 0;
};

TWindowPlacement GetWindowPlacement(const TCustomForm& form);
// Applies a record. Show command 0 leaves a hidden window hidden; 2 and 3
// minimise and maximise a shown one. A restored rectangle whose title bar
// no screen shows is moved onto the window's home screen (KeepOnScreen).
void SetWindowPlacement(TCustomForm& form, const TWindowPlacement& placement);
bool IsWindowVisible(const TCustomForm& form);
bool IsIconic(const TCustomForm& form);
// The rectangle of a window, kept where the user can take hold of it: when
// no screen's work area shows a usable part of its title bar (the top
// TitleBarHeight pixels, at least TitleBarGrip pixels wide and half as high),
// it is centred on `home` (the primary screen when null), shrunk only to fit.
QRect KeepOnScreen(const QRect& rect, const QScreen* home = nullptr);
constexpr int TitleBarHeight = 24;
constexpr int TitleBarGrip = 48;
