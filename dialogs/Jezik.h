// The language dialog: Serbian or English for the whole interface. Its own
// texts are the same in both languages.
#pragma once

#include "Unit1.h"

class TJezik : public TForm {
  Q_OBJECT
public:
  explicit TJezik(TComponent* owner);

  NOTARIUM_COMPONENT(TGroupBox, GroupBox1);
  NOTARIUM_COMPONENT(TImage, Image1);
  NOTARIUM_COMPONENT(TImage, Image2);
  NOTARIUM_COMPONENT(TRadioButton, RadioButton1);
  NOTARIUM_COMPONENT(TRadioButton, RadioButton2);
  NOTARIUM_COMPONENT(TButton, Button1);
  NOTARIUM_COMPONENT(TButton, Button2);

public slots:
  void FormActivate(TObject* Sender);
  void FormKeyPress(TObject* Sender, QChar& Key);
  void Button1Click(TObject* Sender);
  void Button2Click(TObject* Sender);
};

// The language dialog while it is open.
extern TJezik* Jezik;
