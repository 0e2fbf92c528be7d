// Modal boxes: confirmations, notices, the error box, the one-line input box,
// the font and colour dialogs, and the modal loop of a window. Every one of
// them goes through the application's modal host, which tests replace.
#pragma once

#include "Classes.h"
#include "Component.h"
#include "Forms.h"
#include "Graphics.h"

#include <QString>

#include <memory>

enum class TMsgButtons { OK, YesNo, YesNoCancel };

class IModalHost {
public:
  virtual ~IModalHost() = default;
  // A box without an icon; returns mrOk, mrYes, mrNo or mrCancel. Closing a
  // box that has a Cancel button counts as Cancel, one without as No.
  virtual int MessageBox(const QString& text, const QString& caption, TMsgButtons buttons) = 0;
  virtual void Notice(const QString& text, const QString& caption) = 0;
  virtual void Error(const QString& text, const QString& caption) = 0;
  // Returns true for OK; `value` holds the field's text then.
  virtual bool InputQuery(const QString& caption, const QString& prompt, QString& value) = 0;
  virtual bool FontDialog(TFont& font) = 0;
  virtual bool ColorDialog(TColor& color) = 0;
  // Runs until the window's ModalLoopDone says so.
  virtual void RunModalLoop(TCustomForm& form) = 0;
};

// The host that shows real boxes on the desktop.
std::unique_ptr<IModalHost> MakeDesktopModalHost();

// A confirmation: `text` with `caption`, Yes and No (or Yes, No and Cancel).
int MessageBox(const QString& text, const QString& caption, TMsgButtons buttons);
// A notice: the text with the application title as caption and an OK button.
void ShowMessage(const QString& text);
// The one-line input box; the field starts with `value`.
bool InputQuery(const QString& caption, const QString& prompt, QString& value);

// The font dialog as a component: Execute shows it preset with Font.
class TFontDialog : public TComponent {
  Q_OBJECT
  Q_PROPERTY(TFont* Font READ Font WRITE SetFont)
public:
  explicit TFontDialog(TComponent* owner = nullptr);
  TFont* Font() const { return FFont.get(); }
  void SetFont(TFont* f) { FFont->Assign(f); }
  bool Execute();

private:
  std::unique_ptr<TFont> FFont;
};

// The colour dialog as a component: Execute shows it preset with Color.
class TColorDialog : public TComponent {
  Q_OBJECT
  Q_PROPERTY(int Color READ Color WRITE SetColor)
  Q_PROPERTY(TStrings* CustomColors READ CustomColors WRITE SetCustomColors)
public:
  explicit TColorDialog(TComponent* owner = nullptr);
  ~TColorDialog() override;
  TColor Color() const { return FColor; }
  void SetColor(TColor c) { FColor = c; }
  TStrings* CustomColors() const;
  void SetCustomColors(TStrings* s);
  bool Execute();

private:
  TColor FColor = clBlack;
  std::unique_ptr<TStrings> FCustomColors;
};
