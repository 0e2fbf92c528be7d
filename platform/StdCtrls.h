// The standard controls: labels, edits, memos, buttons, check and radio
// buttons, group boxes.
#pragma once

#include "Classes.h"
#include "Controls.h"

#include <memory>

class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QCheckBox;
class QRadioButton;
class QGroupBox;

// A text on the window; "&" marks an access letter and is not shown.
class TLabel : public TControl {
  Q_OBJECT
  Q_PROPERTY(Vcl::TAlignment Alignment READ Alignment WRITE SetAlignment)
  Q_PROPERTY(bool AutoSize READ AutoSize WRITE SetAutoSize)
  Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
  Q_PROPERTY(int Color READ Color WRITE SetColor)
  Q_PROPERTY(TWinControl* FocusControl READ FocusControl WRITE SetFocusControl)
  Q_PROPERTY(TFont* Font READ Font WRITE SetFont)
  Q_PROPERTY(Vcl::TTextLayout Layout READ Layout WRITE SetLayout)
  Q_PROPERTY(bool ParentColor READ ParentColor WRITE SetParentColor)
  Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
  Q_PROPERTY(TPopupMenu* PopupMenu READ PopupMenu WRITE SetPopupMenu)
  Q_PROPERTY(bool Transparent READ Transparent WRITE SetTransparent)
  Q_PROPERTY(bool WordWrap READ WordWrap WRITE SetWordWrap)
  Q_PROPERTY(TNotifyEvent OnClick READ OnClick WRITE SetOnClick)
public:
  explicit TLabel(TComponent* owner = nullptr);
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment a);
  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool v);
  TTextLayout Layout() const { return FLayout; }
  void SetLayout(TTextLayout v);
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool v);
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool v);
  // The control the label names: the desktop's screen readers announce the
  // label's text for it.
  TWinControl* FocusControl() const { return FFocusControl; }
  void SetFocusControl(TWinControl* control);
  // The text as shown, without the access-letter marks.
  QString DisplayText() const;

  void Loaded() override;

protected:
  void SetText(const QString& text) override;
  void ApplyFont() override;
  void ApplyColor() override;
  // Sizes the label to its text; a right-aligned label keeps its right edge.
  void AdjustBounds();
  void UpdateLabel();
  void Notification(TComponent* component, TOperation operation) override;
  void NameFocusControl();
  QLabel* FLabel;
  TWinControl* FFocusControl = nullptr;
  TAlignment FAlignment = taLeftJustify;
  bool FAutoSize = true;
  TTextLayout FLayout = tlTop;
  bool FTransparent = false;
  bool FWordWrap = false;
};

// A one-line text box.
class TEdit : public TWinControl {
  Q_OBJECT
  Q_PROPERTY(int Color READ Color WRITE SetColor)
  Q_PROPERTY(TFont* Font READ Font WRITE SetFont)
  Q_PROPERTY(int MaxLength READ MaxLength WRITE SetMaxLength)
  Q_PROPERTY(bool ParentColor READ ParentColor WRITE SetParentColor)
  Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
  Q_PROPERTY(TPopupMenu* PopupMenu READ PopupMenu WRITE SetPopupMenu)
  Q_PROPERTY(bool ReadOnly READ ReadOnly WRITE SetReadOnly)
  Q_PROPERTY(QString Text READ Text WRITE SetText)
  Q_PROPERTY(TNotifyEvent OnChange READ OnChange WRITE SetOnChange)
  Q_PROPERTY(TKeyPressEvent OnKeyPress READ OnKeyPress WRITE SetOnKeyPress)
public:
  explicit TEdit(TComponent* owner = nullptr);
  QString Text() const { return GetText(); }
  void SetText(const QString& text) override;
  int MaxLength() const;
  void SetMaxLength(int v);
  bool ReadOnly() const;
  void SetReadOnly(bool v);
  TNotifyEvent OnChange() const { return FOnChange; }
  void SetOnChange(const TNotifyEvent& e) { FOnChange = e; }
  TKeyPressEvent OnKeyPress() const { return FOnKeyPress; }
  void SetOnKeyPress(const TKeyPressEvent& e) { FOnKeyPress = e; }
  void Clear() { SetText(QString()); }
  void SelectAll();
  void CopyToClipboard();
  void PasteFromClipboard();
  QString SelText() const;

protected:
  QString GetText() const override;
  int ColorRole() const override;
  bool DefaultParentColor() const override { return false; }
  QLineEdit* FEdit;
  TNotifyEvent FOnChange;
};

// The workings of a multi-line text box, for the memo controls to publish as
// they need. Lines are separated by CR LF in its text.
class TCustomMemo : public TWinControl {
  Q_OBJECT
public:
  explicit TCustomMemo(TComponent* owner = nullptr);
  ~TCustomMemo() override;
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment a);
  TStrings* Lines() const { return FLines.get(); }
  void SetLines(TStrings* lines);
  int MaxLength() const { return FMaxLength; }
  void SetMaxLength(int v) { FMaxLength = v; }
  bool ReadOnly() const;
  void SetReadOnly(bool v);
  TScrollStyle ScrollBars() const { return FScrollBars; }
  void SetScrollBars(TScrollStyle v);
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool v);
  TNotifyEvent OnChange() const { return FOnChange; }
  void SetOnChange(const TNotifyEvent& e) { FOnChange = e; }
  TKeyPressEvent OnKeyPress() const { return FOnKeyPress; }
  void SetOnKeyPress(const TKeyPressEvent& e) { FOnKeyPress = e; }

  // The whole text, lines joined by CR LF. Setting it clears Modified.
  QString Text() const { return GetText(); }
  void SetText(const QString& text) override;
  void Clear() { SetText(QString()); }
  // Set when the user changes the text; cleared when the program sets it.
  bool Modified() const;
  void SetModified(bool v);
  void SelectAll();
  void CopyToClipboard();
  void PasteFromClipboard();
  QString SelText() const;
  QPlainTextEdit* Editor() const { return FEditor; }

protected:
  QString GetText() const override;
  int ColorRole() const override;
  bool DefaultParentColor() const override { return false; }
  // The mouse reaches the editor's text area, not the editor itself.
  bool eventFilter(QObject* watched, QEvent* event) override;
  QPlainTextEdit* FEditor;
  std::unique_ptr<TStrings> FLines;
  TAlignment FAlignment = taLeftJustify;
  int FMaxLength = 0;
  TScrollStyle FScrollBars = ssNone;
  bool FWordWrap = true;
  bool FSettingText = false;
  TNotifyEvent FOnChange;
};

// A multi-line text box.
class TMemo : public TCustomMemo {
  Q_OBJECT
  Q_PROPERTY(Vcl::TAlignment Alignment READ Alignment WRITE SetAlignment)
  Q_PROPERTY(int Color READ Color WRITE SetColor)
  Q_PROPERTY(TFont* Font READ Font WRITE SetFont)
  Q_PROPERTY(TStrings* Lines READ Lines WRITE SetLines)
  Q_PROPERTY(int MaxLength READ MaxLength WRITE SetMaxLength)
  Q_PROPERTY(bool ParentColor READ ParentColor WRITE SetParentColor)
  Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
  Q_PROPERTY(TPopupMenu* PopupMenu READ PopupMenu WRITE SetPopupMenu)
  Q_PROPERTY(bool ReadOnly READ ReadOnly WRITE SetReadOnly)
  Q_PROPERTY(Vcl::TScrollStyle ScrollBars READ ScrollBars WRITE SetScrollBars)
  Q_PROPERTY(bool WordWrap READ WordWrap WRITE SetWordWrap)
  Q_PROPERTY(TNotifyEvent OnChange READ OnChange WRITE SetOnChange)
  Q_PROPERTY(TKeyPressEvent OnKeyPress READ OnKeyPress WRITE SetOnKeyPress)
public:
  using TCustomMemo::TCustomMemo;
};

// A push button. A non-zero ModalResult closes a modal window with that result.
class TButton : public TWinControl {
  Q_OBJECT
  Q_PROPERTY(bool Cancel READ Cancel WRITE SetCancel)
  Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
  Q_PROPERTY(bool Default READ Default WRITE SetDefault)
  Q_PROPERTY(TFont* Font READ Font WRITE SetFont)
  Q_PROPERTY(int ModalResult READ ModalResult WRITE SetModalResult)
  Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
  Q_PROPERTY(TNotifyEvent OnClick READ OnClick WRITE SetOnClick)
public:
  explicit TButton(TComponent* owner = nullptr);
  bool Cancel() const { return FCancel; }
  void SetCancel(bool v) { FCancel = v; }
  bool Default() const { return FDefault; }
  void SetDefault(bool v);
  int ModalResult() const { return FModalResult; }
  void SetModalResult(int v) { FModalResult = v; }
  void Click() override;

protected:
  void SetText(const QString& text) override;
  QPushButton* FButton;
  bool FCancel = false;
  bool FDefault = false;
  int FModalResult = 0;
};

// A check box; changing Checked runs OnClick, as a click does.
class TCheckBox : public TWinControl {
  Q_OBJECT
  Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
  Q_PROPERTY(bool Checked READ Checked WRITE SetChecked)
  Q_PROPERTY(TFont* Font READ Font WRITE SetFont)
  Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
  Q_PROPERTY(Vcl::TCheckBoxState State READ State WRITE SetState)
  Q_PROPERTY(TNotifyEvent OnClick READ OnClick WRITE SetOnClick)
public:
  explicit TCheckBox(TComponent* owner = nullptr);
  bool Checked() const;
  void SetChecked(bool v);
  TCheckBoxState State() const;
  void SetState(TCheckBoxState v);

protected:
  void SetText(const QString& text) override;
  QCheckBox* FBox;
};

// A radio button; the buttons of one parent exclude each other.
class TRadioButton : public TWinControl {
  Q_OBJECT
  Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
  Q_PROPERTY(bool Checked READ Checked WRITE SetChecked)
  Q_PROPERTY(TFont* Font READ Font WRITE SetFont)
  Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
  Q_PROPERTY(TNotifyEvent OnClick READ OnClick WRITE SetOnClick)
public:
  explicit TRadioButton(TComponent* owner = nullptr);
  bool Checked() const;
  void SetChecked(bool v);

protected:
  void SetText(const QString& text) override;
  QRadioButton* FButton;
};

// A framed group with a caption; its controls are placed relative to its
// top-left corner.
class TGroupBox : public TWinControl {
  Q_OBJECT
  Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
  Q_PROPERTY(int Color READ Color WRITE SetColor)
  Q_PROPERTY(TFont* Font READ Font WRITE SetFont)
  Q_PROPERTY(bool ParentColor READ ParentColor WRITE SetParentColor)
  Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
public:
  explicit TGroupBox(TComponent* owner = nullptr);

protected:
  void SetText(const QString& text) override;
  QRect AdjustClientRect(QRect rect) const override;
  QGroupBox* FBox;
};

// A control that lists items, one of which may be selected.
class TCustomListControl : public TWinControl {
  Q_OBJECT
  Q_PROPERTY(int ItemIndex READ ItemIndex WRITE SetItemIndex)
public:
  using TWinControl::TWinControl;
  // The selected item's index; -1 when none is selected.
  virtual int ItemIndex() const = 0;
  // An index outside the items selects none.
  virtual void SetItemIndex(int index) = 0;
};

// A list of text lines to choose one from.
class TListBox : public TCustomListControl {
  Q_OBJECT
  Q_PROPERTY(int Color READ Color WRITE SetColor)
  Q_PROPERTY(TFont* Font READ Font WRITE SetFont)
  Q_PROPERTY(TStrings* Items READ Items WRITE SetItems)
  Q_PROPERTY(bool ParentColor READ ParentColor WRITE SetParentColor)
  Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
  Q_PROPERTY(TPopupMenu* PopupMenu READ PopupMenu WRITE SetPopupMenu)
  Q_PROPERTY(TNotifyEvent OnClick READ OnClick WRITE SetOnClick)
public:
  explicit TListBox(TComponent* owner = nullptr);
  ~TListBox() override;
  // The lines live in the widget; the list object stays the same one.
  TStrings* Items() const { return FItems.get(); }
  void SetItems(TStrings* items);
  int ItemIndex() const override;
  void SetItemIndex(int index) override;
  QListWidget* ListWidget() const { return FList; }

protected:
  int ColorRole() const override;
  bool DefaultParentColor() const override { return false; }
  QListWidget* FList;
  std::unique_ptr<TStrings> FItems;
};

// Strips access-letter marks: "&Yes" shows "Yes", "&&" shows "&".
QString StripAccelChars(const QString& caption);
