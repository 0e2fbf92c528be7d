// The edit dialog: the body of the search page's current entry, stored back
// through the main window's list. Its size and state are kept in ezop.ini.
#pragma once

#include "Unit1.h"

class TEditovanjeZapisa : public TForm {
  Q_OBJECT
public:
  explicit TEditovanjeZapisa(TComponent* owner);

  NOTARIUM_COMPONENT(TMemo, Memo1);
  NOTARIUM_COMPONENT(TButton, Button1);
  NOTARIUM_COMPONENT(TButton, Button2);
  NOTARIUM_COMPONENT(TlgLang, lgLang1);
  NOTARIUM_COMPONENT(TrsStorage, rsStorage1);
  NOTARIUM_COMPONENT(TrsIniData, rsIniData1);
  NOTARIUM_COMPONENT(TrsPropSaver, rsPropSaver1);

public slots:
  void FormActivate(TObject* Sender);
  void FormCloseQuery(TObject* Sender, bool& CanClose);
  void Button1Click(TObject* Sender);
  void Button2Click(TObject* Sender);

private:
  void StoreText();
};

// The edit dialog while it is open.
extern TEditovanjeZapisa* EditovanjeZapisa;
