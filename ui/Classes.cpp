#include "ui/Classes.h"

#include <algorithm>

#include "base/SysUtils.h"

namespace {

constexpr WORD FirstCommandId = 1000;

struct TCommandIdPool {
  WORD Next = FirstCommandId;
  std::vector<WORD> Released;
};

TCommandIdPool& CommandIds() {
  static TCommandIdPool pool;
  return pool;
}

}  // namespace

WORD AllocateCommandId() {
  TCommandIdPool& pool = CommandIds();
  if (!pool.Released.empty()) {
    WORD id = pool.Released.back();
    pool.Released.pop_back();
    return id;
  }
  if (pool.Next == 0xFFFF) throw EOutOfResources("No command identifier available");
  return pool.Next++;
}

void ReleaseCommandId(WORD id) {
  if (id >= FirstCommandId && id < CommandIds().Next) CommandIds().Released.push_back(id);
}

TComponent::TComponent(TComponent* owner) {
  if (owner) owner->InsertComponent(this);
}

TComponent::~TComponent() {
  FComponentState |= csDestroying;
  while (!FFreeNotifies.empty()) {
    TComponent* other = FFreeNotifies.back();
    FFreeNotifies.pop_back();
    std::erase(other->FFreeNotifies, this);
    other->Notification(this, opRemove);
  }
  DestroyComponents();
  if (FOwner) FOwner->RemoveComponent(this);
}

void TComponent::Free() {
  BeforeDestruction();
  delete this;
}

void TComponent::BeforeDestruction() { FComponentState |= csDestroying; }

TComponent* TComponent::FindComponent(const std::string& name) const {
  for (TComponent* c : FComponents)
    if (lstrcmpiA(c->FName.c_str(), name.c_str()) == 0) return c;
  return nullptr;
}

void TComponent::Loaded() { FComponentState &= ~csLoading; }

void TComponent::Notification(TComponent* component, TOperation operation) {
  // Walk a copy backwards: a listener may free components in response.
  std::vector<TComponent*> listeners = FComponents;
  for (auto it = listeners.rbegin(); it != listeners.rend(); ++it)
    if (*it != component) (*it)->Notification(component, operation);
}

void TComponent::ScaleForDpi(UINT dpi) {
  for (TComponent* component : std::vector<TComponent*>(FComponents)) component->ScaleForDpi(dpi);
}

void TComponent::FreeNotification(TComponent* component) {
  if (!component || component == this) return;
  if (std::find(FFreeNotifies.begin(), FFreeNotifies.end(), component) == FFreeNotifies.end()) {
    FFreeNotifies.push_back(component);
    component->FFreeNotifies.push_back(this);
  }
}

void TComponent::RemoveFreeNotification(TComponent* component) {
  std::erase(FFreeNotifies, component);
  if (component) std::erase(component->FFreeNotifies, this);
}

void TComponent::InsertComponent(TComponent* component) {
  component->FOwner = this;
  FComponents.push_back(component);
  Notification(component, opInsert);
}

void TComponent::RemoveComponent(TComponent* component) {
  auto it = std::find(FComponents.begin(), FComponents.end(), component);
  if (it == FComponents.end()) return;
  Notification(component, opRemove);
  FComponents.erase(std::find(FComponents.begin(), FComponents.end(), component));
  component->FOwner = nullptr;
}

void TComponent::DestroyComponents() {
  // Last created first, each detached before it goes.
  while (!FComponents.empty()) {
    TComponent* last = FComponents.back();
    Notification(last, opRemove);
    FComponents.pop_back();
    last->FOwner = nullptr;
    last->Free();
  }
}
