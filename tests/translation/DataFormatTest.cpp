// The byte layout of a translation table: reading and writing blocks, the
// row and word splitters, the lookups, and comma text.
#include "LangTestSupport.h"

#include "Classes.h"

#include <gtest/gtest.h>

#include <memory>

using lgtest::Block;
using lgtest::Row;

namespace {

std::string Show(const QByteArray& bytes) { return bytes.toHex(' ').toStdString(); }

// A literal with its zero bytes.
template <size_t N>
QByteArray Bytes(const char (&s)[N]) {
  return QByteArray(s, N - 1);
}

QList<QByteArray> AllHeaders() {
  return {"stCaptions", "stHints",        "stDisplayLabels", "stFonts",       "stMultiLines", "stDlgsCaptions",
          "stStrings",  "stOtherStrings", "stLocales",       "stCollections", "stCharSets"};
}

// A translation component on a plain window (class name "TForm").
class DataFormat : public ::testing::Test {
protected:
  void SetUp() override {
    form = std::make_unique<TForm>();
    lang = new TlgLang(form.get());
  }
  const TlgRows& Rows(TStringsType t) const { return lang->Rows(t); }

  std::unique_ptr<TForm> form;
  TlgLang* lang = nullptr;
};

}  // namespace

TEST(ExtractTranslationTest, NameAndValuesByIndex) {
  const QByteArray kat = Row("TKategorije", {"Kategorije", "Categories"});
  struct Case {
    const char* what;
    QByteArray row;
    int index;
    QByteArray expected;
  } cases[] = {
      {"name", kat, 0, "TKategorije"},
      {"language 1", kat, 1, "Kategorije"},
      {"language 2", kat, 2, "Categories"},
      {"behind the closing delimiter", kat, 3, ""},
      {"far beyond the columns", kat, 9, ""},
      {"negative index", kat, -1, ""},
      {"empty row, name", "", 0, ""},
      {"empty row, value", "", 1, ""},
      {"row without delimiter: whole row is the name", "Button1", 0, "Button1"},
      {"row without delimiter: no value", "Button1", 1, ""},
      {"short row (empty value)", Row("TNoviUnos", {""}), 1, ""},
      {"short row, missing column", Row("TNoviUnos", {""}), 2, ""},
      {"empty name", "\x01x\x01", 0, ""},
      {"empty name, value", "\x01x\x01", 1, "x"},
      {"adjacent delimiters",
       "a\x01\x01"
       "b\x01",
       2, "b"},
      {"no closing delimiter",
       "a\x01"
       "b",
       1, "b"},
      {"value ends at the row's end",
       "a\x01"
       "b\x01"
       "c",
       2, "c"},
      {"CR LF inside a value", "a\x01x\r\ny\x01", 1, "x\r\ny"},
  };
  for (const Case& c : cases) EXPECT_EQ(ExtractTranslation(c.row, '\x01', c.index), c.expected) << c.what;
  EXPECT_EQ(ExtractTranslation("a\tb\tc\t", '\t', 2), QByteArray("c")) << "any delimiter byte";
}

TEST(ExtractWordTest, WordsAtSeparators) {
  const QByteArray seps = QByteArray(".[") + '\x01';
  const QByteArray path = "DBGrid1.Columns[0].Title.Caption";
  struct Case {
    const char* what;
    int n;
    QByteArray text;
    QByteArray expected;
  } cases[] = {
      {"grid path 1", 1, path, "DBGrid1"},
      {"grid path 2", 2, path, "Columns"},
      {"grid path 3", 3, path, "0]"},
      {"grid path 4", 4, path, "Title"},
      {"grid path 5", 5, path, "Caption"},
      {"grid path 6", 6, path, ""},
      {"delimiter separates too", 2,
       "Memo1.Lines\x01"
       "a,b\x01",
       "Lines"},
      {"empty word between adjacent separators counts", 2, "a..b", ""},
      {"word after the empty one", 3, "a..b", "b"},
      {"separator at the very end adds no word", 2, "a.", ""},
      {"leading separator is stepped over", 1, ".a", "a"},
      {"two leading separators give an empty first word", 1, "..a", ""},
      {"two leading separators, then the word", 2, "..a", "a"},
      {"empty text", 1, "", ""},
      {"word 0", 0, "a.b", ""},
      {"no separator", 1, "Button1", "Button1"},
      {"no separator, word 2", 2, "Button1", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(ExtractWord(c.n, c.text, seps), c.expected) << c.what;
}

TEST(CommaTextTest, ReadingFollowsTheTableRules) {
  struct Case {
    const char* what;
    QString text;
    QStringList expected;
  } cases[] = {
      {"plain items", "Panel7.Width,Panel3.Width,Edit2.Text", {"Panel7.Width", "Panel3.Width", "Edit2.Text"}},
      {"quoted items", "\"First record\",\"Refresh data\"", {"First record", "Refresh data"}},
      {"doubled quote", "\"a\"\"b\"", {"a\"b"}},
      {"blanks and controls before an item skipped",
       " \t\x01"
       "a",
       {"a"}},
      {"unquoted item ends at a blank", "a b", {"a", "b"}},
      {"unquoted item ends at a control byte", QString("a") + QChar(2) + "b", {"a", "b"}},
      {"blanks after an item, then the comma", "a  ,b", {"a", "b"}},
      {"empty item between commas", "a,,b", {"a", "", "b"}},
      {"comma as the last byte adds an empty item", "a,", {"a", ""}},
      {"comma followed by a blank adds nothing", "a, ", {"a"}},
      {"leading comma gives an empty first item", ",a", {"", "a"}},
      {"empty text", "", {}},
      {"only blanks", "   ", {}},
      {"two quotes: one empty item", "\"\"", {""}},
      {"unclosed quote runs to the end", "\"a,b", {"a,b"}},
      {"text after a closing quote is a new item", "\"a\"b", {"a", "b"}},
      {"zero ends the text", QString("a,b") + QChar(0) + ",c", {"a", "b"}},
      {"zero inside quotes ends the text", QString("\"a") + QChar(0) + "b\",c", {"a"}},
      {"single-byte letters are ordinary", QString::fromLatin1("\x9A\xE8,x"), {QString::fromLatin1("\x9A\xE8"), "x"}},
  };
  for (const Case& c : cases) EXPECT_EQ(ParseCommaText(c.text), c.expected) << c.what;
}

TEST(CommaTextTest, WritingQuotesWhatNeedsIt) {
  struct Case {
    const char* what;
    QStringList items;
    QString expected;
  } cases[] = {
      {"plain", {"a", "b"}, "a,b"},
      {"blank quoted", {"First record"}, "\"First record\""},
      {"control byte quoted", {QString("a") + QChar(1)}, QString("\"a") + QChar(1) + "\""},
      {"comma quoted", {"a,b"}, "\"a,b\""},
      {"quote doubled", {"a\"b"}, "\"a\"\"b\""},
      {"one empty item", {""}, "\"\""},
      {"empty item among others is nothing", {"a", "", "b"}, "a,,b"},
      {"no items", {}, ""},
      {"high bytes stay bare", {QString::fromLatin1("\x9A")}, QString::fromLatin1("\x9A")},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FormatCommaText(c.items), c.expected) << c.what;
    EXPECT_EQ(ParseCommaText(FormatCommaText(c.items)), c.items) << c.what << " (read back)";
  }
}

TEST_F(DataFormat, BlockReadsBackToTheBytesWritten) {
  QList<QByteArray> lines;
  for (const QByteArray& h : AllHeaders()) {
    lines << h;
    if (h == "stCaptions") lines << Row("TForm", {"Prozor", "Window"}) << Row("Button1", {"Dodaj", "Add"});
    if (h == "stHints") lines << Row("TForm", {""}) << Row("Button1", {"Dodaj zapis", "Add a record"});
    if (h == "stDlgsCaptions") lines << Row("Warning", {"Warning", ""}) << Row("OK", {"OK", ""});
    if (h == "stOtherStrings") lines << Row("Edit1.Text", {"\x9A\x9E\xE8\xE6", ""});
  }
  const QByteArray block = Block(lines);
  lang->ReadOurStrProps(block);
  EXPECT_EQ(Show(lang->WriteOurStrProps()), Show(block));
  EXPECT_EQ(Rows(stCaptions).size(), 2);
  EXPECT_EQ(Rows(stDlgsCaptions), (TlgRows{Row("Warning", {"Warning", ""}), Row("OK", {"OK", ""})}));
  EXPECT_EQ(Rows(stOtherStrings).value(0), Row("Edit1.Text", {"\x9A\x9E\xE8\xE6", ""}));
}

TEST_F(DataFormat, LineBreakEscapes) {
  lang->ReadOurStrProps(Block({"stMultiLines",
                               "Memo1.Lines\x01jedan\x19\x1A"
                               "dva\x01one\x1A"
                               "two\x19\x01"}));
  ASSERT_EQ(Rows(stMultiLines).size(), 1);
  EXPECT_EQ(Show(Rows(stMultiLines)[0]), Show("Memo1.Lines\x01jedan\r\ndva\x01one\ntwo\r\x01"));
  const QByteArray out = lang->WriteOurStrProps();
  EXPECT_TRUE(
      out.contains("Memo1.Lines\x01jedan\x19\x1A"
                   "dva\x01one\x1A"
                   "two\x19\x01\r\n"))
      << Show(out);
}

TEST_F(DataFormat, WindowRowComesFirst) {
  struct Case {
    const char* what;
    QList<QByteArray> rows;
    TlgRows expected;
  } cases[] = {
      {"window row after others",
       {Row("Button1", {"a"}), Row("Label1", {"b"}), Row("TForm", {"w"})},
       {Row("TForm", {"w"}), Row("Button1", {"a"}), Row("Label1", {"b"})}},
      {"class name with another ending is an ordinary row",
       {Row("Button1", {"a"}), Row("TFormX", {"x"}), Row("TForm.HelpFile", {"h"})},
       {Row("Button1", {"a"}), Row("TFormX", {"x"}), Row("TForm.HelpFile", {"h"})}},
      {"case counts", {Row("Button1", {"a"}), Row("tform", {"w"})}, {Row("Button1", {"a"}), Row("tform", {"w"})}},
      {"class name alone, without delimiter", {Row("Button1", {"a"}), "TForm"}, {Row("Button1", {"a"}), "TForm"}},
  };
  for (const Case& c : cases) {
    lang->ReadOurStrProps(Block(QList<QByteArray>{"stCaptions"} + c.rows));
    EXPECT_EQ(Rows(stCaptions), c.expected) << c.what;
  }
}

TEST_F(DataFormat, HeadersAndSkippedText) {
  const QByteArray block =
      Block({"text before the first header", Row("Button1", {"lost"}), "STCAPTIONS", Row("Button1", {"Dodaj"}),
             "sthints", Row("Button1", {"Savjet"}), "stListView_TreeView_Items", Row("ListView1", {"dropped"}),
             "STOTHERSTRINGS", Row("Edit1.Text", {"t"}), "stFooBar", "stCaptions ", " stHints"});
  lang->ReadOurStrProps(block);
  EXPECT_EQ(Rows(stCaptions), TlgRows{Row("Button1", {"Dodaj"})});
  EXPECT_EQ(Rows(stHints), TlgRows{Row("Button1", {"Savjet"})});
  EXPECT_EQ(Rows(stOtherStrings), (TlgRows{Row("Edit1.Text", {"t"}), "stFooBar", "stCaptions ", " stHints"}))
      << "lines that merely look like headers are rows";
  for (int t = 0; t < 11; ++t)
    for (const QByteArray& row : *lang->GetPropListByType(t))
      EXPECT_FALSE(row.contains("lost") || row.contains("dropped")) << Show(row);
  EXPECT_FALSE(lang->WriteOurStrProps().contains("stListView")) << "the writer never emits section 11";
}

TEST_F(DataFormat, AbsentSectionsKeepTheirRows) {
  ASSERT_EQ(Rows(stDlgsCaptions).size(), 15);
  const TlgRows defaults = Rows(stDlgsCaptions);
  lang->ReadOurStrProps(Block({"stCaptions", Row("Button1", {"a"}), "stHints", Row("Button1", {"h"})}));
  EXPECT_EQ(Rows(stDlgsCaptions), defaults) << "no stDlgsCaptions section: the default rows stay";
  lang->ReadOurStrProps(Block({"stHints", Row("Edit1", {"e"})}));
  EXPECT_EQ(Rows(stCaptions), TlgRows{Row("Button1", {"a"})}) << "a second block without stCaptions";
  EXPECT_EQ(Rows(stHints), TlgRows{Row("Edit1", {"e"})});
  lang->ReadOurStrProps(Block({"stHints"}));
  EXPECT_TRUE(Rows(stHints).isEmpty()) << "an empty section empties its list";
  lang->ReadOurStrProps(Block({"stCaptions", Row("A", {"1"}), "stHints", "stCaptions", Row("B", {"2"})}));
  EXPECT_EQ(Rows(stCaptions), TlgRows{Row("B", {"2"})}) << "a section given twice keeps its last rows";
}

TEST_F(DataFormat, LineEndsAndTheZeroByte) {
  struct Case {
    const char* what;
    QByteArray block;
    TlgRows expected;
  } cases[] = {
      {"CR LF", "stCaptions\r\na\x01\r\nb\x01\r\n", {"a\x01", "b\x01"}},
      {"lone CR", "stCaptions\ra\x01\rb\x01\r", {"a\x01", "b\x01"}},
      {"lone LF", "stCaptions\na\x01\nb\x01\n", {"a\x01", "b\x01"}},
      {"LF CR is two line ends", "stCaptions\na\x01\n\rb\x01", {"a\x01", "", "b\x01"}},
      {"last line without a line end", "stCaptions\r\na\x01\r\nb\x01", {"a\x01", "b\x01"}},
      {"empty line is an empty row", "stCaptions\r\n\r\nb\x01\r\n", {"", "b\x01"}},
      {"zero byte ends the data", Bytes("stCaptions\r\na\x01\r\nb\0c\x01\r\nd\x01\r\n"), {"a\x01", "b"}},
      {"zero byte at the start", Bytes("\0stCaptions\r\na\x01\r\n"), {"old\x01"}},
  };
  for (const Case& c : cases) {
    lang->Rows(stCaptions) = {"old\x01"};
    lang->ReadOurStrProps(c.block);
    EXPECT_EQ(Rows(stCaptions), c.expected) << c.what;
  }
}

TEST_F(DataFormat, WriterEmitsEveryHeaderInOrder) {
  for (int t = 0; t < 11; ++t) lang->GetPropListByType(t)->clear();
  QByteArray expected;
  for (const QByteArray& h : AllHeaders()) expected += h + "\r\n";
  EXPECT_EQ(lang->WriteOurStrProps(), expected);
  lang->Rows(stCaptions) = {
      "TForm\x01"
      "a\r\nb\x01",
      "x"};
  EXPECT_TRUE(
      lang->WriteOurStrProps().startsWith("stCaptions\r\nTForm\x01"
                                          "a\x19\x1A"
                                          "b\x01\r\nx\r\nstHints\r\n"));
}

TEST_F(DataFormat, ListsByTypeAndName) {
  EXPECT_EQ(lang->GetPropListByType(11), nullptr);
  EXPECT_EQ(lang->GetPropListByType(-1), nullptr);
  EXPECT_EQ(lang->GetPropListByType(stCaptions), &lang->Rows(stCaptions));
  EXPECT_EQ(lang->GetPropListByName("captions"), lang->GetPropListByType(stCaptions));
  EXPECT_EQ(lang->GetPropListByName("CHARSETS"), lang->GetPropListByType(stCharSets));
  EXPECT_EQ(lang->GetPropListByName("DlgsCaptions"), lang->GetPropListByType(stDlgsCaptions));
  EXPECT_EQ(lang->GetPropListByName("ListView_TreeView_Items"), nullptr);
  EXPECT_EQ(lang->GetPropListByName("stCaptions"), nullptr);
  EXPECT_EQ(lang->GetPropListByName(""), nullptr);
  EXPECT_THROW(lang->Rows(stListView_TreeView_Items), EListError);
}

TEST_F(DataFormat, LookupsByNameAndPosition) {
  lang->SetNumLang(2);
  const TlgRows hints = {Row("TForm", {""}), Row("TKategorije", {"Kategorije", "Categories"}),
                         Row("Button1", {"Dodaj", ""}), "Bare"};
  EXPECT_EQ(lang->GetStringValue(hints, "tkategorije", 2), QByteArray("Categories"));
  EXPECT_EQ(lang->GetStringValue(hints, "TKATEGORIJE", 0), QByteArray("TKategorije"));
  EXPECT_EQ(lang->GetStringValue(hints, "Nothing", 1), QByteArray());
  EXPECT_EQ(lang->GetStringValue(hints, "bare", 0), QByteArray("Bare"));
  EXPECT_EQ(lang->GetStringValue({}, "TForm", 1), QByteArray());
  for (int index : {1, 2, 3}) EXPECT_EQ(lang->GetStringValue(hints, "TForm", index), QByteArray()) << index;
  for (const QByteArray& row : hints) EXPECT_EQ(ExtractTranslation(row, '\x01', 3), QByteArray()) << Show(row);

  EXPECT_EQ(lang->GetTextFromByIndex(hints, 1, false), QByteArray("Kategorije")) << "language 1 active";
  EXPECT_EQ(lang->GetTextFromByIndex(hints, 4, true), QByteArray()) << "position equal to the length";
  EXPECT_EQ(lang->GetTextFromByIndex(hints, -1, true), QByteArray());
  lang->SetActLang(2);
  EXPECT_EQ(lang->GetTextFromByIndex(hints, 1, false), QByteArray("Categories"));
  EXPECT_EQ(lang->GetTextFromByIndex(hints, 2, false), QByteArray());
  EXPECT_EQ(lang->GetTextFromByIndex(hints, 2, true), QByteArray("Dodaj")) << "falls back to language 1";
  EXPECT_EQ(lang->GetTextFromByIndex(hints, 3, true), QByteArray());
}

TEST_F(DataFormat, DefaultLanguageFallback) {
  const QByteArray row = Row("Button1", {"Dodaj", "", "Hinzu"});
  EXPECT_EQ(lang->IntExtractTranslation(row, '\x01', 2), QByteArray()) << "off by default";
  lang->SetUseDefaultLanguage(true);
  EXPECT_EQ(lang->IntExtractTranslation(row, '\x01', 2), QByteArray("Dodaj"));
  EXPECT_EQ(lang->IntExtractTranslation(row, '\x01', 3), QByteArray("Hinzu"));
  EXPECT_EQ(lang->IntExtractTranslation(row, '\x01', 7), QByteArray("Dodaj")) << "missing column";
  lang->SetDefaultLanguage(3);
  EXPECT_EQ(lang->IntExtractTranslation(row, '\x01', 2), QByteArray("Hinzu"));
  EXPECT_EQ(lang->IntExtractTranslation(Row("X", {"", "", ""}), '\x01', 3), QByteArray())
      << "the default language itself has no fall-back";
}

TEST_F(DataFormat, ReaderUsesTheCurrentDelimiter) {
  lang->SetLangDelim(2);
  lang->ReadOurStrProps(Block(
      {"stCaptions", Row("Button1", {"a"}, '\x02'), Row("TForm", {"w"}, '\x02'), Row("TForm", {"other delimiter"})}));
  EXPECT_EQ(Rows(stCaptions).value(0), Row("TForm", {"w"}, '\x02'));
  EXPECT_EQ(lang->GetStringValue(Rows(stCaptions), "button1", 1), QByteArray("a"));
}
