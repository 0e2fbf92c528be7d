#include "NoviUnos.h"

#include <QDate>

TNoviUnos* NoviUnos = nullptr;

TNoviUnos::TNoviUnos(TComponent* owner) : TForm(owner) { LoadDefinition(QStringLiteral(":/forms/NoviUnos.def")); }

void TNoviUnos::FormActivate(TObject*) { lgLang1->SetActLang(Form1->lgLang1->ActiveLanguage()); }

void TNoviUnos::DBLookupComboBox1CloseUp(TObject*) { Button1->SetEnabled(!DBLookupComboBox1->Text().isEmpty()); }

bool TNoviUnos::Complete() const { return !Edit1->Text().isEmpty() && !DBLookupComboBox1->Text().isEmpty(); }

// The question comes first, the check after it.
void TNoviUnos::Button1Click(TObject*) {
  if (!Form1->Confirm(5)) return;
  if (!Complete()) {
    Form1->Notice(13);
    return;
  }
  StoreEntry();
}

void TNoviUnos::Button2Click(TObject*) { Close(); }

// Only a changed body is worth a question. Yes stores it, but never without a
// title and a picked category, whatever the body holds by then: the dialog
// stays open with message 13, as Save does.
void TNoviUnos::FormCloseQuery(TObject*, bool& CanClose) {
  if (!Memo1->Modified()) return;
  switch (Form1->ConfirmOrCancel(15)) {
    case mrYes:
      if (!Complete()) {
        Form1->Notice(13);
        CanClose = false;
        return;
      }
      StoreEntry();
      return;
    case mrNo: return;
    default: CanClose = false; return;
  }
}

void TNoviUnos::StoreEntry() {
  if (!ADOTable2->Active()) ADOTable2->Open();
  ADOTable2->Append();
  try {
    ADOTable2->FieldByName(QStringLiteral("Title"))->SetAsString(Edit1->Text());
    ADOTable2->FieldByName(QStringLiteral("Body"))->SetAsString(Memo1->Text());
    ADOTable2->FieldByName(QStringLiteral("Entered"))->SetAsDate(QDate::currentDate());
    ADOTable2->FieldByName(QStringLiteral("Cat_id"))->SetAsInteger(DBEdit1->Text().toLongLong());
    ADOTable2->FieldByName(QStringLiteral("Favorite"))->SetAsInteger(CheckBox1->Checked() ? 1 : 0);
    ADOTable2->Post();
  } catch (...) {
    // Nothing half-stored: the row is given up and the fields keep what the
    // user typed.
    ADOTable2->Cancel();
    throw;
  }
  // The main window's lists show the new entry; if one cannot run now the
  // entry is stored all the same, so nothing is said.
  for (TADOQuery* list : {Form1->ADOQuery1, Form1->naslov}) {
    try {
      RerunQuery(list);
    } catch (...) {
    }
  }
  Form1->Notice(7);
  Edit1->Clear();
  Memo1->Clear();
  CheckBox1->SetChecked(false);
}

void TNoviUnos::CopyClick(TObject*) { Memo1->CopyToClipboard(); }

void TNoviUnos::Boja2Click(TObject*) { Memo1->PasteFromClipboard(); }

void TNoviUnos::Font1Click(TObject*) {
  FontDialog1->SetFont(Memo1->Font());
  if (FontDialog1->Execute()) Memo1->SetFont(FontDialog1->Font());
}

void TNoviUnos::Color1Click(TObject*) {
  ColorDialog1->SetColor(Memo1->Color());
  if (ColorDialog1->Execute()) Memo1->SetColor(ColorDialog1->Color());
}
