// The install file that carries the uninstaller and registers it with
// Windows as the way to remove the product.
#pragma once

#include "model/cmp_TInstallFile.h"

class TUninstallEXE : public TCustomInstallFile {
  QV_CLASS()
 public:
  explicit TUninstallEXE(TComponent* AOwner);
  // "DisplayName" and "UninstallString" under the product's uninstall key;
  // the uninstaller is not listed among the installed files.
  void WriteUninstallInfo(const std::string& Key) override;
};

void RegisterUninstallEXEClasses();
