// Dotted property paths through sub-objects and collection items.
#include "Definition.h"
#include "Exceptions.h"
#include "ModelTestClasses.h"
#include "QtPrinters.h"
#include "TypeInfo.h"

#include <gtest/gtest.h>

#include <memory>

using mt::TTestColumn;
using mt::TTestGrid;
using mt::TTestPart;

namespace {

// The caption at the end of a path, read as the translation engine does.
QString ReadPath(QObject* start, const QString& path) {
  QString last;
  QObject* holder = ResolvePropertyPath(start, path, &last);
  if (!holder) return QStringLiteral("<none>");
  return GetStrProp(holder, GetPropInfo(holder, last));
}

class PropertyPath : public ::testing::Test {
protected:
  PropertyPath() {
    for (const char* field : {"Title", "Body"}) {
      auto* column = qobject_cast<TTestColumn*>(grid.Columns()->Add());
      column->SetFieldName(QString::fromLatin1(field));
      column->Title()->SetCaption(QStringLiteral("Caption of ") + QString::fromLatin1(field));
    }
    grid.SetName(QStringLiteral("DBGrid1"));
  }
  TTestGrid grid;
};

}  // namespace

TEST_F(PropertyPath, WalksSubObjectsAndCollectionItems) {
  struct Row {
    const char* path;
    const char* last;
    const char* value;  // "<none>": no object holds the property
  };
  const Row rows[] = {
      {"Columns[0].Title.Caption", "Caption", "Caption of Title"},
      {"Columns[1].Title.Caption", "Caption", "Caption of Body"},
      {"columns[1].TITLE.caption", "caption", "Caption of Body"},
      {"Columns[1].FieldName", "FieldName", "Body"},
      {"Name", "Name", "DBGrid1"},
      {"Nothing.Caption", "", "<none>"},
      {"Name.Caption", "", "<none>"},
      {"Columns[0].Nothing.Caption", "", "<none>"},
      {"Columns[0].FieldName.Caption", "", "<none>"},
      {"Columns..Caption", "", "<none>"},
      {"", "", "<none>"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.path);
    QString last = QStringLiteral("stale");
    QObject* holder = ResolvePropertyPath(&grid, QString::fromLatin1(row.path), &last);
    EXPECT_EQ(last, QString::fromLatin1(row.last));
    EXPECT_EQ(holder == nullptr, QString::fromLatin1(row.value) == QLatin1String("<none>"));
    EXPECT_EQ(ReadPath(&grid, QString::fromLatin1(row.path)), QString::fromLatin1(row.value));
  }
  QString last;
  EXPECT_EQ(ResolvePropertyPath(&grid, QStringLiteral("Columns[1].Title.Caption"), &last), grid.Column(1)->Title());
  EXPECT_EQ(ResolvePropertyPath(&grid, QStringLiteral("Columns[0].FieldName"), nullptr), grid.Column(0));
  EXPECT_EQ(ResolvePropertyPath(nullptr, QStringLiteral("Name"), &last), nullptr);
}

TEST_F(PropertyPath, EmptyObjectsAndNonCollectionsLeadNowhere) {
  TTestPart part;
  QString last;
  EXPECT_EQ(ResolvePropertyPath(&part, QStringLiteral("Buddy.Name"), &last), nullptr);    // no buddy
  EXPECT_EQ(ResolvePropertyPath(&part, QStringLiteral("Font[0].Name"), &last), nullptr);  // a font is no collection
  EXPECT_EQ(ResolvePropertyPath(&part, QStringLiteral("Font.Name"), &last), part.Font());
  EXPECT_EQ(last, QStringLiteral("Name"));
  part.SetBuddy(&grid);
  EXPECT_EQ(ReadPath(&part, QStringLiteral("Buddy.Columns[0].Title.Caption")), QStringLiteral("Caption of Title"));
}

TEST_F(PropertyPath, BadIndexesRaise) {
  struct Row {
    const char* path;
    bool listError;  // else EConvertError
  };
  const Row rows[] = {
      {"Columns[5].Title.Caption", true}, {"Columns[2].FieldName", true},   {"Columns[-1].FieldName", true},
      {"Columns[].FieldName", false},     {"Columns[x].FieldName", false},  {"Columns[1x].FieldName", false},
      {"Columns[0.FieldName", false},     {"Columns[ 0].FieldName", false}, {"Columns[-].FieldName", false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.path);
    QString last;
    if (row.listError)
      EXPECT_THROW(ResolvePropertyPath(&grid, QString::fromLatin1(row.path), &last), EListError);
    else
      EXPECT_THROW(ResolvePropertyPath(&grid, QString::fromLatin1(row.path), &last), EConvertError);
  }
}

TEST(PropertyPathInDefinition, ColumnsLoadedFromADefinition) {
  mt::RegisterTestClasses();
  mt::TTestForm form;
  LoadWindowDefinitionText(&form, QStringLiteral(R"(object Form1: TTestForm
  Caption = 'Notes'
  object DBGrid1: TTestGrid
    Columns = <
      item
        Title.Caption = 'Title'
        FieldName = 'Title'
      end
      item
        Title.Caption = 'Tekst'
        FieldName = 'Body'
      end>
    Columns[1].Title.Caption = 'Tra'#382'i'
  end
end
)"),
                           QStringLiteral("Grid.def"));
  auto* grid = qobject_cast<TTestGrid*>(form.FindComponent(QStringLiteral("DBGrid1")));
  ASSERT_NE(grid, nullptr);
  ASSERT_EQ(grid->Columns()->Count(), 2);
  EXPECT_EQ(grid->Column(0)->FieldName(), QStringLiteral("Title"));
  EXPECT_EQ(grid->Column(1)->FieldName(), QStringLiteral("Body"));
  EXPECT_EQ(ReadPath(grid, QStringLiteral("Columns[0].Title.Caption")), QStringLiteral("Title"));
  EXPECT_EQ(ReadPath(grid, QStringLiteral("Columns[1].Title.Caption")), QStringLiteral("Traži"));
  QString last;
  EXPECT_THROW(ResolvePropertyPath(grid, QStringLiteral("Columns[5].Title.Caption"), &last), EListError);
}
