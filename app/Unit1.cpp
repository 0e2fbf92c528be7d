#include "Unit1.h"

#include "Dialogs.h"
#include "Exceptions.h"
#include "StdCtrls.h"

TForm1* Form1 = nullptr;

TForm1::TForm1(TComponent* owner) : TForm(owner) {
  RegisterStoreClasses();
  Handlers().Add(QStringLiteral("JezikLanguage1Click"), this, &TForm1::JezikLanguage1Click);
  Handlers().Add(QStringLiteral("Exit1Click"), this, &TForm1::Exit1Click);
  Handlers().Add(QStringLiteral("Noviunos1Click"), this, &TForm1::Noviunos1Click);
  Handlers().Add(QStringLiteral("Novakategorija1Click"), this, &TForm1::Novakategorija1Click);
  Handlers().Add(QStringLiteral("Oprogramu2Click"), this, &TForm1::Oprogramu2Click);
  LoadDefinition(QStringLiteral(":/forms/Form1.def"));
  PageControl1 = Find<TPageControl>("PageControl1");
  TabSheet1 = Find<TTabSheet>("TabSheet1");
  TabSheet2 = Find<TTabSheet>("TabSheet2");
  StatusBar1 = Find<TStatusBar>("StatusBar1");
  SpeedButton3 = Find<TSpeedButton>("SpeedButton3");
  MainMenu1 = Find<TMainMenu>("MainMenu1");
  ADOConnection1 = Find<TADOConnection>("ADOConnection1");
  ADOTable1 = Find<TADOTable>("ADOTable1");
  ADOTable2 = Find<TADOTable>("ADOTable2");
  naslov = Find<TADOQuery>("naslov");
  ADOQuery1 = Find<TADOQuery>("ADOQuery1");
  DataSource1 = Find<TDataSource>("DataSource1");
  DataSource2 = Find<TDataSource>("DataSource2");
  DataSource3 = Find<TDataSource>("DataSource3");
  DataSource4 = Find<TDataSource>("DataSource4");
  SetCaption(kApplicationTitle);
}

template <class T>
T* TForm1::Find(const char* name) const {
  T* c = qobject_cast<T*>(FindComponent(QString::fromLatin1(name)));
  if (!c) throw EDefinitionError(QStringLiteral("Form1.def lacks %1").arg(QString::fromLatin1(name)));
  return c;
}

QString TForm1::AboutText() {
  return QStringLiteral("Notarium 1.0\nThe Notarium developers\nDecember 2026");
}

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
