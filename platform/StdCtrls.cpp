#include "StdCtrls.h"

#include "Dispatch.h"
#include "Exceptions.h"
#include "Forms.h"

#include <QCheckBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>

QString StripAccelChars(const QString& caption) {
  QString out;
  for (qsizetype i = 0; i < caption.size(); ++i) {
    if (caption[i] == QLatin1Char('&')) {
      if (i + 1 < caption.size() && caption[i + 1] == QLatin1Char('&')) {
        out += QLatin1Char('&');
        ++i;
      }
      continue;
    }
    out += caption[i];
  }
  return out;
}

// ---------------------------------------------------------------- TLabel

TLabel::TLabel(TComponent* owner) : TControl(owner) {
  FLabel = new QLabel();
  FLabel->setTextFormat(Qt::PlainText);
  FLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  SetWidget(FLabel);
  FClickOnMouseRelease = true;
  SetBounds(0, 0, 65, 13);
}

QString TLabel::DisplayText() const { return StripAccelChars(FText); }

void TLabel::SetText(const QString& text) {
  FText = text;
  FLabel->setText(DisplayText());
  NameFocusControl();
  AdjustBounds();
}

// The size a definition gives is the designed one; the text decides.
void TLabel::Loaded() {
  TControl::Loaded();
  AdjustBounds();
}

void TLabel::SetAlignment(TAlignment a) {
  FAlignment = a;
  UpdateLabel();
}

void TLabel::SetLayout(TTextLayout v) {
  FLayout = v;
  UpdateLabel();
}

void TLabel::SetAutoSize(bool v) {
  FAutoSize = v;
  AdjustBounds();
}

void TLabel::SetTransparent(bool v) {
  FTransparent = v;
  ApplyColor();
}

void TLabel::SetWordWrap(bool v) {
  FWordWrap = v;
  FLabel->setWordWrap(v);
  AdjustBounds();
}

// The label also names its control for screen readers: a chooser would
// otherwise be announced by the item it shows.
void TLabel::SetFocusControl(TWinControl* control) {
  SetReference(FFocusControl, control);
  FLabel->setBuddy(control ? control->Widget() : nullptr);
  NameFocusControl();
}

void TLabel::NameFocusControl() {
  if (FFocusControl && FFocusControl->Widget()) FFocusControl->Widget()->setAccessibleName(DisplayText());
}

void TLabel::Notification(TComponent* component, TOperation operation) {
  TControl::Notification(component, operation);
  if (operation == TOperation::opRemove && component == FFocusControl) {
    FFocusControl = nullptr;
    FLabel->setBuddy(nullptr);
  }
}

void TLabel::UpdateLabel() {
  Qt::Alignment h = FAlignment == taRightJustify ? Qt::AlignRight
                    : FAlignment == taCenter     ? Qt::AlignHCenter
                                                 : Qt::AlignLeft;
  Qt::Alignment v = FLayout == tlCenter ? Qt::AlignVCenter : FLayout == tlBottom ? Qt::AlignBottom : Qt::AlignTop;
  FLabel->setAlignment(h | v);
}

void TLabel::AdjustBounds() {
  if (!FAutoSize || FWordWrap || Loading()) return;
  const QFontMetrics fm(FFont->ToQFont());
  const QString text = DisplayText();
  const int w = text.isEmpty() ? 0 : fm.horizontalAdvance(text);
  const int h = fm.height();
  int left = FLeft;
  if (FAlignment == taRightJustify) left = FLeft + FWidth - w;
  SetBounds(left, FTop, w, h);
}

void TLabel::ApplyFont() {
  TControl::ApplyFont();
  AdjustBounds();
}

void TLabel::ApplyColor() {
  FLabel->setAutoFillBackground(!FTransparent);
  TControl::ApplyColor();
}

// ---------------------------------------------------------------- TEdit

TEdit::TEdit(TComponent* owner) : TWinControl(owner) {
  FEdit = new QLineEdit();
  FColor = clWindow;
  SetWidget(FEdit);
  SetBounds(0, 0, 121, 21);
  QObject::connect(FEdit, &QLineEdit::textChanged, FEdit, [this] {
    if (!Loading()) Dispatch([this] { Fire(FOnChange); });
  });
}

QString TEdit::GetText() const { return FEdit->text(); }

void TEdit::SetText(const QString& text) {
  if (text == FEdit->text()) return;
  FEdit->setText(text);
  RaiseHandlerError();
}

int TEdit::MaxLength() const { return FEdit->maxLength() == 32767 ? 0 : FEdit->maxLength(); }
void TEdit::SetMaxLength(int v) { FEdit->setMaxLength(v <= 0 ? 32767 : v); }
bool TEdit::ReadOnly() const { return FEdit->isReadOnly(); }
void TEdit::SetReadOnly(bool v) { FEdit->setReadOnly(v); }
int TEdit::ColorRole() const { return QPalette::Base; }
void TEdit::SelectAll() { FEdit->selectAll(); }
void TEdit::CopyToClipboard() { FEdit->copy(); }
void TEdit::PasteFromClipboard() { FEdit->paste(); }
QString TEdit::SelText() const { return FEdit->selectedText(); }

// ---------------------------------------------------------------- TMemo

namespace {

// The memo's lines, read from and written to its editor.
class TMemoLines : public TStrings {
public:
  explicit TMemoLines(TCustomMemo* memo) : FMemo(memo) {}
  int Count() const override { return static_cast<int>(Lines().size()); }
  QString Get(int index) const override {
    const QStringList l = Lines();
    CheckIndex(index, static_cast<int>(l.size()));
    return l[index];
  }
  void Put(int index, const QString& line) override {
    QStringList l = Lines();
    CheckIndex(index, static_cast<int>(l.size()));
    l[index] = line;
    SetLines(l);
  }
  void Insert(int index, const QString& line) override {
    QStringList l = Lines();
    if (index < 0 || index > l.size()) RaiseListIndexError(index);
    l.insert(index, line);
    SetLines(l);
  }
  void Delete(int index) override {
    QStringList l = Lines();
    CheckIndex(index, static_cast<int>(l.size()));
    l.removeAt(index);
    SetLines(l);
  }
  void Clear() override { SetLines({}); }
  QString Text() const override { return FMemo->Text(); }
  void SetText(const QString& text) override { FMemo->SetText(text); }
  void TextReplaced() { FOneEmptyLine = false; }

private:
  QStringList Lines() const {
    const QString text = FMemo->Editor()->toPlainText();
    if (text.isEmpty()) return FOneEmptyLine ? QStringList{QString()} : QStringList{};
    return text.split(QLatin1Char('\n'));
  }
  void SetLines(const QStringList& lines) {
    FMemo->SetText(lines.join(QStringLiteral("\r\n")));
    // An empty text is no lines; one empty line has to be remembered, or the
    // next line added would take its place.
    FOneEmptyLine = lines.size() == 1 && lines[0].isEmpty();
    Changed();
  }
  TCustomMemo* FMemo;
  bool FOneEmptyLine = false;
};

QString FromCrLf(const QString& text) {
  QString t = text;
  t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return t;
}

}  // namespace

TCustomMemo::TCustomMemo(TComponent* owner) : TWinControl(owner), FLines(std::make_unique<TMemoLines>(this)) {
  FEditor = new QPlainTextEdit();
  // Tab moves on to the next control, as in every other field of a window;
  // a memo takes no tab characters.
  FEditor->setTabChangesFocus(true);
  FColor = clWindow;
  SetWidget(FEditor);
  SetBounds(0, 0, 185, 89);
  SetScrollBars(ssNone);
  SetWordWrap(true);
  FEditor->viewport()->installEventFilter(this);
  QObject::connect(FEditor, &QPlainTextEdit::textChanged, FEditor, [this] {
    if (FSettingText) return;
    static_cast<TMemoLines*>(FLines.get())->TextReplaced();
    if (!Loading()) Dispatch([this] { Fire(FOnChange); });
  });
}

bool TCustomMemo::eventFilter(QObject* watched, QEvent* event) {
  if (FEditor && watched == FEditor->viewport() && event->type() == QEvent::ContextMenu)
    return TWinControl::eventFilter(FEditor, event);
  return TWinControl::eventFilter(watched, event);
}

TCustomMemo::~TCustomMemo() = default;

void TCustomMemo::SetLines(TStrings* lines) {
  if (lines) FLines->Assign(lines);
}

QString TCustomMemo::GetText() const {
  QString t = FEditor->toPlainText();
  t.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
  return t;
}

void TCustomMemo::SetText(const QString& text) {
  static_cast<TMemoLines*>(FLines.get())->TextReplaced();
  const QString plain = FromCrLf(text);
  if (plain != FEditor->toPlainText()) {
    FSettingText = true;
    FEditor->setPlainText(plain);
    FSettingText = false;
    if (!Loading()) Dispatch([this] { Fire(FOnChange); });
  }
  FEditor->document()->setModified(false);
  RaiseHandlerError();
}

void TCustomMemo::SetAlignment(TAlignment a) {
  FAlignment = a;
  QTextOption opt = FEditor->document()->defaultTextOption();
  opt.setAlignment(a == taRightJustify ? Qt::AlignRight : a == taCenter ? Qt::AlignHCenter : Qt::AlignLeft);
  FEditor->document()->setDefaultTextOption(opt);
}

bool TCustomMemo::ReadOnly() const { return FEditor->isReadOnly(); }
// A read-only memo is still read with the keys: the caret moves, pages turn
// and text is selected, as in any text the user reads.
void TCustomMemo::SetReadOnly(bool v) {
  FEditor->setReadOnly(v);
  if (v) FEditor->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
}

void TCustomMemo::SetScrollBars(TScrollStyle v) {
  FScrollBars = v;
  const bool vert = v == ssVertical || v == ssBoth, horz = v == ssHorizontal || v == ssBoth;
  FEditor->setVerticalScrollBarPolicy(vert ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
  FEditor->setHorizontalScrollBarPolicy(horz ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
}

void TCustomMemo::SetWordWrap(bool v) {
  FWordWrap = v;
  FEditor->setLineWrapMode(v ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
}

bool TCustomMemo::Modified() const { return FEditor->document()->isModified(); }
void TCustomMemo::SetModified(bool v) { FEditor->document()->setModified(v); }
int TCustomMemo::ColorRole() const { return QPalette::Base; }
void TCustomMemo::SelectAll() { FEditor->selectAll(); }
void TCustomMemo::CopyToClipboard() { FEditor->copy(); }
void TCustomMemo::PasteFromClipboard() { FEditor->paste(); }
QString TCustomMemo::SelText() const {
  QString t = FEditor->textCursor().selectedText();
  t.replace(QChar(0x2029), QStringLiteral("\r\n"));
  return t;
}

// ---------------------------------------------------------------- TListBox

namespace {

// The list box's items, kept in its widget.
class TListBoxItems : public TStrings {
public:
  explicit TListBoxItems(QListWidget* list) : FList(list) {}
  int Count() const override { return FList->count(); }
  QString Get(int index) const override {
    CheckIndex(index, Count());
    return FList->item(index)->text();
  }
  void Put(int index, const QString& line) override {
    CheckIndex(index, Count());
    FList->item(index)->setText(line);
    Changed();
  }
  void Insert(int index, const QString& line) override {
    if (index < 0 || index > Count()) RaiseListIndexError(index);
    FList->insertItem(index, line);
    Changed();
  }
  void Delete(int index) override {
    CheckIndex(index, Count());
    delete FList->takeItem(index);
    Changed();
  }
  void Clear() override {
    FList->clear();
    Changed();
  }

private:
  QListWidget* FList;
};

}  // namespace

TListBox::TListBox(TComponent* owner) : TCustomListControl(owner) {
  FList = new QListWidget();
  FList->setSelectionMode(QAbstractItemView::SingleSelection);
  FItems = std::make_unique<TListBoxItems>(FList);
  FColor = clWindow;
  SetWidget(FList);
  SetBounds(0, 0, 121, 97);
  QObject::connect(FList, &QListWidget::itemClicked, FList, [this] { Dispatch([this] { Click(); }); });
}

TListBox::~TListBox() = default;

void TListBox::SetItems(TStrings* items) {
  if (items) FItems->Assign(items);
}

int TListBox::ItemIndex() const { return FList->currentRow(); }

void TListBox::SetItemIndex(int index) {
  if (index < 0 || index >= FList->count()) {
    FList->setCurrentRow(-1);
    FList->clearSelection();
    return;
  }
  FList->setCurrentRow(index);
}

int TListBox::ColorRole() const { return QPalette::Base; }

// ---------------------------------------------------------------- TButton

TButton::TButton(TComponent* owner) : TWinControl(owner) {
  FButton = new QPushButton();
  FButton->setAutoDefault(false);
  SetWidget(FButton);
  SetBounds(0, 0, 75, 25);
  QObject::connect(FButton, &QPushButton::clicked, FButton, [this] { Dispatch([this] { Click(); }); });
}

void TButton::SetText(const QString& text) {
  FText = text;
  FButton->setText(text);
}

void TButton::SetDefault(bool v) {
  FDefault = v;
  FButton->setDefault(v);
}

void TButton::Click() {
  if (FModalResult != 0)
    if (TCustomForm* form = GetParentForm(this)) form->SetModalResult(FModalResult);
  TWinControl::Click();
}

// ---------------------------------------------------------------- TCheckBox

TCheckBox::TCheckBox(TComponent* owner) : TWinControl(owner) {
  FBox = new QCheckBox();
  SetWidget(FBox);
  SetBounds(0, 0, 97, 17);
  QObject::connect(FBox, &QCheckBox::toggled, FBox, [this] {
    if (!Loading()) Dispatch([this] { Click(); });
  });
}

void TCheckBox::SetText(const QString& text) {
  FText = text;
  FBox->setText(text);
}

// A grayed box is not checked.
bool TCheckBox::Checked() const { return FBox->checkState() == Qt::Checked; }
void TCheckBox::SetChecked(bool v) {
  FBox->setChecked(v);
  RaiseHandlerError();
}
TCheckBoxState TCheckBox::State() const {
  switch (FBox->checkState()) {
    case Qt::Checked: return cbChecked;
    case Qt::PartiallyChecked: return cbGrayed;
    default: return cbUnchecked;
  }
}
void TCheckBox::SetState(TCheckBoxState v) {
  FBox->setTristate(v == cbGrayed);
  FBox->setCheckState(v == cbChecked ? Qt::Checked : v == cbGrayed ? Qt::PartiallyChecked : Qt::Unchecked);
  RaiseHandlerError();
}

// ---------------------------------------------------------------- TRadioButton

TRadioButton::TRadioButton(TComponent* owner) : TWinControl(owner) {
  FButton = new QRadioButton();
  SetWidget(FButton);
  SetBounds(0, 0, 113, 17);
  QObject::connect(FButton, &QRadioButton::toggled, FButton, [this](bool on) {
    if (on && !Loading()) Dispatch([this] { Click(); });
  });
}

void TRadioButton::SetText(const QString& text) {
  FText = text;
  FButton->setText(text);
}

bool TRadioButton::Checked() const { return FButton->isChecked(); }
void TRadioButton::SetChecked(bool v) {
  FButton->setChecked(v);
  RaiseHandlerError();
}

// ---------------------------------------------------------------- TGroupBox

TGroupBox::TGroupBox(TComponent* owner) : TWinControl(owner) {
  FBox = new QGroupBox();
  SetWidget(FBox);
  SetBounds(0, 0, 185, 105);
}

void TGroupBox::SetText(const QString& text) {
  FText = text;
  FBox->setTitle(text);
}

QRect TGroupBox::AdjustClientRect(QRect rect) const {
  const int caption = QFontMetrics(FFont->ToQFont()).height();
  return rect.adjusted(2, caption, -2, -2);
}
