// The new-entry dialog: a category, a title, a body and the favourite flag,
// stored one entry after another while the dialog stays open. The body's
// colour and font are kept in NU.ini.
#pragma once

#include "Dialogs.h"
#include "Unit1.h"

class TNoviUnos : public TForm {
  Q_OBJECT
public:
  explicit TNoviUnos(TComponent* owner);

  NOTARIUM_COMPONENT(TGroupBox, GroupBox1);
  NOTARIUM_COMPONENT(TDBLookupComboBox, DBLookupComboBox1);
  NOTARIUM_COMPONENT(TDBEdit, DBEdit1);
  NOTARIUM_COMPONENT(TEdit, Edit1);
  NOTARIUM_COMPONENT(TCheckBox, CheckBox1);
  NOTARIUM_COMPONENT(TMemo, Memo1);
  NOTARIUM_COMPONENT(TButton, Button1);
  NOTARIUM_COMPONENT(TButton, Button2);
  NOTARIUM_COMPONENT(TDataSource, DataSource1);
  NOTARIUM_COMPONENT(TADOTable, ADOTable1);
  NOTARIUM_COMPONENT(TADOTable, ADOTable2);
  NOTARIUM_COMPONENT(TPopupMenu, PopupMenu1);
  NOTARIUM_COMPONENT(TFontDialog, FontDialog1);
  NOTARIUM_COMPONENT(TColorDialog, ColorDialog1);
  NOTARIUM_COMPONENT(TlgLang, lgLang1);
  NOTARIUM_COMPONENT(TrsStorage, rsStorage1);
  NOTARIUM_COMPONENT(TrsIniData, rsIniData1);
  NOTARIUM_COMPONENT(TrsPropSaver, rsPropSaver1);

public slots:
  void FormActivate(TObject* Sender);
  void FormCloseQuery(TObject* Sender, bool& CanClose);
  void DBLookupComboBox1CloseUp(TObject* Sender);
  void Button1Click(TObject* Sender);
  void Button2Click(TObject* Sender);
  void CopyClick(TObject* Sender);
  void Boja2Click(TObject* Sender);
  void Font1Click(TObject* Sender);
  void Color1Click(TObject* Sender);

private:
  // Whether a title is typed and a category picked.
  bool Complete() const;
  // Stores the entry, runs the main window's lists again and empties the
  // fields but the category.
  void StoreEntry();
};

// The new-entry dialog while it is open.
extern TNoviUnos* NoviUnos;
