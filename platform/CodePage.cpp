#include "CodePage.h"

#include "Exceptions.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <functional>

namespace {

struct CharsetCodePage {
  int charset;
  int codePage;
};

constexpr int kSymbolCodePage = 42;

// The character sets that have a code page of their own.
constexpr CharsetCodePage kCharsets[] = {
    {0, 1252},             // ANSI
    {2, kSymbolCodePage},  // SYMBOL
    {77, 10000},           // MAC
    {128, 932},            // SHIFTJIS
    {129, 949},            // HANGEUL
    {130, 1361},           // JOHAB
    {134, 936},            // GB2312
    {136, 950},            // CHINESEBIG5
    {161, 1253},           // GREEK
    {162, 1254},           // TURKISH
    {163, 1258},           // VIETNAMESE
    {177, 1255},           // HEBREW
    {178, 1256},           // ARABIC
    {186, 1257},           // BALTIC
    {204, 1251},           // RUSSIAN
    {222, 874},            // THAI
    {238, 1250},           // EASTEUROPE
};

// iconv's name for a code page.
QByteArray IconvName(int codePage) {
  switch (codePage) {
    case 10000: return "MACINTOSH";
    case 932: return "CP932";
    case 949: return "CP949";
    case 1361: return "JOHAB";
    case 936: return "CP936";
    case 950: return "CP950";
    case 874: return "CP874";
    default:
      if (codePage >= 1250 && codePage <= 1258) return "CP" + QByteArray::number(codePage);
      return {};
  }
}

bool IsSingleByte(int codePage) {
  return codePage == 874 || codePage == 10000 || (codePage >= 1250 && codePage <= 1258);
}

// One conversion descriptor, closed however the conversion ends.
class Iconv {
public:
  Iconv(const QByteArray& to, const QByteArray& from) : FHandle(iconv_open(to.constData(), from.constData())) {}
  ~Iconv() {
    if (Valid()) iconv_close(FHandle);
  }
  Iconv(const Iconv&) = delete;
  Iconv& operator=(const Iconv&) = delete;
  bool Valid() const { return FHandle != reinterpret_cast<iconv_t>(-1); }
  iconv_t Handle() const { return FHandle; }

private:
  iconv_t FHandle;
};

[[noreturn]] void Unsupported(int codePage) {
  throw EConvertError(QStringLiteral("Code page %1 is not supported").arg(codePage));
}

// Converts as much of the input as iconv takes and appends it; with no input,
// appends what the descriptor still holds back (the Vietnamese and Hebrew
// code pages keep a letter until they know no combining mark follows) and
// returns it to its initial state. False when it stopped at a unit it cannot
// convert.
bool Step(iconv_t cd, char** src, size_t* left, QByteArray& out) {
  char buffer[1024];
  for (;;) {
    char* dst = buffer;
    size_t room = sizeof buffer;
    const size_t done = src ? iconv(cd, src, left, &dst, &room) : iconv(cd, nullptr, nullptr, &dst, &room);
    out.append(buffer, static_cast<qsizetype>(sizeof buffer - room));
    if (done != static_cast<size_t>(-1)) return true;
    if (errno != E2BIG) return false;
  }
}

// Appends the stand-in for the unit at `at` and returns how many input bytes
// it covers.
using Replacer = std::function<size_t(const char* at, size_t left, QByteArray& out)>;

QByteArray Convert(Iconv& cd, const char* in, size_t inLeft, const Replacer& replace) {
  QByteArray out;
  char* src = const_cast<char*>(in);
  while (inLeft > 0) {
    if (Step(cd.Handle(), &src, &inLeft, out)) break;
    // EILSEQ or EINVAL: what came before the unit goes out first.
    Step(cd.Handle(), nullptr, nullptr, out);
    const size_t skip = std::clamp<size_t>(replace(src, inLeft, out), 1, inLeft);
    src += skip;
    inLeft -= skip;
  }
  Step(cd.Handle(), nullptr, nullptr, out);
  return out;
}

void AppendUtf16(QByteArray& out, char16_t c) {
  out.append(static_cast<char>(c & 0xFF));
  out.append(static_cast<char>(c >> 8));
}

char16_t Utf16At(const char* at) {
  return static_cast<char16_t>(static_cast<uchar>(at[0]) | (static_cast<uchar>(at[1]) << 8));
}

// Whether a single-byte code page leaves the byte undefined.
bool ByteUndefined(const QByteArray& name, uchar byte) {
  Iconv cd("UTF-16LE", name);
  if (!cd.Valid()) return false;
  char in = static_cast<char>(byte);
  char* src = &in;
  size_t left = 1;
  char out[8];
  char* dst = out;
  size_t room = sizeof out;
  return iconv(cd.Handle(), &src, &left, &dst, &room) == static_cast<size_t>(-1);
}

// The symbol code page has no text encoding: its bytes from 0x20 up stand
// for the private-use characters U+F020..U+F0FF that symbol fonts draw.
QString SymbolToWide(const QByteArray& bytes) {
  QString out;
  out.reserve(bytes.size());
  for (char b : bytes) {
    const auto u = static_cast<uchar>(b);
    out.append(QChar(static_cast<char16_t>(u < 0x20 ? u : 0xF000 + u)));
  }
  return out;
}

QByteArray WideToSymbol(const QString& text) {
  QByteArray out;
  for (qsizetype i = 0; i < text.size(); ++i) {
    const char16_t c = text[i].unicode();
    if (c < 0x20) {
      out.append(static_cast<char>(c));
    } else if (c >= 0xF020 && c <= 0xF0FF) {
      out.append(static_cast<char>(c - 0xF000));
    } else {
      out.append('?');
      if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) ++i;
    }
  }
  return out;
}

}  // namespace

int DefaultAnsiCodePage() { return 1250; }

int CharsetToCodePage(int charset) {
  for (const auto& c : kCharsets)
    if (c.charset == charset) return c.codePage;
  return 0;
}

bool IsCodePageSupported(int codePage) {
  if (codePage == kSymbolCodePage) return true;
  const QByteArray name = IconvName(codePage);
  if (name.isEmpty()) return false;
  Iconv cd("UTF-16LE", name);
  return cd.Valid();
}

QString MultiByteToWide(int codePage, const QByteArray& bytes) {
  if (bytes.isEmpty()) return {};
  if (codePage == kSymbolCodePage) return SymbolToWide(bytes);
  const QByteArray name = IconvName(codePage);
  if (name.isEmpty()) Unsupported(codePage);
  Iconv cd("UTF-16LE", name);
  if (!cd.Valid()) Unsupported(codePage);
  const bool singleByte = IsSingleByte(codePage);
  const QByteArray utf16 =
      Convert(cd, bytes.constData(), static_cast<size_t>(bytes.size()), [&](const char* at, size_t, QByteArray& out) {
        const auto byte = static_cast<uchar>(*at);
        AppendUtf16(out, singleByte && byte >= 0x80 && byte <= 0x9F ? char16_t(byte) : char16_t(0xFFFD));
        return size_t(1);
      });
  return QString(reinterpret_cast<const QChar*>(utf16.constData()), utf16.size() / 2);
}

QByteArray WideToMultiByte(int codePage, const QString& text) {
  if (text.isEmpty()) return {};
  if (codePage == kSymbolCodePage) return WideToSymbol(text);
  const QByteArray name = IconvName(codePage);
  if (name.isEmpty()) Unsupported(codePage);
  Iconv cd(name, "UTF-16LE");
  if (!cd.Valid()) Unsupported(codePage);
  const bool singleByte = IsSingleByte(codePage);
  return Convert(cd, reinterpret_cast<const char*>(text.utf16()), static_cast<size_t>(text.size()) * 2,
                 [&](const char* at, size_t left, QByteArray& out) {
                   if (left < 2) {
                     out.append('?');
                     return left;
                   }
                   const char16_t c = Utf16At(at);
                   if (singleByte && c >= 0x80 && c <= 0x9F && ByteUndefined(name, static_cast<uchar>(c))) {
                     out.append(static_cast<char>(c));
                     return size_t(2);
                   }
                   out.append('?');
                   // The two halves of a character outside the basic plane are one character.
                   if (QChar::isHighSurrogate(c) && left >= 4 && QChar::isLowSurrogate(Utf16At(at + 2)))
                     return size_t(4);
                   return size_t(2);
                 });
}
