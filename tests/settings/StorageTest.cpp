// The settings tree: sections and keys, names and paths, the sorted arrays
// and their growth, and the conversions of a key's value.
#include "rsStorage.h"

#include "SettingsTestSupport.h"

#include <gtest/gtest.h>

#include <QDateTime>

#include <cstring>
#include <functional>
#include <limits>
#include <optional>
#include <vector>

namespace {

using namespace settingstest;

class StorageTest : public ::testing::Test {
protected:
  void SetUp() override { FormatSettings.DecimalSeparator = QLatin1Char('.'); }

  // Names of the keys in array order, with their section paths.
  std::vector<QString> KeyPaths() const {
    std::vector<QString> out;
    for (int i = 0; i < storage.KeyCount(); ++i)
      out.push_back(storage.SectionPath(storage.Keys(i).SectionId) + QLatin1Char('|') + storage.Keys(i).Name);
    return out;
  }

  FormatsGuard guard;
  TrsStorage storage;
};

TEST_F(StorageTest, RootSectionCreatesThePathAndEmptySelectsTheTop) {
  storage.SetRootSection(QStringLiteral("a\\b"));
  EXPECT_EQ(storage.RootSection(), QStringLiteral("a\\b"));
  ASSERT_EQ(storage.SectionCount(), 2);
  const int a = storage.FindSection(0, QStringLiteral("a"));
  const int b = storage.FindSection(a, QStringLiteral("b"));
  EXPECT_EQ(a, 1);
  EXPECT_EQ(b, 2);
  EXPECT_EQ(storage.CurrentSectionId(), b);

  // Both separators, leading and doubled ones, and other letter case find
  // the same sections.
  storage.SetRootSection(QStringLiteral("//A/\\B"));
  EXPECT_EQ(storage.CurrentSectionId(), b);
  EXPECT_EQ(storage.SectionCount(), 2);

  storage.SetRootSection(QString());
  EXPECT_EQ(storage.CurrentSectionId(), 0);
  EXPECT_EQ(storage.RootSection(), QString());

  // Dots and blanks are part of a name.
  storage.SetRootSection(QStringLiteral("Form1.rsPropSaver1"));
  EXPECT_EQ(storage.SectionCount(), 3);
  EXPECT_EQ(storage.RootSection(), QStringLiteral("Form1.rsPropSaver1"));
}

TEST_F(StorageTest, FindKeyResolvesPathsRelativeOrFromTheTop) {
  storage.SetRootSection(QStringLiteral("s"));
  TrsKeyItem* plain = storage.FindKey(QStringLiteral("k"), true);
  ASSERT_NE(plain, nullptr);
  EXPECT_EQ(storage.SectionPath(plain->SectionId), QStringLiteral("s"));

  TrsKeyItem* relative = storage.FindKey(QStringLiteral("sub/k"), true);
  ASSERT_NE(relative, nullptr);
  EXPECT_EQ(storage.SectionPath(relative->SectionId), QStringLiteral("s\\sub"));

  TrsKeyItem* absolute = storage.FindKey(QStringLiteral("\\top\\k"), true);
  ASSERT_NE(absolute, nullptr);
  EXPECT_EQ(storage.SectionPath(absolute->SectionId), QStringLiteral("top"));
  EXPECT_EQ(storage.RootSection(), QStringLiteral("s"));

  const int sections = storage.SectionCount();
  EXPECT_EQ(storage.FindKey(QStringLiteral("missing\\k")), nullptr);
  EXPECT_EQ(storage.FindKey(QStringLiteral("\\s\\missing")), nullptr);
  EXPECT_EQ(storage.SectionCount(), sections) << "a lookup without create made a section";
  EXPECT_FALSE(storage.Key().Assigned());

  EXPECT_TRUE(storage.KeyExists(QStringLiteral("\\s\\sub\\K")));
  EXPECT_TRUE(storage.KeyExists(QStringLiteral("/S/k")));
  EXPECT_FALSE(storage.KeyExists(QStringLiteral("\\k")));
}

TEST_F(StorageTest, NamesMatchIgnoringAsciiCaseAndKeepTheirFirstSpelling) {
  storage.SetRootSection(QStringLiteral("Form1.rsPropSaver1"));
  storage.WriteString(QStringLiteral("panel7.width"), QStringLiteral("200"));
  storage.WriteString(QStringLiteral("Panel7.Width"), QStringLiteral("233"));
  ASSERT_EQ(storage.KeyCount(), 1);
  EXPECT_EQ(storage.Keys(0).Name, QStringLiteral("panel7.width"));
  EXPECT_EQ(storage.ReadString(QStringLiteral("PANEL7.WIDTH")), QStringLiteral("233"));

  // Only ASCII letters fold: "č" and "Č" are different names.
  storage.WriteString(QStringLiteral("\u010d"), QStringLiteral("small"));
  storage.WriteString(QStringLiteral("\u010c"), QStringLiteral("capital"));
  EXPECT_EQ(storage.KeyCount(), 3);
  EXPECT_EQ(storage.ReadString(QStringLiteral("\u010d")), QStringLiteral("small"));
}

TEST_F(StorageTest, ArraysStaySortedWhateverTheInsertionOrder) {
  for (const char* path : {"\\b\\z", "\\b\\A", "\\a\\m", "top", "\\B\\c\\x", "\\a\\B", "Top2"})
    storage.FindKey(QString::fromLatin1(path), true);
  const std::vector<QString> expected = {QStringLiteral("|top"),  QStringLiteral("|Top2"), QStringLiteral("b|A"),
                                         QStringLiteral("b|z"),   QStringLiteral("a|B"),   QStringLiteral("a|m"),
                                         QStringLiteral("b\\c|x")};
  EXPECT_EQ(KeyPaths(), expected);
  // Sections by parent id, then name.
  for (int i = 1; i < storage.SectionCount(); ++i) {
    const TrsSection& p = storage.Sections(i - 1);
    const TrsSection& s = storage.Sections(i);
    EXPECT_TRUE(p.ParentId < s.ParentId || (p.ParentId == s.ParentId && CompareText(p.Name, s.Name) < 0)) << i;
  }
}

TEST_F(StorageTest, NamesBeyondAsciiSortByTheirCodePageBytes) {
  // Windows-1250: "Š" is 0x8A, "ž" 0x9E, "Č" 0xC8 and "č"
  // 0xE8; by their Unicode numbers they would stand the other way round.
  for (const QString& name : {QStringLiteral("čas"), QStringLiteral("Čas"), QStringLiteral("ž"),
                              QStringLiteral("Širina"), QStringLiteral("Zadnji"), QStringLiteral("_x")})
    storage.WriteString(name, QStringLiteral("1"));
  const std::vector<QString> expected = {QStringLiteral("|Zadnji"), QStringLiteral("|_x"),  QStringLiteral("|Širina"),
                                         QStringLiteral("|ž"),      QStringLiteral("|Čas"), QStringLiteral("|čas")};
  EXPECT_EQ(KeyPaths(), expected);
  // Every name is still found in the sorted array.
  for (const QString& name : expected) EXPECT_TRUE(storage.KeyExists(name.mid(1))) << name.toStdString();
  // The same order holds for sections.
  for (const QString& name : {QStringLiteral("Č"), QStringLiteral("Š"), QStringLiteral("A")})
    storage.SetRootSection(name);
  ASSERT_EQ(storage.SectionCount(), 3);
  EXPECT_EQ(storage.Sections(0).Name, QStringLiteral("A"));
  EXPECT_EQ(storage.Sections(1).Name, QStringLiteral("Š"));
  EXPECT_EQ(storage.Sections(2).Name, QStringLiteral("Č"));
}

TEST_F(StorageTest, LastKeyCacheSurvivesInsertionsBeforeIt) {
  storage.WriteString(QStringLiteral("m"), QStringLiteral("1"));
  ASSERT_NE(storage.FindKey(QStringLiteral("m")), nullptr);
  // Shifts "m" to another index; the cached index must not be trusted blindly.
  storage.WriteString(QStringLiteral("a"), QStringLiteral("2"));
  TrsKeyItem* m = storage.FindKey(QStringLiteral("M"));
  ASSERT_NE(m, nullptr);
  EXPECT_EQ(m->Name, QStringLiteral("m"));
  EXPECT_EQ(storage.Key().AsString(), QStringLiteral("1"));

  // The current section's range follows insertions in other sections.
  storage.SetRootSection(QStringLiteral("s"));
  storage.WriteString(QStringLiteral("k"), QStringLiteral("3"));
  storage.WriteString(QStringLiteral("\\a0"), QStringLiteral("4"));
  storage.WriteString(QStringLiteral("\\r\\k"), QStringLiteral("5"));
  EXPECT_EQ(storage.ReadString(QStringLiteral("k")), QStringLiteral("3"));
  EXPECT_EQ(storage.ReadString(QStringLiteral("\\r\\k")), QStringLiteral("5"));
  EXPECT_EQ(storage.ReadString(QStringLiteral("\\a0")), QStringLiteral("4"));
}

TEST_F(StorageTest, DeleteKeyRemovesOnlyThatKey) {
  storage.WriteString(QStringLiteral("a"), QStringLiteral("1"));
  storage.WriteString(QStringLiteral("b"), QStringLiteral("2"));
  storage.WriteString(QStringLiteral("s\\a"), QStringLiteral("3"));
  storage.DeleteKey(QStringLiteral("A"));
  EXPECT_FALSE(storage.KeyExists(QStringLiteral("a")));
  EXPECT_FALSE(storage.Key().Assigned());
  EXPECT_EQ(storage.ReadString(QStringLiteral("b")), QStringLiteral("2"));
  EXPECT_EQ(storage.ReadString(QStringLiteral("s\\a")), QStringLiteral("3"));
  storage.DeleteKey(QStringLiteral("missing"));
  storage.DeleteKey(QStringLiteral("nosection\\a"));
  EXPECT_EQ(storage.KeyCount(), 2);
  EXPECT_EQ(storage.ReadString(QStringLiteral("a"), QStringLiteral("default")), QStringLiteral("default"));
}

TEST_F(StorageTest, ArraysGrowAndShrinkByTheirSteps) {
  std::vector<int> capacities;
  for (int i = 0; i < 100; ++i) {
    storage.FindKey(QStringLiteral("k%1").arg(i, 3, 10, QLatin1Char('0')), true);
    if (capacities.empty() || capacities.back() != storage.KeyCapacity()) capacities.push_back(storage.KeyCapacity());
  }
  // +8 up to 16, +16 up to 64, a quarter beyond.
  EXPECT_EQ(capacities, (std::vector<int>{8, 16, 24, 40, 56, 72, 90, 112}));

  // 100 keys in 112 entries: deleting one frees 13, half of which (6) go.
  storage.DeleteKey(QStringLiteral("k000"));
  EXPECT_EQ(storage.KeyCapacity(), 106);
  for (int i = 1; i < 100; ++i) storage.DeleteKey(QStringLiteral("k%1").arg(i, 3, 10, QLatin1Char('0')));
  EXPECT_EQ(storage.KeyCount(), 0);
  EXPECT_EQ(storage.KeyCapacity(), 0) << "an emptied array is released";

  storage.ReserveKeys(50);
  storage.ReserveSections(7);
  EXPECT_EQ(storage.KeyCapacity(), 50);
  EXPECT_EQ(storage.SectionCapacity(), 7);
  storage.SetRootSection(QStringLiteral("a\\b\\c\\d\\e\\f\\g\\h"));
  EXPECT_EQ(storage.SectionCapacity(), 15);
}

TEST_F(StorageTest, ClearStartsSectionIdsAgain) {
  storage.SetRootSection(QStringLiteral("x\\y"));
  storage.WriteString(QStringLiteral("k"), QStringLiteral("v"));
  storage.Clear();
  EXPECT_EQ(storage.KeyCount(), 0);
  EXPECT_EQ(storage.SectionCount(), 0);
  EXPECT_EQ(storage.CurrentSectionId(), 0);
  storage.SetRootSection(QStringLiteral("n"));
  EXPECT_EQ(storage.CurrentSectionId(), 1);
}

TEST_F(StorageTest, KeyEventsSeeTheKey) {
  QStringList seen;
  TNotifyEvent add, deletion;
  add.Fn = [&](TObject*) { seen << QStringLiteral("add ") + storage.Key().Key()->Name; };
  deletion.Fn = [&](TObject*) { seen << QStringLiteral("delete ") + storage.Key().AsString(); };
  storage.SetOnKeyAdd(add);
  storage.SetOnKeyDeletion(deletion);
  storage.WriteString(QStringLiteral("k"), QStringLiteral("v"));
  storage.WriteString(QStringLiteral("K"), QStringLiteral("w"));
  storage.DeleteKey(QStringLiteral("k"));
  EXPECT_EQ(seen, (QStringList{QStringLiteral("add k"), QStringLiteral("delete w")}));
}

// --- Conversions --------------------------------------------------------------------

// What a reader gives for one stored value: a value, a refusal, or the
// platform's conversion error.
struct Outcome {
  enum Kind { Value, Refused, Convert } kind;
  double number = 0;  // AsInteger/AsInt64/AsFloat
  static Outcome Is(double v) { return {Value, v}; }
};
const Outcome Refused{Outcome::Refused};
const Outcome Convert{Outcome::Convert};

QByteArray LittleEndian(quint64 bits, int size) {
  QByteArray b;
  for (int i = 0; i < size; ++i) b.append(static_cast<char>((bits >> (8 * i)) & 0xFF));
  return b;
}

QByteArray DoubleBytes(double v) {
  quint64 bits;
  std::memcpy(&bits, &v, sizeof bits);
  return LittleEndian(bits, 8);
}

struct ConversionRow {
  const char* name;
  std::function<void(TrsKeyWrapper&)> set;
  Outcome asInteger, asInt64, asFloat;
  QString asString;
};

TEST_F(StorageTest, ConversionTable) {
  const QString dateText = DateTimeToStr(1.5);
  const std::vector<ConversionRow> rows = {
      {"empty", [](TrsKeyWrapper& k) { k.Clear(); }, Outcome::Is(0), Outcome::Is(0), Outcome::Is(0), QString()},
      {"text 12", [](TrsKeyWrapper& k) { k.SetString(QStringLiteral("12")); }, Outcome::Is(12), Outcome::Is(12),
       Outcome::Is(12), QStringLiteral("12")},
      {"text 12abc", [](TrsKeyWrapper& k) { k.SetString(QStringLiteral("12abc")); }, Convert, Convert, Convert,
       QStringLiteral("12abc")},
      {"text 1.5", [](TrsKeyWrapper& k) { k.SetString(QStringLiteral("1.5")); }, Convert, Convert, Outcome::Is(1.5),
       QStringLiteral("1.5")},
      {"text 5000000000", [](TrsKeyWrapper& k) { k.SetString(QStringLiteral("5000000000")); }, Convert,
       Outcome::Is(5000000000.0), Outcome::Is(5000000000.0), QStringLiteral("5000000000")},
      {"binary 4 bytes", [](TrsKeyWrapper& k) { k.SetBinary(LittleEndian(0x80000001u, 4)); }, Outcome::Is(-2147483647),
       Refused, Refused, QStringLiteral("01,00,00,80")},
      {"binary 8 bytes", [](TrsKeyWrapper& k) { k.SetBinary(DoubleBytes(1.5)); }, Refused,
       Outcome::Is(static_cast<double>(0x3FF8000000000000LL)), Outcome::Is(1.5),
       QStringLiteral("00,00,00,00,00,00,F8,3F")},
      {"binary 3 bytes", [](TrsKeyWrapper& k) { k.SetBinary(QByteArray("\x01\x02\xff", 3)); }, Refused, Refused,
       Refused, QStringLiteral("01,02,FF")},
      {"integer", [](TrsKeyWrapper& k) { k.SetInteger(-5); }, Outcome::Is(-5), Outcome::Is(-5), Outcome::Is(-5),
       QStringLiteral("-5")},
      {"float 2.5", [](TrsKeyWrapper& k) { k.SetFloat(2.5); }, Outcome::Is(2), Outcome::Is(2), Outcome::Is(2.5),
       QStringLiteral("2.5")},
      {"float 3.5", [](TrsKeyWrapper& k) { k.SetFloat(3.5); }, Outcome::Is(4), Outcome::Is(4), Outcome::Is(3.5),
       QStringLiteral("3.5")},
      {"float -2.5", [](TrsKeyWrapper& k) { k.SetFloat(-2.5); }, Outcome::Is(-2), Outcome::Is(-2), Outcome::Is(-2.5),
       QStringLiteral("-2.5")},
      {"float 1e10", [](TrsKeyWrapper& k) { k.SetFloat(1e10); }, Convert, Outcome::Is(1e10), Outcome::Is(1e10),
       QStringLiteral("10000000000")},
      {"currency 2.5", [](TrsKeyWrapper& k) { k.SetCurrency(TCurrency{25000}); }, Outcome::Is(2), Outcome::Is(2),
       Outcome::Is(2.5), QStringLiteral("2.5")},
      {"currency -3.5", [](TrsKeyWrapper& k) { k.SetCurrency(TCurrency{-35000}); }, Outcome::Is(-4), Outcome::Is(-4),
       Outcome::Is(-3.5), QStringLiteral("-3.5")},
      {"currency -2.5", [](TrsKeyWrapper& k) { k.SetCurrency(TCurrency{-25000}); }, Outcome::Is(-2), Outcome::Is(-2),
       Outcome::Is(-2.5), QStringLiteral("-2.5")},
      {"currency 2.5001", [](TrsKeyWrapper& k) { k.SetCurrency(TCurrency{25001}); }, Outcome::Is(3), Outcome::Is(3),
       Outcome::Is(2.5001), QStringLiteral("2.5001")},
      {"date-time", [](TrsKeyWrapper& k) { k.SetDateTime(1.5); }, Outcome::Is(2), Refused, Refused, dateText},
      {"date-time 2.5", [](TrsKeyWrapper& k) { k.SetDateTime(2.5); }, Outcome::Is(2), Refused, Refused,
       DateTimeToStr(2.5)},
      {"boolean", [](TrsKeyWrapper& k) { k.SetBoolean(true); }, Outcome::Is(1), Refused, Refused,
       QStringLiteral("True")},
      {"boolean false", [](TrsKeyWrapper& k) { k.SetBoolean(false); }, Outcome::Is(0), Refused, Refused,
       QStringLiteral("False")},
      {"point", [](TrsKeyWrapper& k) { k.SetPoint(QPoint(3, -4)); }, Refused, Refused, Refused,
       QStringLiteral("(3,-4)")},
      {"int64", [](TrsKeyWrapper& k) { k.SetInt64(0x100000005LL); }, Outcome::Is(5), Outcome::Is(4294967301.0),
       Outcome::Is(4294967301.0), QStringLiteral("4294967301")},
      {"int64 with bit 31", [](TrsKeyWrapper& k) { k.SetInt64(0x180000000LL); }, Outcome::Is(-2147483648.0),
       Outcome::Is(6442450944.0), Outcome::Is(6442450944.0), QStringLiteral("6442450944")},
      {"int64 negative", [](TrsKeyWrapper& k) { k.SetInt64(-1); }, Outcome::Is(-1), Outcome::Is(-1), Outcome::Is(-1),
       QStringLiteral("-1")},
  };

  storage.SetRootSection(QStringLiteral("Form1.rsPropSaver1"));
  const QString prefix = QStringLiteral(
      "TrsStorage get key value error: Can't read value of key \"\\Form1.rsPropSaver1\\Panel7.Width\" as ");
  for (const ConversionRow& row : rows) {
    SCOPED_TRACE(row.name);
    ASSERT_NE(storage.FindKey(QStringLiteral("Panel7.Width"), true), nullptr);
    TrsKeyWrapper& key = storage.Key();
    row.set(key);
    const auto check = [&](const Outcome& expected, const char* kindName, const std::function<double()>& read) {
      SCOPED_TRACE(kindName);
      switch (expected.kind) {
        case Outcome::Value: EXPECT_EQ(read(), expected.number); break;
        case Outcome::Convert: EXPECT_THROW(read(), EConvertError); break;
        case Outcome::Refused:
          try {
            read();
            ADD_FAILURE() << "no refusal";
          } catch (const TrsException& e) {
            EXPECT_EQ(e.Message(), prefix + QLatin1String(kindName) + QStringLiteral(" type."));
          }
          break;
      }
    };
    check(row.asInteger, "integer", [&] { return static_cast<double>(key.AsInteger()); });
    check(row.asInt64, "Int64", [&] { return static_cast<double>(key.AsInt64()); });
    check(row.asFloat, "float", [&] { return key.AsFloat(); });
    EXPECT_EQ(key.AsString(), row.asString);
    EXPECT_EQ(storage.ReadString(QStringLiteral("panel7.width"), QStringLiteral("default")), row.asString);
  }
}

TEST_F(StorageTest, RefusalNamesTheKeysPath) {
  storage.FindKey(QStringLiteral("\\a\\b\\key"), true);
  storage.Key().SetPoint(QPoint(1, 2));
  try {
    storage.Key().AsInteger();
    FAIL() << "no refusal";
  } catch (const TrsException& e) {
    EXPECT_EQ(
        e.Message(),
        QStringLiteral("TrsStorage get key value error: Can't read value of key \"\\a\\b\\key\" as integer type."));
  }
  // A key of the top level: nothing stands between the two backslashes.
  storage.FindKey(QStringLiteral("\\top"), true);
  storage.Key().SetBoolean(true);
  try {
    storage.Key().AsFloat();
    FAIL() << "no refusal";
  } catch (const TrsException& e) {
    EXPECT_EQ(e.Message(),
              QStringLiteral("TrsStorage get key value error: Can't read value of key \"\\\\top\" as float type."));
  }
}

TEST_F(StorageTest, LocaleDecimalSeparatorReadsText) {
  FormatSettings.DecimalSeparator = QLatin1Char(',');
  storage.WriteString(QStringLiteral("x"), QStringLiteral("1,5"));
  EXPECT_EQ(storage.Key().AsFloat(), 1.5);
  storage.WriteString(QStringLiteral("x"), QStringLiteral("1.5"));
  EXPECT_THROW(storage.Key().AsFloat(), EConvertError);
  storage.Key().SetFloat(2.25);
  EXPECT_EQ(storage.Key().AsString(), QStringLiteral("2,25"));
}

TEST_F(StorageTest, VariantsCarryTheirKinds) {
  TrsKeyItem item;
  TrsKeyWrapper key(&item);
  struct Row {
    std::function<void()> set;
    TrsValueKind kind;
    QVariant expected;
  };
  const QDateTime moment(QDate(2026, 12, 11), QTime(13, 5, 9));
  const std::vector<Row> rows = {
      {[&] { key.SetString(QStringLiteral("t")); }, vkText, QStringLiteral("t")},
      {[&] { key.SetBinary(QByteArray("\x00\x01", 2)); }, vkBinary, QByteArray("\x00\x01", 2)},
      {[&] { key.SetInteger(7); }, vkInteger, 7},
      {[&] { key.SetFloat(0.5); }, vkFloat, 0.5},
      {[&] { key.SetCurrency(TCurrency{12345}); }, vkCurrency, QVariant::fromValue(TCurrency{12345})},
      {[&] { key.SetDateTime(QDateTimeToDateTime(moment)); }, vkDateTime, moment},
      {[&] { key.SetBoolean(true); }, vkBoolean, true},
      {[&] { key.SetInt64(1LL << 40); }, vkInt64, QVariant::fromValue<qint64>(1LL << 40)},
      {[&] { key.SetPoint(QPoint(1, 1)); }, vkPoint, QVariant()},
      {[&] { key.Clear(); }, vkEmpty, QVariant()},
  };
  for (size_t i = 0; i < rows.size(); ++i) {
    SCOPED_TRACE(i);
    rows[i].set();
    EXPECT_EQ(key.Kind(), rows[i].kind);
    const QVariant v = key.AsVariant();
    EXPECT_EQ(v.metaType(), rows[i].expected.metaType());
    EXPECT_EQ(v, rows[i].expected);
    // Storing the variant again gives the same kind and value.
    TrsKeyItem copy;
    TrsKeyWrapper other(&copy);
    other.SetVariant(v);
    if (rows[i].kind != vkPoint) {
      EXPECT_EQ(copy.Value, item.Value);
    }
  }
  key.SetVariant(QVariant(4000000000u));
  EXPECT_EQ(key.Kind(), vkInt64);
}

TEST_F(StorageTest, WrapperOutsideAStorageCopiesIntoOne) {
  // The property saver's temporary key: a value carried into a stored key.
  TrsKeyItem temporary;
  TrsKeyWrapper carrier(&temporary);
  carrier.SetCurrency(TCurrency{5});
  storage.WriteString(QStringLiteral("s\\k"), QStringLiteral("old"));
  storage.Key().AssignValue(temporary);
  EXPECT_EQ(storage.Key().Kind(), vkCurrency);
  EXPECT_EQ(storage.Key().AsString(), QStringLiteral("0.0005"));

  TrsKeyWrapper none;
  EXPECT_EQ(none.AsInteger(), 0);
  EXPECT_EQ(none.AsString(), QString());
  none.SetInteger(5);  // no key: nothing happens
  EXPECT_FALSE(none.Assigned());
}

}  // namespace
