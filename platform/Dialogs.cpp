#include "Dialogs.h"

#include "Classes.h"
#include "Dispatch.h"

#include <QApplication>
#include <QColorDialog>
#include <QFontDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

namespace {

class DesktopModalHost : public IModalHost {
public:
  int MessageBox(const QString& text, const QString& caption, TMsgButtons buttons) override {
    QMessageBox box(QMessageBox::NoIcon, caption, text, QMessageBox::NoButton, ActiveWindow());
    switch (buttons) {
      case TMsgButtons::OK: box.setStandardButtons(QMessageBox::Ok); break;
      case TMsgButtons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setEscapeButton(QMessageBox::No);
        break;
      case TMsgButtons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        box.setEscapeButton(QMessageBox::Cancel);
        break;
    }
    box.exec();
    QAbstractButton* clicked = box.clickedButton();
    const auto b = clicked ? box.standardButton(clicked) : QMessageBox::NoButton;
    switch (b) {
      case QMessageBox::Ok: return mrOk;
      case QMessageBox::Yes: return mrYes;
      case QMessageBox::No: return mrNo;
      default: return buttons == TMsgButtons::YesNo ? mrNo : buttons == TMsgButtons::OK ? mrOk : mrCancel;
    }
  }
  void Notice(const QString& text, const QString& caption) override {
    QMessageBox box(QMessageBox::NoIcon, caption, text, QMessageBox::Ok, ActiveWindow());
    box.exec();
  }
  void Error(const QString& text, const QString& caption) override {
    QMessageBox box(QMessageBox::Critical, caption, text, QMessageBox::Ok, ActiveWindow());
    box.exec();
  }
  bool InputQuery(const QString& caption, const QString& prompt, QString& value) override {
    bool ok = false;
    const QString v = QInputDialog::getText(ActiveWindow(), caption, prompt, QLineEdit::Normal, value, &ok);
    if (ok) value = v;
    return ok;
  }
  bool FontDialog(TFont& font) override {
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, font.ToQFont(), ActiveWindow());
    if (ok) font.FromQFont(chosen);
    return ok;
  }
  bool ColorDialog(TColor& color) override {
    const QColor c = QColorDialog::getColor(ColorToQColor(color), ActiveWindow());
    if (!c.isValid()) return false;
    color = QColorToColor(c);
    return true;
  }
  void RunModalLoop(TCustomForm& form) override {
    while (!form.ModalLoopDone()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  }

private:
  static QWidget* ActiveWindow() { return QApplication::activeWindow(); }
};

}  // namespace

std::unique_ptr<IModalHost> MakeDesktopModalHost() { return std::make_unique<DesktopModalHost>(); }

// Every box runs an event loop of its own: a TEventLoopScope for each.
int MessageBox(const QString& text, const QString& caption, TMsgButtons buttons) {
  TEventLoopScope loop;
  return Application->ModalHost().MessageBox(text, caption, buttons);
}

void ShowMessage(const QString& text) {
  TEventLoopScope loop;
  Application->ModalHost().Notice(text, Application->Title());
}

bool InputQuery(const QString& caption, const QString& prompt, QString& value) {
  TEventLoopScope loop;
  return Application->ModalHost().InputQuery(caption, prompt, value);
}

TFontDialog::TFontDialog(TComponent* owner) : TComponent(owner), FFont(std::make_unique<TFont>()) {}

bool TFontDialog::Execute() {
  TEventLoopScope loop;
  return Application->ModalHost().FontDialog(*FFont);
}

TColorDialog::TColorDialog(TComponent* owner) : TComponent(owner), FCustomColors(std::make_unique<TStringList>()) {}

TColorDialog::~TColorDialog() = default;

TStrings* TColorDialog::CustomColors() const { return FCustomColors.get(); }

void TColorDialog::SetCustomColors(TStrings* s) {
  if (s) FCustomColors->Assign(s);
}

bool TColorDialog::Execute() {
  TEventLoopScope loop;
  return Application->ModalHost().ColorDialog(FColor);
}
