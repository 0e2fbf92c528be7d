// The Jet dialect on its own: LIKE matching, the SERBIAN ordering, query translation and search-text escaping.
#include "JetSql.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace {

QString Q(const char* utf8) { return QString::fromUtf8(utf8); }

// Compared as UTF-8, so that a failure prints readable text.
std::string U8(const QString& s) { return s.toStdString(); }

int Sign(int v) { return (v > 0) - (v < 0); }

struct LikeRow {
  const char* pattern;
  const char* text;
  bool expected;
};

const LikeRow kLikeRows[] = {
    // Empty pattern and text, plain text.
    {"", "", true},
    {"", "a", false},
    {"a", "", false},
    {"abc", "abc", true},
    {"abc", "abcd", false},
    {"abcd", "abc", false},
    {"abc__", "abc", false},
    {"%abcdef", "abc", false},
    // % any run, _ one character.
    {"%", "", true},
    {"%", "anything at all", true},
    {"%%", "", true},
    {"a%", "abc", true},
    {"a%", "bac", false},
    {"%c", "abc", true},
    {"%c", "abcd", false},
    {"%b%", "abc", true},
    {"%b%", "ac", false},
    {"a%c", "ac", true},
    {"a%c", "abxc", true},
    {"a%c", "abcd", false},
    {"%a%b%c%", "xaybzc", true},
    {"%a%b%c%", "cba", false},
    {"%aab", "aaaab", true},
    {"_", "", false},
    {"_", "a", true},
    {"_", "ab", false},
    {"__", "ab", true},
    {"a_c", "abc", true},
    {"a_c", "ac", false},
    {"_%_", "a", false},
    {"_%_", "ab", true},
    {"_", "\xF0\x9F\x98\x80", true},  // one character outside the BMP is still one character
    {"a_b",
     "a\xF0\x9F\x98\x80"
     "b",
     true},
    // Letters of every alphabet compare case-insensitively, and nothing more is folded.
    {"ABC", "abc", true},
    {"abc", "AbC", true},
    {"Čaša", "čaša", true},
    {"čaša", "ČAŠA", true},
    {"%ŠA", "čaša", true},
    {"ĐAK", "đak", true},
    {"žaba", "ŽABA", true},
    {"caša", "čaša", false},
    {"c", "č", false},
    {"č", "ć", false},
    {"s", "š", false},
    {"dj", "đ", false},
    {"e", "é", false},
    {"Жаба", "ЖАБА", true},
    {"жаба", "жАбА", true},
    {"Ђак", "ђак", true},
    {"Љубав", "љубав", true},
    {"жаба", "zaba", false},
    {"σ", "Σ", true},
    {"ς", "Σ", true},
    // Character lists.
    {"[abc]", "b", true},
    {"[abc]", "B", true},
    {"[abc]", "d", false},
    {"[abc]", "", false},
    {"[abc]", "ab", false},
    {"a[bc]d", "acd", true},
    {"a[bc]d", "aed", false},
    {"[čć]", "Ć", true},
    {"[čć]", "c", false},
    {"[жз]", "Ж", true},
    {"[]", "", true},
    {"a[]b", "ab", true},
    // Ranges.
    {"[a-z]", "m", true},
    {"[a-z]", "M", true},
    {"[A-Z]", "m", true},
    {"[a-z]", "5", false},
    {"[a-c]", "č", false},
    {"[0-9][0-9]", "42", true},
    {"[0-9]", "x", false},
    {"[а-я]", "Ж", true},
    {"[a-cx-z]", "y", true},
    {"[a-cx-z]", "m", false},
    {"[-a]", "-", true},
    {"[a-]", "-", true},
    {"[a-]", "b", false},
    {"[z-a]", "m", false},
    {"[Z-a]", "_", true},  // by code point: Z [ \ ] ^ _ ` a
    {"[Z-a]", "m", false},
    // Negation, with ! or ^.
    {"[!abc]", "d", true},
    {"[!abc]", "a", false},
    {"[!abc]", "A", false},
    {"[!abc]", "", false},
    {"[^abc]", "d", true},
    {"[^abc]", "b", false},
    {"[!a-z]", "5", true},
    {"[!a-z]", "Q", false},
    {"a[!b]c", "axc", true},
    {"a[!b]c", "ac", false},
    {"[!č]", "Č", false},
    {"[!č]", "c", true},
    {"[!]", "!", true},
    {"[^]", "x", false},
    // A list holding one wildcard matches that character literally.
    {"[%]", "%", true},
    {"[%]", "x", false},
    {"[%]", "", false},
    {"50[%]", "50%", true},
    {"50[%]", "500", false},
    {"%50[%]%", "only 50% off", true},
    {"[_]", "_", true},
    {"[_]", "a", false},
    {"a[_]b", "ab", false},
    {"a[_]b", "axb", false},
    {"[[]", "[", true},
    {"[[]", "x", false},
    {"[[]x]", "[x]", true},
    {"%[[]x%", "a[x", true},
    // "]" outside a list, and a "[" that never closes, are literal.
    {"]", "]", true},
    {"a]", "a]", true},
    {"%]%", "x]y", true},
    {"[", "[", true},
    {"[", "", false},
    {"[abc", "[abc", true},
    {"[abc", "a", false},
    {"%[x", "ab[x", true},
    // Nothing else is special.
    {"a*", "abc", false},
    {"a*", "a*", true},
    {"?", "x", false},
    {"#", "5", false},
    {"a\\%", "a\\bc", true},
    {"say \"hi\"", "SAY \"HI\"", true},
    {"it's", "IT'S", true},
};

TEST(JetLike, MatchesTable) {
  for (const LikeRow& row : kLikeRows) {
    EXPECT_EQ(JetLike(Q(row.pattern), Q(row.text)), row.expected)
        << "pattern \"" << row.pattern << "\" against \"" << row.text << "\"";
  }
}

// Backtracking into every % would take 2000^30 steps here; a bounded matcher takes well under a second.
TEST(JetLike, ManyPercentSignsStayFast) {
  const QString pattern = QStringLiteral("%a").repeated(30);
  struct Case {
    QString text;
    bool expected;
  };
  const Case cases[] = {
      {QString(2000, u'b'), false},
      {QString(2000, u'a') + u'b', false},  // every "a" step can match, only the end cannot
      {QString(29, u'a') + QString(2000, u'b'), false},
      {QString(29, u'a') + QString(2000, u'b') + u'a', true},
      {QStringLiteral("ba").repeated(1000), true},
  };
  // Counted in comparisons, not timed: each match costs in proportion to its pattern and text.
  const auto bounded = [](const QString& p, const QString& text, bool expected) {
    const std::uint64_t before = JetLikeComparisons();
    EXPECT_EQ(JetLike(p, text), expected) << "text of length " << text.size();
    EXPECT_LE(JetLikeComparisons() - before, 4 * std::uint64_t(p.size() + text.size()))
        << "text of length " << text.size();
  };
  for (const Case& c : cases) bounded(pattern, c.text, c.expected);
  bounded(u'%' + QString(1000, u'a') + QStringLiteral("b%"), QString(2000, u'a') + u'b', true);
  bounded(u'%' + QString(1000, u'a') + QStringLiteral("b%"), QString(4000, u'a'), false);
}

// What a match costs, counted in comparisons of a pattern position with a text character: in proportion to the text
// and the pattern for the search the windows build ("%text%"), and for any other pattern at most that times the
// length of its longest run between two %, in 64ths.
TEST(JetLike, CostStaysInProportionToTheInput) {
  const QString as = QString(200000, u'a');
  struct Case {
    QString pattern;
    QString text;
    bool expected;
    int run;  // the longest run between two %, or 0 for a literal search
  };
  const Case cases[] = {
      {u'%' + QString(9999, u'a') + QStringLiteral("b%"), as, false, 0},
      {u'%' + QString(9999, u'a') + QStringLiteral("b%"), as + u'b', true, 0},
      {u'%' + QStringLiteral("aB").repeated(5000) + u'%', QStringLiteral("Ab").repeated(100000), true, 0},
      {u'%' + QStringLiteral("[[]").repeated(17000) + u'%', QString(40000, u'['), true, 0},
      {u'%' + QStringLiteral("[%]").repeated(20000) + QStringLiteral("x%"), QString(50000, u'%'), false, 0},
      {u'%' + QStringLiteral("[a-b]").repeated(2000) + QStringLiteral("c%"), as, false, 2001},
      {u'%' + QStringLiteral("a_").repeated(3000) + QStringLiteral("%b"), as + u'b', true, 6000},
      {QString(5000, u'a') + QStringLiteral("%[!a]%") + QString(5000, u'a'), as, false, 5000},
      {QStringLiteral("_%a").repeated(5000), as, true, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "pattern of length " << c.pattern.size() << " against a text of length "
                                    << c.text.size());
    const std::uint64_t before = JetLikeComparisons();
    EXPECT_EQ(JetLike(c.pattern, c.text), c.expected);
    const std::uint64_t cost = JetLikeComparisons() - before;
    const std::uint64_t size = std::uint64_t(c.pattern.size() + c.text.size());
    EXPECT_LE(cost, 4 * size * (std::uint64_t(c.run) / 64 + 1));
  }
}

struct CompareRow {
  const char* a;
  const char* b;
  int expected;
};

const CompareRow kCompareRows[] = {
    {"", "", 0},
    {"", "a", -1},
    {"a", "ab", -1},
    {"abc", "abc", 0},
    {"abc", "abd", -1},
    // Case-insensitive first, code points only between strings equal when folded.
    {"ABC", "abd", -1},
    {"abc", "ABD", -1},
    {"ABC", "abc", -1},
    {"abc", "ABC", 1},
    {"Abc", "aBc", -1},
    {"Č", "č", -1},
    {"Zub", "abc", 1},
    // The Serbian letters follow their base letter.
    {"c", "č", -1},
    {"č", "ć", -1},
    {"ć", "d", -1},
    {"Ć", "d", -1},
    {"cz", "ča", -1},
    {"čz", "ća", -1},
    {"ćz", "da", -1},
    {"d", "đ", -1},
    {"dz", "đa", -1},
    {"đz", "ea", -1},
    {"s", "š", -1},
    {"sz", "ša", -1},
    {"šz", "ta", -1},
    {"z", "ž", -1},
    {"zz", "ža", -1},
    {"Cvijet", "čaj", -1},
    {"čaj", "ćup", -1},
    {"ćup", "Dan", -1},
    {"Dan", "Džep", -1},
    {"Džep", "đak", -1},
    {"Sunce", "šuma", -1},
    {"šuma", "Zub", -1},
    {"Zub", "žaba", -1},
    {"ŽABA", "žaba", -1},
    {"čaša", "ČAŠA", 1},
    // Other accented Latin letters stay by their base letter.
    {"e", "é", -1},
    {"é", "f", -1},
    {"ée", "ef", -1},
    {"resume", "résumé", -1},
    {"résumé", "resumf", -1},
    {"Résumé", "résumé", -1},
    // Serbian Cyrillic in the order of the azbuka.
    {"дан", "ђак", -1},
    {"ђак", "ево", -1},
    {"иван", "јаје", -1},
    {"јаје", "кућа", -1},
    {"лист", "љубав", -1},
    {"љубав", "мир", -1},
    {"нос", "њива", -1},
    {"њива", "око", -1},
    {"тата", "ћуп", -1},
    {"ћуп", "ум", -1},
    {"чај", "џеп", -1},
    {"џеп", "шума", -1},
    {"Жаба", "жаба", -1},
    {"жаба", "ЗУБ", -1},
    // Everything else by code point: ISO dates and numbers as text keep their order.
    {"2024-01-05", "2024-01-06", -1},
    {"2024-01-06", "2024-10-01", -1},
    {"a b", "ab", -1},
};

TEST(SerbianCompare, OrdersTable) {
  for (const CompareRow& row : kCompareRows) {
    EXPECT_EQ(Sign(SerbianCompare(Q(row.a), Q(row.b))), row.expected)
        << "\"" << row.a << "\" against \"" << row.b << "\"";
    EXPECT_EQ(Sign(SerbianCompare(Q(row.b), Q(row.a))), -row.expected)
        << "\"" << row.b << "\" against \"" << row.a << "\"";
  }
}

TEST(SerbianCompare, SortsTitlesIntoOneStableOrder) {
  const QStringList expected = {"ABC",  "abc", "Cvijet", "čaj",  "ćup", "Dan",
                                "Džep", "đak", "Sunce",  "šuma", "Zub", "žaba"};
  QStringList titles = expected;
  std::mt19937 random(7);
  for (int round = 0; round < 20; ++round) {
    std::shuffle(titles.begin(), titles.end(), random);
    std::sort(titles.begin(), titles.end(),
              [](const QString& a, const QString& b) { return SerbianCompare(a, b) < 0; });
    ASSERT_EQ(U8(titles.join(u' ')), U8(expected.join(u' '))) << "round " << round;
  }
}

// SQLite's sorter needs a total order: antisymmetric, transitive, and 0 only for the same string.
TEST(SerbianCompare, IsATotalOrder) {
  const QStringList pool = {"",
                            "a",
                            "A",
                            "ab",
                            "aB",
                            "Ab",
                            "č",
                            "Č",
                            "ć",
                            "Ć",
                            "c",
                            "C",
                            "cz",
                            "ča",
                            "đ",
                            "Đ",
                            "d",
                            "dž",
                            "DŽ",
                            "Dž",
                            "ž",
                            "z",
                            "é",
                            "E",
                            "e",
                            "ж",
                            "Ж",
                            "ђ",
                            "Ђ",
                            "д",
                            "1",
                            "10",
                            "9",
                            "_",
                            " ",
                            "a b",
                            QString(QChar(0xD800)),
                            QString(QChar(0xDC00)),
                            "\xF0\x9F\x98\x80"};
  for (const QString& a : pool) {
    for (const QString& b : pool) {
      const int ab = Sign(SerbianCompare(a, b));
      EXPECT_EQ(ab, -Sign(SerbianCompare(b, a))) << qPrintable(a) << " / " << qPrintable(b);
      EXPECT_EQ(ab == 0, a == b) << qPrintable(a) << " / " << qPrintable(b);
      for (const QString& c : pool) {
        if (ab <= 0 && SerbianCompare(b, c) <= 0) {
          EXPECT_LE(SerbianCompare(a, c), 0) << qPrintable(a) << " / " << qPrintable(b) << " / " << qPrintable(c);
        }
      }
    }
  }
}

struct TranslateRow {
  const char* jet;
  const char* sqlite;
};

const TranslateRow kTranslateRows[] = {
    {"", ""},
    {"select * from notes", "select * from notes"},
    // Double-quoted literals become single-quoted ones.
    {"select \"abc\"", "select 'abc'"},
    {"select \"\"", "select ''"},
    {"select \"\"\"\"", "select '\"'"},
    {"select \"say \"\"hi\"\"\"", "select 'say \"hi\"'"},
    {"select \"it's\"", "select 'it''s'"},
    {"select \"''\"", "select ''''''"},
    {"where Title like \"%x%\"", "where Title like '%x%'"},
    {"where Title like \"%[%]_[[]%\"", "where Title like '%[%]_[[]%'"},
    {"where Title=\"Čaša\"", "where Title='Čaša'"},
    // Single-quoted literals and bracketed names are kept.
    {"select 'it''s'", "select 'it''s'"},
    {"select 'say \"hi\"'", "select 'say \"hi\"'"},
    {"select [Note Title], [a\"b] from [notes]", "select [Note Title], [a\"b] from [notes]"},
    {"select \"a\" || 'b' || \"c\"", "select 'a' || 'b' || 'c'"},
    // Each ORDER BY term gets the collation.
    {"select * from notes where Cat_id=5 order by Title",
     "select * from notes where Cat_id=5 order by Title COLLATE SERBIAN"},
    {"select * from notes where Cat_id = 5  and Favorite=1 order by Title",
     "select * from notes where Cat_id = 5  and Favorite=1 order by Title COLLATE SERBIAN"},
    {"select * from notes where (Title like \"%say \"\"hi\"\"%\" or Body like \"%say \"\"hi\"\"%\") and Cat_id=5 order "
     "by Title",
     "select * from notes where (Title like '%say \"hi\"%' or Body like '%say \"hi\"%') and Cat_id=5 order by Title "
     "COLLATE SERBIAN"},
    {"order by Title, Entered desc", "order by Title COLLATE SERBIAN, Entered COLLATE SERBIAN desc"},
    {"ORDER BY Title ASC,Body", "ORDER BY Title COLLATE SERBIAN ASC,Body COLLATE SERBIAN"},
    {"Order By title DESC", "Order By title COLLATE SERBIAN DESC"},
    {"order\n  by Title\n", "order\n  by Title COLLATE SERBIAN\n"},
    {"order by [Title]", "order by [Title] COLLATE SERBIAN"},
    {"order by notes.Title", "order by notes.Title COLLATE SERBIAN"},
    {"order by 2 desc", "order by 2 COLLATE SERBIAN desc"},
    {"order by Title;", "order by Title COLLATE SERBIAN;"},
    {"order by Title limit 5 offset 2", "order by Title COLLATE SERBIAN limit 5 offset 2"},
    {"order by Title desc limit 5", "order by Title COLLATE SERBIAN desc limit 5"},
    {"order by Title || \"x\"", "order by Title || 'x' COLLATE SERBIAN"},
    {"group by Cat_id order by count(*) desc", "group by Cat_id order by count(*) COLLATE SERBIAN desc"},
    // Terms with parentheses: their commas are not term separators.
    {"order by coalesce(Title, Body)", "order by coalesce(Title, Body) COLLATE SERBIAN"},
    {"order by (Cat_id + (1)) desc, lower(Title)",
     "order by (Cat_id + (1)) COLLATE SERBIAN desc, lower(Title) COLLATE SERBIAN"},
    {"select * from (select * from notes order by Title) order by Body",
     "select * from (select * from notes order by Title COLLATE SERBIAN) order by Body COLLATE SERBIAN"},
    {"where id in (select id from notes order by Entered desc limit 3) order by Title",
     "where id in (select id from notes order by Entered COLLATE SERBIAN desc limit 3) order by Title COLLATE SERBIAN"},
    // A COLLATE of its own is kept.
    {"order by Title collate nocase", "order by Title collate nocase"},
    {"order by Title COLLATE NOCASE desc, Body", "order by Title COLLATE NOCASE desc, Body COLLATE SERBIAN"},
    {"order by (Title collate binary)", "order by (Title collate binary)"},
    {"where Title collate nocase = \"a\" order by Title",
     "where Title collate nocase = 'a' order by Title COLLATE SERBIAN"},
    // Words inside literals and names are not keywords.
    {"where Title = \"order by Title\"", "where Title = 'order by Title'"},
    {"where Title = 'x order by y'", "where Title = 'x order by y'"},
    {"order by \"order by\"", "order by 'order by' COLLATE SERBIAN"},
    {"select [order by] from t", "select [order by] from t"},
    {"select reorder, bye from t", "select reorder, bye from t"},
    {"order by", "order by"},
    // Malformed stays malformed.
    {"select \"abc", "select 'abc"},
    {"select \"it's", "select 'it''s"},
    {"select 'abc", "select 'abc"},
    {"select [abc", "select [abc"},
    {"select (\"a\"", "select ('a'"},
    {"order by (Title", "order by (Title COLLATE SERBIAN"},
};

TEST(TranslateJetSql, RewritesTable) {
  for (const TranslateRow& row : kTranslateRows) {
    EXPECT_EQ(U8(TranslateJetSql(Q(row.jet))), row.sqlite) << "input: " << row.jet;
  }
}

// SQLite stops reading a statement at a NUL, so a literal holding one must reach it spelt without one.
TEST(TranslateJetSql, SpellsNulInsideLiteralsAsConcatenation) {
  const QChar nul(0);
  EXPECT_EQ(U8(TranslateJetSql(QStringLiteral("where Body like \"%a") + nul + QStringLiteral("b%\""))),
            "where Body like ('%a' || char(0) || 'b%')");
  EXPECT_EQ(U8(TranslateJetSql(QStringLiteral("select '") + nul + QStringLiteral("it''s'"))),
            "select ('' || char(0) || 'it''s')");
  EXPECT_EQ(U8(TranslateJetSql(QStringLiteral("select \"") + nul + QStringLiteral("\" order by x"))),
            "select ('' || char(0) || '') order by x COLLATE SERBIAN");
}

TEST(EscapeJetLikeText, WrapsWildcardsAndDoublesQuotes) {
  const TranslateRow rows[] = {
      {"", ""},
      {"plain", "plain"},
      {"say \"hi\"", "say \"\"hi\"\""},
      {"\"", "\"\""},
      {"50%", "50[%]"},
      {"a_b", "a[_]b"},
      {"[x", "[[]x"},
      {"[x]", "[[]x]"},
      {"it's", "it's"},
      {"!^-]*?#", "!^-]*?#"},
      {"Čaša", "Čaša"},
      {"%\" or 1=1 or Title like \"", "[%]\"\" or 1=1 or Title like \"\""},
  };
  for (const TranslateRow& row : rows) EXPECT_EQ(U8(EscapeJetLikeText(Q(row.jet))), row.sqlite) << "text: " << row.jet;
}

// Once the SQL literal is read (its "" back to "), an escaped text inside % ... % finds exactly the texts that contain
// it, ignoring case.
TEST(EscapeJetLikeText, MatchesLiterally) {
  const QStringList searches = {"say \"hi\"", "50%", "a_b", "[x", "x]",   "it's",  "Čaša",
                                "\"",         "%",   "_",   "[",  "[!a]", "[a-z]", "%\" or 1=1 or Title like \""};
  const QStringList texts = {
      "",     "say \"hi\" there", "SAY \"HI\"", "say hi", "50% off", "500 off", "a_b c",
      "axb",  "[x] box",          "x box",      "it's",   "its",     "ČAŠA",    "čaša vode",
      "Casa", "a \" b",           "[!a]",       "b",      "[a-z]",   "q",       "%\" or 1=1 or Title like \" x"};
  for (const QString& search : searches) {
    const QString pattern =
        u'%' + EscapeJetLikeText(search).replace(QStringLiteral("\"\""), QStringLiteral("\"")) + u'%';
    for (const QString& text : texts) {
      EXPECT_EQ(JetLike(pattern, text), text.contains(search, Qt::CaseInsensitive))
          << "search " << qPrintable(search) << " in " << qPrintable(text);
    }
  }
}

}  // namespace
