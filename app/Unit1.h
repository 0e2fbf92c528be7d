// The main window: its frame, menus and the commands that open the dialogs.
#pragma once

#include "ADODB.h"
#include "ComCtrls.h"
#include "ComponentMembers.h"
#include "ExtCtrls.h"
#include "Forms.h"
#include "Menus.h"

// The application's title, shown for the program and as the caption of
// notices; a second start finds the running copy by it.
inline const QString kApplicationTitle = QStringLiteral("Notarium 1.0");

class TForm1 : public TForm {
  Q_OBJECT
public:
  explicit TForm1(TComponent* owner);

  // The text of the About box.
  static QString AboutText();

  NOTARIUM_COMPONENT(TPageControl, PageControl1);
  NOTARIUM_COMPONENT(TTabSheet, TabSheet1);
  NOTARIUM_COMPONENT(TTabSheet, TabSheet2);
  NOTARIUM_COMPONENT(TStatusBar, StatusBar1);
  NOTARIUM_COMPONENT(TSpeedButton, SpeedButton3);
  NOTARIUM_COMPONENT(TMainMenu, MainMenu1);
  // The notebook: the connection, the two pages' category tables and their
  // entry lists (closed until first run).
  NOTARIUM_COMPONENT(TADOConnection, ADOConnection1);
  NOTARIUM_COMPONENT(TADOTable, ADOTable1);
  NOTARIUM_COMPONENT(TADOTable, ADOTable2);
  NOTARIUM_COMPONENT(TADOQuery, naslov);
  NOTARIUM_COMPONENT(TADOQuery, ADOQuery1);
  NOTARIUM_COMPONENT(TDataSource, DataSource1);
  NOTARIUM_COMPONENT(TDataSource, DataSource2);
  NOTARIUM_COMPONENT(TDataSource, DataSource3);
  NOTARIUM_COMPONENT(TDataSource, DataSource4);

public slots:
  // The handlers the definition names.
  void JezikLanguage1Click(TObject* Sender);
  void Exit1Click(TObject* Sender);
  void Noviunos1Click(TObject* Sender);
  void Novakategorija1Click(TObject* Sender);
  void Oprogramu2Click(TObject* Sender);

private:
  void NotYetAvailable(TObject* Sender);
};

// The main window, for the dialogs to reach it.
extern TForm1* Form1;
