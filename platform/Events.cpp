#include "Events.h"

#include "Component.h"

#include <QMetaMethod>
#include <QMetaObject>

#include <memory>
#include <type_traits>

bool IsEventType(QMetaType type) {
  static const int ids[] = {qMetaTypeId<TNotifyEvent>(), qMetaTypeId<TCloseQueryEvent>(), qMetaTypeId<TCloseEvent>(),
                            qMetaTypeId<TKeyPressEvent>()};
  for (int id : ids)
    if (type.id() == id) return true;
  return false;
}

QVariant THandlerTable::Find(const QString& name) const {
  auto it = FHandlers.find(name.toLower());
  return it == FHandlers.end() ? QVariant() : it->second;
}

namespace {

// A parameter's type as the meta-object spells it; TObject is QObject's
// other name.
template <class A>
QByteArray ParameterName() {
  using T = std::remove_cvref_t<A>;
  QByteArray name = QByteArray(QMetaType::fromType<T>().name());
  if constexpr (std::is_lvalue_reference_v<A>) name += '&';
  return name;
}

QByteArray WrittenParameterName(const QMetaMethod& method, int index) {
  QByteArray name = method.parameterTypeName(index);
  if (name.startsWith("TObject*")) name.replace(0, 7, "QObject");
  return name;
}

struct TEventKind {
  QMetaType type;
  bool (*fits)(const QMetaMethod&);
  QVariant (*make)(QObject*, const QMetaMethod&);
};

template <class... Args>
TEventKind KindOf() {
  TEventKind kind;
  kind.type = QMetaType::fromType<TEvent<Args...>>();
  kind.fits = [](const QMetaMethod& m) {
    const QByteArray expected[] = {ParameterName<Args>()...};
    if (m.parameterCount() != static_cast<int>(sizeof...(Args))) return false;
    for (int i = 0; i < m.parameterCount(); ++i)
      if (WrittenParameterName(m, i) != expected[i]) return false;
    return true;
  };
  kind.make = [](QObject* window, const QMetaMethod& m) {
    TEvent<Args...> event;
    event.Name = QString::fromLatin1(m.name());
    const int index = m.methodIndex();
    // The meta-object call takes the arguments by address, as the moc's
    // code reads them: a reference parameter reaches the caller's variable.
    event.Fn = [window, index](Args... args) {
      void* argv[] = {nullptr, const_cast<void*>(static_cast<const void*>(std::addressof(args)))...};
      QMetaObject::metacall(window, QMetaObject::InvokeMetaMethod, index, argv);
    };
    return QVariant::fromValue(event);
  };
  return kind;
}

const TEventKind* FindKind(QMetaType type) {
  static const TEventKind kinds[] = {KindOf<TObject*>(), KindOf<TObject*, bool&>(), KindOf<TObject*, TCloseAction&>(),
                                     KindOf<TObject*, QChar&>()};
  for (const TEventKind& k : kinds)
    if (k.type == type) return &k;
  return nullptr;
}

}  // namespace

THandlerMatch FindMethodHandler(QObject* window, const QString& name, QMetaType eventType, QVariant& handler) {
  const QMetaObject* meta = window->metaObject();
  const TEventKind* kind = FindKind(eventType);
  bool named = false;
  for (int i = 0; i < meta->methodCount(); ++i) {
    const QMetaMethod m = meta->method(i);
    if (m.methodType() != QMetaMethod::Slot && m.methodType() != QMetaMethod::Method) continue;
    if (!SameText(QString::fromLatin1(m.name()), name)) continue;
    named = true;
    if (kind && kind->fits(m)) {
      handler = kind->make(window, m);
      return THandlerMatch::Found;
    }
  }
  return named ? THandlerMatch::Unfit : THandlerMatch::Missing;
}
