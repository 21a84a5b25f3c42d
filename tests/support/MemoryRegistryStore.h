// A registry-like store in memory (records/types_RegistryStore.h) for the
// native tests and the fuzz targets of the records.  Like the registry, key
// and value names compare without regard to case and keep the spelling they
// were made with; names are listed in the order they were made.  A key can
// be told to take no more values than a limit (a full key on the 95 family).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "records/types_RegistryStore.h"
#include "rtl/routines_Strings.h"

class TMemoryRegistryStore : public IRegistryStore {
 public:
  struct TValue {
    std::string Name;
    bool IsInteger = false;
    std::string Text;
    int32_t Number = 0;
  };
  struct TNode {
    std::string Name;
    std::vector<TValue> Values;
    std::vector<std::unique_ptr<TNode>> Keys;

    TValue* Value(const std::string& N) {
      for (TValue& V : Values)
        if (SameText(V.Name, N)) return &V;
      return nullptr;
    }
    TNode* Key(const std::string& N) {
      for (auto& K : Keys)
        if (SameText(K->Name, N)) return K.get();
      return nullptr;
    }
  };

  // A key takes no new value once it holds this many.
  size_t MaxValuesPerKey = SIZE_MAX;

  // The node of Path ("\A\B"; empty parts are skipped), made with its
  // parents when Create; nullptr when it is missing.
  TNode* Find(const std::string& Path, bool Create) {
    TNode* N = &FRoot;
    size_t P = 0;
    while (N && P <= Path.size()) {
      size_t E = Path.find('\\', P);
      if (E == std::string::npos) E = Path.size();
      const std::string Part = Path.substr(P, E - P);
      P = E + 1;
      if (Part.empty()) continue;
      TNode* Next = N->Key(Part);
      if (!Next && Create) {
        N->Keys.push_back(std::make_unique<TNode>());
        Next = N->Keys.back().get();
        Next->Name = Part;
      }
      N = Next;
    }
    return N;
  }

  // Direct access for the tests, past any limit.
  void SetString(const std::string& Path, const std::string& Name, const std::string& Text) {
    Set(*Find(Path, true), Name, false, Text, 0, true);
  }
  void SetInteger(const std::string& Path, const std::string& Name, int32_t Number) {
    Set(*Find(Path, true), Name, true, "", Number, true);
  }
  bool DeleteValue(const std::string& Path, const std::string& Name) {
    TNode* N = Find(Path, false);
    if (!N) return false;
    for (auto I = N->Values.begin(); I != N->Values.end(); ++I)
      if (SameText(I->Name, Name)) {
        N->Values.erase(I);
        return true;
      }
    return false;
  }
  // "<string>" or "#<number>"; "" when the value is missing.
  std::string Get(const std::string& Path, const std::string& Name) {
    TNode* N = Find(Path, false);
    const TValue* V = N ? N->Value(Name) : nullptr;
    if (!V) return "";
    return V->IsInteger ? "#" + std::to_string(V->Number) : "<" + V->Text + ">";
  }
  // Every key below Path with its values, one line each, for comparisons.
  std::string Dump(const std::string& Path = "") {
    std::string Out;
    if (TNode* N = Find(Path, false)) DumpNode(*N, Path, Out);
    return Out;
  }

  std::unique_ptr<IRegistryStoreKey> OpenKey(const std::string& Path) override {
    TNode* N = Find(Path, false);
    return N ? std::make_unique<TKey>(*this, *N, Path) : nullptr;
  }
  std::unique_ptr<IRegistryStoreKey> CreateKey(const std::string& Path) override {
    return std::make_unique<TKey>(*this, *Find(Path, true), Path);
  }

 private:
  class TKey : public IRegistryStoreKey {
   public:
    TKey(TMemoryRegistryStore& S, TNode& N, std::string P) : FStore(S), FNode(N), FPath(std::move(P)) {}
    bool GetValueNames(std::vector<std::string>& Names) const override {
      Names.clear();
      for (const TValue& V : FNode.Values) Names.push_back(V.Name);
      return true;
    }
    bool GetKeyNames(std::vector<std::string>& Names) const override {
      Names.clear();
      for (const auto& K : FNode.Keys) Names.push_back(K->Name);
      return true;
    }
    bool ReadString(const std::string& Name, std::string& Value) const override {
      const TValue* V = FNode.Value(Name);
      if (!V || V->IsInteger) return Fail("ReadString", Name, V ? "not a string" : "no such value");
      Value = V->Text;
      return true;
    }
    bool ReadInteger(const std::string& Name, int32_t& Value) const override {
      const TValue* V = FNode.Value(Name);
      if (!V || !V->IsInteger) return Fail("ReadInteger", Name, V ? "not a DWORD" : "no such value");
      Value = V->Number;
      return true;
    }
    bool WriteString(const std::string& Name, const std::string& Value) override {
      return FStore.Set(FNode, Name, false, Value, 0, false) || Fail("WriteString", Name, "the key is full");
    }
    bool WriteInteger(const std::string& Name, int32_t Value) override {
      return FStore.Set(FNode, Name, true, "", Value, false) || Fail("WriteInteger", Name, "the key is full");
    }
    std::string FailureText() const override { return FLast; }

   private:
    bool Fail(const char* Op, const std::string& Name, const char* Why) const {
      FLast = std::string(Op) + "(" + FPath + ", " + Name + ") failed: " + Why;
      return false;
    }
    TMemoryRegistryStore& FStore;
    TNode& FNode;
    std::string FPath;
    mutable std::string FLast;
  };

  bool Set(TNode& N, const std::string& Name, bool IsInteger, const std::string& Text, int32_t Number,
           bool Force) {
    TValue* V = N.Value(Name);
    if (!V) {
      if (!Force && N.Values.size() >= MaxValuesPerKey) return false;
      N.Values.emplace_back();
      V = &N.Values.back();
      V->Name = Name;
    }
    V->IsInteger = IsInteger;
    V->Text = Text;
    V->Number = Number;
    return true;
  }

  static void DumpNode(TNode& N, const std::string& Path, std::string& Out) {
    Out += Path + "\\\n";
    for (const TValue& V : N.Values)
      Out += Path + "\\" + V.Name + " = " + (V.IsInteger ? "#" + std::to_string(V.Number) : "<" + V.Text + ">") + "\n";
    for (auto& K : N.Keys) DumpNode(*K, Path + "\\" + K->Name, Out);
  }

  TNode FRoot;
};
