// The process-wide formats and the conversions between text and numbers,
// amounts and date-times.
#include "SysUtils.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

// Sets the process's formats for one test and puts them back afterwards.
class FormatsGuard {
public:
  FormatsGuard() : FSaved(FormatSettings) {}
  ~FormatsGuard() { FormatSettings = FSaved; }

private:
  TFormatSettings FSaved;
};

// Formats that do not depend on the machine's locale.
TFormatSettings UsFormats() {
  TFormatSettings s;
  s.DecimalSeparator = QLatin1Char('.');
  s.DateSeparator = QLatin1Char('/');
  s.ShortDateFormat = QStringLiteral("m/d/yyyy");
  s.TimeSeparator = QLatin1Char(':');
  s.LongTimeFormat = QStringLiteral("h:nn:ss ampm");
  s.TimeAMString = QStringLiteral("AM");
  s.TimePMString = QStringLiteral("PM");
  return s;
}

TFormatSettings SerbianFormats() {
  TFormatSettings s;
  s.DecimalSeparator = QLatin1Char(',');
  s.DateSeparator = QLatin1Char('.');
  s.ShortDateFormat = QStringLiteral("d/m/yyyy");
  s.TimeSeparator = QLatin1Char(':');
  s.LongTimeFormat = QStringLiteral("hh:nn:ss");
  return s;
}

}  // namespace

TEST(FormatSettingsTest, CLocaleUsesPointAndNumericDates) {
  const TFormatSettings s = GetLocaleFormatSettings(QLocale::c());
  EXPECT_EQ(s.DecimalSeparator, QLatin1Char('.'));
  // Dates must be numeric and carry four-digit years, so that what is written
  // reads back in any century.
  EXPECT_TRUE(s.ShortDateFormat.contains(QStringLiteral("yyyy"))) << s.ShortDateFormat.toStdString();
  EXPECT_FALSE(s.ShortDateFormat.contains(QStringLiteral("mmm"))) << s.ShortDateFormat.toStdString();
  EXPECT_TRUE(s.LongTimeFormat.contains(QLatin1Char('s'))) << s.LongTimeFormat.toStdString();
  EXPECT_EQ(s.LongMonthNames[0], QStringLiteral("January"));
  EXPECT_EQ(s.LongDayNames[0], QStringLiteral("Sunday"));
}

TEST(FormatSettingsTest, GermanLocaleUsesCommaAndPoints) {
  const TFormatSettings s = GetLocaleFormatSettings(QLocale(QLocale::German, QLocale::Germany));
  EXPECT_EQ(s.DecimalSeparator, QLatin1Char(','));
  EXPECT_EQ(s.DateSeparator, QLatin1Char('.'));
  EXPECT_EQ(s.ShortDateFormat, QStringLiteral("dd/mm/yyyy"));
}

TEST(FloatToStrTest, GeneralFormWithFifteenDigits) {
  struct Row {
    double value;
    const char* text;
  };
  const Row rows[] = {
      {0.0, "0"},
      {1.5, "1.5"},
      {-2.25, "-2.25"},
      {100.0, "100"},
      {0.1 + 0.2, "0.3"},
      {1.0 / 3.0, "0.333333333333333"},
      {123456789012345.0, "123456789012345"},
      {1e15, "1E15"},
      {1.5e20, "1.5E20"},
      {0.00001, "0.00001"},
      {0.000001, "1E-6"},
      {-1.25e-7, "-1.25E-7"},
      {std::numeric_limits<double>::quiet_NaN(), "NAN"},
      {std::numeric_limits<double>::infinity(), "INF"},
      {-std::numeric_limits<double>::infinity(), "-INF"},
  };
  for (const Row& row : rows)
    EXPECT_EQ(FloatToStr(row.value, UsFormats()).toStdString(), row.text) << "value " << row.value;
  EXPECT_EQ(FloatToStr(-1.5, SerbianFormats()), QStringLiteral("-1,5"));
  EXPECT_EQ(FloatToStr(2.5e-9, SerbianFormats()), QStringLiteral("2,5E-9"));
}

TEST(StrToFloatTest, AcceptsTheSettingsFormOnly) {
  struct Row {
    const char* text;
    bool ok;
    double value;
  };
  const Row rows[] = {
      {"1.5", true, 1.5},    {" -1.5 ", true, -1.5}, {"+2", true, 2},      {".5", true, 0.5},
      {"5.", true, 5},       {"1.5E3", true, 1500},  {"1e-2", true, 0.01}, {"-0", true, 0},
      {"1,5", false, 0},     {"abc", false, 0},      {"", false, 0},       {"1.2.3", false, 0},
      {"e5", false, 0},      {"1e", false, 0},       {"1 5", false, 0},    {"--1", false, 0},
      {"1e99999", false, 0}, {"1e-99999", true, 0},  {"0.1", true, 0.1},   {"4.9e-324", true, 4.9e-324},
  };
  for (const Row& row : rows) {
    double value = -99;
    EXPECT_EQ(TryStrToFloat(QString::fromLatin1(row.text), value, UsFormats()), row.ok) << "text " << row.text;
    if (row.ok) {
      EXPECT_EQ(value, row.value) << "text " << row.text;
    }
  }
  double value = 0;
  EXPECT_TRUE(TryStrToFloat(QStringLiteral("1,5"), value, SerbianFormats()));
  EXPECT_EQ(value, 1.5);
  EXPECT_FALSE(TryStrToFloat(QStringLiteral("1.5"), value, SerbianFormats()));
  EXPECT_TRUE(TryStrToFloat(QStringLiteral("nan"), value, UsFormats()));
  EXPECT_TRUE(std::isnan(value));
  EXPECT_TRUE(TryStrToFloat(QStringLiteral("-INF"), value, UsFormats()));
  EXPECT_EQ(value, -std::numeric_limits<double>::infinity());
}

TEST(StrToFloatTest, GeneralFormReadsBackExactlyToFifteenDigits) {
  const double values[] = {1.5, -0.001, 123456.789, 1e300, -4.9e-300, 0.1, 2.0 / 3.0, 1e15, 999999999999999.0};
  for (double v : values) {
    const double back = StrToFloat(FloatToStr(v, UsFormats()), UsFormats());
    EXPECT_EQ(FloatToStr(back, UsFormats()), FloatToStr(v, UsFormats()));
    EXPECT_NEAR(back, v, std::fabs(v) * 1e-14);
  }
}

TEST(StrToFloatTest, ErrorNamesTheText) {
  FormatsGuard guard;
  FormatSettings = UsFormats();
  try {
    StrToFloat(QStringLiteral("1,5"));
    FAIL() << "no error";
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), QStringLiteral("'1,5' is not a valid floating point value"));
  }
}

TEST(StrToIntTest, SignedThirtyTwoBitRange) {
  struct Row {
    const char* text;
    bool ok;
    int value;
  };
  const Row rows[] = {
      {"12", true, 12},
      {"  12", true, 12},
      {"+7", true, 7},
      {"-2147483648", true, std::numeric_limits<int>::min()},
      {"2147483647", true, std::numeric_limits<int>::max()},
      {"$FF", true, 255},
      {"0x10", true, 16},
      {"$FFFFFFFF", true, -1},
      {"2147483648", false, 0},
      {"-2147483649", false, 0},
      {"12abc", false, 0},
      {"12 ", false, 0},
      {"", false, 0},
      {"-", false, 0},
      {"$", false, 0},
      {"$1FFFFFFFF", false, 0},
      {"1.0", false, 0},
  };
  for (const Row& row : rows) {
    int value = -99;
    EXPECT_EQ(TryStrToInt(QString::fromLatin1(row.text), value), row.ok) << "text '" << row.text << "'";
    if (row.ok) {
      EXPECT_EQ(value, row.value) << "text '" << row.text << "'";
    }
  }
}

TEST(StrToIntTest, ErrorMessageQuotesTheText) {
  try {
    StrToInt(QStringLiteral("abc"));
    FAIL() << "no error";
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), QStringLiteral("'abc' is not a valid integer value"));
  }
  EXPECT_THROW(StrToInt64(QStringLiteral("9223372036854775808")), EConvertError);
  EXPECT_EQ(StrToInt64(QStringLiteral("-9223372036854775808")), std::numeric_limits<qint64>::min());
  EXPECT_EQ(StrToInt64(QStringLiteral("9223372036854775807")), std::numeric_limits<qint64>::max());
  EXPECT_EQ(StrToInt64(QStringLiteral("2147483648")), 2147483648LL);
  EXPECT_EQ(StrToIntDef(QStringLiteral("x"), 5), 5);
}

TEST(CurrencyTest, TextRoundTripsEveryAmount) {
  const qint64 raws[] = {
      0, 1, -1, 10000, 12345, -5000, 123450000, std::numeric_limits<qint64>::max(), std::numeric_limits<qint64>::min()};
  for (qint64 raw : raws) {
    const QString text = CurrToStr(TCurrency{raw}, UsFormats());
    EXPECT_EQ(StrToCurr(text, UsFormats()).Value, raw) << text.toStdString();
  }
  EXPECT_EQ(CurrToStr(TCurrency{12345}, UsFormats()), QStringLiteral("1.2345"));
  EXPECT_EQ(CurrToStr(TCurrency{-5000}, SerbianFormats()), QStringLiteral("-0,5"));
  EXPECT_EQ(CurrToStr(TCurrency{std::numeric_limits<qint64>::min()}, UsFormats()),
            QStringLiteral("-922337203685477.5808"));
}

TEST(CurrencyTest, ParsingRoundsToFourPlacesAndChecksTheRange) {
  struct Row {
    const char* text;
    bool ok;
    qint64 raw;
  };
  const Row rows[] = {
      {"1.23456", true, 12346},
      {"-1.23454", true, -12345},
      {"-0.00005", true, -1},
      {"0.00004", true, 0},
      {"12", true, 120000},
      {"1.5E2", true, 1500000},
      {"922337203685477.5807", true, std::numeric_limits<qint64>::max()},
      {"922337203685477.5808", false, 0},
      {"-922337203685477.5808", true, std::numeric_limits<qint64>::min()},
      {"1E20", false, 0},
      {"abc", false, 0},
      {"", false, 0},
      {"NAN", false, 0},
  };
  for (const Row& row : rows) {
    TCurrency value;
    EXPECT_EQ(TryStrToCurr(QString::fromLatin1(row.text), value, UsFormats()), row.ok) << row.text;
    if (row.ok) {
      EXPECT_EQ(value.Value, row.raw) << row.text;
    }
  }
  EXPECT_THROW(StrToCurr(QStringLiteral("abc"), UsFormats()), EConvertError);
}

TEST(CurrencyTest, FormatCurrPlacesTheCurrencyString) {
  TFormatSettings s = UsFormats();
  s.CurrencyString = QStringLiteral("$");
  s.ThousandSeparator = QLatin1Char(',');
  s.CurrencyDecimals = 2;
  s.CurrencyFormat = 0;
  s.NegCurrFormat = 1;
  EXPECT_EQ(FormatCurr(TCurrency{12345678900}, s), QStringLiteral("$1,234,567.89"));
  EXPECT_EQ(FormatCurr(TCurrency{-12345}, s), QStringLiteral("-$1.23"));
  s.CurrencyFormat = 3;
  s.NegCurrFormat = 8;
  s.CurrencyString = QStringLiteral("din.");
  EXPECT_EQ(FormatCurr(TCurrency{-12355}, s), QStringLiteral("-1.24 din."));
}

TEST(DateTimeTest, EncodeDecodeAroundTheBaseDate) {
  EXPECT_EQ(EncodeDate(1899, 12, 30), 0.0);
  EXPECT_EQ(EncodeDate(1900, 1, 1), 2.0);
  EXPECT_EQ(EncodeDate(2026, 12, 11), 46367.0);
  EXPECT_EQ(EncodeTime(12, 0, 0, 0), 0.5);
  EXPECT_THROW(EncodeDate(2023, 2, 29), EConvertError);
  EXPECT_THROW(EncodeTime(24, 0, 0, 0), EConvertError);
  int y, m, d, h, n, s, z;
  // Before the base date the fraction still counts forwards from midnight.
  DecodeDate(-1.25, y, m, d);
  DecodeTime(-1.25, h, n, s, z);
  EXPECT_EQ(QDate(y, m, d), QDate(1899, 12, 29));
  EXPECT_EQ(h, 6);
  // A value a hair before midnight is midnight of the next day.
  DecodeDate(46367.99999999999, y, m, d);
  DecodeTime(46367.99999999999, h, n, s, z);
  EXPECT_EQ(QDate(y, m, d), QDate(2026, 12, 12));
  EXPECT_EQ(h * 3600000 + n * 60000 + s * 1000 + z, 0);
  EXPECT_THROW(DecodeDate(1e300, y, m, d), EConvertError);
  EXPECT_THROW(DecodeDate(std::nan(""), y, m, d), EConvertError);
}

TEST(DateTimeTest, TextRoundTripsToTheSecond) {
  const TDateTime values[] = {
      EncodeDate(2026, 12, 11) + EncodeTime(13, 5, 9, 0),
      EncodeDate(2026, 12, 11),  // midnight: no time written
      EncodeDate(1899, 12, 30) + EncodeTime(0, 0, 1, 0),
      EncodeDate(1850, 1, 1) - EncodeTime(18, 30, 0, 0),
      EncodeDate(1, 1, 1),
      EncodeDate(9999, 12, 31) + EncodeTime(23, 59, 59, 0),
      EncodeDate(2000, 1, 1) + EncodeTime(12, 0, 0, 0),
      EncodeDate(2000, 1, 1) + EncodeTime(0, 30, 0, 0),
  };
  for (const TFormatSettings& settings : {UsFormats(), SerbianFormats(), GetLocaleFormatSettings(QLocale::c())}) {
    for (TDateTime v : values) {
      const QString text = DateTimeToStr(v, settings);
      EXPECT_EQ(StrToDateTime(text, settings), v) << text.toStdString();
    }
  }
  EXPECT_EQ(DateTimeToStr(EncodeDate(2026, 12, 11) + EncodeTime(13, 5, 9, 0), UsFormats()),
            QStringLiteral("12/11/2026 1:05:09 PM"));
  EXPECT_EQ(DateTimeToStr(EncodeDate(2026, 12, 11), SerbianFormats()), QStringLiteral("11.12.2026"));
  // Locales that write a blank after each separator, and one at the end.
  TFormatSettings spaced = SerbianFormats();
  spaced.ShortDateFormat = QStringLiteral("yyyy/ mm/ dd/");
  const TDateTime day = EncodeDate(2026, 12, 11) + EncodeTime(1, 2, 3, 0);
  EXPECT_EQ(DateTimeToStr(day, spaced), QStringLiteral("2026. 12. 11. 01:02:03"));
  EXPECT_EQ(StrToDateTime(DateTimeToStr(day, spaced), spaced), day);
  EXPECT_EQ(DateTimeToStr(EncodeDate(2026, 1, 2) + EncodeTime(7, 8, 9, 0), SerbianFormats()),
            QStringLiteral("2.1.2026 07:08:09"));
}

TEST(DateTimeTest, ParsingFormsAndRefusals) {
  const TFormatSettings us = UsFormats();
  EXPECT_EQ(StrToDateTime(QStringLiteral("12:30"), us), EncodeTime(12, 30, 0, 0));
  EXPECT_EQ(StrToDateTime(QStringLiteral("5 PM"), us), EncodeTime(17, 0, 0, 0));
  EXPECT_EQ(StrToDateTime(QStringLiteral("12:00:00 AM"), us), 0.0);
  EXPECT_EQ(StrToDateTime(QStringLiteral("1:02:03.5"), us), EncodeTime(1, 2, 3, 500));
  EXPECT_EQ(StrToDateTime(QStringLiteral(" 2/3/04 "), us), EncodeDate(2004, 2, 3));
  EXPECT_EQ(StrToDateTime(QStringLiteral("2/3"), us), EncodeDate(QDate::currentDate().year(), 2, 3));
  for (const char* bad :
       {"", "abc", "13/1/2000", "2/30/2000", "1/1/2000 25:00", "1/1/2000 x", "12", "13:00 PM", "1/"}) {
    TDateTime value;
    EXPECT_FALSE(TryStrToDateTime(QString::fromLatin1(bad), value, us)) << bad;
  }
  try {
    StrToDateTime(QStringLiteral("abc"), us);
    FAIL() << "no error";
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), QStringLiteral("'abc' is not a valid date and time"));
  }
}

TEST(DateTimeTest, FormatDateTimeLetters) {
  TFormatSettings s = UsFormats();
  for (int m = 0; m < 12; ++m) s.LongMonthNames[m] = QStringLiteral("M%1").arg(m + 1);
  for (int d = 0; d < 7; ++d) s.ShortDayNames[d] = QStringLiteral("D%1").arg(d);
  const TDateTime v = EncodeDate(2026, 3, 4) + EncodeTime(5, 6, 7, 8);
  EXPECT_EQ(FormatDateTime(QStringLiteral("yyyy-mm-dd hh:nn:ss.zzz"), v, s), QStringLiteral("2026-03-04 05:06:07.008"));
  // "m" right after an hour is the minute.
  EXPECT_EQ(FormatDateTime(QStringLiteral("h:mm d mmmm yy ddd"), v, s), QStringLiteral("5:06 4 M3 26 D3"));
  EXPECT_EQ(FormatDateTime(QStringLiteral("'at' h am/pm"), v, s), QStringLiteral("at 5 am"));
}
