// Process-wide number and date formats, and the conversions between text and
// numbers, currency amounts and date-times that follow them.
#pragma once

#include "Exceptions.h"

#include <QChar>
#include <QDateTime>
#include <QLocale>
#include <QMetaType>
#include <QString>

// A point in time as days since 30 December 1899; the fraction is the time of
// day.
using TDateTime = double;

// A fixed-point amount: the value times 10000 in a signed 64-bit integer.
struct TCurrency {
  qint64 Value = 0;  // amount * 10000

  static constexpr TCurrency FromRaw(qint64 raw) { return TCurrency{raw}; }
  double ToDouble() const { return static_cast<double>(Value) / 10000.0; }
  bool operator==(const TCurrency& other) const = default;
};
Q_DECLARE_METATYPE(TCurrency)

// Smallest and largest amounts a TCurrency holds, as doubles.
constexpr double MinCurrency = -922337203685477.5808;
constexpr double MaxCurrency = 922337203685477.5807;

// The formats the conversions below use. One instance, FormatSettings, serves
// the whole process; it starts from the system locale.
struct TFormatSettings {
  QString CurrencyString;
  // Position of the currency string for positive amounts: 0 "$1", 1 "1$",
  // 2 "$ 1", 3 "1 $".
  int CurrencyFormat = 0;
  // Negative amounts: 0 "($1)", 1 "-$1", 2 "$-1", 3 "$1-", 4 "(1$)", 5 "-1$",
  // 6 "1-$", 7 "1$-", 8 "-1 $", 9 "-$ 1", 10 "1 $-", 11 "$ 1-", 12 "$ -1",
  // 13 "1- $", 14 "($ 1)", 15 "(1 $)".
  int NegCurrFormat = 1;
  int CurrencyDecimals = 2;
  QChar ThousandSeparator = QLatin1Char(',');
  QChar DecimalSeparator = QLatin1Char('.');
  QChar DateSeparator = QLatin1Char('/');
  // Letters d, m, y with the separator written as "/": "m/d/yyyy".
  QString ShortDateFormat = QStringLiteral("m/d/yyyy");
  QString LongDateFormat = QStringLiteral("dddd, mmmm d, yyyy");
  QChar TimeSeparator = QLatin1Char(':');
  QString TimeAMString = QStringLiteral("AM");
  QString TimePMString = QStringLiteral("PM");
  // Letters h, n (minutes), s, z, and "ampm"; ":" stands for the separator.
  QString ShortTimeFormat = QStringLiteral("h:nn");
  QString LongTimeFormat = QStringLiteral("h:nn:ss");
  QString ShortMonthNames[12];
  QString LongMonthNames[12];
  // Sunday first.
  QString ShortDayNames[7];
  QString LongDayNames[7];
  QChar ListSeparator = QLatin1Char(',');
  // Two-digit years fall into the 100 years that end this many years after
  // the current one.
  int TwoDigitYearCenturyWindow = 50;
};

// The formats of a locale.
TFormatSettings GetLocaleFormatSettings(const QLocale& locale);
// The process's formats, taken from QLocale::system() at start-up.
extern TFormatSettings FormatSettings;

// Integers to text and back. Text may have leading blanks, a sign, and either
// decimal digits or "$"/"0x" and hexadecimal digits. Text that is no integer
// of the range raises EConvertError "'abc' is not a valid integer value".
QString IntToStr(qint64 value);
int StrToInt(const QString& text);
qint64 StrToInt64(const QString& text);
bool TryStrToInt(const QString& text, int& value);
bool TryStrToInt64(const QString& text, qint64& value);
int StrToIntDef(const QString& text, int def);

// Floats in the general form: up to 15 significant digits, fixed notation
// while that is exact to the digit and the value is at least 0.00001,
// otherwise "1.5E-7"; "NAN", "INF", "-INF". The decimal separator is the
// settings' one.
QString FloatToStr(double value);
QString FloatToStr(double value, const TFormatSettings& settings);
// Text in the settings' format: blanks around it, a sign, digits with one
// decimal separator, an optional exponent "E+12"; "NAN", "INF" and "-INF" are
// accepted too. Anything else raises EConvertError
// "'abc' is not a valid floating point value".
double StrToFloat(const QString& text);
double StrToFloat(const QString& text, const TFormatSettings& settings);
bool TryStrToFloat(const QString& text, double& value);
bool TryStrToFloat(const QString& text, double& value, const TFormatSettings& settings);

// Currency amounts: the amount with its fraction digits, without currency
// string or thousands separators ("1234.5", "-0.0001"); exact, every amount
// reads back unchanged.
QString CurrToStr(TCurrency value);
QString CurrToStr(TCurrency value, const TFormatSettings& settings);
// Text in the float form of StrToFloat, rounded to four fraction digits
// (halves away from zero). Text that is no amount, or an amount out of range,
// raises EConvertError "'abc' is not a valid floating point value".
TCurrency StrToCurr(const QString& text);
TCurrency StrToCurr(const QString& text, const TFormatSettings& settings);
bool TryStrToCurr(const QString& text, TCurrency& value, const TFormatSettings& settings = FormatSettings);
// Formatted for people: thousands separators, CurrencyDecimals fraction
// digits and the currency string placed by CurrencyFormat/NegCurrFormat.
QString FormatCurr(TCurrency value, const TFormatSettings& settings = FormatSettings);

// Date-times from their parts and back. Invalid parts raise EConvertError.
TDateTime EncodeDate(int year, int month, int day);
TDateTime EncodeTime(int hour, int minute, int second, int msec);
bool TryEncodeDate(int year, int month, int day, TDateTime& value);
bool TryEncodeTime(int hour, int minute, int second, int msec, TDateTime& value);
void DecodeDate(TDateTime value, int& year, int& month, int& day);
void DecodeTime(TDateTime value, int& hour, int& minute, int& second, int& msec);
// Between TDateTime and Qt's local date-time (no time zone arithmetic).
QDateTime DateTimeToQDateTime(TDateTime value);
TDateTime QDateTimeToDateTime(const QDateTime& value);
TDateTime Now();

// ShortDateFormat, a blank and LongTimeFormat; the time is left out at
// exactly midnight.
QString DateTimeToStr(TDateTime value);
QString DateTimeToStr(TDateTime value, const TFormatSettings& settings);
// Formats by the letters of a date or time format: d dd ddd dddd, m mm mmm
// mmmm (minutes right after h), n nn, yy yyyy, h hh, s ss, z zzz, ampm, "/"
// and ":" for the separators, text in quotes copied.
QString FormatDateTime(const QString& format, TDateTime value, const TFormatSettings& settings = FormatSettings);
// A date in the order of ShortDateFormat with DateSeparator (two numbers mean
// this year; a two-digit year goes through the century window), and/or a time
// h[:n[:s[.z]]] with TimeSeparator and an optional AM/PM string. Anything
// else raises EConvertError "'abc' is not a valid date and time".
TDateTime StrToDateTime(const QString& text);
TDateTime StrToDateTime(const QString& text, const TFormatSettings& settings);
bool TryStrToDateTime(const QString& text, TDateTime& value, const TFormatSettings& settings = FormatSettings);

// Files the platform could not open or create; the message names the file.
class EFOpenError : public Exception {
  using Exception::Exception;
};
class EFCreateError : public Exception {
  using Exception::Exception;
};
