// The component model: persistent objects with published properties described
// by class metadata, and components that own each other, carry names and tell
// each other when one goes away.  The object stream reader and writer are
// driven entirely by the metadata declared here.
#pragma once

#include <any>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "rtl/exceptions_Quorvane.h"

class TPersistent;
class TComponent;
class TFiler;
class TReader;
class TWriter;
struct TClassInfo;

// ---------------------------------------------------------------------------
// Events.  A published event is a std::function fired with the sender first,
// plus the name of the root's method it was bound to (so it can be written
// back).  Test with `if (OnX)`, fire with `OnX(this, ...)`.
template <class Sig>
struct TEvent;
template <class R, class... A>
struct TEvent<R(A...)> {
  using Function = std::function<R(A...)>;
  Function Fn;
  std::string MethodName;  // set when bound from a stream, empty when set in code

  TEvent() = default;
  TEvent(Function F) : Fn(std::move(F)) {}
  TEvent& operator=(Function F) {
    Fn = std::move(F);
    MethodName.clear();
    return *this;
  }
  explicit operator bool() const { return static_cast<bool>(Fn); }
  R operator()(A... Args) const { return Fn(std::forward<A>(Args)...); }
};

using TNotifyEvent = TEvent<void(TPersistent* Sender)>;

// ---------------------------------------------------------------------------
// Metadata.

enum class TPropKind {
  Integer,    // 32-bit signed
  Boolean,
  String,
  Enum,       // ordinal, names from TEnumInfo
  Set,        // bit mask over a TEnumInfo's ordinals (at most 32 elements)
  Float,      // stored as double, streamed as 80-bit extended (or single/date/currency)
  Object,     // sub-object owned by the instance (Information, Font, TStrings, TCollection)
  Component,  // reference to another component by name, resolved after loading
  Method,     // event bound to a method the root publishes
};

struct TEnumInfo {
  std::string TypeName;
  std::vector<std::string> Names;  // index = ordinal
  int IndexOf(const std::string& Name) const;  // case-insensitive, -1 when absent
};

struct TPropInfo {
  std::string Name;
  TPropKind Kind = TPropKind::Integer;
  const TEnumInfo* Enum = nullptr;        // Enum and Set
  const TClassInfo* RefClass = nullptr;   // Component: the class a reference must inherit from

  // Ordinal kinds (Integer, Boolean, Enum, Set).
  std::function<int64_t(const TPersistent&)> GetOrd;
  std::function<void(TPersistent&, int64_t)> SetOrd;
  // String.
  std::function<std::string(const TPersistent&)> GetStr;
  std::function<void(TPersistent&, const std::string&)> SetStr;
  // Float.
  std::function<double(const TPersistent&)> GetFloat;
  std::function<void(TPersistent&, double)> SetFloat;
  // Object (get only) and Component (get and set).
  std::function<TPersistent*(const TPersistent&)> GetObj;
  std::function<void(TPersistent&, TComponent*)> SetRef;
  // Method: the bound method's name, and binding a method value (a std::any
  // holding the std::function of the event's signature; a mismatch throws).
  std::function<std::string(const TPersistent&)> GetMethodName;
  std::function<void(TPersistent&, const std::string& Name, const std::any& Fn)> SetMethod;
  std::function<void(TPersistent&)> ClearMethod;

  // Defaults: a property equal to its default is not written.
  bool HasDefault = false;
  int64_t DefaultOrd = 0;
  std::string DefaultStr;
  double DefaultFloat = 0;
  // Optional: decides whether the property is written at all.
  std::function<bool(const TPersistent&)> IsStored;
};

// A method the root class publishes, bindable by name from a stream.  Bind
// returns a std::any holding the std::function of the event's signature with
// the instance captured.
struct TMethodInfo {
  std::string Name;
  std::function<std::any(TPersistent& Instance)> Bind;
};

struct TClassInfo {
  std::string ClassName;
  const TClassInfo* Parent = nullptr;
  // Constructs an instance with the given owner; empty for abstract classes
  // and for persistent classes that are not components.
  std::function<TComponent*(TComponent* Owner)> Create;
  std::vector<TPropInfo> Props;      // own published properties, in declaration order
  std::vector<TMethodInfo> Methods;  // own published methods

  bool InheritsFrom(const TClassInfo& Other) const;
  // Published property by name (case-insensitive), searching the ancestors too.
  const TPropInfo* FindProp(const std::string& Name) const;
  const TMethodInfo* FindMethod(const std::string& Name) const;
  // All published properties, ancestors first, in declaration order.
  std::vector<const TPropInfo*> AllProps() const;
};

// The global class registry, looked up by class name (case-insensitive).
// (Not "RegisterClass": <windows.h> makes that name a macro.)
void RegisterComponentClass(const TClassInfo& Info);
const TClassInfo* FindClass(const std::string& Name);
std::vector<const TClassInfo*> RegisteredClasses();

// ---------------------------------------------------------------------------

// Declares the metadata accessors of a class; the definition builds its
// TClassInfo once with TClassBuilder (rtl/routines_ClassBuilder.h).
#define QV_CLASS()                                      \
 public:                                                \
  static const TClassInfo& StaticClass();               \
  const TClassInfo& ClassInfo() const override { return StaticClass(); }

class TPersistent {
 public:
  virtual ~TPersistent() = default;
  static const TClassInfo& StaticClass();
  virtual const TClassInfo& ClassInfo() const { return StaticClass(); }
  const std::string& ClassName() const { return ClassInfo().ClassName; }
  bool InheritsFrom(const TClassInfo& C) const { return ClassInfo().InheritsFrom(C); }
  // Non-published values stored under a name of the class's own.
  virtual void DefineProperties(TFiler& Filer);
  // The name used in stream error messages ("Error reading %s%s%s: %s").
  virtual std::string GetNamePath() const { return ClassName(); }
};

template <class T>
T* DynamicCast(TPersistent* P) {
  return dynamic_cast<T*>(P);
}

enum TComponentStateFlag : uint32_t {
  csLoading = 1u << 0,
  csReading = 1u << 1,
  csWriting = 1u << 2,
  csDestroying = 1u << 3,
  csDesigning = 1u << 4,
  csAncestor = 1u << 5,
  csUpdating = 1u << 6,
  csFixups = 1u << 7,
  csFreeNotification = 1u << 8,
  csInline = 1u << 9,
};
using TComponentState = uint32_t;

enum class TOperation { opInsert, opRemove };

class TComponent : public TPersistent {
 public:
  explicit TComponent(TComponent* AOwner);
  ~TComponent() override;
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  static const TClassInfo& StaticClass();
  const TClassInfo& ClassInfo() const override { return StaticClass(); }

  const std::string& Name() const { return FName; }
  // Checks the name is an identifier and unique among the owner's components
  // ("A component named %s already exists").
  virtual void SetName(const std::string& NewName);
  TComponent* Owner() const { return FOwner; }

  int ComponentCount() const { return static_cast<int>(FComponents.size()); }
  TComponent* Components(int Index) const;
  TComponent* FindComponent(const std::string& AName) const;  // case-insensitive
  int ComponentIndex() const;

  TComponentState ComponentState() const { return FComponentState; }
  bool HasState(TComponentStateFlag F) const { return (FComponentState & F) != 0; }
  void SetState(TComponentStateFlag F) { FComponentState |= F; }
  void ClearState(TComponentStateFlag F) { FComponentState &= ~F; }
  bool IsLoading() const { return HasState(csLoading); }
  bool IsDestroying() const { return HasState(csDestroying); }

  intptr_t Tag = 0;

  // Called once the whole stream is read and every reference is resolved.
  virtual void Loaded();
  // A component owned by the same owner, or one that asked for free
  // notification, is being inserted or removed.
  virtual void Notification(TComponent* AComponent, TOperation Operation);
  void FreeNotification(TComponent* AComponent);
  void RemoveFreeNotification(TComponent* AComponent);

  void InsertComponent(TComponent* AComponent);
  void RemoveComponent(TComponent* AComponent);
  void DestroyComponents();
  // Marks this component and those it owns as being destroyed.
  void Destroying();

  // Visual parent for stream nesting: a child record is read with its
  // enclosing object as parent.  Components without a visual parent ignore it.
  virtual void SetParentComponent(TComponent* Value);
  virtual TComponent* GetParentComponent() const { return nullptr; }
  virtual bool HasParent() const { return false; }
  // Children written inside this component's record, in order.
  virtual void GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root);
  virtual void SetChildOrder(TComponent* Child, int Order);

  std::string GetNamePath() const override { return FName.empty() ? ClassName() : FName; }

 protected:
  virtual void ValidateRename(TComponent* AComponent, const std::string& CurName,
                              const std::string& NewName);

 private:
  void Remove(TComponent* AComponent);
  void Insert(TComponent* AComponent);

  std::string FName;
  TComponent* FOwner = nullptr;
  std::vector<TComponent*> FComponents;
  std::vector<TComponent*> FFreeNotifies;
  TComponentState FComponentState = 0;
};

bool IsValidIdent(const std::string& S);
bool SameText(const std::string& A, const std::string& B);
std::string UpperCase(const std::string& S);
std::string LowerCase(const std::string& S);
