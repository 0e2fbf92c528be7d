// JetSql.h — the Jet SQL dialect on SQLite: query texts as the windows write them, string comparison and ordering as
// users of Serbian and English expect.
#pragma once

#include <QString>

#include <cstdint>

struct sqlite3;

// Rewrites a Jet query text into SQLite's: "double-quoted" literals become 'single-quoted' ones, single-quoted literals
// and [bracketed] names are kept, and every ORDER BY term without a COLLATE of its own gets COLLATE SERBIAN.
// Text inside literals is never changed; a malformed text stays malformed for the engine to report.
QString TranslateJetSql(const QString& jet);

// Installs on a connection the like(pattern, text[, escape]) function that SQLite then uses for its LIKE operator,
// and the collation SERBIAN. Returns the SQLite result code.
int RegisterJetDialect(sqlite3* db);

// Jet's LIKE: % any run, _ one character, [abc] a list, [a-z] a range, [!abc] or [^abc] none of a list; [%], [_] and
// [[] match that character literally, and so do "]" outside a list and an unterminated "[". Letters compare by Unicode
// case folding for every alphabet; nothing else is folded (c does not match č).
bool JetLike(const QString& pattern, const QString& text);

// How many times JetLike and the like function have compared a pattern position with a text character on this thread,
// so far: the work a match costs.
std::uint64_t JetLikeComparisons();

// The ordering of the SERBIAN collation: case-insensitive, c < č < ć < d < đ, s < š, z < ž, and strings equal when
// folded ordered by their code points, so that the order is total. Returns <0, 0, >0.
int SerbianCompare(const QString& a, const QString& b);

// A search text made safe to stand inside a double-quoted like pattern and match literally: " is doubled, and %, _
// and [ are wrapped as [%], [_] and [[].
QString EscapeJetLikeText(const QString& text);
