// Path specifiers: symbolic bases of every directory in a project.  A
// specifier turns itself into a real path for a given install object on the
// user's machine.  Fourteen standard ones come with the kit; a project may
// add its own whose path comes from an event.
#pragma once

#include <string>

#include "rtl/cmp_TComponent.h"

// Sender component, var Path.
using TGetPathEvent = TEvent<void(TComponent* Component, std::string& Path)>;

class TCustomPathSpecifier : public TComponent {
  QV_CLASS()
 public:
  explicit TCustomPathSpecifier(TComponent* AOwner);
  ~TCustomPathSpecifier() override;

  TGetPathEvent OnGetPath;
  const std::string& StandardName() const { return FStandardName; }

  // Raises when this specifier cannot serve Obj.
  virtual void Validate(TComponent* Obj) {}
  virtual std::string GetDescription() const { return "Unspecified"; }
  virtual std::string GetDescriptionFor(TComponent* Obj) { return GetDescription(); }
  // A directory without trailing backslash (a file path for the archive
  // specifiers).
  virtual std::string GetPath(TComponent* Obj);

 protected:
  std::string FStandardName;
};

// A project's own specifier: the path comes from OnGetPath.
class TPathSpecifier : public TCustomPathSpecifier {
  QV_CLASS()
 public:
  explicit TPathSpecifier(TComponent* AOwner);
  std::string Description = "My cool new path specifier";
  std::string GetDescription() const override { return Description; }
};

class TStandardPathSpecifier : public TCustomPathSpecifier {
  QV_CLASS()
 public:
  TStandardPathSpecifier(TComponent* AOwner, const char* StandardName, const char* Description);
  ~TStandardPathSpecifier() override;
  std::string GetDescription() const override { return FDescription; }

 private:
  std::string FDescription;
};

#define QV_STANDARD_SPECIFIER(Class)                       \
  class Class : public TStandardPathSpecifier {            \
    QV_CLASS()                                             \
   public:                                                 \
    explicit Class(TComponent* AOwner);                    \
    std::string GetPath(TComponent* Obj) override;         \
    void Validate(TComponent* Obj) override;               \
    std::string GetDescriptionFor(TComponent* Obj) override; \
  };

QV_STANDARD_SPECIFIER(TpsBDEDLL)
QV_STANDARD_SPECIFIER(TpsCommonFiles)
QV_STANDARD_SPECIFIER(TpsContainerArchiveFile)
QV_STANDARD_SPECIFIER(TpsContainerDestDir)
QV_STANDARD_SPECIFIER(TpsDesktopMenu)
QV_STANDARD_SPECIFIER(TpsInstallSource)
QV_STANDARD_SPECIFIER(TpsMainInstall)
QV_STANDARD_SPECIFIER(TpsMainArchiveFile)
QV_STANDARD_SPECIFIER(TpsProgramFiles)
QV_STANDARD_SPECIFIER(TpsProgramMenu)
QV_STANDARD_SPECIFIER(TpsStartMenu)
QV_STANDARD_SPECIFIER(TpsStartupMenu)
QV_STANDARD_SPECIFIER(TpsSystem)
QV_STANDARD_SPECIFIER(TpsWindow)
#undef QV_STANDARD_SPECIFIER

// A list of specifier references; it owns nothing.
class TPathSpecifierList {
 public:
  int Count() const { return static_cast<int>(FItems.size()); }
  TCustomPathSpecifier* Items(int Index) const { return FItems.at(static_cast<size_t>(Index)); }
  void Add(TCustomPathSpecifier* Specifier);
  void Remove(TCustomPathSpecifier* Specifier);
  bool Contains(const TClassInfo& SpecifierClass) const;
  // The first item of SpecifierClass or a class derived from it.
  virtual TCustomPathSpecifier* FindByClass(const TClassInfo& SpecifierClass) const;
  // Creates the fourteen standard specifiers, owned by Owner and named by
  // their standard names; with CheckExisting, a kind already in the path
  // specifier list is skipped.
  void EnsureStandardSpecifiers(TComponent* Container, TComponent* Owner, bool CheckExisting);
  virtual ~TPathSpecifierList() = default;

 private:
  std::vector<TCustomPathSpecifier*> FItems;
};

// Every specifier, and every standard specifier, in creation order.
TPathSpecifierList& PathSpecifierList();
TPathSpecifierList& StandardPathSpecList();

// The standard specifier of a kind (the first in the standard list).
template <class T>
T* StandardSpecifier() {
  return static_cast<T*>(StandardPathSpecList().FindByClass(T::StaticClass()));
}

// Text with "%p" (either case) replaced by Path; "%%" gives "%", any other
// "%x" gives "x", a trailing lone "%" is dropped.
std::string ExpandPathMacro(const std::string& Text, const std::string& Path);

void RegisterPathSpecifierClasses();
