// Descriptive data about the product, and the author's build settings: two
// sub-objects of the install component.
#pragma once

#include "rtl/cmp_TComponent.h"

class TInstallInformation : public TPersistent {
  QV_CLASS()
 public:
  std::string CompanyName = "My Company";
  std::string ProductName = "My product";
  std::string Version = "1.0";
  void Assign(const TInstallInformation& Source) { *this = Source; }
};

// Stored with the project; the build takes its folder from BUILD.INF.
class TBuildInfo : public TPersistent {
  QV_CLASS()
 public:
  std::string AppName;
  std::string AppURL;
  std::string BuildDirectory = "c:\\build";
  std::string CredentialsFile;
  std::string OCXName = "qvsetup";
  std::string PrivateKeyFile;
  bool SignCode = false;
  std::string URLPath;
  void Assign(const TBuildInfo& Source) { *this = Source; }
};
