// A window's storage from creation to destruction: one load before the
// creation event, one write when the window is destroyed, and errors that
// are shown without stopping the window.
#include "rsIniData.h"

#include "SettingsTestSupport.h"

#include "Definition.h"
#include "Forms.h"
#include "TestModalHost.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>

#include <memory>

namespace {

using namespace settingstest;

// What the window's creation event saw of the storage.
struct CreationProbe {
  TForm* form = nullptr;
  int keysAtCreation = -1;
  void FormCreate(TObject*) {
    auto* storage = qobject_cast<TrsStorage*>(form->FindComponent(QStringLiteral("rsStorage1")));
    keysAtCreation = storage ? storage->KeyCount() : -1;
  }
};

class StorageLifecycleTest : public SettingsFileTest {
protected:
  void SetUp() override {
    RegisterStorageClasses();
    SettingsFileTest::SetUp();
  }

  // The window of the settings files, its storage and back-end in the given
  // order; `storageExtra` adds lines to the storage's definition.
  QString Definition(bool storageFirst = true, const QString& storageExtra = QString(),
                     const QString& fileName = QString()) const {
    const QString storage = QStringLiteral(
                                "  object rsStorage1: TrsStorage\n"
                                "    Active = True\n"
                                "    StorageData = rsIniData1\n") +
                            storageExtra + QStringLiteral("  end\n");
    const QString data = QStringLiteral(
                             "  object rsIniData1: TrsIniData\n"
                             "    FileName = '%1'\n"
                             "    FileDir = fdCustom\n"
                             "    Options = []\n"
                             "  end\n")
                             .arg(fileName.isEmpty() ? dir.filePath(QStringLiteral("opt")) : fileName);
    return QStringLiteral("object Form1: TForm\n  OnCreate = FormCreate\n") +
           (storageFirst ? storage + data : data + storage) + QStringLiteral("end\n");
  }

  std::unique_ptr<TForm> Build(const QString& text, std::unique_ptr<TForm> form = std::make_unique<TForm>()) {
    probe.form = form.get();
    form->Handlers().Add(QStringLiteral("FormCreate"), &probe, &CreationProbe::FormCreate);
    LoadWindowDefinitionText(form.get(), text, QStringLiteral("Test.def"));
    form->AfterConstruction();
    storage = qobject_cast<TrsStorage*>(form->FindComponent(QStringLiteral("rsStorage1")));
    EXPECT_NE(storage, nullptr);
    if (storage) {
      TNotifyEvent saved;
      saved.Fn = [this](TObject*) { ++saves; };
      storage->SetOnAfterSave(saved);
    }
    return form;
  }

  TestModalHost host;
  CreationProbe probe;
  TrsStorage* storage = nullptr;
  int saves = 0;
};

TEST_F(StorageLifecycleTest, LoadsBeforeCreationAndWritesOnceWhenDestroyed) {
  for (bool storageFirst : {true, false}) {
    SCOPED_TRACE(storageFirst ? "storage first" : "back-end first");
    WriteFile(File(), "[Form1.rsPropSaver1]\r\nPanel7.Width=180\r\n");
    saves = 0;
    auto form = Build(Definition(storageFirst));
    EXPECT_EQ(probe.keysAtCreation, 1) << "the file was not read before the creation event";
    storage->SetRootSection(QStringLiteral("Form1.rsPropSaver1"));
    storage->WriteString(QStringLiteral("Edit2.Text"), QStringLiteral("2"));
    EXPECT_EQ(ReadFile(File()), QByteArray("[Form1.rsPropSaver1]\r\nPanel7.Width=180\r\n")) << "written too early";
    form.reset();
    EXPECT_EQ(saves, 1);
    EXPECT_EQ(ReadFile(File()), QByteArray("[Form1.rsPropSaver1]\r\nEdit2.Text=\"2\"\r\nPanel7.Width=180\r\n\r\n"));
    EXPECT_TRUE(host.Errors().empty());
  }
}

// A window class of the program's kind, which knows when its own part is gone.
class TWindowWithState : public TForm {
public:
  explicit TWindowWithState(bool& gone) : FGone(gone) {}
  ~TWindowWithState() override { FGone = true; }

private:
  bool& FGone;
};

TEST_F(StorageLifecycleTest, WritesWhileTheWindowIsStillWhole) {
  for (bool storageFirst : {true, false}) {
    SCOPED_TRACE(storageFirst ? "storage first" : "back-end first");
    bool gone = false;
    std::vector<bool> goneAtSave;
    auto form = Build(Definition(storageFirst), std::make_unique<TWindowWithState>(gone));
    TNotifyEvent saved;
    saved.Fn = [&](TObject*) { goneAtSave.push_back(gone); };
    storage->SetOnAfterSave(saved);
    storage->WriteString(QStringLiteral("k"), QStringLiteral("v"));
    form.reset();
    EXPECT_EQ(goneAtSave, std::vector<bool>{false}) << "written once, before the window's own destructor ran";
    EXPECT_EQ(ReadFile(File()), QByteArray("[]\r\nk=\"v\"\r\n\r\n"));
  }
}

TEST_F(StorageLifecycleTest, NoFileOpensEmptyAndLeavesTheFileBehind) {
  auto form = Build(Definition());
  EXPECT_EQ(probe.keysAtCreation, 0);
  EXPECT_FALSE(QFileInfo::exists(File()));
  form.reset();
  EXPECT_TRUE(QFileInfo::exists(File()));
  EXPECT_EQ(ReadFile(File()), QByteArray());
}

TEST_F(StorageLifecycleTest, DeactivatingEarlySavesOnceAndNotAgainOnDestruction) {
  auto form = Build(Definition());
  storage->WriteString(QStringLiteral("k"), QStringLiteral("1"));
  storage->SetActive(false);
  EXPECT_EQ(saves, 1);
  EXPECT_EQ(ReadFile(File()), QByteArray("[]\r\nk=\"1\"\r\n\r\n"));
  storage->WriteString(QStringLiteral("k"), QStringLiteral("2"));
  form.reset();
  EXPECT_EQ(saves, 1);
  EXPECT_EQ(ReadFile(File()), QByteArray("[]\r\nk=\"1\"\r\n\r\n"));
}

TEST_F(StorageLifecycleTest, WithoutSaveOnCloseNothingIsWritten) {
  WriteFile(File(), "[s]\r\nk=1\r\n");
  auto form = Build(Definition(true, QStringLiteral("    Options = []\n")));
  EXPECT_EQ(storage->Options(), TrsStorageOptions());
  storage->WriteString(QStringLiteral("s\\k"), QStringLiteral("changed"));
  storage->SetActive(false);
  EXPECT_FALSE(storage->Active());
  form.reset();
  EXPECT_EQ(saves, 0);
  EXPECT_EQ(ReadFile(File()), QByteArray("[s]\r\nk=1\r\n"));
}

TEST_F(StorageLifecycleTest, InactiveStorageNeitherLoadsNorSaves) {
  WriteFile(File(), "[s]\r\nk=1\r\n");
  auto form = Build(Definition(true, QStringLiteral("    Active = False\n")));
  EXPECT_EQ(probe.keysAtCreation, 0);
  storage->WriteString(QStringLiteral("s\\k"), QStringLiteral("changed"));
  form.reset();
  EXPECT_EQ(saves, 0);
  EXPECT_EQ(ReadFile(File()), QByteArray("[s]\r\nk=1\r\n"));
}

TEST_F(StorageLifecycleTest, UnwritableFileIsShownAndTeardownCompletes) {
  // A regular file where the settings directory should be.
  const QString blocker = dir.filePath(QStringLiteral("blocker"));
  WriteFile(blocker, "x");
  const QString target = blocker + QStringLiteral("/opt");
  for (bool storageFirst : {true, false}) {
    SCOPED_TRACE(storageFirst ? "storage first" : "back-end first");
    host.Clear();
    auto form = Build(Definition(storageFirst, QString(), target));
    storage->WriteString(QStringLiteral("k"), QStringLiteral("v"));
    QPointer<TrsStorage> watch(storage);
    form.reset();
    EXPECT_TRUE(watch.isNull());
    const std::vector<QString> errors = host.Errors();
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_TRUE(errors[0].startsWith(QStringLiteral("Cannot create file \"") + target + QStringLiteral(".ini\"")))
        << errors[0].toStdString();
  }
}

TEST_F(StorageLifecycleTest, LoadFailingPartWayIsShownAndTheWindowOpens) {
  WriteFile(File(), "[s]\r\na=1\r\nb=curr:abc\r\nc=2\r\n");
  auto form = Build(Definition());
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(host.Errors(), std::vector<QString>{QStringLiteral("'abc' is not a valid floating point value")});
  EXPECT_TRUE(storage->Active());
  EXPECT_EQ(probe.keysAtCreation, 1);
  EXPECT_EQ(storage->ReadString(QStringLiteral("\\s\\a")), QStringLiteral("1"));
  EXPECT_FALSE(storage->KeyExists(QStringLiteral("\\s\\c")));
  EXPECT_EQ(storage->RootSection(), QString());
}

TEST_F(StorageLifecycleTest, UnreadableFileIsShownAndTheWindowOpens) {
  ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("opt.ini")));
  auto form = Build(Definition());
  const std::vector<QString> errors = host.Errors();
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_TRUE(errors[0].startsWith(QStringLiteral("Cannot open file \"") + File() + QLatin1Char('"')))
      << errors[0].toStdString();
  EXPECT_EQ(probe.keysAtCreation, 0);
}

TEST_F(StorageLifecycleTest, WindowThatFailsToBuildLeavesTheFileAlone) {
  WriteFile(File(), "[s]\r\nk=1\r\n");
  QString text = Definition();
  text.replace(QStringLiteral("    Options = []\n"), QStringLiteral("    Options = []\n    NoSuchProperty = 1\n"));
  auto form = std::make_unique<TForm>();
  form->Handlers().Add(QStringLiteral("FormCreate"), &probe, &CreationProbe::FormCreate);
  EXPECT_THROW(LoadWindowDefinitionText(form.get(), text, QStringLiteral("Test.def")), EDefinitionError);
  form.reset();
  EXPECT_EQ(ReadFile(File()), QByteArray("[s]\r\nk=1\r\n"));
  EXPECT_TRUE(host.Errors().empty());
}

TEST_F(StorageLifecycleTest, DestroyedBackEndSavesAndUnbinds) {
  auto form = Build(Definition());
  auto* data = qobject_cast<TrsIniData*>(form->FindComponent(QStringLiteral("rsIniData1")));
  ASSERT_NE(data, nullptr);
  EXPECT_EQ(data->StorageCount(), 1);
  storage->WriteString(QStringLiteral("k"), QStringLiteral("v"));
  delete data;
  EXPECT_EQ(storage->StorageData(), nullptr);
  EXPECT_FALSE(storage->Active());
  EXPECT_EQ(saves, 1);
  EXPECT_EQ(ReadFile(File()), QByteArray("[]\r\nk=\"v\"\r\n\r\n"));
  form.reset();
  EXPECT_EQ(saves, 1);
}

TEST_F(StorageLifecycleTest, ActivationOutsideLoadingLoadsAtOnce) {
  auto form = Build(Definition(true, QString()));
  storage->SetActive(false);
  WriteFile(File(), "[s]\r\nnew=5\r\n");
  storage->SetActive(true);
  EXPECT_EQ(storage->KeyCount(), 1);
  EXPECT_EQ(storage->ReadString(QStringLiteral("s\\new")), QStringLiteral("5"));
}

TEST_F(StorageLifecycleTest, ClientForgetsAStorageThatGoesAway) {
  auto form = Build(Definition());
  TrsStorageClient client(nullptr);
  client.SetStorage(storage);
  auto* second = new TrsStorageClient(form.get());  // owned by the window
  second->SetStorage(storage);
  delete storage;
  EXPECT_EQ(client.Storage(), nullptr);
  EXPECT_EQ(second->Storage(), nullptr);
  EXPECT_EQ(saves, 1) << "a storage destroyed while active saves";
}

TEST_F(StorageLifecycleTest, PublishedPropertiesComeFromTheDefinition) {
  auto form = Build(Definition(true, QStringLiteral("    RootSection = 'a\\b'\n"
                                                    "    Options = [soSaveOnClose, soSaveEmptySection]\n")));
  EXPECT_EQ(storage->Options(), soSaveOnClose | soSaveEmptySection);
  EXPECT_EQ(storage->RootSection(), QString()) << "loading returns to the top level";
  EXPECT_EQ(storage->SectionCount(), 0) << "the load empties the tree";
  auto* data = qobject_cast<TrsIniData*>(form->FindComponent(QStringLiteral("rsIniData1")));
  ASSERT_NE(data, nullptr);
  EXPECT_EQ(data->FileDir(), fdCustom);
  EXPECT_EQ(data->Options(), TrsStreamDataOptions());
  EXPECT_EQ(data->Template()->Text(), QStringLiteral("%BODY%\r\n"));
}

}  // namespace
