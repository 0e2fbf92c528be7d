// Reading settings text from bytes: which lines count, the value forms and
// the errors that stop a load.
#include "rsIniData.h"

#include "SettingsTestSupport.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QStringList>

namespace {

using namespace settingstest;

class IniReaderTest : public ::testing::Test {
protected:
  void SetUp() override { FormatSettings.DecimalSeparator = QLatin1Char('.'); }
  QStringList Read(const QByteArray& bytes) {
    TrsStorage storage;
    ini.ParseStream(storage, bytes);
    return DumpKeys(storage);
  }
  FormatsGuard guard;
  TrsIniData ini;
};

struct ReadRow {
  const char* name;
  QByteArray text;
  QStringList keys;
};

TEST_F(IniReaderTest, LinesAndHeaders) {
  const std::vector<ReadRow> rows = {
      {"key before any header", "Panel7.Width=180\r\n", {}},
      {"key under its header",
       "[Form1.rsPropSaver1]\r\nPanel7.Width=180\r\n",
       {"Form1.rsPropSaver1|Panel7.Width=int:180"}},
      {"only lines after the first header", "x=1\r\n; note\r\n[s]\r\ny=2", {"s|y=int:2"}},
      {"an indented first header does not start the settings", "  [s]\r\nx=1\r\n", {}},
      {"later headers may be indented", "[a]\r\n  [b]  \r\nx=1\r\n", {"b|x=int:1"}},
      {"top level header", "[s]\r\nx=1\r\n[]\r\ny=2\r\n", {"|y=int:2", "s|x=int:1"}},
      {"nested header", "[a\\b]\r\nk=1\r\n[a/c]\r\nk=2\r\n", {"a\\b|k=int:1", "a\\c|k=int:2"}},
      {"CR, LF and CR LF", "[s]\rx=1\ny=2\r\n\r\nz=3", {"s|x=int:1", "s|y=int:2", "s|z=int:3"}},
      {"comments and lines without =", "[s]\r\n#a=1\r\n;b=1\r\n/c=1\r\n\\d=1\r\nplain\r\ne=1\r\n", {"s|e=int:1"}},
      {"blanks and control bytes trimmed", QByteArray("[s]\r\n\t x=1 \x01\r\n", 14), {"s|x=int:1"}},
      {"later line wins", "[s]\r\nk=1\r\nK=\"two\"\r\n", {"s|k=text:two"}},
      {"name keeps its first spelling", "[s]\r\npanel7.width=200\r\nPanel7.Width=233\r\n", {"s|panel7.width=int:233"}},
      {"name is everything before the first =", "[s]\r\na b=c=d\r\n=5\r\n", {"s|=int:5", "s|a b=text:c=d"}},
      {"a name with a separator stays one name", "[s]\r\na\\b=1\r\n", {"s|a\\b=int:1"}},
      {"header with a bracket only", "[s]\r\n[\r\nx=1\r\n", {"s|x=int:1"}},
      {"empty text", "[s]\r\nx=\r\n", {"s|x=text:"}},
      {"empty input", "", {}},
  };
  for (const ReadRow& row : rows) EXPECT_EQ(Read(row.text), row.keys) << row.name;
}

TEST_F(IniReaderTest, ValueForms) {
  struct Row {
    const char* value;
    const char* kind;  // expected "kind:payload"
  };
  const Row rows[] = {
      {"", "text:"},
      {"\"2\"", "text:2"},
      {"\"\"", "text:"},
      {"\"", "text:\""},
      {"\"a\"b\"", "text:a\"b"},
      {"\"$0D\"", "text:$0D"},
      {"2", "int:2"},
      {"-2147483624", "int:-2147483624"},
      {"2147483647", "int:2147483647"},
      {"2147483648", "int64:2147483648"},
      {"-2147483648", "int:-2147483648"},
      {"-2147483649", "int64:-2147483649"},
      {"+5", "int:5"},
      {"0000000012", "int:12"},
      {"00000000012", "int64:12"},
      {"9223372036854775807", "int64:9223372036854775807"},
      {"99999999999999999999", "text:99999999999999999999"},
      {"12abc", "text:12abc"},
      {"-", "text:-"},
      {"1.5", "float:1.5"},
      {"5.", "float:5"},
      {"-.5", "float:-0.5"},
      {".5", "text:.5"},
      {"1.2.3", "text:1.2.3"},
      {"1,5", "text:1,5"},
      {"1e5", "text:1e5"},
      {"TRUE", "bool:1"},
      {"false", "bool:0"},
      {"\"True\"", "text:True"},
      {"Truely", "text:Truely"},
      {"curr:12.5", "curr:125000"},
      {"CURR:-0.0001", "curr:-1"},
      {"hex:0A,ff, 10", "bin:0AFF10"},
      {"HEX:", "bin:"},
      {"hex:0A0", "bin:"},
      {"hex:0G", "bin:"},
      {"int64:5", "int64:5"},
      {"int64:-9223372036854775808", "int64:-9223372036854775808"},
      {"point:3,-4", "point:3,-4"},
      {"text:\"line1$0D$0Aline2\"", "text:line1\r\nline2"},
      {"text:\"50$$ $4\"", "text:50$ $4"},
      {"text:\"say \"hi\"\"", "text:say \"hi\""},
      {"text:plain", "text:plain"},
      {"Text:\"", "text:"},
      {"note:x", "text:note:x"},
  };
  for (const Row& row : rows) {
    const QStringList keys = Read(QByteArray("[s]\r\nk=") + row.value + "\r\n");
    EXPECT_EQ(keys, QStringList{QStringLiteral("s|k=") + QString::fromLatin1(row.kind)}) << "value " << row.value;
  }
}

TEST_F(IniReaderTest, FixedDateFieldsStandAtFixedPlaces) {
  const auto expected = [](double v) {
    return QStringList{QStringLiteral("s|k=") + Describe([&] {
                         TrsValue value;
                         value.Kind = vkDateTime;
                         value.Float = v;
                         return value;
                       }())};
  };
  EXPECT_EQ(Read("[s]\r\nk=fxdate:2026-12-11T13:05:09.7\r\n"),
            expected(EncodeDate(2026, 12, 11) + EncodeTime(13, 5, 9, 7)));
  EXPECT_EQ(Read("[s]\r\nk=FXDATE:2026-12-11T13:05:09.123\r\n"),
            expected(EncodeDate(2026, 12, 11) + EncodeTime(13, 5, 9, 123)));
  EXPECT_EQ(Read("[s]\r\nk=fxdate:1899-12-29T06:00:00.0\r\n"), expected(-1.25));
}

TEST_F(IniReaderTest, MalformedFixedDateMakesNoKey) {
  for (const char* bad : {"fxdate:2026-12-11", "fxdate:2026-13-11T13:05:09.7", "fxdate:2026-12-11 13:05:09.7",
                          "fxdate:2026-12-11T13:05:09.1234", "fxdate:2026-12-11T25:05:09.0", "fxdate:"}) {
    EXPECT_EQ(Read(QByteArray("[s]\r\na=1\r\nk=") + bad + "\r\nz=2\r\n"),
              (QStringList{QStringLiteral("s|a=int:1"), QStringLiteral("s|z=int:2")}))
        << bad;
  }
}

TEST_F(IniReaderTest, LocaleDecimalSeparator) {
  FormatSettings.DecimalSeparator = QLatin1Char(',');
  EXPECT_EQ(
      Read("[s]\r\nx=1,5\r\ny=1.5\r\nz=curr:2,5\r\n"),
      (QStringList{QStringLiteral("s|x=float:1.5"), QStringLiteral("s|y=text:1.5"), QStringLiteral("s|z=curr:25000")}));
  FormatSettings.DecimalSeparator = QLatin1Char('.');
  EXPECT_EQ(Read("[s]\r\nx=1,5\r\n"), QStringList{QStringLiteral("s|x=text:1,5")});
}

TEST_F(IniReaderTest, BinaryContinuesOnTheNextLines) {
  EXPECT_EQ(Read("[s]\r\nb=hex:01,02,\\\r\n  03,04,\r\n  05\r\nc=1\r\n"),
            (QStringList{QStringLiteral("s|b=bin:0102030405"), QStringLiteral("s|c=int:1")}));
  // A header is never swallowed by a value that claims to continue.
  EXPECT_EQ(Read("[s]\r\nb=hex:01,\r\n[t]\r\nc=1\r\n"),
            (QStringList{QStringLiteral("s|b=bin:01"), QStringLiteral("t|c=int:1")}));
  // Continuation at the end of the text.
  EXPECT_EQ(Read("[s]\r\nb=hex:01,\\"), QStringList{QStringLiteral("s|b=bin:01")});
  // Only binary values continue.
  EXPECT_EQ(Read("[s]\r\nt=a,\r\nc=1\r\n"), (QStringList{QStringLiteral("s|c=int:1"), QStringLiteral("s|t=text:a,")}));
}

TEST_F(IniReaderTest, SingleByteCodePage) {
  // Windows-1250: 0x9A is "š", 0xE8 "č", 0x8A "Š".
  EXPECT_EQ(Read("[Pode\x9A\x61vanja]\r\n\x8Airina=\"\xE8\x61j\"\r\nt=text:\"\xE8$0A\"\r\n"),
            (QStringList{QStringLiteral("Pode\u0161avanja|t=text:\u010d\n"),
                         QStringLiteral("Pode\u0161avanja|\u0160irina=text:\u010daj")}));
}

TEST_F(IniReaderTest, EveryByteOfTheCodePageSurvivesAWrite) {
  // 0x81, 0x83, 0x88, 0x90 and 0x98 are undefined in Windows-1250; they must
  // neither merge two names nor change a value.
  QByteArray all;
  for (int b = 32; b < 256; ++b)
    if (b != '"') all.append(static_cast<char>(b));
  const QByteArray text = "[s\x81]\r\n\x81=\"" + all + "\"\r\n\x83=\"\x98\"\r\n\r\n";
  TrsStorage storage;
  ini.ParseStream(storage, text);
  EXPECT_EQ(storage.KeyCount(), 2);
  EXPECT_EQ(ini.FormatStream(storage), text);
}

TEST_F(IniReaderTest, Utf16FileYieldsNoKeys) {
  const QString text = QStringLiteral("[s]\r\nx=1\r\n");
  QByteArray little("\xFF\xFE", 2), big("\xFE\xFF", 2);
  for (QChar c : text) {
    little.append(static_cast<char>(c.unicode() & 0xFF)).append('\0');
    big.append('\0').append(static_cast<char>(c.unicode() & 0xFF));
  }
  EXPECT_EQ(Read(little), QStringList());
  EXPECT_EQ(Read(big), QStringList());
}

TEST_F(IniReaderTest, MalformedTypedValueStopsTheLoadKeepingEarlierKeys) {
  struct Row {
    const char* value;
    const char* message;
  };
  const Row rows[] = {
      {"curr:abc", "'abc' is not a valid floating point value"}, {"date:abc", "'abc' is not a valid date and time"},
      {"int64:12abc", "'12abc' is not a valid integer value"},   {"point:1", "'' is not a valid integer value"},
      {"point:x,2", "'x' is not a valid integer value"},
  };
  for (const Row& row : rows) {
    TrsStorage storage;
    try {
      ini.ParseStream(storage, QByteArray("[s]\r\na=1\r\nb=") + row.value + "\r\nc=2\r\n");
      ADD_FAILURE() << "no error for " << row.value;
    } catch (const EConvertError& e) {
      EXPECT_EQ(e.Message(), QString::fromLatin1(row.message)) << row.value;
    }
    EXPECT_EQ(DumpKeys(storage), QStringList{QStringLiteral("s|a=int:1")}) << row.value;
  }
}

TEST_F(IniReaderTest, KeysOfTheFileAreAnnounced) {
  TrsStorage storage;
  QStringList added;
  TNotifyEvent event;
  event.Fn = [&](TObject*) { added << storage.Key().Key()->Name; };
  storage.SetOnKeyAdd(event);
  ini.ParseStream(storage, "[s]\r\nb=1\r\na=2\r\nB=3\r\n");
  EXPECT_EQ(added, (QStringList{QStringLiteral("b"), QStringLiteral("a")}));
}

TEST_F(IniReaderTest, AddsToATreeThatHoldsKeysAlready) {
  TrsStorage storage;
  storage.WriteString(QStringLiteral("\\s\\Old"), QStringLiteral("1"));
  storage.WriteString(QStringLiteral("\\s\\kept"), QStringLiteral("2"));
  ini.ParseStream(storage, "[S]\r\nold=3\r\nnew=4\r\n[t]\r\n");
  EXPECT_EQ(DumpKeys(storage), (QStringList{QStringLiteral("s|kept=text:2"), QStringLiteral("s|new=int:4"),
                                            QStringLiteral("s|Old=int:3")}));
  EXPECT_EQ(storage.RootSection(), QStringLiteral("t"));
  EXPECT_EQ(storage.ReadString(QStringLiteral("\\s\\NEW")), QStringLiteral("4"));
}

TEST_F(IniReaderTest, LargeFileInAnyOrderReadsQuickly) {
  // Lines in reverse order, so that each would go to the front of the arrays.
  QByteArray text;
  for (int s = 2000; s > 0; --s) {
    text += "[section" + QByteArray::number(s) + "]\r\n";
    for (int k = 50; k > 0; --k) text += "key" + QByteArray::number(k) + "=" + QByteArray::number(k) + "\r\n";
  }
  TrsStorage storage;
  QElapsedTimer timer;
  timer.start();
  ini.ParseStream(storage, text);
  const QByteArray written = ini.FormatStream(storage);
  EXPECT_LT(timer.elapsed(), 20000);
  EXPECT_EQ(storage.KeyCount(), 100000);
  EXPECT_EQ(storage.SectionCount(), 2000);
  EXPECT_TRUE(written.startsWith("[section1]\r\nkey1=1\r\nkey10=10\r\n"));
  EXPECT_EQ(storage.ReadString(QStringLiteral("\\section1234\\key7")), QStringLiteral("7"));
}

TEST_F(IniReaderTest, ReservesRoomForTheLinesItCounts) {
  TrsStorage storage;
  QByteArray text;
  for (int s = 0; s < 3; ++s) {
    text += "[s" + QByteArray::number(s) + "]\r\n";
    for (int k = 0; k < 30; ++k) text += "k" + QByteArray::number(k) + "=1\r\n";
  }
  ini.ParseStream(storage, text);
  EXPECT_EQ(storage.KeyCount(), 90);
  EXPECT_EQ(storage.KeyCapacity(), 90) << "the key array grew step by step";
  EXPECT_EQ(storage.SectionCapacity(), 3);
}

}  // namespace
