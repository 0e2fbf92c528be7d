#include "Menus.h"

#include "Dispatch.h"
#include "Exceptions.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QWidget>

#include <algorithm>

QKeySequence ShortCutToKeySequence(TShortCut shortCut) {
  if (shortCut == 0) return QKeySequence();
  const int vk = shortCut & 0xFF;
  int key = 0;
  if (vk >= 0x70 && vk <= 0x87)
    key = Qt::Key_F1 + (vk - 0x70);
  else if ((vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9'))
    key = vk;
  else {
    switch (vk) {
      case 0x08: key = Qt::Key_Backspace; break;
      case 0x09: key = Qt::Key_Tab; break;
      case 0x0D: key = Qt::Key_Return; break;
      case 0x1B: key = Qt::Key_Escape; break;
      case 0x20: key = Qt::Key_Space; break;
      case 0x21: key = Qt::Key_PageUp; break;
      case 0x22: key = Qt::Key_PageDown; break;
      case 0x23: key = Qt::Key_End; break;
      case 0x24: key = Qt::Key_Home; break;
      case 0x25: key = Qt::Key_Left; break;
      case 0x26: key = Qt::Key_Up; break;
      case 0x27: key = Qt::Key_Right; break;
      case 0x28: key = Qt::Key_Down; break;
      case 0x2D: key = Qt::Key_Insert; break;
      case 0x2E: key = Qt::Key_Delete; break;
      default: return QKeySequence();
    }
  }
  int mods = 0;
  if (shortCut & 0x2000) mods |= Qt::SHIFT;
  if (shortCut & 0x4000) mods |= Qt::CTRL;
  if (shortCut & 0x8000) mods |= Qt::ALT;
  return QKeySequence(key | mods);
}

QString ShortCutToText(TShortCut shortCut) {
  return ShortCutToKeySequence(shortCut).toString(QKeySequence::PortableText);
}

TMenuItem::TMenuItem(TComponent* owner) : TComponent(owner) {
  FQAction = new QAction();
  QObject::connect(FQAction, &QAction::triggered, FQAction, [this] { Dispatch([this] { Click(); }); });
}

TMenuItem::~TMenuItem() {
  for (TMenuItem* child : FItems) child->FParent = nullptr;
  if (FParent) FParent->Remove(this);
  delete FSubMenu.data();
  delete FQAction.data();
}

void TMenuItem::SetAction(TComponent* action) {
  SetReference(FAction, action);
}

void TMenuItem::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == TOperation::opRemove && component == FAction) FAction = nullptr;
}

void TMenuItem::SetCaption(const QString& caption) {
  if (caption == FCaption) return;
  FCaption = caption;
  FQAction->setSeparator(IsLine());
  // "&" marks the access key, as the toolkit reads it; a separator shows no text.
  FQAction->setText(IsLine() ? QString() : caption);
  Changed();
}

void TMenuItem::SetChecked(bool checked) {
  FChecked = checked;
  FQAction->setCheckable(checked || FQAction->isCheckable());
  FQAction->setChecked(checked);
}

void TMenuItem::SetEnabled(bool enabled) {
  FEnabled = enabled;
  FQAction->setEnabled(enabled);
}

void TMenuItem::SetHint(const QString& hint) {
  FHint = hint;
  FQAction->setStatusTip(hint);
}

void TMenuItem::SetShortCut(TShortCut shortCut) {
  if (shortCut == FShortCut) return;
  FShortCut = shortCut;
  FQAction->setShortcut(ShortCutToKeySequence(shortCut));
  Changed();
}

void TMenuItem::SetVisible(bool visible) {
  FVisible = visible;
  FQAction->setVisible(visible);
}

TMenuItem* TMenuItem::Items(int index) const {
  if (index < 0 || index >= Count()) RaiseListIndexError(index);
  return FItems[static_cast<size_t>(index)];
}

void TMenuItem::Add(TMenuItem* item) {
  if (!item || item->FParent == this) return;
  if (item->FParent) item->FParent->Remove(item);
  item->FParent = this;
  FItems.push_back(item);
  if (!FSubMenu) {
    FSubMenu = new QMenu();
    FQAction->setMenu(FSubMenu);
  }
  FSubMenu->addAction(item->FQAction);
  Changed();
}

void TMenuItem::Remove(TMenuItem* item) {
  auto it = std::find(FItems.begin(), FItems.end(), item);
  if (it == FItems.end()) return;
  FItems.erase(it);
  item->FParent = nullptr;
  if (FSubMenu && item->FQAction) FSubMenu->removeAction(item->FQAction);
  Changed();
}

void TMenuItem::Click() {
  // A submenu opens; it runs no command of its own unless it has a handler.
  if (FEnabled && FOnClick) FOnClick(this);
}

void TMenuItem::SetParentComponent(TComponent* parent) {
  if (auto* menu = qobject_cast<TMenu*>(parent)) {
    menu->Items()->Add(this);
    return;
  }
  if (auto* item = qobject_cast<TMenuItem*>(parent)) {
    item->Add(this);
    return;
  }
  TComponent::SetParentComponent(parent);
}

TMenu* TMenuItem::Menu() const {
  const TMenuItem* root = this;
  while (root->FParent) root = root->FParent;
  return root->FMenu;
}

void TMenuItem::Changed() {
  if (TMenu* menu = Menu())
    if (menu->OnChange) menu->OnChange();
}

TMenu::TMenu(TComponent* owner) : TComponent(owner), FItems(new TMenuItem(nullptr)) { FItems->FMenu = this; }

TMenu::~TMenu() {
  OnChange = nullptr;
  // Items owned by the window outlive the menu only as loose items.
  while (FItems->Count() > 0) FItems->Remove(FItems->Items(FItems->Count() - 1));
  delete FItems;
}

static TMenuItem* FindIn(TMenuItem* item, const QString& caption) {
  for (int i = 0; i < item->Count(); ++i) {
    TMenuItem* child = item->Items(i);
    if (QString(child->Caption()).remove(QLatin1Char('&')) == QString(caption).remove(QLatin1Char('&'))) return child;
    if (TMenuItem* found = FindIn(child, caption)) return found;
  }
  return nullptr;
}

TMenuItem* TMenu::FindItem(const QString& caption) const { return FindIn(FItems, caption); }

static void AddShortcutActions(TMenuItem* item, QWidget* window) {
  for (int i = 0; i < item->Count(); ++i) {
    TMenuItem* child = item->Items(i);
    if (child->ShortCut() != 0) window->addAction(child->QtAction());
    AddShortcutActions(child, window);
  }
}

void TMainMenu::BuildMenuBar(QMenuBar* bar, QWidget* window) const {
  bar->clear();
  for (int i = 0; i < FItems->Count(); ++i) bar->addAction(FItems->Items(i)->QtAction());
  if (window) {
    for (QAction* a : window->actions()) window->removeAction(a);
    AddShortcutActions(FItems, window);
  }
}

TPopupMenu::TPopupMenu(TComponent* owner) : TMenu(owner) {
  FItems->FSubMenu = new QMenu();
  FItems->FQAction->setMenu(FItems->FSubMenu);
}

void TPopupMenu::Popup(int x, int y) {
  if (FOnPopup) FOnPopup(this);
  if (FItems->SubMenu()) FItems->SubMenu()->popup(QPoint(x, y));
}
