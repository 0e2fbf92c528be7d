// The data grid over a dataset and the navigator beside it.
#include "DataControlsFixture.h"

#include <QHeaderView>
#include <QTableView>
#include <QToolButton>

namespace {

// The grid as the main window has it: one column, no titles, no indicator,
// no lines, whole rows selected.
class GridTest : public DataControlsTest {
protected:
  void SetUp() override {
    DataControlsTest::SetUp();
    grid = new TDBGrid(&owner);
    grid->SetOptions(
        TDBGridOptions(dgColumnResize | dgRowSelect | dgAlwaysShowSelection | dgConfirmDelete | dgCancelOnExit));
    TColumn* c = grid->Columns()->Add();
    c->SetFieldName(QStringLiteral("Category"));
    c->SetWidth(80);
    grid->SetCursor(-21);
    grid->SetOnCellClick(Counter(clicks));
    grid->SetDataSource(source);
    ShowAlone(grid, 200, 120);
  }
  QTableView* View() const { return grid->View(); }
  QStringList Cells() const {
    QStringList out;
    for (int r = 0; r < View()->model()->rowCount(); ++r) out << View()->model()->index(r, 0).data().toString();
    return out;
  }
  int SelectedRow() const {
    const QModelIndexList rows = View()->selectionModel()->selectedRows();
    return rows.size() == 1 ? rows.first().row() : -1;
  }
  void ClickRow(int row) {
    const QRect r = View()->visualRect(View()->model()->index(row, 0));
    QTest::mouseClick(View()->viewport(), Qt::LeftButton, {}, r.center());
  }
  TDBGrid* grid = nullptr;
  int clicks = 0;
};

}  // namespace

TEST_F(GridTest, FollowsOpeningRowEventsAndTheCursor) {
  EXPECT_EQ(View()->model()->rowCount(), 0);
  categories->Open();
  EXPECT_EQ(Cells(), (QStringList{"Posao", "Kuća", "Kuća", "Hobi"}));
  EXPECT_EQ(SelectedRow(), 0);
  categories->Last();
  EXPECT_EQ(SelectedRow(), 3);

  QStringList signals_;
  QObject::connect(View()->model(), &QAbstractItemModel::rowsInserted, View(),
                   [&](const QModelIndex&, int first, int) { signals_ << QStringLiteral("inserted %1").arg(first); });
  QObject::connect(View()->model(), &QAbstractItemModel::rowsRemoved, View(),
                   [&](const QModelIndex&, int first, int) { signals_ << QStringLiteral("removed %1").arg(first); });
  QObject::connect(
      View()->model(), &QAbstractItemModel::dataChanged, View(),
      [&](const QModelIndex& from, const QModelIndex&) { signals_ << QStringLiteral("changed %1").arg(from.row()); });
  QObject::connect(View()->model(), &QAbstractItemModel::modelReset, View(),
                   [&] { signals_ << QStringLiteral("reset"); });

  categories->SetRecNo(2);
  categories->Edit();
  Category()->SetAsString(QStringLiteral("Dom"));
  categories->Post();
  categories->Append();
  Category()->SetAsString(QStringLiteral("Novo"));
  categories->Post();
  EXPECT_EQ(SelectedRow(), 4) << "the new row is current";
  categories->SetRecNo(1);
  categories->Delete();
  EXPECT_EQ(signals_, (QStringList{"changed 1", "changed 1", "inserted 4", "removed 0"})) << "row signals, no reset";
  EXPECT_EQ(Cells(), (QStringList{"Dom", "Kuća", "Hobi", "Novo"}));
  EXPECT_EQ(SelectedRow(), 0);

  signals_.clear();
  categories->Close();
  EXPECT_EQ(signals_, QStringList{"reset"});
  EXPECT_EQ(View()->model()->rowCount(), 0);
  EXPECT_EQ(SelectedRow(), -1);
}

TEST_F(GridTest, ClicksAndKeysMoveTheDataSet) {
  categories->Open();
  ClickRow(2);
  EXPECT_EQ(categories->RecNo(), 3);
  EXPECT_EQ(SelectedRow(), 2);
  EXPECT_EQ(clicks, 1);
  struct KeyCase {
    Qt::Key key;
    int recNo;
  };
  for (const KeyCase& k :
       {KeyCase{Qt::Key_Up, 2}, KeyCase{Qt::Key_Down, 3}, KeyCase{Qt::Key_End, 4}, KeyCase{Qt::Key_Down, 4},
        KeyCase{Qt::Key_Home, 1}, KeyCase{Qt::Key_Up, 1}, KeyCase{Qt::Key_PageDown, 4}, KeyCase{Qt::Key_PageUp, 1}}) {
    SCOPED_TRACE(QTest::toString(k.key));
    QTest::keyClick(View(), k.key);
    EXPECT_EQ(categories->RecNo(), k.recNo);
    EXPECT_EQ(SelectedRow(), k.recNo - 1);
  }
  EXPECT_EQ(clicks, 1) << "keys are no cell clicks";
}

TEST_F(GridTest, AMoveThatCannotPostIsShownAndTheViewStaysOnTheRow) {
  categories->Open();
  categories->SetRecNo(2);
  categories->Edit();
  Category()->SetAsString(QString(300, QLatin1Char('x')));  // longer than a category may be
  ClickRow(3);
  ASSERT_EQ(host.Errors().size(), 1u);
  EXPECT_EQ(categories->RecNo(), 2);
  EXPECT_EQ(categories->State(), dsEdit);
  EXPECT_EQ(SelectedRow(), 1) << "the highlight is where the dataset is";
  QTest::keyClick(View(), Qt::Key_Down);
  EXPECT_EQ(host.Errors().size(), 2u);
  EXPECT_EQ(SelectedRow(), 1);
  categories->Cancel();
}

TEST_F(GridTest, OptionsShapeTheView) {
  EXPECT_FALSE(View()->horizontalHeader()->isVisibleTo(View())) << "no titles";
  EXPECT_FALSE(View()->verticalHeader()->isVisibleTo(View())) << "no indicator";
  EXPECT_FALSE(View()->showGrid());
  EXPECT_EQ(View()->selectionBehavior(), QAbstractItemView::SelectRows);
  EXPECT_EQ(View()->editTriggers(), QAbstractItemView::NoEditTriggers);
  EXPECT_EQ(View()->viewport()->cursor().shape(), Qt::PointingHandCursor);
  const QPalette p = View()->palette();
  EXPECT_EQ(p.color(QPalette::Inactive, QPalette::Highlight), p.color(QPalette::Active, QPalette::Highlight));
  EXPECT_EQ(View()->verticalHeader()->sectionResizeMode(0), QHeaderView::Fixed);

  // The one column fills the grid, and never gets narrower than its Width.
  categories->Open();
  EXPECT_EQ(View()->columnWidth(0), View()->viewport()->width());
  grid->SetBounds(0, 0, 60, 120);
  View()->resize(60, 120);
  EXPECT_EQ(View()->columnWidth(0), 80);

  grid->SetOptions(TDBGridOptions(dgTitles | dgIndicator | dgColLines));
  EXPECT_TRUE(View()->horizontalHeader()->isVisibleTo(View()));
  EXPECT_TRUE(View()->verticalHeader()->isVisibleTo(View()));
  EXPECT_TRUE(View()->showGrid());
  EXPECT_EQ(View()->selectionBehavior(), QAbstractItemView::SelectItems);
  grid->Columns()->Items(0)->Title()->SetCaption(QStringLiteral("Kategorija"));
  EXPECT_EQ(View()->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Kategorija"));
}

TEST_F(GridTest, FiftyThousandRowsOpenReadingOnlyTheRowsShown) {
  connection->Database().Exec(
      QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 50000) "
                     "INSERT INTO kategorije (Category) SELECT 'Kategorija ' || i FROM n"));
  categories->Open();
  ASSERT_EQ(categories->RecordCount(), 50004);
  View()->grab();  // paints it
  EXPECT_EQ(View()->model()->rowCount(), 50004);
  EXPECT_GT(grid->Model()->CellsRead(), 0) << "the rows on screen are painted";
  EXPECT_LT(grid->Model()->CellsRead(), 200) << "only the rows on screen are read";
  const qint64 before = grid->Model()->CellsRead();
  QTest::keyClick(View(), Qt::Key_End);
  View()->grab();  // paints it
  EXPECT_EQ(categories->RecNo(), 50004);
  EXPECT_EQ(SelectedRow(), 50003);
  EXPECT_LT(grid->Model()->CellsRead() - before, 200);
  const QRect last = View()->visualRect(View()->model()->index(50003, 0));
  EXPECT_TRUE(View()->viewport()->rect().contains(last)) << "the current row is scrolled into view";
}

namespace {

class NavigatorTest : public DataControlsTest {
protected:
  void SetUp() override {
    DataControlsTest::SetUp();
    nav = new TDBNavigator(&owner);
    nav->SetVisibleButtons(TNavButtonSet(nbFirst | nbPrior | nbNext | nbLast));
    nav->SetDataSource(source);
    ShowAlone(nav, 200, 25);
  }
  // Which of First, Prior, Next, Last can be pressed, as "FPNL" with "-"
  // for a disabled one.
  QString Enabled() const {
    QString out;
    const char* letters = "FPNL";
    int i = 0;
    for (TNavigateBtn b : {nbFirst, nbPrior, nbNext, nbLast})
      out += nav->Button(b)->isEnabled() ? QLatin1Char(letters[i++]) : (++i, QLatin1Char('-'));
    return out;
  }
  TDBNavigator* nav = nullptr;
};

}  // namespace

TEST_F(NavigatorTest, ButtonsWorkWhereTheyCanMoveTheCursor) {
  EXPECT_EQ(Enabled(), QStringLiteral("----")) << "closed";
  categories->Open();
  EXPECT_EQ(Enabled(), QStringLiteral("--NL")) << "at the first row";
  QTest::mouseClick(nav->Button(nbNext), Qt::LeftButton);
  EXPECT_EQ(categories->RecNo(), 2);
  EXPECT_EQ(Enabled(), QStringLiteral("FPNL"));
  QTest::mouseClick(nav->Button(nbLast), Qt::LeftButton);
  EXPECT_EQ(categories->RecNo(), 4);
  EXPECT_EQ(Enabled(), QStringLiteral("FP--")) << "at the last row";
  QTest::mouseClick(nav->Button(nbPrior), Qt::LeftButton);
  EXPECT_EQ(categories->RecNo(), 3);
  QTest::mouseClick(nav->Button(nbFirst), Qt::LeftButton);
  EXPECT_EQ(categories->RecNo(), 1);
  EXPECT_EQ(Enabled(), QStringLiteral("--NL"));

  while (!categories->IsEmpty()) categories->Delete();
  EXPECT_EQ(Enabled(), QStringLiteral("----")) << "empty";
  categories->Append();
  Category()->SetAsString(QStringLiteral("Jedina"));
  categories->Post();
  EXPECT_EQ(Enabled(), QStringLiteral("----")) << "one row is both ends";
  categories->Close();
  EXPECT_EQ(Enabled(), QStringLiteral("----"));
}

TEST_F(NavigatorTest, ButtonsAreEvenAndNamedByTheirHints) {
  EXPECT_FALSE(nav->Button(nbInsert)->isVisibleTo(nav->Widget()));
  const int width = nav->Button(nbFirst)->width();
  for (TNavigateBtn b : {nbPrior, nbNext, nbLast}) EXPECT_NEAR(nav->Button(b)->width(), width, 1);
  EXPECT_NEAR(width * 4, 200, 4);

  EXPECT_EQ(nav->Button(nbFirst)->accessibleName(), QStringLiteral("First record"));
  EXPECT_EQ(nav->Button(nbLast)->toolTip(), QString()) << "hints not shown";
  nav->Hints()->SetList({QStringLiteral("Prvi"), QStringLiteral("Prethodni"), QString(), QStringLiteral("Poslednji")});
  EXPECT_EQ(nav->Button(nbFirst)->accessibleName(), QStringLiteral("Prvi"));
  EXPECT_EQ(nav->Button(nbNext)->accessibleName(), QStringLiteral("Next record"));
  EXPECT_EQ(nav->Button(nbLast)->accessibleName(), QStringLiteral("Poslednji"));
  nav->SetShowHint(true);
  EXPECT_EQ(nav->Button(nbLast)->toolTip(), QStringLiteral("Poslednji"));
  EXPECT_EQ(nav->Button(nbFirst)->focusPolicy() & Qt::TabFocus, Qt::TabFocus);
}

TEST_F(NavigatorTest, AMoveThatCannotPostIsShown) {
  categories->Open();
  categories->Edit();
  Category()->SetAsString(QString(300, QLatin1Char('x')));
  nav->SetVisibleButtons(TNavButtonSet(0x3FF));
  EXPECT_TRUE(nav->Button(nbPost)->isEnabled());
  EXPECT_FALSE(nav->Button(nbEdit)->isEnabled());
  QTest::mouseClick(nav->Button(nbNext), Qt::LeftButton);
  ASSERT_EQ(host.Errors().size(), 1u);
  EXPECT_EQ(categories->RecNo(), 1);
  QTest::mouseClick(nav->Button(nbCancel), Qt::LeftButton);
  EXPECT_EQ(categories->State(), dsBrowse);
  EXPECT_FALSE(nav->Button(nbPost)->isEnabled());
}
