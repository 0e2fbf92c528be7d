#include "Kategorije.h"

TKategorije* Kategorije = nullptr;

TKategorije::TKategorije(TComponent* owner) : TForm(owner) { LoadDefinition(QStringLiteral(":/forms/Kategorije.def")); }

void TKategorije::FormActivate(TObject*) { lgLang1->SetActLang(Form1->lgLang1->ActiveLanguage()); }

void TKategorije::Edit1Change(TObject*) { Button1->SetEnabled(!Edit1->Text().isEmpty()); }

// The name is taken exactly as typed: blanks only and a name that is there
// already are both accepted. The new category becomes current.
void TKategorije::Button1Click(TObject*) {
  ADOTable1->Append();
  try {
    ADOTable1->FieldByName(QStringLiteral("Category"))->SetAsString(Edit1->Text());
    ADOTable1->Post();
  } catch (...) {
    ADOTable1->Cancel();
    throw;
  }
  Edit1->Clear();
}

// The notebook deletes the category's entries with it; the table is read
// again, so its first category is current afterwards.
void TKategorije::Button2Click(TObject*) {
  if (DBEdit1->Text().isEmpty() || !Form1->Confirm(4)) return;
  ADOTable1->Delete();
  ADOTable1->SetActive(false);
  ADOTable1->SetActive(true);
}

void TKategorije::Button4Click(TObject*) {
  if (DBEdit1->Text().isEmpty()) return;
  QString name;
  if (!Form1->AskText(9, 10, name) || name.isEmpty()) return;
  StoreField(ADOTable1, QStringLiteral("Category"), [&name](TField* f) { f->SetAsString(name); });
}

void TKategorije::Button3Click(TObject*) { Close(); }

// The main window's choosers read the categories again, each keeping its
// choice while a category of that name is left; their lists are not run.
void TKategorije::FormClose(TObject*, TCloseAction&) {
  for (TADOTable* table : {Form1->ADOTable1, Form1->ADOTable2}) {
    table->SetActive(false);
    table->SetActive(true);
  }
}
