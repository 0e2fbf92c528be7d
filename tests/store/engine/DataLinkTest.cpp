// Data sources tell bound controls when the dataset opens or closes, when the
// current row moves, when a field changes and when the whole dataset changes.
#include "StoreFixture.h"

namespace {

class RecordingLink : public TDataLink {
public:
  QStringList events;
  void ActiveChanged() override { events << QStringLiteral("active"); }
  void DataSetChanged() override { events << QStringLiteral("changed"); }
  void DataSetScrolled() override { events << QStringLiteral("scrolled"); }
  void RecordChanged(TField* f) override { events << QStringLiteral("field ") + (f ? f->FieldName() : QString()); }
  void EditingChanged() override { events << QStringLiteral("state"); }
};

}  // namespace

TEST_F(StoreTest, DataSourcesNotifyBoundControls) {
  AddCategory(QStringLiteral("A"));
  AddCategory(QStringLiteral("B"));
  TADOTable* t = Table(QStringLiteral("ADOTable1"), QStringLiteral("kategorije"));
  TDataSource source(&owner);
  source.SetDataSet(t);
  RecordingLink link;
  link.SetDataSource(&source);
  link.events.clear();

  struct Step {
    const char* what;
    std::function<void()> action;
    QStringList expected;
  } steps[] = {
      {"open", [&] { t->Open(); }, {QStringLiteral("active")}},
      {"next", [&] { t->Next(); }, {QStringLiteral("scrolled")}},
      {"next at the end", [&] { t->Next(); }, {}},
      {"edit", [&] { t->Edit(); }, {QStringLiteral("state")}},
      {"field", [&] { t->FieldByName(QStringLiteral("Category"))->SetAsString(QStringLiteral("C")); }, {QStringLiteral("field Category")}},
      {"post", [&] { t->Post(); }, {QStringLiteral("state"), QStringLiteral("changed")}},
      {"delete", [&] { t->Delete(); }, {QStringLiteral("changed")}},
      {"close", [&] { t->Close(); }, {QStringLiteral("active")}},
  };
  for (Step& s : steps) {
    SCOPED_TRACE(s.what);
    link.events.clear();
    s.action();
    EXPECT_EQ(link.events, s.expected);
  }
  EXPECT_FALSE(link.Active());
  t->Open();
  EXPECT_TRUE(link.Active());
  source.SetEnabled(false);
  EXPECT_FALSE(link.Active());
}

TEST_F(StoreTest, ALinkForgetsADestroyedDataSource) {
  TADOTable* t = Table(QStringLiteral("ADOTable1"), QStringLiteral("kategorije"));
  auto* source = new TDataSource(&owner);
  source->SetDataSet(t);
  RecordingLink link;
  link.SetDataSource(source);
  delete t;
  EXPECT_EQ(source->DataSet(), nullptr);
  delete source;
  EXPECT_EQ(link.DataSource(), nullptr);
}
