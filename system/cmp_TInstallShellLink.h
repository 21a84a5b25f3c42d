// Shortcuts on the user's machine: shell links (".LNK") to installed files,
// groups or folders, internet shortcuts (".URL"), or Program Manager items
// where there are no shell links; the product's program folder with its
// main links; and the path specifier that aims a link at another install
// object.
#pragma once

#include <string>

#include "model/cmp_TInstallContainer.h"
#include "model/cmp_TPathSpecifier.h"

enum TMethodType { mtAutoDetect, mtShellLinkInterface, mtProgramManager };
extern const TEnumInfo MethodTypeInfo;

class TCustomShellLinkGroup : public TInstallObject {
  QV_CLASS()
 public:
  explicit TCustomShellLinkGroup(TComponent* AOwner);
  void ContainerDestroyed(TInstallContainer* Container) override;
  int32_t RegisteredType() const override { return rtShellLinkGroup; }
  void InstallObjects() override;
};

// The product's program folder under the Programs folder; at most one.
class TMainLinkGroup : public TCustomShellLinkGroup {
  QV_CLASS()
 public:
  explicit TMainLinkGroup(TComponent* AOwner);
  ~TMainLinkGroup() override;
  // Always the Programs folder.
  void SetDestDirType(TCustomPathSpecifier* Value) override;
};
// The project's main link group; nullptr when there is none.
TMainLinkGroup* MainLinkGroup();

class TCustomInstallShellLink : public TInstallObject {
  QV_CLASS()
 public:
  explicit TCustomInstallShellLink(TComponent* AOwner);
  ~TCustomInstallShellLink() override;

  const std::string& LinkName() const { return FLinkName; }
  virtual void SetLinkName(const std::string& Value);
  TInstallContainer* ObjectLink() const { return FObjectLink; }
  virtual void SetObjectLink(TInstallContainer* Value);
  const std::string& ObjectLocation() const { return FObjectLocation; }
  virtual void SetObjectLocation(const std::string& Value);
  TCustomPathSpecifier* ObjectLocationType() const { return FObjectLocationType; }
  virtual void SetObjectLocationType(TCustomPathSpecifier* Value);
  std::string Parameters;
  uint16_t HotKey = 0;  // low byte virtual key, high byte modifiers
  TMethodType Method = mtAutoDetect;

  // The target: a path, or the URL of an internet shortcut.
  virtual std::string GetObjectPath();
  // Where the link file goes: the destination folder and LinkName.
  std::string GetLinkFilePath();

  void ContainerDestroyed(TInstallContainer* Container) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  int32_t RegisteredType() const override { return rtShellLink; }
  void InstallObjects() override;
  void WriteUninstallInfo(const std::string& Key) override;

 protected:
  virtual void CreateByProgramManager();
  virtual void CreateByShellLinkInterface();
  virtual void CreateInternetShortcut();
  std::string ExpandedParameters();
  // Whether a Program Manager item may stand for this link: its folder is
  // the Programs folder, or a link group there.
  bool InProgramsFolder() const;

  std::string FLinkName;
  TInstallContainer* FObjectLink = nullptr;
  std::string FObjectLocation;
  TCustomPathSpecifier* FObjectLocationType = nullptr;

 private:
  void DestroySelf();
};

class TInstallShellLink : public TCustomInstallShellLink {
  QV_CLASS()
 public:
  using TCustomInstallShellLink::TCustomInstallShellLink;
};

// A link in the main link group; its container and folder are fixed.
class TInstallMainLink : public TCustomInstallShellLink {
  QV_CLASS()
 public:
  explicit TInstallMainLink(TComponent* AOwner);
  ~TInstallMainLink() override;
  void SetContainer(TInstallContainer* Value) override;
  void SetDestDirType(TCustomPathSpecifier* Value) override;
};

// The path of the file or file group a link's ObjectLink names.
class TpsObjectLink : public TStandardPathSpecifier {
  QV_CLASS()
 public:
  explicit TpsObjectLink(TComponent* AOwner);
  void Validate(TComponent* Obj) override;
  std::string GetPath(TComponent* Obj) override;
};

// Every live link, and the main links among them.
class TInstallShellLinkList : public TTypedRefList<TCustomInstallShellLink> {
 public:
  void Add(TCustomInstallShellLink* L);  // refuses nothing but a missing entry
};
TInstallShellLinkList& ShellLinkList();
TInstallShellLinkList& MainLinkList();

// The description of a COM failure (an HRESULT) for the link messages.
std::string ShellLinkErrorText(int32_t Code);

void RegisterShellLinkClasses();
