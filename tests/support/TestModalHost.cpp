#include "TestModalHost.h"

TestModalHost::TestModalHost() {
  if (!Application) FOwnApplication = std::make_unique<TApplication>();
  FPrevious = Application->SetModalHost(this);
}

TestModalHost::~TestModalHost() {
  if (Application) Application->SetModalHost(FPrevious);
}

std::vector<ShownBox> TestModalHost::ShownOf(ShownBox::Kind kind) const {
  std::vector<ShownBox> out;
  for (const ShownBox& b : FShown)
    if (b.kind == kind) out.push_back(b);
  return out;
}

std::vector<QString> TestModalHost::Errors() const {
  std::vector<QString> out;
  for (const ShownBox& b : ShownOf(ShownBox::Error)) out.push_back(b.text);
  return out;
}

int TestModalHost::MessageBox(const QString& text, const QString& caption, TMsgButtons buttons) {
  FShown.push_back({ShownBox::Message, text, caption, buttons});
  if (!FAnswers.empty()) {
    const int a = FAnswers.front();
    FAnswers.pop_front();
    return a;
  }
  return buttons == TMsgButtons::YesNoCancel ? mrCancel : buttons == TMsgButtons::YesNo ? mrNo : mrOk;
}

void TestModalHost::Notice(const QString& text, const QString& caption) {
  FShown.push_back({ShownBox::Notice, text, caption});
}

void TestModalHost::Error(const QString& text, const QString& caption) {
  FShown.push_back({ShownBox::Error, text, caption});
}

bool TestModalHost::InputQuery(const QString& caption, const QString& prompt, QString& value) {
  FShown.push_back({ShownBox::Input, prompt, caption, TMsgButtons::OK, value});
  if (FInputs.empty()) return false;
  const auto [ok, text] = FInputs.front();
  FInputs.pop_front();
  if (ok) value = text;
  return ok;
}

bool TestModalHost::FontDialog(TFont& font) {
  FShown.push_back({ShownBox::Font, font.Name(), QString()});
  if (FFonts.empty()) return false;
  FFonts.front()(font);
  FFonts.pop_front();
  return true;
}

bool TestModalHost::ColorDialog(TColor& color) {
  FShown.push_back({ShownBox::Color, QString::number(color), QString()});
  if (FColors.empty()) return false;
  color = FColors.front();
  FColors.pop_front();
  return true;
}

void TestModalHost::RunModalLoop(TCustomForm& form) {
  FShown.push_back({ShownBox::Modal, form.Name(), form.Caption()});
  if (!FScripts.empty()) {
    auto script = std::move(FScripts.front());
    FScripts.pop_front();
    script(form);
  }
  if (!form.ModalLoopDone()) {
    FShown.push_back(
        {ShownBox::Error, QStringLiteral("modal window %1 left open by the test").arg(form.Name()), QString()});
    form.SetModalResult(mrCancel);
    // The window's close query may still refuse; end the loop regardless.
    if (!form.ModalLoopDone()) form.SetModalResult(mrCancel);
  }
}
