// Character sets to code pages, and text between code pages and wide strings.
#include "CodePage.h"
#include "Exceptions.h"
#include "QtPrinters.h"

#include <gtest/gtest.h>

namespace {

QString Wide(const char* utf8) { return QString::fromUtf8(utf8); }

std::string Hex(const QByteArray& bytes) { return bytes.toHex(' ').toStdString(); }

}  // namespace

TEST(CodePage, CharsetsMapToTheirAnsiCodePages) {
  struct Row {
    int charset;
    int codePage;
  };
  const Row rows[] = {
      {0, 1252},   {1, 0},      {2, 42},     {77, 10000}, {128, 932},  {129, 949},  {130, 1361},
      {134, 936},  {136, 950},  {161, 1253}, {162, 1254}, {163, 1258}, {177, 1255}, {178, 1256},
      {186, 1257}, {204, 1251}, {222, 874},  {238, 1250}, {255, 0},    {3, 0},      {-1, 0},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(CharsetToCodePage(row.charset), row.codePage) << "charset " << row.charset;
    if (row.codePage != 0) {
      EXPECT_TRUE(IsCodePageSupported(row.codePage)) << "code page " << row.codePage << " of charset " << row.charset;
    }
  }
  EXPECT_EQ(DefaultAnsiCodePage(), 1250);
  EXPECT_FALSE(IsCodePageSupported(0));
  EXPECT_FALSE(IsCodePageSupported(65001));
}

TEST(CodePage, TextRoundTripsThroughItsCodePage) {
  struct Row {
    int codePage;
    QByteArray bytes;
    const char* wide;  // UTF-8
  };
  const Row rows[] = {
      {1250, QByteArray("\xE8\xE6\x9A\x9E\xF0 \xC8\xC6\x8A\x8E\xD0"), "čćšžđ ČĆŠŽĐ"},
      {1250, QByteArray("\x80"), "€"},
      {1251, QByteArray("\xCF\xF0\xE8\xE2\xE5\xF2"), "Привет"},
      {1252, QByteArray("caf\xE9 \x80"), "café €"},
      {1253, QByteArray("\xC5\xEB\xEB\xDC\xE4\xE1"), "Ελλάδα"},
      {932, QByteArray("\x93\xFA\x96\x7B"), "日本"},
      // The Vietnamese and Hebrew code pages hold a letter back until they
      // know no combining mark follows: the last letter must still come out.
      {1258, QByteArray("Vi\xEA\xF2t"), "Việt"},
      {1258, QByteArray("a"), "a"},
      {1255, QByteArray("\xE0"), "א"},
      {1250, QByteArray("a\0b", 3), "a\0b"},
  };
  for (const Row& row : rows) {
    const QString wide = row.bytes.contains('\0') ? QString(QLatin1String(row.bytes)) : Wide(row.wide);
    EXPECT_EQ(MultiByteToWide(row.codePage, row.bytes), wide) << "code page " << row.codePage << ": " << row.wide;
    EXPECT_EQ(Hex(WideToMultiByte(row.codePage, wide)), Hex(row.bytes))
        << "code page " << row.codePage << ": " << row.wide;
  }
}

TEST(CodePage, EmptyTextStaysEmptyWhateverTheCodePage) {
  for (int codePage : {1250, 1251, 932, 42, 0, 12345}) {
    EXPECT_TRUE(MultiByteToWide(codePage, QByteArray()).isEmpty()) << codePage;
    EXPECT_TRUE(WideToMultiByte(codePage, QString()).isEmpty()) << codePage;
  }
}

TEST(CodePage, UnsupportedCodePageRaisesConvertError) {
  for (int codePage : {0, 1, 65001, 12345}) {
    EXPECT_THROW(MultiByteToWide(codePage, QByteArray("a")), EConvertError) << codePage;
    EXPECT_THROW(WideToMultiByte(codePage, QStringLiteral("a")), EConvertError) << codePage;
  }
}

TEST(CodePage, UnmappableCharactersBecomeQuestionMarks) {
  struct Row {
    int codePage;
    QString wide;
    QByteArray bytes;
  };
  const Row rows[] = {
      {1250, Wide("aĀb"), "a?b"},
      {1250, Wide("Мир"), "???"},
      {1251, Wide("čaj"), "?aj"},
      // A character outside the basic plane is one character, not two.
      {1250, Wide("x😀y"), "x?y"},
      {1251, Wide("😀😀"), "??"},
      {932, Wide("😀日"), "?\x93\xFA"},
      // Lone halves of a surrogate pair.
      {1250, QString(QChar(0xD83D)) + QLatin1String("z"), "?z"},
      {1250, QLatin1String("z") + QChar(0xD83D), "z?"},
      {1250, QString(QChar(0xDE00)) + QLatin1String("z"), "?z"},
      // 0x80 is the euro sign in 1250, so U+0080 has no byte there.
      {1250, QString(QChar(0x80)), "?"},
      // Whatever was held back before an unmappable character comes first.
      {1258, Wide("aĀb"), "a?b"},
  };
  for (const Row& row : rows)
    EXPECT_EQ(Hex(WideToMultiByte(row.codePage, row.wide)), Hex(row.bytes))
        << "code page " << row.codePage << ": " << row.wide.toStdString();
}

TEST(CodePage, UndefinedBytesOfSingleByteCodePagesSurviveARoundTrip) {
  // Windows reads the holes of its single-byte code pages as the control
  // characters of the same number and writes them back.
  struct Row {
    int codePage;
    QByteArray bytes;
    QString wide;
  };
  const Row rows[] = {
      {1250, QByteArray("a\x81\x83\x88\x90\x98z"),
       QLatin1String("a") + QChar(0x81) + QChar(0x83) + QChar(0x88) + QChar(0x90) + QChar(0x98) + QLatin1String("z")},
      {1251, QByteArray("\x98"), QString(QChar(0x98))},
      {1252, QByteArray("\x81\x8D\x8F\x90\x9D"),
       QString(QChar(0x81)) + QChar(0x8D) + QChar(0x8F) + QChar(0x90) + QChar(0x9D)},
      // The letter held back before the hole keeps its place.
      {1258,
       QByteArray("a\x81"
                  "b"),
       QLatin1String("a") + QChar(0x81) + QLatin1String("b")},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(MultiByteToWide(row.codePage, row.bytes), row.wide)
        << "code page " << row.codePage << ": " << Hex(row.bytes);
    EXPECT_EQ(Hex(WideToMultiByte(row.codePage, row.wide)), Hex(row.bytes)) << "code page " << row.codePage;
  }
}

TEST(CodePage, BytesWithoutMeaningBecomeTheReplacementCharacter) {
  const QChar replacement(0xFFFD);
  // Outside 0x80..0x9F a hole has no control character to stand for.
  EXPECT_EQ(MultiByteToWide(1253, QByteArray("a\xAA")), QLatin1String("a") + replacement);
  // A lead byte without its trail byte.
  EXPECT_EQ(MultiByteToWide(932, QByteArray("\x93\xFA\x93")), Wide("日") + replacement);
  EXPECT_EQ(WideToMultiByte(1253, QString(replacement)), QByteArray("?"));
}

TEST(CodePage, SymbolCodePageMapsToThePrivateUseArea) {
  const QByteArray bytes("\x01 A\xFF", 4);
  const QString wide = QString(QChar(0x01)) + QChar(0xF020) + QChar(0xF041) + QChar(0xF0FF);
  EXPECT_EQ(MultiByteToWide(42, bytes), wide);
  EXPECT_EQ(Hex(WideToMultiByte(42, wide)), Hex(bytes));
  EXPECT_EQ(WideToMultiByte(42, Wide("A😀")), QByteArray("??"));
}
