// Components and properties of the translation component's window reached by
// name and by dotted path, read and written as single-byte text.
#include "Classes.h"
#include "Definition.h"
#include "Exceptions.h"
#include "Forms.h"
#include "PathsTestClasses.h"
#include "StdCtrls.h"
#include "SysUtils.h"
#include "TypeInfo.h"
#include "lgComp.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

using pathtest::TForm1;
using pathtest::TPathGrid;

namespace {

constexpr int DEFAULT_CHARSET = 1;
constexpr int RUSSIAN_CHARSET = 204;
constexpr int EASTEUROPE_CHARSET = 238;

const char kWindow[] =
    "object Form1: TForm1\n"
    "  Caption = 'Glavni prozor'\n"
    "  HelpFile = 'pomoc.hlp'\n"
    "  object Edit2: TEdit\n"
    "    Text = 'dva'\n"
    "  end\n"
    "  object Memo1: TMemo\n"
    "    Color = clInfoBk\n"
    "    Font.Style = [fsBold, fsItalic]\n"
    "    Lines = ('prvi red' 'drugi')\n"
    "  end\n"
    "  object Panel7: TPanel\n"
    "  end\n"
    "  object DBGrid1: TPathGrid\n"
    "    Active = True\n"
    "    Align = alClient\n"
    "    Anchors = [akLeft, akBottom]\n"
    "    Big = -5000000000\n"
    "    Ratio = 1.5\n"
    "    Columns = <\n"
    "      item\n"
    "        Title.Caption = 'Naslov'\n"
    "      end>\n"
    "  end\n"
    "end\n";

std::string Str(const QByteArray& bytes) { return bytes.toStdString(); }
std::string Str(const QString& text) { return text.toStdString(); }

// The window built from kWindow, with a translation component of its own.
struct TestWindow {
  TestWindow() {
    RegisterComponentClass<TPathGrid>();
    form = std::make_unique<TForm1>();
    LoadWindowDefinitionText(form.get(), QString::fromLatin1(kWindow), QStringLiteral("Form1.def"));
    lang = new TlgLang(form.get());
    edit = qobject_cast<TEdit*>(form->FindComponent(QStringLiteral("Edit2")));
    memo = qobject_cast<TMemo*>(form->FindComponent(QStringLiteral("Memo1")));
    grid = qobject_cast<TPathGrid*>(form->FindComponent(QStringLiteral("DBGrid1")));
  }

  QString Caption0() const { return grid->Column(0)->Title()->Caption(); }

  std::unique_ptr<TForm1> form;
  TlgLang* lang = nullptr;
  TEdit* edit = nullptr;
  TMemo* memo = nullptr;
  TPathGrid* grid = nullptr;
};

// Floats are written with "." unless a test says otherwise.
class PathsTest : public ::testing::Test, protected TestWindow {
protected:
  PathsTest() { FormatSettings.DecimalSeparator = QLatin1Char('.'); }
  ~PathsTest() override { FormatSettings.DecimalSeparator = FSavedSeparator; }

private:
  const QChar FSavedSeparator = FormatSettings.DecimalSeparator;
};

}  // namespace

TEST_F(PathsTest, WindowFindsItsComponentsIgnoringCase) {
  ASSERT_TRUE(edit && memo && grid);
  EXPECT_EQ(form->FindComponent(QStringLiteral("edit2")), edit);
  EXPECT_EQ(form->FindComponent(QStringLiteral("DBGRID1")), grid);
  EXPECT_EQ(form->FindComponent(QStringLiteral("lgLang1")), nullptr);  // created without a name
  EXPECT_EQ(form->FindComponent(QString()), nullptr);
  EXPECT_EQ(form->FindComponent(QStringLiteral("Form1")), nullptr);
}

TEST_F(PathsTest, PathResolvesToTheObjectHoldingTheLastProperty) {
  struct Row {
    const char* path;
    QObject* object;
    const char* last;
  };
  const Row rows[] = {
      {"TForm1.HelpFile", form.get(), "HelpFile"},
      {"TForm1.Font.Name", form->Font(), "Name"},
      {"edit2.text", edit, "text"},
      {"Memo1.Font.Style", memo->Font(), "Style"},
      {"DBGrid1.Columns[0].Title.Caption", grid->Column(0)->Title(), "Caption"},
      {"dbgrid1.COLUMNS[0].title.Caption", grid->Column(0)->Title(), "Caption"},
      {"DBGrid1.Columns[0].Width", grid->Column(0), "Width"},
      {"DBGrid1.Nothing", grid, "Nothing"},
      // Not resolving: the window only by its class name, which is
      // case-sensitive; one segment; missing components and objects.
      {"Form1.Caption", nullptr, ""},
      {"tform1.HelpFile", nullptr, ""},
      {"TForm1", nullptr, ""},
      {"Panel7", nullptr, ""},
      {"", nullptr, ""},
      {"Panel8.Caption", nullptr, ""},
      {"TForm1.Edit2.Text", nullptr, ""},
      {"Edit2.Text.Size", nullptr, ""},
      {"Memo1.Color.Size", nullptr, ""},
      {"Memo1.OnChange.Code", nullptr, ""},
      {"DBGrid1.Empty.Caption", nullptr, ""},
      {"DBGrid1.Nothing.Caption", nullptr, ""},
  };
  for (const Row& row : rows) {
    QString last = QStringLiteral("stale");
    EXPECT_EQ(lang->GetObjByPath(QString::fromLatin1(row.path), &last), row.object) << row.path;
    EXPECT_EQ(Str(last), row.last) << row.path;
  }
}

TEST_F(PathsTest, PathsNeedAnOwningWindow) {
  TlgLang alone;
  EXPECT_EQ(alone.GetObjByPath(QStringLiteral("TlgLang.Version")), nullptr);
  EXPECT_EQ(Str(alone.GetPropValueByPath(QStringLiteral("TlgLang.Version"))), "");
  EXPECT_EQ(alone.GetPropTypeByPath(QStringLiteral("TlgLang.Version")), 0);
}

TEST_F(PathsTest, CollectionIndexErrorsReachTheCallerOfEveryPathOperation) {
  struct Row {
    const char* path;
    bool listError;  // else a conversion error
  };
  const Row rows[] = {
      {"DBGrid1.Columns[5].Title.Caption", true},  {"DBGrid1.Columns[1].Title.Caption", true},
      {"DBGrid1.Columns[-1].Title.Caption", true}, {"DBGrid1.Columns[x].Title.Caption", false},
      {"DBGrid1.Columns[].Title.Caption", false},  {"DBGrid1.Columns.Title.Caption", false},
      {"DBGrid1.Columns[0.Title.Caption", false},
  };
  for (const Row& row : rows) {
    const QString path = QString::fromLatin1(row.path);
    auto expectError = [&](const std::function<void()>& call, const char* operation) {
      try {
        call();
        ADD_FAILURE() << operation << "(" << row.path << ") raised nothing";
      } catch (const EListError&) {
        EXPECT_TRUE(row.listError) << operation << "(" << row.path << ") raised a list-index error";
      } catch (const EConvertError&) {
        EXPECT_FALSE(row.listError) << operation << "(" << row.path << ") raised a conversion error";
      }
    };
    expectError([&] { lang->GetObjByPath(path); }, "GetObjByPath");
    expectError([&] { lang->GetPropValueByPath(path); }, "GetPropValueByPath");
    expectError([&] { lang->SetPropValueByPath(path, "x"); }, "SetPropValueByPath");
    expectError([&] { lang->GetPropTypeByPath(path); }, "GetPropTypeByPath");
  }
  EXPECT_EQ(Str(Caption0()), "Naslov");
}

TEST_F(PathsTest, ValuesReadAsTextByKind) {
  edit->Font()->SetStyle(TFontStyles());
  grid->SetData(
      QByteArray("\xE8"
                 "a\x01",
                 3));
  struct Row {
    const char* path;
    QByteArray text;
  };
  const Row rows[] = {
      {"TForm1.HelpFile", "pomoc.hlp"},
      {"TForm1.Caption", "Glavni prozor"},
      {"Form1.Caption", ""},
      {"edit2.text", "dva"},
      {"EDIT2.TEXT", "dva"},
      {"DBGrid1.Columns[0].Title.Caption", "Naslov"},
      {"DBGrid1.Columns[0].Width", "64"},
      {"Memo1.Font.Style", "fsBold,fsItalic"},
      {"Edit2.Font.Style", ""},
      {"DBGrid1.Anchors", "akLeft,akBottom"},
      {"Memo1.Color", "-2147483624"},
      {"Memo1.Font.Charset", "1"},
      {"Memo1.Font.Name", "Tahoma"},
      {"DBGrid1.Big", "-5000000000"},
      {"DBGrid1.Align", "alClient"},
      {"DBGrid1.Active", "True"},
      {"DBGrid1.Ratio", "1.5"},
      {"DBGrid1.Data", QByteArray("\xE8"
                                  "a\x01",
                                  3)},
      {"Memo1.Lines", "\"prvi red\",drugi"},
      {"Memo1.Font", ""},
      {"DBGrid1.Columns", ""},
      {"DBGrid1.Empty", ""},
      {"DBGrid1.Letter", ""},
      {"DBGrid1.Wide", ""},
      {"DBGrid1.Extra", ""},
      {"DBGrid1.OnClick", ""},
      {"DBGrid1.Nothing", ""},
      {"Panel7", ""},
      {"TForm1.", ""},
  };
  for (const Row& row : rows)
    EXPECT_EQ(lang->GetPropValueByPath(QString::fromLatin1(row.path)).toHex(' '), row.text.toHex(' ')) << row.path;
}

TEST_F(PathsTest, FloatsFollowTheProcessDecimalSeparator) {
  FormatSettings.DecimalSeparator = QLatin1Char(',');
  EXPECT_EQ(Str(lang->GetPropValueByPath(QStringLiteral("DBGrid1.Ratio"))), "1,5");
  lang->SetPropValueByPath(QStringLiteral("DBGrid1.Ratio"), "2,25");
  EXPECT_EQ(grid->Ratio(), 2.25);
  lang->SetPropValueByPath(QStringLiteral("DBGrid1.Ratio"), "3.5");
  EXPECT_EQ(grid->Ratio(), 2.25);
  grid->SetRatio(1.0 / 3.0);
  EXPECT_EQ(Str(lang->GetPropValueByPath(QStringLiteral("DBGrid1.Ratio"))), "0,333333333333333");
}

TEST_F(PathsTest, ValuesWrittenFromTextByKind) {
  // Each row starts from the window as built; `path` is written with `text`
  // and read back. A failed conversion or a refusing writer changes nothing.
  struct Row {
    const char* path;
    QByteArray text;
    QByteArray after;
  };
  const Row rows[] = {
      {"Memo1.Font.Style", "[fsBold]", "fsBold"},
      {"Memo1.Font.Style", "fsBold", "fsBold"},
      {"Memo1.Font.Style", "fsItalic,fsBold", "fsBold,fsItalic"},
      {"Memo1.Font.Style", "  [ fsitalic , FSUNDERLINE ]", "fsItalic,fsUnderline"},
      {"Memo1.Font.Style", "fsUnderline fsStrikeOut]", "fsUnderline,fsStrikeOut"},
      {"Memo1.Font.Style", "", ""},
      {"Memo1.Font.Style", "[]", ""},
      {"Memo1.Font.Style", "fsUnderline,fsHeavy", "fsBold,fsItalic"},
      {"Memo1.Font.Style", "[fsBold,]x", "fsBold,fsItalic"},
      {"DBGrid1.Anchors", "akTop", "akTop"},
      {"DBGrid1.Anchors", "akTop,fsBold", "akLeft,akBottom"},
      {"Memo1.Color", "255", "255"},
      {"Memo1.Color", "-16777201", "-16777201"},
      {"Memo1.Color", " $FF", "255"},
      {"Memo1.Color", "clRed", "-2147483624"},
      {"Memo1.Color", "2147483648", "-2147483624"},
      {"Memo1.Color", "", "-2147483624"},
      {"DBGrid1.Big", "123", "123"},
      {"DBGrid1.Big", "-2147483648", "-2147483648"},
      {"DBGrid1.Big", "2147483648", "-5000000000"},
      {"DBGrid1.Big", "5000000000", "-5000000000"},
      {"DBGrid1.Align", "alTop", "alTop"},
      {"DBGrid1.Align", "ALLEFT", "alLeft"},
      {"DBGrid1.Align", "alNowhere", "alClient"},
      {"DBGrid1.Align", "", "alClient"},
      {"DBGrid1.Align", "1", "alClient"},
      {"DBGrid1.Active", "false", "False"},
      {"DBGrid1.Active", "0", "True"},
      {"DBGrid1.Ratio", "2.25", "2.25"},
      {"DBGrid1.Ratio", "-1E3", "-1000"},
      {"DBGrid1.Ratio", "zwei", "1.5"},
      {"DBGrid1.Data", QByteArray("\x9A\xF0", 2), QByteArray("\x9A\xF0", 2)},
      {"Edit2.Text", "novi", "novi"},
      {"edit2.TEXT", "", ""},
      {"TForm1.HelpFile", "drugi.hlp", "drugi.hlp"},
      {"DBGrid1.Columns[0].Title.Caption", "Title", "Title"},
      {"DBGrid1.Columns[0].Width", "80", "80"},
      {"DBGrid1.Picky", "fine", "fine"},
      {"DBGrid1.Picky", "bad", "good"},
      {"DBGrid1.Fixed", "other", "fixed"},
      {"Memo1.Font", "Arial", ""},
      {"Form1.Caption", "x", ""},
  };
  for (const Row& row : rows) {
    TestWindow fresh;
    fresh.lang->SetPropValueByPath(QString::fromLatin1(row.path), row.text);
    EXPECT_EQ(fresh.lang->GetPropValueByPath(QString::fromLatin1(row.path)).toHex(' '), row.after.toHex(' '))
        << row.path << " = '" << row.text.toStdString() << "'";
  }
}

TEST_F(PathsTest, CharactersAndUnconvertibleKindsAreLeftAlone) {
  lang->SetPropValueByPath(QStringLiteral("DBGrid1.Letter"), "Q");
  lang->SetPropValueByPath(QStringLiteral("DBGrid1.Wide"), "Q");
  lang->SetPropValueByPath(QStringLiteral("DBGrid1.Extra"), "Q");
  lang->SetPropValueByPath(QStringLiteral("DBGrid1.OnClick"), "Q");
  lang->SetPropValueByPath(QStringLiteral("Form1.Caption"), "Q");
  EXPECT_EQ(grid->Letter(), 'A');
  EXPECT_EQ(grid->Wide(), QLatin1Char('W'));
  EXPECT_FALSE(grid->Extra().isValid());
  EXPECT_EQ(Str(form->Caption()), "Glavni prozor");
}

TEST_F(PathsTest, StringListTakesCommaTextLineByLineKeepingItsObject) {
  TStrings* lines = memo->Lines();
  struct Row {
    QByteArray text;
    QStringList lines;
  };
  const Row rows[] = {
      {"a,\"b c\",d", {"a", "b c", "d"}},
      {"x", {"x"}},
      {"1,2,3,4", {"1", "2", "3", "4"}},
      {"", {}},
      {"\xE8"
       "a,\x9A",
       {QString::fromUtf8("ča"), QString::fromUtf8("š")}},
  };
  for (const Row& row : rows) {
    lang->SetPropValueByPath(QStringLiteral("Memo1.Lines"), row.text);
    EXPECT_EQ(memo->Lines(), lines) << row.text.toStdString();
    EXPECT_EQ(lines->ToList(), row.lines) << row.text.toStdString();
  }
  EXPECT_EQ(lang->GetPropValueByPath(QStringLiteral("Memo1.Lines")), QByteArray("\xE8"
                                                                                "a,\x9A"));

  // A sorted list takes the lines and stays sorted.
  TStringList* items = grid->Items();
  items->Add(QStringLiteral("old"));
  lang->SetPropValueByPath(QStringLiteral("DBGrid1.Items"), "c,a,b");
  EXPECT_EQ(grid->Items(), items);
  EXPECT_TRUE(items->Sorted());
  EXPECT_EQ(items->ToList(), QStringList({"a", "b", "c"}));
}

TEST_F(PathsTest, KindNumbersOfPaths) {
  struct Row {
    const char* path;
    int kind;
  };
  const Row rows[] = {
      {"Memo1.Color", 1},      {"DBGrid1.Letter", 2},
      {"DBGrid1.Align", 3},    {"DBGrid1.Active", 3},
      {"DBGrid1.Ratio", 4},    {"Memo1.Font.Style", 6},
      {"Memo1.Lines", 7},      {"DBGrid1.Items", 7},
      {"Memo1.Font", 0},       {"DBGrid1.Columns", 0},
      {"DBGrid1.Empty", 0},    {"DBGrid1.Wide", 9},
      {"DBGrid1.Data", 10},    {"Edit2.Text", 11},
      {"TForm1.HelpFile", 11}, {"DBGrid1.Extra", 12},
      {"DBGrid1.Big", 16},     {"DBGrid1.OnClick", 0},
      {"DBGrid1.Nothing", 0},  {"Form1.Caption", 0},
      {"Panel7", 0},           {"DBGrid1.Columns[0].Title.Caption", 11},
  };
  for (const Row& row : rows) EXPECT_EQ(lang->GetPropTypeByPath(QString::fromLatin1(row.path)), row.kind) << row.path;
}

TEST_F(PathsTest, ObjectHasPropertyOfKindAndExactType) {
  struct Row {
    const QObject* object;
    const char* name;
    TTypeKinds kinds;
    const char* typeName;
    bool has;
  };
  const Row rows[] = {
      {form.get(), "Font", KindBit(tkClass), "TFont", true},
      {form.get(), "font", KindBit(tkClass), "tfont", true},
      {form.get(), "Font", KindBit(tkClass), "", true},
      {form.get(), "Font", KindBit(tkClass), "TObject", false},
      {form.get(), "Font", KindBit(tkClass), "TPersistent", false},
      {form.get(), "Font", tkStrings, "", false},
      {form.get(), "Caption", tkStrings, "", true},
      {form.get(), "Caption", tkStrings, "WideString", true},
      {form.get(), "Caption", tkStrings, "AnsiString", false},
      {form.get(), "WindowState", KindBit(tkEnumeration), "TWindowState", true},
      {form.get(), "OnActivate", ~0u, "", false},
      {form.get(), "Nothing", tkAny, "", false},
      {grid, "Base", KindBit(tkClass), "TFont", false},
      {grid, "Base", KindBit(tkClass), "TPersistent", true},
      {grid, "Data", tkStrings, "", true},
      {nullptr, "Font", tkAny, "", false},
  };
  for (const Row& row : rows)
    EXPECT_EQ(lang->ObjectHasProperty(row.object, QString::fromLatin1(row.name), row.kinds,
                                      QString::fromLatin1(row.typeName)),
              row.has)
        << row.name << " " << row.typeName;
}

TEST_F(PathsTest, WideStringsConvertWithTheCurrentCharset) {
  // The current character set picks the code page; DEFAULT_CHARSET (and any
  // other without one) means Windows-1250.
  struct Row {
    int charset;
    const char* wide;  // UTF-8
    QByteArray bytes;
  };
  const Row rows[] = {
      {DEFAULT_CHARSET, "čćšžđ ČĆŠŽĐ", "\xE8\xE6\x9A\x9E\xF0 \xC8\xC6\x8A\x8E\xD0"},
      {EASTEUROPE_CHARSET, "čćšžđ", "\xE8\xE6\x9A\x9E\xF0"},
      {255, "čćšžđ", "\xE8\xE6\x9A\x9E\xF0"},
      {RUSSIAN_CHARSET, "Привет", "\xCF\xF0\xE8\xE2\xE5\xF2"},
      {0, "café", "caf\xE9"},
  };
  for (const Row& row : rows) {
    lang->SetCurrentCharset(row.charset);
    const QString wide = QString::fromUtf8(row.wide);
    edit->SetText(wide);
    EXPECT_EQ(lang->GetObjectStrProperty(edit, QStringLiteral("Text")).toHex(' '), row.bytes.toHex(' ')) << row.wide;
    EXPECT_EQ(lang->GetPropValueByPath(QStringLiteral("Edit2.Text")).toHex(' '), row.bytes.toHex(' ')) << row.wide;
    edit->SetText(QString());
    lang->SetObjectStrProperty(edit, QStringLiteral("text"), row.bytes);
    EXPECT_EQ(edit->Text(), wide) << row.wide;
    edit->SetText(QString());
    lang->SetPropValueByPath(QStringLiteral("Edit2.Text"), row.bytes);
    EXPECT_EQ(edit->Text(), wide) << row.wide;
  }
}

TEST_F(PathsTest, UnmappableCharactersReadAsQuestionMarks) {
  struct Row {
    int charset;
    const char* wide;
    QByteArray bytes;
  };
  const Row rows[] = {
      {DEFAULT_CHARSET, "Мир", "???"},
      {RUSSIAN_CHARSET, "čaj", "?aj"},
      {DEFAULT_CHARSET, "a😀b", "a?b"},
      {DEFAULT_CHARSET, "", ""},
  };
  for (const Row& row : rows) {
    lang->SetCurrentCharset(row.charset);
    form->SetCaption(QString::fromUtf8(row.wide));
    EXPECT_EQ(lang->GetPropValueByPath(QStringLiteral("TForm1.Caption")), row.bytes) << row.wide;
  }
}

TEST_F(PathsTest, StringAccessorsByKind) {
  lang->SetCurrentCharset(RUSSIAN_CHARSET);
  const TPropInfo data = GetPropInfo(grid, QStringLiteral("Data"));
  const TPropInfo color = GetPropInfo(memo, QStringLiteral("Color"));
  const TPropInfo text = GetPropInfo(edit, QStringLiteral("Text"));

  // Byte strings pass unchanged whatever the character set.
  lang->lgSetStrProp(grid, data, QByteArray("\xE8\xCF", 2));
  EXPECT_EQ(grid->Data(), QByteArray("\xE8\xCF", 2));
  EXPECT_EQ(lang->lgGetStrprop(grid, data), QByteArray("\xE8\xCF", 2));

  // Other kinds read as empty text and are not written.
  EXPECT_EQ(lang->lgGetStrprop(memo, color), QByteArray());
  lang->lgSetStrProp(memo, color, "255");
  EXPECT_EQ(memo->Color(), clInfoBk);

  // No object, or no such property: empty text, nothing written.
  EXPECT_EQ(lang->lgGetStrprop(nullptr, text), QByteArray());
  lang->lgSetStrProp(nullptr, text, "x");
  EXPECT_EQ(lang->GetObjectStrProperty(nullptr, QStringLiteral("Text")), QByteArray());
  EXPECT_EQ(lang->GetObjectStrProperty(edit, QStringLiteral("Nothing")), QByteArray());
  EXPECT_EQ(lang->GetObjectStrProperty(edit, QStringLiteral("OnChange")), QByteArray());
  lang->SetObjectStrProperty(nullptr, QStringLiteral("Text"), "x");
  lang->SetObjectStrProperty(edit, QStringLiteral("Nothing"), "x");
  EXPECT_EQ(Str(edit->Text()), "dva");

  // The accessors do not swallow a writer's failure; the path writer does.
  EXPECT_THROW(lang->SetObjectStrProperty(grid, QStringLiteral("Picky"), "bad"), EConvertError);
}
