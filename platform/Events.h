// Events: published properties whose value is a handler, bound by name to a
// method of the window that owns the component.
#pragma once

#include <QChar>
#include <QMetaType>
#include <QString>
#include <QVariant>

#include <functional>
#include <map>

using TObject = QObject;

enum TCloseAction { caNone, caHide, caFree, caMinimize };

template <class... Args>
struct TEvent {
  std::function<void(Args...)> Fn;
  QString Name;  // the handler's method name, for diagnostics

  explicit operator bool() const { return static_cast<bool>(Fn); }
  void operator()(Args... args) const {
    if (Fn) Fn(std::forward<Args>(args)...);
  }
  bool operator==(const TEvent& other) const { return Name == other.Name && static_cast<bool>(Fn) == static_cast<bool>(other.Fn); }
};

using TNotifyEvent = TEvent<TObject*>;
using TCloseQueryEvent = TEvent<TObject*, bool&>;
using TCloseEvent = TEvent<TObject*, TCloseAction&>;
using TKeyPressEvent = TEvent<TObject*, QChar&>;

Q_DECLARE_METATYPE(TNotifyEvent)
Q_DECLARE_METATYPE(TCloseQueryEvent)
Q_DECLARE_METATYPE(TCloseEvent)
Q_DECLARE_METATYPE(TKeyPressEvent)

// Whether a property type is one of the event types above.
bool IsEventType(QMetaType type);

// A window's handlers by method name. The window fills it before its
// definition is loaded; the loader binds `OnClick = Button1Click` through it.
class THandlerTable {
public:
  template <class W, class... Args>
  void Add(const QString& name, W* self, void (W::*method)(Args...)) {
    TEvent<Args...> event;
    event.Name = name;
    event.Fn = [self, method](Args... args) { (self->*method)(std::forward<Args>(args)...); };
    FHandlers[name.toLower()] = QVariant::fromValue(event);
  }
  // The handler as an event value, or an invalid variant when there is none.
  QVariant Find(const QString& name) const;

private:
  std::map<QString, QVariant> FHandlers;
};
