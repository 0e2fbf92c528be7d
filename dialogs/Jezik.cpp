#include "Jezik.h"

TJezik* Jezik = nullptr;

TJezik::TJezik(TComponent* owner) : TForm(owner) { LoadDefinition(QStringLiteral(":/forms/Jezik.def")); }

// The focus goes to the language in force, so that the arrow keys move from
// there.
void TJezik::FormActivate(TObject*) {
  TRadioButton* current = Form1->lgLang1->ActiveLanguage() == 1 ? RadioButton1 : RadioButton2;
  current->SetChecked(true);
  if (current->CanFocus()) current->SetFocus();
}

// The language is set before the index is written, so the index the main
// window reads on its next activation is the one now in force.
void TJezik::Button1Click(TObject*) {
  const int language = RadioButton1->Checked() ? 1 : 2;
  Form1->lgLang1->SetActLang(language);
  Form1->Edit2->SetText(QString::number(language));
  Close();
}

void TJezik::Button2Click(TObject*) { Close(); }

// Escape leaves, whichever control has the focus.
void TJezik::FormKeyPress(TObject*, QChar& Key) {
  if (Key != QChar(27)) return;
  Key = QChar(0);
  Close();
}
