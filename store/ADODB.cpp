#include "ADODB.h"
#include "DBCtrls.h"
#include "DBGrids.h"

#include "Definition.h"
#include "Dispatch.h"
#include "JetSql.h"

#include <QDir>
#include <QRegularExpression>

#include <algorithm>

namespace {

const QString kJetProvider = QStringLiteral("Microsoft.Jet.OLEDB.4.0");
const QString kKeyColumn = QStringLiteral("__rowid");

TFieldType FieldTypeOf(const QString& declType, const QVariant& sample) {
  const QString t = declType.toUpper();
  if (t.contains(QLatin1String("INT"))) return ftInteger;
  if (t.contains(QLatin1String("DATE")) || t.contains(QLatin1String("TIME"))) return ftDateTime;
  if (t.contains(QLatin1String("MEMO")) || t.contains(QLatin1String("LONG"))) return ftMemo;
  if (t.contains(QLatin1String("CHAR")) || t.contains(QLatin1String("TEXT")) || t.contains(QLatin1String("CLOB")))
    return ftString;
  if (t.contains(QLatin1String("REAL")) || t.contains(QLatin1String("FLOA")) || t.contains(QLatin1String("DOUB")) ||
      t.contains(QLatin1String("NUM")) || t.contains(QLatin1String("CURR")))
    return ftFloat;
  if (t.contains(QLatin1String("BOOL")) || t.contains(QLatin1String("BIT")) || t.contains(QLatin1String("YESNO")))
    return ftBoolean;
  switch (sample.metaType().id()) {
    case QMetaType::LongLong: return ftInteger;
    case QMetaType::Double: return ftFloat;
    default: return ftString;
  }
}

QString QuoteName(const QString& name) {
  QString n = name;
  n.replace(QLatin1Char('"'), QStringLiteral("\"\""));
  return QLatin1Char('"') + n + QLatin1Char('"');
}

// "select * from notes ..." names the one table whose rows it returns whole.
QString SingleTableOf(const QString& sql) {
  static const QRegularExpression re(
      QStringLiteral(R"(^\s*select\s+\*\s+from\s+(\[[^\]]+\]|"[^"]+"|[A-Za-z_][A-Za-z0-9_]*)(?=\s|$|;))"),
      QRegularExpression::CaseInsensitiveOption);
  const auto m = re.match(sql);
  if (!m.hasMatch()) return QString();
  QString t = m.captured(1);
  if (t.startsWith(QLatin1Char('[')) || t.startsWith(QLatin1Char('"'))) t = t.mid(1, t.size() - 2);
  return t;
}

// A Jet text in the engine's dialect, and the table whose rows it returns
// whole (empty when it is no such query). The row's own key comes along
// with those rows, so that a row can be found again.
struct TEngineQuery {
  QString sql;
  QString table;
};

std::function<void(TCustomADODataSet&)>& PostWrittenHook() {
  static std::function<void(TCustomADODataSet&)> hook;
  return hook;
}

TEngineQuery ToEngineQuery(const QString& jet) {
  TEngineQuery q{TranslateJetSql(jet), QString()};
  q.table = SingleTableOf(q.sql);
  if (!q.table.isEmpty())
    q.sql.replace(q.sql.indexOf(QLatin1Char('*')), 1,
                  QStringLiteral("%1.rowid AS %2, *").arg(QuoteName(q.table), kKeyColumn));
  return q;
}

}  // namespace

std::map<QString, QString> ParseConnectionString(const QString& text) {
  std::map<QString, QString> items;
  qsizetype i = 0;
  const qsizetype n = text.size();
  while (i < n) {
    const qsizetype eq = text.indexOf(QLatin1Char('='), i);
    if (eq < 0) break;
    const QString key = text.mid(i, eq - i).trimmed().toLower();
    i = eq + 1;
    QString value;
    if (i < n && text[i] == QLatin1Char('"')) {
      ++i;
      while (i < n) {
        if (text[i] == QLatin1Char('"')) {
          if (i + 1 < n && text[i + 1] == QLatin1Char('"')) {
            value += QLatin1Char('"');
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        value += text[i++];
      }
      while (i < n && text[i] != QLatin1Char(';')) ++i;
    } else {
      const qsizetype semi = text.indexOf(QLatin1Char(';'), i);
      const qsizetype end = semi < 0 ? n : semi;
      value = text.mid(i, end - i).trimmed();
      i = end;
    }
    if (i < n && text[i] == QLatin1Char(';')) ++i;
    if (!key.isEmpty()) items[key] = value;
  }
  return items;
}

// ---------------------------------------------------------------- TADOConnection

TADOConnection::TADOConnection(TComponent* owner) : TComponent(owner) {}

TADOConnection::~TADOConnection() {
  const auto sets = FDataSets;
  for (TCustomADODataSet* d : sets) d->SetConnection(nullptr);
}

void TADOConnection::SetConnected(bool connected) {
  if (Loading()) {
    FConnectAfterLoad = connected;
    return;
  }
  if (connected == Connected()) return;
  if (!connected) {
    for (TCustomADODataSet* d : std::vector<TCustomADODataSet*>(FDataSets)) d->Close();
    FDatabase.reset();
    return;
  }
  if (!Provider().startsWith(QLatin1String("Microsoft.Jet.OLEDB."), Qt::CaseInsensitive))
    throw EDatabaseError(QStringLiteral("Provider cannot be found. It may not be properly installed."));
  const auto items = ParseConnectionString(FConnectionString);
  auto password = items.find(QStringLiteral("jet oledb:database password"));
  FDatabase = std::make_unique<TSqlDatabase>(FileName(), password == items.end() ? QString() : password->second,
                                             TSqlDatabase::OpenMode::MustExist);
}

void TADOConnection::Loaded() {
  TComponent::Loaded();
  if (FConnectAfterLoad) {
    FConnectAfterLoad = false;
    // The window opens without data when the notebook cannot be opened.
    FFailedWhileLoading = !Dispatch([this] { SetConnected(true); });
  }
}

QString TADOConnection::ConnectionString() const {
  if (!Connected()) return FConnectionString;
  const auto items = ParseConnectionString(FConnectionString);
  if (items.count(QStringLiteral("password"))) return FConnectionString;
  static const QRegularExpression provider(QStringLiteral(R"(^\s*Provider\s*=[^;]*;)"),
                                           QRegularExpression::CaseInsensitiveOption);
  const auto m = provider.match(FConnectionString);
  if (!m.hasMatch()) return QStringLiteral("Password=\"\";") + FConnectionString;
  QString s = FConnectionString;
  s.insert(m.capturedEnd(0), QStringLiteral("Password=\"\";"));
  return s;
}

void TADOConnection::SetConnectionString(const QString& text) {
  if (text == FConnectionString) return;
  if (Connected()) {
    // The reported form names the same connection: nothing changes.
    auto a = ParseConnectionString(text), b = ParseConnectionString(FConnectionString);
    a.erase(QStringLiteral("password"));
    b.erase(QStringLiteral("password"));
    if (a == b) return;
    Close();
  }
  FConnectionString = text;
}

QString TADOConnection::Provider() const {
  const auto items = ParseConnectionString(FConnectionString);
  auto it = items.find(QStringLiteral("provider"));
  if (it != items.end() && !it->second.isEmpty()) return it->second;
  return FProvider.isEmpty() ? QStringLiteral("MSDASQL.1") : FProvider;
}

void TADOConnection::SetProvider(const QString& provider) {
  FProvider = provider;
  static const QRegularExpression item(QStringLiteral(R"(^\s*Provider\s*=[^;]*)"),
                                       QRegularExpression::CaseInsensitiveOption);
  const auto m = item.match(FConnectionString);
  if (m.hasMatch()) {
    const QString current = ParseConnectionString(FConnectionString)[QStringLiteral("provider")];
    if (current == provider) return;
    if (Connected()) Close();
    FConnectionString.replace(m.capturedStart(0), m.capturedLength(0), QStringLiteral("Provider=") + provider);
  }
}

TSqlDatabase& TADOConnection::Database() const {
  if (!FDatabase) throw EDatabaseError(QStringLiteral("%1: Connection is not open").arg(Name()));
  return *FDatabase;
}

QString TADOConnection::FileName() const {
  const auto items = ParseConnectionString(FConnectionString);
  auto it = items.find(QStringLiteral("data source"));
  QString path = it == items.end() ? QString() : it->second;
  path.replace(QLatin1Char('\\'), QLatin1Char('/'));
  if (path.isEmpty()) return QString();
  return QDir::cleanPath(QDir::current().absoluteFilePath(path));
}

void TADOConnection::RegisterDataSet(TCustomADODataSet* dataSet) {
  if (std::find(FDataSets.begin(), FDataSets.end(), dataSet) == FDataSets.end()) FDataSets.push_back(dataSet);
}

void TADOConnection::UnregisterDataSet(TCustomADODataSet* dataSet) {
  FDataSets.erase(std::remove(FDataSets.begin(), FDataSets.end(), dataSet), FDataSets.end());
}

// ---------------------------------------------------------------- TCustomADODataSet

TCustomADODataSet::TCustomADODataSet(TComponent* owner) : TDataSet(owner) {}

TCustomADODataSet::~TCustomADODataSet() {
  // Closing tells the bound controls; an error there is shown, never thrown
  // out of a destructor.
  try {
    SetConnection(nullptr);
  } catch (...) {
    HandleCurrentException();
  }
}

void TCustomADODataSet::SetConnection(TADOConnection* connection) {
  if (connection == FConnection) return;
  if (Active()) Close();
  if (FConnection) {
    FConnection->UnregisterDataSet(this);
    FConnection->RemoveFreeNotification(this);
  }
  FConnection = connection;
  if (connection) {
    connection->RegisterDataSet(this);
    connection->FreeNotification(this);
  }
}

void TCustomADODataSet::Notification(TComponent* component, TOperation operation) {
  TDataSet::Notification(component, operation);
  if (operation == TOperation::opRemove && component == FConnection) {
    FConnection = nullptr;
    if (Active()) Close();
  }
}

void TCustomADODataSet::Loaded() {
  if (FOpenAfterLoad && FConnection && FConnection->FailedWhileLoading()) FOpenAfterLoad = false;
  TDataSet::Loaded();
}

void TCustomADODataSet::SetFilter(const QString& v) {
  if (v == FFilter) return;
  FFilter = v;
  if (FFiltered) Reopen();
}

void TCustomADODataSet::SetFiltered(bool v) {
  if (v == FFiltered) return;
  FFiltered = v;
  if (!FFilter.isEmpty()) Reopen();
}

void TCustomADODataSet::Reopen() {
  if (!Active()) return;
  Close();
  Open();
}

QString TCustomADODataSet::EngineSql() const { return ToEngineQuery(SelectSql()).sql; }

void TCustomADODataSet::InternalOpen(std::vector<TColumn>& columns, std::vector<TRow>& rows) {
  if (!FConnection) throw EDatabaseError(QStringLiteral("%1: Missing Connection or ConnectionString").arg(Name()));
  // Opening a dataset opens its connection.
  if (!FConnection->Connected()) FConnection->Open();
  TSqlDatabase& db = FConnection->Database();
  const QString jet = SelectSql();
  if (jet.trimmed().isEmpty())
    throw EDatabaseError(QStringLiteral("%1: CommandText does not return a result set").arg(Name()));
  const auto [sql, table] = ToEngineQuery(jet);
  TSqlStatement st = db.Prepare(sql);
  const int n = st.ColumnCount();
  int keyColumn = -1;
  std::vector<int> map;
  std::vector<QString> declTypes;
  for (int i = 0; i < n; ++i) {
    if (keyColumn < 0 && !table.isEmpty() && st.ColumnName(i) == kKeyColumn) {
      keyColumn = i;
      continue;
    }
    map.push_back(i);
    declTypes.push_back(st.ColumnDeclType(i));
  }
  bool typed = false;
  while (st.Step()) {
    TRow row;
    if (keyColumn >= 0) row.key = st.Column(keyColumn).toLongLong();
    row.values.reserve(map.size());
    for (int c : map) row.values.push_back(st.Column(c));
    if (!typed) {
      for (size_t i = 0; i < map.size(); ++i)
        columns.push_back({st.ColumnName(map[i]), FieldTypeOf(declTypes[i], row.values[i])});
      typed = true;
    }
    rows.push_back(std::move(row));
  }
  if (!typed)
    for (size_t i = 0; i < map.size(); ++i)
      columns.push_back({st.ColumnName(map[i]), FieldTypeOf(declTypes[i], QVariant())});
  // Only a complete read replaces what the dataset knows of its columns: a
  // failed one leaves an open dataset as it was.
  FColumnNames.clear();
  for (const TColumn& c : columns) FColumnNames.push_back(c.name);
  FUpdateTable = keyColumn >= 0 ? table : QString();
}

void TCustomADODataSet::InternalPost(TRow& row, bool inserting, const std::vector<bool>& changed) {
  if (FUpdateTable.isEmpty())
    throw EDatabaseError(
        QStringLiteral("%1: Insufficient key column information for updating or refreshing.").arg(Name()));
  TSqlDatabase& db = FConnection->Database();
  // Writing the row and reading it back are one transaction: when either
  // fails nothing is stored and the row stays pending, so the user's retry
  // stores it once; when Post returns, the row is there.
  TSqlTransaction transaction(db);
  QStringList names;
  std::vector<QVariant> values;
  for (size_t i = 0; i < changed.size(); ++i)
    if (changed[i]) {
      names << QuoteName(FColumnNames[i]);
      values.push_back(row.values[i]);
    }
  if (inserting) {
    QString sql;
    if (names.isEmpty()) {
      sql = QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(QuoteName(FUpdateTable));
    } else {
      QStringList marks;
      for (qsizetype i = 0; i < names.size(); ++i) marks << QStringLiteral("?");
      sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                .arg(QuoteName(FUpdateTable), names.join(QStringLiteral(", ")), marks.join(QStringLiteral(", ")));
    }
    TSqlStatement st = db.Prepare(sql);
    for (size_t i = 0; i < values.size(); ++i) st.Bind(static_cast<int>(i) + 1, values[i]);
    st.Step();
    row.key = db.LastInsertRowId();
  } else {
    if (names.isEmpty()) return;
    QStringList sets;
    for (const QString& n : names) sets << n + QStringLiteral(" = ?");
    TSqlStatement st = db.Prepare(QStringLiteral("UPDATE %1 SET %2 WHERE rowid = ?")
                                      .arg(QuoteName(FUpdateTable), sets.join(QStringLiteral(", "))));
    int k = 1;
    for (const QVariant& v : values) st.Bind(k++, v);
    st.Bind(k, QVariant(row.key));
    st.Step();
    if (db.Changes() == 0)
      throw EDatabaseError(QStringLiteral(
          "Row cannot be located for updating. Some values may have been changed since it was last read."));
  }
  if (PostWrittenHook()) PostWrittenHook()(*this);
  Reread(row);
  transaction.Commit();
}

void TCustomADODataSet::Reread(TRow& row) {
  TSqlDatabase& db = FConnection->Database();
  TSqlStatement st = db.Prepare(QStringLiteral("SELECT * FROM %1 WHERE rowid = ?").arg(QuoteName(FUpdateTable)));
  st.Bind(1, QVariant(row.key));
  if (!st.Step()) return;
  for (int c = 0; c < st.ColumnCount(); ++c) {
    const QString name = st.ColumnName(c);
    for (size_t i = 0; i < FColumnNames.size(); ++i)
      if (FColumnNames[i] == name) row.values[i] = st.Column(c);
  }
}

void TCustomADODataSet::InternalDelete(const TRow& row) {
  if (FUpdateTable.isEmpty())
    throw EDatabaseError(
        QStringLiteral("%1: Insufficient key column information for updating or refreshing.").arg(Name()));
  TSqlDatabase& db = FConnection->Database();
  TSqlStatement st = db.Prepare(QStringLiteral("DELETE FROM %1 WHERE rowid = ?").arg(QuoteName(FUpdateTable)));
  st.Bind(1, QVariant(row.key));
  st.Step();
  if (db.Changes() == 0)
    throw EDatabaseError(QStringLiteral(
        "Row cannot be located for deleting. Some values may have been changed since it was last read."));
}

// ---------------------------------------------------------------- TADOTable

void TADOTable::SetIndexFieldNames(const QString& v) {
  if (v == FIndexFieldNames) return;
  FIndexFieldNames = v;
  Reopen();
}

void TADOTable::SetTableName(const QString& v) {
  if (v == FTableName) return;
  if (Active()) Close();
  FTableName = v;
}

QString TADOTable::SelectSql() const {
  if (FTableName.isEmpty()) return QString();
  QString sql = QStringLiteral("select * from [%1]").arg(FTableName);
  if (Filtered() && !Filter().trimmed().isEmpty()) sql += QStringLiteral(" where ") + Filter();
  if (!FIndexFieldNames.trimmed().isEmpty()) {
    QStringList order;
    for (const QString& f : FIndexFieldNames.split(QLatin1Char(';'), Qt::SkipEmptyParts))
      order << QStringLiteral("[%1]").arg(f.trimmed());
    sql += QStringLiteral(" order by ") + order.join(QStringLiteral(", "));
  }
  return sql;
}

// ---------------------------------------------------------------- TADOQuery

TADOQuery::TADOQuery(TComponent* owner) : TCustomADODataSet(owner), FSQL(std::make_unique<TStringList>()) {
  FSQL->OnChange = [this] {
    if (Active()) Close();
  };
}

TADOQuery::~TADOQuery() { FSQL->OnChange = nullptr; }

void TADOQuery::SetSQL(TStrings* sql) {
  if (sql) FSQL->Assign(sql);
}

QString TADOQuery::SelectSql() const { return FSQL->ToList().join(QLatin1Char(' ')); }

void SetPostWrittenHook(std::function<void(TCustomADODataSet&)> hook) { PostWrittenHook() = std::move(hook); }

void RegisterStoreClasses() {
  RegisterComponentClass<TADOConnection>();
  RegisterComponentClass<TADOTable>();
  RegisterComponentClass<TADOQuery>();
  RegisterComponentClass<TDataSource>();
  RegisterComponentClass<TDBEdit>();
  RegisterComponentClass<TDBText>();
  RegisterComponentClass<TDBMemo>();
  RegisterComponentClass<TDBLookupComboBox>();
  RegisterComponentClass<TDBLookupListBox>();
  RegisterComponentClass<TDBGrid>();
  RegisterComponentClass<TDBNavigator>();
}
