#include "controls/cmp_TApplication.h"

#include "environment/routines_RunOptions.h"

TApplication* Application = nullptr;

TApplication::TApplication(TComponent* AOwner) : TComponent(AOwner) {
  if (!Application) Application = this;
}

TApplication::~TApplication() {
  Destroying();
  DestroyComponents();
  if (Application == this) Application = nullptr;
}

TCustomForm* CreateOwnedForm(const TClassInfo& Info, TComponent* Owner, const std::string& ResourceName) {
  if (!Info.Create) throw EComponentError(Format("Cannot create form of class %s", Info.ClassName));
  TComponent* C = Info.Create(Owner);
  auto* F = dynamic_cast<TCustomForm*>(C);
  if (!F) {
    delete C;
    throw EComponentError(Format("%s is not a form class", Info.ClassName));
  }
  try {
    InitInheritedComponent(F, ResourceName.empty() ? Info.ClassName : ResourceName);
    if (F->OnCreate) F->OnCreate(F);
  } catch (...) {
    delete F;
    throw;
  }
  return F;
}

TCustomForm* TApplication::CreateForm(const TClassInfo& Info, const std::string& ResourceName) {
  TCustomForm* F = CreateOwnedForm(Info, this, ResourceName);
  if (!FMainForm) FMainForm = F;
  return F;
}

void TApplication::Run() {
  if (FMainForm && ShowMainForm && !FTerminated) {
    try {
      FMainForm->Show();
    } catch (const Exception& E) {
      // Without its main window the program has nothing to run.
      HandleException(E);
      return;
    }
  }
  while (!FTerminated) {
    try {
      HandleMessage();
    } catch (const Exception& E) {
      HandleException(E);
    }
  }
}

void TApplication::Terminate() {
  FTerminated = true;
  PostQuitMessage(0);
}

bool TApplication::ProcessMessage(MSG& Msg) {
  if (!PeekMessageA(&Msg, nullptr, 0, 0, PM_REMOVE)) return false;
  if (Msg.message == WM_QUIT) {
    FTerminated = true;
    return true;
  }
  // The form a window sits in sees its keys first (Enter, Escape, Tab,
  // accelerators); what it takes, it has dispatched itself.
  HWND Root = Msg.hwnd ? GetAncestor(Msg.hwnd, GA_ROOT) : nullptr;
  if (auto* Form = dynamic_cast<TCustomForm*>(TWinControl::FromHandle(Root)))
    if (Form->IsDialogMessage(Msg)) return true;
  TranslateMessage(&Msg);
  DispatchMessageA(&Msg);
  return true;
}

void TApplication::ProcessMessages() {
  MSG Msg;
  while (ProcessMessage(Msg)) {
  }
}

void TApplication::HandleMessage() {
  MSG Msg;
  if (!ProcessMessage(Msg) && !FTerminated) WaitMessage();
}

void TApplication::HandleException(const Exception& E) {
  if (dynamic_cast<const EAbort*>(&E)) return;
  if (OnException)
    OnException(this, E);
  else
    ShowException(E);
}

void TApplication::ShowException(const Exception& E) {
  if (dynamic_cast<const EAbort*>(&E)) return;
  std::string Msg = E.Message();
  if (!Msg.empty() && Msg.back() != '.') Msg += '.';
  RunMessageBox(nullptr, Msg, Title, MB_OK | MB_ICONSTOP | MB_TASKMODAL, IDOK);
}

std::string TApplication::ExeName() {
  char Buf[MAX_PATH + 1] = {};
  DWORD N = GetModuleFileNameA(nullptr, Buf, MAX_PATH);
  return std::string(Buf, N);
}

std::vector<std::string> TApplication::SplitCommandLine(const std::string& CmdLine) {
  // The classic rules: blanks separate, double quotes group and are removed.
  std::vector<std::string> R;
  size_t i = 0;
  const size_t n = CmdLine.size();
  while (true) {
    while (i < n && CmdLine[i] > 0 && CmdLine[i] <= ' ') ++i;
    if (i >= n) break;
    std::string Arg;
    while (i < n && !(CmdLine[i] > 0 && CmdLine[i] <= ' ')) {
      if (CmdLine[i] == '"') {
        ++i;
        while (i < n && CmdLine[i] != '"') Arg += CmdLine[i++];
        if (i < n) ++i;
      } else {
        Arg += CmdLine[i++];
      }
    }
    R.push_back(Arg);
  }
  return R;
}

namespace {
const std::vector<std::string>* GParamsOverride = nullptr;
}

void TApplication::SetParamsOverride(const std::vector<std::string>* Args) { GParamsOverride = Args; }

std::vector<std::string> TApplication::Params() {
  if (GParamsOverride) return *GParamsOverride;
  std::vector<std::string> All = SplitCommandLine(GetCommandLineA());
  if (!All.empty()) All.erase(All.begin());
  return All;
}
