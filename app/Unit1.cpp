#include "Unit1.h"

#include "Dialogs.h"
#include "EditovanjeZapisa.h"
#include "JetSql.h"
#include "Jezik.h"
#include "Kategorije.h"
#include "Messages.h"
#include "NoviUnos.h"

#include <functional>

TForm1* Form1 = nullptr;

void RegisterWindowClasses() {
  RegisterStoreClasses();
  RegisterTranslationClasses();
  RegisterSettingsClasses();
}

void RunQuery(TADOQuery* query, const QString& sql) {
  query->Close();
  query->SQL()->Clear();
  query->SQL()->Add(sql);
  query->Open();
}

void RerunQuery(TADOQuery* query) {
  if (query->SQL()->Text().isEmpty()) return;
  query->Requery();
}

void StoreField(TDataSet* dataSet, const QString& field, const std::function<void(TField*)>& set) {
  dataSet->Edit();
  try {
    set(dataSet->FieldByName(field));
    dataSet->Post();
  } catch (...) {
    dataSet->Cancel();
    throw;
  }
}

namespace {

QString FavouritesText(const QString& id) {
  return QStringLiteral("select * from notes where Cat_id =") + id + QStringLiteral("  and Favorite=1 order by Title");
}

}  // namespace

void ShowBanner(TImage* image, const QString& path) {
  try {
    image->Picture()->LoadFromResource(path);
  } catch (const Exception&) {
    // The header keeps its own colour; a picture is no reason to stop.
    image->Picture()->Clear();
  }
}

// The classes every window's definition names are known before the first
// window loads; the main window is always the first.
TForm1::TForm1(TComponent* owner) : TForm(owner) {
  RegisterWindowClasses();
  LoadDefinition(QStringLiteral(":/forms/Form1.def"));
  SetCaption(kApplicationTitle);
  // Both headers show the same banner: it is decoded once.
  ShowBanner(Image2, kBannerPath);
  Image1->Picture()->Assign(Image2->Picture());
  NameListsForScreenReaders();
}

// The lists have no caption of their own: a screen reader announces each by
// its page, and the pane by the title of the entry it shows.
void TForm1::NameListsForScreenReaders() {
  DBGrid1->Widget()->setAccessibleName(StripAccelChars(TabSheet1->Caption()));
  DBGrid2->Widget()->setAccessibleName(StripAccelChars(TabSheet2->Caption()));
  DBMemo1->Widget()->setAccessibleName(DBEdit3->Text());
  DBMemo2->Widget()->setAccessibleName(DBEdit4->Text());
}

QString TForm1::AboutText() { return QStringLiteral("Notarium 1.0\nThe Notarium developers\nDecember 2026"); }

// --- The message table ----------------------------------------------------------------

QString TForm1::Message(int number) const { return MessageText(number, lgLang1->ActiveLanguage()); }

bool TForm1::Confirm(int number) const { return MessageBox(Message(number), Message(2), TMsgButtons::YesNo) == mrYes; }

int TForm1::ConfirmOrCancel(int number) const {
  return MessageBox(Message(number), Message(2), TMsgButtons::YesNoCancel);
}

void TForm1::Notice(int number) const { ShowMessage(Message(number)); }

bool TForm1::AskText(int caption, int prompt, QString& text) const {
  text.clear();
  return InputQuery(Message(caption), Message(prompt), text);
}

// --- Frame and menus ------------------------------------------------------------------

// The language is kept as the text of Edit2, which the settings restore; a
// value that is not exactly "1" or "2" is taken as Serbian and written back.
void TForm1::FormActivate(TObject*) {
  if (Edit2->Text() != QLatin1String("1") && Edit2->Text() != QLatin1String("2")) Edit2->SetText(QStringLiteral("1"));
  lgLang1->SetActLang(Edit2->Text().toInt());
  NameListsForScreenReaders();
}

void TForm1::JezikLanguage1Click(TObject*) { RunDialog(Jezik); }

void TForm1::Exit1Click(TObject*) { Close(); }

void TForm1::Noviunos1Click(TObject*) { RunDialog(NoviUnos); }

void TForm1::Novakategorija1Click(TObject*) { RunDialog(Kategorije); }

void TForm1::Oprogramu2Click(TObject*) { ShowMessage(AboutText()); }

// --- Search page ----------------------------------------------------------------------

void TForm1::DBLookupComboBox1CloseUp(TObject*) {
  if (DBLookupComboBox1->Text().isEmpty()) return;
  RunQuery(naslov,
           QStringLiteral("select * from notes where Cat_id=") + DBEdit1->Text() + QStringLiteral(" order by Title"));
  DBText2->SetVisible(true);
}

void TForm1::Edit1Change(TObject*) { Button1->SetEnabled(!Edit1->Text().isEmpty()); }

// Enter searches even while the button is disabled: an empty text lists the
// whole category.
void TForm1::Edit1KeyPress(TObject* Sender, QChar& Key) {
  if (Key != QChar(13)) return;
  Key = QChar(0);
  Button1Click(Sender);
}

// The search text is matched literally: quotes and the pattern's wildcards
// in it are escaped, so no text the user types can break the statement.
void TForm1::Button1Click(TObject*) {
  if (DBLookupComboBox1->Text().isEmpty()) {
    Notice(1);
    return;
  }
  const QString text = EscapeJetLikeText(Edit1->Text());
  RunQuery(naslov, QStringLiteral("select * from notes where (Title like \"%") + text +
                       QStringLiteral("%\" or Body like \"%") + text + QStringLiteral("%\") and Cat_id=") +
                       DBEdit1->Text() + QStringLiteral(" order by Title"));
}

void TForm1::DBEdit3Change(TObject*) {
  const bool any = !DBEdit3->Text().isEmpty();
  SpeedButton1->SetEnabled(any);
  SpeedButton2->SetEnabled(any);
  SpeedButton4->SetEnabled(any);
  DBMemo1->Widget()->setAccessibleName(DBEdit3->Text());
  if (TabSheet1->Showing() && DBMemo1->CanFocus()) DBMemo1->SetFocus();
}

void TForm1::SpeedButton1Click(TObject*) {
  if (DBEdit3->Text().isEmpty() || !Confirm(3)) return;
  StoreField(naslov, QStringLiteral("Favorite"), [](TField* f) { f->SetAsInteger(1); });
  RerunQuery(ADOQuery1);
}

void TForm1::SpeedButton2Click(TObject*) {
  if (DBEdit3->Text().isEmpty() || !Confirm(8)) return;
  naslov->Delete();
  RerunQuery(ADOQuery1);
}

void TForm1::SpeedButton4Click(TObject*) {
  if (DBEdit3->Text().isEmpty()) return;
  QString title;
  if (!AskText(11, 12, title) || title.isEmpty()) return;
  StoreField(naslov, QStringLiteral("Title"), [&title](TField* f) { f->SetAsString(title); });
  RerunQuery(ADOQuery1);
}

// The dialog gets the pane's text as it stands, unmodified.
void TForm1::Editujzapis1Click(TObject*) {
  if (DBEdit3->Text().isEmpty()) return;
  RunDialog(EditovanjeZapisa, [this](TEditovanjeZapisa& dialog) {
    dialog.Memo1->SetText(DBMemo1->Text());
    dialog.Memo1->SetModified(false);
  });
}

void TForm1::Copy1Click(TObject*) { DBMemo1->CopyToClipboard(); }

void TForm1::Selectall1Click(TObject*) { DBMemo1->SelectAll(); }

// --- Favourites page ------------------------------------------------------------------

void TForm1::DBLookupComboBox2CloseUp(TObject*) {
  if (DBLookupComboBox2->Text().isEmpty()) return;
  RunQuery(ADOQuery1, FavouritesText(DBEdit2->Text()));
  DBText6->SetVisible(true);
}

void TForm1::Button2Click(TObject*) {
  if (DBLookupComboBox2->Text().isEmpty()) {
    Notice(1);
    return;
  }
  RunQuery(ADOQuery1, FavouritesText(DBEdit2->Text()));
}

void TForm1::DBEdit4Change(TObject*) {
  SpeedButton5->SetEnabled(!DBEdit4->Text().isEmpty());
  DBMemo2->Widget()->setAccessibleName(DBEdit4->Text());
  if (TabSheet2->Showing() && DBMemo2->CanFocus()) DBMemo2->SetFocus();
}

// The list is run again whatever the answer, so the first favourite becomes
// current either way.
void TForm1::SpeedButton5Click(TObject*) {
  if (!DBEdit4->Text().isEmpty() && Confirm(14)) {
    StoreField(ADOQuery1, QStringLiteral("Favorite"), [](TField* f) { f->SetAsInteger(0); });
  }
  RerunQuery(ADOQuery1);
}
