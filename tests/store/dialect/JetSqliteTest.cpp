// The Jet dialect end to end: translated texts run on an in-memory SQLite connection with the dialect installed.
#include "JetSql.h"

#include <QStringList>

#include <sqlite3.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace {

std::string U8(const QString& s) { return s.toStdString(); }

struct Note {
  int id;
  QString title;
  std::optional<QString> body;
  int category;
  int favorite;
};

class JetDialectOnSqlite : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_EQ(sqlite3_open(":memory:", &db_), SQLITE_OK);
    ASSERT_EQ(RegisterJetDialect(db_), SQLITE_OK);
    ASSERT_TRUE(Run("create table notes(id integer primary key, Title text, Body text, Entered text, Cat_id integer, "
                    "Favorite integer)")
                    .error.isEmpty());
  }

  void TearDown() override { sqlite3_close(db_); }

  struct Result {
    QString error;  // empty when the statement ran
    std::vector<QStringList> rows;
  };

  // Translates and runs one statement; the whole translated text must be read as that statement, so that nothing in
  // it can cut it short.
  Result Run(const QString& jet) {
    Result result;
    const QByteArray sql = TranslateJetSql(jet).toUtf8();
    sqlite3_stmt* stmt = nullptr;
    const char* tail = nullptr;
    if (sqlite3_prepare_v2(db_, sql.constData(), int(sql.size()), &stmt, &tail) != SQLITE_OK) {
      result.error = QString::fromUtf8(sqlite3_errmsg(db_));
      return result;
    }
    EXPECT_TRUE(QByteArray(tail, sql.constData() + sql.size() - tail).trimmed().isEmpty())
        << "statement ended early in: " << sql.constData();
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
      QStringList row;
      for (int c = 0; c < sqlite3_column_count(stmt); ++c) {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, c));
        row << (text ? QString::fromUtf8(text, sqlite3_column_bytes(stmt, c)) : QStringLiteral("NULL"));
      }
      result.rows.push_back(row);
    }
    if (rc != SQLITE_DONE) result.error = QString::fromUtf8(sqlite3_errmsg(db_));
    sqlite3_finalize(stmt);
    return result;
  }

  // The first column of every row, for a statement that must run.
  QStringList Column(const QString& jet) {
    const Result result = Run(jet);
    EXPECT_EQ(U8(result.error), "") << "running: " << U8(jet);
    QStringList values;
    for (const QStringList& row : result.rows) values << row.value(0);
    return values;
  }

  QString Value(const QString& jet) { return Column(jet).value(0); }

  void Insert(const Note& note) {
    sqlite3_stmt* stmt = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(
                  db_, "insert into notes(id, Title, Body, Entered, Cat_id, Favorite) values(?, ?, ?, ?, ?, ?)", -1,
                  &stmt, nullptr),
              SQLITE_OK);
    const QByteArray title = note.title.toUtf8();
    const QByteArray body = note.body.value_or(QString()).toUtf8();
    sqlite3_bind_int(stmt, 1, note.id);
    sqlite3_bind_text(stmt, 2, title.constData(), int(title.size()), SQLITE_TRANSIENT);
    if (note.body) sqlite3_bind_text(stmt, 3, body.constData(), int(body.size()), SQLITE_TRANSIENT);
    sqlite3_bind_text(stmt, 4, "2024-01-01", -1, SQLITE_STATIC);
    sqlite3_bind_int(stmt, 5, note.category);
    sqlite3_bind_int(stmt, 6, note.favorite);
    EXPECT_EQ(sqlite3_step(stmt), SQLITE_DONE);
    sqlite3_finalize(stmt);
  }

  // The query a window builds for a search in one category.
  static QString SearchQuery(const QString& text) {
    const QString pattern = QStringLiteral("\"%") + EscapeJetLikeText(text) + QStringLiteral("%\"");
    return QStringLiteral("select id from notes where (Title like %1 or Body like %1) and Cat_id=5 order by Title")
        .arg(pattern);
  }

  sqlite3* db_ = nullptr;
};

QString Ids(std::initializer_list<int> ids) {
  QStringList list;
  for (int id : ids) list << QString::number(id);
  return list.join(u',');
}

TEST_F(JetDialectOnSqlite, RunsTheWindowsQueries) {
  Insert({1, "Zub", "say \"hi\" to all", 5, 1});
  Insert({2, "čaj", "nothing", 5, 0});
  Insert({3, "Cvijet", "nothing", 5, 1});
  Insert({4, "abc", "say \"hi\"", 6, 1});
  Insert({5, "Dan", "Say \"HI\"", 5, 0});
  Insert({6, "đak", std::nullopt, 5, 1});

  EXPECT_EQ(U8(Column("select * from notes where Cat_id=5 order by Title").join(u',')), U8(Ids({3, 2, 5, 6, 1})));
  EXPECT_EQ(U8(Column("select * from notes where (Title like \"%say \"\"hi\"\"%\" or Body like \"%say \"\"hi\"\"%\") "
                      "and Cat_id=5 order by Title")
                   .join(u',')),
            U8(Ids({5, 1})));
  EXPECT_EQ(U8(Column("select * from notes where Cat_id = 5  and Favorite=1 order by Title").join(u',')),
            U8(Ids({3, 6, 1})));
  EXPECT_EQ(U8(Column("select id from notes where Cat_id=5 order by Favorite desc, Title").join(u',')),
            U8(Ids({3, 6, 1, 2, 5})));
  EXPECT_EQ(U8(Column("select id from notes where Title = \"order by Title\" order by Title").join(u',')), "");
}

TEST_F(JetDialectOnSqlite, SearchesFindTheirTextLiterally) {
  const QString hostile = QStringLiteral("%\" or 1=1 or Title like \"");
  Insert({1, "Greeting", "He said say \"hi\" twice", 5, 0});
  Insert({2, "Sale", "50% off today", 5, 0});
  Insert({3, "Sale too", "500 off", 5, 0});
  Insert({4, "Variable", "name a_b here", 5, 0});
  Insert({5, "Variable too", "name axb here", 5, 0});
  Insert({6, "Box", "[x] marks", 5, 0});
  Insert({7, "Box too", "x marks", 5, 0});
  Insert({8, "Its", "it's mine", 5, 0});
  Insert({9, "Its too", "its mine", 5, 0});
  Insert({10, "čaša vode", "", 5, 0});
  Insert({11, "Glass", "ČAŠA", 5, 0});
  Insert({12, "Casa", "casa", 5, 0});
  Insert({13, "Quote", "a single \" here", 5, 0});
  Insert({14, "Elsewhere", "say \"hi\" 50% a_b [x it's čaša \" " + hostile, 6, 0});
  Insert({15, "Empty", std::nullopt, 5, 0});

  struct Row {
    QString text;
    QString ids;  // in the order of their titles
  };
  const Row rows[] = {
      {"say \"hi\"", Ids({1})}, {"50%", Ids({2})},       {"a_b", Ids({4})},      {"[x", Ids({6})},
      {"it's", Ids({8})},       {"Čaša", Ids({10, 11})}, {"\"", Ids({1, 13})},   {"%", Ids({2})},
      {"_", Ids({4})},          {"[", Ids({6})},         {"'", Ids({8})},        {hostile, ""},
      {"\"\" or \"\"=\"", ""},  {"') or 1=1 --", ""},    {"order by Title", ""},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(U8(Column(SearchQuery(row.text)).join(u',')), U8(row.ids)) << "searching for " << U8(row.text);
  }

  Insert({16, "Trap", "look: " + hostile + " here", 5, 0});
  EXPECT_EQ(U8(Column(SearchQuery(hostile)).join(u',')), U8(Ids({16})));
}

// Whatever is typed into the search box, the statement stays what the window built: it runs, and finds just the rows
// of the category that hold the text.
TEST_F(JetDialectOnSqlite, NoSearchTextChangesTheCondition) {
  const QStringList texts = {"\"",
                             "\"\"",
                             "\"\"\"",
                             "'",
                             "''",
                             "\\",
                             "]",
                             "[]",
                             "[!",
                             "%\" or 1=1 or Title like \"",
                             "\" or \"\"=\"",
                             "') or 1=1 --",
                             "; drop table notes",
                             "/*",
                             "--",
                             "order by",
                             "a\" || \"b"};
  std::vector<Note> notes;
  int id = 1;
  for (const QString& text : texts) {
    notes.push_back({id++, "In " + text, "has " + text + " inside", 5, 0});
    notes.push_back({id++, "Other " + text, "has " + text + " inside", 6, 0});
  }
  notes.push_back({id++, "Plain", "nothing special", 5, 0});
  for (const Note& note : notes) Insert(note);

  for (const QString& text : texts) {
    QStringList expected;
    for (const Note& note : notes) {
      if (note.category == 5 && (note.title.contains(text, Qt::CaseInsensitive) ||
                                 note.body.value_or(QString()).contains(text, Qt::CaseInsensitive))) {
        expected << QString::number(note.id);
      }
    }
    QStringList found = Column(SearchQuery(text));
    std::sort(found.begin(), found.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(U8(found.join(u',')), U8(expected.join(u','))) << "searching for " << U8(text);
  }
  EXPECT_EQ(U8(Value("select count(*) from notes")), std::to_string(notes.size()));
}

TEST_F(JetDialectOnSqlite, SearchFindsTextHoldingNul) {
  const QString withNul = QStringLiteral("a") + QChar(0) + QStringLiteral("b");
  Insert({1, "Binary", "x" + withNul + "y", 5, 0});
  Insert({2, "Plain", "ab", 5, 0});
  EXPECT_EQ(U8(Column(SearchQuery(withNul)).join(u',')), U8(Ids({1})));
  EXPECT_EQ(U8(Column(SearchQuery("ab")).join(u',')), U8(Ids({2})));
}

// However long the search text, the search runs and finds the text literally: past the engine's pattern length limit
// of 50,000 bytes too.
TEST_F(JetDialectOnSqlite, LongSearchTextsSearch) {
  const QString texts[] = {QString(17000, u'['), QString(20000, u'%'), QString(60000, u'"'),
                           QStringLiteral("ab_%[\"]").repeated(20000)};
  int id = 0;
  for (const QString& text : texts) {
    Insert({++id, "Holds it", "<" + text + ">", 5, 0});
    Insert({++id, "Holds less", "<" + text.chopped(1) + ">", 5, 0});
  }
  id = 0;
  for (const QString& text : texts) {
    SCOPED_TRACE(testing::Message() << "a search text of " << text.size() << " characters");
    const Result result = Run(SearchQuery(text));
    EXPECT_EQ(U8(result.error), "");
    ASSERT_EQ(result.rows.size(), 1u);
    EXPECT_EQ(U8(result.rows[0].value(0)), std::to_string(id + 1));
    id += 2;
  }
}

TEST_F(JetDialectOnSqlite, OrdersTitlesTheSerbianWay) {
  const QStringList ordered = {"ABC",  "abc", "Cvijet", "čaj",  "ćup", "Dan",
                               "Džep", "đak", "Sunce",  "šuma", "Zub", "žaba"};
  QStringList shuffled = ordered;
  std::shuffle(shuffled.begin(), shuffled.end(), std::mt19937(11));
  for (int i = 0; i < shuffled.size(); ++i) Insert({i + 1, shuffled[i], std::nullopt, 5, 0});
  QStringList reversed = ordered;
  std::reverse(reversed.begin(), reversed.end());

  struct Row {
    QString query;
    QStringList expected;
  };
  const Row rows[] = {
      {"select Title from notes order by Title", ordered},
      {"select Title from notes ORDER BY Title COLLATE SERBIAN", ordered},
      {"select Title from notes order by Title desc", reversed},
      {"select Title from notes order by 1", ordered},
      {"select Title from notes where Cat_id=5 order by Title limit 3 offset 2", ordered.mid(2, 3)},
      {"select Title from (select Title from notes order by Title desc limit 4) order by Title", ordered.mid(8)},
      {"select Title from notes where Title < \"d\" collate SERBIAN order by Title", ordered.mid(0, 5)},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(U8(Column(row.query).join(u' ')), U8(row.expected.join(u' '))) << "query: " << U8(row.query);
  }
}

TEST_F(JetDialectOnSqlite, LikeOperatorUsesJetRules) {
  struct Row {
    QString query;
    QString expected;
  };
  const Row rows[] = {
      {"select 'ЖАБА' like \"жаба\"", "1"},
      {"select 'Čaša' like 'č%'", "1"},
      {"select 'Čaša' like 'c%'", "0"},
      {"select 'abc' like '[a-c]_[!x]'", "1"},
      {"select '50%' like '50[%]'", "1"},
      {"select '500' like '50[%]'", "0"},
      {"select 'abc' not like 'A%'", "0"},
      {"select like('a%', 'abc')", "1"},
      {"select 123 like '12%'", "1"},
      {"select NULL like 'a'", "NULL"},
      {"select 'a' like NULL", "NULL"},
      {"select 'a%' like 'a!%' escape '!'", "1"},
      {"select 'ab' like 'a!%' escape '!'", "0"},
      {"select 'a_' like 'a\\_' escape '\\'", "1"},
      {"select 'a%' like 'ač%' escape 'č'", "1"},
      {"select 'a[' like 'a![' escape '!'", "1"},
      {"select 'a' like 'a!' escape '!'", "0"},
      {"select ('a' || char(0)) like 'a!' escape '!'", "0"},
      {"select 'a' like 'a' escape NULL", "NULL"},
      {"select NULL like 'a' escape '!'", "NULL"},
  };
  for (const Row& row : rows) EXPECT_EQ(U8(Value(row.query)), U8(row.expected)) << "query: " << U8(row.query);
}

TEST_F(JetDialectOnSqlite, LikeRejectsBadEscapesAndOverlongPatterns) {
  for (const QString& query :
       {QStringLiteral("select 'a' like 'a' escape 'ab'"), QStringLiteral("select 'a' like 'a' escape ''"),
        QStringLiteral("select NULL like 'a' escape 'ab'")}) {
    EXPECT_EQ(U8(Run(query).error), "ESCAPE expression must be a single character") << "query: " << U8(query);
  }
  sqlite3_limit(db_, SQLITE_LIMIT_LIKE_PATTERN_LENGTH, 10);
  EXPECT_EQ(U8(Run("select 'a' like '%%%%%%%%%%%%%%%%'").error), "LIKE or GLOB pattern too complex");
  EXPECT_EQ(U8(Value("select 'a' like '%%%%%'")), "1");
}

// A pattern that changes from row to row must not be answered with the one compiled for an earlier row.
TEST_F(JetDialectOnSqlite, LikeFollowsPatternsThatChangePerRow) {
  ASSERT_EQ(U8(Run("create table pats(n integer, p text, e text)").error), "");
  ASSERT_EQ(U8(Run("insert into pats values (1, 'a%', NULL), (2, 'x%', NULL), (3, '%c', NULL), (4, 'a!%', '!'), "
                   "(5, 'a!%', '#'), (6, 'a#%', '#')")
                   .error),
            "");
  EXPECT_EQ(U8(Column("select n from pats where e is null and 'abc' like p order by n").join(u',')), "1,3");
  EXPECT_EQ(U8(Column("select n from pats where e is not null and 'a%' like p escape e order by n").join(u',')), "4,6");
  // The same pattern read with another escape character is another pattern.
  EXPECT_EQ(U8(Column("select n from pats where e is not null and 'a%' like 'a!%' escape e order by n").join(u',')),
            "4");
}

TEST_F(JetDialectOnSqlite, CollationIsTotal) {
  struct Row {
    QString query;
    QString expected;
  };
  const Row rows[] = {
      {"select 'č' < 'd' collate SERBIAN", "1"},
      {"select 'č' < 'ć' collate SERBIAN", "1"},
      {"select 'ABC' = 'abc' collate SERBIAN", "0"},
      {"select 'ABC' < 'abc' collate SERBIAN", "1"},
      {"select 'abc' = 'abc' collate SERBIAN", "1"},
      {"select cast(x'ff' as text) = cast(x'fe' as text) collate SERBIAN", "0"},
      {"select cast(x'fe' as text) < cast(x'ff' as text) collate SERBIAN", "1"},
      {"select count(distinct Title collate SERBIAN) from (select 'a' as Title union all select 'A' union all "
       "select 'a')",
       "2"},
  };
  for (const Row& row : rows) EXPECT_EQ(U8(Value(row.query)), U8(row.expected)) << "query: " << U8(row.query);
}

TEST_F(JetDialectOnSqlite, MalformedTextsStayMalformed) {
  for (const QString& query : {QStringLiteral("select \"abc"), QStringLiteral("select 'abc"),
                               QStringLiteral("select * from notes order by"), QStringLiteral("select (\"a\"")}) {
    EXPECT_NE(U8(Run(query).error), "") << "query: " << U8(query);
  }
}

TEST(RegisterJetDialect, RefusesNoConnection) { EXPECT_EQ(RegisterJetDialect(nullptr), SQLITE_MISUSE); }

}  // namespace
