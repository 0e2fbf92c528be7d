// Two processes adding entries to one notebook at the same time: the engine
// waits for its turn, both succeed, and nothing is lost.
#include "StoreFixture.h"
#include "TestHelper.h"

#include "Exceptions.h"

#include <QCoreApplication>
#include <QProcess>

#include <cstdio>

namespace {
constexpr int kEntriesPerWriter = 150;
constexpr const char* kWriter = "store-writer";

// One writer, as a helper process of the test below, which names the
// notebook and the category: it adds its entries and reports how many it
// added.
int AddEntries() {
  const QString file = qEnvironmentVariable("NOTARIUM_TEST_WRITER_DB");
  if (file.isEmpty()) {
    std::fputs("NOTARIUM_TEST_WRITER_DB names no notebook\n", stderr);
    return 1;
  }
  try {
    TestModalHost host;
    QDir::setCurrent(QFileInfo(file).absolutePath());
    TComponent owner;
    auto* c = new TADOConnection(&owner);
    c->SetConnectionString(kFormConnectionString);
    c->Open();
    auto* t = new TADOTable(&owner);
    t->SetConnection(c);
    t->SetTableName(QStringLiteral("notes"));
    t->Open();
    const int before = t->RecordCount();  // what the other writer had stored by now
    const qint64 cat = qEnvironmentVariable("NOTARIUM_TEST_WRITER_CAT").toLongLong();
    for (int i = 0; i < kEntriesPerWriter; ++i) {
      t->Append();
      t->FieldByName(QStringLiteral("Title"))
          ->SetAsString(QStringLiteral("%1 %2").arg(QCoreApplication::applicationPid()).arg(i));
      t->FieldByName(QStringLiteral("Cat_id"))->SetAsInteger(cat);
      t->FieldByName(QStringLiteral("Entered"))->SetAsDate(QDate::currentDate());
      t->FieldByName(QStringLiteral("Favorite"))->SetAsInteger(0);
      t->Post();
    }
    // Its own rows show in its static cursor, the other's do not.
    std::printf("added %d\n", t->RecordCount() - before);
    if (!host.Errors().empty()) {
      std::fprintf(stderr, "error shown: %s\n", host.Errors().front().toStdString().c_str());
      return 1;
    }
    return 0;
  } catch (...) {
    std::fprintf(stderr, "%s\n", ExceptionMessage(std::current_exception()).toStdString().c_str());
    return 1;
  }
}

const bool kWriterRegistered = RegisterTestHelper(kWriter, &AddEntries);
}  // namespace

TEST(StoreWriterHelper, IsNoTestOfItsOwn) {
  ASSERT_TRUE(kWriterRegistered);
  const ::testing::UnitTest& tests = *::testing::UnitTest::GetInstance();
  for (int i = 0; i < tests.total_test_suite_count(); ++i)
    EXPECT_STRNE(tests.GetTestSuite(i)->name(), "StoreWriter") << "the writer shows as a (skipped) test";
}

TEST_F(StoreTest, TwoProcessesAddEntriesAtTheSameTime) {
  const qint64 cat = AddCategory(QStringLiteral("Shared"));
  std::vector<std::unique_ptr<QProcess>> writers;
  for (int i = 0; i < 2; ++i) {
    auto p = std::make_unique<QProcess>();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("NOTARIUM_TEST_WRITER_DB"), File());
    env.insert(QStringLiteral("NOTARIUM_TEST_WRITER_CAT"), QString::number(cat));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    p->setProcessEnvironment(env);
    p->setProcessChannelMode(QProcess::MergedChannels);
    p->start(QCoreApplication::applicationFilePath(), TestHelperArguments(kWriter));
    writers.push_back(std::move(p));
  }
  for (auto& p : writers) {
    ASSERT_TRUE(p->waitForFinished(60000));
    const QByteArray out = p->readAll();
    EXPECT_EQ(p->exitCode(), 0) << out.toStdString();
    EXPECT_TRUE(out.contains("added " + QByteArray::number(kEntriesPerWriter) + "\n")) << out.toStdString();
  }
  EXPECT_EQ(CheckNotebook(File()).entries, 2 * kEntriesPerWriter);
}
