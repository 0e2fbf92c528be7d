#include "Events.h"

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
