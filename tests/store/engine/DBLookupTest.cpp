// The lookup lists: the category chooser's drop-down and the categories
// dialog's list, over the categories Posao, Kuća, Kuća, Hobi.
#include "DataControlsFixture.h"

#include <QComboBox>
#include <QListView>

namespace {

class LookupComboTest : public DataControlsTest {
protected:
  void SetUp() override {
    DataControlsTest::SetUp();
    categories->Open();
    combo = new TDBLookupComboBox(&owner);
    combo->SetKeyField(QStringLiteral("Category"));
    combo->SetListSource(source);
    combo->SetOnCloseUp(Handler("closeup"));
    combo->SetOnClick(Handler("click"));
    ShowAlone(combo, 150, 21);
  }
  // Records the events with what the control and the dataset show then.
  TNotifyEvent Handler(const char* what) {
    TNotifyEvent e;
    e.Name = QString::fromLatin1(what);
    e.Fn = [this, what](TObject*) {
      log << QStringLiteral("%1 %2 %3").arg(QString::fromLatin1(what), combo->Text()).arg(categories->RecNo());
    };
    return e;
  }
  QStringList Items() const {
    QStringList out;
    for (int i = 0; i < combo->ComboBox()->count(); ++i) out << combo->ComboBox()->itemText(i);
    return out;
  }
  // Clicks item `row` of the open list.
  void ClickItem(int row) {
    QAbstractItemView* view = combo->ComboBox()->view();
    const QRect r = view->visualRect(view->model()->index(row, 0));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, r.center());
  }

  TDBLookupComboBox* combo = nullptr;
  QStringList log;
};

}  // namespace

TEST_F(LookupComboTest, ListsEveryRowAndStartsWithNothingChosen) {
  EXPECT_EQ(Items(), (QStringList{"Posao", "Kuća", "Kuća", "Hobi"}));
  EXPECT_EQ(combo->Text(), QString());
  EXPECT_EQ(combo->ComboBox()->currentText(), QString()) << "the box shows nothing";
  EXPECT_EQ(categories->RecNo(), 1);

  categories->Append();
  Category()->SetAsString(QStringLiteral("Novo"));
  categories->Post();
  EXPECT_EQ(Items(), (QStringList{"Posao", "Kuća", "Kuća", "Hobi", "Novo"}));
  categories->SetRecNo(2);
  categories->Delete();
  EXPECT_EQ(Items(), (QStringList{"Posao", "Kuća", "Hobi", "Novo"}));
  EXPECT_EQ(combo->ComboBox()->currentIndex(), -1) << "row events choose nothing";
  categories->Close();
  EXPECT_EQ(Items(), QStringList());
}

TEST_F(LookupComboTest, APickLocatesTheFirstRowOfThatNameThenClosesUp) {
  combo->DropDown();
  ASSERT_TRUE(combo->ListVisible());
  ClickItem(2);  // the second Kuća
  EXPECT_FALSE(combo->ListVisible());
  EXPECT_EQ(log, (QStringList{"click Kuća 2", "closeup Kuća 2"}));
  EXPECT_EQ(combo->Text(), QStringLiteral("Kuća"));
  EXPECT_EQ(combo->ComboBox()->currentText(), QStringLiteral("Kuća"));
  EXPECT_EQ(categories->RecNo(), 2) << "the first row of that name";
}

TEST_F(LookupComboTest, ClosingWithoutAPickClosesUpAndKeepsTheChoice) {
  combo->SelectItem(3);
  log.clear();
  categories->First();
  combo->DropDown();
  QTest::keyClick(combo->ComboBox()->view(), Qt::Key_Escape);
  EXPECT_FALSE(combo->ListVisible());
  EXPECT_EQ(log, QStringList{"closeup Hobi 1"});
  EXPECT_EQ(combo->Text(), QStringLiteral("Hobi"));
  EXPECT_EQ(categories->RecNo(), 1) << "the dataset stays where it was";

  log.clear();
  combo->DropDown();
  combo->CloseUp(false);
  EXPECT_EQ(log, QStringList{"closeup Hobi 1"});
}

TEST_F(LookupComboTest, AKeyInTheClosedBoxIsAPickAndACloseUp) {
  combo->SetFocus();
  QTest::keyClick(combo->ComboBox(), Qt::Key_Down);
  EXPECT_EQ(combo->Text(), QStringLiteral("Posao"));
  EXPECT_EQ(log, (QStringList{"click Posao 1", "closeup Posao 1"}));
  log.clear();
  QTest::keyClick(combo->ComboBox(), Qt::Key_End);
  EXPECT_EQ(combo->Text(), QStringLiteral("Hobi"));
  EXPECT_EQ(categories->RecNo(), 4);
  EXPECT_EQ(log, (QStringList{"click Hobi 4", "closeup Hobi 4"}));
}

TEST_F(LookupComboTest, OpeningAgainKeepsAChoiceThatIsStillThere) {
  combo->SelectItem(3);
  log.clear();
  categories->First();
  categories->Close();
  categories->Open();
  EXPECT_EQ(combo->Text(), QStringLiteral("Hobi"));
  EXPECT_EQ(combo->ComboBox()->currentText(), QStringLiteral("Hobi"));
  EXPECT_EQ(categories->RecNo(), 4) << "its row is current again";
  EXPECT_TRUE(log.isEmpty()) << "no close-up";
}

TEST_F(LookupComboTest, OpeningAgainDropsAChoiceWhoseRowIsGone) {
  combo->SelectItem(0);
  log.clear();
  categories->Delete();  // Posao, as the categories dialog does
  categories->Close();
  categories->Open();
  EXPECT_EQ(combo->Text(), QString());
  EXPECT_EQ(combo->ComboBox()->currentIndex(), -1);
  EXPECT_EQ(categories->RecNo(), 1);
  EXPECT_TRUE(log.isEmpty());
}

TEST_F(LookupComboTest, AFailedMoveIsShownAndChoosesNothing) {
  combo->SelectItem(1);
  log.clear();
  categories->Edit();
  Category()->SetAsString(QString(300, QLatin1Char('x')));  // longer than a category may be
  combo->SelectItem(3);
  ASSERT_EQ(host.Errors().size(), 1u);
  EXPECT_EQ(combo->Text(), QStringLiteral("Kuća")) << "the choice before";
  EXPECT_EQ(log, QStringList{"closeup Kuća 2"}) << "the list closed all the same";
  categories->Cancel();
}

namespace {

class LookupListTest : public DataControlsTest {
protected:
  void SetUp() override {
    DataControlsTest::SetUp();
    categories->Open();
    list = new TDBLookupListBox(&owner);
    list->SetKeyField(QStringLiteral("Category"));
    list->SetListSource(source);
    list->SetOnClick(Counter(clicks));
    ShowAlone(list, 120, 200);
  }
  void ClickRow(int row) {
    QListView* view = list->ListView();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(view->model()->index(row, 0)).center());
  }
  TDBLookupListBox* list = nullptr;
  int clicks = 0;
};

}  // namespace

TEST_F(LookupListTest, AClickMakesThatRowCurrentEvenWithTheSameName) {
  EXPECT_EQ(list->ListView()->model()->rowCount(), 4);
  EXPECT_EQ(list->SelectedRow(), -1) << "nothing highlighted before the first click";
  categories->Last();
  EXPECT_EQ(list->SelectedRow(), -1);
  ClickRow(2);
  EXPECT_EQ(categories->RecNo(), 3) << "the clicked Kuća, not the first";
  EXPECT_EQ(list->SelectedRow(), 2);
  EXPECT_EQ(clicks, 1);
  ClickRow(1);
  EXPECT_EQ(categories->RecNo(), 2);
  EXPECT_EQ(list->SelectedRow(), 1);
}

TEST_F(LookupListTest, TheHighlightFollowsTheCurrentRowUntilOpenedAgain) {
  ClickRow(0);
  categories->Append();
  Category()->SetAsString(QStringLiteral("Novo"));
  categories->Post();
  EXPECT_EQ(list->SelectedRow(), 4) << "the appended row";
  QTest::keyClick(list->ListView(), Qt::Key_Up);
  EXPECT_EQ(categories->RecNo(), 4);
  EXPECT_EQ(list->SelectedRow(), 3);
  categories->Delete();
  EXPECT_EQ(list->SelectedRow(), 3) << "the row that took its place";
  EXPECT_EQ(list->ListView()->model()->index(3, 0).data().toString(), QStringLiteral("Novo"));
  categories->Close();
  categories->Open();
  EXPECT_EQ(list->SelectedRow(), -1);
  categories->Next();
  EXPECT_EQ(list->SelectedRow(), -1) << "not before the next click";
  QTest::keyClick(list->ListView(), Qt::Key_Down);
  EXPECT_EQ(categories->RecNo(), 3);
  EXPECT_EQ(list->SelectedRow(), 2);
}
