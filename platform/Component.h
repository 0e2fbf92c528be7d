// The component model every window is built from: named components owned by
// other components, a loading state while a definition is applied, and one
// loaded notification afterwards.
#pragma once

#include <QObject>
#include <QString>

#include <cstddef>
#include <new>
#include <vector>

// Base of every object with published properties (components and the
// sub-objects they hold, such as fonts, string lists and collections).
class TPersistent : public QObject {
  Q_OBJECT
public:
  TPersistent() = default;
  ~TPersistent() override = default;

  // Copies the published state of another object of a compatible class.
  // Raises EConvertError when the classes do not fit.
  virtual void Assign(const TPersistent* source);
  // The class name as the rest of the system knows it (no namespace).
  QString ClassName() const;
};

enum class TOperation { opInsert, opRemove };

// A named object owned by another component. An owner destroys what it owns in
// the reverse order of creation. Ownership (lifetime) is not the visual parent.
//
// Freeing a component (delete, by its owner or through a smart pointer) runs
// its teardown first, while the whole object is alive: BeforeDestruction
// runs handlers, saves and frees the owned components, last created first.
// The C++ destructors that follow only release what is left and call nothing
// back. A component that lives on the stack gets no teardown.
class TComponent : public TPersistent {
  Q_OBJECT
  Q_PROPERTY(QString Name READ Name WRITE SetName)
  Q_PROPERTY(int Tag READ Tag WRITE SetTag)
public:
  explicit TComponent(TComponent* owner = nullptr);
  ~TComponent() override;

  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  // Every delete of a component comes here: teardown, then the destructors.
  void operator delete(TComponent* component, std::destroying_delete_t) noexcept;
  // The allocation that goes with it; for a constructor that throws, the
  // memory goes back and no teardown runs.
  static void* operator new(std::size_t size);
  static void operator delete(void* memory) noexcept;
  static void* operator new(std::size_t, void* place) noexcept { return place; }
  static void operator delete(void*, void*) noexcept {}

  QString Name() const { return FName; }
  // Renaming checks that the owner has no other component of that name.
  void SetName(const QString& name);
  int Tag() const { return FTag; }
  void SetTag(int tag) { FTag = tag; }

  TComponent* Owner() const { return FOwner; }
  int ComponentCount() const { return static_cast<int>(FComponents.size()); }
  TComponent* Components(int index) const;
  const std::vector<TComponent*>& ComponentList() const { return FComponents; }
  // The first owned component whose name equals `name`, ignoring ASCII case.
  TComponent* FindComponent(const QString& name) const;

  // Loading state while a definition is applied.
  bool Loading() const { return FLoading; }
  void BeginLoading() { FLoading = true; }
  // The loaded notification: ends the loading state. Overrides call the base
  // first.
  virtual void Loaded();
  // Set from the start of the teardown (or of the destructor, for a
  // component freed without one).
  bool Destroying() const { return FDestroying; }

  // Places this component inside another while a definition is applied
  // (a control into its parent control, a menu item into its menu). The base
  // accepts no parent and raises an exception.
  virtual void SetParentComponent(TComponent* parent);
  // Whether children may be nested inside this component in a definition.
  virtual bool AcceptsChildren() const { return false; }

  // A deferred delete (deleteLater) frees the component as delete does, with
  // its teardown.
  bool event(QEvent* event) override;

  // Asks to be told when `other` goes away, wherever it is owned.
  void FreeNotification(TComponent* other);
  void RemoveFreeNotification(TComponent* other);

protected:
  // Told of components inserted into or removed from the owner, and of
  // components this one asked to hear about.
  virtual void Notification(TComponent* component, TOperation operation);
  // Points `field` at `target` and asks to be told when it goes, no longer
  // hearing of the one it pointed at before. The Notification override clears
  // the field.
  template <class T>
  void SetReference(T*& field, T* target) {
    if (field) field->RemoveFreeNotification(this);
    field = target;
    if (target) target->FreeNotification(this);
  }
  // The teardown, run once when the component is freed, before any
  // destructor: Destroying() is already true. Overrides run their handlers
  // and save what they keep, then call the base, which frees the owned
  // components, last created first, each with its own teardown. An error is
  // handed to the error display (HandleCurrentException) and the freeing
  // goes on.
  virtual void BeforeDestruction();
  // Marks the component as going away and destroys what it owns, last
  // created first. Classes whose own members the owned components rely on
  // call it at the start of their destructor; after a teardown nothing is
  // left to destroy.
  void DestroyComponents();

private:
  void InsertComponent(TComponent* component);
  void RemoveComponent(TComponent* component);

  QString FName;
  int FTag = 0;
  TComponent* FOwner = nullptr;
  std::vector<TComponent*> FComponents;
  std::vector<TComponent*> FFreeNotifies;
  bool FLoading = false;
  bool FDestroying = false;
  bool FTornDown = false;
};

// ASCII-only case-insensitive comparison, the rule for component and
// property names.
bool SameText(const QString& a, const QString& b);
// The order that goes with SameText: negative, zero or positive as `a` sorts
// before, with or after `b`, ASCII letters folded to upper case.
int CompareText(const QString& a, const QString& b);
