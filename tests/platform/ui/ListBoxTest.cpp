// The list box: its items and its widget's rows stay in step, and the
// selected item follows the widget.
#include "UiTestSupport.h"

#include "TypeInfo.h"

#include <QListWidget>

using namespace uitest;

namespace {

class ListBoxTest : public UiTest {
protected:
  static QStringList Rows(const TListBox& list) {
    QStringList out;
    for (int i = 0; i < list.ListWidget()->count(); ++i) out << list.ListWidget()->item(i)->text();
    return out;
  }
};

TEST_F(ListBoxTest, ItemsAndWidgetRowsStayInStep) {
  auto form = BuildForm(QStringLiteral(R"(object F: TForm
  object List1: TListBox
    Items = ('b' 'a')
  end
end)"));
  auto* list = Find<TListBox>(form.get(), "List1");
  TStrings* items = list->Items();
  int changes = 0;
  items->OnChange = [&] { ++changes; };
  EXPECT_EQ(Rows(*list), (QStringList{"b", "a"}));

  items->Add(QStringLiteral("c"));
  items->Insert(0, QStringLiteral("first"));
  items->Put(2, QStringLiteral("A"));
  items->Delete(1);
  EXPECT_EQ(items->ToList(), (QStringList{"first", "A", "c"}));
  EXPECT_EQ(Rows(*list), items->ToList());
  EXPECT_EQ(changes, 4);

  EXPECT_THROW(items->Put(3, QStringLiteral("x")), EListError);
  EXPECT_THROW(items->Insert(4, QStringLiteral("x")), EListError);
  EXPECT_THROW(items->Delete(-1), EListError);
  EXPECT_THROW((void)items->Get(3), EListError);

  TStringList other(QStringList{"x", "y"});
  list->SetItems(&other);
  EXPECT_EQ(list->Items(), items) << "assigning copies the lines into the same list";
  EXPECT_EQ(Rows(*list), (QStringList{"x", "y"}));
  items->Clear();
  EXPECT_EQ(list->ListWidget()->count(), 0);
}

TEST_F(ListBoxTest, ItemIndexSelectsOneRowOrNone) {
  TForm form;
  auto* list = new TListBox(&form);
  list->Items()->SetList({"a", "b", "c"});
  EXPECT_EQ(list->ItemIndex(), -1);
  const struct { int set, expected; } cases[] = {{1, 1}, {2, 2}, {0, 0}, {3, -1}, {1, 1}, {-1, -1}, {-5, -1}};
  for (const auto& c : cases) {
    list->SetItemIndex(c.set);
    EXPECT_EQ(list->ItemIndex(), c.expected) << "set " << c.set;
    EXPECT_EQ(list->ListWidget()->selectedItems().size(), c.expected < 0 ? 0 : 1) << "set " << c.set;
  }
  list->SetItemIndex(2);
  list->Items()->Put(2, QStringLiteral("C"));
  EXPECT_EQ(list->ItemIndex(), 2) << "renaming the selected line keeps it selected";
}

TEST_F(ListBoxTest, IsKnownToDefinitionsWithItsPublishedProperties) {
  EXPECT_TRUE(FindComponentClass(QStringLiteral("TListBox")));
  TListBox list;
  for (const char* name : {"Items", "ItemIndex", "Font", "ParentFont", "Color"})
    EXPECT_TRUE(GetPropInfo(&list, QLatin1String(name)).IsValid()) << name;
  EXPECT_TRUE(list.inherits("TCustomListControl"));
}

}  // namespace
