// Datasets over the notebook: navigation, locating, appending, editing,
// deleting, and what a static cursor shows of changes made elsewhere.
#include "StoreFixture.h"

#include "JetSql.h"

TEST_F(StoreTest, EmptyDatasetHasNoCurrentRowAndFieldsReadEmpty) {
  TADOTable* t = Table(QStringLiteral("ADOTable1"), QStringLiteral("kategorije"));
  t->Open();
  EXPECT_TRUE(t->Active());
  EXPECT_TRUE(t->IsEmpty());
  EXPECT_EQ(t->RecNo(), 0);
  EXPECT_TRUE(t->Eof());
  EXPECT_TRUE(t->Bof());
  EXPECT_EQ(t->FieldByName(QStringLiteral("ID"))->AsString(), QString());
  EXPECT_EQ(t->FieldByName(QStringLiteral("category"))->AsString(), QString()) << "field names ignore case";
  EXPECT_EQ(t->FieldByName(QStringLiteral("ID"))->AsInteger(), 0);
  EXPECT_THROW(t->FieldByName(QStringLiteral("Nope")), EDatabaseError);
  EXPECT_THROW(t->Edit(), EDatabaseError);
  EXPECT_THROW(t->Delete(), EDatabaseError);
  t->First();
  t->Next();
  t->Last();
  EXPECT_EQ(t->RecNo(), 0);
}

TEST_F(StoreTest, NavigationAndLocate) {
  for (const char* name : {"Recepti", "Posao", "Kuća", "Posao"}) AddCategory(QString::fromUtf8(name));
  TADOTable* t = Table(QStringLiteral("ADOTable1"), QStringLiteral("kategorije"));
  t->Open();
  auto name = [&] { return t->FieldByName(QStringLiteral("Category"))->AsString(); };
  ASSERT_EQ(t->RecordCount(), 4);
  EXPECT_EQ(t->RecNo(), 1) << "a freshly opened dataset has its first row current";
  EXPECT_EQ(name(), QStringLiteral("Recepti")) << "rows in the order the table keeps them";
  t->Next();
  EXPECT_EQ(name(), QStringLiteral("Posao"));
  EXPECT_FALSE(t->Eof());
  t->Last();
  EXPECT_EQ(t->RecNo(), 4);
  t->Next();
  EXPECT_TRUE(t->Eof());
  EXPECT_EQ(t->RecNo(), 4) << "stepping past the end stays on the last row";
  t->Prior();
  EXPECT_FALSE(t->Eof());
  EXPECT_EQ(name(), QString::fromUtf8("Kuća"));
  t->First();
  t->Prior();
  EXPECT_TRUE(t->Bof());
  EXPECT_EQ(t->RecNo(), 1);
  t->SetRecNo(3);  // a click on the third row
  EXPECT_EQ(name(), QString::fromUtf8("Kuća"));

  EXPECT_TRUE(t->Locate(QStringLiteral("Category"), QStringLiteral("Posao")));
  EXPECT_EQ(t->RecNo(), 2) << "the first row of that name";
  const qint64 id = t->FieldByName(QStringLiteral("ID"))->AsInteger();
  EXPECT_TRUE(t->Locate(QStringLiteral("ID"), QString::number(id)));
  EXPECT_FALSE(t->Locate(QStringLiteral("Category"), QStringLiteral("posao"))) << "locating compares exactly";
  EXPECT_EQ(t->RecNo(), 2) << "a failed locate leaves the current row";
}

TEST_F(StoreTest, AppendEditPostAndDeleteShowAtOnce) {
  TADOTable* t = Table(QStringLiteral("ADOTable1"), QStringLiteral("kategorije"));
  t->Open();
  for (const char* name : {"Prva", "Druga", "Treća"}) {
    t->Append();
    EXPECT_EQ(t->State(), dsInsert);
    t->FieldByName(QStringLiteral("Category"))->SetAsString(QString::fromUtf8(name));
    t->Post();
    EXPECT_EQ(t->State(), dsBrowse);
    EXPECT_EQ(t->FieldByName(QStringLiteral("Category"))->AsString(), QString::fromUtf8(name))
        << "the new row is current";
    EXPECT_GT(t->FieldByName(QStringLiteral("ID"))->AsInteger(), 0) << "the database assigns the ID";
  }
  EXPECT_EQ(t->RecordCount(), 3);
  t->First();
  t->Edit();
  t->FieldByName(QStringLiteral("Category"))->SetAsString(QStringLiteral("Prva, preimenovana"));
  t->Post();
  EXPECT_EQ(t->FieldByName(QStringLiteral("Category"))->AsString(), QStringLiteral("Prva, preimenovana"));

  // Deleting moves to the next row; deleting the last moves to the new last.
  t->First();
  t->Delete();
  EXPECT_EQ(t->FieldByName(QStringLiteral("Category"))->AsString(), QStringLiteral("Druga"));
  t->Last();
  t->Delete();
  EXPECT_EQ(t->FieldByName(QStringLiteral("Category"))->AsString(), QStringLiteral("Druga"));
  t->Delete();
  EXPECT_TRUE(t->IsEmpty());
  EXPECT_EQ(CheckNotebook(File()).categories, 0);
}

TEST_F(StoreTest, StaticCursorSeesOtherDatasetsChangesOnlyWhenReopened) {
  const qint64 cat = AddCategory(QStringLiteral("Posao"));
  AddEntry(cat, QStringLiteral("B"), QStringLiteral("b"));
  TADOQuery* a = Query(QStringLiteral("naslov"));
  TADOQuery* b = Query(QStringLiteral("ADOQuery1"));
  const QString text = QStringLiteral("select * from notes where Cat_id=%1 order by Title").arg(cat);
  Run(a, text);
  Run(b, text);
  a->Append();
  a->FieldByName(QStringLiteral("Title"))->SetAsString(QStringLiteral("A"));
  a->FieldByName(QStringLiteral("Cat_id"))->SetAsInteger(cat);
  a->Post();
  EXPECT_EQ(Titles(a), (QStringList{QStringLiteral("B"), QStringLiteral("A")})) << "its own Post shows at once";
  EXPECT_EQ(Titles(b), QStringList{QStringLiteral("B")}) << "others see it only after a re-open";
  b->Close();
  b->Open();
  EXPECT_EQ(Titles(b), (QStringList{QStringLiteral("A"), QStringLiteral("B")}));
  a->First();
  a->Delete();
  EXPECT_EQ(Titles(a), QStringList{QStringLiteral("A")});
  EXPECT_EQ(Titles(b).size(), 2);
  b->SetActive(false);
  b->SetActive(true);
  EXPECT_EQ(Titles(b), QStringList{QStringLiteral("A")});
  EXPECT_EQ(b->RecNo(), 1) << "after a re-run the first row is current";
}

TEST_F(StoreTest, QueryTextIsAStringListAndChangingItCloses) {
  TADOQuery* q = Query(QStringLiteral("ADOQuery1"));
  EXPECT_TRUE(q->SQL()->Text().isEmpty());
  EXPECT_THROW(q->Open(), EDatabaseError) << "an empty text runs nothing";
  Run(q, QStringLiteral("select * from kategorije"));
  EXPECT_TRUE(q->Active());
  EXPECT_FALSE(q->SQL()->Text().isEmpty());
  q->SQL()->Clear();
  EXPECT_FALSE(q->Active());
}

TEST_F(StoreTest, OnlyWholeRowsOfOneTableAreUpdatable) {
  const qint64 cat = AddCategory(QStringLiteral("Posao"));
  AddEntry(cat, QStringLiteral("Title"), QStringLiteral("Body"));
  TADOQuery* q = Query(QStringLiteral("ADOQuery1"));
  Run(q, QStringLiteral("select Title from notes"));
  EXPECT_TRUE(q->UpdateTable().isEmpty());
  q->Edit();
  q->FieldByName(QStringLiteral("Title"))->SetAsString(QStringLiteral("x"));
  EXPECT_THROW(q->Post(), EDatabaseError);
  EXPECT_EQ(q->State(), dsEdit) << "a failed post keeps the editing state";
  q->Cancel();
  EXPECT_EQ(Titles(q), QStringList{QStringLiteral("Title")});

  Run(q, QStringLiteral("select * from notes where Cat_id=%1 order by Title").arg(cat));
  EXPECT_EQ(q->UpdateTable(), QStringLiteral("notes"));
  q->Edit();
  q->FieldByName(QStringLiteral("Favorite"))->SetAsInteger(1);
  q->Post();
  Run(q, QStringLiteral("select * from notes where Cat_id = %1  and Favorite=1 order by Title").arg(cat));
  EXPECT_EQ(Titles(q), QStringList{QStringLiteral("Title")});
}

TEST_F(StoreTest, EngineErrorsCarryTheEngineTextAndKeepTheDataset) {
  const qint64 cat = AddCategory(QStringLiteral("Posao"));
  AddEntry(cat, QStringLiteral("Keep"), QStringLiteral("me"));
  TADOQuery* q = Query(QStringLiteral("naslov"));
  try {
    Run(q, QStringLiteral("select * from notes where (Title like \"%\"%\") and Cat_id=1"));
    ADD_FAILURE();
  } catch (const EDatabaseError& e) {
    EXPECT_FALSE(e.Message().isEmpty());
  }
  EXPECT_FALSE(q->Active()) << "a malformed query stays closed";

  Run(q, QStringLiteral("select * from notes where Cat_id=%1 order by Title").arg(cat));
  struct Row {
    const char* field;
    QVariant value;
    const char* engineText;
  } rows[] = {
      {"Title", QVariant(QString(300, QLatin1Char('x'))), "constraint failed"},
      {"Cat_id", QVariant(qint64(9999)), "FOREIGN KEY constraint failed"},
      {"Favorite", QVariant(qint64(2)), "constraint failed"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.field);
    q->Edit();
    q->FieldByName(QString::fromLatin1(r.field))->SetValue(r.value);
    try {
      q->Post();
      ADD_FAILURE() << "posted";
    } catch (const EDatabaseError& e) {
      EXPECT_TRUE(e.Message().contains(QString::fromLatin1(r.engineText))) << e.Message().toStdString();
    }
    EXPECT_EQ(q->State(), dsEdit);
    q->Cancel();
    EXPECT_EQ(Titles(q), QStringList{QStringLiteral("Keep")}) << "the rows are as they were";
  }
  Run(q, QStringLiteral("select * from notes where Cat_id=%1 order by Title").arg(cat));
  EXPECT_EQ(q->FieldByName(QStringLiteral("Favorite"))->AsInteger(), 0);
}

TEST_F(StoreTest, DeletingACategoryDeletesItsEntries) {
  const qint64 work = AddCategory(QStringLiteral("Posao"));
  const qint64 home = AddCategory(QStringLiteral("Kuća"));
  AddEntry(work, QStringLiteral("w1"), QString(), true);
  AddEntry(work, QStringLiteral("w2"), QString());
  AddEntry(home, QStringLiteral("h1"), QString(), true);
  TADOQuery* favourites = Query(QStringLiteral("ADOQuery1"));
  Run(favourites, QStringLiteral("select * from notes where Cat_id = %1  and Favorite=1 order by Title").arg(work));
  ASSERT_EQ(Titles(favourites), QStringList{QStringLiteral("w1")});

  TADOTable* categories = Table(QStringLiteral("ADOTable1"), QStringLiteral("kategorije"));
  categories->Open();
  ASSERT_TRUE(categories->Locate(QStringLiteral("ID"), QString::number(work)));
  categories->Delete();
  categories->SetActive(false);
  categories->SetActive(true);
  EXPECT_EQ(categories->RecordCount(), 1);

  EXPECT_EQ(CheckNotebook(File()).entries, 1);
  EXPECT_EQ(Titles(favourites), QStringList{QStringLiteral("w1")}) << "until re-run the list shows the old rows";
  favourites->Close();
  favourites->Open();
  EXPECT_TRUE(Titles(favourites).isEmpty());
  TADOQuery* browse = Query(QStringLiteral("naslov"));
  Run(browse, QStringLiteral("select * from notes where Cat_id=%1 order by Title").arg(work));
  EXPECT_TRUE(browse->IsEmpty());
}

TEST_F(StoreTest, TextComesBackUnchangedAndDatesShowAlone) {
  const qint64 cat = AddCategory(QString::fromUtf8("Ćirilica i ostalo"));
  const QStringList texts = {QString::fromUtf8("Šđčćž ŠĐČĆŽ"), QString::fromUtf8("Ћирилица: љубав, њива, џак"),
                             QString::fromUtf8("日本語 и emoji 😀"), QStringLiteral("line1\r\nline2\r\n\r\nline4"),
                             QStringLiteral("quote ' and \" and ;")};
  for (const QString& t : texts) AddEntry(cat, t, t);
  TADOQuery* q = Query(QStringLiteral("naslov"));
  Run(q, QStringLiteral("select * from notes where Cat_id=%1").arg(cat));
  QStringList titles, bodies;
  for (q->First(); !q->Eof(); q->Next()) {
    titles << q->FieldByName(QStringLiteral("Title"))->AsString();
    bodies << q->FieldByName(QStringLiteral("Body"))->AsString();
    const QDateTime entered = q->FieldByName(QStringLiteral("Entered"))->AsDateTime();
    EXPECT_EQ(entered.date(), QDate::currentDate());
    EXPECT_EQ(entered.time(), QTime(0, 0)) << "entered at midnight";
    EXPECT_EQ(q->FieldByName(QStringLiteral("Entered"))->AsString(),
              QDate::currentDate().toString(QStringLiteral("dd.MM.yyyy")))
        << "the date alone";
  }
  EXPECT_EQ(titles, texts);
  EXPECT_EQ(bodies, texts);
}

TEST_F(StoreTest, SearchTextsAreMatchedLiterally) {
  const qint64 cat = AddCategory(QStringLiteral("Posao"));
  const QStringList bodies = {QStringLiteral("he said \"hi\" to me"),
                              QStringLiteral("50% off"),
                              QStringLiteral("500 off"),
                              QStringLiteral("a_b"),
                              QStringLiteral("axb"),
                              QStringLiteral("[x] marks"),
                              QStringLiteral("x marks"),
                              QString::fromUtf8("ČAŠA vode"),
                              QStringLiteral("plain")};
  for (int i = 0; i < bodies.size(); ++i) AddEntry(cat, QStringLiteral("t%1").arg(i), bodies[i]);
  // The search query as the search page builds it.
  auto search = [&](const QString& typed) {
    const QString s = EscapeJetLikeText(typed);
    TADOQuery* q = Query(QStringLiteral("naslov%1").arg(++made));
    Run(q, QStringLiteral("select * from notes where (Title like \"%") + s + QStringLiteral("%\" or Body like \"%") +
               s + QStringLiteral("%\") and Cat_id=") + QString::number(cat) + QStringLiteral(" order by Title"));
    QStringList found;
    for (q->First(); !q->Eof(); q->Next()) found << q->FieldByName(QStringLiteral("Body"))->AsString();
    return found;
  };
  struct Row {
    const char* typed;
    QStringList expected;
  } rows[] = {
      {"say \"hi\"", {}},        {"said \"hi\"", {bodies[0]}}, {"\"", {bodies[0]}},
      {"50%", {bodies[1]}},      {"a_b", {bodies[3]}},         {"[x", {bodies[5]}},
      {"x] marks", {bodies[5]}}, {"čaša", {bodies[7]}},        {"%\" or 1=1 or Title like \"", {}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.typed);
    EXPECT_EQ(search(QString::fromUtf8(r.typed)), r.expected);
  }
  EXPECT_EQ(search(QString()).size(), bodies.size()) << "an empty search lists every entry with a title or body";
}

TEST_F(StoreTest, TitlesSortInSerbianOrderIgnoringCase) {
  const qint64 cat = AddCategory(QStringLiteral("Slova"));
  for (const char* t : {"žaba", "Zub", "šuma", "Sunce", "đak", "Dan", "ćup", "čaj", "Cvijet", "abc"})
    AddEntry(cat, QString::fromUtf8(t), QString());
  TADOQuery* q = Query(QStringLiteral("naslov"));
  Run(q, QStringLiteral("select * from notes where Cat_id=%1 order by Title").arg(cat));
  QStringList expected;
  for (const char* t : {"abc", "Cvijet", "čaj", "ćup", "Dan", "đak", "Sunce", "šuma", "Zub", "žaba"})
    expected << QString::fromUtf8(t);
  EXPECT_EQ(Titles(q), expected);
}

TEST_F(StoreTest, RequeryReadsAgainButAFailureKeepsTheRows) {
  const qint64 cat = AddCategory(QStringLiteral("Posao"));
  AddEntry(cat, QStringLiteral("B"), QStringLiteral("b"));
  AddEntry(cat, QStringLiteral("C"), QStringLiteral("c"));
  TADOQuery* q = Query(QStringLiteral("naslov"));
  Run(q, QStringLiteral("select * from notes where Cat_id=%1 order by Title").arg(cat));
  q->Last();
  AddEntry(cat, QStringLiteral("A"), QStringLiteral("a"));
  q->Requery();
  EXPECT_EQ(Titles(q), (QStringList{QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")}));
  EXPECT_EQ(q->RecNo(), 1) << "the first row is current, as after a close and open";

  // A pending edit is given up, as closing does.
  q->Edit();
  q->FieldByName(QStringLiteral("Title"))->SetAsString(QStringLiteral("Z"));
  q->Requery();
  EXPECT_EQ(q->State(), dsBrowse);
  EXPECT_EQ(Titles(q).first(), QStringLiteral("A"));

  // The table goes away under the list: the error is raised and the list
  // keeps its rows, still able to store.
  {
    TSqlDatabase other(File(), kNotebookPassword, TSqlDatabase::OpenMode::MustExist);
    other.Exec(QStringLiteral("ALTER TABLE notes RENAME TO notes_away"));
  }
  EXPECT_THROW(q->Requery(), EDatabaseError);
  EXPECT_TRUE(q->Active());
  EXPECT_EQ(Titles(q), (QStringList{QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")}));
  {
    TSqlDatabase other(File(), kNotebookPassword, TSqlDatabase::OpenMode::MustExist);
    other.Exec(QStringLiteral("ALTER TABLE notes_away RENAME TO notes"));
  }
  q->Last();
  q->Edit();
  q->FieldByName(QStringLiteral("Title"))->SetAsString(QStringLiteral("D"));
  q->Post();
  q->Requery();
  EXPECT_EQ(Titles(q), (QStringList{QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("D")}));

  TADOQuery* closed = Query(QStringLiteral("ADOQuery1"));
  closed->SQL()->Add(QStringLiteral("select * from kategorije"));
  closed->Requery();
  EXPECT_TRUE(closed->Active()) << "a closed dataset opens";
}
