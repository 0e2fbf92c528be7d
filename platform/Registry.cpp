// The platform's component classes, by the names window definitions use.
#include "ComCtrls.h"
#include "Definition.h"
#include "Dialogs.h"
#include "ExtCtrls.h"
#include "Forms.h"
#include "Menus.h"
#include "StdCtrls.h"

void RegisterStandardClasses() {
  RegisterComponentClass<TLabel>();
  RegisterComponentClass<TEdit>();
  RegisterComponentClass<TMemo>();
  RegisterComponentClass<TListBox>();
  RegisterComponentClass<TButton>();
  RegisterComponentClass<TCheckBox>();
  RegisterComponentClass<TRadioButton>();
  RegisterComponentClass<TGroupBox>();
  RegisterComponentClass<TPanel>();
  RegisterComponentClass<TBevel>();
  RegisterComponentClass<TImage>();
  RegisterComponentClass<TSplitter>();
  RegisterComponentClass<TSpeedButton>();
  RegisterComponentClass<TPageControl>();
  RegisterComponentClass<TTabSheet>();
  RegisterComponentClass<TStatusBar>();
  RegisterComponentClass<TMainMenu>();
  RegisterComponentClass<TPopupMenu>();
  RegisterComponentClass<TMenuItem>();
  RegisterComponentClass<TFontDialog>();
  RegisterComponentClass<TColorDialog>();
  RegisterComponentClass<TXPManifest>();
}
