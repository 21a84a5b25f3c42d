#include "controls/cmp_TForm.h"

#include "controls/cmp_TApplication.h"
#include "rtl/cmp_TStream.h"
#include "rtl/routines_ClassBuilder.h"
#include "rtl/cmp_TReader.h"

const TEnumInfo PositionInfo{"TPosition",
                             {"poDesigned", "poDefault", "poDefaultPosOnly", "poDefaultSizeOnly",
                              "poScreenCenter", "poDesktopCenter", "poMainFormCenter",
                              "poOwnerFormCenter"}};
const TEnumInfo WindowStateInfo{"TWindowState", {"wsNormal", "wsMinimized", "wsMaximized"}};
const TEnumInfo FormBorderStyleInfo{
    "TFormBorderStyle",
    {"bsNone", "bsSingle", "bsSizeable", "bsDialog", "bsToolWindow", "bsSizeToolWin"}};
const TEnumInfo BorderIconInfo{"TBorderIcon",
                               {"biSystemMenu", "biMinimize", "biMaximize", "biHelp"}};

const TClassInfo& TCustomForm::StaticClass() {
  static const TClassInfo Info =
      TClassBuilder<TCustomForm>("TCustomForm", &TWinControl::StaticClass())
          .Set("BorderIcons", BorderIconInfo, &TCustomForm::BorderIcons,
               &TCustomForm::SetBorderIcons, (1 << biSystemMenu) | (1 << biMinimize) | (1 << biMaximize))
          .Enum("BorderStyle", FormBorderStyleInfo, &TCustomForm::BorderStyle,
                &TCustomForm::SetBorderStyle, bsSizeable)
          .Int("ClientWidth", &TCustomForm::StoredClientWidth, &TCustomForm::SetStoredClientWidth, 0)
          .Int("ClientHeight", &TCustomForm::StoredClientHeight, &TCustomForm::SetStoredClientHeight, 0)
          .Enum("Position", PositionInfo, &TCustomForm::Position, &TCustomForm::SetPosition, poDesigned)
          .Enum("WindowState", WindowStateInfo, &TCustomForm::WindowState,
                &TCustomForm::SetWindowState, wsNormal)
          .Event("OnActivate", &TCustomForm::OnActivate)
          .Event("OnClose", &TCustomForm::OnClose)
          .Event("OnCloseQuery", &TCustomForm::OnCloseQuery)
          .Event("OnCreate", &TCustomForm::OnCreate)
          .Event("OnDestroy", &TCustomForm::OnDestroy)
          .Event("OnHide", &TCustomForm::OnHide)
          .Event("OnShow", &TCustomForm::OnShow)
          .Build();
  return Info;
}

const TClassInfo& TForm::StaticClass() {
  static const TClassInfo Info =
      TClassBuilder<TForm>("TForm", &TCustomForm::StaticClass()).Creatable().Build();
  return Info;
}

TCustomForm::TCustomForm(TComponent* AOwner) : TWinControl(AOwner) {
  FVisible = false;
  FWidth = 320;
  FHeight = 240;
}

TCustomForm::~TCustomForm() {
  if (OnDestroy && !IsLoading()) {
    try {
      OnDestroy(this);
    } catch (...) {
      // A destructor must not throw; the form goes away regardless.
    }
  }
  Destroying();
  DestroyComponents();
  DestroyHandle();
}

void TCustomForm::SetStoredClientWidth(int32_t W) {
  FClientWidth = W;
  if (!IsLoading()) SetClientSize(W, ClientHeight());
}

void TCustomForm::SetStoredClientHeight(int32_t H) {
  FClientHeight = H;
  if (!IsLoading()) SetClientSize(ClientWidth(), H);
}

void TCustomForm::Loaded() {
  TWinControl::Loaded();
  if (FClientWidth > 0 && FClientHeight > 0) {
    RECT R{0, 0, FClientWidth, FClientHeight};
    TCreateParams P;
    CreateParams(P);
    AdjustWindowRectEx(&R, P.Style, FALSE, P.ExStyle);
    FWidth = R.right - R.left;
    FHeight = R.bottom - R.top;
  }
}

void TCustomForm::CreateParams(TCreateParams& Params) {
  TWinControl::CreateParams(Params);
  if (FParent) return;
  DWORD Style = WS_CLIPCHILDREN;
  DWORD Ex = 0;
  switch (FBorderStyle) {
    case bsNone: Style |= WS_POPUP; break;
    case bsSingle: case bsToolWindow: Style |= WS_CAPTION | WS_BORDER; break;
    case bsDialog: Style |= WS_POPUP | WS_CAPTION; Ex |= WS_EX_DLGMODALFRAME; break;
    default: Style |= WS_CAPTION | WS_THICKFRAME; break;
  }
  if (FBorderStyle == bsToolWindow || FBorderStyle == bsSizeToolWin) Ex |= WS_EX_TOOLWINDOW;
  if (FBorderStyle != bsNone && (FBorderIcons & (1 << biSystemMenu))) {
    Style |= WS_SYSMENU;
    if (FBorderStyle != bsDialog) {
      if (FBorderIcons & (1 << biMinimize)) Style |= WS_MINIMIZEBOX;
      if (FBorderIcons & (1 << biMaximize)) Style |= WS_MAXIMIZEBOX;
    }
  }
  Params.Style = Style;
  Params.ExStyle = Ex;
  if (FPosition == poDefault || FPosition == poDefaultPosOnly) {
    Params.X = static_cast<int>(CW_USEDEFAULT);
    Params.Y = static_cast<int>(CW_USEDEFAULT);
  }
}

void TCustomForm::CreateWnd() {
  TWinControl::CreateWnd();
  PlaceOnScreen();
}

void TCustomForm::PlaceOnScreen() {
  if (FParent) return;
  if (FPosition == poScreenCenter || FPosition == poDesktopCenter ||
      FPosition == poMainFormCenter || FPosition == poOwnerFormCenter) {
    int SW = GetSystemMetrics(SM_CXSCREEN), SH = GetSystemMetrics(SM_CYSCREEN);
    SetBounds((SW - FWidth) / 2, (SH - FHeight) / 2, FWidth, FHeight);
  }
}

void TCustomForm::SetWindowState(TWindowState S) {
  FWindowState = S;
  if (FHandle && FVisible) {
    int Cmd = S == wsMaximized ? SW_SHOWMAXIMIZED : S == wsMinimized ? SW_SHOWMINIMIZED : SW_SHOWNORMAL;
    ShowWindow(FHandle, Cmd);
  }
}

void TCustomForm::SetVisible(bool V) {
  if (FParent) {
    TWinControl::SetVisible(V);
    return;
  }
  FVisible = V;
  if (V) {
    HWND H = Handle();
    if (OnShow) OnShow(this);
    int Cmd = FWindowState == wsMaximized   ? SW_SHOWMAXIMIZED
              : FWindowState == wsMinimized ? SW_SHOWMINIMIZED
                                            : SW_SHOWNORMAL;
    ShowWindow(H, Cmd);
    UpdateWindow(H);
  } else if (FHandle) {
    if (OnHide) OnHide(this);
    ShowWindow(FHandle, SW_HIDE);
  }
}

void TCustomForm::Show() {
  SetVisible(true);
  if (FHandle) SetForegroundWindow(FHandle);
}

namespace {
// A named callback: the 32-bit build needs the stdcall convention, which a
// lambda does not convert to.
BOOL CALLBACK CollectEnabledWindow(HWND H, LPARAM P) {
  if (IsWindowVisible(H) && IsWindowEnabled(H)) reinterpret_cast<std::vector<HWND>*>(P)->push_back(H);
  return TRUE;
}
}  // namespace

int TCustomForm::ShowModal() {
  if (FInModal) throw EComponentError("Cannot make a visible window modal");
  FInModal = true;
  FModalResult = mrNone;
  // Every other top-level window of the program waits while this one runs.
  std::vector<HWND> Disabled;
  EnumThreadWindows(GetCurrentThreadId(), CollectEnabledWindow, reinterpret_cast<LPARAM>(&Disabled));
  for (HWND H : Disabled) EnableWindow(H, FALSE);
  try {
    Show();
    while (FModalResult == mrNone && Application && !Application->Terminated())
      Application->HandleMessage();
  } catch (...) {
    for (HWND H : Disabled) EnableWindow(H, TRUE);
    Hide();
    FInModal = false;
    throw;
  }
  for (HWND H : Disabled) EnableWindow(H, TRUE);
  Hide();
  FInModal = false;
  return FModalResult;
}

void TCustomForm::Close() {
  if (FInModal) {
    if (FModalResult == mrNone) FModalResult = mrCancel;
    return;
  }
  bool CanClose = true;
  if (OnCloseQuery) OnCloseQuery(this, CanClose);
  if (!CanClose) return;
  if (OnClose) OnClose(this);
  if (Application && Application->MainForm() == this)
    Application->Terminate();
  else
    Hide();
}

void TCustomForm::GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root) {
  // Components without a visual parent first, then the controls.
  if (Root == this)
    for (int i = 0; i < ComponentCount(); ++i) {
      TComponent* C = Components(i);
      if (!C->HasParent()) Proc(C);
    }
  TWinControl::GetChildren(Proc, Root);
}

LRESULT TCustomForm::WndProc(UINT Msg, WPARAM WParam, LPARAM LParam) {
  switch (Msg) {
    case WM_ACTIVATE:
      FActive = LOWORD(WParam) != WA_INACTIVE;
      if (FActive && OnActivate) {
        try {
          OnActivate(this);
        } catch (const Exception& E) {
          if (Application) Application->HandleException(E);
        }
      }
      break;
    case WM_CLOSE:
      Close();
      return 0;
    default:
      break;
  }
  return TWinControl::WndProc(Msg, WParam, LParam);
}

bool FindStreamResource(const std::string& Name, const void*& Data, size_t& Size) {
  HMODULE M = GetModuleHandleA(nullptr);
  HRSRC R = FindResourceA(M, Name.c_str(), MAKEINTRESOURCEA(10));
  if (!R) return false;
  HGLOBAL G = LoadResource(M, R);
  if (!G) return false;
  Data = LockResource(G);
  Size = SizeofResource(M, R);
  return Data != nullptr;
}

bool InitInheritedComponent(TComponent* Instance, const std::string& ResourceName) {
  const void* Data = nullptr;
  size_t Size = 0;
  if (!FindStreamResource(UpperCase(ResourceName), Data, Size)) return false;
  TReadOnlyMemoryStream S(Data, Size);
  ReadRootComponent(S, Instance);
  return true;
}

void RegisterControlsClasses() {
  RegisterComponentClass(TFont::StaticClass());
  RegisterComponentClass(TForm::StaticClass());
}
