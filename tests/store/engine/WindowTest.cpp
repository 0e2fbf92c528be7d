// Datasets configured in a window definition open when the window has
// loaded; a notebook that cannot be opened is reported once and the window
// opens without data.
#include "StoreFixture.h"

#include "Definition.h"
#include "Forms.h"

namespace {

class TStoreForm : public TForm {
  Q_OBJECT
public:
  using TForm::TForm;
};

QString Definition() {
  return QStringLiteral(
             "object StoreForm: TStoreForm\n"
             "  object ADOConnection1: TADOConnection\n"
             "    Connected = True\n"
             "    ConnectionString = '%1'\n"
             "    LoginPrompt = False\n"
             "    Mode = cmShareDenyNone\n"
             "  end\n"
             "  object ADOTable1: TADOTable\n"
             "    Active = True\n"
             "    Connection = ADOConnection1\n"
             "    CursorType = ctStatic\n"
             "    TableName = 'kategorije'\n"
             "  end\n"
             "  object DataSource1: TDataSource\n"
             "    DataSet = ADOTable1\n"
             "  end\n"
             "  object naslov: TADOQuery\n"
             "    Connection = ADOConnection1\n"
             "    CursorType = ctStatic\n"
             "  end\n"
             "end\n")
      .arg(QString(kFormConnectionString).replace(QLatin1Char('\''), QStringLiteral("''")));
}

}  // namespace

TEST_F(StoreTest, DefinitionOpensTheConnectionAndTablesWhenLoaded) {
  RegisterStoreClasses();
  RegisterComponentClass<TStoreForm>();
  AddCategory(QStringLiteral("Posao"));
  TStoreForm form;
  LoadWindowDefinitionText(&form, Definition(), QStringLiteral("StoreForm.def"));
  auto* c = qobject_cast<TADOConnection*>(form.FindComponent(QStringLiteral("ADOConnection1")));
  auto* t = qobject_cast<TADOTable*>(form.FindComponent(QStringLiteral("ADOTable1")));
  auto* q = qobject_cast<TADOQuery*>(form.FindComponent(QStringLiteral("naslov")));
  ASSERT_TRUE(c && t && q);
  EXPECT_TRUE(c->Connected());
  EXPECT_FALSE(c->LoginPrompt());
  EXPECT_EQ(c->Mode(), cmShareDenyNone);
  EXPECT_TRUE(t->Active());
  EXPECT_EQ(t->FieldByName(QStringLiteral("Category"))->AsString(), QStringLiteral("Posao"));
  EXPECT_FALSE(q->Active()) << "queries stay closed until first run";
  EXPECT_TRUE(q->SQL()->Text().isEmpty());
  EXPECT_TRUE(host.Errors().empty());
}

TEST_F(StoreTest, AMissingNotebookIsReportedOnceAndTheWindowStillOpens) {
  RegisterStoreClasses();
  QFile::remove(File());
  TStoreForm form;
  ASSERT_NO_THROW(LoadWindowDefinitionText(&form, Definition(), QStringLiteral("StoreForm.def")));
  const auto errors = host.Errors();
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_TRUE(errors[0].contains(QStringLiteral("does not exist"))) << errors[0].toStdString();
  auto* t = qobject_cast<TADOTable*>(form.FindComponent(QStringLiteral("ADOTable1")));
  EXPECT_FALSE(t->Active());
  EXPECT_FALSE(QFile::exists(File())) << "nothing is created";
}

#include "WindowTest.moc"
