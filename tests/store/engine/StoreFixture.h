// A fresh notebook in a folder of its own, made the working directory (the
// connection string names the file relative to it), with the connection the
// main window uses.
#pragma once

#include "ADODB.h"
#include "Notebook.h"
#include "TestModalHost.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

// The main window's connection string, exactly.
inline const QString kFormConnectionString = QStringLiteral(
    "Provider=Microsoft.Jet.OLEDB.4.0;User ID=Admin;Data Source=.\\db.mdb;Mode=Share Deny None;Extended "
    "Properties=\"\";"
    "Jet OLEDB:System database=\"\";Jet OLEDB:Registry Path=\"\";Jet OLEDB:Database Password=lavandula;"
    "Jet OLEDB:Engine Type=5;Jet OLEDB:Database Locking Mode=1;Jet OLEDB:Global Partial Bulk Ops=2;"
    "Jet OLEDB:Global Bulk Transactions=1;Jet OLEDB:New Database Password=\"\";Jet OLEDB:Create System Database=False;"
    "Jet OLEDB:Encrypt Database=False;Jet OLEDB:Don't Copy Locale on Compact=False;"
    "Jet OLEDB:Compact Without Replica Repair=False;Jet OLEDB:SFP=False");

class StoreTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(folder.isValid());
    previous = QDir::currentPath();
    QDir::setCurrent(folder.path());
    CreateNotebook(File());
    connection = new TADOConnection(&owner);
    connection->SetName(QStringLiteral("ADOConnection1"));
    connection->SetLoginPrompt(false);
    connection->SetMode(cmShareDenyNone);
    connection->SetConnectionString(kFormConnectionString);
    connection->Open();
  }
  void TearDown() override { QDir::setCurrent(previous); }

  QString File() const { return folder.filePath(QStringLiteral("db.mdb")); }

  // A table dataset owned by the test.
  TADOTable* Table(const QString& name, const QString& table) {
    auto* t = new TADOTable(&owner);
    t->SetName(name);
    t->SetConnection(connection);
    t->SetCursorType(ctStatic);
    t->SetTableName(table);
    return t;
  }
  TADOQuery* Query(const QString& name) {
    auto* q = new TADOQuery(&owner);
    q->SetName(name);
    q->SetConnection(connection);
    q->SetCursorType(ctStatic);
    return q;
  }
  // Runs a query text the way the windows do: close, clear, one line, open.
  static void Run(TADOQuery* q, const QString& text) {
    q->Close();
    q->SQL()->Clear();
    q->SQL()->Add(text);
    q->Open();
  }
  qint64 AddCategory(const QString& name) {
    TADOTable* t = Table(QStringLiteral("AddCat%1").arg(++made), QStringLiteral("kategorije"));
    t->Open();
    t->Append();
    t->FieldByName(QStringLiteral("Category"))->SetAsString(name);
    t->Post();
    const qint64 id = t->FieldByName(QStringLiteral("ID"))->AsInteger();
    delete t;
    return id;
  }
  void AddEntry(qint64 category, const QString& title, const QString& body, bool favorite = false) {
    TADOTable* t = Table(QStringLiteral("AddNote%1").arg(++made), QStringLiteral("notes"));
    t->Open();
    t->Append();
    t->FieldByName(QStringLiteral("Title"))->SetAsString(title);
    t->FieldByName(QStringLiteral("Body"))->SetAsString(body);
    t->FieldByName(QStringLiteral("Entered"))->SetAsDate(QDate::currentDate());
    t->FieldByName(QStringLiteral("Cat_id"))->SetAsInteger(category);
    t->FieldByName(QStringLiteral("Favorite"))->SetAsInteger(favorite ? 1 : 0);
    t->Post();
    delete t;
  }
  static QStringList Titles(TDataSet* d) {
    QStringList out;
    if (!d->Active()) return out;
    const int keep = d->RecNo();
    d->First();
    while (!d->Eof()) {
      out << d->FieldByName(QStringLiteral("Title"))->AsString();
      d->Next();
    }
    if (keep > 0) d->SetRecNo(keep);
    return out;
  }

  TestModalHost host;
  QTemporaryDir folder;
  QString previous;
  TComponent owner;
  TADOConnection* connection = nullptr;  // owned by `owner`
  int made = 0;
};
