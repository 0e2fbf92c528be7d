#include "SysUtils.h"

#include <QDate>
#include <QTime>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// --- Locale --------------------------------------------------------------------

QChar FirstSeparator(const QString& format, QChar fallback) {
  bool quoted = false;
  for (QChar c : format) {
    if (c == QLatin1Char('\'')) quoted = !quoted;
    if (quoted || c == QLatin1Char('\'')) continue;
    if (!c.isLetter() && !c.isSpace()) return c;
  }
  return fallback;
}

// Qt's date letters to ours; the date separator becomes "/".
QString ConvertDateFormat(const QString& qt, QChar separator) {
  QString out;
  bool quoted = false;
  for (qsizetype i = 0; i < qt.size(); ++i) {
    const QChar c = qt[i];
    if (c == QLatin1Char('\'')) {
      quoted = !quoted;
      out += QLatin1Char('"');
      continue;
    }
    if (quoted)
      out += c;
    else if (c == QLatin1Char('M'))
      out += QLatin1Char('m');
    else if (c == separator)
      out += QLatin1Char('/');
    else
      out += c;
  }
  return out;
}

// Qt's time letters to ours: H/h hours, m minutes as n, AP as ampm; the time
// separator becomes ":"; time zones are dropped.
QString ConvertTimeFormat(const QString& qt, QChar separator) {
  QString out;
  bool quoted = false;
  for (qsizetype i = 0; i < qt.size(); ++i) {
    const QChar c = qt[i];
    if (c == QLatin1Char('\'')) {
      quoted = !quoted;
      out += QLatin1Char('"');
      continue;
    }
    if (quoted) {
      out += c;
      continue;
    }
    switch (c.unicode()) {
      case 'H':
      case 'h': out += QLatin1Char('h'); break;
      case 'm': out += QLatin1Char('n'); break;
      case 's': out += QLatin1Char('s'); break;
      case 'z': out += QLatin1Char('z'); break;
      case 'A':
      case 'a':
        out += QStringLiteral("ampm");
        if (i + 1 < qt.size() && (qt[i + 1] == QLatin1Char('P') || qt[i + 1] == QLatin1Char('p'))) ++i;
        break;
      case 't': break;
      default: out += c == separator ? QLatin1Char(':') : c;
    }
  }
  return out.trimmed();
}

}  // namespace

TFormatSettings GetLocaleFormatSettings(const QLocale& locale) {
  TFormatSettings s;
  const QString decimal = locale.decimalPoint();
  if (!decimal.isEmpty()) s.DecimalSeparator = decimal[0];
  const QString group = locale.groupSeparator();
  s.ThousandSeparator = group.isEmpty() ? QChar() : group[0];
  s.CurrencyString = locale.currencySymbol();
  s.ListSeparator = s.DecimalSeparator == QLatin1Char(',') ? QLatin1Char(';') : QLatin1Char(',');

  if (!s.CurrencyString.isEmpty()) {
    const QString one = locale.toCurrencyString(1.0);
    const bool before = one.startsWith(s.CurrencyString);
    const bool blank = before ? one.mid(s.CurrencyString.size(), 1).trimmed().isEmpty()
                              : one.left(one.size() - s.CurrencyString.size()).endsWith(QLatin1Char(' ')) ||
                                    one.left(one.size() - s.CurrencyString.size()).endsWith(QChar(0xA0));
    s.CurrencyFormat = before ? (blank ? 2 : 0) : (blank ? 3 : 1);
    s.NegCurrFormat = before ? (blank ? 9 : 1) : (blank ? 8 : 5);
  }
  s.CurrencyDecimals = 2;

  // Dates: numeric, with a four-digit year, so that what is written reads
  // back the same in any century.
  const QString qtDate = locale.dateFormat(QLocale::ShortFormat);
  s.DateSeparator = FirstSeparator(qtDate, QLatin1Char('/'));
  QString shortDate = ConvertDateFormat(qtDate, s.DateSeparator);
  if (shortDate.contains(QStringLiteral("mmm")) || !shortDate.contains(QLatin1Char('d')) ||
      !shortDate.contains(QLatin1Char('y'))) {
    s.DateSeparator = QLatin1Char('-');
    shortDate = QStringLiteral("yyyy/mm/dd");
  } else if (!shortDate.contains(QStringLiteral("yyyy"))) {
    shortDate.replace(QStringLiteral("yy"), QStringLiteral("yyyy"));
  }
  s.ShortDateFormat = shortDate;
  s.LongDateFormat = ConvertDateFormat(locale.dateFormat(QLocale::LongFormat), QChar());

  const QString qtTime = locale.timeFormat(QLocale::ShortFormat);
  s.TimeSeparator = FirstSeparator(qtTime, QLatin1Char(':'));
  s.ShortTimeFormat = ConvertTimeFormat(qtTime, s.TimeSeparator);
  QString longTime = s.ShortTimeFormat;
  if (!longTime.contains(QLatin1Char('s'))) {
    const qsizetype minutes = longTime.lastIndexOf(QLatin1Char('n'));
    if (minutes >= 0) longTime.insert(minutes + 1, QStringLiteral(":ss"));
  }
  s.LongTimeFormat = longTime;
  s.TimeAMString = locale.amText();
  s.TimePMString = locale.pmText();

  for (int m = 0; m < 12; ++m) {
    s.ShortMonthNames[m] = locale.monthName(m + 1, QLocale::ShortFormat);
    s.LongMonthNames[m] = locale.monthName(m + 1, QLocale::LongFormat);
  }
  for (int d = 0; d < 7; ++d) {
    const int qtDay = d == 0 ? 7 : d;  // ours start with Sunday, Qt's with Monday
    s.ShortDayNames[d] = locale.dayName(qtDay, QLocale::ShortFormat);
    s.LongDayNames[d] = locale.dayName(qtDay, QLocale::LongFormat);
  }
  return s;
}

TFormatSettings FormatSettings = GetLocaleFormatSettings(QLocale::system());

// --- Integers --------------------------------------------------------------------

namespace {

[[noreturn]] void InvalidInteger(const QString& text) {
  throw EConvertError(QStringLiteral("'%1' is not a valid integer value").arg(text));
}

// Parses an integer into the range [-(limitNeg), limitPos]; hexadecimal text
// may use the full width of `bits` and wraps to the signed value.
bool ParseInteger(const QString& text, qint64 low, qint64 high, int bits, qint64& result) {
  qsizetype i = 0;
  const qsizetype n = text.size();
  while (i < n && (text[i] == QLatin1Char(' ') || text[i] == QLatin1Char('\t'))) ++i;
  bool negative = false;
  if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
    negative = text[i] == QLatin1Char('-');
    ++i;
  }
  bool hex = false;
  if (i < n && text[i] == QLatin1Char('$')) {
    hex = true;
    ++i;
  } else if (i + 1 < n && text[i] == QLatin1Char('0') &&
             (text[i + 1] == QLatin1Char('x') || text[i + 1] == QLatin1Char('X'))) {
    hex = true;
    i += 2;
  }
  if (i >= n) return false;
  quint64 value = 0;
  if (hex) {
    const quint64 max = bits == 64 ? ~quint64(0) : (quint64(1) << bits) - 1;
    for (; i < n; ++i) {
      const char16_t c = text[i].unicode();
      const int digit = c >= '0' && c <= '9'   ? c - '0'
                        : c >= 'a' && c <= 'f' ? c - 'a' + 10
                        : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                               : -1;
      if (digit < 0) return false;
      if (value > (max >> 4)) return false;
      value = value * 16 + static_cast<quint64>(digit);
    }
    qint64 signedValue;
    if (bits == 64)
      signedValue = static_cast<qint64>(value);
    else if (value > static_cast<quint64>(high))
      signedValue = static_cast<qint64>(value) - (qint64(1) << bits);
    else
      signedValue = static_cast<qint64>(value);
    result = negative ? -signedValue : signedValue;
    if (negative && bits == 64 && signedValue == std::numeric_limits<qint64>::min()) result = signedValue;
    return true;
  }
  const quint64 limit = negative ? static_cast<quint64>(-(low + 1)) + 1 : static_cast<quint64>(high);
  for (; i < n; ++i) {
    const char16_t c = text[i].unicode();
    if (c < '0' || c > '9') return false;
    const quint64 digit = c - '0';
    if (value > (limit - digit) / 10) return false;
    value = value * 10 + digit;
  }
  if (negative)
    result = value == 0 ? 0 : static_cast<qint64>(-(value - 1)) - 1;
  else
    result = static_cast<qint64>(value);
  return true;
}

}  // namespace

QString IntToStr(qint64 value) { return QString::number(value); }

bool TryStrToInt(const QString& text, int& value) {
  qint64 v = 0;
  if (!ParseInteger(text, std::numeric_limits<int>::min(), std::numeric_limits<int>::max(), 32, v)) return false;
  value = static_cast<int>(v);
  return true;
}

bool TryStrToInt64(const QString& text, qint64& value) {
  return ParseInteger(text, std::numeric_limits<qint64>::min(), std::numeric_limits<qint64>::max(), 64, value);
}

int StrToInt(const QString& text) {
  int value = 0;
  if (!TryStrToInt(text, value)) InvalidInteger(text);
  return value;
}

qint64 StrToInt64(const QString& text) {
  qint64 value = 0;
  if (!TryStrToInt64(text, value)) InvalidInteger(text);
  return value;
}

int StrToIntDef(const QString& text, int def) {
  int value = 0;
  return TryStrToInt(text, value) ? value : def;
}

// --- Floats --------------------------------------------------------------------

namespace {

// The decimal digits of a number as text: sign, digits without the point, and
// the position of the point (number of integer digits, may be negative or
// beyond the digits).
struct TDecimal {
  bool Negative = false;
  QByteArray Digits;
  qint64 Point = 0;
  int Special = 0;  // 1 NAN, 2 INF
};

bool ParseDecimal(const QString& text, QChar separator, TDecimal& out) {
  const QString t = text.trimmed();
  qsizetype i = 0;
  const qsizetype n = t.size();
  if (i < n && (t[i] == QLatin1Char('+') || t[i] == QLatin1Char('-'))) {
    out.Negative = t[i] == QLatin1Char('-');
    ++i;
  }
  const QString rest = t.mid(i);
  if (rest.compare(QLatin1String("NAN"), Qt::CaseInsensitive) == 0 && i == 0) {
    out.Special = 1;
    return true;
  }
  if (rest.compare(QLatin1String("INF"), Qt::CaseInsensitive) == 0) {
    out.Special = 2;
    return true;
  }
  bool anyDigit = false, seenPoint = false;
  qint64 intDigits = 0;
  for (; i < n; ++i) {
    const char16_t c = t[i].unicode();
    if (c >= '0' && c <= '9') {
      anyDigit = true;
      // Leading zeros carry no value.
      if (out.Digits.isEmpty() && c == '0') {
        if (seenPoint) --out.Point;
        continue;
      }
      out.Digits.append(static_cast<char>(c));
      if (!seenPoint) ++intDigits;
    } else if (t[i] == separator && !seenPoint) {
      seenPoint = true;
    } else {
      break;
    }
  }
  if (!anyDigit) return false;
  out.Point += intDigits;
  if (i < n && (t[i] == QLatin1Char('e') || t[i] == QLatin1Char('E'))) {
    ++i;
    bool negExp = false;
    if (i < n && (t[i] == QLatin1Char('+') || t[i] == QLatin1Char('-'))) {
      negExp = t[i] == QLatin1Char('-');
      ++i;
    }
    if (i >= n) return false;
    qint64 exponent = 0;
    for (; i < n; ++i) {
      const char16_t c = t[i].unicode();
      if (c < '0' || c > '9') return false;
      if (exponent < 100000000) exponent = exponent * 10 + (c - '0');
    }
    out.Point += negExp ? -exponent : exponent;
  }
  if (i != n) return false;
  // Trailing zeros carry no value either.
  while (!out.Digits.isEmpty() && out.Digits.endsWith('0')) out.Digits.chop(1);
  return true;
}

[[noreturn]] void InvalidFloat(const QString& text) {
  throw EConvertError(QStringLiteral("'%1' is not a valid floating point value").arg(text));
}

}  // namespace

QString FloatToStr(double value) { return FloatToStr(value, FormatSettings); }

QString FloatToStr(double value, const TFormatSettings& settings) {
  if (std::isnan(value)) return QStringLiteral("NAN");
  if (std::isinf(value)) return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
  if (value == 0) return QStringLiteral("0");
  // "d.dddddddddddddde+XX": 15 significant digits, already rounded.
  const QString e = QString::number(std::fabs(value), 'e', 14);
  const qsizetype ePos = e.indexOf(QLatin1Char('e'));
  QString digits = e.left(1) + e.mid(2, ePos - 2);
  const int exponent = e.mid(ePos + 1).toInt();
  while (digits.size() > 1 && digits.endsWith(QLatin1Char('0'))) digits.chop(1);
  QString out = value < 0 ? QStringLiteral("-") : QString();
  if (exponent >= 15 || exponent < -5) {
    out += digits.left(1);
    if (digits.size() > 1) out += settings.DecimalSeparator + digits.mid(1);
    out += QLatin1Char('E');
    if (exponent < 0) out += QLatin1Char('-');
    out += QString::number(std::abs(exponent));
  } else if (exponent >= 0) {
    const qsizetype intCount = exponent + 1;
    if (digits.size() <= intCount) {
      out += digits + QString(intCount - digits.size(), QLatin1Char('0'));
    } else {
      out += digits.left(intCount) + settings.DecimalSeparator + digits.mid(intCount);
    }
  } else {
    out += QLatin1Char('0') + QString(settings.DecimalSeparator) + QString(-exponent - 1, QLatin1Char('0')) + digits;
  }
  return out;
}

bool TryStrToFloat(const QString& text, double& value) { return TryStrToFloat(text, value, FormatSettings); }

bool TryStrToFloat(const QString& text, double& value, const TFormatSettings& settings) {
  TDecimal d;
  if (!ParseDecimal(text, settings.DecimalSeparator, d)) return false;
  if (d.Special == 1) {
    value = std::numeric_limits<double>::quiet_NaN();
    return true;
  }
  if (d.Special == 2) {
    value = d.Negative ? -std::numeric_limits<double>::infinity() : std::numeric_limits<double>::infinity();
    return true;
  }
  if (d.Digits.isEmpty()) {
    value = d.Negative ? -0.0 : 0.0;
    return true;
  }
  // Out of the double's range: no value, as for any other malformed text.
  if (d.Point > 400) return false;
  if (d.Point < -400) {
    value = d.Negative ? -0.0 : 0.0;
    return true;
  }
  const QByteArray c = QByteArray(d.Negative ? "-0." : "0.") + d.Digits + 'e' + QByteArray::number(d.Point);
  // The text is well formed by now; a conversion that is not "ok" only
  // overflowed (no value) or underflowed (a tiny or zero value).
  bool ok = false;
  value = QLocale::c().toDouble(QString::fromLatin1(c), &ok);
  return std::isfinite(value);
}

double StrToFloat(const QString& text) { return StrToFloat(text, FormatSettings); }

double StrToFloat(const QString& text, const TFormatSettings& settings) {
  double value = 0;
  if (!TryStrToFloat(text, value, settings)) InvalidFloat(text);
  return value;
}

// --- Currency --------------------------------------------------------------------

QString CurrToStr(TCurrency value) { return CurrToStr(value, FormatSettings); }

QString CurrToStr(TCurrency value, const TFormatSettings& settings) {
  const bool negative = value.Value < 0;
  const quint64 magnitude =
      negative ? quint64(0) - static_cast<quint64>(value.Value) : static_cast<quint64>(value.Value);
  QString out = negative ? QStringLiteral("-") : QString();
  out += QString::number(magnitude / 10000);
  QString fraction = QStringLiteral("%1").arg(magnitude % 10000, 4, 10, QLatin1Char('0'));
  while (fraction.endsWith(QLatin1Char('0'))) fraction.chop(1);
  if (!fraction.isEmpty()) out += settings.DecimalSeparator + fraction;
  return out;
}

bool TryStrToCurr(const QString& text, TCurrency& value, const TFormatSettings& settings) {
  TDecimal d;
  if (!ParseDecimal(text, settings.DecimalSeparator, d) || d.Special) return false;
  if (d.Digits.isEmpty()) {
    value = TCurrency{0};
    return true;
  }
  // The amount in units of 1/10000: digits up to four places after the point,
  // the next one rounding half away from zero.
  if (d.Point > 19) return false;
  const qint64 wanted = d.Point + 4;  // how many digits make up the raw value
  if (wanted < 0) {
    value = TCurrency{0};
    return true;
  }
  quint64 raw = 0;
  for (qint64 k = 0; k < wanted; ++k) {
    const int digit = k < d.Digits.size() ? d.Digits[k] - '0' : 0;
    if (raw > (std::numeric_limits<quint64>::max() - static_cast<quint64>(digit)) / 10) return false;
    raw = raw * 10 + static_cast<quint64>(digit);
  }
  if (wanted < d.Digits.size() && d.Digits[wanted] >= '5') ++raw;
  const quint64 limit = d.Negative ? quint64(1) << 63 : (quint64(1) << 63) - 1;
  if (raw > limit) return false;
  value = TCurrency{d.Negative ? static_cast<qint64>(quint64(0) - raw) : static_cast<qint64>(raw)};
  return true;
}

TCurrency StrToCurr(const QString& text) { return StrToCurr(text, FormatSettings); }

TCurrency StrToCurr(const QString& text, const TFormatSettings& settings) {
  TCurrency value;
  if (!TryStrToCurr(text, value, settings)) InvalidFloat(text);
  return value;
}

QString FormatCurr(TCurrency value, const TFormatSettings& settings) {
  const int decimals = std::clamp(settings.CurrencyDecimals, 0, 4);
  const bool negative = value.Value < 0;
  quint64 magnitude = negative ? quint64(0) - static_cast<quint64>(value.Value) : static_cast<quint64>(value.Value);
  quint64 scale = 1;
  for (int k = decimals; k < 4; ++k) scale *= 10;
  magnitude = (magnitude + scale / 2) / scale;  // halves away from zero
  quint64 unit = 1;
  for (int k = 0; k < decimals; ++k) unit *= 10;
  QString whole = QString::number(magnitude / unit);
  if (!settings.ThousandSeparator.isNull())
    for (qsizetype k = whole.size() - 3; k > 0; k -= 3) whole.insert(k, settings.ThousandSeparator);
  QString number = whole;
  if (decimals > 0)
    number += settings.DecimalSeparator + QStringLiteral("%1").arg(magnitude % unit, decimals, 10, QLatin1Char('0'));
  const QString& c = settings.CurrencyString;
  if (!negative) {
    switch (settings.CurrencyFormat) {
      case 1: return number + c;
      case 2: return c + QLatin1Char(' ') + number;
      case 3: return number + QLatin1Char(' ') + c;
      default: return c + number;
    }
  }
  switch (settings.NegCurrFormat) {
    case 0: return QLatin1Char('(') + c + number + QLatin1Char(')');
    case 2: return c + QLatin1Char('-') + number;
    case 3: return c + number + QLatin1Char('-');
    case 4: return QLatin1Char('(') + number + c + QLatin1Char(')');
    case 5: return QLatin1Char('-') + number + c;
    case 6: return number + QLatin1Char('-') + c;
    case 7: return number + c + QLatin1Char('-');
    case 8: return QLatin1Char('-') + number + QLatin1Char(' ') + c;
    case 9: return QLatin1Char('-') + c + QLatin1Char(' ') + number;
    case 10: return number + QLatin1Char(' ') + c + QLatin1Char('-');
    case 11: return c + QLatin1Char(' ') + number + QLatin1Char('-');
    case 12: return c + QStringLiteral(" -") + number;
    case 13: return number + QStringLiteral("- ") + c;
    case 14: return QStringLiteral("(") + c + QLatin1Char(' ') + number + QLatin1Char(')');
    case 15: return QLatin1Char('(') + number + QLatin1Char(' ') + c + QLatin1Char(')');
    default: return QLatin1Char('-') + c + number;
  }
}

// --- Date-times --------------------------------------------------------------------

namespace {

const QDate& BaseDate() {
  static const QDate base(1899, 12, 30);
  return base;
}

constexpr qint64 MsPerDay = 86400000;
// 1 January 0001 and 31 December 9999 as day numbers.
constexpr double MinDateTime = -693593.0;
constexpr double MaxDateTime = 2958466.0;

// Splits a date-time into its day number and the milliseconds of its day; the
// time of a negative date-time counts forwards from midnight, as its
// fraction's magnitude.
bool SplitDateTime(TDateTime value, qint64& day, qint64& ms) {
  if (!std::isfinite(value) || value <= MinDateTime - 1 || value >= MaxDateTime) return false;
  day = static_cast<qint64>(std::trunc(value));
  ms = std::llround(std::fabs(value - static_cast<double>(day)) * MsPerDay);
  if (ms >= MsPerDay) {
    ms -= MsPerDay;
    day += value < 0 ? -1 : 1;
  }
  return true;
}

[[noreturn]] void InvalidDateTimeValue(TDateTime value) {
  throw EConvertError(QStringLiteral("'%1' is not a valid date and time").arg(QString::number(value, 'g', 17)));
}

}  // namespace

bool TryEncodeDate(int year, int month, int day, TDateTime& value) {
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1) return false;
  const QDate date(year, month, 1);
  if (day > date.daysInMonth()) return false;
  value = static_cast<double>(BaseDate().daysTo(QDate(year, month, day)));
  return true;
}

bool TryEncodeTime(int hour, int minute, int second, int msec, TDateTime& value) {
  if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 || msec < 0 || msec > 999)
    return false;
  value = static_cast<double>(((hour * 60 + minute) * 60 + second) * 1000 + msec) / MsPerDay;
  return true;
}

TDateTime EncodeDate(int year, int month, int day) {
  TDateTime value = 0;
  if (!TryEncodeDate(year, month, day, value)) throw EConvertError(QStringLiteral("Invalid argument to date encode"));
  return value;
}

TDateTime EncodeTime(int hour, int minute, int second, int msec) {
  TDateTime value = 0;
  if (!TryEncodeTime(hour, minute, second, msec, value))
    throw EConvertError(QStringLiteral("Invalid argument to time encode"));
  return value;
}

void DecodeDate(TDateTime value, int& year, int& month, int& day) {
  qint64 d = 0, ms = 0;
  if (!SplitDateTime(value, d, ms)) InvalidDateTimeValue(value);
  const QDate date = BaseDate().addDays(d);
  year = date.year();
  month = date.month();
  day = date.day();
}

void DecodeTime(TDateTime value, int& hour, int& minute, int& second, int& msec) {
  qint64 d = 0, ms = 0;
  if (!SplitDateTime(value, d, ms)) InvalidDateTimeValue(value);
  hour = static_cast<int>(ms / 3600000);
  minute = static_cast<int>(ms / 60000 % 60);
  second = static_cast<int>(ms / 1000 % 60);
  msec = static_cast<int>(ms % 1000);
}

QDateTime DateTimeToQDateTime(TDateTime value) {
  qint64 d = 0, ms = 0;
  if (!SplitDateTime(value, d, ms)) return QDateTime();
  return QDateTime(BaseDate().addDays(d), QTime::fromMSecsSinceStartOfDay(static_cast<int>(ms)));
}

TDateTime QDateTimeToDateTime(const QDateTime& value) {
  const double day = static_cast<double>(BaseDate().daysTo(value.date()));
  const double time = static_cast<double>(value.time().msecsSinceStartOfDay()) / MsPerDay;
  return day >= 0 ? day + time : day - time;
}

TDateTime Now() { return QDateTimeToDateTime(QDateTime::currentDateTime()); }

QString DateTimeToStr(TDateTime value) { return DateTimeToStr(value, FormatSettings); }

QString DateTimeToStr(TDateTime value, const TFormatSettings& settings) {
  return FormatDateTime(QStringLiteral("c"), value, settings);
}

QString FormatDateTime(const QString& format, TDateTime value, const TFormatSettings& settings) {
  qint64 dayNumber = 0, ms = 0;
  if (!SplitDateTime(value, dayNumber, ms)) InvalidDateTimeValue(value);
  const QDate date = BaseDate().addDays(dayNumber);
  const int hour = static_cast<int>(ms / 3600000), minute = static_cast<int>(ms / 60000 % 60),
            second = static_cast<int>(ms / 1000 % 60), msec = static_cast<int>(ms % 1000);
  const auto two = [](int v) { return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0')); };

  QString out;
  bool afterHour = false;
  // Whether the format holds an AM/PM marker, which makes hours 12-based.
  const QString lower = format.toLower();
  const bool twelve = lower.contains(QStringLiteral("ampm")) || lower.contains(QStringLiteral("am/pm")) ||
                      lower.contains(QStringLiteral("a/p"));
  const qsizetype n = format.size();
  for (qsizetype i = 0; i < n;) {
    const QChar c = format[i];
    const char16_t lc = c.toLower().unicode();
    qsizetype run = 1;
    while (i + run < n && format[i + run].toLower() == c.toLower()) ++run;
    if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
      const qsizetype end = format.indexOf(c, i + 1);
      out += format.mid(i + 1, (end < 0 ? n : end) - i - 1);
      i = end < 0 ? n : end + 1;
      continue;
    }
    if (lower.mid(i, 4) == QLatin1String("ampm")) {
      out += hour < 12 ? settings.TimeAMString : settings.TimePMString;
      i += 4;
      continue;
    }
    if (lower.mid(i, 5) == QLatin1String("am/pm")) {
      out += hour < 12 ? format.mid(i, 2) : format.mid(i + 3, 2);
      i += 5;
      continue;
    }
    if (lower.mid(i, 3) == QLatin1String("a/p")) {
      out += hour < 12 ? format.mid(i, 1) : format.mid(i + 2, 1);
      i += 3;
      continue;
    }
    switch (lc) {
      case 'c':
        out += FormatDateTime(settings.ShortDateFormat, value, settings);
        if (ms != 0) out += QLatin1Char(' ') + FormatDateTime(settings.LongTimeFormat, value, settings);
        i += 1;
        continue;
      case 'd':
        if (run >= 6)
          out += FormatDateTime(settings.LongDateFormat, value, settings), run = 6;
        else if (run == 5)
          out += FormatDateTime(settings.ShortDateFormat, value, settings);
        else if (run == 4)
          out += settings.LongDayNames[date.dayOfWeek() % 7];
        else if (run == 3)
          out += settings.ShortDayNames[date.dayOfWeek() % 7];
        else if (run == 2)
          out += two(date.day());
        else
          out += QString::number(date.day());
        break;
      case 'm':
        if (afterHour && run <= 2) {
          out += run == 2 ? two(minute) : QString::number(minute);
        } else {
          if (run >= 4)
            out += settings.LongMonthNames[date.month() - 1], run = 4;
          else if (run == 3)
            out += settings.ShortMonthNames[date.month() - 1];
          else if (run == 2)
            out += two(date.month());
          else
            out += QString::number(date.month());
        }
        afterHour = false;
        i += run;
        continue;
      case 'y':
        if (run <= 2)
          out += two(date.year() % 100);
        else
          out += QStringLiteral("%1").arg(date.year(), 4, 10, QLatin1Char('0'));
        break;
      case 'h': {
        int h = hour;
        if (twelve) {
          h = hour % 12;
          if (h == 0) h = 12;
        }
        if (run >= 2) run = 2;
        out += run == 2 ? two(h) : QString::number(h);
        i += run;
        afterHour = true;
        continue;
      }
      case 'n':
        if (run >= 2) run = 2;
        out += run == 2 ? two(minute) : QString::number(minute);
        break;
      case 's':
        if (run >= 2) run = 2;
        out += run == 2 ? two(second) : QString::number(second);
        break;
      case 'z':
        if (run >= 3) run = 3;
        out += run == 3 ? QStringLiteral("%1").arg(msec, 3, 10, QLatin1Char('0')) : QString::number(msec);
        break;
      case 't':
        if (run >= 2) run = 2;
        out += FormatDateTime(run == 2 ? settings.LongTimeFormat : settings.ShortTimeFormat, value, settings);
        break;
      case '/':
        run = 1;
        if (!settings.DateSeparator.isNull()) out += settings.DateSeparator;
        break;
      case ':':
        run = 1;
        if (!settings.TimeSeparator.isNull()) out += settings.TimeSeparator;
        break;
      default:
        run = 1;
        out += c;
        break;
    }
    i += run;
  }
  return out;
}

namespace {

struct TScanner {
  const QString& Text;
  qsizetype Pos = 0;

  void SkipBlanks() {
    while (Pos < Text.size() && Text[Pos].isSpace()) ++Pos;
  }
  bool AtEnd() const { return Pos >= Text.size(); }
  bool Number(int& value, int& digits) {
    value = 0;
    digits = 0;
    while (Pos < Text.size() && Text[Pos].unicode() >= '0' && Text[Pos].unicode() <= '9') {
      if (digits < 9) value = value * 10 + (Text[Pos].unicode() - '0');
      ++digits;
      ++Pos;
    }
    return digits > 0;
  }
  bool Char(QChar c) {
    if (!c.isNull() && Pos < Text.size() && Text[Pos] == c) {
      ++Pos;
      return true;
    }
    return false;
  }
  bool Word(const QString& word) {
    if (word.isEmpty() || Text.mid(Pos, word.size()).compare(word, Qt::CaseInsensitive) != 0) return false;
    Pos += word.size();
    return true;
  }
};

// The order of day, month and year in a short date format: "DMY", "MDY", ...
QString DateOrder(const QString& format) {
  QString order;
  for (QChar c : format) {
    const QChar u = c.toUpper();
    if ((u == QLatin1Char('D') || u == QLatin1Char('M') || u == QLatin1Char('Y')) && !order.contains(u)) order += u;
  }
  if (order.size() != 3) order = QStringLiteral("MDY");
  return order;
}

bool ScanDate(TScanner& s, const TFormatSettings& settings, TDateTime& date) {
  const qsizetype start = s.Pos;
  int values[3] = {0, 0, 0}, digits[3] = {0, 0, 0};
  int count = 0;
  if (!s.Number(values[0], digits[0])) return false;
  count = 1;
  // Some locales put a blank after the separator ("2026. 12. 11.").
  while (count < 3 && s.Char(settings.DateSeparator)) {
    if (settings.DateSeparator != QLatin1Char(' ')) s.SkipBlanks();
    if (!s.Number(values[count], digits[count])) {
      s.Pos = start;
      return false;
    }
    ++count;
  }
  if (count < 2) {
    s.Pos = start;
    return false;
  }
  // A separator may close the date ("1.2.2003.").
  if (count == 3) s.Char(settings.DateSeparator);
  QString order = DateOrder(settings.ShortDateFormat);
  int year = 0, month = 0, day = 0, yearDigits = 0;
  if (count == 2) {
    order.remove(QLatin1Char('Y'));
    year = QDate::currentDate().year();
    yearDigits = 4;
  }
  for (int k = 0; k < count; ++k) {
    switch (order[k].unicode()) {
      case 'D': day = values[k]; break;
      case 'M': month = values[k]; break;
      default:
        year = values[k];
        yearDigits = digits[k];
        break;
    }
  }
  if (yearDigits <= 2) {
    const int current = QDate::currentDate().year();
    const int window = settings.TwoDigitYearCenturyWindow;
    const int base = current - window;
    year += base / 100 * 100;
    if (window > 0 && year < base) year += 100;
  }
  return TryEncodeDate(year, month, day, date);
}

bool ScanTime(TScanner& s, const TFormatSettings& settings, TDateTime& time) {
  int hour = 0, minute = 0, second = 0, msec = 0, d = 0;
  if (!s.Number(hour, d) || d > 2) return false;
  if (s.Char(settings.TimeSeparator)) {
    if (!s.Number(minute, d) || d > 2) return false;
    if (s.Char(settings.TimeSeparator)) {
      if (!s.Number(second, d) || d > 2) return false;
      if (s.Char(settings.DecimalSeparator)) {
        if (!s.Number(msec, d) || d > 3) return false;
        for (; d < 3; ++d) msec *= 10;
      }
    }
  } else {
    // A bare number is a time only with an AM/PM marker ("5 PM").
    const qsizetype at = s.Pos;
    s.SkipBlanks();
    const bool marked = s.Word(settings.TimeAMString) || s.Word(settings.TimePMString) ||
                        s.Word(QStringLiteral("AM")) || s.Word(QStringLiteral("PM"));
    s.Pos = at;
    if (!marked) return false;
  }
  s.SkipBlanks();
  const auto marker = [&](bool pm) {
    if (hour > 12 || hour == 0) return false;
    if (pm && hour < 12) hour += 12;
    if (!pm && hour == 12) hour = 0;
    return true;
  };
  if (s.Word(settings.TimeAMString) || s.Word(QStringLiteral("AM"))) {
    if (!marker(false)) return false;
  } else if (s.Word(settings.TimePMString) || s.Word(QStringLiteral("PM"))) {
    if (!marker(true)) return false;
  }
  return TryEncodeTime(hour, minute, second, msec, time);
}

}  // namespace

bool TryStrToDateTime(const QString& text, TDateTime& value, const TFormatSettings& settings) {
  TScanner s{text};
  s.SkipBlanks();
  TDateTime date = 0, time = 0;
  const bool hasDate = ScanDate(s, settings, date);
  s.SkipBlanks();
  bool hasTime = false;
  if (!s.AtEnd()) {
    if (!ScanTime(s, settings, time)) return false;
    hasTime = true;
    s.SkipBlanks();
  }
  if (!s.AtEnd() || (!hasDate && !hasTime)) return false;
  value = date >= 0 ? date + time : date - time;
  return true;
}

TDateTime StrToDateTime(const QString& text) { return StrToDateTime(text, FormatSettings); }

TDateTime StrToDateTime(const QString& text, const TFormatSettings& settings) {
  TDateTime value = 0;
  if (!TryStrToDateTime(text, value, settings))
    throw EConvertError(QStringLiteral("'%1' is not a valid date and time").arg(text));
  return value;
}
