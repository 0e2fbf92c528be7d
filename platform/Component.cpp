#include "Component.h"

#include "Dispatch.h"
#include "Exceptions.h"

#include <QEvent>
#include <QMetaObject>

#include <algorithm>

void TPersistent::Assign(const TPersistent* source) {
  throw EConvertError(QStringLiteral("Cannot assign a %1 to a %2")
                          .arg(source ? source->ClassName() : QStringLiteral("nil"), ClassName()));
}

QString TPersistent::ClassName() const {
  QString name = QString::fromLatin1(metaObject()->className());
  const qsizetype colon = name.lastIndexOf(QLatin1Char(':'));
  return colon >= 0 ? name.mid(colon + 1) : name;
}

namespace {
char16_t UpperAscii(QChar c) {
  const char16_t u = c.unicode();
  return u >= 'a' && u <= 'z' ? static_cast<char16_t>(u - 32) : u;
}
}  // namespace

bool SameText(const QString& a, const QString& b) {
  if (a.size() != b.size()) return false;
  for (qsizetype i = 0; i < a.size(); ++i)
    if (UpperAscii(a[i]) != UpperAscii(b[i])) return false;
  return true;
}

int CompareText(const QString& a, const QString& b) {
  const qsizetype n = std::min(a.size(), b.size());
  for (qsizetype i = 0; i < n; ++i) {
    const char16_t x = UpperAscii(a[i]), y = UpperAscii(b[i]);
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : a.size() < b.size() ? -1 : 1;
}

TComponent::TComponent(TComponent* owner) {
  if (owner) owner->InsertComponent(this);
}

TComponent::~TComponent() {
  FDestroying = true;
  // Those who asked to hear about this component forget it now. The owner
  // and its components hear of the removal from the owner; telling them
  // here as well would tell them twice.
  const auto listeners = FFreeNotifies;
  for (TComponent* other : listeners) {
    if (!FOwner || (other != FOwner && other->FOwner != FOwner)) other->Notification(this, TOperation::opRemove);
    auto& back = other->FFreeNotifies;
    back.erase(std::remove(back.begin(), back.end(), this), back.end());
  }
  FFreeNotifies.clear();
  DestroyComponents();
  if (FOwner) FOwner->RemoveComponent(this);
}

void TComponent::operator delete(TComponent* component, std::destroying_delete_t) noexcept {
  // The address the object was allocated at, taken while its type is whole.
  void* memory = dynamic_cast<void*>(component);
  if (!component->FTornDown) {
    component->FTornDown = true;
    component->FDestroying = true;
    try {
      component->BeforeDestruction();
    } catch (...) {
      HandleCurrentException();
    }
  }
  component->~TComponent();
  ::operator delete(memory);
}

// Out of line, so that the compiler pairs every allocation with the class's
// own deallocation rather than with the global one it calls.
void* TComponent::operator new(std::size_t size) { return ::operator new(size); }

void TComponent::operator delete(void* memory) noexcept { ::operator delete(memory); }

void TComponent::BeforeDestruction() { DestroyComponents(); }

bool TComponent::event(QEvent* event) {
  if (event->type() == QEvent::DeferredDelete) {
    delete this;
    return true;
  }
  return TPersistent::event(event);
}

void TComponent::DestroyComponents() {
  FDestroying = true;
  while (!FComponents.empty()) {
    TComponent* last = FComponents.back();
    delete last;  // removes itself from FComponents
  }
}

TComponent* TComponent::Components(int index) const {
  if (index < 0 || index >= ComponentCount()) RaiseListIndexError(index);
  return FComponents[static_cast<size_t>(index)];
}

TComponent* TComponent::FindComponent(const QString& name) const {
  if (name.isEmpty()) return nullptr;
  for (TComponent* c : FComponents)
    if (SameText(c->FName, name)) return c;
  return nullptr;
}

void TComponent::SetName(const QString& name) {
  if (name == FName) return;
  if (FOwner && !name.isEmpty()) {
    TComponent* other = FOwner->FindComponent(name);
    if (other && other != this) throw EComponentError(QStringLiteral("A component named %1 already exists").arg(name));
  }
  FName = name;
  setObjectName(name);
}

void TComponent::Loaded() { FLoading = false; }

void TComponent::SetParentComponent(TComponent* parent) {
  throw EComponentError(QStringLiteral("%1 cannot be placed inside %2")
                            .arg(ClassName(), parent ? parent->Name() : QStringLiteral("nothing")));
}

void TComponent::FreeNotification(TComponent* other) {
  if (!other || other == this) return;
  if (std::find(FFreeNotifies.begin(), FFreeNotifies.end(), other) == FFreeNotifies.end()) {
    FFreeNotifies.push_back(other);
    other->FFreeNotifies.push_back(this);
  }
}

void TComponent::RemoveFreeNotification(TComponent* other) {
  auto drop = [](std::vector<TComponent*>& v, TComponent* c) { v.erase(std::remove(v.begin(), v.end(), c), v.end()); };
  if (!other) return;
  drop(FFreeNotifies, other);
  drop(other->FFreeNotifies, this);
}

void TComponent::Notification(TComponent*, TOperation) {}

void TComponent::InsertComponent(TComponent* component) {
  component->FOwner = this;
  FComponents.push_back(component);
  for (TComponent* c : FComponents)
    if (c != component) c->Notification(component, TOperation::opInsert);
  Notification(component, TOperation::opInsert);
}

void TComponent::RemoveComponent(TComponent* component) {
  FComponents.erase(std::remove(FComponents.begin(), FComponents.end(), component), FComponents.end());
  component->FOwner = nullptr;
  for (TComponent* c : FComponents) c->Notification(component, TOperation::opRemove);
  Notification(component, TOperation::opRemove);
}
