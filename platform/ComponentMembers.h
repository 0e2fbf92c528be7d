// A window's component members, bound by name: each member is declared once,
//
//   NOTARIUM_COMPONENT(TPageControl, PageControl1);
//
// and filled when the window's definition is loaded. A definition that lacks
// the component, or holds it as another class, is an error naming the
// definition and line.
#pragma once

#include "Component.h"

#include <QString>

#include <functional>
#include <vector>

// One declared member: its component's name and how to fill it. `assign`
// returns false when the component is not of the member's class.
struct TComponentMember {
  QString name;
  QString className;
  std::function<bool(TComponent*)> assign;
};

// Records a member of `window` to be filled when its definition is loaded.
void DeclareComponentMember(TComponent* window, TComponentMember member);
// The members declared for `window`, in declaration order.
std::vector<TComponentMember> DeclaredComponentMembers(const TComponent* window);

template <class T>
T* BindComponentMember(TComponent* window, const char* name, T** member) {
  QString className = QString::fromLatin1(T::staticMetaObject.className());
  className = className.mid(className.lastIndexOf(QLatin1Char(':')) + 1);
  DeclareComponentMember(window, {QString::fromLatin1(name), className,
                                  [member](TComponent* c) { return (*member = qobject_cast<T*>(c)) != nullptr; }});
  return nullptr;
}

// Declares `Name` as a member pointer to the window's component `Name` of
// class `Type`; it stays null until the definition is loaded.
#define NOTARIUM_COMPONENT(Type, Name) Type* Name = BindComponentMember<Type>(this, #Name, &Name)
