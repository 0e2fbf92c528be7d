// The main window: its frame and menus, the search and favourites pages, the
// confirmations and notices its commands and the dialogs show, and the
// interface language it restores on every activation.
#pragma once

#include "ADODB.h"
#include "ComCtrls.h"
#include "ComponentMembers.h"
#include "DBCtrls.h"
#include "DBGrids.h"
#include "ExtCtrls.h"
#include "Forms.h"
#include "Menus.h"
#include "StdCtrls.h"
#include "lgComp.h"
#include "rsIniData.h"
#include "rsPropSaver.h"
#include "rsStorage.h"

#include <functional>
#include <type_traits>

// The application's title, shown for the program and as the caption of
// notices; a second start finds the running copy by it.
inline const QString kApplicationTitle = QStringLiteral("Notarium 1.0");

// Makes every component class the windows' definitions name known to the
// loader; the main window calls it before it loads.
void RegisterWindowClasses();

// Runs `sql` as `query`'s new text: closed, the text replaced by the one
// line, opened on its first row.
void RunQuery(TADOQuery* query, const QString& sql);
// Runs a list again with its own text, if it has ever been run; a list never
// filled stays closed. The first row is current afterwards. A run that fails
// leaves the list showing the rows it had.
void RerunQuery(TADOQuery* query);

// Changes one field of the current row and stores it. A store the notebook
// refuses is given up before the error is raised, so the dataset keeps its
// rows as they were and moving to another row does not try it again.
void StoreField(TDataSet* dataSet, const QString& field, const std::function<void(TField*)>& set);

// Shows the banner picture at `path` in `image`. A picture that is missing or
// cannot be decoded leaves the image empty, so its header shows its own
// colour; it never stops the window.
void ShowBanner(TImage* image, const QString& path);
inline const QString kBannerPath = QStringLiteral(":/pictures/banner.jpg");

class TForm1 : public TForm {
  Q_OBJECT
public:
  explicit TForm1(TComponent* owner);

  // The text of the About box.
  static QString AboutText();

  // Message `number` of the message table in the interface's language at
  // this moment: the active language of lgLang1.
  QString Message(int number) const;
  // A confirmation: message `number`, captioned with message 2, Yes and No;
  // true for Yes.
  bool Confirm(int number) const;
  // The same with Yes, No and Cancel; closing the box counts as Cancel.
  // Returns mrYes, mrNo or mrCancel.
  int ConfirmOrCancel(int number) const;
  // A notice of message `number`, captioned with the application title.
  void Notice(int number) const;
  // The input box captioned with message `caption` and prompting with
  // message `prompt`, its field starting empty. True for OK; `text` holds
  // the field then.
  bool AskText(int caption, int prompt, QString& text) const;

  NOTARIUM_COMPONENT(TSpeedButton, SpeedButton3);
  NOTARIUM_COMPONENT(TPageControl, PageControl1);
  NOTARIUM_COMPONENT(TTabSheet, TabSheet1);
  NOTARIUM_COMPONENT(TTabSheet, TabSheet2);
  // The search page.
  NOTARIUM_COMPONENT(TDBLookupComboBox, DBLookupComboBox1);
  NOTARIUM_COMPONENT(TDBEdit, DBEdit1);
  NOTARIUM_COMPONENT(TEdit, Edit1);
  NOTARIUM_COMPONENT(TButton, Button1);
  NOTARIUM_COMPONENT(TEdit, Edit2);
  NOTARIUM_COMPONENT(TPanel, Panel3);
  NOTARIUM_COMPONENT(TSpeedButton, SpeedButton1);
  NOTARIUM_COMPONENT(TSpeedButton, SpeedButton2);
  NOTARIUM_COMPONENT(TSpeedButton, SpeedButton4);
  NOTARIUM_COMPONENT(TDBNavigator, DBNavigator1);
  NOTARIUM_COMPONENT(TDBEdit, DBEdit3);
  NOTARIUM_COMPONENT(TDBGrid, DBGrid1);
  NOTARIUM_COMPONENT(TImage, Image2);
  NOTARIUM_COMPONENT(TDBText, DBText1);
  NOTARIUM_COMPONENT(TDBText, DBText2);
  NOTARIUM_COMPONENT(TDBText, DBText3);
  NOTARIUM_COMPONENT(TDBMemo, DBMemo1);
  // The favourites page.
  NOTARIUM_COMPONENT(TDBLookupComboBox, DBLookupComboBox2);
  NOTARIUM_COMPONENT(TDBEdit, DBEdit2);
  NOTARIUM_COMPONENT(TButton, Button2);
  NOTARIUM_COMPONENT(TPanel, Panel7);
  NOTARIUM_COMPONENT(TSpeedButton, SpeedButton5);
  NOTARIUM_COMPONENT(TDBNavigator, DBNavigator2);
  NOTARIUM_COMPONENT(TDBEdit, DBEdit4);
  NOTARIUM_COMPONENT(TDBGrid, DBGrid2);
  NOTARIUM_COMPONENT(TImage, Image1);
  NOTARIUM_COMPONENT(TDBText, DBText4);
  NOTARIUM_COMPONENT(TDBText, DBText5);
  NOTARIUM_COMPONENT(TDBText, DBText6);
  NOTARIUM_COMPONENT(TDBMemo, DBMemo2);
  NOTARIUM_COMPONENT(TStatusBar, StatusBar1);
  NOTARIUM_COMPONENT(TMainMenu, MainMenu1);
  NOTARIUM_COMPONENT(TPopupMenu, PopupMenu1);
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
  // The window's translation and its settings in opt.ini.
  NOTARIUM_COMPONENT(TlgLang, lgLang1);
  NOTARIUM_COMPONENT(TrsStorage, rsStorage1);
  NOTARIUM_COMPONENT(TrsIniData, rsIniData1);
  NOTARIUM_COMPONENT(TrsPropSaver, rsPropSaver1);

public slots:
  // The handlers the definition names.
  void FormActivate(TObject* Sender);
  void JezikLanguage1Click(TObject* Sender);
  void Exit1Click(TObject* Sender);
  void Noviunos1Click(TObject* Sender);
  void Novakategorija1Click(TObject* Sender);
  void Oprogramu2Click(TObject* Sender);
  // Search page.
  void DBLookupComboBox1CloseUp(TObject* Sender);
  void Edit1Change(TObject* Sender);
  void Edit1KeyPress(TObject* Sender, QChar& Key);
  void Button1Click(TObject* Sender);
  void DBEdit3Change(TObject* Sender);
  void SpeedButton1Click(TObject* Sender);
  void SpeedButton2Click(TObject* Sender);
  void SpeedButton4Click(TObject* Sender);
  void Editujzapis1Click(TObject* Sender);
  void Copy1Click(TObject* Sender);
  void Selectall1Click(TObject* Sender);
  // Favourites page.
  void DBLookupComboBox2CloseUp(TObject* Sender);
  void Button2Click(TObject* Sender);
  void DBEdit4Change(TObject* Sender);
  void SpeedButton5Click(TObject* Sender);

private:
  void NameListsForScreenReaders();
};

// The main window, for the dialogs to reach it.
extern TForm1* Form1;

// Opens a dialog as every command does: created with the main window as its
// owner and kept in `reference` while it lives, made ready by `prepare`,
// shown modally, and freed when its modal loop returns, which saves its
// settings.
template <class T>
void RunDialog(T*& reference, const std::type_identity_t<std::function<void(T&)>>& prepare = {}) {
  reference = CreateForm<T>(Form1);
  struct Release {
    T*& dialog;
    ~Release() {
      delete dialog;
      dialog = nullptr;
    }
  } release{reference};
  if (prepare) prepare(*reference);
  reference->ShowModal();
}
