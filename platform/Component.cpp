#include "Component.h"

#include "Exceptions.h"

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

bool SameText(const QString& a, const QString& b) {
  if (a.size() != b.size()) return false;
  for (qsizetype i = 0; i < a.size(); ++i) {
    char16_t x = a[i].unicode(), y = b[i].unicode();
    if (x >= 'a' && x <= 'z') x -= 32;
    if (y >= 'a' && y <= 'z') y -= 32;
    if (x != y) return false;
  }
  return true;
}

TComponent::TComponent(TComponent* owner) {
  if (owner) owner->InsertComponent(this);
}

TComponent::~TComponent() {
  FDestroying = true;
  // Those who asked to hear about this component forget it now.
  const auto listeners = FFreeNotifies;
  for (TComponent* other : listeners) {
    other->Notification(this, TOperation::opRemove);
    auto& back = other->FFreeNotifies;
    back.erase(std::remove(back.begin(), back.end(), this), back.end());
  }
  FFreeNotifies.clear();
  DestroyComponents();
  if (FOwner) FOwner->RemoveComponent(this);
}

void TComponent::DestroyComponents() {
  FDestroying = true;
  while (!FComponents.empty()) {
    TComponent* last = FComponents.back();
    delete last;  // removes itself from FComponents
  }
}

TComponent* TComponent::Components(int index) const {
  if (index < 0 || index >= ComponentCount())
    throw EListError(QStringLiteral("List index out of bounds (%1)").arg(index));
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
    if (other && other != this)
      throw EComponentError(QStringLiteral("A component named %1 already exists").arg(name));
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
