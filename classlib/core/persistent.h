// TPersistent (objects that can be assigned from one another and that carry data of their own
// into form files) and TComponent (named objects owned by other components, freed by their
// owner, told when components they watch go away, and read from and written to form files).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
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
  // Binary and other non-published data of the form file; see TFiler (classlib/core/filer.h).
  virtual void DefineProperties(TFiler& filer) { (void)filer; }

protected:
  virtual void AssignTo(TPersistent* dest);
  // Raises EConvertError "Cannot assign a <source class or nil> to a <this class>".
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

using TGetChildProc = std::function<void(TComponent* child)>;

class TComponent : public TPersistent {
  KARO_CLASS(TComponent)
public:
  explicit TComponent(TComponent* owner);
  // Tells every component that asked for free notification, then frees the owned components
  // (last first) and leaves the owner. A component freed by its owner is still whole when its
  // watchers hear of it; one deleted directly has already lost its derived parts by then, so a
  // Notification override compares the pointer and does not call into it.
  ~TComponent() override;

  TComponent* Owner() const { return owner_; }
  int ComponentCount() const { return int(components_.size()); }
  // Raises EListError ("List index out of bounds (n)") for an index outside 0..ComponentCount-1.
  TComponent* Components(int index) const;
  int ComponentIndex() const;
  // The owned component of that name (compared without regard to ASCII case), or null.
  TComponent* FindComponent(const std::string& name) const;
  void InsertComponent(TComponent* c);
  void RemoveComponent(TComponent* c);
  // Frees every owned component, last first, each after its BeforeDestruction.
  void DestroyComponents();

  const std::string& Name() const { return name_; }
  // Raises EComponentError "'x' is not a valid component name" for a name that is not an
  // identifier, and "A component named x already exists" when the owner has another by that name.
  virtual void SetName(const std::string& newName);
  intptr_t Tag() const { return tag_; }
  void SetTag(intptr_t t) { tag_ = t; }

  TComponentState ComponentState() const { return state_; }
  bool HasState(TComponentStateBit b) const { return (state_ & b) != 0; }
  void SetDesigning(bool on);

  // Asks to be told (Notification with opRemove) when c is destroyed; works across owners.
  void FreeNotification(TComponent* c);
  void RemoveFreeNotification(TComponent* c);

  // Called once the whole form file holding the component has been read.
  virtual void Loaded();
  void SetLoadingState(bool on);
  void SetReadingState(bool on);
  void SetWritingState(bool on);

  TPersistent* GetOwner() override { return owner_; }

  // Form-file structure. A component read inside another object of a form file is, when it
  // HasParent, handed that object's GetChildParent through SetParentComponent (the controls
  // layer makes a control the child of the window it was read in); it is owned by the
  // enclosing object's GetChildOwner, or by the root of the file when that is null.
  virtual bool HasParent() const { return false; }
  virtual TComponent* GetParentComponent() const { return nullptr; }
  virtual void SetParentComponent(TComponent* parent) { (void)parent; }
  virtual TComponent* GetChildParent() { return this; }
  virtual TComponent* GetChildOwner() { return nullptr; }
  // The components written inside this one. The base gives, for the root of the file, every
  // owned component that does not HasParent; containers of the controls layer give their children.
  virtual void GetChildren(const TGetChildProc& proc, TComponent* root);

  // The published handler name last given to an event property through SetMethodProp (the
  // form-file reader does so), so that a written form names it again; empty when unknown.
  std::string MethodName(const std::string& propName) const;
  void SetMethodName(const std::string& propName, const std::string& handler);

protected:
  virtual void Notification(TComponent* c, TOperation op);
  // Marks this component and everything it owns as being destroyed.
  void Destroying();
  virtual void ValidateRename(TComponent* c, const std::string& oldName, const std::string& newName);

private:
  void RemoveFreeNotifications();
  void InsertFreeNote(TComponent* c);
  void RemoveFreeNote(TComponent* c);

  TComponent* owner_ = nullptr;
  std::vector<TComponent*> components_;
  std::vector<TComponent*> freeNotifies_;
  std::vector<std::pair<std::string, std::string>> methodNames_;
  std::string name_;
  intptr_t tag_ = 0;
  TComponentState state_ = 0;
};

// True for a non-empty name of ASCII letters, digits and underscores that does not begin with a digit.
bool IsValidIdent(std::string_view s);
