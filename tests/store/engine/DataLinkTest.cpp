// Data sources tell bound controls when the dataset opens or closes, when the
// current row moves, when a field changes and when the whole dataset changes;
// their handlers run through the one dispatch point, and nothing is told to a
// control or a handler that is going away with its window.
#include "Dispatch.h"
#include "StoreFixture.h"

#include <cstdlib>

namespace {

class RecordingLink : public TDataLink {
public:
  // Writes to `log` when given one (it outlives the link), else to `events`.
  explicit RecordingLink(TComponent* control = nullptr, QStringList* log = nullptr) : TDataLink(control), FLog(log) {}
  QStringList events;
  void ActiveChanged() override { Out() << QStringLiteral("active"); }
  void DataSetChanged() override { Out() << QStringLiteral("changed"); }
  void DataSetScrolled() override { Out() << QStringLiteral("scrolled"); }
  void RecordChanged(TField* f) override { Out() << QStringLiteral("field ") + (f ? f->FieldName() : QString()); }
  void EditingChanged() override { Out() << QStringLiteral("state"); }

private:
  QStringList& Out() { return FLog ? *FLog : events; }
  QStringList* FLog;
};

// A bound control: a component of a window that follows a data source.
class BoundControl : public TComponent {
public:
  BoundControl(TComponent* window, QStringList& log) : TComponent(window), link(this, &log) {}
  RecordingLink link;
};

TNotifyEvent Handler(std::function<void(TObject*)> fn) {
  TNotifyEvent e;
  e.Name = QStringLiteral("Handler");
  e.Fn = std::move(fn);
  return e;
}

}  // namespace

// Windows of the test: components owning datasets, data sources and bound
// controls, freed as a window frees them (last made, first freed).
class DataWindowTest : public StoreTest {
protected:
  struct Data {
    TADOTable* table = nullptr;
    TDataSource* source = nullptr;
  };
  // Something done to the data that makes its data source tell of it.
  struct Step {
    const char* what;
    void (*action)(Data&);
  };
  static constexpr Step kMove{"a move", [](Data& d) { d.table->Next(); }};
  static constexpr Step kEdit{"a change of state", [](Data& d) { d.table->Edit(); }};
  // An open dataset over the categories and its data source, made in either
  // order, whose OnDataChange writes to `log`.
  Data MakeData(TComponent* window, QStringList& log, bool sourceFirst) {
    Data d;
    auto makeTable = [&] {
      d.table = new TADOTable(window);
      d.table->SetName(QStringLiteral("ADOTable1"));
      d.table->SetConnection(connection);
      d.table->SetTableName(QStringLiteral("kategorije"));
    };
    if (!sourceFirst) makeTable();
    d.source = new TDataSource(window);
    if (sourceFirst) makeTable();
    d.source->SetDataSet(d.table);
    d.source->SetOnDataChange(Handler([&log](TObject*) { log << QStringLiteral("handler"); }));
    d.table->Open();
    return d;
  }
};

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
      {"field",
       [&] { t->FieldByName(QStringLiteral("Category"))->SetAsString(QStringLiteral("C")); },
       {QStringLiteral("field Category")}},
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

// The main window makes its datasets after its pages, so they go first when it
// is torn down: neither the bound controls nor the window's own data-change
// handlers hear of it, whatever the order.
TEST_F(DataWindowTest, NothingOfAWindowHearsItsOwnTeardown) {
  AddCategory(QStringLiteral("A"));
  AddCategory(QStringLiteral("B"));
  for (const bool controlFirst : {true, false}) {
    for (const bool sourceFirst : {true, false}) {
      SCOPED_TRACE(
          QStringLiteral("control made %1, source made %2")
              .arg(QLatin1String(controlFirst ? "first" : "last"), QLatin1String(sourceFirst ? "first" : "last"))
              .toStdString());
      QStringList log;
      auto* window = new TComponent();
      BoundControl* control = controlFirst ? new BoundControl(window, log) : nullptr;
      const Data data = MakeData(window, log, sourceFirst);
      if (!control) control = new BoundControl(window, log);
      control->link.SetDataSource(data.source);
      log.clear();
      data.table->Next();
      ASSERT_EQ(log, QStringList({QStringLiteral("scrolled"), QStringLiteral("handler")}))
          << "while the window lives, its control and its handler follow the data";
      log.clear();
      delete window;
      EXPECT_EQ(log, QStringList()) << "told during the window's teardown";
    }
  }
}

// A control in one window bound to the data of another: whichever window goes
// first, the one left is unhooked from it and never calls into it.
TEST_F(DataWindowTest, WindowsSharingDataOutliveEachOtherInEitherOrder) {
  AddCategory(QStringLiteral("A"));
  AddCategory(QStringLiteral("B"));
  {
    SCOPED_TRACE("the data's window goes first");
    QStringList log;
    auto* dataWindow = new TComponent();
    auto* controlWindow = new TComponent();
    const Data data = MakeData(dataWindow, log, false);
    auto* control = new BoundControl(controlWindow, log);
    control->link.SetDataSource(data.source);
    log.clear();
    delete dataWindow;
    EXPECT_EQ(control->link.DataSource(), nullptr);
    EXPECT_FALSE(control->link.Active());
    EXPECT_FALSE(log.isEmpty()) << "a control that stays hears that its data are gone";
    EXPECT_FALSE(log.contains(QStringLiteral("handler"))) << "the dying window's handler ran";
    delete controlWindow;
  }
  {
    SCOPED_TRACE("the control's window goes first");
    QStringList log;
    auto* dataWindow = new TComponent();
    auto* controlWindow = new TComponent();
    const Data data = MakeData(dataWindow, log, false);
    auto* control = new BoundControl(controlWindow, log);
    control->link.SetDataSource(data.source);
    delete controlWindow;
    log.clear();
    data.table->Next();
    data.table->Close();
    EXPECT_EQ(log, QStringList({QStringLiteral("handler"), QStringLiteral("handler")}))
        << "only the data's own handler is left";
    delete dataWindow;
  }
}

// A handler that fails while the data source tells of a change, even from a
// dataset's destructor, is shown once through the dispatch point and the
// program goes on. Each case runs in a child process, which a throw from a
// destructor would end.
TEST_F(DataWindowTest, DataSourceHandlerErrorsAreShownNotThrown) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  AddCategory(QStringLiteral("A"));
  AddCategory(QStringLiteral("B"));
  const Step steps[] = {kMove, kEdit, {"the dataset freed", [](Data& d) { delete d.table; }}};
  for (const Step& c : steps) {
    SCOPED_TRACE(c.what);
    EXPECT_EXIT(
        {
          QStringList log;
          Data d = MakeData(&owner, log, false);
          auto fail = Handler([](TObject*) { throw EDatabaseError(QStringLiteral("handler failed")); });
          d.source->SetOnDataChange(fail);
          d.source->SetOnStateChange(fail);
          c.action(d);
          const auto errors = host.Errors();
          std::_Exit(errors.size() == 1 && errors[0] == QStringLiteral("handler failed") ? 0 : 3);
        },
        ::testing::ExitedWithCode(0), "");
  }
}

// A handler that moves or changes a dataset stops at that step when a data
// source's handler fails: the rest of it does not run, and the error is shown
// once, by the dispatch the action started in.
TEST_F(DataWindowTest, AFailingDataHandlerStopsTheHandlerThatSetItOff) {
  AddCategory(QStringLiteral("A"));
  AddCategory(QStringLiteral("B"));
  const Step steps[] = {
      kMove, kEdit, {"a field set", [](Data& d) {
                       d.table->Edit();
                       d.table->FieldByName(QStringLiteral("Category"))->SetAsString(QStringLiteral("C"));
                     }}};
  for (const Step& c : steps) {
    SCOPED_TRACE(c.what);
    QStringList log;
    auto* window = new TComponent(&owner);
    Data d = MakeData(window, log, false);
    bool armed = false;
    d.source->SetOnDataChange(Handler([&armed](TObject*) {
      if (armed) throw EDatabaseError(QStringLiteral("handler failed"));
    }));
    d.source->SetOnStateChange(Handler([&armed](TObject*) {
      if (armed) throw EDatabaseError(QStringLiteral("handler failed"));
    }));
    const int errorsBefore = int(host.Errors().size());
    bool carriedOn = false;
    armed = true;
    EXPECT_FALSE(Dispatch([&] {
      c.action(d);
      carriedOn = true;
    }));
    armed = false;
    EXPECT_FALSE(carriedOn) << "the handler went on after the step that failed";
    ASSERT_EQ(int(host.Errors().size()), errorsBefore + 1);
    EXPECT_EQ(host.Errors().back(), QStringLiteral("handler failed"));
    if (d.table->State() != dsBrowse) d.table->Cancel();
    delete window;
  }
}
