// TPersistent (objects that can be assigned from one another) and TComponent (named objects
// owned by other components, freed by their owner, told when components they watch go away).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "classlib/core/objects.h"
#include "classlib/core/sysutils.h"

class TFiler;

class TPersistent : public TObject {
  KARO_CLASS(TPersistent)
public:
  // Copies Source into this object; a class that does not know Source hands the work to
  // Source's AssignTo, and the base raises the platform's "Cannot assign" error.
  virtual void Assign(TPersistent* source);
  virtual TPersistent* GetOwner() { return nullptr; }
  // Binary and other non-published data of the form file; see TFiler.
  virtual void DefineProperties(TFiler& filer) { (void)filer; }

protected:
  virtual void AssignTo(TPersistent* dest);
  [[noreturn]] void AssignError(TPersistent* source);
};

enum TOperation { opInsert, opRemove };

// Component state flags, a set over these bits.
enum TComponentStateBit : uint32_t {
  csLoading = 1u << 0,
  csReading = 1u << 1,
  csWriting = 1u << 2,
  csDestroying = 1u << 3,
  csDesigning = 1u << 4,
  csAncestor = 1u << 5,
  csUpdating = 1u << 6,
  csFixups = 1u << 7,
};
using TComponentState = uint32_t;

class TComponent : public TPersistent {
  KARO_CLASS(TComponent)
public:
  explicit TComponent(TComponent* owner);
  ~TComponent() override;

  TComponent* Owner() const { return owner_; }
  int ComponentCount() const { return int(components_.size()); }
  TComponent* Components(int index) const;
  int ComponentIndex() const;
  TComponent* FindComponent(const std::string& name) const;
  void InsertComponent(TComponent* c);
  void RemoveComponent(TComponent* c);
  // Frees every owned component, last first.
  void DestroyComponents();

  const std::string& Name() const { return name_; }
  virtual void SetName(const std::string& newName);
  intptr_t Tag() const { return tag_; }
  void SetTag(intptr_t t) { tag_ = t; }

  TComponentState ComponentState() const { return state_; }
  bool HasState(TComponentStateBit b) const { return (state_ & b) != 0; }
  void SetDesigning(bool on);

  // Asks to be told (Notification with opRemove) when c is destroyed; works across owners.
  void FreeNotification(TComponent* c);
  void RemoveFreeNotification(TComponent* c);

  // Called once the component has been read whole from a form file.
  virtual void Loaded();
  void SetLoadingState(bool on);
  void SetReadingState(bool on);

  TPersistent* GetOwner() override { return owner_; }

protected:
  virtual void Notification(TComponent* c, TOperation op);
  void Destroying() { state_ |= csDestroying; }

private:
  void ValidateRename(TComponent* c, const std::string& oldName, const std::string& newName);
  void InsertFreeNote(TComponent* c);
  void RemoveFreeNote(TComponent* c);

  TComponent* owner_ = nullptr;
  std::vector<TComponent*> components_;
  std::vector<TComponent*> freeNotifies_;
  std::string name_;
  intptr_t tag_ = 0;
  TComponentState state_ = 0;
};
