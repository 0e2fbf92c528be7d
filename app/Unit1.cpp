#include "Unit1.h"

#include "Dialogs.h"
#include "StdCtrls.h"

TForm1* Form1 = nullptr;

TForm1::TForm1(TComponent* owner) : TForm(owner) {
  RegisterStoreClasses();
  LoadDefinition(QStringLiteral(":/forms/Form1.def"));
  SetCaption(kApplicationTitle);
}

QString TForm1::AboutText() { return QStringLiteral("Notarium 1.0\nThe Notarium developers\nDecember 2026"); }

void TForm1::NotYetAvailable(TObject* Sender) {
  auto* item = qobject_cast<TMenuItem*>(Sender);
  const QString what = item ? StripAccelChars(item->Caption()) : QString();
  ShowMessage(QStringLiteral("%1\n\nThis window is not available yet.").arg(what));
}

void TForm1::JezikLanguage1Click(TObject* Sender) { NotYetAvailable(Sender); }

void TForm1::Exit1Click(TObject*) { Close(); }

void TForm1::Noviunos1Click(TObject* Sender) { NotYetAvailable(Sender); }

void TForm1::Novakategorija1Click(TObject* Sender) { NotYetAvailable(Sender); }

void TForm1::Oprogramu2Click(TObject*) { ShowMessage(AboutText()); }
