// A modal host for tests: it records every box the system shows, answers
// from a queue, and drives modal windows with scripts instead of a person.
#pragma once

#include "Dialogs.h"
#include "Forms.h"

#include <QString>

#include <deque>
#include <functional>
#include <memory>
#include <vector>

struct ShownBox {
  enum Kind { Message, Notice, Error, Input, Font, Color, Modal };
  Kind kind;
  QString text;  // message, notice or error text; input prompt; window name
  QString caption;
  TMsgButtons buttons = TMsgButtons::OK;
  QString value = QString();  // the text an input box's field started with
};

class TestModalHost : public IModalHost {
public:
  // Installs itself as the application's modal host (making an application
  // object first if the test has none) and removes itself when destroyed.
  TestModalHost();
  ~TestModalHost() override;

  // Answers for the next boxes, in order. A box with no answer queued gets
  // mrNo (Yes/No), mrCancel (Yes/No/Cancel) or Cancel (input, font, colour).
  void Answer(int result) { FAnswers.push_back(result); }
  void AnswerInput(bool ok, const QString& value) { FInputs.push_back({ok, value}); }
  void AnswerFont(std::function<void(TFont&)> change) { FFonts.push_back(std::move(change)); }
  void AnswerColor(TColor color) { FColors.push_back(color); }
  // What the next modal window does while it is open. The script acts as the
  // user would (clicks, typing, Close) and must leave the window closed; a
  // window left open ends the loop with mrCancel and is recorded as an error.
  void OnModal(std::function<void(TCustomForm&)> script) { FScripts.push_back(std::move(script)); }

  const std::vector<ShownBox>& Shown() const { return FShown; }
  std::vector<ShownBox> ShownOf(ShownBox::Kind kind) const;
  std::vector<QString> Errors() const;
  void Clear() { FShown.clear(); }

  int MessageBox(const QString& text, const QString& caption, TMsgButtons buttons) override;
  void Notice(const QString& text, const QString& caption) override;
  void Error(const QString& text, const QString& caption) override;
  bool InputQuery(const QString& caption, const QString& prompt, QString& value) override;
  bool FontDialog(TFont& font) override;
  bool ColorDialog(TColor& color) override;
  void RunModalLoop(TCustomForm& form) override;

private:
  std::unique_ptr<TApplication> FOwnApplication;
  IModalHost* FPrevious = nullptr;
  std::vector<ShownBox> FShown;
  std::deque<int> FAnswers;
  std::deque<std::pair<bool, QString>> FInputs;
  std::deque<std::function<void(TFont&)>> FFonts;
  std::deque<TColor> FColors;
  std::deque<std::function<void(TCustomForm&)>> FScripts;
};
