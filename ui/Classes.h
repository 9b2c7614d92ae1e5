// Object and component basics: method pointers, the message record, owned
// components with load completion and removal notification.
#pragma once
#include <windows.h>
#include <string>
#include <vector>

class TObject {
public:
  virtual ~TObject() = default;
  virtual const char* ClassName() const { return "TObject"; }
};

// The record every window procedure of the library works on.
struct TMessage {
  UINT Msg;
  WPARAM WParam;
  LPARAM LParam;
  LRESULT Result;
};

// Method pointers (object + code). They compare equal when both parts do,
// so a component can ask whether a slot already holds its own handler.
using TNotifyCode = void (TObject::*)(TObject* sender);
struct TNotifyEvent {
  TObject* Data = nullptr;
  TNotifyCode Code = nullptr;

  bool Assigned() const { return Code != nullptr; }
  void operator()(TObject* sender) const {
    if (Code) (Data->*Code)(sender);
  }
  bool operator==(const TNotifyEvent&) const = default;
};

template <class T>
TNotifyEvent NotifyEvent(T* object, void (T::*code)(TObject*)) {
  return {object, static_cast<TNotifyCode>(code)};
}

using TWndMethodCode = void (TObject::*)(TMessage& message);
struct TWndMethod {
  TObject* Data = nullptr;
  TWndMethodCode Code = nullptr;

  void operator()(TMessage& message) const { (Data->*Code)(message); }
  bool operator==(const TWndMethod&) const = default;
};

template <class T>
TWndMethod WndMethod(T* object, void (T::*code)(TMessage&)) {
  return {object, static_cast<TWndMethodCode>(code)};
}

// An observer of a window's messages; returns true when it handled one.
using TWindowHookCode = bool (TObject::*)(TMessage& message);
struct TWindowHook {
  TObject* Data = nullptr;
  TWindowHookCode Code = nullptr;

  bool operator()(TMessage& message) const { return (Data->*Code)(message); }
  bool operator==(const TWindowHook&) const = default;
};

template <class T>
TWindowHook WindowHook(T* object, bool (T::*code)(TMessage&)) {
  return {object, static_cast<TWindowHookCode>(code)};
}

// Identifiers for child controls and menu commands, from one pool so that a
// menu command can never be taken for a control's notification. They stay
// clear of IDOK and IDCANCEL, which dialog navigation sends, and fit the
// 16 bits of WM_COMMAND. Raises when all are taken.
WORD AllocateCommandId();
void ReleaseCommandId(WORD id);

enum TOperation { opInsert, opRemove };

enum TComponentStateFlag : unsigned {
  csLoading = 1,
  csDestroying = 2,
  csDesigning = 4,
};

// A component is owned by another and destroyed with it. Owned components
// are kept in the order in which they were created (the stored order).
class TComponent : public TObject {
public:
  explicit TComponent(TComponent* owner);
  ~TComponent() override;
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;
  const char* ClassName() const override { return "TComponent"; }

  // Runs BeforeDestruction while the object is whole, then deletes it.
  void Free();

  TComponent* Owner() const { return FOwner; }
  int ComponentCount() const { return static_cast<int>(FComponents.size()); }
  TComponent* Components(int index) const { return FComponents[index]; }
  TComponent* FindComponent(const std::string& name) const;

  const std::string& Name() const { return FName; }
  void SetName(const std::string& name) { FName = name; }
  int Tag() const { return FTag; }
  void SetTag(int tag) { FTag = tag; }

  unsigned ComponentState() const { return FComponentState; }
  bool Loading() const { return (FComponentState & csLoading) != 0; }
  bool Destroying() const { return (FComponentState & csDestroying) != 0; }
  // Puts this component into the loading state while its stored properties
  // are applied; Loaded ends it.
  void BeginLoading() { FComponentState |= csLoading; }

  // Load completion: runs once after the owner has read all its stored
  // properties, in the stored order.
  virtual void Loaded();
  // Every component owned by the same owner hears of insertions and removals.
  virtual void Notification(TComponent* component, TOperation operation);
  // The owner's window is now shown at dpi (its stored layout is for 96):
  // passed on to every owned component, each of which adapts what it holds.
  virtual void ScaleForDpi(UINT dpi);
  // component will also hear (opRemove) when this one is destroyed, and the
  // other way round; for links between components of different owners.
  void FreeNotification(TComponent* component);
  void RemoveFreeNotification(TComponent* component);

protected:
  virtual void BeforeDestruction();
  void MarkDestroying() { FComponentState |= csDestroying; }

private:
  void InsertComponent(TComponent* component);
  void RemoveComponent(TComponent* component);
  void DestroyComponents();

  TComponent* FOwner = nullptr;
  std::vector<TComponent*> FComponents;
  std::vector<TComponent*> FFreeNotifies;
  std::string FName;
  int FTag = 0;
  unsigned FComponentState = 0;
};
