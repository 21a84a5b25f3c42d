// A list of strings, each with an optional object pointer.  Published string
// list properties hold one; in a stream it is the defined property "Strings".
#pragma once

#include <string>
#include <vector>

#include "rtl/cmp_TComponent.h"

class TStrings : public TPersistent {
  QV_CLASS()
 public:
  int Count() const { return static_cast<int>(FItems.size()); }
  const std::string& Strings(int Index) const;
  const std::string& operator[](int Index) const { return Strings(Index); }
  void SetStrings(int Index, const std::string& S);
  void* Objects(int Index) const;
  void SetObjects(int Index, void* Obj);

  int Add(const std::string& S, void* Obj = nullptr);
  void Insert(int Index, const std::string& S, void* Obj = nullptr);
  void Delete(int Index);
  void Clear();
  void Assign(const TStrings& Source);
  void AddStrings(const TStrings& Source);
  void Exchange(int A, int B);
  void Move(int From, int To);
  // First index whose text equals S, case-insensitively; -1 when none.
  int IndexOf(const std::string& S) const;
  int IndexOfObject(const void* Obj) const;
  // Lines joined with CR LF (each line terminated); setting splits at CR, LF
  // or CR LF.
  std::string Text() const;
  void SetText(const std::string& S);
  // "Name=Value" lines.
  std::string Names(int Index) const;
  std::string Values(const std::string& Name) const;
  void SetValues(const std::string& Name, const std::string& Value);
  int IndexOfName(const std::string& Name) const;

  bool operator==(const TStrings& O) const;
  std::vector<std::string> ToVector() const;

  TNotifyEvent OnChange;

  void DefineProperties(TFiler& Filer) override;

 protected:
  // Every change of the lines ends here; a list that derives values from
  // its lines (a language table) refreshes them.
  virtual void Changed();

 private:
  struct Item {
    std::string S;
    void* Obj = nullptr;
  };
  void Check(int Index) const;
  std::vector<Item> FItems;
};

using TStringList = TStrings;
