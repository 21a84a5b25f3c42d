// File containers: install objects that hold install files and further file
// containers, and the user-selectable file group.
#pragma once

#include "model/cmp_TInstallContainer.h"
#include "rtl/cmp_TStrings.h"

enum TInstallFileState { ifsNone, ifsCompress, ifsInstall, ifsCopying };

class TFileContainer : public TFileRelated {
  QV_CLASS()
 public:
  explicit TFileContainer(TComponent* AOwner);
  ~TFileContainer() override;

  int32_t TotalSize = 0;
  int32_t Done = 0;
  bool AllowChangeDir = true;
  bool AllowChoice = true;
  TStrings* Description() const { return FDescription; }
  void SetDescription(const TStrings& Value) { FDescription->Assign(Value); }
  std::string GroupName;
  TInstallFileState State = ifsNone;

  int32_t RegisteredType() const override { return rtFileContainer; }

 private:
  TStrings* FDescription;
};

class TInstallFileGroup : public TFileContainer {
  QV_CLASS()
 public:
  explicit TInstallFileGroup(TComponent* AOwner);
};

void RegisterFileContainerClasses();
