// Export, import and backup of a notebook, in-process: what each document
// holds, how it keeps the user's text from breaking its structure, which
// exports are refused and why, and what a copy holds.
#include "Exchange.h"
#include "Notebook.h"
#include "Sqlite.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QByteArray ReadFile(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList FolderEntries(const QString& folder) {
  return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

// A notebook holding what is hard to write out: Serbian letters, quotes, markup and entities, bodies of several
// lines and one whose first line starts with '#', backticks, a null title and body, a time of day, favourites, two
// entries of one title, and an empty category between two full ones. Entries are added out of title order.
class ExchangeTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(folder.isValid());
    CreateNotebook(File(), kNotebookPassword, [](TSqlDatabase& db) {
      db.Exec(QStringLiteral(
          "INSERT INTO kategorije (Category) VALUES ('Šifre i lozinke'), ('Prazna'), ('<b>Kod</b> & \"navodnici\"')"));
      const char* const notes[] = {
          "(3, 'Đak', 'Čćžšđ ČĆŽŠĐ', '2024-03-01', 0)",
          "(1, 'Zadnja', 'prvi red' || char(10) || 'drugi red' || char(13) || char(10) || 'treći red', "
          "'2024-05-01 10:20:30', 1)",
          "(1, 'Alarm <script>alert(''x'')</script> & \"y\"', '# nije naslov' || char(10) || '## ni ovo' || char(10) "
          "|| '```' || char(10) || '<script>alert(1)</script> &amp;', '2024-01-02', 1)",
          "(1, NULL, NULL, NULL, 0)",
          "(1, 'Dupli', 'drugi po ključu', '2024-02-02', 0)",
          "(3, '*_[link](x)_* #', '', '2023-12-31', 1)",
          "(1, 'Dupli', 'treći po ključu', '2024-02-03', 0)",
      };
      for (const char* values : notes)
        db.Exec(QStringLiteral("INSERT INTO notes (Cat_id, Title, Body, Entered, Favorite) VALUES %1")
                    .arg(QString::fromUtf8(values)));
    });
  }

  QString File() const { return folder.filePath(QStringLiteral("db.mdb")); }
  QString Path(const char* name) const { return folder.filePath(QString::fromUtf8(name)); }
  QString Export(TExportFormat format) const { return QString::fromUtf8(WriteExport(ReadNotebook(File()), format)); }

  QTemporaryDir folder;
};

TEST_F(ExchangeTest, ReadsCategoriesByKeyAndEntriesByTitleThenKey) {
  const TExchangeNotebook notebook = ReadNotebook(File());
  ASSERT_EQ(notebook.size(), 3u);
  EXPECT_EQ(notebook[0].name, QStringLiteral("Šifre i lozinke"));
  EXPECT_TRUE(notebook[1].entries.empty()) << "an empty category is kept, in its place";
  QStringList titles, bodies;
  for (const TExchangeEntry& e : notebook[0].entries) {
    titles << e.title.value_or(QStringLiteral("<null>"));
    bodies << e.body.value_or(QStringLiteral("<null>"));
  }
  EXPECT_EQ(titles, (QStringList{QStringLiteral("<null>"), QStringLiteral("Alarm <script>alert('x')</script> & \"y\""),
                                 QStringLiteral("Dupli"), QStringLiteral("Dupli"), QStringLiteral("Zadnja")}));
  EXPECT_EQ(bodies[2], QStringLiteral("drugi po ključu")) << "equal titles go by key";
  EXPECT_EQ(bodies[3], QStringLiteral("treći po ključu"));
}

TEST_F(ExchangeTest, JsonHasTheExchangeShape) {
  const QString text = Export(TExportFormat::Json);
  EXPECT_TRUE(text.startsWith(QStringLiteral("{\n  \"format\": \"notarium-export\",\n  \"version\": 1,")))
      << "the marker leads: " << text.left(80).toStdString();
  QJsonParseError error;
  const QJsonObject root = QJsonDocument::fromJson(text.toUtf8(), &error).object();
  ASSERT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
  EXPECT_EQ(root.keys(),
            (QStringList{QStringLiteral("categories"), QStringLiteral("format"), QStringLiteral("version")}));
  const QJsonArray categories = root[QStringLiteral("categories")].toArray();
  ASSERT_EQ(categories.size(), 3);
  EXPECT_EQ(categories[1].toObject()[QStringLiteral("name")].toString(), QStringLiteral("Prazna"));
  EXPECT_TRUE(categories[1].toObject()[QStringLiteral("entries")].isArray());
  EXPECT_TRUE(categories[1].toObject()[QStringLiteral("entries")].toArray().isEmpty());
  const QJsonArray entries = categories[0].toObject()[QStringLiteral("entries")].toArray();
  ASSERT_EQ(entries.size(), 5);
  const QJsonObject blank = entries[0].toObject(), alarm = entries[1].toObject(), last = entries[4].toObject();
  EXPECT_EQ(blank.keys(), (QStringList{QStringLiteral("body"), QStringLiteral("entered"), QStringLiteral("favorite"),
                                       QStringLiteral("title")}));
  EXPECT_TRUE(blank[QStringLiteral("title")].isNull());
  EXPECT_TRUE(blank[QStringLiteral("body")].isNull());
  EXPECT_TRUE(blank[QStringLiteral("entered")].isNull());
  EXPECT_EQ(blank[QStringLiteral("favorite")], QJsonValue(false));
  EXPECT_EQ(alarm[QStringLiteral("title")].toString(), QStringLiteral("Alarm <script>alert('x')</script> & \"y\""));
  EXPECT_EQ(alarm[QStringLiteral("entered")].toString(), QStringLiteral("2024-01-02")) << "no time when there is none";
  EXPECT_EQ(alarm[QStringLiteral("favorite")], QJsonValue(true));
  EXPECT_EQ(last[QStringLiteral("body")].toString(), QStringLiteral("prvi red\ndrugi red\r\ntreći red"))
      << "the body exactly as stored";
  EXPECT_EQ(last[QStringLiteral("entered")].toString(), QStringLiteral("2024-05-01T10:20:30"));
}

TEST_F(ExchangeTest, JsonGoesInAndComesOutByteForByte) {
  const QByteArray first = WriteExport(ReadNotebook(File()), TExportFormat::Json);
  ImportNotebook(ParseJsonExport(first), Path("copy.mdb"));
  EXPECT_EQ(CheckNotebook(Path("copy.mdb")).entries, 7);
  EXPECT_EQ(WriteExport(ReadNotebook(Path("copy.mdb")), TExportFormat::Json), first);
}

// Every '<' of the page opens one of the page's own tags: no text of the user's reaches the page as markup.
TEST_F(ExchangeTest, HtmlEscapesEveryTextAndLinksEachCategory) {
  const QString html = Export(TExportFormat::Html);
  EXPECT_TRUE(html.startsWith(QStringLiteral("<!DOCTYPE html>")));
  EXPECT_TRUE(html.contains(QStringLiteral("<meta charset=\"utf-8\">")));
  EXPECT_TRUE(html.trimmed().endsWith(QStringLiteral("</html>")));
  const QRegularExpression ours(QStringLiteral(
      "^</?(html|head|meta charset=\"utf-8\"|title|style|body|h1|h2|h3|nav|ul|li|a href=\"#category-\\d+\"|a|"
      "section id=\"category-\\d+\"|section|article|p class=\"(meta|none)\"|p|pre|em)>"));
  for (qsizetype at = html.indexOf(QLatin1Char('<')); at >= 0; at = html.indexOf(QLatin1Char('<'), at + 1)) {
    if (html.mid(at).startsWith(QStringLiteral("<!DOCTYPE html>"))) continue;
    EXPECT_TRUE(ours.match(html.mid(at, 40)).hasMatch()) << "markup not ours: " << html.mid(at, 40).toStdString();
  }
  EXPECT_TRUE(
      html.contains(QStringLiteral("Alarm &lt;script&gt;alert(&#39;x&#39;)&lt;/script&gt; &amp; &quot;y&quot;</h3>")));
  EXPECT_TRUE(html.contains(QStringLiteral("&lt;b&gt;Kod&lt;/b&gt; &amp; &quot;navodnici&quot;")));
  EXPECT_TRUE(html.contains(QStringLiteral("&amp;amp;"))) << "an entity in a body is text, not an entity";
  EXPECT_TRUE(html.contains(QStringLiteral("Čćžšđ ČĆŽŠĐ")));
  for (int i = 1; i <= 3; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(html.count(QStringLiteral("<a href=\"#category-%1\">").arg(i)), 1);
    EXPECT_EQ(html.count(QStringLiteral("<section id=\"category-%1\">").arg(i)), 1);
  }
  EXPECT_TRUE(html.contains(QStringLiteral("<section id=\"category-2\">\n<h2>Prazna</h2>\n")));
  EXPECT_TRUE(html.contains(QStringLiteral("<pre>\nprvi red\ndrugi red\ntreći red</pre>"))) << "line breaks kept";
}

TEST_F(ExchangeTest, MarkdownKeepsBodiesOutOfTheStructure) {
  const QString md = Export(TExportFormat::Markdown);
  // The lines outside the fenced blocks: the document's own headings and lines, and the user's escaped text.
  QStringList headings;
  QString fence;
  int blocks = 0;
  for (const QString& line : md.split(QLatin1Char('\n'))) {
    if (fence.isEmpty() && line.startsWith(QStringLiteral("```"))) {
      fence = line;
      ++blocks;
      continue;
    }
    if (!fence.isEmpty()) {
      if (line == fence)
        fence.clear();
      else
        EXPECT_FALSE(line.startsWith(fence)) << "a body line would close its block: " << line.toStdString();
      continue;
    }
    if (line.startsWith(QLatin1Char('#'))) headings << line;
    for (const QChar c : {QLatin1Char('<'), QLatin1Char('&'), QLatin1Char('*'), QLatin1Char('[')})
      for (qsizetype at = line.indexOf(c); at >= 0; at = line.indexOf(c, at + 1))
        EXPECT_TRUE(at > 0 && line[at - 1] == QLatin1Char('\\')) << "unescaped " << line.toStdString();
  }
  EXPECT_TRUE(fence.isEmpty()) << "every block is closed";
  EXPECT_EQ(blocks, 6) << "one block per body that is not null";
  EXPECT_EQ(headings,
            (QStringList{QStringLiteral("# Notarium notebook"), QStringLiteral("## Šifre i lozinke"),
                         QStringLiteral("### _No title_"),
                         QStringLiteral("### Alarm \\<script\\>alert('x')\\</script\\> \\& \"y\""),
                         QStringLiteral("### Dupli"), QStringLiteral("### Dupli"), QStringLiteral("### Zadnja"),
                         QStringLiteral("## Prazna"), QStringLiteral("## \\<b\\>Kod\\</b\\> \\& \"navodnici\""),
                         QStringLiteral("### \\*\\_\\[link\\](x)\\_\\* \\#"), QStringLiteral("### Đak")}));
  EXPECT_TRUE(
      md.contains(QStringLiteral("````\n# nije naslov\n## ni ovo\n```\n<script>alert(1)</script> &amp;\n````\n")))
      << "the body as it is, in a fence longer than its own backticks";
  EXPECT_TRUE(md.contains(QStringLiteral("## Prazna\n\n_No entries._\n")));
  EXPECT_TRUE(md.contains(QStringLiteral("Entered 2024-05-01T10:20:30 · favourite")));
}

TEST(ExchangeImport, BadExportsAreRefusedNamingTheEntry) {
  const auto entry = [](const QString& fields) {
    return QStringLiteral(
               R"({"format":"notarium-export","version":1,"categories":[{"name":"Prva","entries":[]},)"
               R"({"name":"Posao","entries":[{"title":"ok","body":null,"entered":null,"favorite":false},%1]}]})")
        .arg(fields);
  };
  const QString longTitle = QString(256, QChar(0x0161));  // š: two bytes each, one character
  struct Row {
    QString json;
    QStringList expected;
  };
  const Row rows[] = {
      {QStringLiteral(R"({"format":"notarium-export","version":1,"categories":[{"name":"A","entries":[)"),
       {QStringLiteral("not whole, readable JSON")}},
      {QStringLiteral("{\"format\": \"notarium-export\", nonsense}"), {QStringLiteral("JSON"), QStringLiteral("byte")}},
      {QStringLiteral("[1, 2]"), {QStringLiteral("not a Notarium export")}},
      {QStringLiteral(R"({"format":"other","version":1,"categories":[]})"),
       {QStringLiteral("not a Notarium export"), QStringLiteral("format")}},
      {QStringLiteral(R"({"version":1,"categories":[]})"), {QStringLiteral("not a Notarium export")}},
      {QStringLiteral(R"({"format":"notarium-export","version":2,"categories":[]})"), {QStringLiteral("version")}},
      {QStringLiteral(R"({"format":"notarium-export","version":1,"categories":{}})"), {QStringLiteral("categories")}},
      {QStringLiteral(R"({"format":"notarium-export","version":1,"categories":[{"name":"A","entries":[]},)"
                      R"({"entries":[{"title":"t","body":"b","entered":null,"favorite":false}]}]})"),
       {QStringLiteral("Category 2, entry 1"), QStringLiteral("no category")}},
      {QStringLiteral(R"({"format":"notarium-export","version":1,"categories":[{"name":7,"entries":[]}]})"),
       {QStringLiteral("Category 1"), QStringLiteral("\"name\" is a number")}},
      {QStringLiteral(R"({"format":"notarium-export","version":1,"categories":[{"name":"A"}]})"),
       {QStringLiteral("Category 1 \"A\""), QStringLiteral("\"entries\"")}},
      {entry(QStringLiteral(R"({"title":"%1","body":"b","entered":null,"favorite":false})").arg(longTitle)),
       {QStringLiteral("Category 2 \"Posao\", entry 2"), QStringLiteral("256 characters"), QStringLiteral("255")}},
      {entry(QStringLiteral(R"({"title":5,"body":"b","entered":null,"favorite":false})")),
       {QStringLiteral("Category 2 \"Posao\", entry 2"), QStringLiteral("\"title\" is a number")}},
      {entry(QStringLiteral(R"({"body":"b","entered":null,"favorite":false})")),
       {QStringLiteral("entry 2"), QStringLiteral("no \"title\"")}},
      {entry(QStringLiteral(R"({"title":"t","body":"b","entered":null,"favorite":"yes"})")),
       {QStringLiteral("entry 2"), QStringLiteral("\"favorite\" is text")}},
      {entry(QStringLiteral(R"({"title":"t","body":"b","entered":null,"favourite":true})")),
       {QStringLiteral("entry 2"), QStringLiteral("\"favourite\" is not a field")}},
      {entry(QStringLiteral(R"({"title":"t","body":"b","entered":"2024-02-30","favorite":true})")),
       {QStringLiteral("entry 2"), QStringLiteral("2024-02-30")}},
      {entry(QStringLiteral(R"({"title":"t","body":"b","entered":"2024-02-03 10:00:00","favorite":true})")),
       {QStringLiteral("entry 2"), QStringLiteral("yyyy-MM-ddThh:mm:ss")}},
      {entry(QStringLiteral("\"just text\"")), {QStringLiteral("entry 2"), QStringLiteral("not an object")}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.json.left(120).toStdString());
    try {
      ParseJsonExport(row.json.toUtf8());
      ADD_FAILURE() << "accepted";
    } catch (const EImportError& e) {
      for (const QString& part : row.expected)
        EXPECT_TRUE(e.Message().contains(part)) << e.Message().toStdString() << "\nlacks: " << part.toStdString();
    }
  }
}

// The engine counts characters, not bytes or UTF-16 units: 255 letters of two bytes, or of two UTF-16 units, fit.
TEST(ExchangeImport, TitlesOfAtMost255CharactersGoIn) {
  QTemporaryDir dir;
  const QString longest[] = {QString(255, QChar(0x0161)),
                             QString::fromUcs4(std::u32string(255, U'\U0001F4D3').c_str())};
  for (const QString& title : longest) {
    const QString json =
        QStringLiteral(R"({"format":"notarium-export","version":1,"categories":[{"name":"%1","entries":[)"
                       R"({"title":"%1","body":"b","entered":"2024-01-01T00:00:01","favorite":true}]}]})")
            .arg(title);
    const QString file = dir.filePath(QStringLiteral("n%1.mdb").arg(title.size()));
    ImportNotebook(ParseJsonExport(json.toUtf8()), file);
    const TExchangeNotebook back = ReadNotebook(file);
    ASSERT_EQ(back.size(), 1u);
    ASSERT_EQ(back[0].entries.size(), 1u);
    EXPECT_EQ(back[0].entries[0].title, title);
    EXPECT_EQ(back[0].entries[0].entered->time(), QTime(0, 0, 1));
  }
}

// A path taken between the check and the placing of the new notebook stays as it was; the hidden file goes.
TEST_F(ExchangeTest, ImportNeverOverwritesAPathTakenMeanwhile) {
  const TExchangeNotebook notebook = ReadNotebook(File());
  const QString target = Path("new.mdb");
  SetCreateNotebookHook([&](TCreateStep step) {
    if (step != TCreateStep::Built) return;
    QFile f(target);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("someone else's");
  });
  try {
    ImportNotebook(notebook, target);
    ADD_FAILURE() << "imported over another file";
  } catch (const EDatabaseError& e) {
    EXPECT_TRUE(e.Message().contains(QStringLiteral("already exists; nothing was changed."))) << e.what();
  }
  SetCreateNotebookHook({});
  EXPECT_EQ(ReadFile(target), QByteArray("someone else's"));
  EXPECT_EQ(FolderEntries(folder.path()), (QStringList{QStringLiteral("db.mdb"), QStringLiteral("new.mdb")}));
}

TEST_F(ExchangeTest, BackupIsTheWholeNotebookUnderTheSamePassword) {
  const QByteArray before = ReadFile(File());
  const TNotebookCounts counts = BackupNotebook(File(), Path("copy.mdb"));
  EXPECT_EQ(counts.entries, 7);
  EXPECT_EQ(counts.categories, 3);
  EXPECT_EQ(ReadFile(File()), before) << "the notebook is only read";
  EXPECT_EQ(WriteExport(ReadNotebook(Path("copy.mdb")), TExportFormat::Json),
            WriteExport(ReadNotebook(File()), TExportFormat::Json));
  EXPECT_FALSE(ReadFile(Path("copy.mdb")).startsWith("SQLite format 3")) << "the copy is encrypted";
  try {
    CheckNotebook(Path("copy.mdb"), QStringLiteral("not the password"));
    ADD_FAILURE() << "the copy opens with another password";
  } catch (const EDatabaseError& e) {
    EXPECT_TRUE(e.Message().contains(QStringLiteral("another password"))) << e.what();
  }
  EXPECT_EQ(FolderEntries(folder.path()), (QStringList{QStringLiteral("copy.mdb"), QStringLiteral("db.mdb")}));
}

// Export refuses what check refuses, with check's messages.
TEST(ExchangeExport, RefusesWhatIsNoNotebookOfOurs) {
  QTemporaryDir dir;
  QFile text(dir.filePath(QStringLiteral("text.mdb")));
  ASSERT_TRUE(text.open(QIODevice::WriteOnly));
  text.write("just some text\n");
  text.close();
  CreateNotebook(dir.filePath(QStringLiteral("other.mdb")), QStringLiteral("secret"));
  {
    TSqlDatabase bare(dir.filePath(QStringLiteral("bare.mdb")), kNotebookPassword, TSqlDatabase::OpenMode::Create);
    bare.Exec(QStringLiteral("CREATE TABLE kategorije (ID INTEGER PRIMARY KEY, Category TEXT)"));
  }
  const std::pair<const char*, const char*> rows[] = {{"missing.mdb", "does not exist"},
                                                      {"text.mdb", "is not a notebook"},
                                                      {"other.mdb", "another password"},
                                                      {"bare.mdb", "is not a notebook: it has no table notes"}};
  for (const auto& [file, expected] : rows) {
    SCOPED_TRACE(file);
    const QString path = dir.filePath(QString::fromLatin1(file));
    QString checkSays;
    try {
      CheckNotebook(path);
    } catch (const EDatabaseError& e) {
      checkSays = e.Message();
    }
    try {
      ReadNotebook(path);
      ADD_FAILURE() << "exported";
    } catch (const EDatabaseError& e) {
      EXPECT_TRUE(e.Message().contains(QString::fromLatin1(expected))) << e.what();
      EXPECT_EQ(e.Message(), checkSays);
    }
  }
}

}  // namespace
