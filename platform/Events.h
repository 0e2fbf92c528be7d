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
  bool operator==(const TEvent& other) const {
    return Name == other.Name && static_cast<bool>(Fn) == static_cast<bool>(other.Fn);
  }
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

// How a window's method named in a definition fits an event.
enum class THandlerMatch { Found, Missing, Unfit };

// Finds the handler `name` among the methods of `window` that its meta-object
// knows (slots and Q_INVOKABLE methods, the name ignoring ASCII case) and, when
// its parameters are those of the event type `eventType`, gives it as a value
// of that type in `handler`. A handler is just a method of the window class:
//
//   public slots:
//     void Button1Click(TObject* Sender);
//     void FormCloseQuery(TObject* Sender, bool& CanClose);
THandlerMatch FindMethodHandler(QObject* window, const QString& name, QMetaType eventType, QVariant& handler);

// Handlers that are not methods of the window, by name: tests bind functions
// through it. The loader looks here before the window's methods.
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
