#include "engine/cmp_TInstallInformation.h"

#include "rtl/routines_ClassBuilder.h"

const TClassInfo& TInstallInformation::StaticClass() {
  using C = TInstallInformation;
  static const TClassInfo Info = TClassBuilder<C>("TInstallInformation", &TPersistent::StaticClass())
                                     .Str("CompanyName", &C::CompanyName, "My Company")
                                     .Str("ProductName", &C::ProductName, "My product")
                                     .Str("Version", &C::Version, "1.0")
                                     .Build();
  return Info;
}

const TClassInfo& TBuildInfo::StaticClass() {
  using C = TBuildInfo;
  static const TClassInfo Info = TClassBuilder<C>("TBuildInfo", &TPersistent::StaticClass())
                                     .Str("AppName", &C::AppName, "")
                                     .Str("AppURL", &C::AppURL, "")
                                     .Str("BuildDirectory", &C::BuildDirectory, "c:\\build")
                                     .Str("CredentialsFile", &C::CredentialsFile, "")
                                     .Str("OCXName", &C::OCXName, "qvsetup")
                                     .Str("PrivateKeyFile", &C::PrivateKeyFile, "")
                                     .Bool("SignCode", &C::SignCode, false)
                                     .Str("URLPath", &C::URLPath, "")
                                     .Build();
  return Info;
}
