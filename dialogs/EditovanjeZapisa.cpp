#include "EditovanjeZapisa.h"

TEditovanjeZapisa* EditovanjeZapisa = nullptr;

TEditovanjeZapisa::TEditovanjeZapisa(TComponent* owner) : TForm(owner) {
  LoadDefinition(QStringLiteral(":/forms/EditovanjeZapisa.def"));
}

void TEditovanjeZapisa::FormActivate(TObject*) { lgLang1->SetActLang(Form1->lgLang1->ActiveLanguage()); }

// No keeps the dialog open with the text as it is.
void TEditovanjeZapisa::Button1Click(TObject*) {
  if (!Form1->Confirm(15)) return;
  StoreText();
  Close();
}

void TEditovanjeZapisa::Button2Click(TObject*) { Close(); }

void TEditovanjeZapisa::FormCloseQuery(TObject*, bool& CanClose) {
  if (!Memo1->Modified()) return;
  switch (Form1->ConfirmOrCancel(15)) {
    case mrYes: StoreText(); return;
    case mrNo: return;
    default: CanClose = false; return;
  }
}

// The search page's current entry is the one whose body the dialog holds:
// nothing moves that list while the dialog is open. A refused store leaves
// the text modified and the dialog open.
void TEditovanjeZapisa::StoreText() {
  const QString body = Memo1->Text();
  StoreField(Form1->naslov, QStringLiteral("Body"), [&body](TField* f) { f->SetAsString(body); });
  Memo1->SetModified(false);
  RerunQuery(Form1->naslov);
  RerunQuery(Form1->ADOQuery1);
}
