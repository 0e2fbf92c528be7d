#include "DBGrids.h"

#include "Dispatch.h"
#include "Exceptions.h"

#include <QApplication>
#include <QFontMetrics>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPalette>
#include <QResizeEvent>
#include <QScrollBar>
#include <QTableView>

#include <algorithm>

// ---------------------------------------------------------------- TDataSetModel

TDataSetModel::TDataSetModel(TComponent* control) : TDataLink(control) {}

void TDataSetModel::SetFieldNames(const QStringList& names) {
  if (names == FFieldNames) return;
  FFieldNames = names;
  Reset();
}

void TDataSetModel::SetTitles(const QStringList& titles) {
  if (titles == FTitles) return;
  FTitles = titles;
  if (!FFields.empty()) emit headerDataChanged(Qt::Horizontal, 0, static_cast<int>(FFields.size()) - 1);
}

TField* TDataSetModel::ColumnField(int column) const {
  if (!Active() || column < 0 || column >= static_cast<int>(FFields.size())) return nullptr;
  const int field = FFields[static_cast<size_t>(column)];
  // The field list belongs to one opening; a column whose field is gone shows nothing.
  return field >= 0 && field < DataSet()->FieldCount() ? DataSet()->Fields(field) : nullptr;
}

QString TDataSetModel::CellText(int row, int column) const {
  TField* f = ColumnField(column);
  if (!f || row < 0 || row >= DataSet()->RecordCount()) return QString();
  ++FCellsRead;
  return f->AsStringAt(row);
}

int TDataSetModel::CurrentRow() const { return Active() ? DataSet()->RecNo() - 1 : -1; }

int TDataSetModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : FRows; }

int TDataSetModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(FFields.size());
}

QVariant TDataSetModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::AccessibleTextRole)) return QVariant();
  // Qt asks from its paint and layout code: nothing may be thrown back into it.
  try {
    return CellText(index.row(), index.column());
  } catch (...) {
    return QVariant();
  }
}

QVariant TDataSetModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) return QVariant();
  if (orientation == Qt::Vertical) return QVariant();
  if (section < FTitles.size() && !FTitles[section].isEmpty()) return FTitles[section];
  if (section < FFieldNames.size()) return FFieldNames[section];
  if (TField* f = ColumnField(section)) return f->FieldName();
  return QVariant();
}

Qt::ItemFlags TDataSetModel::flags(const QModelIndex& index) const {
  return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

void TDataSetModel::Reset() {
  beginResetModel();
  FFields.clear();
  FRows = 0;
  if (Active()) {
    TDataSet* d = DataSet();
    if (FFieldNames.isEmpty()) {
      for (int i = 0; i < d->FieldCount(); ++i) FFields.push_back(i);
    } else {
      for (const QString& name : FFieldNames) {
        const TField* f = name.isEmpty() ? nullptr : d->FindField(name);
        FFields.push_back(f ? f->Index() : -1);
      }
    }
    FRows = d->RecordCount();
  } else {
    // A closed grid still shows its columns, empty.
    FFields.assign(static_cast<size_t>(FFieldNames.size()), -1);
  }
  endResetModel();
}

void TDataSetModel::Tell(TDataEvent event) {
  if (Control() && Control()->Destroying()) return;
  if (OnDataEvent) OnDataEvent(event);
}

void TDataSetModel::ActiveChanged() {
  Reset();
  Tell(TDataEvent::ActiveChanged);
}

void TDataSetModel::DataSetChanged() {
  Reset();
  Tell(TDataEvent::DataSetChanged);
}

void TDataSetModel::DataSetScrolled() { Tell(TDataEvent::DataSetScrolled); }

void TDataSetModel::RowChanged(int row) {
  if (row >= 0 && row < FRows && !FFields.empty())
    emit dataChanged(index(row, 0), index(row, static_cast<int>(FFields.size()) - 1));
  Tell(TDataEvent::RowChanged);
}

void TDataSetModel::RowInserted(int row) {
  // The dataset has its new row already; the views hear of it now.
  if (row < 0 || row > FRows) return Reset();
  beginInsertRows(QModelIndex(), row, row);
  ++FRows;
  endInsertRows();
  Tell(TDataEvent::RowInserted);
}

void TDataSetModel::RowDeleted(int row) {
  if (row < 0 || row >= FRows) return Reset();
  beginRemoveRows(QModelIndex(), row, row);
  --FRows;
  endRemoveRows();
  Tell(TDataEvent::RowDeleted);
}

void TDataSetModel::RecordChanged(TField*) {
  // A pending edit shows in its row as it is typed; a new row is not among
  // the rows until it is posted.
  const int row = Active() && DataSet()->State() == dsEdit ? CurrentRow() : -1;
  if (row >= 0 && row < FRows && !FFields.empty())
    emit dataChanged(index(row, 0), index(row, static_cast<int>(FFields.size()) - 1));
  Tell(TDataEvent::RecordChanged);
}

void TDataSetModel::EditingChanged() { Tell(TDataEvent::StateChanged); }

// ---------------------------------------------------------------- columns

void TColumnTitle::SetCaption(const QString& caption) {
  if (caption == FCaption) return;
  FCaption = caption;
  if (OnChange) OnChange();
}

TColumn::TColumn(TCollection* collection) : TCollectionItem(collection), FTitle(std::make_unique<TColumnTitle>()) {
  FTitle->OnChange = [this] { Changed(); };
}

TColumn::~TColumn() { FTitle->OnChange = nullptr; }

void TColumn::Changed() {
  if (auto* columns = qobject_cast<TDBGridColumns*>(Collection())) columns->ColumnChanged();
}

void TColumn::SetFieldName(const QString& name) {
  FFieldName = name;
  Changed();
}

void TColumn::SetTitle(TColumnTitle* title) {
  if (title) FTitle->SetCaption(title->Caption());
}

void TColumn::SetVisible(bool visible) {
  FVisible = visible;
  Changed();
}

void TColumn::SetWidth(int width) {
  FWidth = std::max(0, width);
  Changed();
}

TDBGridColumns::TDBGridColumns(TDBGrid* grid)
    : TCollection(grid, [](TCollection* c) { return new TColumn(c); }), FGrid(grid) {
  OnChange = [this] { ColumnChanged(); };
}

void TDBGridColumns::ColumnChanged() {
  if (FGrid) FGrid->ColumnsChanged();
}

// ---------------------------------------------------------------- TGridView

// The grid's table view: rows of one fixed height, so that a long list is
// shown without measuring its rows; the keys and the mouse move the
// dataset's cursor, and the view follows the dataset.
class TGridView : public QTableView {
public:
  explicit TGridView(TDBGrid* grid) : FGrid(grid) {}

protected:
  void mousePressEvent(QMouseEvent* event) override {
    const int row = rowAt(event->position().toPoint().y());
    QTableView::mousePressEvent(event);
    if (row < 0 || event->button() != Qt::LeftButton) {
      FGrid->FollowCurrentRow();
      return;
    }
    FGrid->MoveTo([row](TDataSet* d) { d->SetRecNo(row + 1); });
    FGrid->CellClicked();
  }
  void mouseMoveEvent(QMouseEvent* event) override {
    // Dragging would select rows the dataset knows nothing of.
    event->accept();
  }
  void keyPressEvent(QKeyEvent* event) override {
    const int page = std::max(1, viewport()->height() / std::max(1, verticalHeader()->defaultSectionSize()) - 1);
    std::function<void(TDataSet*)> move;
    switch (event->key()) {
      case Qt::Key_Up: move = [](TDataSet* d) { d->MoveBy(-1); }; break;
      case Qt::Key_Down: move = [](TDataSet* d) { d->MoveBy(1); }; break;
      case Qt::Key_PageUp: move = [page](TDataSet* d) { d->MoveBy(-page); }; break;
      case Qt::Key_PageDown: move = [page](TDataSet* d) { d->MoveBy(page); }; break;
      case Qt::Key_Home: move = [](TDataSet* d) { d->First(); }; break;
      case Qt::Key_End: move = [](TDataSet* d) { d->Last(); }; break;
      default: QTableView::keyPressEvent(event); return;
    }
    event->accept();
    FGrid->MoveTo(move);
  }
  void resizeEvent(QResizeEvent* event) override {
    QTableView::resizeEvent(event);
    FGrid->StretchLastColumn();
  }
  void focusInEvent(QFocusEvent* event) override {
    // The current cell is the dataset's; focus alone moves nothing.
    QAbstractScrollArea::focusInEvent(event);
    viewport()->update();
  }

private:
  TDBGrid* FGrid;
};

// ---------------------------------------------------------------- TDBGrid

TDBGrid::TDBGrid(TComponent* owner)
    : TWinControl(owner),
      FModel(std::make_unique<TDataSetModel>(this)),
      FColumns(std::make_unique<TDBGridColumns>(this)) {
  FView = new TGridView(this);
  FView->setModel(FModel.get());
  FView->setEditTriggers(QAbstractItemView::NoEditTriggers);
  FView->setSelectionMode(QAbstractItemView::SingleSelection);
  FView->setWordWrap(false);
  FView->setCornerButtonEnabled(false);
  FView->setFocusPolicy(Qt::StrongFocus);
  FView->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  FView->verticalHeader()->setMinimumSectionSize(1);
  FView->horizontalHeader()->setSectionsMovable(false);
  FView->horizontalHeader()->setHighlightSections(false);
  FView->horizontalHeader()->setMinimumSectionSize(1);
  QObject::connect(FView->horizontalHeader(), &QHeaderView::sectionResized, FView,
                   [this](int, int, int) { StretchLastColumn(); });
  FColor = clWindow;
  SetWidget(FView);
  SetBounds(0, 0, 320, 120);
  FModel->OnDataEvent = [this](TDataEvent event) {
    switch (event) {
      case TDataEvent::ActiveChanged:
      case TDataEvent::DataSetChanged: ColumnsChanged(); break;
      case TDataEvent::DataSetScrolled:
      case TDataEvent::RowInserted:
      case TDataEvent::RowDeleted: FollowCurrentRow(); break;
      default: break;
    }
  };
  ApplyOptions();
}

TDBGrid::~TDBGrid() {
  FModel->OnDataEvent = nullptr;
  FColumns->OnChange = nullptr;
  // The view goes before the model it shows.
  delete FWidget.data();
  FModel->SetDataSource(nullptr);
}

QTableView* TDBGrid::View() const { return FView; }

int TDBGrid::ColorRole() const { return QPalette::Base; }

void TDBGrid::SetColumns(TDBGridColumns* columns) {
  if (!columns || columns == FColumns.get()) return;
  FColumns->Clear();
  for (int i = 0; i < columns->Count(); ++i) {
    TColumn* from = columns->Items(i);
    TColumn* to = FColumns->Add();
    to->SetFieldName(from->FieldName());
    to->SetWidth(from->Width());
    to->SetVisible(from->Visible());
    to->Title()->SetCaption(from->Title()->Caption());
  }
}

void TDBGrid::SetOptions(TDBGridOptions options) {
  FOptions = options;
  ApplyOptions();
}

void TDBGrid::ApplyOptions() {
  FView->horizontalHeader()->setVisible(FOptions.testFlag(dgTitles));
  FView->verticalHeader()->setVisible(FOptions.testFlag(dgIndicator));
  // The view draws both kinds of line or neither.
  FView->setShowGrid(FOptions.testFlag(dgColLines) || FOptions.testFlag(dgRowLines));
  FView->setSelectionBehavior(FOptions.testFlag(dgRowSelect) ? QAbstractItemView::SelectRows
                                                             : QAbstractItemView::SelectItems);
  FView->setTabKeyNavigation(FOptions.testFlag(dgTabs));
  FView->horizontalHeader()->setSectionResizeMode(FOptions.testFlag(dgColumnResize) ? QHeaderView::Interactive
                                                                                    : QHeaderView::Fixed);
  // Without the focus the selection is usually painted pale; this option
  // keeps the active highlight.
  QPalette p = FView->palette();
  const bool keep = FOptions.testFlag(dgAlwaysShowSelection);
  const QPalette standard = QApplication::palette(FView);
  for (auto role : {QPalette::Highlight, QPalette::HighlightedText})
    p.setColor(QPalette::Inactive, role, standard.color(keep ? QPalette::Active : QPalette::Inactive, role));
  FView->setPalette(p);
}

void TDBGrid::ApplyFont() {
  TWinControl::ApplyFont();
  // Every row is one line of the font: the view never measures a row.
  FView->verticalHeader()->setDefaultSectionSize(QFontMetrics(FFont->ToQFont()).height() + 4);
}

void TDBGrid::ColumnsChanged() {
  if (Destroying()) return;
  QStringList names, titles;
  for (int i = 0; i < FColumns->Count(); ++i) {
    names << FColumns->Items(i)->FieldName();
    titles << FColumns->Items(i)->Title()->Caption();
  }
  FModel->SetTitles(titles);
  FModel->SetFieldNames(names);
  FSizing = true;
  for (int i = 0; i < FColumns->Count() && i < FModel->columnCount(); ++i) {
    FView->setColumnHidden(i, !FColumns->Items(i)->Visible());
    FView->setColumnWidth(i, FColumns->Items(i)->Width());
  }
  FSizing = false;
  StretchLastColumn();
  FollowCurrentRow();
}

void TDBGrid::StretchLastColumn() {
  if (FSizing) return;
  const int count = FModel->columnCount();
  int last = -1;
  for (int i = 0; i < count; ++i)
    if (!FView->isColumnHidden(i)) last = i;
  if (last < 0) return;
  int used = 0;
  for (int i = 0; i < last; ++i)
    if (!FView->isColumnHidden(i)) used += FView->columnWidth(i);
  const int minimum = last < FColumns->Count() ? FColumns->Items(last)->Width() : 64;
  FSizing = true;
  FView->setColumnWidth(last, std::max(minimum, FView->viewport()->width() - used));
  FSizing = false;
}

void TDBGrid::FollowCurrentRow() {
  if (Destroying()) return;
  const int row = FModel->CurrentRow();
  QItemSelectionModel* selection = FView->selectionModel();
  if (row < 0 || row >= FModel->rowCount() || FModel->columnCount() == 0) {
    selection->clear();
    return;
  }
  int column = FView->currentIndex().isValid() ? FView->currentIndex().column() : 0;
  while (column < FModel->columnCount() - 1 && FView->isColumnHidden(column)) ++column;
  const QModelIndex at = FModel->index(row, column);
  QItemSelectionModel::SelectionFlags flags = QItemSelectionModel::ClearAndSelect;
  if (FOptions.testFlag(dgRowSelect)) flags |= QItemSelectionModel::Rows;
  selection->setCurrentIndex(at, flags);
  FView->scrollTo(at);
}

void TDBGrid::MoveTo(const std::function<void(TDataSet*)>& move) {
  // A move can fail (a pending edit that does not post): the error is shown
  // and the view goes back to the row the dataset is on.
  if (FModel->Active()) Dispatch([&] { move(FModel->DataSet()); });
  FollowCurrentRow();
}

void TDBGrid::CellClicked() {
  Dispatch([this] { Fire(FOnCellClick); });
}
