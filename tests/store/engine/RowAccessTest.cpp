// Reading any row without moving the cursor, and the row events a grid needs
// to keep its place: shown with the beginning of a grid's item model.
#include "StoreFixture.h"

#include <QAbstractTableModel>
#include <QItemSelectionModel>
#include <QPersistentModelIndex>

namespace {

// What a grid shows: one item row per dataset row, read by number; the row
// events become the model's fine-grained signals, so views keep their place.
class DataSetModel : public QAbstractTableModel, public TDataLink {
public:
  explicit DataSetModel(TDataSource* source) { SetDataSource(source); }

  int rowCount(const QModelIndex& parent = QModelIndex()) const override { return parent.isValid() ? 0 : FRows; }
  int columnCount(const QModelIndex& parent = QModelIndex()) const override {
    return parent.isValid() || !Active() ? 0 : DataSet()->FieldCount();
  }
  QVariant data(const QModelIndex& index, int role) const override {
    if (role != Qt::DisplayRole || !Active()) return QVariant();
    return DataSet()->Fields(index.column())->AsStringAt(index.row());
  }

  void ActiveChanged() override { Reset(); }
  void DataSetChanged() override { Reset(); }
  void DataSetScrolled() override {}
  void RowChanged(int row) override { emit dataChanged(index(row, 0), index(row, columnCount() - 1)); }
  void RowInserted(int row) override {
    beginInsertRows(QModelIndex(), row, row);
    ++FRows;
    endInsertRows();
  }
  void RowDeleted(int row) override {
    beginRemoveRows(QModelIndex(), row, row);
    --FRows;
    endRemoveRows();
  }

private:
  void Reset() {
    beginResetModel();
    FRows = Active() ? DataSet()->RecordCount() : 0;
    endResetModel();
  }
  int FRows = 0;
};

// The model's signals as first and last row numbers.
struct ModelSignals {
  explicit ModelSignals(QAbstractItemModel& model) {
    QObject::connect(&model, &QAbstractItemModel::modelReset, [this] { ++resets; });
    QObject::connect(&model, &QAbstractItemModel::dataChanged, [this](const QModelIndex& from, const QModelIndex& to) {
      changed.push_back({from.row(), to.row()});
    });
    QObject::connect(&model, &QAbstractItemModel::rowsInserted, [this](const QModelIndex&, int from, int to) {
      inserted.push_back({from, to});
    });
    QObject::connect(&model, &QAbstractItemModel::rowsRemoved, [this](const QModelIndex&, int from, int to) {
      removed.push_back({from, to});
    });
  }
  using Rows = std::vector<std::pair<int, int>>;
  int resets = 0;
  Rows changed, inserted, removed;
};

// Another control on the same data source, counting what it hears.
class CountingLink : public TDataLink {
public:
  int heard = 0;
  void ActiveChanged() override { ++heard; }
  void DataSetChanged() override { ++heard; }
  void DataSetScrolled() override { ++heard; }
  void RecordChanged(TField*) override { ++heard; }
  void EditingChanged() override { ++heard; }
};

}  // namespace

class RowAccessTest : public StoreTest {
protected:
  void SetUp() override {
    StoreTest::SetUp();
    for (int i = 0; i < kRows; ++i) AddCategory(QStringLiteral("C%1").arg(i, 2, 10, QLatin1Char('0')));
    table = Table(QStringLiteral("ADOTable1"), QStringLiteral("kategorije"));
    source.SetDataSet(table);
    table->Open();
  }
  TField* Name() const { return table->FieldByName(QStringLiteral("Category")); }
  void Rename(int row, const QString& name) {
    table->SetRecNo(row + 1);
    table->Edit();
    Name()->SetAsString(name);
    table->Post();
  }

  static constexpr int kRows = 40;
  TADOTable* table = nullptr;
  TDataSource source{&owner};
};

TEST_F(RowAccessTest, AnyRowReadsWithoutMovingTheCursorOrTellingAnyone) {
  CountingLink other;
  other.SetDataSource(&source);
  table->SetRecNo(7);
  other.heard = 0;

  for (int row = 0; row < kRows; ++row)
    EXPECT_EQ(Name()->AsStringAt(row), QStringLiteral("C%1").arg(row, 2, 10, QLatin1Char('0')));
  EXPECT_EQ(table->RowValue(3, Name()->Index()).toString(), QStringLiteral("C03"));
  EXPECT_EQ(table->RecNo(), 7);
  EXPECT_EQ(other.heard, 0) << "reading rows sent events to the other controls";

  // The row being edited shows its pending value; the others their stored one.
  table->Edit();
  Name()->SetAsString(QStringLiteral("pending"));
  EXPECT_EQ(Name()->AsStringAt(6), QStringLiteral("pending"));
  EXPECT_EQ(Name()->AsStringAt(5), QStringLiteral("C05"));
  table->Cancel();
  EXPECT_EQ(Name()->AsStringAt(6), QStringLiteral("C06"));

  EXPECT_THROW(Name()->AsStringAt(kRows), EListError);
  EXPECT_THROW(Name()->AsStringAt(-1), EListError);
  EXPECT_THROW(table->RowValue(0, table->FieldCount()), EListError);
}

// A mark or a rename, a new row and a deleted row each reach the grid as that
// one row's change: the model is never reset, so the row the user stands on
// and the view's place stay where they were.
TEST_F(RowAccessTest, AGridKeepsItsPlaceThroughRowChanges) {
  DataSetModel model(&source);
  QItemSelectionModel selection(&model);
  ASSERT_EQ(model.rowCount(), kRows);
  selection.setCurrentIndex(model.index(30, 1), QItemSelectionModel::ClearAndSelect);
  const QPersistentModelIndex place(model.index(30, 1));
  ModelSignals seen(model);
  using Rows = ModelSignals::Rows;

  Rename(30, QStringLiteral("renamed"));
  EXPECT_EQ(seen.changed, Rows({{30, 30}}));
  EXPECT_EQ(model.data(model.index(30, Name()->Index()), Qt::DisplayRole).toString(), QStringLiteral("renamed"));

  table->SetRecNo(11);
  table->Delete();
  EXPECT_EQ(seen.removed, Rows({{10, 10}}));
  EXPECT_EQ(table->RecNo(), 11) << "the next row becomes current";
  EXPECT_EQ(model.rowCount(), kRows - 1);

  table->Append();
  Name()->SetAsString(QStringLiteral("new"));
  table->Post();
  EXPECT_EQ(seen.inserted, Rows({{kRows - 1, kRows - 1}}));
  EXPECT_EQ(model.data(model.index(kRows - 1, Name()->Index()), Qt::DisplayRole).toString(), QStringLiteral("new"));

  EXPECT_EQ(seen.resets, 0) << "a reset loses the grid's place and scroll position";
  EXPECT_EQ(place.row(), 29) << "the row stood on follows the deletion above it";
  EXPECT_EQ(selection.currentIndex(), QModelIndex(place));
  EXPECT_EQ(place.data().toString(), table->Fields(1)->AsStringAt(29));

  // Re-opening is a whole new set of rows.
  table->Close();
  table->Open();
  EXPECT_EQ(seen.resets, 2);
  EXPECT_EQ(model.rowCount(), kRows);
}
