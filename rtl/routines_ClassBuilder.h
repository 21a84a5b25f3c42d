// Builds a class's metadata from member pointers and callables:
//
//   const TClassInfo& TFoo::StaticClass() {
//     static const TClassInfo Info = TClassBuilder<TFoo>("TFoo", &TBase::StaticClass())
//         .Creatable()
//         .Int("Size", &TFoo::FSize, 0)                       // field
//         .Str("Title", &TFoo::GetTitle, &TFoo::SetTitle, "")   // getter and setter
//         .Enum("Mode", ModeInfo, &TFoo::FMode, mdNone)
//         .Ref("Container", TInstallContainer::StaticClass(), &TFoo::FContainer, &TFoo::SetContainer)
//         .Event("OnStatus", &TFoo::OnStatus)
//         .Build();
//     return Info;
//   }
//
// A getter is a data member pointer, a const member function or a callable
// taking `const C&`; a setter is a data member pointer, a member function
// taking the value, or a callable taking `(C&, value)`.
#pragma once

#include <functional>
#include <type_traits>

#include "rtl/cmp_TComponent.h"

namespace classbuilder {

template <class C, class T, class G>
T GetValue(const G& Get, const C& Obj) {
  return static_cast<T>(std::invoke(Get, Obj));
}

template <class C, class T, class S>
void SetValue(const S& Set, C& Obj, const T& Value) {
  if constexpr (std::is_member_object_pointer_v<S>) {
    using Field = std::remove_reference_t<decltype(Obj.*Set)>;
    Obj.*Set = static_cast<Field>(Value);
  } else if constexpr (std::is_member_function_pointer_v<S>) {
    std::invoke(Set, Obj, Value);
  } else {
    Set(Obj, Value);
  }
}

// Member function setters may take an enum, an int or a const string&: a
// value of the streamed type is converted to the parameter type.
template <class S>
struct SetterArg;
template <class C, class A>
struct SetterArg<void (C::*)(A)> {
  using Type = std::decay_t<A>;
};
template <class C, class A>
struct SetterArg<void (C::*)(A) noexcept> {
  using Type = std::decay_t<A>;
};

template <class C, class T, class S>
void SetConverted(const S& Set, C& Obj, const T& Value) {
  if constexpr (std::is_member_function_pointer_v<S>) {
    using A = typename SetterArg<S>::Type;
    std::invoke(Set, Obj, static_cast<A>(Value));
  } else {
    SetValue<C, T, S>(Set, Obj, Value);
  }
}

// A setter is a member pointer or a callable object, never a plain value (so
// that Int("X", &C::F, 0) picks the field overload).
template <class S>
constexpr bool IsAccessor = std::is_member_pointer_v<S> || std::is_class_v<S>;

}  // namespace classbuilder

template <class C>
class TClassBuilder {
 public:
  TClassBuilder(const char* Name, const TClassInfo* Parent) {
    FInfo.ClassName = Name;
    FInfo.Parent = Parent;
  }

  // The class can be created by name from a stream.
  TClassBuilder& Creatable() {
    FInfo.Create = [](TComponent* Owner) -> TComponent* { return new C(Owner); };
    return *this;
  }

  template <class G, class S, std::enable_if_t<classbuilder::IsAccessor<S>, int> = 0>
  TClassBuilder& Int(const char* Name, G Get, S Set, int64_t Def = 0) {
    return Ordinal(Name, TPropKind::Integer, nullptr, Get, Set, Def);
  }
  template <class F, std::enable_if_t<std::is_member_object_pointer_v<F>, int> = 0>
  TClassBuilder& Int(const char* Name, F Field, int64_t Def = 0) {
    return Int(Name, Field, Field, Def);
  }

  template <class G, class S, std::enable_if_t<classbuilder::IsAccessor<S>, int> = 0>
  TClassBuilder& Bool(const char* Name, G Get, S Set, bool Def = false) {
    return Ordinal(Name, TPropKind::Boolean, nullptr, Get, Set, Def ? 1 : 0);
  }
  template <class F, std::enable_if_t<std::is_member_object_pointer_v<F>, int> = 0>
  TClassBuilder& Bool(const char* Name, F Field, bool Def = false) {
    return Bool(Name, Field, Field, Def);
  }

  template <class G, class S, std::enable_if_t<classbuilder::IsAccessor<S>, int> = 0>
  TClassBuilder& Enum(const char* Name, const TEnumInfo& E, G Get, S Set, int64_t Def = 0) {
    return Ordinal(Name, TPropKind::Enum, &E, Get, Set, Def);
  }
  template <class F, std::enable_if_t<std::is_member_object_pointer_v<F>, int> = 0>
  TClassBuilder& Enum(const char* Name, const TEnumInfo& E, F Field, int64_t Def = 0) {
    return Enum(Name, E, Field, Field, Def);
  }

  // A set is a bit mask: bit n is the element with ordinal n of E.
  template <class G, class S, std::enable_if_t<classbuilder::IsAccessor<S>, int> = 0>
  TClassBuilder& Set(const char* Name, const TEnumInfo& E, G Get, S Set, int64_t Def = 0) {
    return Ordinal(Name, TPropKind::Set, &E, Get, Set, Def);
  }
  template <class F, std::enable_if_t<std::is_member_object_pointer_v<F>, int> = 0>
  TClassBuilder& Set(const char* Name, const TEnumInfo& E, F Field, int64_t Def = 0) {
    return Set(Name, E, Field, Field, Def);
  }

  template <class G, class S, std::enable_if_t<classbuilder::IsAccessor<S>, int> = 0>
  TClassBuilder& Str(const char* Name, G Get, S Set, const char* Def = "") {
    TPropInfo P;
    P.Name = Name;
    P.Kind = TPropKind::String;
    P.GetStr = [Get](const TPersistent& O) {
      return std::string(std::invoke(Get, static_cast<const C&>(O)));
    };
    P.SetStr = [Set](TPersistent& O, const std::string& V) {
      classbuilder::SetConverted<C, std::string>(Set, static_cast<C&>(O), V);
    };
    P.HasDefault = true;
    P.DefaultStr = Def;
    return Add(std::move(P));
  }
  template <class F, std::enable_if_t<std::is_member_object_pointer_v<F>, int> = 0>
  TClassBuilder& Str(const char* Name, F Field, const char* Def = "") {
    return Str(Name, Field, Field, Def);
  }

  template <class G, class S, std::enable_if_t<classbuilder::IsAccessor<S>, int> = 0>
  TClassBuilder& Float(const char* Name, G Get, S Set, double Def = 0) {
    TPropInfo P;
    P.Name = Name;
    P.Kind = TPropKind::Float;
    P.GetFloat = [Get](const TPersistent& O) {
      return static_cast<double>(std::invoke(Get, static_cast<const C&>(O)));
    };
    P.SetFloat = [Set](TPersistent& O, double V) {
      classbuilder::SetConverted<C, double>(Set, static_cast<C&>(O), V);
    };
    P.HasDefault = true;
    P.DefaultFloat = Def;
    return Add(std::move(P));
  }
  template <class F, std::enable_if_t<std::is_member_object_pointer_v<F>, int> = 0>
  TClassBuilder& Float(const char* Name, F Field, double Def = 0) {
    return Float(Name, Field, Field, Def);
  }

  // A sub-object the instance owns (TStrings, TCollection, TFont, ...).
  template <class G>
  TClassBuilder& Object(const char* Name, G Get) {
    TPropInfo P;
    P.Name = Name;
    P.Kind = TPropKind::Object;
    P.GetObj = [Get](const TPersistent& O) -> TPersistent* {
      return std::invoke(Get, static_cast<const C&>(O));
    };
    return Add(std::move(P));
  }

  // A reference to another component, by name in the stream.
  template <class G, class S>
  TClassBuilder& Ref(const char* Name, const TClassInfo& RefClass, G Get, S Set) {
    TPropInfo P;
    P.Name = Name;
    P.Kind = TPropKind::Component;
    P.RefClass = &RefClass;
    P.GetObj = [Get](const TPersistent& O) -> TPersistent* {
      return std::invoke(Get, static_cast<const C&>(O));
    };
    P.SetRef = [Set](TPersistent& O, TComponent* V) {
      using Target = std::remove_pointer_t<std::decay_t<decltype(std::invoke(
          std::declval<G>(), std::declval<const C&>()))>>;
      classbuilder::SetValue<C, Target*>(Set, static_cast<C&>(O), dynamic_cast<Target*>(V));
    };
    P.HasDefault = true;  // nil
    return Add(std::move(P));
  }

  // The field may be declared in a base class of C.
  template <class Sig, class B>
  TClassBuilder& Event(const char* Name, TEvent<Sig> B::*Field) {
    TPropInfo P;
    P.Name = Name;
    P.Kind = TPropKind::Method;
    P.GetMethodName = [Field](const TPersistent& O) {
      return (static_cast<const C&>(O).*Field).MethodName;
    };
    P.SetMethod = [Field](TPersistent& O, const std::string& MethodName, const std::any& Fn) {
      const auto* F = std::any_cast<std::function<Sig>>(&Fn);
      if (!F) throw EReadError("Invalid property value");
      auto& E = static_cast<C&>(O).*Field;
      E.Fn = *F;
      E.MethodName = MethodName;
    };
    P.ClearMethod = [Field](TPersistent& O) { static_cast<C&>(O).*Field = TEvent<Sig>(); };
    P.HasDefault = true;
    return Add(std::move(P));
  }

  // A published method of a root class, bindable from a stream by name.
  template <class Sig, class M>
  TClassBuilder& Method(const char* Name, M Member) {
    TMethodInfo Mi;
    Mi.Name = Name;
    Mi.Bind = [Member](TPersistent& O) -> std::any {
      C* Self = &static_cast<C&>(O);
      return std::function<Sig>([Self, Member](auto&&... A) {
        return std::invoke(Member, Self, std::forward<decltype(A)>(A)...);
      });
    };
    FInfo.Methods.push_back(std::move(Mi));
    return *this;
  }

  // Marks the last added property as written only when Pred says so.
  template <class P>
  TClassBuilder& StoredIf(P Pred) {
    FInfo.Props.back().IsStored = [Pred](const TPersistent& O) {
      return std::invoke(Pred, static_cast<const C&>(O));
    };
    return *this;
  }
  // The last added property has no default: it is always written.
  TClassBuilder& NoDefault() {
    FInfo.Props.back().HasDefault = false;
    return *this;
  }

  TClassInfo Build() { return std::move(FInfo); }

 private:
  template <class G, class S>
  TClassBuilder& Ordinal(const char* Name, TPropKind Kind, const TEnumInfo* E, G Get, S Set,
                         int64_t Def) {
    TPropInfo P;
    P.Name = Name;
    P.Kind = Kind;
    P.Enum = E;
    P.GetOrd = [Get](const TPersistent& O) {
      return static_cast<int64_t>(std::invoke(Get, static_cast<const C&>(O)));
    };
    P.SetOrd = [Set](TPersistent& O, int64_t V) {
      if constexpr (std::is_member_object_pointer_v<S>) {
        auto& F = static_cast<C&>(O).*Set;
        F = static_cast<std::remove_reference_t<decltype(F)>>(V);
      } else if constexpr (std::is_member_function_pointer_v<S>) {
        using A = typename classbuilder::SetterArg<S>::Type;
        std::invoke(Set, static_cast<C&>(O), static_cast<A>(V));
      } else {
        Set(static_cast<C&>(O), V);
      }
    };
    P.HasDefault = true;
    P.DefaultOrd = Def;
    return Add(std::move(P));
  }

  TClassBuilder& Add(TPropInfo P) {
    FInfo.Props.push_back(std::move(P));
    return *this;
  }

  TClassInfo FInfo;
};
