#include "DBCtrls.h"

#include "Dispatch.h"
#include "Exceptions.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QKeyEvent>
#include <QListView>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QToolButton>

// ---------------------------------------------------------------- TFieldDataLink

void TFieldDataLink::SetFieldName(const QString& name) {
  if (name == FFieldName) return;
  FFieldName = name;
  Changed();
}

TField* TFieldDataLink::Field() const {
  // Looked up by name every time: field objects last one opening only.
  return Active() && !FFieldName.isEmpty() ? DataSet()->FindField(FFieldName) : nullptr;
}

QString TFieldDataLink::Text() const {
  const TField* f = Field();
  return f ? f->AsString() : QString();
}

void TFieldDataLink::Changed() {
  if (Control() && Control()->Destroying()) return;
  if (FChanged) FChanged();
}

// ---------------------------------------------------------------- TDBEdit

TDBEdit::TDBEdit(TComponent* owner) : TEdit(owner), TFieldBinding(this, [this] { SetText(FLink.Text()); }) {}

TDBEdit::~TDBEdit() = default;

// ---------------------------------------------------------------- TDBText

TDBText::TDBText(TComponent* owner) : TLabel(owner), TFieldBinding(this, [this] { SetText(FLink.Text()); }) {}

TDBText::~TDBText() = default;

// ---------------------------------------------------------------- TDBMemo

TDBMemo::TDBMemo(TComponent* owner) : TCustomMemo(owner), TFieldBinding(this, [this] { SetText(FLink.Text()); }) {}

TDBMemo::~TDBMemo() = default;

// ---------------------------------------------------------------- TDBLookupControl

TDBLookupControl::TDBLookupControl(TComponent* owner)
    : TWinControl(owner), FModel(std::make_unique<TDataSetModel>(this)), FDataLink(this, nullptr) {
  FColor = clWindow;
  FModel->OnDataEvent = [this](TDataEvent event) { ListEvent(event); };
}

TDBLookupControl::~TDBLookupControl() {
  FModel->OnDataEvent = nullptr;
  FModel->SetDataSource(nullptr);
  FDataLink.Detach();
  // The view goes before the model it shows.
  delete FWidget.data();
}

int TDBLookupControl::ColorRole() const { return QPalette::Base; }

void TDBLookupControl::SetListField(const QString& name) {
  FListField = name;
  FModel->SetFieldNames({FListField.isEmpty() ? FKeyField : FListField});
  ListEvent(TDataEvent::DataSetChanged);
}

void TDBLookupControl::SetKeyField(const QString& name) {
  FKeyField = name;
  FModel->SetFieldNames({FListField.isEmpty() ? FKeyField : FListField});
  ListEvent(TDataEvent::DataSetChanged);
}

// ---------------------------------------------------------------- TDBLookupComboBox

// The combo box of a lookup: its list's closing, with or without a pick, is
// the control's close-up. A pick in the list is a press and a release on an
// item of the open list, or Enter there.
class TLookupComboView : public QComboBox {
public:
  explicit TLookupComboView(TDBLookupComboBox* owner) : FOwner(owner) {
    view()->viewport()->installEventFilter(this);
    view()->installEventFilter(this);
  }
  void showPopup() override {
    FPressed = false;
    FShown = true;
    QComboBox::showPopup();
  }
  void hidePopup() override {
    QComboBox::hidePopup();
    if (!FShown) return;
    FShown = false;
    if (!FOwner->FClosingUp) FOwner->CloseUp(false);
  }
  bool Shown() const { return FShown; }

protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (!FShown) return QComboBox::eventFilter(watched, event);
    if (watched == view()->viewport()) {
      if (event->type() == QEvent::MouseButtonPress) FPressed = true;
      if (event->type() == QEvent::MouseButtonRelease && FPressed) {
        const auto* m = static_cast<QMouseEvent*>(event);
        const QModelIndex at = view()->indexAt(m->position().toPoint());
        if (m->button() == Qt::LeftButton && at.isValid()) {
          FOwner->CloseUp(true, at.row());
          return true;
        }
      }
    } else if (watched == view() && event->type() == QEvent::KeyPress) {
      const int key = static_cast<QKeyEvent*>(event)->key();
      if ((key == Qt::Key_Return || key == Qt::Key_Enter) && view()->currentIndex().isValid()) {
        FOwner->CloseUp(true, view()->currentIndex().row());
        return true;
      }
    }
    return QComboBox::eventFilter(watched, event);
  }

private:
  TDBLookupComboBox* FOwner;
  bool FShown = false;
  bool FPressed = false;
};

TDBLookupComboBox::TDBLookupComboBox(TComponent* owner) : TDBLookupControl(owner) {
  FCombo = new TLookupComboView(this);
  FCombo->setModel(FModel.get());
  FCombo->setModelColumn(0);
  FCombo->setMaxVisibleItems(FDropDownRows);
  FCombo->setFocusPolicy(Qt::StrongFocus);
  SetWidget(FCombo);
  SetBounds(0, 0, 145, 21);
  // The keys (and the wheel) choose in the closed box: a pick and a close-up
  // at once, so the window never sees a choice it was not told of.
  QObject::connect(FCombo, &QComboBox::activated, FCombo, [this](int row) {
    if (!FCombo->Shown()) CloseUp(true, row);
  });
  ShowChoice();
}

TDBLookupComboBox::~TDBLookupComboBox() = default;

QComboBox* TDBLookupComboBox::ComboBox() const { return FCombo; }

void TDBLookupComboBox::SetDropDownRows(int rows) {
  FDropDownRows = rows;
  FCombo->setMaxVisibleItems(std::max(1, rows));
}

bool TDBLookupComboBox::ListVisible() const { return FCombo->Shown(); }

void TDBLookupComboBox::DropDown() { FCombo->showPopup(); }

void TDBLookupComboBox::CloseUp(bool pick, int row) {
  if (FClosingUp) return;
  FClosingUp = true;
  if (FCombo->Shown()) FCombo->hidePopup();
  FClosingUp = false;
  if (pick) Dispatch([&] { Pick(row); });
  Dispatch([this] { Fire(FOnCloseUp); });
  // A failed pick leaves the box showing what is chosen.
  ShowChoice();
}

void TDBLookupComboBox::SelectItem(int row) { CloseUp(true, row); }

void TDBLookupComboBox::Pick(int row) {
  TDataSet* d = ListDataSet();
  if (!d || row < 0 || row >= FModel->rowCount()) return;
  const QString text = FModel->CellText(row, 0);
  d->Locate(KeyField().isEmpty() ? ListField() : KeyField(), text);
  FText = text;
  ShowChoice();
  Fire(FOnClick);
}

void TDBLookupComboBox::ShowChoice() {
  int shown = -1;
  if (!FText.isEmpty())
    for (int r = 0; r < FModel->rowCount() && shown < 0; ++r)
      if (FModel->CellText(r, 0) == FText) shown = r;
  if (FCombo->currentIndex() != shown) FCombo->setCurrentIndex(shown);
}

void TDBLookupComboBox::ListEvent(TDataEvent event) {
  if (event == TDataEvent::ActiveChanged && !FText.isEmpty()) {
    // Opened again: the choice stays only while its row is there, and that
    // row is the current one again.
    if (TDataSet* d = ListDataSet()) {
      bool found = false;
      Dispatch([&] { found = d->Locate(KeyField().isEmpty() ? ListField() : KeyField(), FText); });
      if (!found) FText.clear();
    }
  }
  ShowChoice();
}

// ---------------------------------------------------------------- TDBLookupListBox

// The list of a lookup list box: the mouse and the arrow keys move the
// dataset's cursor, and the highlight shows where it is.
class TLookupListView : public QListView {
public:
  explicit TLookupListView(TDBLookupListBox* owner) : FOwner(owner) {}

protected:
  void mousePressEvent(QMouseEvent* event) override {
    const QModelIndex at = indexAt(event->position().toPoint());
    QListView::mousePressEvent(event);
    if (!at.isValid() || event->button() != Qt::LeftButton) {
      FOwner->Follow();
      return;
    }
    FOwner->FFollowing = true;
    const int row = at.row();
    FOwner->MoveTo([row](TDataSet* d) { d->SetRecNo(row + 1); });
    Dispatch([this] { FOwner->Click(); });
  }
  void mouseMoveEvent(QMouseEvent* event) override { event->accept(); }
  void keyPressEvent(QKeyEvent* event) override {
    const int key = event->key();
    if (key != Qt::Key_Up && key != Qt::Key_Down) return QListView::keyPressEvent(event);
    event->accept();
    FOwner->FFollowing = true;
    FOwner->MoveTo([key](TDataSet* d) { d->MoveBy(key == Qt::Key_Up ? -1 : 1); });
  }
  void focusInEvent(QFocusEvent* event) override {
    // Focus alone highlights nothing.
    QAbstractScrollArea::focusInEvent(event);
    viewport()->update();
  }

private:
  TDBLookupListBox* FOwner;
};

TDBLookupListBox::TDBLookupListBox(TComponent* owner) : TDBLookupControl(owner) {
  FList = new TLookupListView(this);
  FList->setModel(FModel.get());
  FList->setModelColumn(0);
  FList->setUniformItemSizes(true);
  FList->setSelectionMode(QAbstractItemView::SingleSelection);
  FList->setEditTriggers(QAbstractItemView::NoEditTriggers);
  FList->setFocusPolicy(Qt::StrongFocus);
  SetWidget(FList);
  SetBounds(0, 0, 121, 97);
}

TDBLookupListBox::~TDBLookupListBox() = default;

QListView* TDBLookupListBox::ListView() const { return FList; }

int TDBLookupListBox::SelectedRow() const {
  const QModelIndexList rows = FList->selectionModel()->selectedIndexes();
  return rows.isEmpty() ? -1 : rows.first().row();
}

void TDBLookupListBox::MoveTo(const std::function<void(TDataSet*)>& move) {
  if (TDataSet* d = ListDataSet()) Dispatch([&] { move(d); });
  Follow();
}

void TDBLookupListBox::Follow() {
  if (Destroying()) return;
  const int row = FModel->CurrentRow();
  if (!FFollowing || row < 0 || row >= FModel->rowCount()) {
    FList->selectionModel()->clear();
    return;
  }
  const QModelIndex at = FModel->index(row, 0);
  FList->selectionModel()->setCurrentIndex(at, QItemSelectionModel::ClearAndSelect);
  FList->scrollTo(at);
}

void TDBLookupListBox::ListEvent(TDataEvent event) {
  if (event == TDataEvent::ActiveChanged) FFollowing = false;
  Follow();
}

// ---------------------------------------------------------------- TDBNavigator

namespace {

// The navigator's link: any news of the dataset may change which buttons work.
class TNavigatorLink : public TDataLink {
public:
  explicit TNavigatorLink(TDBNavigator* navigator) : TDataLink(navigator), FNavigator(navigator) {}
  void ActiveChanged() override { Update(); }
  void DataSetChanged() override { Update(); }
  void DataSetScrolled() override { Update(); }
  void RowChanged(int) override { Update(); }
  void RowInserted(int) override { Update(); }
  void RowDeleted(int) override { Update(); }
  void RecordChanged(TField*) override { Update(); }
  void EditingChanged() override { Update(); }
  TDBNavigator* FNavigator;

private:
  void Update() {
    if (FNavigator && !FNavigator->Destroying()) FNavigator->UpdateButtons();
  }
};

const char* const kDefaultHints[TDBNavigator::ButtonCount] = {
    "First record",  "Prior record", "Next record", "Last record", "Insert record",
    "Delete record", "Edit record",  "Post edit",   "Cancel edit", "Refresh data"};

// The button pictures, drawn: |◀ ◀ ▶ ▶| + − ▲ ✓ ✗ ⟳.
QIcon ButtonIcon(int index) {
  QPixmap pixmap(16, 16);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  const QColor ink(0, 0, 0);
  p.setPen(Qt::NoPen);
  p.setBrush(ink);
  auto triangle = [&](bool left, qreal x) {
    QPainterPath path;
    if (left) {
      path.moveTo(x + 6, 3);
      path.lineTo(x, 8);
      path.lineTo(x + 6, 13);
    } else {
      path.moveTo(x, 3);
      path.lineTo(x + 6, 8);
      path.lineTo(x, 13);
    }
    path.closeSubpath();
    p.drawPath(path);
  };
  QPen line(ink, 2);
  switch (index) {
    case 0:
      p.drawRect(QRectF(3, 3, 2, 10));
      triangle(true, 6);
      break;
    case 1: triangle(true, 5); break;
    case 2: triangle(false, 5); break;
    case 3:
      triangle(false, 4);
      p.drawRect(QRectF(11, 3, 2, 10));
      break;
    case 4:
      p.drawRect(QRectF(7, 3, 2, 10));
      p.drawRect(QRectF(3, 7, 10, 2));
      break;
    case 5: p.drawRect(QRectF(3, 7, 10, 2)); break;
    case 6: {
      QPainterPath path;
      path.moveTo(3, 11);
      path.lineTo(8, 4);
      path.lineTo(13, 11);
      path.closeSubpath();
      p.drawPath(path);
      break;
    }
    case 7:
      p.setPen(line);
      p.setBrush(Qt::NoBrush);
      p.drawPolyline(QPolygonF({QPointF(3, 8), QPointF(7, 12), QPointF(13, 4)}));
      break;
    case 8:
      p.setPen(line);
      p.drawLine(QPointF(4, 4), QPointF(12, 12));
      p.drawLine(QPointF(12, 4), QPointF(4, 12));
      break;
    default:
      p.setPen(line);
      p.setBrush(Qt::NoBrush);
      p.drawArc(QRectF(3, 3, 10, 10), 60 * 16, 290 * 16);
      p.setPen(Qt::NoPen);
      p.setBrush(ink);
      p.drawPolygon(QPolygonF({QPointF(10, 1), QPointF(14, 4), QPointF(10, 7)}));
      break;
  }
  p.end();
  return QIcon(pixmap);
}

}  // namespace

TDBNavigator::TDBNavigator(TComponent* owner)
    : TWinControl(owner), FLink(std::make_unique<TNavigatorLink>(this)), FHints(std::make_unique<TStringList>()) {
  auto* panel = new QWidget();
  panel->setAutoFillBackground(true);
  auto* layout = new QHBoxLayout(panel);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  for (int i = 0; i < ButtonCount; ++i) {
    auto* b = new QToolButton(panel);
    b->setIcon(ButtonIcon(i));
    b->setFocusPolicy(Qt::TabFocus);
    b->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    layout->addWidget(b, 1);
    const auto button = static_cast<TNavigateBtn>(1 << i);
    QObject::connect(b, &QToolButton::clicked, b, [this, button] { Dispatch([this, button] { BtnClick(button); }); });
    FButtons[static_cast<size_t>(i)] = b;
  }
  FHints->OnChange = [this] { UpdateHints(); };
  SetWidget(panel);
  SetBounds(0, 0, 240, 25);
  SetVisibleButtons(FVisibleButtons);
  UpdateHints();
  UpdateButtons();
}

TDBNavigator::~TDBNavigator() {
  FHints->OnChange = nullptr;
  static_cast<TNavigatorLink*>(FLink.get())->FNavigator = nullptr;
  FLink->SetDataSource(nullptr);
}

void TDBNavigator::SetDataSource(TDataSource* source) {
  FLink->SetDataSource(source);
  UpdateButtons();
}

void TDBNavigator::SetFlat(bool flat) {
  FFlat = flat;
  for (QToolButton* b : FButtons) b->setAutoRaise(flat);
}

void TDBNavigator::SetHints(TStrings* hints) {
  if (hints) FHints->Assign(hints);
}

void TDBNavigator::SetShowHint(bool show) {
  TWinControl::SetShowHint(show);
  UpdateHints();
}

void TDBNavigator::SetVisibleButtons(TNavButtonSet buttons) {
  FVisibleButtons = buttons;
  for (int i = 0; i < ButtonCount; ++i)
    FButtons[static_cast<size_t>(i)]->setVisible(buttons.testFlag(static_cast<TNavigateBtn>(1 << i)));
}

QToolButton* TDBNavigator::Button(TNavigateBtn button) const {
  for (int i = 0; i < ButtonCount; ++i)
    if (button == (1 << i)) return FButtons[static_cast<size_t>(i)];
  return nullptr;
}

void TDBNavigator::UpdateHints() {
  for (int i = 0; i < ButtonCount; ++i) {
    const QString line = i < FHints->Count() ? FHints->Get(i) : QString();
    const QString hint = line.isEmpty() ? QString::fromLatin1(kDefaultHints[i]) : line;
    QToolButton* b = FButtons[static_cast<size_t>(i)];
    b->setAccessibleName(hint);
    b->setToolTip(ShowHint() ? hint : QString());
  }
}

void TDBNavigator::UpdateButtons() {
  const bool active = FLink->Active();
  TDataSet* d = active ? FLink->DataSet() : nullptr;
  const bool rows = d && !d->IsEmpty();
  const bool editing = d && (d->State() == dsEdit || d->State() == dsInsert);
  const bool atFirst = !rows || d->RecNo() <= 1;
  const bool atLast = !rows || d->RecNo() >= d->RecordCount();
  const bool enabled[ButtonCount] = {
      rows && !atFirst, rows && !atFirst, rows && !atLast, rows && !atLast,   active, rows,
      rows && !editing, editing,          editing,         active && !editing};
  for (int i = 0; i < ButtonCount; ++i) FButtons[static_cast<size_t>(i)]->setEnabled(enabled[i]);
}

void TDBNavigator::BtnClick(TNavigateBtn button) {
  if (!FLink->Active()) return;
  TDataSet* d = FLink->DataSet();
  switch (button) {
    case nbFirst: d->First(); break;
    case nbPrior: d->Prior(); break;
    case nbNext: d->Next(); break;
    case nbLast: d->Last(); break;
    case nbInsert: d->Append(); break;
    case nbDelete: d->Delete(); break;
    case nbEdit: d->Edit(); break;
    case nbPost: d->Post(); break;
    case nbCancel: d->Cancel(); break;
    case nbRefresh: {
      // Read again from the database, on the same row where it still is.
      const int row = d->RecNo();
      d->Close();
      d->Open();
      if (row > 0) d->SetRecNo(std::min(row, d->RecordCount()));
      break;
    }
  }
  UpdateButtons();
}
