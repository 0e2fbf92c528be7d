#include "ComCtrls.h"

#include "Dispatch.h"
#include "Exceptions.h"

#include <QLabel>
#include <QStatusBar>
#include <QTabWidget>
#include <QWidget>

#include <algorithm>

// ---------------------------------------------------------------- TTabSheet

TTabSheet::TTabSheet(TComponent* owner) : TWinControl(owner) {
  auto* page = new QWidget();
  page->setAutoFillBackground(true);
  SetWidget(page);
}

// Leaves the page control while still a page, so that the control drops its
// tab and its page list entry.
TTabSheet::~TTabSheet() { SetParent(nullptr); }

TPageControl* TTabSheet::PageControl() const { return qobject_cast<TPageControl*>(FParent); }

void TTabSheet::SetPageControl(TPageControl* pc) { SetParent(pc); }

void TTabSheet::SetText(const QString& text) {
  FText = text;
  if (TPageControl* pc = PageControl()) pc->UpdateTab(this);
}

void TTabSheet::SetTabVisible(bool v) {
  FTabVisible = v;
  if (TPageControl* pc = PageControl()) pc->UpdateTab(this);
}

int TTabSheet::PageIndex() const {
  TPageControl* pc = PageControl();
  if (!pc) return -1;
  auto it = std::find(pc->FPages.begin(), pc->FPages.end(), this);
  return it == pc->FPages.end() ? -1 : static_cast<int>(it - pc->FPages.begin());
}

// ---------------------------------------------------------------- TPageControl

TPageControl::TPageControl(TComponent* owner) : TWinControl(owner) {
  FTabs = new QTabWidget();
  FTabs->setDocumentMode(false);
  SetWidget(FTabs);
  SetBounds(0, 0, 289, 193);
  QObject::connect(FTabs, &QTabWidget::currentChanged, FTabs, [this](int) {
    // Pages going away with their window change the current tab; the
    // window's handlers are no longer there to hear of it.
    if (Loading() || Destroying() || (Owner() && Owner()->Destroying())) return;
    Dispatch([this] {
      if (TTabSheet* page = ActivePage()) page->Fire(page->FOnShow);
      Fire(FOnChange);
    });
  });
}

TPageControl::~TPageControl() {
  // Pages that outlive the control leave it while its own state is whole;
  // the base destructor would remove them after the page list is gone.
  QObject::disconnect(FTabs, &QTabWidget::currentChanged, nullptr, nullptr);
  while (!FPages.empty()) FPages.back()->SetParent(nullptr);
}

TTabSheet* TPageControl::Pages(int index) const {
  if (index < 0 || index >= PageCount()) RaiseListIndexError(index);
  return FPages[static_cast<size_t>(index)];
}

void TPageControl::InsertControl(TControl* control) {
  auto* page = qobject_cast<TTabSheet*>(control);
  if (!page) {
    TWinControl::InsertControl(control);
    return;
  }
  TWinControl::InsertControl(control);
  FPages.push_back(page);
  FTabs->addTab(page->Widget(), page->Caption());
  UpdateTab(page);
  if (FPendingActive == page) SetActivePage(page);
}

void TPageControl::RemoveControl(TControl* control) {
  // Found by address: a control on its way out is no longer a page by class.
  auto it = std::find_if(FPages.begin(), FPages.end(), [control](TTabSheet* p) { return p == control; });
  if (it != FPages.end()) {
    const int i = control->Widget() ? FTabs->indexOf(control->Widget()) : -1;
    if (i >= 0) FTabs->removeTab(i);
    FPages.erase(it);
  }
  if (FPendingActive == control) FPendingActive = nullptr;
  TWinControl::RemoveControl(control);
}

void TPageControl::UpdateTab(TTabSheet* page) {
  const int i = FTabs->indexOf(page->Widget());
  if (i < 0) return;
  FTabs->setTabText(i, page->Caption());
  FTabs->setTabVisible(i, page->TabVisible());
}

TTabSheet* TPageControl::ActivePage() const {
  QWidget* current = FTabs->currentWidget();
  for (TTabSheet* p : FPages)
    if (p->Widget() == current) return p;
  return nullptr;
}

void TPageControl::SetActivePage(TTabSheet* page) {
  if (!page) return;
  const int i = FTabs->indexOf(page->Widget());
  if (i < 0) {
    // Named in a definition before the page itself is placed.
    FPendingActive = page;
    return;
  }
  FPendingActive = nullptr;
  FTabs->setCurrentIndex(i);
  RaiseHandlerError();
}

int TPageControl::ActivePageIndex() const {
  TTabSheet* p = ActivePage();
  return p ? p->PageIndex() : -1;
}

void TPageControl::SetActivePageIndex(int index) { SetActivePage(Pages(index)); }

// ---------------------------------------------------------------- TStatusBar

TStatusBar::TStatusBar(TComponent* owner) : TWinControl(owner) {
  FBar = new QStatusBar();
  FLabel = new QLabel();
  FBar->addWidget(FLabel, 1);
  SetWidget(FBar);
  FAlign = alBottom;
  SetBounds(0, 0, 200, 19);
}

void TStatusBar::SetSimpleText(const QString& v) {
  FSimpleText = v;
  FLabel->setText(v);
}

bool TStatusBar::SizeGrip() const { return FBar->isSizeGripEnabled(); }
void TStatusBar::SetSizeGrip(bool v) { FBar->setSizeGripEnabled(v); }
