// What the window tests of the wizard share: every class a project or a page
// needs known once for the whole program, a project read from its text form,
// the kit form a wizard shows now, and steps run from inside a modal
// window's message loop while this program sits in it.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "controls/cmp_TApplication.h"
#include "controls/routines_ControlClasses.h"
#include "engine/cmp_TInstall.h"
#include "model/routines_Registration.h"
#include "rtl/cmp_TReader.h"
#include "rtl/cmp_TStream.h"
#include "rtl/routines_ObjectText.h"
#include "system/routines_SystemRegistration.h"
#include "ui/cmp_TBaseQuorvaneForm.h"
#include "ui/cmp_TDialogManager.h"
#include "ui/routines_UiRegistration.h"
#include "ui/routines_WizardPages.h"

struct TUiClassesEnv : ::testing::Environment {
  void SetUp() override {
    RegisterControlsClasses();
    RegisterModelClasses();
    RegisterInstallClasses();
    RegisterSystemClasses();
    RegisterTranslatorClasses();
    RegisterUiClasses();
    RegisterWizardPages();
  }
};
inline const auto* const UiClassesEnv = ::testing::AddGlobalTestEnvironment(new TUiClassesEnv);

// Reads a form or a project in the text form into Root.
inline void ReadFormText(TComponent* Root, const std::string& Text) {
  TMemoryStream S(ObjectTextToBinary(Text));
  ReadRootComponent(S, Root);
}

// A project read from its text, started as the loading program starts a
// setup program (-s), whose install component is Install1.
struct TUiProject {
  std::vector<std::string> Args{"-sC:\\Dist"};
  TApplication App{nullptr};
  TForm* Form = new TForm(&App);
  TCustomInstall* Install = nullptr;
  explicit TUiProject(const std::string& Text) {
    TApplication::SetParamsOverride(&Args);
    ReadFormText(Form, Text);
    Install = Get<TCustomInstall>("Install1");
  }
  ~TUiProject() {
    delete Form;
    TApplication::SetParamsOverride(nullptr);
  }
  TUiProject(const TUiProject&) = delete;
  TUiProject& operator=(const TUiProject&) = delete;
  template <class T>
  T* Get(const std::string& Name) const {
    return dynamic_cast<T*>(Form->FindComponent(Name));
  }
};

// The page registries emptied for a test's own pages; the kit's pages are
// registered again as they were when it ends.
struct TOwnPages {
  TBIFList Pages;
  TDCFList CopyForms;
  TBCDFList DiskForms;
  TOwnPages() { Swap(); }
  ~TOwnPages() { Swap(); }
  TOwnPages(const TOwnPages&) = delete;
  TOwnPages& operator=(const TOwnPages&) = delete;

 private:
  void Swap() {
    InstallFormList().swap(Pages);
    DuringCopyFormList().swap(CopyForms);
    ChangeDiskFormList().swap(DiskForms);
  }
};

// The kit form of that class that shows now (a wizard keeps its other pages
// hidden); null when none does.
inline TBaseQuorvaneForm* ShownKitForm(const std::string& ClassName) {
  for (TBaseQuorvaneForm* F : LiveKitForms())
    if (F->ClassInfo().ClassName == ClassName && F->Visible()) return F;
  return nullptr;
}
template <class T>
T* ShownPage() {
  return dynamic_cast<T*>(ShownKitForm(T::StaticClass().ClassName));
}

// The application's window that runs a modal loop now.
inline TCustomForm* ModalForm() {
  for (int i = 0; i < Application->ComponentCount(); ++i)
    if (auto* F = dynamic_cast<TCustomForm*>(Application->Components(i)))
      if (F->Modal()) return F;
  return nullptr;
}

// The modal window is on the screen: its OnShow (a wizard showing its first
// page) lets messages through before the window itself shows.
inline bool ModalFormOnScreen(TCustomForm* F) {
  return F && F->HandleAllocated() && IsWindowVisible(F->Handle());
}

// Runs Run (which shows a modal window) while Steps run one after another
// from inside the window's message loop, each in a timer tick of its own so
// that the loop sees a result set in between; none before the window is on
// the screen, since building and showing a wizard's pages lets messages
// through too.  A window the steps left open, or one still open after
// LimitMs, is cancelled: a failure, not a hang.
class TModalSteps {
 public:
  static void Run(std::vector<std::function<void()>> Steps, const std::function<void()>& Show,
                  DWORD LimitMs = 60000) {
    TModalSteps& S = Current();
    S.FSteps = std::move(Steps);
    S.FNext = 0;
    S.FDoneAt = 0;
    S.FTimer = SetTimer(nullptr, 0, TickMs, Tick);
    const UINT_PTR Limit = SetTimer(nullptr, 0, LimitMs, GiveUp);
    struct TEnd {
      UINT_PTR Limit;
      ~TEnd() {
        KillTimer(nullptr, Limit);
        KillTimer(nullptr, Current().FTimer);  // no step of this run reaches the next
        Current().FTimer = 0;
      }
    } End{Limit};
    Show();
    EXPECT_EQ(S.FNext, S.FSteps.size()) << "the window closed before every step ran";
  }

 private:
  static constexpr UINT TickMs = 50;
  // What the last step set takes a few ticks to close the window.
  static constexpr DWORD LeftOpenMs = 3000;
  static TModalSteps& Current() {
    static TModalSteps S;
    return S;
  }
  static void CALLBACK Tick(HWND, UINT, UINT_PTR Id, DWORD) {
    TModalSteps& S = Current();
    KillTimer(nullptr, Id);
    if (Id != S.FTimer) return;
    S.FTimer = 0;
    TCustomForm* F = ModalForm();
    if (S.FNext < S.FSteps.size()) {
      if (ModalFormOnScreen(F)) S.FSteps[S.FNext++]();
      if (S.FNext == S.FSteps.size()) S.FDoneAt = GetTickCount();
    } else if (F && F->ModalResult() == mrNone && GetTickCount() - S.FDoneAt > LeftOpenMs) {
      ADD_FAILURE() << "the steps left the window open";
      F->SetModalResult(mrAbort);
    }
    S.FTimer = SetTimer(nullptr, 0, TickMs, Tick);
  }
  static void CALLBACK GiveUp(HWND, UINT, UINT_PTR Id, DWORD) {
    KillTimer(nullptr, Id);
    ADD_FAILURE() << "the window was still open when the time ran out";
    if (TCustomForm* F = ModalForm()) F->SetModalResult(mrAbort);
  }
  std::vector<std::function<void()>> FSteps;
  size_t FNext = 0;
  DWORD FDoneAt = 0;
  UINT_PTR FTimer = 0;
};

inline void WhileModal(std::vector<std::function<void()>> Steps, const std::function<void()>& Show) {
  TModalSteps::Run(std::move(Steps), Show);
}

// A manager's wizard, run while Scenario operates it from inside.
inline void RunWizard(TDialogManager& M, std::function<void()> Scenario) {
  WhileModal({std::move(Scenario)}, [&] { EXPECT_NO_THROW(M.Execute()); });
}
