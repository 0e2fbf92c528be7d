#include "rsIniData.h"

#include "rsCodePage.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QPair>
#include <QSaveFile>
#include <QStandardPaths>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <limits>
#include <map>
#include <unordered_map>

#include <unistd.h>

namespace {

// --- Code page --------------------------------------------------------------------

QString Decode(const char* data, qsizetype size) {
  const QChar* chars = CodePageChars();
  QString text(size, Qt::Uninitialized);
  QChar* out = text.data();
  for (qsizetype i = 0; i < size; ++i) out[i] = chars[static_cast<unsigned char>(data[i])];
  return text;
}

QString Decode(const QByteArray& bytes) { return Decode(bytes.constData(), bytes.size()); }

// Text to the code page; characters it cannot show become "?".
QByteArray Encode(const QString& text) {
  QByteArray out(text.size(), Qt::Uninitialized);
  char* p = out.data();
  for (qsizetype i = 0; i < text.size(); ++i) {
    const int byte = CodePageByte(text[i]);
    p[i] = byte >= 0 ? static_cast<char>(byte) : '?';
  }
  return out;
}

// --- Bytes --------------------------------------------------------------------

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= 32; }

QByteArray Trimmed(const char* data, qsizetype size) {
  qsizetype start = 0, end = size;
  while (start < end && IsBlank(data[start])) ++start;
  while (end > start && IsBlank(data[end - 1])) --end;
  return QByteArray(data + start, end - start);
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool StartsWithNoCase(const QByteArray& text, const char* prefix) {
  const auto n = static_cast<qsizetype>(std::strlen(prefix));
  return text.size() >= n && qstrnicmp(text.constData(), prefix, static_cast<size_t>(n)) == 0;
}

const char HexDigits[] = "0123456789ABCDEF";

// Bytes per line of a binary value before it continues on the next line.
constexpr qsizetype BinaryBytesPerLine = 25;

// --- Reading values --------------------------------------------------------------------

// Pairs of hex digits; blanks, commas, backslashes and line ends between them
// are skipped. Anything else makes the whole value an empty binary.
QByteArray ParseBinary(const QByteArray& text) {
  QByteArray bytes;
  bytes.reserve(text.size() / 2);
  for (qsizetype i = 0; i < text.size();) {
    const char c = text[i];
    if (c == ' ' || c == ',' || c == '\\' || c == '\r' || c == '\n') {
      ++i;
      continue;
    }
    const int high = HexDigit(c);
    const int low = i + 1 < text.size() ? HexDigit(text[i + 1]) : -1;
    if (high < 0 || low < 0) return QByteArray();
    bytes.append(static_cast<char>(high * 16 + low));
    i += 2;
  }
  return bytes;
}

// "$$" for "$", "$" and two hex digits for that byte; an opening quote is
// dropped, a quote at the very end closes the text, other quotes are kept.
QByteArray ParseEscaped(const QByteArray& text) {
  qsizetype start = 0, end = text.size();
  if (start < end && text[start] == '"') ++start;
  if (end > start && text[end - 1] == '"') --end;
  QByteArray bytes;
  bytes.reserve(end - start);
  for (qsizetype i = start; i < end; ++i) {
    const char c = text[i];
    if (c == '$' && i + 1 < end && text[i + 1] == '$') {
      bytes.append('$');
      ++i;
    } else if (c == '$' && i + 2 < end && HexDigit(text[i + 1]) >= 0 && HexDigit(text[i + 2]) >= 0) {
      bytes.append(static_cast<char>(HexDigit(text[i + 1]) * 16 + HexDigit(text[i + 2])));
      i += 2;
    } else {
      bytes.append(c);
    }
  }
  return bytes;
}

// A sign, digits and at most one decimal separator: the plain number form.
// Returns 0 for no number, 1 for an integer, 2 for one with a separator.
int PlainNumberForm(const QString& text, QChar separator, qsizetype& digits) {
  if (text.isEmpty()) return 0;
  const QChar first = text[0];
  if (first != QLatin1Char('+') && first != QLatin1Char('-') &&
      !(first >= QLatin1Char('0') && first <= QLatin1Char('9')))
    return 0;
  digits = 0;
  int separators = 0;
  for (qsizetype i = first.isDigit() ? 0 : 1; i < text.size(); ++i) {
    const QChar c = text[i];
    if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
      ++digits;
    else if (c == separator && ++separators <= 1)
      continue;
    else
      return 0;
  }
  if (digits == 0) return 0;
  return separators == 1 ? 2 : 1;
}

// YYYY-MM-DDThh:mm:ss.z with one to three digits of milliseconds.
bool ParseFixedDateTime(const QByteArray& text, TDateTime& value) {
  const qsizetype n = text.size();
  if (n < 21 || n > 23) return false;
  const auto number = [&](qsizetype from, qsizetype count, int& out) {
    out = 0;
    for (qsizetype i = from; i < from + count; ++i) {
      if (text[i] < '0' || text[i] > '9') return false;
      out = out * 10 + (text[i] - '0');
    }
    return true;
  };
  int year, month, day, hour, minute, second, msec;
  if (text[4] != '-' || text[7] != '-' || text[10] != 'T' || text[13] != ':' || text[16] != ':' || text[19] != '.')
    return false;
  if (!number(0, 4, year) || !number(5, 2, month) || !number(8, 2, day) || !number(11, 2, hour) ||
      !number(14, 2, minute) || !number(17, 2, second) || !number(20, n - 20, msec))
    return false;
  TDateTime date = 0, time = 0;
  if (!TryEncodeDate(year, month, day, date) || !TryEncodeTime(hour, minute, second, msec, time)) return false;
  value = date >= 0 ? date + time : date - time;
  return true;
}

// --- Writing values --------------------------------------------------------------------

// Floats in the general form with at least one decimal: "1.5", "2.0". Where
// the general form would take an exponent, which the reader does not take for
// a number, the same digits are spelled out in full.
QString FloatText(double value) {
  QString text = FloatToStr(value);
  // "NAN" and "INF" stay as they are: with a decimal appended they would no
  // longer read back as the value they stand for.
  if (!std::isfinite(value)) return text;
  const QChar separator = FormatSettings.DecimalSeparator;
  const qsizetype e = text.indexOf(QLatin1Char('E'));
  if (e >= 0) {
    const bool negative = text.startsWith(QLatin1Char('-'));
    QString digits = text.mid(negative ? 1 : 0, e - (negative ? 1 : 0));
    digits.remove(separator);
    const int exponent = text.mid(e + 1).toInt();
    QString fixed;
    if (exponent >= 0) {
      fixed = digits + QString(std::max<qsizetype>(0, exponent + 1 - digits.size()), QLatin1Char('0'));
      if (digits.size() > exponent + 1) fixed = digits.left(exponent + 1) + separator + digits.mid(exponent + 1);
    } else {
      fixed = QLatin1Char('0') + QString(separator) + QString(-exponent - 1, QLatin1Char('0')) + digits;
    }
    text = negative ? QLatin1Char('-') + fixed : fixed;
  }
  if (!text.contains(separator)) text += separator + QStringLiteral("0");
  return text;
}

QByteArray EscapeText(const QByteArray& bytes) {
  QByteArray out;
  out.reserve(bytes.size() + 16);
  for (char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    if (c == '$') {
      out.append("$$");
    } else if (b < 32) {
      out.append('$');
      out.append(HexDigits[b >> 4]);
      out.append(HexDigits[b & 15]);
    } else {
      out.append(c);
    }
  }
  return out;
}

bool HasControlChar(const QString& text) {
  for (QChar c : text)
    if (c.unicode() < 32) return true;
  return false;
}

// ASCII letters folded to upper case: names that compare equal ignoring
// ASCII case meet under the same text.
QString FoldAscii(const QString& name) {
  QString out = name;
  for (QChar& c : out)
    if (c.unicode() >= 'a' && c.unicode() <= 'z') c = QChar(c.unicode() - 32);
  return out;
}

// The tree as the reader fills it: entries are appended in reading order and
// found again through hash tables, and the storage takes them, sorted, in one
// step. Inserting each line at its sorted place would cost time growing with
// the square of the file's size.
class TTreeBuilder {
public:
  TTreeBuilder(TrsStorage& storage, int headers, int keys)
      : FStorage(storage), FNextId(storage.NextSectionId()), FCurrent(storage.CurrentSectionId()) {
    FSections.reserve(static_cast<size_t>(storage.SectionCount() + headers));
    FKeys.reserve(static_cast<size_t>(storage.KeyCount() + keys));
    for (int i = 0; i < storage.SectionCount(); ++i) {
      const TrsSection& s = storage.Sections(i);
      FSectionIds.insert({s.ParentId, FoldAscii(s.Name)}, s.Id);
      FSections.push_back(s);
    }
    for (int i = 0; i < storage.KeyCount(); ++i) {
      const TrsKeyItem& k = storage.Keys(i);
      FKeyIndex.insert({k.SectionId, FoldAscii(k.Name)}, FKeys.size());
      FKeys.push_back(k);
    }
  }

  // A header: the path from the top level, missing sections created.
  void SelectSection(const QString& path) {
    int id = 0;
    const qsizetype n = path.size();
    for (qsizetype start = 0; start < n;) {
      qsizetype end = start;
      while (end < n && path[end] != QLatin1Char('\\') && path[end] != QLatin1Char('/')) ++end;
      if (end > start) {
        const QString name = path.mid(start, end - start);
        const QPair<int, QString> where(id, FoldAscii(name));
        const auto found = FSectionIds.constFind(where);
        if (found != FSectionIds.cend()) {
          id = found.value();
        } else {
          TrsSection section;
          section.Name = name;
          section.Id = FNextId++;
          section.ParentId = id;
          FSections.push_back(section);
          FSectionIds.insert(where, section.Id);
          id = section.Id;
        }
      }
      start = end + 1;
    }
    FCurrent = id;
  }

  // The value of a key of the current section, the key created if missing
  // (under this spelling; a later spelling does not rename it).
  TrsValue& Key(const QString& name) {
    const QPair<int, QString> where(FCurrent, FoldAscii(name));
    const auto found = FKeyIndex.constFind(where);
    if (found != FKeyIndex.cend()) return FKeys[found.value()].Value;
    TrsKeyItem key;
    key.Name = name;
    key.SectionId = FCurrent;
    FKeyIndex.insert(where, FKeys.size());
    FAdded.push_back(FKeys.size());
    FKeys.push_back(std::move(key));
    return FKeys.back().Value;
  }

  // Hands the tree to the storage and announces the new keys.
  void Commit() {
    std::vector<std::pair<int, QString>> added;
    added.reserve(FAdded.size());
    for (size_t index : FAdded) added.emplace_back(FKeys[index].SectionId, FKeys[index].Name);
    FStorage.AdoptTree(std::move(FSections), std::move(FKeys), FNextId, FCurrent);
    if (!FStorage.OnKeyAdd()) return;
    for (const auto& [section, name] : added)
      if (FStorage.FindSectionKey(section, name, false)) FStorage.OnKeyAdd()(&FStorage);
  }

private:
  TrsStorage& FStorage;
  std::vector<TrsSection> FSections;
  std::vector<TrsKeyItem> FKeys;
  QHash<QPair<int, QString>, int> FSectionIds;
  QHash<QPair<int, QString>, size_t> FKeyIndex;
  std::vector<size_t> FAdded;
  int FNextId;
  int FCurrent;
};

// Collects output in a fixed buffer and hands it on when the buffer is full.
class TBufferedWriter {
public:
  explicit TBufferedWriter(QByteArray& target) : FTarget(target) {}
  ~TBufferedWriter() { Flush(); }
  void Write(const char* data, qsizetype size) {
    while (size > 0) {
      const qsizetype room = static_cast<qsizetype>(sizeof(FBuffer)) - FUsed;
      const qsizetype part = std::min(room, size);
      std::memcpy(FBuffer + FUsed, data, static_cast<size_t>(part));
      FUsed += part;
      data += part;
      size -= part;
      if (FUsed == static_cast<qsizetype>(sizeof(FBuffer))) Flush();
    }
  }
  void Write(const QByteArray& bytes) { Write(bytes.constData(), bytes.size()); }
  void Write(const char* text) { Write(text, static_cast<qsizetype>(std::strlen(text))); }
  void Flush() {
    FTarget.append(FBuffer, FUsed);
    FUsed = 0;
  }

private:
  QByteArray& FTarget;
  char FBuffer[4096];
  qsizetype FUsed = 0;
};

QString& ApplicationDirOverride() {
  static QString folder;
  return folder;
}

// The settings live beside the executable, as they always have. An installed
// program's folder is not the user's to write, so there they go to the
// user's configuration folder instead, made when first needed: a close never
// fails for want of a place to write.
QString ApplicationDir() {
  if (!ApplicationDirOverride().isEmpty()) return ApplicationDirOverride();
  const QString beside = QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QDir::currentPath();
  if (QFileInfo(beside).isWritable()) return beside;
  return UserSettingsFolder();
}

}  // namespace

void SetApplicationSettingsFolder(const QString& folder) { ApplicationDirOverride() = folder; }

QString UserSettingsFolder() {
  QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
  if (base.isEmpty() || QDir::isRelativePath(base)) base = QDir::homePath() + QStringLiteral("/.config");
  const QString folder = base + QStringLiteral("/notarium");
  QDir().mkpath(folder);
  return folder;
}

// --- TrsStreamData --------------------------------------------------------------------

TrsStreamData::TrsStreamData(TComponent* owner) : TrsStorageData(owner) {}

TrsStreamData::~TrsStreamData() = default;

QString TrsStreamData::FullFileName() const {
  QString name = FFileName;
  name.replace(QLatin1Char('\\'), QLatin1Char('/'));
  const qsizetype slash = name.lastIndexOf(QLatin1Char('/'));
  const QString dirPart = slash >= 0 ? name.left(slash + 1) : QString();
  const QString namePart = name.mid(slash + 1);

  QString dir;
  switch (FFileDir) {
    case fdCustom: dir = dirPart; break;
    case fdApplication: dir = ApplicationDir(); break;
    case fdWindows: dir = QStringLiteral("/etc"); break;
    case fdUserProfile: dir = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation); break;
  }
  if (!dir.isEmpty() && !dir.endsWith(QLatin1Char('/'))) dir += QLatin1Char('/');
  if (FFileDir != fdCustom && !dirPart.isEmpty()) dir = QDir::isAbsolutePath(dirPart) ? dirPart : dir + dirPart;

  QString file =
      FOptions.testFlag(doAutoName) ? QFileInfo(QCoreApplication::applicationFilePath()).fileName() : namePart;
  const qsizetype dot = namePart.lastIndexOf(QLatin1Char('.'));
  const QString extension = dot >= 0 ? namePart.mid(dot) : DefaultExtension();
  const qsizetype fileDot = file.lastIndexOf(QLatin1Char('.'));
  if (fileDot >= 0) file.truncate(fileDot);
  return dir + file + extension;
}

void TrsStreamData::ParseStream(TrsStorage&, const QByteArray&) {}

QByteArray TrsStreamData::FormatStream(TrsStorage&) { return QByteArray(); }

void TrsStreamData::LoadData(TrsStorage& storage) {
  const QString path = FullFileName();
  const bool useInternal =
      FInternalFileLoad == iflAlways || (FInternalFileLoad == iflNoRealFile && !QFileInfo::exists(path));
  QByteArray bytes;
  if (useInternal) {
    if (!FInternalFileName.isEmpty()) {
      QFile internal(FInternalFileName);
      if (!internal.open(QIODevice::ReadOnly))
        throw EFOpenError(QStringLiteral("Cannot open file \"%1\". %2").arg(FInternalFileName, internal.errorString()));
      bytes = internal.readAll();
    }
  } else if (QFileInfo::exists(path)) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
      throw EFOpenError(
          QStringLiteral("Cannot open file \"%1\". %2").arg(QDir::toNativeSeparators(path), file.errorString()));
    bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
      throw EFOpenError(
          QStringLiteral("Cannot open file \"%1\". %2").arg(QDir::toNativeSeparators(path), file.errorString()));
  }
  try {
    if (!bytes.isEmpty()) ParseStream(storage, bytes);
  } catch (...) {
    storage.SetRootSection(QString());
    throw;
  }
  storage.SetRootSection(QString());
  FOnLoadFromStream(this);
}

void TrsStreamData::SaveData(TrsStorage& storage) {
  const QString current = storage.RootSection();
  storage.SetRootSection(QString());
  QByteArray bytes;
  try {
    bytes = FormatStream(storage);
  } catch (...) {
    storage.SetRootSection(current);
    throw;
  }
  storage.SetRootSection(current);
  FOnSaveToStream(this);

  const QString path = FullFileName();
  if (FOptions.testFlag(doAutoCreateDir)) {
    const QString dir = QFileInfo(path).absolutePath();
    QDir().mkpath(dir);
  }
  // The new content goes to a temporary file beside the old one, which takes
  // the old one's place only once it is completely on disk.
  QSaveFile file(path);
  const auto fail = [&](const QString& why) {
    throw EFCreateError(QStringLiteral("Cannot create file \"%1\". %2").arg(QDir::toNativeSeparators(path), why));
  };
  if (!file.open(QIODevice::WriteOnly)) fail(file.errorString());
  // Written straight to the file: Qt reports a write that stops part-way, as
  // on a full disk, as "Unknown error", and cancelling replaces even that with
  // its own text; the system's error says why.
  const char* data = bytes.constData();
  qint64 left = bytes.size();
  while (left > 0) {
    const ssize_t written = ::write(file.handle(), data, static_cast<size_t>(left));
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) {
      const QString why = QString::fromLocal8Bit(std::strerror(written < 0 ? errno : EIO));
      file.cancelWriting();
      fail(why);
    }
    data += written;
    left -= written;
  }
  if (!file.commit()) fail(file.errorString());
}

// --- TrsIniData --------------------------------------------------------------------

TrsIniData::TrsIniData(TComponent* owner) : TrsStreamData(owner), FTemplate(std::make_unique<TStringList>()) {
  FTemplate->Add(QStringLiteral("%BODY%"));
}

TrsIniData::~TrsIniData() = default;

void TrsIniData::SetTemplate(TStrings* lines) {
  if (lines)
    FTemplate->Assign(lines);
  else
    FTemplate->Clear();
}

bool TrsIniData::ParseValue(const QByteArray& text, TrsValue& value) {
  value.Clear();
  if (text.isEmpty()) {
    value.Kind = vkText;
    return true;
  }
  if (text.size() >= 2 && text.front() == '"' && text.back() == '"') {
    value.Kind = vkText;
    value.Text = Decode(text.constData() + 1, text.size() - 2);
    return true;
  }
  const QString decoded = Decode(text);
  qsizetype digits = 0;
  switch (PlainNumberForm(decoded, FormatSettings.DecimalSeparator, digits)) {
    case 2: {
      double f = 0;
      if (TryStrToFloat(decoded, f) && std::isfinite(f)) {
        value.Kind = vkFloat;
        value.Float = f;
        return true;
      }
      break;  // too large for a double: kept as the text it is
    }
    case 1: {
      const bool negative = decoded[0] == QLatin1Char('-');
      const QString digitText = decoded[0].isDigit() ? decoded : decoded.mid(1);
      const bool fits32 =
          digits <= 9 || (digits == 10 &&
                          digitText.compare(negative ? QLatin1String("2147483648") : QLatin1String("2147483647")) <= 0);
      qint64 v = 0;
      if (TryStrToInt64(decoded, v)) {
        value.Kind = fits32 ? vkInteger : vkInt64;
        value.Integer = v;
        return true;
      }
      break;  // beyond 64 bits: kept as the text it is
    }
    default: break;
  }
  if (StartsWithNoCase(text, "curr:")) {
    value.Kind = vkCurrency;
    value.Integer = StrToCurr(decoded.mid(5)).Value;
  } else if (StartsWithNoCase(text, "date:")) {
    value.Kind = vkDateTime;
    value.Float = StrToDateTime(decoded.mid(5));
  } else if (StartsWithNoCase(text, "fxdate:")) {
    if (!ParseFixedDateTime(text.mid(7), value.Float)) return false;
    value.Kind = vkDateTime;
  } else if (StartsWithNoCase(text, "hex:")) {
    value.Kind = vkBinary;
    value.Binary = ParseBinary(text.mid(4));
  } else if (StartsWithNoCase(text, "int64:")) {
    value.Kind = vkInt64;
    value.Integer = StrToInt64(decoded.mid(6));
  } else if (StartsWithNoCase(text, "point:")) {
    const QString pair = decoded.mid(6);
    const qsizetype comma = pair.indexOf(QLatin1Char(','));
    const int x = StrToInt(comma >= 0 ? pair.left(comma) : pair);
    const int y = StrToInt(comma >= 0 ? pair.mid(comma + 1) : QString());
    value.Kind = vkPoint;
    value.Point = QPoint(x, y);
  } else if (StartsWithNoCase(text, "text:")) {
    value.Kind = vkText;
    value.Text = Decode(ParseEscaped(text.mid(5)));
  } else if (qstricmp(text.constData(), "True") == 0 || qstricmp(text.constData(), "False") == 0) {
    value.Kind = vkBoolean;
    value.Integer = qstricmp(text.constData(), "True") == 0 ? 1 : 0;
  } else {
    value.Kind = vkText;
    value.Text = decoded;
  }
  return true;
}

void TrsIniData::ParseStream(TrsStorage& storage, const QByteArray& bytes) {
  // Lines end at CR, LF or CR LF.
  struct TLine {
    qsizetype start, size;
  };
  std::vector<TLine> lines;
  const char* data = bytes.constData();
  const qsizetype n = bytes.size();
  for (qsizetype start = 0, i = 0; i <= n; ++i) {
    if (i == n || data[i] == '\r' || data[i] == '\n') {
      if (i < n || i > start) lines.push_back({start, i - start});
      if (i < n && data[i] == '\r' && i + 1 < n && data[i + 1] == '\n') ++i;
      start = i + 1;
    }
  }
  // Whatever stands before the first header is not part of the settings.
  size_t first = 0;
  while (first < lines.size() && !(lines[first].size > 0 && data[lines[first].start] == '[')) ++first;

  int headers = 0, keys = 0;
  for (size_t k = first; k < lines.size(); ++k) {
    const QByteArray line = Trimmed(data + lines[k].start, lines[k].size);
    if (line.startsWith('[') && line.endsWith(']'))
      ++headers;
    else if (line.contains('='))
      ++keys;
  }

  TTreeBuilder tree(storage, headers, keys);
  try {
    for (size_t k = first; k < lines.size(); ++k) {
      const QByteArray line = Trimmed(data + lines[k].start, lines[k].size);
      if (line.isEmpty()) continue;
      if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
        tree.SelectSection(Decode(line.constData() + 1, line.size() - 2));
        continue;
      }
      const qsizetype equals = line.indexOf('=');
      if (equals < 0) continue;
      const char c = line.front();
      if (c == '#' || c == '/' || c == ';' || c == '\\') continue;
      QByteArray value = line.mid(equals + 1);
      if (StartsWithNoCase(value, "hex:")) {
        // A binary value continues while its line ends in "," or "\"; a header
        // is never taken as a continuation.
        while ((value.endsWith(',') || value.endsWith('\\')) && k + 1 < lines.size()) {
          const QByteArray next = Trimmed(data + lines[k + 1].start, lines[k + 1].size);
          if (next.startsWith('[')) break;
          value += next;
          ++k;
        }
      }
      TrsValue parsed;
      if (!ParseValue(value, parsed)) continue;
      tree.Key(Decode(line.constData(), equals)) = std::move(parsed);
    }
  } catch (...) {
    // The keys read before the failure stay.
    tree.Commit();
    throw;
  }
  tree.Commit();
}

QByteArray TrsIniData::FormatValue(const TrsValue& value) const {
  switch (value.Kind) {
    case vkEmpty: return QByteArray();
    case vkText: {
      const QString& t = value.Text;
      if (t.isEmpty()) return QByteArray();
      if (HasControlChar(t)) return "text:\"" + EscapeText(Encode(t)) + '"';
      if (t.startsWith(QLatin1Char('"')) && t.endsWith(QLatin1Char('"'))) return Encode(t);
      return '"' + Encode(t) + '"';
    }
    case vkInteger: return QByteArray::number(value.Integer);
    case vkFloat: return Encode(FloatText(value.Float));
    case vkCurrency: return "curr:" + Encode(CurrToStr(TCurrency{value.Integer}));
    case vkDateTime: {
      if (!FFixedDateTimeFormat) return "date:" + Encode(DateTimeToStr(value.Float));
      int year, month, day, hour, minute, second, msec;
      DecodeDate(value.Float, year, month, day);
      DecodeTime(value.Float, hour, minute, second, msec);
      return "fxdate:" + QStringLiteral("%1-%2-%3T%4:%5:%6.%7")
                             .arg(year, 4, 10, QLatin1Char('0'))
                             .arg(month, 2, 10, QLatin1Char('0'))
                             .arg(day, 2, 10, QLatin1Char('0'))
                             .arg(hour, 2, 10, QLatin1Char('0'))
                             .arg(minute, 2, 10, QLatin1Char('0'))
                             .arg(second, 2, 10, QLatin1Char('0'))
                             .arg(msec)
                             .toLatin1();
    }
    case vkBoolean: return value.Integer != 0 ? "True" : "False";
    case vkPoint: return "point:" + QByteArray::number(value.Point.x()) + ',' + QByteArray::number(value.Point.y());
    case vkInt64:
      if (value.Integer >= std::numeric_limits<qint32>::min() && value.Integer <= std::numeric_limits<qint32>::max())
        return "int64:" + QByteArray::number(value.Integer);
      return QByteArray::number(value.Integer);
    case vkBinary: {
      const QByteArray& b = value.Binary;
      const bool compact = FCompactOptions.testFlag(coHexStr);
      QByteArray out("hex:");
      out.reserve(4 + b.size() * 3 + b.size() / BinaryBytesPerLine * 5);
      for (qsizetype i = 0; i < b.size(); ++i) {
        if (i > 0 && !compact) {
          out.append(',');
          if (i % BinaryBytesPerLine == 0) out.append("\\\r\n  ");
        }
        const auto byte = static_cast<unsigned char>(b[i]);
        out.append(HexDigits[byte >> 4]);
        out.append(HexDigits[byte & 15]);
      }
      return out;
    }
  }
  return QByteArray();
}

QByteArray TrsIniData::FormatStream(TrsStorage& storage) {
  QByteArray result;
  TBufferedWriter out(result);

  const QString templateText = FTemplate->Text();
  static const QString marker = QStringLiteral("%BODY%\r\n");
  const qsizetype at = templateText.indexOf(marker);
  out.Write(Encode(at >= 0 ? templateText.left(at) : templateText));

  // The keys of each section: a run of the key array.
  std::map<int, std::pair<int, int>> runs;
  for (int i = 0; i < storage.KeyCount(); ++i) {
    auto [it, inserted] = runs.try_emplace(storage.Keys(i).SectionId, i, i + 1);
    if (!inserted) it->second.second = i + 1;
  }
  const bool emptySections = storage.Options().testFlag(soSaveEmptySection);
  const auto writeGroup = [&](int sectionId, const QString& path) {
    const auto run = runs.find(sectionId);
    const bool hasKeys = run != runs.end();
    if (!hasKeys && !emptySections) return;
    out.Write("[");
    out.Write(Encode(path));
    out.Write("]\r\n");
    if (!hasKeys) return;
    for (int i = run->second.first; i < run->second.second; ++i) {
      const TrsKeyItem& key = storage.Keys(i);
      out.Write(Encode(key.Name));
      out.Write("=");
      out.Write(FormatValue(key.Value));
      out.Write("\r\n");
    }
    out.Write("\r\n");
  };
  writeGroup(0, QString());
  // A path is put together only for a section that gets a header, from its
  // parents up: keeping every section's path would cost memory growing with
  // the square of the nesting depth.
  std::unordered_map<int, int> indexOf;
  indexOf.reserve(static_cast<size_t>(storage.SectionCount()));
  for (int s = 0; s < storage.SectionCount(); ++s) indexOf.emplace(storage.Sections(s).Id, s);
  std::vector<const QString*> names;
  const auto pathOf = [&](const TrsSection& section) {
    names.clear();
    qsizetype length = 0;
    for (const TrsSection* at = &section; at;) {
      names.push_back(&at->Name);
      length += at->Name.size() + 1;
      const auto parent = indexOf.find(at->ParentId);
      // A chain longer than the array would be a loop; the ids never form one.
      at = at->ParentId == 0 || parent == indexOf.end() || names.size() > indexOf.size()
               ? nullptr
               : &storage.Sections(parent->second);
    }
    QString path;
    path.reserve(length);
    for (auto it = names.rbegin(); it != names.rend(); ++it) {
      if (!path.isEmpty()) path += QLatin1Char('\\');
      path += **it;
    }
    return path;
  };
  for (int s = 0; s < storage.SectionCount(); ++s) {
    const TrsSection& section = storage.Sections(s);
    if (emptySections || runs.count(section.Id)) writeGroup(section.Id, pathOf(section));
  }

  if (at >= 0) {
    const QString after = templateText.mid(at + marker.size());
    if (!after.isEmpty() && after != QLatin1String("\r\n")) out.Write(Encode(after));
  }
  out.Flush();
  return result;
}
