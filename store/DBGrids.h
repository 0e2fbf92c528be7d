// The data grid: a table view over a dataset's rows, with its columns, and the
// item model over a dataset that the grid and the lookup lists share.
#pragma once

#include "Classes.h"
#include "Controls.h"
#include "DB.h"

#include <QAbstractTableModel>
#include <QFlags>
#include <QObject>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

namespace DBGrids {
Q_NAMESPACE

enum TDBGridOption {
  dgEditing = 1 << 0,
  dgAlwaysShowEditor = 1 << 1,
  dgTitles = 1 << 2,
  dgIndicator = 1 << 3,
  dgColumnResize = 1 << 4,
  dgColLines = 1 << 5,
  dgRowLines = 1 << 6,
  dgTabs = 1 << 7,
  dgRowSelect = 1 << 8,
  dgAlwaysShowSelection = 1 << 9,
  dgConfirmDelete = 1 << 10,
  dgCancelOnExit = 1 << 11,
  dgMultiSelect = 1 << 12
};
Q_DECLARE_FLAGS(TDBGridOptions, TDBGridOption)
Q_FLAG_NS(TDBGridOptions)

}  // namespace DBGrids

Q_DECLARE_OPERATORS_FOR_FLAGS(DBGrids::TDBGridOptions)

using DBGrids::TDBGridOption;
using enum DBGrids::TDBGridOption;
using DBGrids::TDBGridOptions;

class TDBGrid;
class TGridView;

// A dataset's rows as an item model: one row per dataset row, one column per
// named field (every field when none is named). Cells are read on demand with
// TField::AsStringAt, so nothing is made per row and the cursor never moves.
// The dataset's row events become the model's row signals; only opening,
// closing and a whole change reset it.
class TDataSetModel : public QAbstractTableModel, public TDataLink {
  Q_OBJECT
public:
  explicit TDataSetModel(TComponent* control);

  // The fields shown, by name; looked up again whenever the dataset opens.
  void SetFieldNames(const QStringList& names);
  const QStringList& FieldNames() const { return FFieldNames; }
  // Column titles; a column without one shows its field's name.
  void SetTitles(const QStringList& titles);
  // The field shown in `column`, or nullptr (closed, or no such field).
  TField* ColumnField(int column) const;
  // Cell text; empty outside the rows or without the field.
  QString CellText(int row, int column) const;
  // The dataset's current row, 0-based; -1 without one.
  int CurrentRow() const;
  // How many cells the views have read: a view over many rows reads only
  // those it shows.
  qint64 CellsRead() const { return FCellsRead; }

  // Told after the model has followed an event of the dataset.
  std::function<void(TDataEvent)> OnDataEvent;

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

  void ActiveChanged() override;
  void DataSetChanged() override;
  void DataSetScrolled() override;
  void RowChanged(int row) override;
  void RowInserted(int row) override;
  void RowDeleted(int row) override;
  void RecordChanged(TField* field) override;
  void EditingChanged() override;

  // Re-reads everything: the columns changed.
  void Reset();

private:
  void Tell(TDataEvent event);
  // The dataset's rows and columns as the views were last told of them.
  int FRows = 0;
  std::vector<int> FFields;  // field index per column, -1 when missing
  QStringList FFieldNames;
  QStringList FTitles;
  mutable qint64 FCellsRead = 0;
};

// A grid column's title.
class TColumnTitle : public TPersistent {
  Q_OBJECT
  Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
public:
  QString Caption() const { return FCaption; }
  void SetCaption(const QString& caption);
  std::function<void()> OnChange;

private:
  QString FCaption;
};

// One column of a grid: the field it shows, its width and its title.
class TColumn : public TCollectionItem {
  Q_OBJECT
  Q_PROPERTY(QString FieldName READ FieldName WRITE SetFieldName)
  Q_PROPERTY(TColumnTitle* Title READ Title WRITE SetTitle)
  Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)
  Q_PROPERTY(int Width READ Width WRITE SetWidth)
public:
  explicit TColumn(TCollection* collection);
  ~TColumn() override;
  QString FieldName() const { return FFieldName; }
  void SetFieldName(const QString& name);
  TColumnTitle* Title() const { return FTitle.get(); }
  void SetTitle(TColumnTitle* title);
  bool Visible() const { return FVisible; }
  void SetVisible(bool visible);
  int Width() const { return FWidth; }
  void SetWidth(int width);

private:
  void Changed();
  QString FFieldName;
  std::unique_ptr<TColumnTitle> FTitle;
  bool FVisible = true;
  int FWidth = 64;
};

// A grid's columns; a change to any of them re-lays the grid.
class TDBGridColumns : public TCollection {
  Q_OBJECT
public:
  explicit TDBGridColumns(TDBGrid* grid);
  TColumn* Items(int index) const { return static_cast<TColumn*>(TCollection::Items(index)); }
  TColumn* Add() { return static_cast<TColumn*>(TCollection::Add()); }
  // Told by a column that changed.
  void ColumnChanged();

private:
  TDBGrid* FGrid;
};

// A grid of a dataset's rows: one line per row, the current row selected.
// Clicking a row or moving with the keys makes that row the dataset's current
// one. The cells are shown, not edited. Without titles to drag, the last
// visible column takes whatever width the grid has left, at least its Width.
class TDBGrid : public TWinControl {
  Q_OBJECT
  Q_PROPERTY(int Color READ Color WRITE SetColor)
  Q_PROPERTY(TDBGridColumns* Columns READ Columns WRITE SetColumns)
  Q_PROPERTY(TDataSource* DataSource READ DataSource WRITE SetDataSource)
  Q_PROPERTY(TFont* Font READ Font WRITE SetFont)
  Q_PROPERTY(DBGrids::TDBGridOptions Options READ Options WRITE SetOptions)
  Q_PROPERTY(bool ParentColor READ ParentColor WRITE SetParentColor)
  Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
  Q_PROPERTY(bool ReadOnly READ ReadOnly WRITE SetReadOnly)
  Q_PROPERTY(TNotifyEvent OnCellClick READ OnCellClick WRITE SetOnCellClick)
public:
  explicit TDBGrid(TComponent* owner = nullptr);
  ~TDBGrid() override;

  TDataSource* DataSource() const { return FModel->DataSource(); }
  void SetDataSource(TDataSource* source) { FModel->SetDataSource(source); }
  TDBGridColumns* Columns() const { return FColumns.get(); }
  void SetColumns(TDBGridColumns* columns);
  TDBGridOptions Options() const { return FOptions; }
  void SetOptions(TDBGridOptions options);
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool v) { FReadOnly = v; }
  TNotifyEvent OnCellClick() const { return FOnCellClick; }
  void SetOnCellClick(const TNotifyEvent& e) { FOnCellClick = e; }

  TDataSetModel* Model() const { return FModel.get(); }
  class QTableView* View() const;
  // Re-reads the columns into the model and the view.
  void ColumnsChanged();

protected:
  int ColorRole() const override;
  bool DefaultParentColor() const override { return false; }
  void ApplyFont() override;

private:
  friend class TGridView;
  // The view's current row shows the dataset's, scrolled into view.
  void FollowCurrentRow();
  // Makes `row` (0-based) the dataset's current row, as a click or key does.
  void MoveTo(const std::function<void(TDataSet*)>& move);
  void CellClicked();
  void StretchLastColumn();
  void ApplyOptions();

  std::unique_ptr<TDataSetModel> FModel;
  std::unique_ptr<TDBGridColumns> FColumns;
  TGridView* FView;
  TDBGridOptions FOptions = TDBGridOptions(dgEditing | dgTitles | dgIndicator | dgColumnResize | dgColLines |
                                           dgRowLines | dgTabs | dgConfirmDelete | dgCancelOnExit);
  bool FReadOnly = false;
  bool FSizing = false;
  TNotifyEvent FOnCellClick;
};
