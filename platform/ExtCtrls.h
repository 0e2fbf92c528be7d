// Panels, bevels, pictures, splitters and speed buttons.
#pragma once

#include "Controls.h"

#include <memory>

class QToolButton;

// A raised or lowered area that holds controls; its caption is drawn centred.
class TPanel : public TWinControl {
  Q_OBJECT
  Q_PROPERTY(Vcl::TAlignment Alignment READ Alignment WRITE SetAlignment)
  Q_PROPERTY(Vcl::TBevelCut BevelInner READ BevelInner WRITE SetBevelInner)
  Q_PROPERTY(Vcl::TBevelCut BevelOuter READ BevelOuter WRITE SetBevelOuter)
  Q_PROPERTY(int BevelWidth READ BevelWidth WRITE SetBevelWidth)
  Q_PROPERTY(int BorderWidth READ BorderWidth WRITE SetBorderWidth)
  Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
  Q_PROPERTY(int Color READ Color WRITE SetColor)
  Q_PROPERTY(TFont* Font READ Font WRITE SetFont)
  Q_PROPERTY(bool ParentColor READ ParentColor WRITE SetParentColor)
  Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
  Q_PROPERTY(TPopupMenu* PopupMenu READ PopupMenu WRITE SetPopupMenu)
  Q_PROPERTY(TNotifyEvent OnClick READ OnClick WRITE SetOnClick)
public:
  explicit TPanel(TComponent* owner = nullptr);
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment v);
  TBevelCut BevelInner() const { return FBevelInner; }
  void SetBevelInner(TBevelCut v);
  TBevelCut BevelOuter() const { return FBevelOuter; }
  void SetBevelOuter(TBevelCut v);
  int BevelWidth() const { return FBevelWidth; }
  void SetBevelWidth(int v);
  int BorderWidth() const { return FBorderWidth; }
  void SetBorderWidth(int v);
  // For painting.
  QString DisplayCaption() const;

protected:
  void SetText(const QString& text) override;
  QRect AdjustClientRect(QRect rect) const override;
  bool DefaultParentColor() const override { return false; }
  TAlignment FAlignment = taCenter;
  TBevelCut FBevelInner = bvNone;
  TBevelCut FBevelOuter = bvRaised;
  int FBevelWidth = 1;
  int FBorderWidth = 0;
};

// A line or frame drawn for grouping.
class TBevel : public TControl {
  Q_OBJECT
  Q_PROPERTY(Vcl::TBevelShape Shape READ Shape WRITE SetShape)
  Q_PROPERTY(Vcl::TBevelStyle Style READ Style WRITE SetStyle)
public:
  explicit TBevel(TComponent* owner = nullptr);
  TBevelShape Shape() const { return FShape; }
  void SetShape(TBevelShape v);
  TBevelStyle Style() const { return FStyle; }
  void SetStyle(TBevelStyle v);

private:
  TBevelShape FShape = bsBox;
  TBevelStyle FStyle = bsLowered;
};

// A picture on the window, drawn as it is, centred, or stretched to fill.
class TImage : public TControl {
  Q_OBJECT
  Q_PROPERTY(bool Center READ Center WRITE SetCenter)
  Q_PROPERTY(TPicture* Picture READ Picture WRITE SetPicture)
  Q_PROPERTY(bool Proportional READ Proportional WRITE SetProportional)
  Q_PROPERTY(bool Stretch READ Stretch WRITE SetStretch)
  Q_PROPERTY(bool Transparent READ Transparent WRITE SetTransparent)
  Q_PROPERTY(TNotifyEvent OnClick READ OnClick WRITE SetOnClick)
public:
  explicit TImage(TComponent* owner = nullptr);
  bool Center() const { return FCenter; }
  void SetCenter(bool v);
  TPicture* Picture() const { return FPicture.get(); }
  void SetPicture(TPicture* p);
  bool Proportional() const { return FProportional; }
  void SetProportional(bool v);
  bool Stretch() const { return FStretch; }
  void SetStretch(bool v);
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool v) { FTransparent = v; }
  // Where the picture is drawn inside the control.
  QRect DestRect() const;

private:
  void Repaint();
  std::unique_ptr<TPicture> FPicture;
  bool FCenter = false;
  bool FProportional = false;
  bool FStretch = false;
  bool FTransparent = false;
};

// A bar between two aligned controls; dragging it changes the width (or
// height) of the control on its aligned side.
class TSplitter : public TControl {
  Q_OBJECT
  Q_PROPERTY(bool Beveled READ Beveled WRITE SetBeveled)
  Q_PROPERTY(int Color READ Color WRITE SetColor)
  Q_PROPERTY(int MinSize READ MinSize WRITE SetMinSize)
  Q_PROPERTY(bool ParentColor READ ParentColor WRITE SetParentColor)
  Q_PROPERTY(TNotifyEvent OnMoved READ OnMoved WRITE SetOnMoved)
public:
  explicit TSplitter(TComponent* owner = nullptr);
  bool Beveled() const { return FBeveled; }
  void SetBeveled(bool v) { FBeveled = v; }
  int MinSize() const { return FMinSize; }
  void SetMinSize(int v) { FMinSize = v; }
  TNotifyEvent OnMoved() const { return FOnMoved; }
  void SetOnMoved(const TNotifyEvent& e) { FOnMoved = e; }
  // The control the splitter resizes: the nearest one aligned to the same
  // side, just before it.
  TControl* FindControl() const;
  // Moves the splitter by `delta` pixels, as a drag does.
  void MoveBy(int delta);

private:
  bool FBeveled = false;
  int FMinSize = 30;
  TNotifyEvent FOnMoved;
};

// A flat tool button with a picture and a hint.
class TSpeedButton : public TControl {
  Q_OBJECT
  Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
  Q_PROPERTY(bool Flat READ Flat WRITE SetFlat)
  Q_PROPERTY(TFont* Font READ Font WRITE SetFont)
  Q_PROPERTY(TPicture* Glyph READ Glyph WRITE SetGlyph)
  Q_PROPERTY(Vcl::TButtonLayout Layout READ Layout WRITE SetLayout)
  Q_PROPERTY(int NumGlyphs READ NumGlyphs WRITE SetNumGlyphs)
  Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
  Q_PROPERTY(bool ParentShowHint READ ParentShowHint WRITE SetParentShowHint)
  Q_PROPERTY(TNotifyEvent OnClick READ OnClick WRITE SetOnClick)
public:
  explicit TSpeedButton(TComponent* owner = nullptr);
  bool Flat() const { return FFlat; }
  void SetFlat(bool v);
  TPicture* Glyph() const { return FGlyph.get(); }
  void SetGlyph(TPicture* p);
  TButtonLayout Layout() const { return FLayout; }
  void SetLayout(TButtonLayout v) { FLayout = v; }
  int NumGlyphs() const { return FNumGlyphs; }
  void SetNumGlyphs(int v) { FNumGlyphs = v; }
  bool ParentShowHint() const { return FParentShowHint; }
  void SetParentShowHint(bool v) { FParentShowHint = v; }

protected:
  void SetText(const QString& text) override;

private:
  void UpdateIcon();
  QToolButton* FButton;
  std::unique_ptr<TPicture> FGlyph;
  bool FFlat = false;
  TButtonLayout FLayout = blGlyphLeft;
  int FNumGlyphs = 1;
  bool FParentShowHint = true;
};
