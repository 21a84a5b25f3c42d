// The install object family: containers that index the objects naming them
// as their Container, install objects that live in a container, and objects
// with an archive behind them.  Every project component that installs
// something is one of these.
#pragma once

#include <string>
#include <unordered_map>
#include <vector>

#include "model/types_Quorvane.h"
#include "rtl/cmp_TComponent.h"

class TInstallContainer;
class TInstallObject;
class TFileRelated;
class TFileContainer;
class TCustomPathSpecifier;
class TCustomNetInstallLocation;

using TInstallContainerNotifyEvent = TEvent<void(TInstallContainer* Container)>;

// A plain ordered list of references; it owns nothing.  Whether an item is
// in it is answered without a search: the lists of a large project hold
// thousands, and each object that goes asks for every other.
template <class T>
class TTypedRefList {
 public:
  int Count() const { return static_cast<int>(FItems.size()); }
  T* Items(int Index) const { return FItems.at(static_cast<size_t>(Index)); }
  void Add(T* Item) {
    FItems.push_back(Item);
    ++FCounts[Item];
  }
  void Insert(int Index, T* Item) {
    FItems.insert(FItems.begin() + Index, Item);
    ++FCounts[Item];
  }
  void Remove(T* Item) {
    const auto C = FCounts.find(Item);
    if (C == FCounts.end()) return;
    for (auto It = FItems.begin(); It != FItems.end(); ++It)
      if (*It == Item) {
        FItems.erase(It);
        break;
      }
    if (--C->second == 0) FCounts.erase(C);
  }
  int IndexOf(const T* Item) const {
    if (!Contains(Item)) return -1;
    for (size_t i = 0; i < FItems.size(); ++i)
      if (FItems[i] == Item) return static_cast<int>(i);
    return -1;
  }
  bool Contains(const T* Item) const { return FCounts.count(Item) > 0; }
  void Clear() {
    FItems.clear();
    FCounts.clear();
  }
  const std::vector<T*>& Data() const { return FItems; }

 private:
  std::vector<T*> FItems;
  std::unordered_map<const T*, int> FCounts;  // how often each item is in FItems
};

// Every live install container, in creation order.
class TInstallContainerList : public TTypedRefList<TInstallContainer> {
 public:
  void Add(TInstallContainer* C);  // refuses nothing but a missing entry
};
TInstallContainerList& InstallContainerList();

class TInstallContainer : public TComponent {
  QV_CLASS()
 public:
  explicit TInstallContainer(TComponent* AOwner);
  ~TInstallContainer() override;

  // Published.
  bool Include = true;
  TInstallTypeSet InstallTypes() const { return FInstallTypes; }
  void SetInstallTypes(TInstallTypeSet Value);
  const std::string& DestDir() const { return FDestDir; }
  virtual void SetDestDir(const std::string& Value);
  TCustomPathSpecifier* DestDirType() const { return FDestDirType; }
  virtual void SetDestDirType(TCustomPathSpecifier* Value);
  int32_t Order() const { return FOrder; }
  void SetOrder(int32_t Value);
  TInstallContainerNotifyEvent OnAfterProcess;
  TInstallContainerNotifyEvent OnBeforeProcess;
  TInstallContainerNotifyEvent OnIncluded;

  bool AutoInstall = false;
  bool Processed = false;
  TInstallType CurrentInstallType = itAlways;

  // The objects whose Container is this one, ordered by kind and Order.
  int ObjectCount() const { return FObjects.Count(); }
  TInstallObject* Objects(int Index) const;
  int IndexOfObject(const TInstallObject* Obj) const { return FObjects.IndexOf(Obj); }
  // The Index-th object that is of class ComponentType or a descendant.
  TInstallObject* Comp(int Index, const TClassInfo& ComponentType) const;
  int CompCount(const TClassInfo& ComponentType) const;
  int FileContainerCount() const;
  TFileContainer* FileContainers(int Index) const;
  void FreeObjectsOfClass(const TClassInfo& ComponentType);

  virtual void AddInstallObject(TInstallObject* Obj);
  virtual void RemoveInstallObject(TInstallObject* Obj);
  virtual void ContainerDestroyed(TInstallContainer* Container);

  // Dialogs among the objects (registered type 9000) hear these.
  void Broadcast(TPersistent* Sender, int32_t Code, TBroadcastParameter* Param);
  virtual void ReceiveBroadcast(TPersistent* Sender, int32_t Code, TBroadcastParameter* Param) {}
  virtual void ShowStatusText(const std::string& Text);
  void HideStatusText();
  virtual void DoInformationEventControl(TInstallContainer* Sender, int32_t EventCode,
                                         TPersistent* Param) {}

  virtual std::string GetDestPath();
  virtual int32_t RegisteredType() const;
  virtual void Process();
  virtual void InstallObjects();
  virtual bool WillInstall() const;
  virtual void FinishUnfinished() {}
  virtual void LanguageChanged(int Language) {}
  virtual void WriteUninstallInfo(const std::string& Key) {}
  void SelectInstallType(TInstallType Type);

  void Notification(TComponent* AComponent, TOperation Operation) override;

 protected:
  // Runs the steps of Process after the Include and install-type checks.
  bool PassesInstallType() const;
  void Renumber();

  TInstallTypeSet FInstallTypes = InstallTypeBit(itAlways);
  std::string FDestDir;
  TCustomPathSpecifier* FDestDirType = nullptr;
  int32_t FOrder = -1;
  TTypedRefList<TInstallObject> FObjects;
};

class TInstallObject : public TInstallContainer {
  QV_CLASS()
 public:
  using TInstallContainer::TInstallContainer;

  TInstallContainer* Container() const { return FContainer; }
  virtual void SetContainer(TInstallContainer* Value);
  bool ContainerAssigned() const { return FContainerAssigned; }

  void Loaded() override;
  void ContainerDestroyed(TInstallContainer* Container) override;

 protected:
  TInstallContainer* FContainer = nullptr;
  bool FContainerAssigned = false;
};

class TFileRelated : public TInstallObject {
  QV_CLASS()
 public:
  explicit TFileRelated(TComponent* AOwner);

  std::string LocalArchive;
  TlzhCommand AddToArchive = lzcOverwrite;
  bool InfoRead = false;

  const std::string& ArchiveFile() const { return FArchiveFile; }
  virtual void SetArchiveFile(const std::string& Value);
  TCustomPathSpecifier* ArchiveFileType() const { return FArchiveFileType; }
  virtual void SetArchiveFileType(TCustomPathSpecifier* Value);
  bool Net() const { return FNet; }
  virtual void SetNet(bool Value) { FNet = Value; }
  TCustomNetInstallLocation* NetLocation() const { return FNetLocation; }
  virtual void SetNetLocation(TCustomNetInstallLocation* Value);

  virtual std::string GetArchivePath();
  // Sets the archive settings as they stand, without the setters' rules
  // (the build places objects in its archives and puts them back after).
  void RawSetArchive(const std::string& File, TCustomPathSpecifier* Type) {
    FArchiveFile = File;
    FArchiveFileType = Type;
  }
  // The location this object downloads from: its own, its file container's
  // (for a file), or the project's default.
  TCustomNetInstallLocation* FindNetLocation() const;
  bool FindLocalFile(std::string& Path) const;
  void StoreLocalFile(const std::string& Path);
  bool ArchiveDownloaded() const;
  std::string GetNetFolder() const;
  virtual void DownloadArchive();
  virtual void DataReceived(const std::string& FileName, int32_t Bytes, int32_t TotalBytes,
                            int32_t FileSize, const void* Buffer);

  void SetContainer(TInstallContainer* Value) override;
  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

  // Sender, FileName, Bytes, TotalBytes, FileSize, Buffer.
  TEvent<void(TPersistent*, const std::string&, int32_t, int32_t, int32_t, const void*)>
      OnDataReceived;

 protected:
  std::string FArchiveFile;
  TCustomPathSpecifier* FArchiveFileType = nullptr;
  bool FArchiveFileTypeAssigned = false;
  bool FNet = true;
  TCustomNetInstallLocation* FNetLocation = nullptr;
};

// --- The install component, as the objects below it see it ------------------
//
// The install component lives above this layer; it registers itself here so
// that path specifiers, meta variables and file objects can ask it what they
// need.
class IInstallRun {
 public:
  virtual ~IInstallRun() = default;
  virtual TFileContainer* AsFileContainer() = 0;
  virtual std::string GetSourceDirectory() const = 0;
  // The value of a command-line switch ('e', 's' ...) and whether it was given.
  virtual bool SwitchGiven(char Switch) const = 0;
  virtual std::string SwitchValue(char Switch) const = 0;
  virtual TDistributeType GetDistributeType() const = 0;
  virtual std::string ProductName() const = 0;
  virtual void SetRebootNeeded() = 0;
  // An installation run is in progress.
  virtual bool Installing() const = 0;
  virtual void AddUnfinishedWork(const std::string& Name, int32_t Kind) = 0;
};

// The current install component of the process; empty until one exists.
IInstallRun* CurrentInstall();
void SetCurrentInstall(IInstallRun* Install);

// The registry key of this setup's install record under HKEY_LOCAL_MACHINE;
// empty until the run found or made one.
extern std::string InstallKey;

// The project's distribution type; dtTraditionalNet without an install
// component.
TDistributeType ProjectDistributeType();

// The uninstall key of the product, ending in the product name.
std::string UninstallKeyFor(const std::string& ProductName);

void RegisterInstallContainerClasses();
