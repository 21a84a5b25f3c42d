#include "controls/cmp_TControl.h"

#include <algorithm>

#include "environment/routines_API.h"
#include "rtl/routines_ClassBuilder.h"

COLORREF ColorToRGB(TColor C) {
  if (C < 0) return GetSysColor(C & 0xFF);
  return static_cast<COLORREF>(C);
}

const TEnumInfo AlignInfo{"TAlign", {"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient"}};

// --- TControl ---------------------------------------------------------------

const TClassInfo& TControl::StaticClass() {
  static const TClassInfo Info =
      TClassBuilder<TControl>("TControl", &TComponent::StaticClass())
          .Int("Left", &TControl::Left, &TControl::SetLeft, 0)
          .Int("Top", &TControl::Top, &TControl::SetTop, 0)
          .Int("Width", &TControl::Width, &TControl::SetWidth, 0)
          .Int("Height", &TControl::Height, &TControl::SetHeight, 0)
          .Enum("Align", AlignInfo, &TControl::Align, &TControl::SetAlign, alNone)
          .Str("Caption", &TControl::Caption, &TControl::SetCaption, "")
          .Int("Color", &TControl::Color, &TControl::SetColor, clBtnFace)
          .Bool("Enabled", &TControl::Enabled, &TControl::SetEnabled, true)
          .Object("Font", &TControl::Font)
          .Bool("ParentFont", &TControl::ParentFont, &TControl::SetParentFont, true)
          .Bool("Visible", &TControl::Visible, &TControl::SetVisible, true)
          .Event("OnClick", &TControl::OnClick)
          .Build();
  return Info;
}

TControl::TControl(TComponent* AOwner) : TComponent(AOwner), FFont(new TFont) {
  FFont->OnChange = [this](TPersistent*) { FontChanged(); };
}

TControl::~TControl() {
  if (FParent) FParent->RemoveControl(this);
  delete FFont;
}

void TControl::SetParent(TWinControl* AParent) {
  if (FParent == AParent) return;
  if (AParent == this) throw EComponentError("A control cannot have itself as its parent");
  if (FParent) FParent->RemoveControl(this);
  if (AParent) AParent->InsertControl(this);
}

void TControl::SetParentFont(bool V) {
  FParentFont = V;
  if (V) TakeParentFont();
}

void TControl::TakeParentFont() {
  if (!FParent || !FParentFont) return;
  FTakingParentFont = true;
  FFont->Assign(*FParent->Font());
  FTakingParentFont = false;
}

void TControl::FontChanged() {
  if (!FTakingParentFont) FParentFont = false;
  Invalidate();
}

void TControl::SetParentComponent(TComponent* Value) {
  if (auto* W = dynamic_cast<TWinControl*>(Value)) SetParent(W);
}

TComponent* TControl::GetParentComponent() const { return FParent; }

void TControl::SetBounds(int32_t ALeft, int32_t ATop, int32_t AWidth, int32_t AHeight) {
  FLeft = ALeft;
  FTop = ATop;
  FWidth = AWidth;
  FHeight = AHeight;
  if (FParent && !IsLoading()) FParent->Realign();
  Invalidate();
}

void TControl::SetCaption(const std::string& S) {
  FCaption = S;
  Invalidate();
}

void TControl::SetVisible(bool V) {
  FVisible = V;
  if (FParent) FParent->Invalidate();
}

void TControl::SetEnabled(bool V) { FEnabled = V; }

void TControl::SetAlign(TAlign A) {
  FAlign = A;
  if (FParent && !IsLoading()) FParent->Realign();
}

void TControl::SetColor(TColor C) {
  FColor = C;
  Invalidate();
}

void TControl::Invalidate() {
  // A graphic control paints inside its parent's window.
  TWinControl* W = dynamic_cast<TWinControl*>(this);
  if (W && W->HandleAllocated()) {
    InvalidateRect(W->Handle(), nullptr, TRUE);
  } else if (!W && FParent && FParent->HandleAllocated()) {
    RECT R{FLeft, FTop, FLeft + FWidth, FTop + FHeight};
    InvalidateRect(FParent->Handle(), &R, TRUE);
  }
}

// --- TWinControl ------------------------------------------------------------

namespace {

LRESULT CALLBACK KitWndProc(HWND H, UINT Msg, WPARAM WParam, LPARAM LParam) {
  if (Msg == WM_NCCREATE) {
    auto* CS = reinterpret_cast<CREATESTRUCTA*>(LParam);
    auto* Self = static_cast<TWinControl*>(CS->lpCreateParams);
    SetWindowLongPtrA(H, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(Self));
    // The creation messages arrive before CreateWindowEx returns the handle.
    Self->AttachHandle(H);
  }
  if (TWinControl* Self = TWinControl::FromHandle(H)) return Self->WndProc(Msg, WParam, LParam);
  return DefWindowProcA(H, Msg, WParam, LParam);
}

}  // namespace

const char* KitWindowClassName() {
  static const char* Name = [] {
    WNDCLASSA WC{};
    WC.style = CS_DBLCLKS;
    WC.lpfnWndProc = KitWndProc;
    WC.hInstance = GetModuleHandleA(nullptr);
    WC.hCursor = LoadCursor(nullptr, IDC_ARROW);
    WC.hIcon = LoadIcon(nullptr, IDI_APPLICATION);
    WC.lpszClassName = "QuorvaneWindow";
    RegisterClassA(&WC);
    return "QuorvaneWindow";
  }();
  return Name;
}

const TClassInfo& TWinControl::StaticClass() {
  static const TClassInfo Info =
      TClassBuilder<TWinControl>("TWinControl", &TControl::StaticClass()).Build();
  return Info;
}

TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner) {}

TWinControl::~TWinControl() {
  Destroying();
  // Children not owned by this control lose their parent, not their life.
  while (!FControls.empty()) RemoveControl(FControls.back());
  DestroyHandle();
}

TWinControl* TWinControl::FromHandle(HWND H) {
  return reinterpret_cast<TWinControl*>(GetWindowLongPtrA(H, GWLP_USERDATA));
}

void TWinControl::CreateParams(TCreateParams& Params) {
  Params.Caption = FCaption;
  Params.X = FLeft;
  Params.Y = FTop;
  Params.Width = FWidth;
  Params.Height = FHeight;
  if (FParent) {
    Params.Style = WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    Params.WndParent = FParent->Handle();
  } else {
    Params.Style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
  }
  if (FVisible && FParent) Params.Style |= WS_VISIBLE;
  if (!FEnabled) Params.Style |= WS_DISABLED;
}

void TWinControl::CreateWnd() {
  TCreateParams P;
  CreateParams(P);
  const bool Own = P.ClassName.empty();
  HWND H = CreateWindowExA(P.ExStyle, Own ? KitWindowClassName() : P.ClassName.c_str(),
                           P.Caption.c_str(), P.Style, P.X, P.Y, P.Width, P.Height, P.WndParent,
                           nullptr, GetModuleHandleA(nullptr), this);
  if (!H)
    throw EComponentError(Win32FailureText("CreateWindowExA(" + GetNamePath() + ")", GetLastError()));
  FHandle = H;
  if (!Own) {
    // A system window class: route its messages through this control.
    SetWindowLongPtrA(H, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    FDefWndProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(H, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(KitWndProc)));
  }
  SendMessageA(H, WM_SETFONT, reinterpret_cast<WPARAM>(FFont->Handle()), FALSE);
  for (TControl* C : FControls)
    if (auto* W = dynamic_cast<TWinControl*>(C)) W->HandleNeeded();
  Realign();
}

HWND TWinControl::Handle() {
  if (!FHandle) CreateWnd();
  return FHandle;
}

void TWinControl::DestroyHandle() {
  if (!FHandle) return;
  HWND H = FHandle;
  for (TControl* C : FControls)
    if (auto* W = dynamic_cast<TWinControl*>(C)) W->DestroyHandle();
  SetWindowLongPtrA(H, GWLP_USERDATA, 0);
  if (FDefWndProc) SetWindowLongPtrA(H, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FDefWndProc));
  FHandle = nullptr;
  DestroyWindow(H);
}

void TWinControl::InsertControl(TControl* C) {
  FControls.push_back(C);
  C->FParent = this;
  C->TakeParentFont();
  if (FHandle) {
    if (auto* W = dynamic_cast<TWinControl*>(C)) W->HandleNeeded();
    if (!IsLoading()) Realign();
  }
}

void TWinControl::RemoveControl(TControl* C) {
  auto It = std::find(FControls.begin(), FControls.end(), C);
  if (It == FControls.end()) return;
  if (auto* W = dynamic_cast<TWinControl*>(C)) W->DestroyHandle();
  FControls.erase(It);
  C->FParent = nullptr;
  if (FHandle && !IsDestroying()) Realign();
}

int32_t TWinControl::ClientWidth() {
  if (!FHandle) return FWidth;
  RECT R;
  GetClientRect(FHandle, &R);
  return R.right - R.left;
}

int32_t TWinControl::ClientHeight() {
  if (!FHandle) return FHeight;
  RECT R;
  GetClientRect(FHandle, &R);
  return R.bottom - R.top;
}

void TWinControl::SetClientSize(int32_t W, int32_t H) {
  if (!FHandle) {
    SetBounds(FLeft, FTop, W, H);
    return;
  }
  RECT R{0, 0, W, H};
  AdjustWindowRectEx(&R, static_cast<DWORD>(GetWindowLongPtrA(FHandle, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongPtrA(FHandle, GWL_EXSTYLE)));
  SetBounds(FLeft, FTop, R.right - R.left, R.bottom - R.top);
}

void TWinControl::SetBounds(int32_t ALeft, int32_t ATop, int32_t AWidth, int32_t AHeight) {
  TControl::SetBounds(ALeft, ATop, AWidth, AHeight);
  if (FHandle) {
    MoveWindow(FHandle, FLeft, FTop, FWidth, FHeight, TRUE);
    Realign();
  }
}

void TWinControl::SetCaption(const std::string& S) {
  TControl::SetCaption(S);
  if (FHandle) SetWindowTextA(FHandle, S.c_str());
}

void TWinControl::SetVisible(bool V) {
  TControl::SetVisible(V);
  if (FHandle && FParent) ShowWindow(FHandle, V ? SW_SHOWNA : SW_HIDE);
}

void TWinControl::SetEnabled(bool V) {
  TControl::SetEnabled(V);
  if (FHandle) EnableWindow(FHandle, V);
}

void TWinControl::FontChanged() {
  TControl::FontChanged();
  if (FHandle) SendMessageA(FHandle, WM_SETFONT, reinterpret_cast<WPARAM>(FFont->Handle()), TRUE);
  for (TControl* C : FControls) C->TakeParentFont();
}

void TWinControl::GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root) {
  for (TControl* C : FControls)
    if (C->Owner() == Root) Proc(C);
}

void TWinControl::SetChildOrder(TComponent* Child, int Order) {
  auto* C = dynamic_cast<TControl*>(Child);
  auto It = std::find(FControls.begin(), FControls.end(), C);
  if (It == FControls.end()) return;
  FControls.erase(It);
  Order = std::clamp(Order, 0, static_cast<int>(FControls.size()));
  FControls.insert(FControls.begin() + Order, C);
}

void TWinControl::Realign() {
  if (FAligning || IsLoading() || !FHandle) return;
  FAligning = true;
  RECT R{0, 0, ClientWidth(), ClientHeight()};
  // Top and bottom first, then left and right, then the client: the order
  // in which the remaining area is handed out.
  const TAlign Order[] = {alTop, alBottom, alLeft, alRight, alClient};
  for (TAlign A : Order)
    for (TControl* C : FControls) {
      if (C->Align() != A || !C->Visible()) continue;
      int L = C->Left(), T = C->Top(), W = C->Width(), H = C->Height();
      switch (A) {
        case alTop: L = R.left; T = R.top; W = R.right - R.left; R.top += H; break;
        case alBottom: L = R.left; T = R.bottom - H; W = R.right - R.left; R.bottom -= H; break;
        case alLeft: L = R.left; T = R.top; H = R.bottom - R.top; R.left += W; break;
        case alRight: L = R.right - W; T = R.top; H = R.bottom - R.top; R.right -= W; break;
        case alClient: L = R.left; T = R.top; W = R.right - R.left; H = R.bottom - R.top; break;
        default: break;
      }
      C->SetBounds(L, T, W, H);
    }
  FAligning = false;
}

void TWinControl::Paint(HDC DC) {
  PaintBackground(DC);
  PaintGraphicChildren(DC);
}

void TWinControl::PaintBackground(HDC DC) {
  RECT R;
  GetClientRect(FHandle, &R);
  HBRUSH B = CreateSolidBrush(ColorToRGB(FColor));
  FillRect(DC, &R, B);
  DeleteObject(B);
}

void TWinControl::PaintGraphicChildren(HDC DC) {
  for (TControl* C : FControls)
    if (C->Visible() && !dynamic_cast<TWinControl*>(C)) C->PaintTo(DC);
}

LRESULT TWinControl::DefaultHandler(UINT Msg, WPARAM WParam, LPARAM LParam) {
  if (FDefWndProc) return CallWindowProcA(FDefWndProc, FHandle, Msg, WParam, LParam);
  return DefWindowProcA(FHandle, Msg, WParam, LParam);
}

LRESULT TWinControl::WndProc(UINT Msg, WPARAM WParam, LPARAM LParam) {
  switch (Msg) {
    case WM_PAINT:
      if (!FDefWndProc) {
        PAINTSTRUCT PS;
        HDC DC = BeginPaint(FHandle, &PS);
        Paint(DC);
        EndPaint(FHandle, &PS);
        return 0;
      }
      break;
    case WM_ERASEBKGND:
      if (!FDefWndProc) return 1;  // Paint fills the whole client area
      break;
    case WM_SIZE:
      if (FHandle) {
        RECT R;
        GetWindowRect(FHandle, &R);
        FWidth = R.right - R.left;
        FHeight = R.bottom - R.top;
        Realign();
      }
      break;
    case WM_LBUTTONUP:
      if (OnClick) OnClick(this);
      break;
    case WM_COMMAND:
      if (LParam) {
        TWinControl* Child = FromHandle(reinterpret_cast<HWND>(LParam));
        if (Child && Child != this) {
          Child->CommandNotify(HIWORD(WParam));
          return 0;
        }
      }
      break;
    default:
      break;
  }
  return DefaultHandler(Msg, WParam, LParam);
}
