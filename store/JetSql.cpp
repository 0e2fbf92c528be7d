#include "JetSql.h"

#include <QChar>
#include <QStringList>

#include <sqlite3.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// SQLite hands text over as UTF-8 with a length and may hold anything, embedded NULs and broken sequences included;
// decoding in place keeps the collation free of allocations, and a broken byte reads as U+FFFD so that every input
// still gets an order.
class Utf8Reader {
public:
  Utf8Reader(const void* data, int size) : p_(static_cast<const unsigned char*>(data)), end_(p_ + std::max(size, 0)) {}

  bool AtEnd() const { return p_ >= end_; }

  char32_t Next() {
    const unsigned char lead = *p_++;
    if (lead < 0x80) return lead;
    int extra = 0;
    char32_t cp = 0;
    char32_t least = 0;
    if ((lead & 0xE0) == 0xC0) {
      extra = 1, cp = lead & 0x1F, least = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
      extra = 2, cp = lead & 0x0F, least = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
      extra = 3, cp = lead & 0x07, least = 0x10000;
    } else {
      return kReplacement;
    }
    const unsigned char* q = p_;
    for (int i = 0; i < extra; ++i, ++q) {
      if (q >= end_ || (*q & 0xC0) != 0x80) return kReplacement;
      cp = (cp << 6) | (*q & 0x3F);
    }
    p_ = q;
    if (cp < least || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return kReplacement;
    return cp;
  }

private:
  const unsigned char* p_;
  const unsigned char* end_;
};

class Utf16Reader {
public:
  explicit Utf16Reader(const QString& s) : p_(reinterpret_cast<const char16_t*>(s.utf16())), end_(p_ + s.size()) {}

  bool AtEnd() const { return p_ >= end_; }

  char32_t Next() {
    const char16_t unit = *p_++;
    if (QChar::isHighSurrogate(unit) && p_ < end_ && QChar::isLowSurrogate(*p_)) {
      return QChar::surrogateToUcs4(unit, *p_++);
    }
    return QChar::isSurrogate(unit) ? kReplacement : unit;
  }

private:
  const char16_t* p_;
  const char16_t* end_;
};

std::u32string CodePoints(const QString& s) {
  std::u32string out;
  out.reserve(s.size());
  for (Utf16Reader r(s); !r.AtEnd();) out.push_back(r.Next());
  return out;
}

std::u32string CodePoints(const void* data, int size) {
  std::u32string out;
  out.reserve(std::max(size, 0));
  for (Utf8Reader r(data, size); !r.AtEnd();) out.push_back(r.Next());
  return out;
}

char32_t Fold(char32_t c) { return QChar::toCaseFolded(c); }

// ---------------------------------------------------------------------------------------------------------------------
// SERBIAN collation.
//
// A folded character weighs (base << 24) | rank. A letter of its own keeps its code point as base with rank 0; the
// Serbian letters take the base of the letter they follow in the alphabet with a small rank, and other accented
// letters the base of their unaccented letter with a rank above those, so that é sits by e instead of after z. Every
// folded character gets a weight of its own, which keeps "equal weights" the same as "equal when folded".

constexpr char32_t kTableSize = 0x500;  // Latin and Cyrillic, where the letters that move live.

std::uint64_t Weigh(char32_t base, std::uint32_t rank) { return (std::uint64_t(base) << 24) | rank; }

std::uint64_t WeighFolded(char32_t f) {
  switch (f) {
    case U'č': return Weigh(U'c', 1);
    case U'ć': return Weigh(U'c', 2);
    case U'đ': return Weigh(U'd', 1);
    case U'š': return Weigh(U's', 1);
    case U'ž': return Weigh(U'z', 1);
    // Serbian Cyrillic: the letters missing from the Russian order of the block go where the azbuka has them.
    case U'ђ': return Weigh(U'д', 1);
    case U'ј': return Weigh(U'и', 1);
    case U'љ': return Weigh(U'л', 1);
    case U'њ': return Weigh(U'н', 1);
    case U'ћ': return Weigh(U'т', 1);
    case U'џ': return Weigh(U'ч', 1);
    default: break;
  }
  if (QChar::decompositionTag(f) == QChar::Canonical) {
    const QString base = QString::fromUcs4(&f, 1).normalized(QString::NormalizationForm_D);
    if (!base.isEmpty() && base.at(0).isLetter() && base.at(0).unicode() != f) {
      return Weigh(Fold(base.at(0).unicode()), 0x10 + std::uint32_t(f));
    }
  }
  return Weigh(f, 0);
}

std::uint64_t SerbianWeight(char32_t c) {
  static const auto table = [] {
    std::array<std::uint64_t, kTableSize> t{};
    for (char32_t i = 0; i < kTableSize; ++i) t[i] = WeighFolded(i);
    return t;
  }();
  const char32_t f = Fold(c);
  return f < kTableSize ? table[f] : WeighFolded(f);
}

// An accent on a letter other than the Serbian ones weighs less than any letter after it: résumé goes before resz.
std::uint64_t PrimaryWeight(std::uint64_t weight) {
  return (weight & 0xFFFFFF) >= 0x10 ? weight & ~std::uint64_t(0xFFFFFF) : weight;
}

// Three passes, each deciding only between strings the one before found equal: letters without their accents, then
// with them, then the code points themselves.
template <typename Reader>
int CompareSerbian(const Reader& first, const Reader& second) {
  const auto pass = [&](auto key) {
    Reader a = first;
    Reader b = second;
    while (!a.AtEnd() && !b.AtEnd()) {
      const auto ka = key(a.Next());
      const auto kb = key(b.Next());
      if (ka != kb) return ka < kb ? -1 : 1;
    }
    return a.AtEnd() == b.AtEnd() ? 0 : (a.AtEnd() ? -1 : 1);
  };
  if (const int r = pass([](char32_t c) { return PrimaryWeight(SerbianWeight(c)); })) return r;
  if (const int r = pass([](char32_t c) { return SerbianWeight(c); })) return r;
  return pass([](char32_t c) { return std::uint64_t(c); });
}

int SerbianCollation(void*, int sizeA, const void* a, int sizeB, const void* b) {
  if (const int r = CompareSerbian(Utf8Reader(a, sizeA), Utf8Reader(b, sizeB))) return r;
  // Different broken bytes decode alike; the bytes themselves keep such strings apart.
  const int common = std::min(sizeA, sizeB);
  if (const int r = common > 0 ? std::memcmp(a, b, std::size_t(common)) : 0) return r < 0 ? -1 : 1;
  return sizeA == sizeB ? 0 : (sizeA < sizeB ? -1 : 1);
}

// ---------------------------------------------------------------------------------------------------------------------
// LIKE.
//
// A pattern compiles to segments, the runs of steps between its % signs, in which every step stands for exactly one
// character. With single-character steps the leftmost place where a segment fits is always as good as any later one,
// so a match looks for each segment once, left to right, from where the one before ended: the text is read about
// once. A segment of plain letters is found with the Knuth-Morris-Pratt search over case-folded characters, which is
// linear in the text and the segment; a segment holding _ or lists is found with a bit-parallel automaton, which costs
// the text's length times the segment's length in 64ths. The windows only ever search for "%text%": one plain
// segment, whatever the text.

thread_local std::uint64_t gComparisons = 0;

struct CharSet {
  bool negated = false;
  std::vector<char32_t> folded;
  std::vector<std::pair<char32_t, char32_t>> ranges;

  bool Contains(char32_t c) const {
    const char32_t f = Fold(c);
    bool in = std::find(folded.begin(), folded.end(), f) != folded.end();
    for (auto it = ranges.begin(); !in && it != ranges.end(); ++it) {
      // By code point as written, and between the folded ends, so that [a-z] takes M and [А-Я] takes ж.
      const auto [lo, hi] = *it;
      in = (lo <= c && c <= hi) || (Fold(lo) <= f && f <= Fold(hi));
    }
    return in != negated;
  }
};

// A run of single-character steps: folded letters, with _ and lists at the places `special` names.
struct Segment {
  struct Special {
    std::size_t at;
    int set;  // -1 for _
  };
  std::u32string folded;
  std::vector<Special> special;

  std::size_t Size() const { return folded.size(); }
  bool Plain() const { return special.empty(); }
};

class LikePattern {
public:
  LikePattern(const std::u32string& pattern, std::optional<char32_t> escape) : escape_(escape) {
    const std::size_t n = pattern.size();
    segments_.emplace_back();
    segments_.back().folded.reserve(n);
    for (std::size_t i = 0; i < n; ++i) {
      const char32_t c = pattern[i];
      if (escape && c == *escape) {
        // As in SQLite's own LIKE, an escape with nothing after it leaves a pattern that matches nothing.
        if (++i == n) {
          matchesNothing_ = true;
          return;
        }
        AddLiteral(pattern[i]);
      } else if (c == U'%') {
        if (segments_.size() == 1 && segments_.back().Size() == 0) leadingRun_ = true;
        if (segments_.back().Size() > 0) segments_.emplace_back();
        runs_ = true;
      } else if (c == U'_') {
        AddSpecial(-1);
      } else if (c == U'[') {
        i = AddList(pattern, i);
      } else {
        AddLiteral(c);
      }
    }
    // A pattern ending in % leaves an empty segment after it.
    if (segments_.back().Size() == 0) {
      trailingRun_ = runs_;
      segments_.pop_back();
    }
    failures_.resize(segments_.size());
  }

  std::optional<char32_t> Escape() const { return escape_; }

  // "%text%" with plain text: the search the windows build, linear however long.
  bool IsPlainSearch() const {
    return leadingRun_ && trailingRun_ && segments_.size() == 1 && segments_.front().Plain();
  }

  bool Matches(const std::u32string& text) const {
    if (matchesNothing_) return false;
    const std::size_t n = text.size();
    std::size_t first = 0;
    std::size_t last = segments_.size();
    if (!runs_) return last == 0 ? n == 0 : segments_[0].Size() == n && FitsAt(segments_[0], text, 0);
    std::size_t from = 0;
    std::size_t to = n;
    if (!leadingRun_) {
      const Segment& s = segments_[first++];
      if (s.Size() > n || !FitsAt(s, text, 0)) return false;
      from = s.Size();
    }
    if (!trailingRun_ && first < last) {
      const Segment& s = segments_[--last];
      if (s.Size() > to - from || !FitsAt(s, text, n - s.Size())) return false;
      to = n - s.Size();
    }
    for (std::size_t k = first; k < last; ++k) {
      const std::size_t at =
          segments_[k].Plain() ? FindPlain(k, text, from, to) : FindGeneral(segments_[k], text, from, to);
      if (at == kNone) return false;
      from = at + segments_[k].Size();
    }
    return true;
  }

private:
  static constexpr std::size_t kNone = std::size_t(-1);

  void AddLiteral(char32_t c) { segments_.back().folded.push_back(Fold(c)); }

  void AddSpecial(int set) {
    Segment& s = segments_.back();
    s.special.push_back({s.folded.size(), set});
    s.folded.push_back(0);
  }

  // Reads the list that opens at pattern[open] and returns the index of its "]". A "!" or "^" right after "[" negates
  // only when items follow, so [!] and [^] name those characters like [%] does; an empty [] matches the zero-length
  // string; a "[" that never closes is itself a literal. A list of one character is that character.
  std::size_t AddList(const std::u32string& pattern, std::size_t open) {
    const std::size_t close = pattern.find(U']', open + 1);
    if (close == std::u32string::npos) {
      AddLiteral(U'[');
      return open;
    }
    std::size_t i = open + 1;
    if (i == close) return close;
    if (i + 1 == close) {
      AddLiteral(pattern[i]);
      return close;
    }
    CharSet set;
    if ((pattern[i] == U'!' || pattern[i] == U'^') && i + 1 < close) {
      set.negated = true;
      ++i;
    }
    for (; i < close; ++i) {
      if (i + 2 < close && pattern[i + 1] == U'-') {
        set.ranges.emplace_back(pattern[i], pattern[i + 2]);
        i += 2;
      } else {
        set.folded.push_back(Fold(pattern[i]));
      }
    }
    sets_.push_back(std::move(set));
    AddSpecial(int(sets_.size()) - 1);
    return close;
  }

  bool Accepts(const Segment& s, std::size_t special, char32_t c) const {
    const int set = s.special[special].set;
    return set < 0 || sets_[std::size_t(set)].Contains(c);
  }

  // Whether the segment fits the text at `at` exactly.
  bool FitsAt(const Segment& s, const std::u32string& text, std::size_t at) const {
    std::size_t next = 0;
    for (std::size_t j = 0; j < s.Size(); ++j) {
      ++gComparisons;
      const char32_t c = text[at + j];
      if (next < s.special.size() && s.special[next].at == j) {
        if (!Accepts(s, next++, c)) return false;
      } else if (s.folded[j] != Fold(c)) {
        return false;
      }
    }
    return true;
  }

  // The first place in text[from, to) where plain segment k fits, or kNone.
  std::size_t FindPlain(std::size_t k, const std::u32string& text, std::size_t from, std::size_t to) const {
    const std::u32string& needle = segments_[k].folded;
    const std::size_t m = needle.size();
    if (m > to - from) return kNone;
    const std::vector<std::uint32_t>& failure = Failure(k);
    std::size_t j = 0;
    for (std::size_t i = from; i < to; ++i) {
      const char32_t c = Fold(text[i]);
      ++gComparisons;
      while (j > 0 && needle[j] != c) {
        ++gComparisons;
        j = failure[j - 1];
      }
      if (needle[j] == c && ++j == m) return i + 1 - m;
    }
    return kNone;
  }

  // The Knuth-Morris-Pratt table of plain segment k, made the first time a text is long enough to hold it.
  const std::vector<std::uint32_t>& Failure(std::size_t k) const {
    std::vector<std::uint32_t>& failure = failures_[k];
    const std::u32string& needle = segments_[k].folded;
    if (!failure.empty() || needle.empty()) return failure;
    failure.assign(needle.size(), 0);
    std::uint32_t j = 0;
    for (std::size_t i = 1; i < needle.size(); ++i) {
      while (j > 0 && needle[i] != needle[j]) {
        ++gComparisons;
        j = failure[j - 1];
      }
      ++gComparisons;
      if (needle[i] == needle[j]) ++j;
      failure[i] = j;
    }
    return failure;
  }

  // The first place in text[from, to) where a segment with _ or lists fits, or kNone: the shift-and automaton, one
  // bit per step, with the steps each character passes worked out once per distinct character.
  std::size_t FindGeneral(const Segment& s, const std::u32string& text, std::size_t from, std::size_t to) const {
    const std::size_t m = s.Size();
    if (m > to - from) return kNone;
    const std::size_t words = (m + 63) / 64;
    std::unordered_map<char32_t, std::vector<std::uint64_t>> masks;
    const auto maskOf = [&](char32_t c) -> const std::vector<std::uint64_t>& {
      auto [it, made] = masks.try_emplace(c);
      if (made) {
        it->second.assign(words, 0);
        const char32_t f = Fold(c);
        std::size_t next = 0;
        for (std::size_t j = 0; j < m; ++j) {
          ++gComparisons;
          const bool passes =
              next < s.special.size() && s.special[next].at == j ? Accepts(s, next++, c) : s.folded[j] == f;
          if (passes) it->second[j / 64] |= std::uint64_t(1) << (j % 64);
        }
      }
      return it->second;
    };
    std::vector<std::uint64_t> state(words, 0);
    const std::uint64_t last = std::uint64_t(1) << ((m - 1) % 64);
    for (std::size_t i = from; i < to; ++i) {
      const std::vector<std::uint64_t>& mask = maskOf(text[i]);
      std::uint64_t carry = 1;  // every place may start a match
      for (std::size_t w = 0; w < words; ++w) {
        ++gComparisons;
        const std::uint64_t out = state[w] >> 63;
        state[w] = ((state[w] << 1) | carry) & mask[w];
        carry = out;
      }
      if (state[words - 1] & last) return i + 1 - m;
    }
    return kNone;
  }

  std::optional<char32_t> escape_;
  std::vector<Segment> segments_;
  std::vector<CharSet> sets_;
  mutable std::vector<std::vector<std::uint32_t>> failures_;
  bool runs_ = false;
  bool leadingRun_ = false;
  bool trailingRun_ = false;
  bool matchesNothing_ = false;
};

void DeletePattern(void* p) { delete static_cast<LikePattern*>(p); }

// The SQL function like(pattern, text[, escape]) behind SQLite's LIKE operator.
void LikeFunction(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  const auto* pattern = sqlite3_value_text(argv[0]);
  const int patternSize = sqlite3_value_bytes(argv[0]);
  const auto* text = sqlite3_value_text(argv[1]);
  const int textSize = sqlite3_value_bytes(argv[1]);
  std::optional<char32_t> escape;
  if (argc == 3) {
    const auto* esc = sqlite3_value_text(argv[2]);
    if (!esc) return;
    const std::u32string chars = CodePoints(esc, sqlite3_value_bytes(argv[2]));
    if (chars.size() != 1) {
      sqlite3_result_error(ctx, "ESCAPE expression must be a single character", -1);
      return;
    }
    escape = chars.front();
  }
  if (!pattern || !text) return;
  // The pattern is usually a constant of the statement: compiled once, it is kept with the statement for every row.
  const std::u32string chars = CodePoints(text, textSize);
  const auto* cached = static_cast<const LikePattern*>(sqlite3_get_auxdata(ctx, 0));
  if (cached && cached->Escape() == escape) {
    sqlite3_result_int(ctx, cached->Matches(chars) ? 1 : 0);
    return;
  }
  auto compiled = std::make_unique<LikePattern>(CodePoints(pattern, patternSize), escape);
  // A search for plain text costs time in proportion to the two lengths, however long it is; any other pattern keeps to
  // the connection's limit on pattern length, which bounds what _ and lists cost.
  if (!compiled->IsPlainSearch() &&
      patternSize > sqlite3_limit(sqlite3_context_db_handle(ctx), SQLITE_LIMIT_LIKE_PATTERN_LENGTH, -1)) {
    sqlite3_result_error(ctx, "LIKE or GLOB pattern too complex", -1);
    return;
  }
  sqlite3_result_int(ctx, compiled->Matches(chars) ? 1 : 0);
  sqlite3_set_auxdata(ctx, 0, compiled.release(), DeletePattern);
}

// ---------------------------------------------------------------------------------------------------------------------
// Translation.

struct Token {
  enum Kind { Space, Word, Literal, Name, Open, Close, Comma, Semicolon, Other } kind;
  QString text;
};

bool IsWordChar(QChar c) { return c.unicode() >= 0x80 || c.isLetterOrNumber() || c == u'_' || c == u'$'; }

// SQLite stops reading a statement at a NUL, so a literal holding one is spelt as a concatenation of the same value.
QString SingleQuoted(const QString& value) {
  // Built in one buffer: a pasted search text can run to megabytes.
  const auto quote = [](QStringView part) {
    QString out;
    out.reserve(part.size() + part.count(u'\'') + 2);
    out += u'\'';
    for (qsizetype from = 0;;) {
      const qsizetype at = part.indexOf(u'\'', from);
      out += part.mid(from, at < 0 ? part.size() - from : at + 1 - from);
      if (at < 0) break;
      out += u'\'';
      from = at + 1;
    }
    out += u'\'';
    return out;
  };
  if (!value.contains(QChar(0))) return quote(value);
  QStringList parts;
  for (const QString& part : value.split(QChar(0))) parts << quote(part);
  return u'(' + parts.join(QStringLiteral(" || char(0) || ")) + u')';
}

// Reads a literal opened by `quote` at text[i], a doubled quote inside standing for one. Returns the index past the
// closing quote, or -1 when it never closes.
qsizetype ReadQuoted(const QString& text, qsizetype i, QChar quote, QString& value) {
  const QStringView view(text);
  for (qsizetype from = i + 1;;) {
    const qsizetype at = view.indexOf(quote, from);
    if (at < 0) {
      value += view.mid(from);
      return -1;
    }
    value += view.mid(from, at - from);
    if (at + 1 < view.size() && view[at + 1] == quote) {
      value += quote;
      from = at + 2;
    } else {
      return at + 1;
    }
  }
}

std::vector<Token> Tokenize(const QString& jet) {
  std::vector<Token> tokens;
  const qsizetype n = jet.size();
  qsizetype i = 0;
  const auto rest = [&](Token::Kind kind) {
    tokens.push_back({kind, jet.mid(i)});
    i = n;
  };
  while (i < n) {
    const QChar c = jet[i];
    if (c.isSpace()) {
      qsizetype j = i;
      while (j < n && jet[j].isSpace()) ++j;
      tokens.push_back({Token::Space, jet.mid(i, j - i)});
      i = j;
    } else if (c == u'"' || c == u'\'') {
      QString value;
      const qsizetype end = ReadQuoted(jet, i, c, value);
      if (end < 0) {
        // Left open, as the engine should see it: still one unterminated single-quoted literal.
        tokens.push_back({Token::Literal, u'\'' + value.replace(u'\'', QStringLiteral("''"))});
        i = n;
      } else {
        const bool keep = c == u'\'' && !value.contains(QChar(0));
        tokens.push_back({Token::Literal, keep ? jet.mid(i, end - i) : SingleQuoted(value)});
        i = end;
      }
    } else if (c == u'[' || c == u'`') {
      const qsizetype end = jet.indexOf(c == u'[' ? u']' : u'`', i + 1);
      if (end < 0) {
        rest(Token::Name);
      } else {
        tokens.push_back({Token::Name, jet.mid(i, end + 1 - i)});
        i = end + 1;
      }
    } else if (IsWordChar(c)) {
      qsizetype j = i;
      while (j < n && IsWordChar(jet[j])) ++j;
      tokens.push_back({Token::Word, jet.mid(i, j - i)});
      i = j;
    } else {
      const Token::Kind kind = c == u'('   ? Token::Open
                               : c == u')' ? Token::Close
                               : c == u',' ? Token::Comma
                               : c == u';' ? Token::Semicolon
                                           : Token::Other;
      tokens.push_back({kind, QString(c)});
      ++i;
    }
  }
  return tokens;
}

bool IsKeyword(const Token& t, QLatin1String word) {
  return t.kind == Token::Word && t.text.compare(word, Qt::CaseInsensitive) == 0;
}

// One level of parentheses. While it holds an ORDER BY list it follows the current term: the last token of its
// expression, which COLLATE SERBIAN is to follow (ahead of any ASC or DESC), and whether a COLLATE was written anywhere
// in it, inside its parentheses too.
struct Level {
  bool ordering = false;
  bool collate = false;
  std::optional<std::size_t> last;
  bool sawCollate = false;  // anywhere on this level, to hand up to an enclosing term
};

class OrderByCollator {
public:
  explicit OrderByCollator(const std::vector<Token>& tokens) : tokens_(tokens) {}

  // The tokens that COLLATE SERBIAN is to follow, in order.
  std::vector<std::size_t> Run() {
    levels_.assign(1, Level{});
    for (std::size_t i = 0; i < tokens_.size(); ++i) {
      const Token& t = tokens_[i];
      Level& top = levels_.back();
      if (t.kind == Token::Space) continue;
      if (IsKeyword(t, QLatin1String("order"))) {
        const std::size_t by = NextSignificant(i + 1);
        if (by < tokens_.size() && IsKeyword(tokens_[by], QLatin1String("by"))) {
          EndTerm(top);
          top.ordering = true;
          i = by;
          continue;
        }
      }
      switch (t.kind) {
        case Token::Open:
          Extend(top, i);
          levels_.emplace_back();
          break;
        case Token::Close:
          if (levels_.size() > 1) {
            EndTerm(top);
            const bool inner = top.sawCollate;
            levels_.pop_back();
            Level& outer = levels_.back();
            outer.sawCollate = outer.sawCollate || inner;
            if (outer.ordering) outer.collate = outer.collate || inner;
          }
          Extend(levels_.back(), i);
          break;
        case Token::Comma:
          if (top.ordering) {
            EndTerm(top);
            top.ordering = true;
          }
          break;
        case Token::Semicolon: EndTerm(top); break;
        default:
          if (IsKeyword(t, QLatin1String("limit")) || IsKeyword(t, QLatin1String("offset"))) {
            EndTerm(top);
          } else if (IsKeyword(t, QLatin1String("collate"))) {
            top.sawCollate = true;
            top.collate = true;
            Extend(top, i);
          } else if (!(top.ordering && top.last &&
                       (IsKeyword(t, QLatin1String("asc")) || IsKeyword(t, QLatin1String("desc"))))) {
            Extend(top, i);
          }
          break;
      }
    }
    // Parentheses left open end with the text, which makes its last token the last of every enclosing term.
    const std::size_t end = LastSignificant();
    while (!levels_.empty()) {
      EndTerm(levels_.back());
      levels_.pop_back();
      if (!levels_.empty() && end < tokens_.size()) Extend(levels_.back(), end);
    }
    std::sort(insertions_.begin(), insertions_.end());
    return std::move(insertions_);
  }

private:
  std::size_t NextSignificant(std::size_t i) const {
    while (i < tokens_.size() && tokens_[i].kind == Token::Space) ++i;
    return i;
  }

  std::size_t LastSignificant() const {
    for (std::size_t i = tokens_.size(); i-- > 0;) {
      if (tokens_[i].kind != Token::Space) return i;
    }
    return tokens_.size();
  }

  static void Extend(Level& level, std::size_t i) { level.last = i; }

  void EndTerm(Level& level) {
    if (level.ordering && level.last && !level.collate) {
      insertions_.push_back(*level.last);
    }
    const bool sawCollate = level.sawCollate;
    level = Level{};
    level.sawCollate = sawCollate;
  }

  const std::vector<Token>& tokens_;
  std::vector<Level> levels_;
  std::vector<std::size_t> insertions_;
};

}  // namespace

QString TranslateJetSql(const QString& jet) {
  const std::vector<Token> tokens = Tokenize(jet);
  const std::vector<std::size_t> insertions = OrderByCollator(tokens).Run();
  const QString kCollate = QStringLiteral(" COLLATE SERBIAN");
  QString out;
  out.reserve(jet.size() + qsizetype(insertions.size()) * kCollate.size());
  auto next = insertions.begin();
  for (std::size_t i = 0; i < tokens.size(); ++i) {
    out += tokens[i].text;
    for (; next != insertions.end() && *next == i; ++next) out += kCollate;
  }
  return out;
}

int RegisterJetDialect(sqlite3* db) {
  if (!db) return SQLITE_MISUSE;
  constexpr int kFlags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
  int rc = sqlite3_create_function_v2(db, "like", 2, kFlags, nullptr, LikeFunction, nullptr, nullptr, nullptr);
  if (rc == SQLITE_OK) {
    rc = sqlite3_create_function_v2(db, "like", 3, kFlags, nullptr, LikeFunction, nullptr, nullptr, nullptr);
  }
  if (rc == SQLITE_OK) rc = sqlite3_create_collation_v2(db, "SERBIAN", SQLITE_UTF8, nullptr, SerbianCollation, nullptr);
  return rc;
}

bool JetLike(const QString& pattern, const QString& text) {
  return LikePattern(CodePoints(pattern), std::nullopt).Matches(CodePoints(text));
}

std::uint64_t JetLikeComparisons() { return gComparisons; }

int SerbianCompare(const QString& a, const QString& b) {
  if (const int r = CompareSerbian(Utf16Reader(a), Utf16Reader(b))) return r;
  // Lone surrogates all read as U+FFFD; their units keep such strings apart.
  const int r = QStringView(a).compare(QStringView(b), Qt::CaseSensitive);
  return r == 0 ? 0 : (r < 0 ? -1 : 1);
}

QString EscapeJetLikeText(const QString& text) {
  QString out;
  out.reserve(text.size() + 8);
  for (const QChar c : text) {
    switch (c.unicode()) {
      case u'"': out += QStringLiteral("\"\""); break;
      case u'%': out += QStringLiteral("[%]"); break;
      case u'_': out += QStringLiteral("[_]"); break;
      case u'[': out += QStringLiteral("[[]"); break;
      default: out += c; break;
    }
  }
  return out;
}
