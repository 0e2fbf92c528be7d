// The categories dialog: adds, renames and deletes categories (a category's
// entries go with it), and has the main window's choosers read them again
// when it closes.
#pragma once

#include "Unit1.h"

class TKategorije : public TForm {
  Q_OBJECT
public:
  explicit TKategorije(TComponent* owner);

  NOTARIUM_COMPONENT(TDBLookupListBox, DBLookupListBox1);
  NOTARIUM_COMPONENT(TEdit, Edit1);
  NOTARIUM_COMPONENT(TButton, Button1);
  NOTARIUM_COMPONENT(TButton, Button2);
  NOTARIUM_COMPONENT(TButton, Button3);
  NOTARIUM_COMPONENT(TButton, Button4);
  NOTARIUM_COMPONENT(TDBEdit, DBEdit1);
  NOTARIUM_COMPONENT(TDataSource, DataSource1);
  NOTARIUM_COMPONENT(TADOTable, ADOTable1);
  NOTARIUM_COMPONENT(TlgLang, lgLang1);

public slots:
  void FormActivate(TObject* Sender);
  void FormClose(TObject* Sender, TCloseAction& Action);
  void Edit1Change(TObject* Sender);
  void Button1Click(TObject* Sender);
  void Button2Click(TObject* Sender);
  void Button3Click(TObject* Sender);
  void Button4Click(TObject* Sender);
};

// The categories dialog while it is open.
extern TKategorije* Kategorije;
