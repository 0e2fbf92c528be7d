// Writing the settings tree as text: the exact bytes of groups and values, the
// template, and reading every written form back.
#include "rsIniData.h"

#include "SettingsTestSupport.h"

#include <gtest/gtest.h>

#include <QStringList>

#include <cmath>
#include <functional>
#include <limits>

namespace {

using namespace settingstest;

class IniWriterTest : public ::testing::Test {
protected:
  void SetUp() override { FormatSettings.DecimalSeparator = QLatin1Char('.'); }
  QByteArray Write() { return ini.FormatStream(storage); }
  TrsValue Value(const std::function<void(TrsKeyWrapper&)>& set) {
    TrsKeyItem item;
    TrsKeyWrapper key(&item);
    set(key);
    return item.Value;
  }
  FormatsGuard guard;
  TrsStorage storage;
  TrsIniData ini;
};

TEST_F(IniWriterTest, GroupsOfTheSaversFile) {
  storage.SetRootSection(QStringLiteral("Form1.rsPropSaver1"));
  storage.WriteString(QStringLiteral("Panel7.Width"), QString());
  storage.Key().SetInteger(233);
  storage.WriteString(QStringLiteral("Edit2.Text"), QStringLiteral("2"));
  storage.WriteString(QStringLiteral("FormPlacement"), QStringLiteral("0,3,-1,-1,-8,-8,100,100,900,700"));
  storage.FindKey(QStringLiteral("Panel3.Width"), true);
  storage.Key().SetInteger(233);
  EXPECT_EQ(Write(), QByteArray("[Form1.rsPropSaver1]\r\n"
                                "Edit2.Text=\"2\"\r\n"
                                "FormPlacement=\"0,3,-1,-1,-8,-8,100,100,900,700\"\r\n"
                                "Panel3.Width=233\r\n"
                                "Panel7.Width=233\r\n"
                                "\r\n"));
  EXPECT_EQ(storage.RootSection(), QStringLiteral("Form1.rsPropSaver1"));
}

TEST_F(IniWriterTest, EmptyTreeWritesNothing) {
  EXPECT_EQ(Write(), QByteArray());
  storage.SetRootSection(QStringLiteral("a\\b"));
  EXPECT_EQ(Write(), QByteArray());
}

TEST_F(IniWriterTest, SectionsInArrayOrderWithTheirFullPaths) {
  storage.WriteString(QStringLiteral("\\b\\c\\k"), QStringLiteral("1"));
  storage.WriteString(QStringLiteral("\\a\\k"), QStringLiteral("2"));
  storage.WriteString(QStringLiteral("\\a\\d\\k"), QStringLiteral("3"));
  storage.WriteString(QStringLiteral("\\top"), QStringLiteral("4"));
  // Sections by parent id, then name: "a\d" (parent "a", id 3) follows
  // "b\c" (parent "b", id 1). "b" holds no keys and gets no header.
  EXPECT_EQ(Write(), QByteArray("[]\r\ntop=\"4\"\r\n\r\n"
                                "[a]\r\nk=\"2\"\r\n\r\n"
                                "[b\\c]\r\nk=\"1\"\r\n\r\n"
                                "[a\\d]\r\nk=\"3\"\r\n\r\n"));
  storage.SetOptions(soSaveOnClose | soSaveEmptySection);
  EXPECT_EQ(Write(), QByteArray("[]\r\ntop=\"4\"\r\n\r\n"
                                "[a]\r\nk=\"2\"\r\n\r\n"
                                "[b]\r\n"
                                "[b\\c]\r\nk=\"1\"\r\n\r\n"
                                "[a\\d]\r\nk=\"3\"\r\n\r\n"));
}

TEST_F(IniWriterTest, NestedHeaderWithoutParentKeys) {
  ini.ParseStream(storage, "[a\\b]\r\nk=1\r\n");
  EXPECT_EQ(Write(), QByteArray("[a\\b]\r\nk=1\r\n\r\n"));
  storage.SetOptions(soSaveEmptySection);
  EXPECT_EQ(Write(), QByteArray("[]\r\n[a]\r\n[a\\b]\r\nk=1\r\n\r\n"));
}

TEST_F(IniWriterTest, KeyKeepsTheLetterCaseOfTheFile) {
  ini.ParseStream(storage, "[Form1.rsPropSaver1]\r\npanel7.width=200\r\n");
  storage.SetRootSection(QStringLiteral("Form1.rsPropSaver1"));
  storage.FindKey(QStringLiteral("Panel7.Width"), true);
  storage.Key().SetInteger(233);
  EXPECT_EQ(Write(), QByteArray("[Form1.rsPropSaver1]\r\npanel7.width=233\r\n\r\n"));
}

TEST_F(IniWriterTest, NamesBeyondAsciiAreWrittenInTheOrderOfTheirBytes) {
  // Windows-1250: 0x8A "Š", 0x9E "ž", 0xC8 "Č".
  const QByteArray file = "[\x8A]\r\n\x8A=1\r\n\x9E=2\r\n\xC8=3\r\n\r\n[\xC8]\r\nk=4\r\n\r\n";
  ini.ParseStream(storage, "[\xC8]\r\nk=4\r\n[\x8A]\r\n\xC8=3\r\n\x9E=2\r\n\x8A=1\r\n");
  EXPECT_EQ(Write(), file);
  TrsStorage back;
  ini.ParseStream(back, file);
  EXPECT_EQ(ini.FormatStream(back), file);
}

TEST_F(IniWriterTest, ValueForms) {
  struct Row {
    const char* name;
    std::function<void(TrsKeyWrapper&)> set;
    QByteArray written;
  };
  const std::vector<Row> rows = {
      {"empty", [](TrsKeyWrapper& k) { k.Clear(); }, ""},
      {"text", [](TrsKeyWrapper& k) { k.SetString(QStringLiteral("Tahoma")); }, "\"Tahoma\""},
      {"empty text", [](TrsKeyWrapper& k) { k.SetString(QString()); }, ""},
      {"quoted text", [](TrsKeyWrapper& k) { k.SetString(QStringLiteral("\"a\"")); }, "\"a\""},
      {"single quote", [](TrsKeyWrapper& k) { k.SetString(QStringLiteral("\"")); }, "\""},
      {"text with CR LF", [](TrsKeyWrapper& k) { k.SetString(QStringLiteral("line1\r\nline2")); },
       "text:\"line1$0D$0Aline2\""},
      {"dollar without control bytes", [](TrsKeyWrapper& k) { k.SetString(QStringLiteral("50$")); }, "\"50$\""},
      {"dollar with control bytes", [](TrsKeyWrapper& k) { k.SetString(QStringLiteral("a$\tb\x1f")); },
       "text:\"a$$$09b$1F\""},
      {"code page", [](TrsKeyWrapper& k) { k.SetString(QStringLiteral("\u0161\u010d")); }, "\"\x9A\xE8\""},
      {"integer", [](TrsKeyWrapper& k) { k.SetInteger(-2147483624); }, "-2147483624"},
      {"float", [](TrsKeyWrapper& k) { k.SetFloat(1.5); }, "1.5"},
      {"whole float", [](TrsKeyWrapper& k) { k.SetFloat(-2); }, "-2.0"},
      {"large float", [](TrsKeyWrapper& k) { k.SetFloat(1.5e20); }, "150000000000000000000.0"},
      {"small float", [](TrsKeyWrapper& k) { k.SetFloat(-1.25e-7); }, "-0.000000125"},
      {"not a number", [](TrsKeyWrapper& k) { k.SetFloat(std::nan("")); }, "NAN"},
      {"currency", [](TrsKeyWrapper& k) { k.SetCurrency(TCurrency{125000}); }, "curr:12.5"},
      {"boolean", [](TrsKeyWrapper& k) { k.SetBoolean(false); }, "False"},
      {"point", [](TrsKeyWrapper& k) { k.SetPoint(QPoint(3, -4)); }, "point:3,-4"},
      {"small int64", [](TrsKeyWrapper& k) { k.SetInt64(-5); }, "int64:-5"},
      {"large int64", [](TrsKeyWrapper& k) { k.SetInt64(1LL << 40); }, "1099511627776"},
      {"binary", [](TrsKeyWrapper& k) { k.SetBinary(QByteArray("\x0a\xff\x00", 3)); }, "hex:0A,FF,00"},
      {"empty binary", [](TrsKeyWrapper& k) { k.SetBinary(QByteArray()); }, "hex:"},
  };
  for (const Row& row : rows) EXPECT_EQ(ini.FormatValue(Value(row.set)), row.written) << row.name;
}

TEST_F(IniWriterTest, DateTimeForms) {
  const TrsValue v = Value([](TrsKeyWrapper& k) { k.SetDateTime(EncodeDate(2026, 12, 11) + EncodeTime(13, 5, 9, 7)); });
  EXPECT_EQ(ini.FormatValue(v), "date:" + DateTimeToStr(v.Float).toLatin1());
  ini.SetFixedDateTimeFormat(true);
  EXPECT_EQ(ini.FormatValue(v), QByteArray("fxdate:2026-12-11T13:05:09.7"));
  EXPECT_EQ(ini.FormatValue(Value([](TrsKeyWrapper& k) { k.SetDateTime(-1.25); })),
            QByteArray("fxdate:1899-12-29T06:00:00.0"));
}

TEST_F(IniWriterTest, LongBinaryContinuesOnIndentedLines) {
  QByteArray bytes;
  for (int i = 0; i < 60; ++i) bytes.append(static_cast<char>(i));
  const TrsValue v = Value([&](TrsKeyWrapper& k) { k.SetBinary(bytes); });
  const QByteArray text = ini.FormatValue(v);
  const QList<QByteArray> lines = text.split('\n');
  ASSERT_EQ(lines.size(), 3);
  EXPECT_TRUE(lines[0].startsWith("hex:00,01,"));
  EXPECT_TRUE(lines[0].endsWith(",18,\\\r"));
  EXPECT_EQ(lines[1], QByteArray("  19,1A,1B,1C,1D,1E,1F,20,21,22,23,24,25,26,27,28,29,2A,2B,2C,2D,2E,2F,30,31,\\\r"));
  EXPECT_EQ(lines[2], QByteArray("  32,33,34,35,36,37,38,39,3A,3B"));

  ini.SetCompactOptions(coHexStr);
  EXPECT_EQ(ini.FormatValue(v), "hex:" + bytes.toHex().toUpper());
}

TEST_F(IniWriterTest, TemplateAroundTheBody) {
  storage.WriteString(QStringLiteral("s\\k"), QStringLiteral("v"));
  const QByteArray body("[s]\r\nk=\"v\"\r\n\r\n");
  struct Row {
    QStringList lines;
    QByteArray expected;
  };
  const std::vector<Row> rows = {
      {{QStringLiteral("%BODY%")}, body},
      {{QStringLiteral("; head"), QStringLiteral("%BODY%"), QStringLiteral("; tail")},
       "; head\r\n" + body + "; tail\r\n"},
      {{QStringLiteral("; no marker")}, "; no marker\r\n" + body},
      {{}, body},
      {{QStringLiteral("%BODY%"), QString()}, body},
      // The marker counts wherever it stands, when a line end follows it.
      {{QStringLiteral("x%BODY%")}, "x" + body},
      {{QStringLiteral("%BODY% y")}, "%BODY% y\r\n" + body},
  };
  for (const Row& row : rows) {
    TStringList lines(row.lines);
    ini.SetTemplate(&lines);
    EXPECT_EQ(Write(), row.expected) << row.lines.join(QLatin1Char('|')).toStdString();
  }
  // What stands before the first header is not read back.
  TStringList lines(QStringList{QStringLiteral("k=1"), QStringLiteral("%BODY%")});
  ini.SetTemplate(&lines);
  TrsStorage back;
  ini.ParseStream(back, Write());
  ASSERT_EQ(back.KeyCount(), 1);
  EXPECT_EQ(back.Keys(0).Value.Text, QStringLiteral("v"));
}

TEST_F(IniWriterTest, OutputLongerThanTheBufferComesOutWhole) {
  QByteArray expected("[s]\r\n");
  storage.SetRootSection(QStringLiteral("s"));
  for (int i = 0; i < 400; ++i) {
    const QString name = QStringLiteral("key%1").arg(i, 4, 10, QLatin1Char('0'));
    const QString value = QString(i % 37, QLatin1Char('x'));
    storage.WriteString(name, value);
    expected += name.toLatin1() + "=" + (value.isEmpty() ? QByteArray() : "\"" + value.toLatin1() + "\"") + "\r\n";
  }
  expected += "\r\n";
  const QByteArray written = Write();
  ASSERT_GT(written.size(), 2 * 4096);
  EXPECT_EQ(written, expected);
}

// Each value written and read back: the kind and value it comes back with.
TEST_F(IniWriterTest, EveryWrittenFormReadsBack) {
  struct Row {
    const char* name;
    std::function<void(TrsKeyWrapper&)> set;
    std::function<void(TrsKeyWrapper&)> expected;  // empty: the same as set
  };
  QByteArray big;
  for (int i = 0; i < 200; ++i) big.append(static_cast<char>(i * 7));
  const TDateTime moment = EncodeDate(2026, 12, 11) + EncodeTime(13, 5, 9, 0);
  const std::vector<Row> rows = {
      {"text", [](TrsKeyWrapper& k) { k.SetString(QStringLiteral("Tahoma")); }, {}},
      {"text of digits", [](TrsKeyWrapper& k) { k.SetString(QStringLiteral("2")); }, {}},
      {"text True", [](TrsKeyWrapper& k) { k.SetString(QStringLiteral("True")); }, {}},
      {"text with prefix", [](TrsKeyWrapper& k) { k.SetString(QStringLiteral("curr:abc")); }, {}},
      {"text with blanks", [](TrsKeyWrapper& k) { k.SetString(QStringLiteral("  a  ")); }, {}},
      {"text with controls", [](TrsKeyWrapper& k) { k.SetString(QStringLiteral("line1\r\nline2\t$")); }, {}},
      {"text with control and quotes", [](TrsKeyWrapper& k) { k.SetString(QStringLiteral("\"\n\"")); }, {}},
      {"text escape look-alike", [](TrsKeyWrapper& k) { k.SetString(QStringLiteral("$0D$$")); }, {}},
      {"code page text", [](TrsKeyWrapper& k) { k.SetString(QStringLiteral("\u0161\u010d\u0107\u017e")); }, {}},
      {"empty text", [](TrsKeyWrapper& k) { k.SetString(QString()); }, {}},
      {"empty", [](TrsKeyWrapper& k) { k.Clear(); }, [](TrsKeyWrapper& k) { k.SetString(QString()); }},
      {"quoted text", [](TrsKeyWrapper& k) { k.SetString(QStringLiteral("\"a\"")); },
       [](TrsKeyWrapper& k) { k.SetString(QStringLiteral("a")); }},
      {"quotes only", [](TrsKeyWrapper& k) { k.SetString(QStringLiteral("\"\"\"\"")); },
       [](TrsKeyWrapper& k) { k.SetString(QStringLiteral("\"\"")); }},
      {"one quote", [](TrsKeyWrapper& k) { k.SetString(QStringLiteral("\"")); }, {}},
      {"integer", [](TrsKeyWrapper& k) { k.SetInteger(-2147483624); }, {}},
      {"integer min", [](TrsKeyWrapper& k) { k.SetInteger(std::numeric_limits<int>::min()); }, {}},
      {"integer max", [](TrsKeyWrapper& k) { k.SetInteger(std::numeric_limits<int>::max()); }, {}},
      {"int64 small", [](TrsKeyWrapper& k) { k.SetInt64(7); }, {}},
      {"int64 min", [](TrsKeyWrapper& k) { k.SetInt64(std::numeric_limits<qint64>::min()); }, {}},
      {"int64 above 32 bits", [](TrsKeyWrapper& k) { k.SetInt64(2147483648LL); }, {}},
      {"int64 below 32 bits", [](TrsKeyWrapper& k) { k.SetInt64(-2147483649LL); }, {}},
      {"float", [](TrsKeyWrapper& k) { k.SetFloat(-0.25); }, {}},
      {"whole float", [](TrsKeyWrapper& k) { k.SetFloat(3); }, {}},
      {"large float", [](TrsKeyWrapper& k) { k.SetFloat(1.5e300); }, {}},
      {"small float", [](TrsKeyWrapper& k) { k.SetFloat(2.5e-300); }, {}},
      {"float to 15 digits", [](TrsKeyWrapper& k) { k.SetFloat(1.0 / 3.0); },
       [](TrsKeyWrapper& k) { k.SetFloat(0.333333333333333); }},
      {"infinity", [](TrsKeyWrapper& k) { k.SetFloat(std::numeric_limits<double>::infinity()); },
       [](TrsKeyWrapper& k) { k.SetString(QStringLiteral("INF")); }},
      {"currency", [](TrsKeyWrapper& k) { k.SetCurrency(TCurrency{-125001}); }, {}},
      {"currency max", [](TrsKeyWrapper& k) { k.SetCurrency(TCurrency{std::numeric_limits<qint64>::max()}); }, {}},
      {"currency min", [](TrsKeyWrapper& k) { k.SetCurrency(TCurrency{std::numeric_limits<qint64>::min()}); }, {}},
      {"date-time", [&](TrsKeyWrapper& k) { k.SetDateTime(moment); }, {}},
      {"date", [](TrsKeyWrapper& k) { k.SetDateTime(EncodeDate(1850, 1, 1)); }, {}},
      {"date-time with milliseconds", [&](TrsKeyWrapper& k) { k.SetDateTime(moment + EncodeTime(0, 0, 0, 250)); },
       [&](TrsKeyWrapper& k) { k.SetDateTime(moment); }},
      {"boolean", [](TrsKeyWrapper& k) { k.SetBoolean(true); }, {}},
      {"point", [](TrsKeyWrapper& k) { k.SetPoint(QPoint(std::numeric_limits<int>::min(), 5)); }, {}},
      {"binary", [&](TrsKeyWrapper& k) { k.SetBinary(big); }, {}},
      {"empty binary", [](TrsKeyWrapper& k) { k.SetBinary(QByteArray()); }, {}},
  };
  for (bool compact : {false, true}) {
    ini.SetCompactOptions(compact ? TrsIniCompactOptions(coHexStr) : TrsIniCompactOptions());
    for (const Row& row : rows) {
      SCOPED_TRACE(row.name);
      TrsStorage written, back;
      written.FindKey(QStringLiteral("s\\k"), true);
      row.set(written.Key());
      const QByteArray text = ini.FormatStream(written);
      ini.ParseStream(back, text);
      ASSERT_EQ(back.KeyCount(), 1) << text.toStdString();
      const TrsValue expected = row.expected ? Value(row.expected) : written.Keys(0).Value;
      EXPECT_EQ(back.Keys(0).Value.Kind, expected.Kind) << text.toStdString();
      EXPECT_TRUE(back.Keys(0).Value == expected) << text.toStdString();
    }
  }
}

TEST_F(IniWriterTest, FixedDateTimesReadBackToTheMillisecond) {
  ini.SetFixedDateTimeFormat(true);
  for (TDateTime v : {EncodeDate(2026, 12, 11) + EncodeTime(13, 5, 9, 7), EncodeDate(1, 1, 1),
                      EncodeDate(9999, 12, 31) + EncodeTime(23, 59, 59, 999), -1.25}) {
    TrsStorage written, back;
    written.FindKey(QStringLiteral("k"), true);
    written.Key().SetDateTime(v);
    const QByteArray text = ini.FormatStream(written);
    ini.ParseStream(back, text);
    ASSERT_EQ(back.KeyCount(), 1) << text.toStdString();
    EXPECT_EQ(back.Keys(0).Value.Kind, vkDateTime);
    EXPECT_EQ(back.Keys(0).Value.Float, v) << text.toStdString();
  }
}

TEST_F(IniWriterTest, CommaLocaleFloatsReadBack) {
  FormatSettings.DecimalSeparator = QLatin1Char(',');
  storage.FindKey(QStringLiteral("k"), true);
  storage.Key().SetFloat(2.5);
  const QByteArray text = Write();
  EXPECT_EQ(text, QByteArray("[]\r\nk=2,5\r\n\r\n"));
  TrsStorage back;
  ini.ParseStream(back, text);
  ASSERT_EQ(back.KeyCount(), 1);
  EXPECT_EQ(back.Keys(0).Value.Kind, vkFloat);
  EXPECT_EQ(back.Keys(0).Value.Float, 2.5);
}

}  // namespace
