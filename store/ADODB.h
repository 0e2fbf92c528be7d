// The database engine interface the windows configure in their definitions:
// one connection to the notebook file, table and query datasets over it.
// Our engine is SQLCipher; the query texts are Jet SQL.
#pragma once

#include "Classes.h"
#include "DB.h"

#include <QObject>
#include <QString>

#include <functional>
#include <map>
#include <memory>
#include <vector>

namespace Ado {
Q_NAMESPACE
enum TConnectMode {
  cmUnknown,
  cmRead,
  cmWrite,
  cmReadWrite,
  cmShareDenyRead,
  cmShareDenyWrite,
  cmShareExclusive,
  cmShareDenyNone
};
Q_ENUM_NS(TConnectMode)
// Every kind behaves as a static cursor: rows as they were at open.
enum TCursorType { ctUnspecified, ctOpenForwardOnly, ctKeyset, ctDynamic, ctStatic };
Q_ENUM_NS(TCursorType)
}  // namespace Ado

// Named unqualified everywhere; the namespace exists for the meta-object system.
using Ado::TConnectMode;
using enum Ado::TConnectMode;
using Ado::TCursorType;
using enum Ado::TCursorType;

// The items of a connection string ("Key=Value;..."), keys compared ignoring
// case, values with their enclosing double quotes removed.
std::map<QString, QString> ParseConnectionString(const QString& text);

class TCustomADODataSet;

// The connection to the notebook: the file named by "Data Source" (taken
// against the working directory; \ and / both separate folders), unlocked
// with "Jet OLEDB:Database Password".
class TADOConnection : public TComponent {
  Q_OBJECT
  Q_PROPERTY(bool Connected READ Connected WRITE SetConnected)
  Q_PROPERTY(QString ConnectionString READ ConnectionString WRITE SetConnectionString)
  Q_PROPERTY(QString DefaultDatabase READ DefaultDatabase WRITE SetDefaultDatabase)
  Q_PROPERTY(bool KeepConnection READ KeepConnection WRITE SetKeepConnection)
  Q_PROPERTY(bool LoginPrompt READ LoginPrompt WRITE SetLoginPrompt)
  Q_PROPERTY(Ado::TConnectMode Mode READ Mode WRITE SetMode)
  Q_PROPERTY(QString Provider READ Provider WRITE SetProvider)
public:
  explicit TADOConnection(TComponent* owner = nullptr);
  ~TADOConnection() override;

  bool Connected() const { return FDatabase != nullptr; }
  void SetConnected(bool connected);
  void Open() { SetConnected(true); }
  void Close() { SetConnected(false); }
  // While connected, the string as the engine reports it: the one given, with
  // an empty Password item after the provider when it has none.
  QString ConnectionString() const;
  // Giving the connection the string it already has (in either form) leaves
  // it open; another string closes it.
  void SetConnectionString(const QString& text);
  QString DefaultDatabase() const { return FDefaultDatabase; }
  void SetDefaultDatabase(const QString& v) { FDefaultDatabase = v; }
  bool KeepConnection() const { return FKeepConnection; }
  void SetKeepConnection(bool v) { FKeepConnection = v; }
  bool LoginPrompt() const { return FLoginPrompt; }
  void SetLoginPrompt(bool v) { FLoginPrompt = v; }
  TConnectMode Mode() const { return FMode; }
  void SetMode(TConnectMode v) { FMode = v; }
  QString Provider() const;
  void SetProvider(const QString& provider);

  // The open file; raises EDatabaseError when the connection is closed.
  TSqlDatabase& Database() const;
  // The absolute path the connection string names.
  QString FileName() const;

  // Whether the connection asked for by the window definition could not be
  // made; the datasets then stay closed without a further message.
  bool FailedWhileLoading() const { return FFailedWhileLoading; }

  void RegisterDataSet(TCustomADODataSet* dataSet);
  void UnregisterDataSet(TCustomADODataSet* dataSet);

protected:
  void Loaded() override;

private:
  QString FConnectionString;
  QString FProvider;
  QString FDefaultDatabase;
  bool FKeepConnection = true;
  bool FLoginPrompt = true;
  TConnectMode FMode = cmUnknown;
  bool FConnectAfterLoad = false;
  bool FFailedWhileLoading = false;
  std::unique_ptr<TSqlDatabase> FDatabase;
  std::vector<TCustomADODataSet*> FDataSets;
};

// A dataset over the connection. Rows of a plain "select * from <table>"
// are updatable through it, each keyed by its row in that table.
class TCustomADODataSet : public TDataSet {
  Q_OBJECT
  Q_PROPERTY(bool Active READ Active WRITE SetActive)
  Q_PROPERTY(TADOConnection* Connection READ Connection WRITE SetConnection)
  Q_PROPERTY(QString ConnectionString READ ConnectionString WRITE SetConnectionString)
  Q_PROPERTY(Ado::TCursorType CursorType READ CursorType WRITE SetCursorType)
  Q_PROPERTY(QString Filter READ Filter WRITE SetFilter)
  Q_PROPERTY(bool Filtered READ Filtered WRITE SetFiltered)
public:
  explicit TCustomADODataSet(TComponent* owner = nullptr);
  ~TCustomADODataSet() override;

  TADOConnection* Connection() const { return FConnection; }
  void SetConnection(TADOConnection* connection);
  // A dataset of this system always uses its Connection; the text is kept.
  QString ConnectionString() const { return FConnectionString; }
  void SetConnectionString(const QString& v) { FConnectionString = v; }
  TCursorType CursorType() const { return FCursorType; }
  void SetCursorType(TCursorType v) { FCursorType = v; }
  QString Filter() const { return FFilter; }
  void SetFilter(const QString& v);
  bool Filtered() const { return FFiltered; }
  void SetFiltered(bool v);

  // The statement the dataset runs, in the engine's dialect.
  QString EngineSql() const;
  // The table whose rows can be changed through the dataset, or empty.
  QString UpdateTable() const { return FUpdateTable; }

protected:
  // The Jet text the dataset reads its rows with.
  virtual QString SelectSql() const = 0;
  void InternalOpen(std::vector<TColumn>& columns, std::vector<TRow>& rows) override;
  void InternalPost(TRow& row, bool inserting, const std::vector<bool>& changed) override;
  void InternalDelete(const TRow& row) override;
  void Loaded() override;
  void Notification(TComponent* component, TOperation operation) override;
  void Reopen();

private:
  void Reread(TRow& row);
  TADOConnection* FConnection = nullptr;
  QString FConnectionString;
  TCursorType FCursorType = ctUnspecified;
  QString FFilter;
  bool FFiltered = false;
  QString FUpdateTable;
  std::vector<QString> FColumnNames;
};

// All rows of one table, in the order the table keeps them.
class TADOTable : public TCustomADODataSet {
  Q_OBJECT
  Q_PROPERTY(QString IndexFieldNames READ IndexFieldNames WRITE SetIndexFieldNames)
  Q_PROPERTY(QString TableName READ TableName WRITE SetTableName)
public:
  explicit TADOTable(TComponent* owner = nullptr) : TCustomADODataSet(owner) {}
  QString IndexFieldNames() const { return FIndexFieldNames; }
  void SetIndexFieldNames(const QString& v);
  QString TableName() const { return FTableName; }
  void SetTableName(const QString& v);

protected:
  QString SelectSql() const override;

private:
  QString FIndexFieldNames;
  QString FTableName;
};

// The rows of a query text. Changing the text closes the query.
class TADOQuery : public TCustomADODataSet {
  Q_OBJECT
  Q_PROPERTY(TStrings* SQL READ SQL WRITE SetSQL)
public:
  explicit TADOQuery(TComponent* owner = nullptr);
  ~TADOQuery() override;
  TStrings* SQL() const { return FSQL.get(); }
  void SetSQL(TStrings* sql);

protected:
  QString SelectSql() const override;

private:
  std::unique_ptr<TStringList> FSQL;
};

// Called by every Post once the row is written and before it is read back, so
// that a test can act there as another connection would; empty by default.
void SetPostWrittenHook(std::function<void(TCustomADODataSet&)> hook);

// Registers the store's component classes for window definitions.
void RegisterStoreClasses();
