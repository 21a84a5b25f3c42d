#include "controls/cmp_TForm.h"

#include "controls/cmp_TApplication.h"
#include "controls/cmp_TButtons.h"
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
const TEnumInfo CloseActionInfo{"TCloseAction", {"caNone", "caHide", "caFree", "caMinimize"}};

const TClassInfo& TCustomForm::StaticClass() {
  static const TClassInfo Info =
      TClassBuilder<TCustomForm>("TCustomForm", &TWinControl::StaticClass())
          .Set("BorderIcons", BorderIconInfo, &TCustomForm::BorderIcons,
               &TCustomForm::SetBorderIcons, (1 << biSystemMenu) | (1 << biMinimize) | (1 << biMaximize))
          .Enum("BorderStyle", FormBorderStyleInfo, &TCustomForm::BorderStyle,
                &TCustomForm::SetBorderStyle, bsSizeable)
          .Int("ClientWidth", &TCustomForm::StoredClientWidth, &TCustomForm::SetStoredClientWidth, 0)
          .Int("ClientHeight", &TCustomForm::StoredClientHeight, &TCustomForm::SetStoredClientHeight, 0)
          .Int("PixelsPerInch", &TCustomForm::PixelsPerInch, 96)
          .Enum("Position", PositionInfo, &TCustomForm::Position, &TCustomForm::SetPosition, poDesigned)
          .Bool("Scaled", &TCustomForm::Scaled, true)
          .Int("TextHeight", &TCustomForm::TextHeight, 13)
          .Enum("WindowState", WindowStateInfo, &TCustomForm::WindowState,
                &TCustomForm::SetWindowState, wsNormal)
          .Event("OnActivate", &TCustomForm::OnActivate)
          .Event("OnClose", &TCustomForm::OnClose)
          .Event("OnCloseQuery", &TCustomForm::OnCloseQuery)
          .Event("OnCreate", &TCustomForm::OnCreate)
          .Event("OnDestroy", &TCustomForm::OnDestroy)
          .Event("OnHide", &TCustomForm::OnHide)
          .Event("OnResize", &TCustomForm::OnResize)
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

void TCustomForm::ScaleControls(int M, int D) {
  for (int i = 0; i < ControlCount(); ++i) Controls(i)->ChangeScale(M, D);
  FFont->Height = MulDiv(FFont->Height, M, D);
  FClientWidth = MulDiv(FClientWidth, M, D);
  FClientHeight = MulDiv(FClientHeight, M, D);
}

int ScreenPixelsPerInch() {
  HDC DC = GetDC(nullptr);
  const int Screen = DC ? GetDeviceCaps(DC, LOGPIXELSY) : 0;
  if (DC) ReleaseDC(nullptr, DC);
  return Screen > 0 ? Screen : 96;
}

void TCustomForm::ScaleToScreen() {
  const int Screen = ScreenPixelsPerInch();
  if (PixelsPerInch > 0 && Screen != PixelsPerInch) ScaleControls(Screen, PixelsPerInch);
}

void TCustomForm::Loaded() {
  TWinControl::Loaded();
  if (Scaled) ScaleToScreen();
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
  // A form placed in another window is a page of it: a child window the
  // owner's dialog navigation reaches into.
  if (FParent) return;
  Params.Id = 0;
  DWORD Style = WS_CLIPCHILDREN;
  DWORD Ex = WS_EX_CONTROLPARENT;
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

void TCustomForm::Resize() {
  if (OnResize) OnResize(this);
}

void TCustomForm::SetVisible(bool V) {
  if (FParent) {
    if (V && !FVisible && OnShow) OnShow(this);
    if (!V && FVisible && OnHide) OnHide(this);
    TWinControl::SetVisible(V);
    if (V) Handle();
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
  if (FInModal || (FVisible && !FParent)) throw EComponentError("Cannot make a visible window modal");
  FInModal = true;
  FModalResult = mrNone;
  // Every other top-level window of the program waits while this one runs.
  std::vector<HWND> Disabled;
  EnumThreadWindows(GetCurrentThreadId(), CollectEnabledWindow, reinterpret_cast<LPARAM>(&Disabled));
  for (HWND H : Disabled) EnableWindow(H, FALSE);
  auto End = [&] {
    for (HWND H : Disabled) EnableWindow(H, TRUE);
    Hide();
    FInModal = false;
  };
  try {
    Show();
    while (Application && !Application->Terminated()) {
      Application->HandleMessage();
      if (FModalResult != mrNone) {
        CloseModal();
        if (FModalResult != mrNone) break;
      }
    }
  } catch (...) {
    End();
    throw;
  }
  End();
  return FModalResult;
}

void TCustomForm::CloseModal() {
  TCloseAction Action = caNone;
  if (CloseQuery()) {
    Action = caHide;
    if (OnClose) OnClose(this, Action);
  }
  if (Action == caNone) FModalResult = mrNone;
}

bool TCustomForm::CloseQuery() {
  bool CanClose = true;
  if (OnCloseQuery) OnCloseQuery(this, CanClose);
  return CanClose;
}

void TCustomForm::Close() {
  if (FInModal) {
    FModalResult = mrCancel;
    return;
  }
  if (!CloseQuery()) return;
  TCloseAction Action = caHide;
  if (OnClose) OnClose(this, Action);
  if (Action == caNone) return;
  if (Application && Application->MainForm() == this)
    Application->Terminate();
  else if (Action == caMinimize)
    SetWindowState(wsMinimized);
  else
    Hide();  // caFree: the owner frees the form; it stays hidden until then
}

namespace {

// Named for the stdcall convention of the 32-bit build, as above.
BOOL CALLBACK CollectVisibleWindow(HWND H, LPARAM P) {
  if (IsWindowVisible(H)) reinterpret_cast<std::vector<HWND>*>(P)->push_back(H);
  return TRUE;
}

std::vector<HWND> VisibleDescendants(HWND Root) {
  std::vector<HWND> R;
  EnumChildWindows(Root, CollectVisibleWindow, reinterpret_cast<LPARAM>(&R));
  return R;
}

// The visible, enabled button of the form that Enter (Default) or Escape
// (Cancel) presses.
TButton* DialogButton(HWND Form, bool Cancel) {
  for (HWND H : VisibleDescendants(Form)) {
    auto* B = dynamic_cast<TButton*>(TWinControl::FromHandle(H));
    if (B && IsWindowEnabled(H) && (Cancel ? B->Cancel : B->Default)) return B;
  }
  return nullptr;
}

bool WindowlessAccelerator(HWND Form, char C) {
  // The form's own windowless children count too, not only those of the
  // windows inside it.
  std::vector<HWND> Windows = VisibleDescendants(Form);
  Windows.insert(Windows.begin(), Form);
  for (HWND H : Windows)
    if (TWinControl* W = TWinControl::FromHandle(H))
      for (int i = 0; i < W->ControlCount(); ++i) {
        TControl* Child = W->Controls(i);
        if (Child->Visible() && !dynamic_cast<TWinControl*>(Child) && Child->DialogChar(C)) return true;
      }
  return false;
}

}  // namespace

bool TCustomForm::IsDialogMessage(MSG& Msg) {
  if (!FHandle) return false;
  if (Msg.message == WM_KEYDOWN && (Msg.wParam == VK_RETURN || Msg.wParam == VK_ESCAPE)) {
    const LRESULT Code = SendMessageA(Msg.hwnd, WM_GETDLGCODE, Msg.wParam, reinterpret_cast<LPARAM>(&Msg));
    if (!(Code & (DLGC_WANTALLKEYS | DLGC_WANTMESSAGE))) {
      auto* Focused = dynamic_cast<TButton*>(TWinControl::FromHandle(GetFocus()));
      TButton* B = Msg.wParam == VK_RETURN && Focused ? Focused : DialogButton(FHandle, Msg.wParam == VK_ESCAPE);
      if (B) {
        B->Click();
        return true;
      }
    }
  }
  if (Msg.message == WM_SYSCHAR && WindowlessAccelerator(FHandle, static_cast<char>(Msg.wParam)))
    return true;
  return ::IsDialogMessageA(FHandle, &Msg) != FALSE;
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
