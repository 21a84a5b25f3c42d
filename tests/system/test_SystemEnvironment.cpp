// The classes every system test reads from its projects.
#include <gtest/gtest.h>

#include "controls/cmp_TApplication.h"
#include "controls/cmp_TForm.h"
#include "controls/routines_ControlClasses.h"
#include "engine/cmp_TInstall.h"
#include "model/routines_Registration.h"
#include "system/routines_SystemRegistration.h"

namespace {
struct SystemEnv : ::testing::Environment {
  void SetUp() override {
    RegisterControlsClasses();
    RegisterModelClasses();
    RegisterInstallClasses();
    RegisterSystemClasses();
    // The install component reads the command line; the test runner's own
    // switches are not for it.
    static const std::vector<std::string> NoParams;
    TApplication::SetParamsOverride(&NoParams);
  }
};
const auto* const Env = ::testing::AddGlobalTestEnvironment(new SystemEnv);
}  // namespace
