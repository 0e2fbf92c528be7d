#include "Sqlite.h"

#include "JetSql.h"

#include <QFile>
#include <QFileInfo>

#include <openssl/evp.h>
#include <openssl/hmac.h>
#include <sqlite3.h>

#include <array>

namespace {

constexpr int kBusyTimeoutMs = 5000;
const char kPlainHeader[] = "SQLite format 3";

// Whether the engine's failure to read the file means a wrong password: an
// encrypted notebook is whole pages of what looks like random bytes (a
// first page of text or of a plain database does not).
bool LooksEncrypted(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return false;
  const qint64 size = f.size();
  const QByteArray page = f.read(1024);
  if (size < 1024 || size % 512 != 0 || page.startsWith(kPlainHeader)) return false;
  bool seen[256] = {};
  int distinct = 0;
  for (char c : page)
    if (!seen[static_cast<unsigned char>(c)]) {
      seen[static_cast<unsigned char>(c)] = true;
      ++distinct;
    }
  // 1024 random bytes hold about 250 distinct values; text holds under 100.
  return distinct >= 200;
}

// Whether the password's key opens a page of the file other than the first: then a first page that does not open is
// damaged, not locked with another password. The key's derivation takes its salt from the first 16 bytes of the
// file, so damage there cannot be told from another password. SQLCipher 3 writes 1024-byte pages, each ending in a
// 16-byte IV and the SHA-1 HMAC of the page's encrypted bytes, its IV and its number (little-endian), in 48 reserved
// bytes. The key is PBKDF2-HMAC-SHA1 of the password (64,000 rounds), the HMAC key PBKDF2-HMAC-SHA1 of the key with the
// salt XOR 0x3a (2 rounds).
bool PasswordOpensLaterPages(const QString& path, const QString& password) {
  constexpr int kPage = 1024, kSalt = 16, kKey = 32, kReserve = 48, kIv = 16, kHmac = 20, kPagesTried = 4;
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return false;
  const QByteArray bytes = f.read(qint64(kPage) * (kPagesTried + 1));
  if (bytes.size() < 2 * kPage) return false;
  const QByteArray secret = password.toUtf8();
  std::array<unsigned char, kSalt> salt{};
  std::copy_n(reinterpret_cast<const unsigned char*>(bytes.constData()), kSalt, salt.begin());
  std::array<unsigned char, kKey> key{}, hmacKey{};
  if (!PKCS5_PBKDF2_HMAC_SHA1(secret.constData(), int(secret.size()), salt.data(), kSalt, 64000, kKey, key.data()))
    return false;
  for (unsigned char& b : salt) b ^= 0x3a;
  if (!PKCS5_PBKDF2_HMAC_SHA1(reinterpret_cast<const char*>(key.data()), kKey, salt.data(), kSalt, 2, kKey,
                              hmacKey.data()))
    return false;
  for (int page = 2; page <= kPagesTried + 1 && page * kPage <= bytes.size(); ++page) {
    QByteArray signedBytes = bytes.mid((page - 1) * kPage, kPage - kReserve + kIv);
    for (int shift = 0; shift < 32; shift += 8) signedBytes += char((page >> shift) & 0xFF);
    unsigned char mac[EVP_MAX_MD_SIZE];
    unsigned int macSize = 0;
    if (!HMAC(EVP_sha1(), hmacKey.data(), kKey, reinterpret_cast<const unsigned char*>(signedBytes.constData()),
              std::size_t(signedBytes.size()), mac, &macSize))
      return false;
    const QByteArray stored = bytes.mid((page - 1) * kPage + kPage - kReserve + kIv, kHmac);
    if (macSize == kHmac && stored == QByteArray(reinterpret_cast<const char*>(mac), kHmac)) return true;
  }
  return false;
}

// UTF-8 for the engine. Qt writes a lone UTF-16 surrogate as "?", which a search would then find as that character;
// the engine gets U+FFFD instead, the character that stands for one that cannot be written.
QByteArray EngineText(const QString& text) {
  QString checked;
  const qsizetype n = text.size();
  for (qsizetype i = 0; i < n; ++i) {
    const QChar c = text[i];
    if (!c.isSurrogate()) continue;
    if (c.isHighSurrogate() && i + 1 < n && text[i + 1].isLowSurrogate()) {
      ++i;
      continue;
    }
    if (checked.isNull()) checked = text;
    checked[i] = QChar(QChar::ReplacementCharacter);
  }
  return (checked.isNull() ? text : checked).toUtf8();
}

}  // namespace

QString QuoteSqlText(const QString& text) {
  QString t = text;
  t.replace(QLatin1Char('\''), QStringLiteral("''"));
  return QLatin1Char('\'') + t + QLatin1Char('\'');
}

TSqlDatabase::TSqlDatabase(const QString& path, const QString& password, OpenMode mode)
    : FPath(QFileInfo(path).absoluteFilePath()) {
  const QFileInfo info(FPath);
  if (mode != OpenMode::Create && !info.exists())
    throw EDatabaseError(QStringLiteral("The notebook %1 does not exist.").arg(FPath));
  if (mode != OpenMode::Create && !info.isFile())
    throw EDatabaseError(QStringLiteral("%1 is not a notebook: it is not a file.").arg(FPath));
  const int access = mode == OpenMode::ReadOnly ? SQLITE_OPEN_READONLY
                     : mode == OpenMode::Create ? SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE
                                                : SQLITE_OPEN_READWRITE;
  const int flags = access | SQLITE_OPEN_FULLMUTEX;
  const int rc = sqlite3_open_v2(QFile::encodeName(FPath).constData(), &FDb, flags, nullptr);
  if (rc != SQLITE_OK) {
    const QString why = FDb ? QString::fromUtf8(sqlite3_errmsg(FDb)) : QStringLiteral("out of memory");
    sqlite3_close(FDb);
    FDb = nullptr;
    throw EDatabaseError(QStringLiteral("The notebook %1 cannot be opened: %2").arg(FPath, why));
  }
  try {
    Exec(QStringLiteral("PRAGMA key = %1").arg(QuoteSqlText(password)));
    sqlite3_busy_timeout(FDb, kBusyTimeoutMs);
    // The key is only tried by the first read.
    const int probe = sqlite3_exec(FDb, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
    if (probe == SQLITE_NOTADB) {
      if (LooksEncrypted(FPath)) {
        if (PasswordOpensLaterPages(FPath, password))
          throw EDatabaseError(
              QStringLiteral("The notebook %1 is damaged: its first page does not read back.").arg(FPath));
        throw EDatabaseError(QStringLiteral("The notebook %1 is locked with another password.").arg(FPath));
      }
      throw EDatabaseError(QStringLiteral("%1 is not a notebook.").arg(FPath));
    }
    if (probe == SQLITE_CORRUPT)
      throw EDatabaseError(QStringLiteral("The notebook %1 is damaged: its list of tables does not read back (%2).")
                               .arg(FPath, ErrorText()));
    Check(probe);
    Exec(QStringLiteral("PRAGMA foreign_keys = ON"));
    Check(RegisterJetDialect(FDb));
  } catch (...) {
    sqlite3_close(FDb);
    FDb = nullptr;
    throw;
  }
}

TSqlDatabase::~TSqlDatabase() {
  if (FDb) sqlite3_close_v2(FDb);
}

QString TSqlDatabase::ErrorText() const { return QString::fromUtf8(sqlite3_errmsg(FDb)); }

EDatabaseError TSqlDatabase::Failure(const QString& engineText) const {
  return EDatabaseError(QStringLiteral("%1 (notebook %2)").arg(engineText, FPath));
}

void TSqlDatabase::Check(int rc) const {
  if (rc == SQLITE_OK || rc == SQLITE_ROW || rc == SQLITE_DONE) return;
  throw Failure(ErrorText());
}

void TSqlDatabase::Exec(const QString& sql) {
  char* err = nullptr;
  const int rc = sqlite3_exec(FDb, EngineText(sql).constData(), nullptr, nullptr, &err);
  if (rc != SQLITE_OK) {
    const QString text = err ? QString::fromUtf8(err) : ErrorText();
    sqlite3_free(err);
    throw Failure(text);
  }
}

TSqlStatement TSqlDatabase::Prepare(const QString& sql) {
  sqlite3_stmt* stmt = nullptr;
  const QByteArray utf8 = EngineText(sql);
  Check(sqlite3_prepare_v2(FDb, utf8.constData(), static_cast<int>(utf8.size()), &stmt, nullptr));
  if (!stmt) throw EDatabaseError(QStringLiteral("The query text holds no statement."));
  return TSqlStatement(*this, stmt);
}

qint64 TSqlDatabase::LastInsertRowId() const { return sqlite3_last_insert_rowid(FDb); }

int TSqlDatabase::Changes() const { return sqlite3_changes(FDb); }

TSqlTransaction::TSqlTransaction(TSqlDatabase& db) : FDb(db) {
  if (!sqlite3_get_autocommit(db.Handle())) return;
  db.Exec(QStringLiteral("BEGIN IMMEDIATE"));
  FOpen = true;
}

TSqlTransaction::~TSqlTransaction() {
  // A failed COMMIT (another connection still reading) leaves the transaction open: it goes back too.
  if (FOpen && !sqlite3_get_autocommit(FDb.Handle())) sqlite3_exec(FDb.Handle(), "ROLLBACK", nullptr, nullptr, nullptr);
}

void TSqlTransaction::Commit() {
  if (!FOpen) return;
  FDb.Exec(QStringLiteral("COMMIT"));
  FOpen = false;
}

TSqlStatement::~TSqlStatement() {
  if (FStmt) sqlite3_finalize(FStmt);
}

void TSqlStatement::Bind(int index, const QVariant& value) {
  int rc = SQLITE_OK;
  if (!value.isValid() || value.isNull()) {
    rc = sqlite3_bind_null(FStmt, index);
  } else {
    switch (value.metaType().id()) {
      case QMetaType::Bool:
      case QMetaType::Int:
      case QMetaType::UInt:
      case QMetaType::LongLong:
      case QMetaType::ULongLong: rc = sqlite3_bind_int64(FStmt, index, value.toLongLong()); break;
      case QMetaType::Double:
      case QMetaType::Float: rc = sqlite3_bind_double(FStmt, index, value.toDouble()); break;
      default: {
        const QByteArray utf8 = EngineText(value.toString());
        rc = sqlite3_bind_text(FStmt, index, utf8.constData(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT);
        break;
      }
    }
  }
  FDb->Check(rc);
}

bool TSqlStatement::Step() {
  const int rc = sqlite3_step(FStmt);
  if (rc == SQLITE_ROW) return true;
  if (rc == SQLITE_DONE) return false;
  const EDatabaseError failure = FDb->Failure(FDb->ErrorText());
  sqlite3_reset(FStmt);
  throw failure;
}

void TSqlStatement::Reset() {
  sqlite3_reset(FStmt);
  sqlite3_clear_bindings(FStmt);
}

int TSqlStatement::ColumnCount() const { return sqlite3_column_count(FStmt); }

QString TSqlStatement::ColumnName(int i) const { return QString::fromUtf8(sqlite3_column_name(FStmt, i)); }

QString TSqlStatement::ColumnDeclType(int i) const {
  const char* t = sqlite3_column_decltype(FStmt, i);
  return t ? QString::fromUtf8(t).toUpper() : QString();
}

QVariant TSqlStatement::Column(int i) const {
  switch (sqlite3_column_type(FStmt, i)) {
    case SQLITE_INTEGER: return QVariant(static_cast<qint64>(sqlite3_column_int64(FStmt, i)));
    case SQLITE_FLOAT: return QVariant(sqlite3_column_double(FStmt, i));
    case SQLITE_NULL: return QVariant();
    default: {
      const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(FStmt, i));
      return QVariant(QString::fromUtf8(text, sqlite3_column_bytes(FStmt, i)));
    }
  }
}
