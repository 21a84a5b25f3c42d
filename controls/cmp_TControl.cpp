#include "controls/cmp_TControl.h"

#include <algorithm>

#include "controls/cmp_TScreen.h"
#include "controls/routines_CodePages.h"
#include "environment/routines_API.h"
#include "rtl/routines_ClassBuilder.h"

COLORREF ColorToRGB(TColor C) {
  if (C < 0) return GetSysColor(C & 0xFF);
  return static_cast<COLORREF>(C);
}

const TEnumInfo AlignInfo{"TAlign", {"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient"}};

TShiftState KeyboardShiftState() {
  TShiftState S = 0;
  if (GetKeyState(VK_SHIFT) < 0) S |= 1 << ssShift;
  if (GetKeyState(VK_MENU) < 0) S |= 1 << ssAlt;
  if (GetKeyState(VK_CONTROL) < 0) S |= 1 << ssCtrl;
  return S;
}

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
          .Bool("ParentColor", &TControl::ParentColor, &TControl::SetParentColor, false)
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

void TControl::SetParentColor(bool V) {
  FParentColor = V;
  if (V) TakeParentColor();
}

void TControl::TakeParentColor() {
  if (!FParent || !FParentColor) return;
  SetColor(FParent->Color());
  FParentColor = true;
}

void TControl::FontChanged() {
  if (!FTakingParentFont) FParentFont = false;
  Invalidate();
}

void TControl::SetParentComponent(TComponent* Value) {
  if (auto* W = dynamic_cast<TWinControl*>(Value)) SetParent(W);
}

TComponent* TControl::GetParentComponent() const { return FParent; }

void TControl::ChangeScale(int M, int D) {
  SetBounds(MulDiv(FLeft, M, D), MulDiv(FTop, M, D), MulDiv(FWidth, M, D), MulDiv(FHeight, M, D));
  if (!FParentFont) Font()->Height = MulDiv(Font()->Height, M, D);
}

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
  const bool Changed = FVisible != V;
  FVisible = V;
  if (!FParent) return;
  // An aligned control that comes or goes hands its room to its siblings.
  if (Changed && FAlign != alNone && !IsLoading()) FParent->Realign();
  FParent->Invalidate();
}

void TControl::SetEnabled(bool V) { FEnabled = V; }

void TControl::SetAlign(TAlign A) {
  FAlign = A;
  if (FParent && !IsLoading()) FParent->Realign();
}

void TControl::SetColor(TColor C) {
  FColor = C;
  FParentColor = false;
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
      TClassBuilder<TWinControl>("TWinControl", &TControl::StaticClass())
          .Bool("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop, false)
          .Int("TabOrder", &TWinControl::TabOrder, &TWinControl::SetTabOrder, -1)
          .Event("OnKeyDown", &TWinControl::OnKeyDown)
          .Event("OnKeyPress", &TWinControl::OnKeyPress)
          .Event("OnKeyUp", &TWinControl::OnKeyUp)
          .Build();
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
  // Only windows whose messages pass through the kit carry a control; the
  // user data of any other window is its own business.
  if (!H || GetWindowLongPtrA(H, GWLP_WNDPROC) != reinterpret_cast<LONG_PTR>(KitWndProc))
    return nullptr;
  return reinterpret_cast<TWinControl*>(GetWindowLongPtrA(H, GWLP_USERDATA));
}

void TWinControl::CreateParams(TCreateParams& Params) {
  Params.Caption = FCaption;
  Params.X = FLeft;
  Params.Y = FTop;
  Params.Width = FWidth;
  Params.Height = FHeight;
  const bool Child = FParent || FParentWindow;
  if (Child) {
    Params.Style = WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    Params.WndParent = FParent ? FParent->Handle() : FParentWindow;
  } else {
    Params.Style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
  }
  if (FVisible && Child) Params.Style |= WS_VISIBLE;
  if (!FEnabled) Params.Style |= WS_DISABLED;
  if (FTabStop) Params.Style |= WS_TABSTOP;
  static int NextId = 100;
  if (Child) Params.Id = NextId++;
}

void TWinControl::CreateWnd() {
  TCreateParams P;
  CreateParams(P);
  // Asking for the parent's window made the parent create its children,
  // this one among them: a second window would be an orphan.
  if (FHandle) return;
  const bool Own = P.ClassName.empty();
  // Dialog navigation descends into a WS_EX_CONTROLPARENT window and never
  // stops on the window itself: the kit's own windows hold controls; a
  // system control (an edit, a button) has the style only while it holds
  // windows of its own (a group box).
  if (Own || HasChildWindows())
    P.ExStyle |= WS_EX_CONTROLPARENT;
  else
    P.ExStyle &= ~static_cast<DWORD>(WS_EX_CONTROLPARENT);
  HWND H = CreateWindowExA(P.ExStyle, Own ? KitWindowClassName() : P.ClassName.c_str(),
                           P.Caption.c_str(), P.Style, P.X, P.Y, P.Width, P.Height, P.WndParent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(P.Id)),
                           GetModuleHandleA(nullptr), this);
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
  if (CaptionFollowsFont() && CharsetCodePage(FFont->Charset) != CP_ACP) ShowCaption();
  if (!Name().empty()) {
    FNameAtom = GlobalAddAtomA(Name().c_str());
    SetPropA(H, NameProperty(), reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(FNameAtom)));
  }
  // Windows are created in tab order: dialog navigation follows the order
  // of the windows.  Controls without a TabOrder keep their creation order.
  std::vector<TWinControl*> Children;
  for (TControl* C : FControls)
    if (auto* W = dynamic_cast<TWinControl*>(C)) Children.push_back(W);
  std::stable_sort(Children.begin(), Children.end(), [](TWinControl* A, TWinControl* B) {
    return (A->FTabOrder < 0 ? INT32_MAX : A->FTabOrder) < (B->FTabOrder < 0 ? INT32_MAX : B->FTabOrder);
  });
  for (TWinControl* W : Children) W->HandleNeeded();
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
  FDefWndProc = nullptr;
  FHandle = nullptr;
  if (FNameAtom) {
    RemovePropA(H, NameProperty());
    GlobalDeleteAtom(FNameAtom);
    FNameAtom = 0;
  }
  DestroyWindow(H);
  if (FColorBrush) DeleteObject(FColorBrush);
  FColorBrush = nullptr;
}

void TWinControl::RecreateWnd() {
  if (!FHandle) return;
  HWND Prev = GetWindow(FHandle, GW_HWNDPREV);
  DestroyHandle();
  HandleNeeded();
  SetWindowPos(FHandle, Prev ? Prev : HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TWinControl::InsertControl(TControl* C) {
  FControls.push_back(C);
  C->FParent = this;
  C->TakeParentFont();
  C->TakeParentColor();
  if (FHandle) {
    if (auto* W = dynamic_cast<TWinControl*>(C)) {
      const LONG_PTR Ex = GetWindowLongPtrA(FHandle, GWL_EXSTYLE);
      if (!(Ex & WS_EX_CONTROLPARENT)) SetWindowLongPtrA(FHandle, GWL_EXSTYLE, Ex | WS_EX_CONTROLPARENT);
      W->HandleNeeded();
    }
    if (!IsLoading()) Realign();
  }
}

bool TWinControl::HasChildWindows() const {
  return std::any_of(FControls.begin(), FControls.end(),
                     [](TControl* C) { return dynamic_cast<TWinControl*>(C) != nullptr; });
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

void TWinControl::ChangeScale(int M, int D) {
  TControl::ChangeScale(M, D);
  for (int i = 0; i < ControlCount(); ++i) Controls(i)->ChangeScale(M, D);
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
  if (FHandle) ShowCaption();
}

void TWinControl::ShowCaption() {
  const UINT CodePage = CaptionFollowsFont() ? CharsetCodePage(FFont->Charset) : CP_ACP;
  FCaptionCodePage = CodePage;
  if (CodePage == CP_ACP) {
    SetWindowTextA(FHandle, FCaption.c_str());
    return;
  }
  const std::wstring W = ToWide(FCaption, CodePage);
  // Past the kit's own (ANSI) window procedure, which would turn the text
  // back into the system's code page.
  if (FDefWndProc)
    CallWindowProcW(FDefWndProc, FHandle, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(W.c_str()));
  else
    DefWindowProcW(FHandle, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(W.c_str()));
}

void TWinControl::SetVisible(bool V) {
  TControl::SetVisible(V);
  if (FHandle && (FParent || FParentWindow)) ShowWindow(FHandle, V ? SW_SHOWNA : SW_HIDE);
}

void TWinControl::SetEnabled(bool V) {
  TControl::SetEnabled(V);
  if (FHandle) EnableWindow(FHandle, V);
}

void TWinControl::SetColor(TColor C) {
  if (FColorBrush) DeleteObject(FColorBrush);
  FColorBrush = nullptr;
  TControl::SetColor(C);
  for (TControl* Child : FControls) Child->TakeParentColor();
}

HBRUSH TWinControl::ColorBrush() {
  if (!FColorBrush) FColorBrush = CreateSolidBrush(ColorToRGB(FColor));
  return FColorBrush;
}

void TWinControl::SetTabStop(bool V) {
  FTabStop = V;
  if (!FHandle) return;
  LONG_PTR S = GetWindowLongPtrA(FHandle, GWL_STYLE);
  SetWindowLongPtrA(FHandle, GWL_STYLE, V ? S | WS_TABSTOP : S & ~static_cast<LONG_PTR>(WS_TABSTOP));
}

void TWinControl::SetTabOrder(int32_t V) {
  FTabOrder = V;
  if (!FHandle || !FParent || IsLoading()) return;
  // Place the window after the sibling that precedes it in tab order.
  HWND After = HWND_TOP;
  for (TControl* C : FParent->FControls) {
    auto* W = dynamic_cast<TWinControl*>(C);
    if (W && W != this && W->FHandle && W->FTabOrder >= 0 && W->FTabOrder <= V) After = W->FHandle;
  }
  SetWindowPos(FHandle, After, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

bool TWinControl::Focused() const { return FHandle && GetFocus() == FHandle; }

bool TWinControl::CanFocus() const {
  for (const TWinControl* W = this; W; W = W->FParent)
    if (!W->FVisible || !W->FEnabled) return false;
  return true;
}

void TWinControl::SetFocus() {
  if (!CanFocus()) throw EComponentError("Cannot focus a disabled or invisible window");
  ::SetFocus(Handle());
}

bool TWinControl::DoKeyDown(WORD& Key) {
  if (OnKeyDown) OnKeyDown(this, Key, KeyboardShiftState());
  return Key != 0;
}

bool TWinControl::DoKeyUp(WORD& Key) {
  if (OnKeyUp) OnKeyUp(this, Key, KeyboardShiftState());
  return Key != 0;
}

bool TWinControl::DoKeyPress(char& Key) {
  if (OnKeyPress) OnKeyPress(this, Key);
  return Key != 0;
}

void TWinControl::AdjustClientRect(RECT&) {}

bool TWinControl::ReflectedMessage(UINT Msg, WPARAM WParam, LPARAM, LRESULT& Result) {
  switch (Msg) {
    case WM_COMMAND:
      CommandNotify(HIWORD(WParam));
      Result = 0;
      return true;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX: {
      HDC DC = reinterpret_cast<HDC>(WParam);
      SetTextColor(DC, ColorToRGB(FFont->Color));
      SetBkColor(DC, ColorToRGB(FColor));
      Result = reinterpret_cast<LRESULT>(ColorBrush());
      return true;
    }
    default:
      return false;
  }
}

void TWinControl::FontChanged() {
  TControl::FontChanged();
  if (FHandle) SendMessageA(FHandle, WM_SETFONT, reinterpret_cast<WPARAM>(FFont->Handle()), TRUE);
  if (FHandle && CaptionFollowsFont() && CharsetCodePage(FFont->Charset) != FCaptionCodePage) ShowCaption();
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
  AdjustClientRect(R);
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

void TWinControl::SendWindowlessTexts(HWND Receiver) const {
  if (!IsWindow(Receiver)) return;
  std::string Texts;
  for (const TControl* C : FControls)
    if (!dynamic_cast<const TWinControl*>(C) && C->Visible() && !C->Caption().empty()) Texts += C->Caption() + "\n";
  COPYDATASTRUCT Data{};
  Data.cbData = static_cast<DWORD>(Texts.size());
  Data.lpData = Texts.data();
  DWORD_PTR Ignored = 0;
  // A driver that stopped answering must not hang the program.
  SendMessageTimeoutA(Receiver, WM_COPYDATA, reinterpret_cast<WPARAM>(FHandle), reinterpret_cast<LPARAM>(&Data),
                      SMTO_ABORTIFHUNG, 2000, &Ignored);
}

LRESULT TWinControl::WndProc(UINT Msg, WPARAM WParam, LPARAM LParam) {
  static const UINT TextsMsg = RegisterWindowMessageA(WindowlessTextsMessage());
  if (Msg == TextsMsg) {
    SendWindowlessTexts(reinterpret_cast<HWND>(WParam));
    return 1;
  }
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
        Resize();
      }
      break;
    case WM_SETCURSOR:
      if (HCURSOR C = ScreenCursorHandle()) {
        ::SetCursor(C);
        return TRUE;
      }
      break;
    case WM_LBUTTONUP:
      if (OnClick && FClickOnMouseUp) OnClick(this);
      break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
      WORD Key = static_cast<WORD>(WParam);
      if (!DoKeyDown(Key)) return 0;
      WParam = Key;
      break;
    }
    case WM_KEYUP:
    case WM_SYSKEYUP: {
      WORD Key = static_cast<WORD>(WParam);
      if (!DoKeyUp(Key)) return 0;
      WParam = Key;
      break;
    }
    case WM_CHAR: {
      char Key = static_cast<char>(WParam);
      if (!DoKeyPress(Key)) return 0;
      WParam = static_cast<unsigned char>(Key);
      break;
    }
    case WM_COMMAND:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_HSCROLL:
    case WM_VSCROLL:
      if (LParam) {
        TWinControl* Child = FromHandle(reinterpret_cast<HWND>(LParam));
        LRESULT Result = 0;
        if (Child && Child != this && Child->ReflectedMessage(Msg, WParam, LParam, Result)) return Result;
      }
      break;
    case WM_NOTIFY: {
      auto* N = reinterpret_cast<NMHDR*>(LParam);
      TWinControl* Child = N ? FromHandle(N->hwndFrom) : nullptr;
      if (Child && Child != this) return Child->NotifyMessage(*N);
      break;
    }
    case WM_DRAWITEM:
    case WM_MEASUREITEM: {
      // Menus have no window; the item structures name the control by id.
      const UINT Id = Msg == WM_DRAWITEM ? reinterpret_cast<DRAWITEMSTRUCT*>(LParam)->CtlID
                                         : reinterpret_cast<MEASUREITEMSTRUCT*>(LParam)->CtlID;
      TWinControl* Child = Id ? FromHandle(GetDlgItem(FHandle, static_cast<int>(Id))) : nullptr;
      LRESULT Result = 0;
      if (Child && Child->ReflectedMessage(Msg, WParam, LParam, Result)) return Result;
      break;
    }
    default:
      break;
  }
  return DefaultHandler(Msg, WParam, LParam);
}
