// Page controls with their pages, and the status bar.
#pragma once

#include "Controls.h"

class QTabWidget;
class QStatusBar;
class QLabel;
class TPageControl;

// One page of a page control; its caption is the tab's text.
class TTabSheet : public TWinControl {
  Q_OBJECT
  Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
  Q_PROPERTY(int Color READ Color WRITE SetColor)
  Q_PROPERTY(TFont* Font READ Font WRITE SetFont)
  Q_PROPERTY(TPageControl* PageControl READ PageControl WRITE SetPageControl)
  Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
  Q_PROPERTY(bool TabVisible READ TabVisible WRITE SetTabVisible)
  Q_PROPERTY(TNotifyEvent OnShow READ OnShow WRITE SetOnShow)
public:
  explicit TTabSheet(TComponent* owner = nullptr);
  ~TTabSheet() override;
  TPageControl* PageControl() const;
  void SetPageControl(TPageControl* pc);
  bool TabVisible() const { return FTabVisible; }
  void SetTabVisible(bool v);
  int PageIndex() const;
  TNotifyEvent OnShow() const { return FOnShow; }
  void SetOnShow(const TNotifyEvent& e) { FOnShow = e; }

protected:
  friend class TPageControl;
  void SetText(const QString& text) override;
  void ApplyGeometry() override {}
  void ApplyVisibility() override {}
  bool PlacedByToolkit() const override { return true; }
  bool FTabVisible = true;
  TNotifyEvent FOnShow;
};

// Tabbed pages; one page shows at a time.
class TPageControl : public TWinControl {
  Q_OBJECT
  Q_PROPERTY(TTabSheet* ActivePage READ ActivePage WRITE SetActivePage)
  Q_PROPERTY(TFont* Font READ Font WRITE SetFont)
  Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
  Q_PROPERTY(TNotifyEvent OnChange READ OnChange WRITE SetOnChange)
public:
  explicit TPageControl(TComponent* owner = nullptr);
  ~TPageControl() override;
  int PageCount() const { return static_cast<int>(FPages.size()); }
  TTabSheet* Pages(int index) const;
  TTabSheet* ActivePage() const;
  void SetActivePage(TTabSheet* page);
  int ActivePageIndex() const;
  void SetActivePageIndex(int index);
  TNotifyEvent OnChange() const { return FOnChange; }
  void SetOnChange(const TNotifyEvent& e) { FOnChange = e; }
  QTabWidget* Tabs() const { return FTabs; }

protected:
  friend class TTabSheet;
  void InsertControl(TControl* control) override;
  void RemoveControl(TControl* control) override;
  void UpdateTab(TTabSheet* page);
  QTabWidget* FTabs;
  std::vector<TTabSheet*> FPages;
  QPointer<TTabSheet> FPendingActive;
  TNotifyEvent FOnChange;
};

// The bar at the bottom of a window; it shows one simple text.
class TStatusBar : public TWinControl {
  Q_OBJECT
  Q_PROPERTY(TFont* Font READ Font WRITE SetFont)
  Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
  Q_PROPERTY(bool SimplePanel READ SimplePanel WRITE SetSimplePanel)
  Q_PROPERTY(QString SimpleText READ SimpleText WRITE SetSimpleText)
  Q_PROPERTY(bool SizeGrip READ SizeGrip WRITE SetSizeGrip)
public:
  explicit TStatusBar(TComponent* owner = nullptr);
  bool SimplePanel() const { return FSimplePanel; }
  void SetSimplePanel(bool v) { FSimplePanel = v; }
  QString SimpleText() const { return FSimpleText; }
  void SetSimpleText(const QString& v);
  bool SizeGrip() const;
  void SetSizeGrip(bool v);

private:
  QStatusBar* FBar;
  QLabel* FLabel;
  bool FSimplePanel = false;
  QString FSimpleText;
};
