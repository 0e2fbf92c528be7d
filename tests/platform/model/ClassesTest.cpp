// String lists (text, comma text, sorted order, bounds) and collections.
#include "Classes.h"
#include "Exceptions.h"
#include "QtPrinters.h"

#include <gtest/gtest.h>

namespace {

std::string Show(const QStringList& list) {
  QStringList quoted;
  for (const QString& s : list) quoted << QLatin1Char('<') + s + QLatin1Char('>');
  return quoted.join(QLatin1Char(' ')).toStdString();
}

}  // namespace

TEST(StringList, TextEndsEveryLineWithCrLf) {
  struct Row {
    QStringList lines;
    QString text;
  };
  const Row rows[] = {
      {{}, ""},
      {{""}, "\r\n"},
      {{"a"}, "a\r\n"},
      {{"a", "", "Traži"}, "a\r\n\r\nTraži\r\n"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(Show(row.lines));
    TStringList list(row.lines);
    EXPECT_EQ(list.Text(), row.text);
  }
}

TEST(StringList, SettingTextSplitsAtCrLfCrOrLf) {
  struct Row {
    const char* text;
    QStringList lines;
  };
  const Row rows[] = {
      {"", {}},
      {"a", {"a"}},
      {"a\r\nb", {"a", "b"}},
      {"a\rb", {"a", "b"}},
      {"a\nb\n", {"a", "b"}},
      {"a\r\n", {"a"}},
      {"\r\n", {""}},
      {"a\r\n\r\nb", {"a", "", "b"}},
      {"a\n\rb", {"a", "", "b"}},
      {"a\r\rb", {"a", "", "b"}},
      {"x\r\ny\rz\nw", {"x", "y", "z", "w"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(QString::fromLatin1(row.text).toUtf8().toPercentEncoding().toStdString());
    TStringList list;
    list.SetText(QString::fromLatin1(row.text));
    EXPECT_EQ(list.ToList(), row.lines) << Show(list.ToList());
  }
}

TEST(StringList, WritesCommaText) {
  struct Row {
    QStringList items;
    QString text;
  };
  const Row rows[] = {
      {{}, ""},
      {{""}, "\"\""},
      {{"", ""}, ","},
      {{"a", ""}, "a,"},
      {{"", "a"}, ",a"},
      {{"a", "b"}, "a,b"},
      {{"a b"}, "\"a b\""},
      {{"a,b"}, "\"a,b\""},
      {{"say \"hi\""}, "\"say \"\"hi\"\"\""},
      {{"tab\there"}, "\"tab\there\""},
      {{QString(QChar(1))}, QStringLiteral("\"\x01\"")},
      {{"a!b"}, "a!b"},
      {{"Traži", "čaša"}, "Traži,čaša"},
      {{"x", "", "y"}, "x,,y"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(Show(row.items));
    TStringList list(row.items);
    EXPECT_EQ(list.CommaText(), row.text);
    EXPECT_EQ(FormatCommaText(row.items), row.text);
  }
}

TEST(StringList, ReadsCommaText) {
  struct Row {
    QString text;
    QStringList items;
  };
  const Row rows[] = {
      {"", {}},
      {"   ", {}},
      {"\"\"", {""}},
      {",", {"", ""}},
      {"a", {"a"}},
      {"a,b", {"a", "b"}},
      {"  a , b  ", {"a", "b"}},
      {"a b", {"a", "b"}},
      {"a,", {"a", ""}},
      {"a, ", {"a"}},
      {"a,,b", {"a", "", "b"}},
      {"\"a b\",c", {"a b", "c"}},
      {"\"say \"\"hi\"\"\"", {"say \"hi\""}},
      {"\"a,b\"", {"a,b"}},
      {"\"ab\"cd", {"ab", "cd"}},
      {"\"open", {"open"}},
      {QStringLiteral("\x01\x02x\x1f,\ty"), {"x", "y"}},
      {"Traži,čaša", {"Traži", "čaša"}},
      {"a\r\nb", {"a", "b"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text.toUtf8().toPercentEncoding().toStdString());
    TStringList list;
    list.SetCommaText(row.text);
    EXPECT_EQ(list.ToList(), row.items) << Show(list.ToList());
    EXPECT_EQ(ParseCommaText(row.text), row.items);
  }
}

TEST(StringList, CommaTextRoundTrips) {
  const QStringList items = {"plain", "", "with space", "com,ma", "\"quoted\"", "Traži", "\ttab"};
  TStringList list(items);
  TStringList back;
  back.SetCommaText(list.CommaText());
  EXPECT_EQ(back.ToList(), items) << list.CommaText().toStdString();
}

TEST(StringList, SortedListKeepsLinesInAsciiCaseInsensitiveOrder) {
  TStringList list;
  list.SetSorted(true);
  EXPECT_EQ(list.Add(QStringLiteral("delta")), 0);
  EXPECT_EQ(list.Add(QStringLiteral("Alpha")), 0);
  EXPECT_EQ(list.Add(QStringLiteral("charlie")), 1);
  EXPECT_EQ(list.Add(QStringLiteral("BRAVO")), 1);
  EXPECT_EQ(list.Add(QStringLiteral("_under")), 4);  // '_' sorts after the letters, as upper case
  EXPECT_EQ(list.ToList(), QStringList({"Alpha", "BRAVO", "charlie", "delta", "_under"}));
  EXPECT_EQ(list.IndexOf(QStringLiteral("CHARLIE")), 2);
  EXPECT_THROW(list.Put(0, QStringLiteral("x")), EListError);

  // Only ASCII letters fold: Č and č are different letters here.
  TStringList serbian;
  serbian.SetSorted(true);
  serbian.Add(QStringLiteral("čaša"));
  serbian.Add(QStringLiteral("Čaša"));
  serbian.Add(QStringLiteral("casa"));
  EXPECT_EQ(serbian.ToList(), QStringList({"casa", "Čaša", "čaša"}));

  TStringList later({"b", "_x", "A", "c"});
  later.SetSorted(true);
  EXPECT_EQ(later.ToList(), QStringList({"A", "b", "c", "_x"}));
}

TEST(StringList, IndexErrorsRaiseListError) {
  TStringList list({"a", "b"});
  EXPECT_THROW(list.Get(-1), EListError);
  EXPECT_THROW(list.Get(2), EListError);
  EXPECT_THROW(list.Put(2, QStringLiteral("x")), EListError);
  EXPECT_THROW(list.Delete(-1), EListError);
  EXPECT_THROW(list.Delete(2), EListError);
  EXPECT_THROW(list.Insert(3, QStringLiteral("x")), EListError);
  EXPECT_THROW(list.Insert(-1, QStringLiteral("x")), EListError);
  list.Insert(2, QStringLiteral("c"));
  list.Insert(0, QStringLiteral("first"));
  EXPECT_EQ(list.ToList(), QStringList({"first", "a", "b", "c"}));
  list.Delete(1);
  list.Put(0, QStringLiteral("one"));
  EXPECT_EQ(list.ToList(), QStringList({"one", "b", "c"}));
}

TEST(StringList, ChangeIsToldOncePerOutermostUpdate) {
  TStringList list;
  int changes = 0;
  list.OnChange = [&] { ++changes; };
  list.Add(QStringLiteral("a"));
  EXPECT_EQ(changes, 1);
  list.SetText(QStringLiteral("x\r\ny\r\nz"));
  EXPECT_EQ(changes, 2);
  list.SetCommaText(QStringLiteral("p,q"));
  EXPECT_EQ(changes, 3);
  list.BeginUpdate();
  list.Add(QStringLiteral("1"));
  list.BeginUpdate();
  list.Add(QStringLiteral("2"));
  list.EndUpdate();
  EXPECT_EQ(changes, 3);
  list.EndUpdate();
  EXPECT_EQ(changes, 4);
  list.BeginUpdate();
  list.EndUpdate();  // nothing changed
  EXPECT_EQ(changes, 4);
}

TEST(StringList, AssignCopiesLinesAndRefusesOtherClasses) {
  TStringList source({"a", "b"});
  TStringList target({"old"});
  target.Assign(&source);
  EXPECT_EQ(target.ToList(), QStringList({"a", "b"}));
  TCollection collection(nullptr, [](TCollection* c) { return new TCollectionItem(c); });
  EXPECT_THROW(target.Assign(&collection), EConvertError);
  EXPECT_EQ(target.IndexOf(QStringLiteral("B")), 1);
  EXPECT_EQ(target.IndexOf(QStringLiteral("z")), -1);
}

TEST(Collection, ItemsAreIndexedAndBoundsChecked) {
  QObject owner;
  TCollection collection(&owner, [](TCollection* c) { return new TCollectionItem(c); });
  int changes = 0;
  collection.OnChange = [&] { ++changes; };
  TCollectionItem* a = collection.Add();
  TCollectionItem* b = collection.Add();
  TCollectionItem* c = collection.Add();
  EXPECT_EQ(collection.Count(), 3);
  EXPECT_EQ(changes, 3);
  EXPECT_EQ(collection.Owner(), &owner);
  EXPECT_EQ(a->Collection(), &collection);
  EXPECT_EQ(collection.Items(1), b);
  EXPECT_EQ(c->Index(), 2);
  EXPECT_THROW(collection.Items(3), EListError);
  EXPECT_THROW(collection.Items(-1), EListError);
  EXPECT_THROW(collection.Delete(3), EListError);
  collection.Delete(0);
  EXPECT_EQ(b->Index(), 0);
  EXPECT_EQ(c->Index(), 1);
  EXPECT_EQ(collection.IndexOf(a), -1);
  collection.Clear();
  EXPECT_EQ(collection.Count(), 0);
  EXPECT_EQ(changes, 5);
}
