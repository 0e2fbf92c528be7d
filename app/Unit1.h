// The main window: its frame, menus and the commands that open the dialogs.
#pragma once

#include "ADODB.h"
#include "ComCtrls.h"
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

  TPageControl* PageControl1;
  TTabSheet* TabSheet1;
  TTabSheet* TabSheet2;
  TStatusBar* StatusBar1;
  TSpeedButton* SpeedButton3;
  TMainMenu* MainMenu1;
  // The notebook: the connection, the two pages' category tables and their
  // entry lists (closed until first run).
  TADOConnection* ADOConnection1;
  TADOTable* ADOTable1;
  TADOTable* ADOTable2;
  TADOQuery* naslov;
  TADOQuery* ADOQuery1;
  TDataSource* DataSource1;
  TDataSource* DataSource2;
  TDataSource* DataSource3;
  TDataSource* DataSource4;

  void JezikLanguage1Click(TObject* Sender);
  void Exit1Click(TObject* Sender);
  void Noviunos1Click(TObject* Sender);
  void Novakategorija1Click(TObject* Sender);
  void Oprogramu2Click(TObject* Sender);

private:
  // Finds a component of the definition by name and class; a definition
  // that lacks it is broken, which is an error.
  template <class T>
  T* Find(const char* name) const;
  void NotYetAvailable(TObject* Sender);
};

// The main window, for the dialogs to reach it.
extern TForm1* Form1;
