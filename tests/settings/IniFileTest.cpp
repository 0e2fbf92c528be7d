// The settings file on disk: where it is, reading it whole, and replacing it
// safely.
#include "rsIniData.h"

#include "SettingsTestSupport.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <csignal>
#include <cstdio>
#include <vector>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using namespace settingstest;

class IniFileTest : public SettingsFileTest {
protected:
  void SetUp() override {
    SettingsFileTest::SetUp();
    ini.SetFileDir(fdCustom);
    ini.SetOptions({});
    ini.SetFileName(dir.filePath(QStringLiteral("opt")));
    storage.SetStorageData(&ini);
  }

  TrsStorage storage;
  TrsIniData ini;
};

TEST_F(IniFileTest, LocationFromFileDirFileNameAndOptions) {
  const QString app = QCoreApplication::applicationDirPath() + QLatin1Char('/');
  const QString exe = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
  const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QLatin1Char('/');
  struct Row {
    TrsStreamFileDir fileDir;
    TrsStreamDataOptions options;
    const char* fileName;
    QString expected;
  };
  const Row rows[] = {
      {fdApplication, {}, "opt", app + QStringLiteral("opt.ini")},
      {fdApplication, {}, "NU", app + QStringLiteral("NU.ini")},
      {fdApplication, {}, "opt.cfg", app + QStringLiteral("opt.cfg")},
      {fdApplication, {}, "sub\\dir\\ezop", app + QStringLiteral("sub/dir/ezop.ini")},
      {fdApplication, {}, "sub/ezop", app + QStringLiteral("sub/ezop.ini")},
      {fdApplication, doAutoName, "opt", app + exe + QStringLiteral(".ini")},
      {fdApplication, doAutoName, "x\\opt.dat", app + QStringLiteral("x/") + exe + QStringLiteral(".dat")},
      {fdApplication, doAutoName, "", app + exe + QStringLiteral(".ini")},
      {fdCustom, {}, "/var/tmp/opt", QStringLiteral("/var/tmp/opt.ini")},
      {fdCustom, {}, "C\\Settings\\opt.ini", QStringLiteral("C/Settings/opt.ini")},
      {fdCustom, {}, "opt", QStringLiteral("opt.ini")},
      {fdWindows, {}, "opt", QStringLiteral("/etc/opt.ini")},
      {fdUserProfile, {}, "Notarium\\opt", config + QStringLiteral("Notarium/opt.ini")},
  };
  for (const Row& row : rows) {
    TrsIniData data;
    data.SetFileDir(row.fileDir);
    data.SetOptions(row.options);
    data.SetFileName(QString::fromLatin1(row.fileName));
    EXPECT_EQ(data.FullFileName(), row.expected) << row.fileName;
  }
  // The defaults: the executable's directory, named after the executable.
  EXPECT_EQ(TrsIniData().FullFileName(), app + exe + QStringLiteral(".ini"));
}

TEST_F(IniFileTest, MissingFileLoadsNothingAndCreatesNothing) {
  storage.SetActive(true);
  EXPECT_EQ(storage.KeyCount(), 0);
  EXPECT_FALSE(QFileInfo::exists(File()));
}

TEST_F(IniFileTest, LoadReadsTheWholeFileAndReturnsToTheTop) {
  WriteFile(File(), "[a]\r\nx=1\r\n[b]\r\ny=\"2\"\r\n");
  storage.SetRootSection(QStringLiteral("old"));
  storage.WriteString(QStringLiteral("gone"), QStringLiteral("v"));
  storage.SetActive(true);
  EXPECT_EQ(storage.KeyCount(), 2);
  EXPECT_EQ(storage.SectionCount(), 2) << "the tree was not emptied first";
  EXPECT_EQ(storage.RootSection(), QString());
  EXPECT_EQ(storage.ReadString(QStringLiteral("\\b\\y")), QStringLiteral("2"));
}

TEST_F(IniFileTest, SaveReplacesTheFileWithoutLeavingTemporaryFiles) {
  WriteFile(File(), "[old]\r\nk=1\r\n");
  storage.SetActive(true);
  storage.SetRootSection(QStringLiteral("s"));
  storage.WriteString(QStringLiteral("k"), QStringLiteral("v"));
  storage.SetActive(false);
  EXPECT_EQ(ReadFile(File()), QByteArray("[old]\r\nk=1\r\n\r\n[s]\r\nk=\"v\"\r\n\r\n"));
  EXPECT_EQ(storage.RootSection(), QStringLiteral("s")) << "saving moved the current section";
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("opt.ini")});
}

TEST_F(IniFileTest, MissingDirectoriesAreCreatedOnlyWhenAsked) {
  const QString nested = dir.filePath(QStringLiteral("a/b/c/opt"));
  ini.SetFileName(nested);
  storage.SetActive(true);
  storage.WriteString(QStringLiteral("k"), QStringLiteral("v"));
  try {
    storage.Save();
    FAIL() << "no error";
  } catch (const EFCreateError& e) {
    EXPECT_TRUE(e.Message().startsWith(QStringLiteral("Cannot create file \"") + nested + QStringLiteral(".ini\". ")))
        << e.Message().toStdString();
  }
  ini.SetOptions(doAutoCreateDir);
  storage.Save();
  EXPECT_EQ(ReadFile(nested + QStringLiteral(".ini")), QByteArray("[]\r\nk=\"v\"\r\n\r\n"));
}

TEST_F(IniFileTest, UnreadableFileRaisesTheOpenError) {
  ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("opt.ini")));
  try {
    storage.SetActive(true);
    FAIL() << "no error";
  } catch (const EFOpenError& e) {
    EXPECT_TRUE(e.Message().startsWith(QStringLiteral("Cannot open file \"") + File() + QStringLiteral("\". ")))
        << e.Message().toStdString();
  }
  // The storage counts as active; it must not try to write over the directory.
  storage.SetOptions({});
}

TEST_F(IniFileTest, InternalCopyReplacesOrStandsInForTheFile) {
  const QString internal = dir.filePath(QStringLiteral("internal.txt"));
  WriteFile(internal, "[s]\r\nfrom=\"internal\"\r\n");
  ini.SetInternalFileName(internal);
  struct Row {
    TrsInternalFileLoad mode;
    bool realFile;
    const char* expected;
  };
  const Row rows[] = {
      {iflNone, true, "real"},        {iflNone, false, "none"},      {iflAlways, true, "internal"},
      {iflAlways, false, "internal"}, {iflNoRealFile, true, "real"}, {iflNoRealFile, false, "internal"},
  };
  for (const Row& row : rows) {
    QFile::remove(File());
    if (row.realFile) WriteFile(File(), "[s]\r\nfrom=\"real\"\r\n");
    ini.SetInternalFileLoad(row.mode);
    storage.Load();
    EXPECT_EQ(storage.ReadString(QStringLiteral("s\\from"), QStringLiteral("none")), QString::fromLatin1(row.expected))
        << "mode " << row.mode << " real file " << row.realFile;
  }
}

}  // namespace

// The files the windows leave behind: every key comes back with its kind and
// value, and writing the tree again gives the file back byte for byte.
TEST_F(IniFileTest, SavedWindowFilesReadBackAndWriteBackUnchanged) {
  struct Row {
    const char* name;
    QByteArray text;
    QStringList keys;
  };
  const std::vector<Row> rows = {
      {"opt.ini",
       "[Form1.rsPropSaver1]\r\n"
       "Edit2.Text=\"2\"\r\n"
       "FormPlacement=\"0,1,-1,-1,-1,-1,10,20,810,620\"\r\n"
       "Panel3.Width=233\r\n"
       "Panel7.Width=233\r\n"
       "\r\n",
       {"Form1.rsPropSaver1|Edit2.Text=text:2", "Form1.rsPropSaver1|FormPlacement=text:0,1,-1,-1,-1,-1,10,20,810,620",
        "Form1.rsPropSaver1|Panel3.Width=int:233", "Form1.rsPropSaver1|Panel7.Width=int:233"}},
      {"NU.ini",
       "[NoviUnos.rsPropSaver1]\r\n"
       "FormPlacement=\"0,1,-1,-1,-1,-1,412,262,868,606\"\r\n"
       "Memo1.Color=-2147483624\r\n"
       "Memo1.Font.Charset=1\r\n"
       "Memo1.Font.Color=-2147483640\r\n"
       "Memo1.Font.Height=-13\r\n"
       "Memo1.Font.Name=\"Tahoma\"\r\n"
       "Memo1.Font.Orientation=0\r\n"
       "Memo1.Font.Pitch=\"fpDefault\"\r\n"
       "Memo1.Font.Size=10\r\n"
       "Memo1.Font.Style=\"[fsBold]\"\r\n"
       "\r\n",
       {"NoviUnos.rsPropSaver1|FormPlacement=text:0,1,-1,-1,-1,-1,412,262,868,606",
        "NoviUnos.rsPropSaver1|Memo1.Color=int:-2147483624", "NoviUnos.rsPropSaver1|Memo1.Font.Charset=int:1",
        "NoviUnos.rsPropSaver1|Memo1.Font.Color=int:-2147483640", "NoviUnos.rsPropSaver1|Memo1.Font.Height=int:-13",
        "NoviUnos.rsPropSaver1|Memo1.Font.Name=text:Tahoma", "NoviUnos.rsPropSaver1|Memo1.Font.Orientation=int:0",
        "NoviUnos.rsPropSaver1|Memo1.Font.Pitch=text:fpDefault", "NoviUnos.rsPropSaver1|Memo1.Font.Size=int:10",
        "NoviUnos.rsPropSaver1|Memo1.Font.Style=text:[fsBold]"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    WriteFile(File(), row.text);
    storage.SetActive(true);
    EXPECT_EQ(DumpKeys(storage), row.keys);
    storage.SetActive(false);
    EXPECT_EQ(ReadFile(File()).toStdString(), row.text.toStdString());
  }
}

namespace {

// Runs `body` in a child process whose file writes stop at `fileLimit` bytes
// and whose address space may grow by `memoryLimit` bytes beyond what it
// holds now; true when the child finished and `body` returned true.
template <class Body>
bool InLimitedChild(rlim_t fileLimit, rlim_t memoryLimit, Body body) {
  const pid_t child = ::fork();
  if (child < 0) return false;
  if (child == 0) {
    std::signal(SIGXFSZ, SIG_IGN);  // a write past the limit then fails with EFBIG
    const rlimit files{fileLimit, fileLimit};
    ::setrlimit(RLIMIT_FSIZE, &files);
    if (memoryLimit != RLIM_INFINITY) {
      // The address space in use now, from the process's own statistics.
      QFile status(QStringLiteral("/proc/self/statm"));
      const rlim_t pages = status.open(QIODevice::ReadOnly) ? status.readAll().split(' ').value(0).toULongLong() : 0;
      const rlim_t bytes = pages * rlim_t(::sysconf(_SC_PAGESIZE)) + memoryLimit;
      const rlimit memory{bytes, bytes};
      ::setrlimit(RLIMIT_AS, &memory);
    }
    bool ok = false;
    try {
      ok = body();
    } catch (...) {
    }
    ::_exit(ok ? 0 : 1);
  }
  int status = 0;
  return ::waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace

TEST_F(IniFileTest, FailedWriteNamesItsCause) {
  storage.WriteString(QStringLiteral("\\Form1\\big"), QString(1 << 20, u'x'));
  WriteFile(File(), "[old]\r\nk=1\r\n");
  const bool reported = InLimitedChild(64 * 1024, RLIM_INFINITY, [&] {
    try {
      storage.Save();
    } catch (const Exception& e) {
      // Writing past the limit fails with "File too large", as a full disk
      // fails with "No space left on device".
      const bool named =
          e.Message().contains(QStringLiteral("File too large")) && !e.Message().contains(QStringLiteral("canceled"));
      if (!named) std::fprintf(stderr, "the save said: %s\n", e.what());
      return named;
    }
    std::fputs("the save did not fail\n", stderr);
    return false;
  });
  EXPECT_TRUE(reported) << "the save failed, and said why";
  EXPECT_EQ(ReadFile(File()), QByteArray("[old]\r\nk=1\r\n")) << "the old file is left as it was";
}

// One header 40,000 sections deep, in an 80 KB file: reading it and writing
// it back stays within a small multiple of its size.
TEST_F(IniFileTest, DeepHeaderReadsAndWritesInItsOwnSize) {
  QByteArray path = "a";
  for (int i = 1; i < 40000; ++i) path += "\\a";
  const QByteArray file = "[" + path + "]\r\nk=1\r\n\r\n";
  WriteFile(File(), file);
  const bool done = InLimitedChild(RLIM_INFINITY, 256 << 20, [&] {
    storage.Load();
    storage.Save();
    return ReadFile(File()) == file;
  });
  EXPECT_TRUE(done) << "the file read and wrote back unchanged within 256 MB";
}
