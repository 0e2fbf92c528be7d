// The four dialogs, opened from the main window's commands and driven
// through their handlers and the modal seam on a real notebook.
#include "EditovanjeZapisa.h"
#include "Jezik.h"
#include "Kategorije.h"
#include "MainWindowFixture.h"
#include "NoviUnos.h"

#include <QApplication>
#include <QClipboard>
#include <QDate>
#include <QScreen>

namespace {

const std::vector<SeedEntry> kEntries = {
    {"Recepti", "Ćevapi", "Meso, luk i lepinja.", true},
    {"Recepti", "Sarma", "Kupus.", false},
    {"Posao", "Sastanak", "U ponedjeljak u devet.", false},
};

class Dialogs : public MainWindowFixture {
protected:
  std::vector<SeedEntry> Seed() const override { return kEntries; }

  // Opens a dialog with `command` and runs `script` in it as the user, after
  // the dialog has become the active window.
  template <class T>
  void Open(void (TForm1::*command)(TObject*), const std::function<void(T&)>& script) {
    host.OnModal([&script](TCustomForm& form) {
      auto& dialog = dynamic_cast<T&>(form);
      form.Activate();
      script(dialog);
    });
    AsUser([command] { (Form1->*command)(nullptr); });
  }
  // Closes a dialog as its modal loop does, close question included; false
  // when the dialog stays open.
  static bool Closes(TCustomForm& dialog) {
    dialog.Close();
    return dialog.ModalLoopDone();
  }
  static int Count(const QString& sql) {
    TSqlDatabase db(QStringLiteral("db.mdb"), kNotebookPassword, TSqlDatabase::OpenMode::MustExist);
    TSqlStatement q = db.Prepare(sql);
    return q.Step() ? q.Column(0).toInt() : -1;
  }
  std::vector<QString> Texts(ShownBox::Kind kind) const {
    std::vector<QString> texts;
    for (const ShownBox& b : host.ShownOf(kind)) texts.push_back(b.text);
    return texts;
  }
  static void Type(TMemo* memo, const QString& text) {
    memo->SetText(text);
    memo->SetModified(true);  // as the user's typing leaves it
  }
};

// Each dialog opens at its designed size; the two with a fixed border cannot
// be resized.
TEST_F(Dialogs, DialogsOpenAtTheirDesignedSizes) {
  auto check = [](TCustomForm& d, QSize size, bool fixed) {
    EXPECT_EQ(d.Window()->size(), size) << d.Name().toStdString();
    EXPECT_EQ(d.Window()->minimumSize() == d.Window()->maximumSize(), fixed) << d.Name().toStdString();
    d.Close();
  };
  Open<TNoviUnos>(&TForm1::Noviunos1Click, [&](TNoviUnos& d) { check(d, QSize(741, 561), false); });
  Open<TKategorije>(&TForm1::Novakategorija1Click, [&](TKategorije& d) { check(d, QSize(369, 352), true); });
  Open<TJezik>(&TForm1::JezikLanguage1Click, [&](TJezik& d) { check(d, QSize(317, 208), true); });
  Choose(Form1->DBLookupComboBox1, QStringLiteral("Posao"));
  Open<TEditovanjeZapisa>(&TForm1::Editujzapis1Click, [&](TEditovanjeZapisa& d) { check(d, QSize(820, 569), false); });
}

// --- New entry ------------------------------------------------------------------------

TEST_F(Dialogs, NewEntryAsksBeforeItChecksAndStoresSeveralInARow) {
  Choose(Form1->DBLookupComboBox1, QStringLiteral("Recepti"));
  Choose(Form1->DBLookupComboBox2, QStringLiteral("Recepti"));
  Form1->naslov->Last();
  Open<TNoviUnos>(&TForm1::Noviunos1Click, [this](TNoviUnos& d) {
    EXPECT_EQ(NoviUnos, &d) << "the dialog is reachable while it is open";
    EXPECT_FALSE(d.Button1->Enabled()) << "Save waits for a category";
    d.Edit1->SetText(QStringLiteral("Bez kategorije"));
    EXPECT_FALSE(d.Button1->Enabled()) << "a title alone does not enable Save";
    Choose(d.DBLookupComboBox1, QStringLiteral("Recepti"));
    ASSERT_TRUE(d.Button1->Enabled());

    // Yes with an empty title: the question comes first, then message 13.
    d.Edit1->Clear();
    host.Answer(mrYes);
    d.Button1Click(nullptr);
    EXPECT_EQ(Texts(ShownBox::Message), std::vector<QString>{QStringLiteral("Unijeti novi zapis?")});
    EXPECT_EQ(Texts(ShownBox::Notice),
              std::vector<QString>{QStringLiteral("Morate odabrati kategoriju i unijeti naslov!")});

    for (const char* title : {"Pita", "Gibanica"}) {
      host.Clear();
      d.Edit1->SetText(QString::fromUtf8(title));
      Type(d.Memo1, QStringLiteral("Prvi red\r\nDrugi red"));
      d.CheckBox1->SetChecked(QByteArray(title) == "Pita");
      host.Answer(mrYes);
      d.Button1Click(nullptr);
      EXPECT_EQ(Texts(ShownBox::Notice), std::vector<QString>{QStringLiteral("Uspiješno ste unijeli novi zapis")});
      EXPECT_TRUE(d.Edit1->Text().isEmpty());
      EXPECT_TRUE(d.Memo1->Text().isEmpty());
      EXPECT_FALSE(d.Memo1->Modified());
      EXPECT_FALSE(d.CheckBox1->Checked());
      EXPECT_EQ(d.DBLookupComboBox1->Text(), QStringLiteral("Recepti")) << "the category stays";
      EXPECT_TRUE(d.Button1->Enabled());
    }
    host.Clear();
    d.Button2Click(nullptr);  // nothing changed since the last save: no question
    EXPECT_TRUE(d.ModalLoopDone());
    EXPECT_TRUE(host.ShownOf(ShownBox::Message).empty());
  });
  EXPECT_EQ(NoviUnos, nullptr) << "freed when its modal loop returns";
  EXPECT_TRUE(host.Errors().empty()) << (host.Errors().empty() ? "" : host.Errors()[0].toStdString());
  EXPECT_EQ(Stored(QStringLiteral("Body"), QStringLiteral("Pita")).toString(), QStringLiteral("Prvi red\r\nDrugi red"));
  EXPECT_EQ(Stored(QStringLiteral("Favorite"), QStringLiteral("Pita")).toInt(), 1);
  EXPECT_EQ(Stored(QStringLiteral("Favorite"), QStringLiteral("Gibanica")).toInt(), 0);
  EXPECT_EQ(Stored(QStringLiteral("Entered"), QStringLiteral("Gibanica")).toString(),
            QDate::currentDate().toString(Qt::ISODate))
      << "today, without a time of day";
  EXPECT_EQ(Stored(QStringLiteral("Cat_id"), QStringLiteral("Gibanica")).toInt(), 1);
  EXPECT_EQ(Count("SELECT count(*) FROM notes WHERE Title = 'Bez kategorije'"), 0);
  // Both lists of the main window were run again and stand on their first row.
  EXPECT_TRUE(Titles(Form1->naslov).contains(QStringLiteral("Gibanica")));
  EXPECT_TRUE(Titles(Form1->ADOQuery1).contains(QStringLiteral("Pita")));
  EXPECT_EQ(Form1->naslov->RecNo(), 1);
}

TEST_F(Dialogs, NewEntryLeavesListsNeverFilledClosed) {
  Open<TNoviUnos>(&TForm1::Noviunos1Click, [this](TNoviUnos& d) {
    Choose(d.DBLookupComboBox1, QStringLiteral("Posao"));
    d.Edit1->SetText(QStringLiteral("Plan"));
    host.Answer(mrYes);
    d.Button1Click(nullptr);
    d.Close();
  });
  EXPECT_EQ(Count("SELECT count(*) FROM notes WHERE Title = 'Plan' AND Cat_id = 2"), 1);
  EXPECT_FALSE(Form1->naslov->Active());
  EXPECT_FALSE(Form1->ADOQuery1->Active());
}

TEST_F(Dialogs, NewEntryCloseQuestion) {
  struct Row {
    const char* name;
    bool body;       // the body was typed in
    bool title;      // a title and a category are there
    int answer;      // to message 15
    bool staysOpen;  // after the first close
    bool stored;
    bool message13;
  };
  const Row rows[] = {
      {"title only", false, true, mrYes, false, false, false},
      {"No discards", true, true, mrNo, false, false, false},
      {"Cancel keeps everything", true, true, mrCancel, true, false, false},
      {"Yes stores", true, true, mrYes, false, true, false},
      {"Yes without a title", true, false, mrYes, true, false, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    host.Clear();
    const QString title = QStringLiteral("Zapis %1").arg(QString::fromUtf8(row.name));
    Open<TNoviUnos>(&TForm1::Noviunos1Click, [&](TNoviUnos& d) {
      Choose(d.DBLookupComboBox1, QStringLiteral("Posao"));
      if (row.title) d.Edit1->SetText(title);
      if (row.body) Type(d.Memo1, QStringLiteral("Tekst"));
      if (row.body) host.Answer(row.answer);
      EXPECT_EQ(!Closes(d), row.staysOpen);
      EXPECT_EQ(host.ShownOf(ShownBox::Message).size(), row.body ? 1u : 0u);
      if (row.body) {
        EXPECT_EQ(host.ShownOf(ShownBox::Message)[0].buttons, TMsgButtons::YesNoCancel);
      }
      EXPECT_EQ(!host.ShownOf(ShownBox::Notice).empty() &&
                    host.ShownOf(ShownBox::Notice)[0].text.startsWith(QStringLiteral("Morate")),
                row.message13);
      if (row.staysOpen) {
        EXPECT_EQ(d.Memo1->Text(), QStringLiteral("Tekst")) << "the fields are kept";
        EXPECT_EQ(d.DBLookupComboBox1->Text(), QStringLiteral("Posao"));
        host.Answer(mrNo);
        EXPECT_TRUE(Closes(d));
      }
    });
    EXPECT_EQ(Count(QStringLiteral("SELECT count(*) FROM notes WHERE Title = '%1'").arg(title)), row.stored ? 1 : 0);
    EXPECT_TRUE(host.Errors().empty());
  }
}

TEST_F(Dialogs, NewEntryRefusedByTheNotebookKeepsWhatWasTyped) {
  Open<TNoviUnos>(&TForm1::Noviunos1Click, [this](TNoviUnos& d) {
    Choose(d.DBLookupComboBox1, QStringLiteral("Posao"));
    d.Edit1->SetText(QString(300, QLatin1Char('x')));
    Type(d.Memo1, QStringLiteral("Tekst"));
    host.Answer(mrYes);
    AsUser([&d] { d.Button1Click(nullptr); });
    EXPECT_EQ(host.Errors().size(), 1u);
    EXPECT_EQ(d.Edit1->Text().size(), 300);
    EXPECT_EQ(d.Memo1->Text(), QStringLiteral("Tekst"));
    EXPECT_EQ(d.ADOTable2->State(), dsBrowse) << "nothing half-stored";
    host.Answer(mrNo);
    d.Close();
  });
  EXPECT_EQ(Count("SELECT count(*) FROM notes"), 3);
}

TEST_F(Dialogs, NewEntryContextMenuAndItsSavedLook) {
  Open<TNoviUnos>(&TForm1::Noviunos1Click, [this](TNoviUnos& d) {
    EXPECT_EQ(d.Memo1->Color(), clInfoBk);
    EXPECT_EQ(d.Memo1->Font()->Style(), TFontStyles(fsBold));
    QApplication::clipboard()->setText(QStringLiteral("iz međuspremnika"));
    d.Boja2Click(nullptr);
    EXPECT_EQ(d.Memo1->Text(), QStringLiteral("iz međuspremnika"));
    EXPECT_TRUE(d.Memo1->Modified()) << "pasting is a change of the body";
    d.Memo1->SelectAll();
    QApplication::clipboard()->clear();
    d.CopyClick(nullptr);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("iz međuspremnika"));

    host.AnswerColor(0x00C0FF);
    d.Color1Click(nullptr);
    host.AnswerFont([](TFont& f) {
      f.SetName(QStringLiteral("Courier New"));
      f.SetHeight(-16);
      f.SetStyle(TFontStyles(fsItalic));
    });
    d.Font1Click(nullptr);
    d.Color1Click(nullptr);  // cancelled: nothing changes
    EXPECT_EQ(d.Memo1->Color(), 0x00C0FF);
    EXPECT_EQ(d.Memo1->Font()->Name(), QStringLiteral("Courier New"));
    host.Answer(mrNo);
    d.Close();
  });
  Open<TNoviUnos>(&TForm1::Noviunos1Click, [](TNoviUnos& d) {
    EXPECT_EQ(d.Memo1->Color(), 0x00C0FF);
    EXPECT_EQ(d.Memo1->Font()->Name(), QStringLiteral("Courier New"));
    EXPECT_EQ(d.Memo1->Font()->Height(), -16);
    EXPECT_EQ(d.Memo1->Font()->Style(), TFontStyles(fsItalic));
    d.Close();
  });
  const QByteArray file = ReadFile(QStringLiteral("NU.ini"));
  EXPECT_TRUE(file.startsWith("[NoviUnos.rsPropSaver1]\r\n")) << file.toStdString();
  EXPECT_TRUE(file.contains("\r\nMemo1.Font.Name=\"Courier New\"\r\n")) << file.toStdString();
  EXPECT_TRUE(host.Errors().empty()) << (host.Errors().empty() ? "" : host.Errors()[0].toStdString());
}

// Whatever NU.ini and ezop.ini hold, the dialogs open, on the screen.
TEST_F(Dialogs, AnySettingsFileLetsTheDialogsOpenOnTheScreen) {
  const QByteArray rows[] = {
      QByteArray("\x00\xff[[[=\"\r\n", 10),
      "[NoviUnos.rsPropSaver1]\r\nFormPlacement=\"0,1,-1,-1,-1,-1,10,20,410\"\r\nMemo1.Color=\"abc\"\r\n",
      "[NoviUnos.rsPropSaver1]\r\nFormPlacement=\"0,1,-1,-1,-1,-1,9000,9000,9741,9561\"\r\n",
      "[EditovanjeZapisa.rsPropSaver1]\r\nFormPlacement=\"0,1,-1,-1,-1,-1,-9000,-9000,-8180,-8431\"\r\n"
      "Width=-5\r\nWindowState=\"wsNowhere\"\r\n",
  };
  Choose(Form1->DBLookupComboBox1, QStringLiteral("Posao"));
  for (const QByteArray& file : rows) {
    SCOPED_TRACE(file.toStdString());
    WriteFile(QStringLiteral("NU.ini"), file);
    WriteFile(QStringLiteral("ezop.ini"), file);
    int opened = 0;
    auto onScreen = [&opened](TCustomForm& d) {
      ++opened;
      const QRect screen = d.Window()->screen()->availableGeometry();
      EXPECT_TRUE(screen.intersects(d.Window()->frameGeometry())) << d.Name().toStdString();
      d.Close();
    };
    Open<TNoviUnos>(&TForm1::Noviunos1Click, onScreen);
    Open<TEditovanjeZapisa>(&TForm1::Editujzapis1Click, onScreen);
    EXPECT_EQ(opened, 2);
  }
}

// --- Edit record ----------------------------------------------------------------------

TEST_F(Dialogs, EditRecordSavesThroughTheSearchList) {
  Choose(Form1->DBLookupComboBox1, QStringLiteral("Recepti"));
  Choose(Form1->DBLookupComboBox2, QStringLiteral("Recepti"));
  Form1->naslov->Last();  // Sarma
  Open<TEditovanjeZapisa>(&TForm1::Editujzapis1Click, [this](TEditovanjeZapisa& d) {
    EXPECT_EQ(d.Memo1->Text(), QStringLiteral("Kupus."));
    EXPECT_FALSE(d.Memo1->Modified());
    Type(d.Memo1, QStringLiteral("Kupus i meso."));
    d.Button1Click(nullptr);  // No: stays open, nothing stored
    EXPECT_EQ(d.ModalResult(), mrNone);
    EXPECT_EQ(Stored(QStringLiteral("Body"), QStringLiteral("Sarma")).toString(), QStringLiteral("Kupus."));
    host.Answer(mrYes);
    d.Button1Click(nullptr);
  });
  EXPECT_EQ(host.ShownOf(ShownBox::Message).size(), 2u) << "Save asks, and the close after it does not";
  EXPECT_EQ(host.ShownOf(ShownBox::Message)[0].text, QStringLiteral("Sačuvati izmjene?"));
  EXPECT_EQ(Stored(QStringLiteral("Body"), QStringLiteral("Sarma")).toString(), QStringLiteral("Kupus i meso."));
  EXPECT_EQ(Form1->naslov->RecNo(), 1) << "the search list was run again";
  EXPECT_EQ(EditovanjeZapisa, nullptr);
  EXPECT_TRUE(host.Errors().empty());
}

TEST_F(Dialogs, EditRecordCloseQuestionAndARefusedStore) {
  Choose(Form1->DBLookupComboBox1, QStringLiteral("Posao"));
  const std::pair<int, const char*> rows[] = {{mrNo, "U ponedjeljak u devet."}, {mrYes, "Izmijenjeno"}};
  Open<TEditovanjeZapisa>(&TForm1::Editujzapis1Click, [this](TEditovanjeZapisa& d) {
    d.Button2Click(nullptr);  // unchanged: closes at once
    EXPECT_TRUE(d.ModalLoopDone());
    EXPECT_TRUE(host.ShownOf(ShownBox::Message).empty());
  });
  for (const auto& [answer, body] : rows) {
    host.Clear();
    Open<TEditovanjeZapisa>(&TForm1::Editujzapis1Click, [&](TEditovanjeZapisa& d) {
      Type(d.Memo1, QStringLiteral("Izmijenjeno"));
      host.Answer(mrCancel);
      d.Button2Click(nullptr);
      EXPECT_FALSE(d.ModalLoopDone()) << "Cancel keeps it open";
      host.Answer(answer);
      d.Button2Click(nullptr);
      EXPECT_TRUE(d.ModalLoopDone());
    });
    EXPECT_EQ(Stored(QStringLiteral("Body"), QStringLiteral("Sastanak")).toString(), QString::fromUtf8(body));
  }

  // The entry went away under the list: the error is shown, the dialog stays
  // open with its text modified.
  host.Clear();
  Open<TEditovanjeZapisa>(&TForm1::Editujzapis1Click, [this](TEditovanjeZapisa& d) {
    {
      TSqlDatabase other(QStringLiteral("db.mdb"), kNotebookPassword, TSqlDatabase::OpenMode::MustExist);
      other.Exec(QStringLiteral("DROP TABLE notes"));
    }
    Type(d.Memo1, QStringLiteral("Novo"));
    host.Answer(mrYes);
    AsUser([&d] { d.Button1Click(nullptr); });
    EXPECT_EQ(host.Errors().size(), 1u);
    EXPECT_TRUE(d.Memo1->Modified());
    EXPECT_EQ(d.ModalResult(), mrNone);
    EXPECT_EQ(Form1->naslov->State(), dsBrowse);
    host.Answer(mrNo);
    d.Close();
  });
}

TEST_F(Dialogs, EditRecordOnAnEmptyListOpensNothing) {
  AsUser([] { Form1->Editujzapis1Click(nullptr); });
  EXPECT_TRUE(host.Shown().empty());
}

TEST_F(Dialogs, EditRecordKeepsItsSizeAndState) {
  Choose(Form1->DBLookupComboBox1, QStringLiteral("Posao"));
  Open<TEditovanjeZapisa>(&TForm1::Editujzapis1Click, [](TEditovanjeZapisa& d) {
    d.SetWindowState(wsMaximized);
    d.Close();
  });
  EXPECT_TRUE(ReadFile(QStringLiteral("ezop.ini")).contains("\r\nWindowState=\"wsMaximized\"\r\n"))
      << ReadFile(QStringLiteral("ezop.ini")).toStdString();
  Open<TEditovanjeZapisa>(&TForm1::Editujzapis1Click, [](TEditovanjeZapisa& d) {
    EXPECT_EQ(d.WindowState(), wsMaximized);
    d.Close();
  });
}

// --- Categories -----------------------------------------------------------------------

TEST_F(Dialogs, CategoriesAddDeleteAndRename) {
  Open<TKategorije>(&TForm1::Novakategorija1Click, [this](TKategorije& d) {
    EXPECT_FALSE(d.Button1->Enabled());
    // Delete right after opening deletes the first category, with its entries.
    d.Button2Click(nullptr);  // No
    EXPECT_EQ(Count("SELECT count(*) FROM kategorije"), 2);
    host.Answer(mrYes);
    d.Button2Click(nullptr);
    EXPECT_EQ(Texts(ShownBox::Message)[0].left(12), QStringLiteral("UPOZORENJE!\n"));
    EXPECT_EQ(Count("SELECT count(*) FROM kategorije WHERE Category = 'Recepti'"), 0);
    EXPECT_EQ(Count("SELECT count(*) FROM notes WHERE Cat_id = 1"), 0) << "its entries went with it";

    // Add takes the text as typed, blanks and duplicates included; the new
    // category is current, so Delete right after Add deletes it.
    for (const char* name : {"   ", "Posao"}) {
      d.Edit1->SetText(QString::fromUtf8(name));
      EXPECT_TRUE(d.Button1->Enabled());
      d.Button1Click(nullptr);
      EXPECT_TRUE(d.Edit1->Text().isEmpty());
      EXPECT_FALSE(d.Button1->Enabled());
      EXPECT_EQ(d.ADOTable1->FieldByName(QStringLiteral("Category"))->AsString(), QString::fromUtf8(name));
    }
    EXPECT_EQ(Count("SELECT count(*) FROM kategorije WHERE Category = 'Posao'"), 2);
    host.Answer(mrYes);
    d.Button2Click(nullptr);
    EXPECT_EQ(Count("SELECT count(*) FROM kategorije WHERE Category = 'Posao'"), 1);

    // Rename starts empty; an empty answer changes nothing.
    host.Clear();
    host.AnswerInput(true, QString());
    d.Button4Click(nullptr);
    ASSERT_EQ(host.ShownOf(ShownBox::Input).size(), 1u);
    EXPECT_EQ(host.ShownOf(ShownBox::Input)[0].caption, QStringLiteral("Novo ime"));
    EXPECT_EQ(host.ShownOf(ShownBox::Input)[0].text, QStringLiteral("Unesite novo ime"));
    EXPECT_TRUE(host.ShownOf(ShownBox::Input)[0].value.isEmpty());
    host.AnswerInput(true, QStringLiteral("Poslovi"));
    d.Button4Click(nullptr);
    EXPECT_EQ(Count("SELECT count(*) FROM kategorije WHERE Category = 'Poslovi'"), 1);
    d.Button3Click(nullptr);
  });
  EXPECT_EQ(Kategorije, nullptr);
  EXPECT_TRUE(host.Errors().empty()) << (host.Errors().empty() ? "" : host.Errors()[0].toStdString());
}

TEST_F(Dialogs, ClosingCategoriesRereadsTheChoosers) {
  Choose(Form1->DBLookupComboBox1, QStringLiteral("Recepti"));
  Choose(Form1->DBLookupComboBox2, QStringLiteral("Posao"));
  const QStringList listed = Titles(Form1->naslov);
  Open<TKategorije>(&TForm1::Novakategorija1Click, [this](TKategorije& d) {
    host.Answer(mrYes);
    d.Button2Click(nullptr);  // Recepti, the first
    d.Edit1->SetText(QStringLiteral("Nova"));
    d.Button1Click(nullptr);
    d.Close();
  });
  EXPECT_TRUE(Form1->DBLookupComboBox1->Text().isEmpty()) << "its category is gone";
  EXPECT_EQ(Titles(Form1->naslov), listed) << "the list is not run again";
  EXPECT_EQ(Form1->DBLookupComboBox2->Text(), QStringLiteral("Posao"));
  EXPECT_EQ(Form1->DBEdit2->Text(), QStringLiteral("2")) << "its row is current again";
  EXPECT_EQ(Form1->ADOTable1->RecordCount(), 2) << "the new category is listed";
}

TEST_F(Dialogs, CategoriesOnAnEmptyTableDoNothing) {
  {
    TSqlDatabase db(QStringLiteral("db.mdb"), kNotebookPassword, TSqlDatabase::OpenMode::MustExist);
    db.Exec(QStringLiteral("DELETE FROM kategorije"));
  }
  Open<TKategorije>(&TForm1::Novakategorija1Click, [this](TKategorije& d) {
    d.Button2Click(nullptr);
    d.Button4Click(nullptr);
    EXPECT_TRUE(host.ShownOf(ShownBox::Message).empty());
    EXPECT_TRUE(host.ShownOf(ShownBox::Input).empty());
    d.Close();
  });
}

// --- Language -------------------------------------------------------------------------

TEST_F(Dialogs, LanguageRoundRelabelsEverythingAtOnce) {
  Open<TJezik>(&TForm1::JezikLanguage1Click, [](TJezik& d) {
    EXPECT_TRUE(d.RadioButton1->Checked());
    d.RadioButton2->SetChecked(true);
    d.Button1Click(nullptr);
  });
  EXPECT_EQ(Form1->lgLang1->ActiveLanguage(), 2);
  EXPECT_EQ(Form1->Edit2->Text(), QStringLiteral("2"));
  EXPECT_EQ(Form1->TabSheet1->Caption(), QStringLiteral("Search")) << "at once, before any activation";
  Form1->FormActivate(Form1);
  EXPECT_EQ(Form1->lgLang1->ActiveLanguage(), 2);

  // Every dialog opened afterwards speaks English.
  Open<TNoviUnos>(&TForm1::Noviunos1Click, [](TNoviUnos& d) {
    EXPECT_EQ(d.Caption(), QStringLiteral("New entry"));
    EXPECT_EQ(d.Button1->Caption(), QStringLiteral("Save"));
    EXPECT_EQ(d.CheckBox1->Caption(), QStringLiteral("Favorite"));
    d.Close();
  });
  Open<TKategorije>(&TForm1::Novakategorija1Click, [](TKategorije& d) {
    EXPECT_EQ(d.Caption(), QStringLiteral("Categories"));
    EXPECT_EQ(d.Button4->Caption(), QStringLiteral("Rename"));
    d.Close();
  });
  Choose(Form1->DBLookupComboBox1, QStringLiteral("Posao"));
  Open<TEditovanjeZapisa>(&TForm1::Editujzapis1Click, [](TEditovanjeZapisa& d) {
    EXPECT_EQ(d.Caption(), QStringLiteral("Edit record"));
    EXPECT_EQ(d.Button2->Caption(), QStringLiteral("Cancel"));
    d.Close();
  });
  Open<TJezik>(&TForm1::JezikLanguage1Click, [](TJezik& d) {
    EXPECT_TRUE(d.RadioButton2->Checked()) << "the dialog shows the language in force";
    EXPECT_EQ(d.Caption(), QStringLiteral("Jezik / Language")) << "its own texts never change";
    EXPECT_EQ(d.RadioButton2->Caption(), QStringLiteral("England"));
    d.RadioButton1->SetChecked(true);
    d.Button1Click(nullptr);
  });
  EXPECT_EQ(Form1->TabSheet1->Caption(), QStringLiteral("Traži"));
  EXPECT_EQ(Form1->Edit2->Text(), QStringLiteral("1"));
  EXPECT_TRUE(host.Errors().empty());
  CloseWindow();
  EXPECT_TRUE(ReadFile(QStringLiteral("opt.ini")).contains("\r\nEdit2.Text=\"1\"\r\n"));
}

TEST_F(Dialogs, LanguageExitAndEscapeChangeNothing) {
  for (const char* how : {"Exit", "Escape"}) {
    SCOPED_TRACE(how);
    Open<TJezik>(&TForm1::JezikLanguage1Click, [how](TJezik& d) {
      d.RadioButton2->SetChecked(true);
      if (QByteArray(how) == "Exit") {
        d.Button2Click(nullptr);
      } else {
        QChar key(27);
        d.FormKeyPress(&d, key);
        EXPECT_EQ(key, QChar(0)) << "Escape is swallowed";
      }
      EXPECT_NE(d.ModalResult(), mrNone);
    });
    EXPECT_EQ(Form1->lgLang1->ActiveLanguage(), 1);
    EXPECT_EQ(Form1->Edit2->Text(), QStringLiteral("1"));
  }
}

// A dialog asks in the main window's language, even before its own table
// has been switched.
TEST_F(Dialogs, MessagesFollowTheMainWindowNotTheDialog) {
  Form1->Edit2->SetText(QStringLiteral("2"));
  Form1->FormActivate(Form1);
  host.OnModal([this](TCustomForm& form) {
    auto& d = dynamic_cast<TNoviUnos&>(form);  // not activated: its own table is still Serbian
    EXPECT_EQ(d.Button1->Caption(), QStringLiteral("Sačuvaj"));
    Choose(d.DBLookupComboBox1, QStringLiteral("Posao"));
    d.Button1Click(nullptr);
    d.Close();
  });
  AsUser([] { Form1->Noviunos1Click(nullptr); });
  ASSERT_EQ(host.ShownOf(ShownBox::Message).size(), 1u);
  EXPECT_EQ(host.ShownOf(ShownBox::Message)[0].text, QStringLiteral("Save record?"));
  EXPECT_EQ(host.ShownOf(ShownBox::Message)[0].caption, QStringLiteral("Confirm"));
}

}  // namespace
