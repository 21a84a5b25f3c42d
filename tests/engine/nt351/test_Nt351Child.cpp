// Run by the engine tests in a process that Wine reports as Windows NT 3.51
// (the per-program "Version" of HKCU\Software\Wine\AppDefaults): there the
// install component cannot restart Windows and says so.  Not run on its
// own: elsewhere the restart would really happen.
#include <gtest/gtest.h>

#include <windows.h>

#include "controls/cmp_TApplication.h"
#include "controls/cmp_TForm.h"
#include "controls/routines_ControlClasses.h"
#include "engine/cmp_TInstall.h"
#include "environment/routines_API.h"
#include "model/routines_Registration.h"
#include "rtl/cmp_TReader.h"
#include "rtl/cmp_TStream.h"
#include "rtl/routines_ObjectText.h"

namespace {

TEST(Nt351, ARestartIsNotPossibleAndTheHandlerHearsOfIt) {
  ASSERT_EQ(GetWindowsVersion(), wvWindowsNT35) << "the process must be reported as NT 3.51";
  RegisterControlsClasses();
  RegisterModelClasses();
  RegisterInstallClasses();
  const std::vector<std::string> Args;
  TApplication::SetParamsOverride(&Args);
  TForm Form(nullptr);
  TMemoryStream S(ObjectTextToBinary(
      "object Form1: TForm\n  object Install1: TInstall\n    RunAutomatic = False\n  end\nend\n"));
  ReadRootComponent(S, &Form);
  auto* Install = dynamic_cast<TCustomInstall*>(Form.FindComponent("Install1"));
  ASSERT_NE(Install, nullptr);
  std::vector<TPersistent*> Heard;
  Install->OnFailedReboot = [&](TPersistent* Sender) { Heard.push_back(Sender); };
  Install->RebootWindows();
  // Had the restart been asked for, this process would not be here.
  ASSERT_EQ(Heard.size(), 1u);
  EXPECT_EQ(Heard[0], Install);
  TApplication::SetParamsOverride(nullptr);
}

}  // namespace
