// The main window on a notebook and a settings folder of its own, as when the
// program is started in a notebook folder: the working directory holds
// db.mdb, and opt.ini lives in the temporary folder instead of beside the
// test program.
#pragma once

#include "Dispatch.h"
#include "Notebook.h"
#include "Sqlite.h"
#include "TestModalHost.h"
#include "Unit1.h"
#include "rsIniData.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <optional>

// One entry of a test notebook.
struct SeedEntry {
  const char* category;
  const char* title;  // nullptr: no title
  const char* body;   // nullptr: no body
  bool favourite;
  const char* entered = "2026-03-14";
};

class MainWindowFixture : public ::testing::Test {
protected:
  void SetUp() override {
    previous = QDir::currentPath();
    QDir::setCurrent(folder.path());
    SetApplicationSettingsFolder(folder.path());
    Prepare();
    Application->SetTitle(kApplicationTitle);
    Application->CreateForm(Form1);
    ASSERT_NE(Form1, nullptr);
  }
  void TearDown() override {
    CloseWindow();
    SetApplicationSettingsFolder(QString());
    QDir::setCurrent(previous);
  }
  // What the folder holds before the window opens; the default is a
  // notebook of the entries Seed() gives.
  virtual void Prepare() { MakeNotebook(Seed()); }
  virtual std::vector<SeedEntry> Seed() const { return {}; }

  // Creates db.mdb with the categories in order of first mention (and any in
  // `extraCategories`, after them) and the entries.
  void MakeNotebook(const std::vector<SeedEntry>& entries, const QStringList& extraCategories = {}) {
    CreateNotebook(QStringLiteral("db.mdb"));
    TSqlDatabase db(QStringLiteral("db.mdb"), kNotebookPassword, TSqlDatabase::OpenMode::MustExist);
    QStringList categories;
    for (const SeedEntry& e : entries)
      if (!categories.contains(QString::fromUtf8(e.category))) categories << QString::fromUtf8(e.category);
    categories << extraCategories;
    for (const QString& c : categories) {
      TSqlStatement add = db.Prepare(QStringLiteral("INSERT INTO kategorije (Category) VALUES (?)"));
      add.Bind(1, c);
      add.Step();
    }
    for (const SeedEntry& e : entries) {
      TSqlStatement add = db.Prepare(
          QStringLiteral("INSERT INTO notes (Title, Body, Entered, Cat_id, Favorite) VALUES (?, ?, ?, ?, ?)"));
      add.Bind(1, e.title ? QVariant(QString::fromUtf8(e.title)) : QVariant());
      add.Bind(2, e.body ? QVariant(QString::fromUtf8(e.body)) : QVariant());
      add.Bind(3, QString::fromUtf8(e.entered));
      add.Bind(4, categories.indexOf(QString::fromUtf8(e.category)) + 1);
      add.Bind(5, e.favourite ? 1 : 0);
      add.Step();
    }
  }

  // Closes the main window as the user does (the settings are saved) and
  // frees it (opt.ini is written).
  void CloseWindow() {
    if (!Form1) return;
    Form1->Close();
    delete Form1;
    Form1 = nullptr;
  }
  // Opens the main window again, as a new start of the program does; with
  // `settingsFile`, opt.ini holds those bytes when it opens.
  void Restart(const std::optional<QByteArray>& settingsFile = std::nullopt) {
    CloseWindow();
    if (settingsFile) WriteFile(QStringLiteral("opt.ini"), *settingsFile);
    host.Clear();
    Application->CreateForm(Form1);
  }
  void WriteFile(const QString& name, const QByteArray& bytes) {
    QFile f(QDir(folder.path()).filePath(name));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
  }
  QByteArray ReadFile(const QString& name) const {
    QFile f(QDir(folder.path()).filePath(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }

  // One value of an entry as the notebook holds it now, read on a connection
  // of its own.
  QVariant Stored(const QString& field, const QString& title) const {
    TSqlDatabase db(QDir(folder.path()).filePath(QStringLiteral("db.mdb")), kNotebookPassword,
                    TSqlDatabase::OpenMode::MustExist);
    TSqlStatement q = db.Prepare(QStringLiteral("SELECT %1 FROM notes WHERE Title = ?").arg(field));
    q.Bind(1, title);
    return q.Step() ? q.Column(0) : QVariant();
  }

  // Runs a handler as the toolkit does: an error is shown, not thrown.
  static void AsUser(const std::function<void()>& action) { Dispatch(action); }
  // Picks the category `name` in a chooser, as the user does with the mouse.
  static void Choose(TDBLookupComboBox* chooser, const QString& name);
  // Opens a chooser's list and closes it again without picking.
  static void OpenAndDismiss(TDBLookupComboBox* chooser);
  // Every title of a list, in its order.
  static QStringList Titles(TDataSet* list);

  TestModalHost host;
  QTemporaryDir folder;
  QString previous;
};
