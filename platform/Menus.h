// Menus: the main menu of a window and context menus, built of menu items.
#pragma once

#include "Component.h"
#include "Events.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QPointer>
#include <QString>

#include <functional>
#include <vector>

class QMenuBar;
class QWidget;

// A shortcut as a virtual-key code in the low byte plus modifier bits
// (0x2000 Shift, 0x4000 Ctrl, 0x8000 Alt); 112 is F1.
using TShortCut = int;
QKeySequence ShortCutToKeySequence(TShortCut shortCut);
// The key names: "F1", "Ctrl+S"; empty for 0.
QString ShortCutToText(TShortCut shortCut);

class TMenu;

// One item: a command, a separator (caption "-") or a submenu holding items.
class TMenuItem : public TComponent {
  Q_OBJECT
  Q_PROPERTY(TComponent* Action READ Action WRITE SetAction)
  Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
  Q_PROPERTY(bool Checked READ Checked WRITE SetChecked)
  Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled)
  Q_PROPERTY(QString Hint READ Hint WRITE SetHint)
  Q_PROPERTY(int ShortCut READ ShortCut WRITE SetShortCut)
  Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)
  Q_PROPERTY(TNotifyEvent OnClick READ OnClick WRITE SetOnClick)
public:
  explicit TMenuItem(TComponent* owner = nullptr);
  ~TMenuItem() override;

  TComponent* Action() const { return FAction; }
  void SetAction(TComponent* action);
  QString Caption() const { return FCaption; }
  void SetCaption(const QString& caption);
  bool Checked() const { return FChecked; }
  void SetChecked(bool checked);
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool enabled);
  QString Hint() const { return FHint; }
  void SetHint(const QString& hint);
  TShortCut ShortCut() const { return FShortCut; }
  void SetShortCut(TShortCut shortCut);
  bool Visible() const { return FVisible; }
  void SetVisible(bool visible);
  TNotifyEvent OnClick() const { return FOnClick; }
  void SetOnClick(const TNotifyEvent& e) { FOnClick = e; }

  bool IsLine() const { return FCaption == QLatin1String("-"); }
  int Count() const { return static_cast<int>(FItems.size()); }
  TMenuItem* Items(int index) const;
  TMenuItem* Parent() const { return FParent; }
  void Add(TMenuItem* item);
  void Remove(TMenuItem* item);
  // Runs the item's command, as choosing it does.
  virtual void Click();

  QAction* QtAction() const { return FQAction; }
  // The submenu, made when the first item is added.
  QMenu* SubMenu() const { return FSubMenu; }
  void SetParentComponent(TComponent* parent) override;
  bool AcceptsChildren() const override { return true; }

  // The menu this item belongs to, if any.
  TMenu* Menu() const;

protected:
  void Notification(TComponent* component, TOperation operation) override;

private:
  friend class TMenu;
  friend class TPopupMenu;
  void Changed();
  QString FCaption;
  QString FHint;
  bool FChecked = false;
  bool FEnabled = true;
  bool FVisible = true;
  TShortCut FShortCut = 0;
  TComponent* FAction = nullptr;
  TNotifyEvent FOnClick;
  std::vector<TMenuItem*> FItems;
  TMenuItem* FParent = nullptr;
  TMenu* FMenu = nullptr;  // set on the root item only
  QPointer<QAction> FQAction;
  QPointer<QMenu> FSubMenu;
};

class TMenu : public TComponent {
  Q_OBJECT
public:
  explicit TMenu(TComponent* owner = nullptr);
  ~TMenu() override;
  TMenuItem* Items() const { return FItems; }
  bool AcceptsChildren() const override { return true; }
  // Told whenever the item tree changes (items added or removed, captions).
  std::function<void()> OnChange;
  // Finds an item anywhere in the tree by caption, ignoring "&"; for tests and
  // keyboard-free lookup.
  TMenuItem* FindItem(const QString& caption) const;

protected:
  TMenuItem* FItems;
};

// The menu bar of a window.
class TMainMenu : public TMenu {
  Q_OBJECT
public:
  explicit TMainMenu(TComponent* owner = nullptr) : TMenu(owner) {}
  // Fills a window's menu bar with the top items; actions with shortcuts
  // are also given to `window`, so that their keys work wherever the focus is.
  void BuildMenuBar(QMenuBar* bar, QWidget* window) const;
};

// A context menu of a control.
class TPopupMenu : public TMenu {
  Q_OBJECT
  Q_PROPERTY(TNotifyEvent OnPopup READ OnPopup WRITE SetOnPopup)
public:
  explicit TPopupMenu(TComponent* owner = nullptr);
  TNotifyEvent OnPopup() const { return FOnPopup; }
  void SetOnPopup(const TNotifyEvent& e) { FOnPopup = e; }
  // Shows the menu at a screen position; does not wait for a choice.
  void Popup(int x, int y);

private:
  TNotifyEvent FOnPopup;
};
