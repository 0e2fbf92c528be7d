// Shared helpers of the UI tests: windows built from small definitions with
// handlers made of lambdas, simulated typing and clicking, and a fixture that
// answers every modal box.
#pragma once

#include "ComCtrls.h"
#include "Definition.h"
#include "Dialogs.h"
#include "Exceptions.h"
#include "ExtCtrls.h"
#include "Forms.h"
#include "Menus.h"
#include "StdCtrls.h"
#include "TestModalHost.h"

#include <QApplication>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

namespace uitest {

// Handlers of a window made of lambdas: the handler table binds methods, so
// every lambda gets a small object whose method calls it.
class HandlerSet {
public:
  template <class... Args>
  void Add(THandlerTable& table, const QString& name, std::function<void(Args...)> fn) {
    auto thunk = std::make_shared<Thunk<Args...>>();
    thunk->fn = std::move(fn);
    table.Add(name, thunk.get(), &Thunk<Args...>::Run);
    FKeep.push_back(thunk);
  }
  void Notify(THandlerTable& table, const QString& name, std::function<void(TObject*)> fn) {
    Add<TObject*>(table, name, std::move(fn));
  }
  void CloseQuery(THandlerTable& table, const QString& name, std::function<void(TObject*, bool&)> fn) {
    Add<TObject*, bool&>(table, name, std::move(fn));
  }
  void Close(THandlerTable& table, const QString& name, std::function<void(TObject*, TCloseAction&)> fn) {
    Add<TObject*, TCloseAction&>(table, name, std::move(fn));
  }
  void Key(THandlerTable& table, const QString& name, std::function<void(TObject*, QChar&)> fn) {
    Add<TObject*, QChar&>(table, name, std::move(fn));
  }

private:
  template <class... Args>
  struct Thunk {
    std::function<void(Args...)> fn;
    void Run(Args... args) { fn(std::forward<Args>(args)...); }
  };
  std::vector<std::shared_ptr<void>> FKeep;
};

// Builds a plain window from definition text; `bind` fills its handler table
// first. The creation event runs afterwards, as CreateForm runs it.
inline std::unique_ptr<TForm> BuildForm(const QString& text, const std::function<void(THandlerTable&)>& bind = {}) {
  auto form = std::make_unique<TForm>();
  if (bind) bind(form->Handlers());
  LoadWindowDefinitionText(form.get(), text, QStringLiteral("Test.def"));
  form->AfterConstruction();
  return form;
}

template <class T>
T* Find(const TComponent* owner, const char* name) {
  auto* c = qobject_cast<T*>(owner->FindComponent(QString::fromLatin1(name)));
  if (!c) ADD_FAILURE() << "no component " << name << " of the expected class";
  return c;
}

inline void Process() {
  QCoreApplication::sendPostedEvents();
  QApplication::processEvents();
}

// Shows the window and waits until the toolkit has laid it out and made it active.
inline void ShowAndActivate(TCustomForm& form) {
  form.Show();
  for (int i = 0; i < 10 && QApplication::activeWindow() != form.Window(); ++i) {
    form.Window()->activateWindow();
    Process();
  }
  Process();
}

// A key as the keyboard sends it: press and release.
inline void PressKey(QWidget* w, int key, const QString& text = QString(),
                     Qt::KeyboardModifiers mods = Qt::NoModifier) {
  QKeyEvent press(QEvent::KeyPress, key, mods, text);
  QCoreApplication::sendEvent(w, &press);
  QKeyEvent release(QEvent::KeyRelease, key, mods, text);
  QCoreApplication::sendEvent(w, &release);
}

inline void TypeText(QWidget* w, const QString& text) {
  for (QChar c : text) {
    const int key = c.isLetterOrNumber() && c.unicode() < 128 ? int(c.toUpper().unicode()) : int(Qt::Key_unknown);
    PressKey(w, key, QString(c));
  }
}

// A left click at a point of the widget.
inline void ClickAt(QWidget* w, QPoint point) {
  const QPointF at(point);
  const QPointF global = w->mapToGlobal(at);
  QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(w, &press);
  QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
  QCoreApplication::sendEvent(w, &release);
}

inline void ClickWidget(QWidget* w) { ClickAt(w, QPoint(w->width() / 2, w->height() / 2)); }

inline std::string Str(const QString& s) { return s.toStdString(); }
inline std::string Str(const QRect& r) {
  return "(" + std::to_string(r.x()) + "," + std::to_string(r.y()) + " " + std::to_string(r.width()) + "x" +
         std::to_string(r.height()) + ")";
}

// Every UI test answers boxes through a scripted host, with a known title.
class UiTest : public ::testing::Test {
protected:
  UiTest() { Application->SetTitle(QStringLiteral("Notarium Test")); }
  TestModalHost host;
  HandlerSet handlers;
};

}  // namespace uitest

inline std::ostream& operator<<(std::ostream& os, const QString& s) { return os << s.toStdString(); }
inline std::ostream& operator<<(std::ostream& os, const QRect& r) { return os << uitest::Str(r); }
