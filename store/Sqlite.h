// Thin RAII wrappers over SQLCipher's C API: a connection to one
// password-protected file and its prepared statements. Every failure becomes
// an EDatabaseError carrying the engine's text and the file's path.
#pragma once

#include "Exceptions.h"

#include <QString>
#include <QVariant>

struct sqlite3;
struct sqlite3_stmt;

// A failure of the notes database: the engine's message, or ours for a file
// that is missing, locked with another password or not a notebook.
class EDatabaseError : public Exception {
  using Exception::Exception;
};

class TSqlStatement;

class TSqlDatabase {
public:
  // ReadOnly opens a file that must exist and never writes to it.
  enum class OpenMode { MustExist, Create, ReadOnly };

  // Opens (or creates) the file and unlocks it with the password. Raises
  // EDatabaseError with a message that tells a missing file, a wrong password
  // and a file that is no database apart, naming the file.
  TSqlDatabase(const QString& path, const QString& password, OpenMode mode);
  ~TSqlDatabase();
  TSqlDatabase(const TSqlDatabase&) = delete;
  TSqlDatabase& operator=(const TSqlDatabase&) = delete;

  const QString& Path() const { return FPath; }
  sqlite3* Handle() const { return FDb; }
  void Exec(const QString& sql);
  TSqlStatement Prepare(const QString& sql);
  qint64 LastInsertRowId() const;
  int Changes() const;
  // Raises EDatabaseError for a failed result code.
  void Check(int rc) const;
  QString ErrorText() const;
  // The error for a failure the engine describes, naming the file.
  EDatabaseError Failure(const QString& engineText) const;

private:
  QString FPath;
  sqlite3* FDb = nullptr;
};

class TSqlStatement {
public:
  TSqlStatement(TSqlDatabase& db, sqlite3_stmt* stmt) : FDb(&db), FStmt(stmt) {}
  TSqlStatement(TSqlStatement&& other) noexcept : FDb(other.FDb), FStmt(other.FStmt) { other.FStmt = nullptr; }
  TSqlStatement& operator=(TSqlStatement&&) = delete;
  ~TSqlStatement();

  // Binds by position, from 1: null, integers, floats and text.
  void Bind(int index, const QVariant& value);
  // Steps once; true while there is a row.
  bool Step();
  void Reset();
  int ColumnCount() const;
  QString ColumnName(int i) const;
  // The declared type of the column's source, uppercased; empty for an expression.
  QString ColumnDeclType(int i) const;
  // The value of column i of the current row: null, qint64, double or QString.
  QVariant Column(int i) const;

private:
  TSqlDatabase* FDb;
  sqlite3_stmt* FStmt;
};

// A write transaction on a connection, taken at once ("BEGIN IMMEDIATE") and
// rolled back unless committed. Inside a transaction already open on the
// connection it joins that one.
class TSqlTransaction {
public:
  explicit TSqlTransaction(TSqlDatabase& db);
  ~TSqlTransaction();
  TSqlTransaction(const TSqlTransaction&) = delete;
  TSqlTransaction& operator=(const TSqlTransaction&) = delete;
  void Commit();

private:
  TSqlDatabase& FDb;
  bool FOpen = false;
};

// A password as the engine's key text (quoted for the key pragma).
QString QuoteSqlText(const QString& text);
