// Drives the program's windows from outside, as a user would, and reads them
// back: the window driver of the end-to-end tests and the main job under
// Wine.  A TITLE is a visible top-level window's text, else the component
// name of a kit form (a wizard's caption changes with the page and the
// language; some windows have none).  A CONTROL is a child window found by
// the name of its component (the kit puts it on the window), else by its
// text ("&" ignored), else as CLASS#N (the N-th window of that class, from 1).
//
//   qvauto wait TITLE [SECONDS]      exit 0 once a visible window titled TITLE exists
//   qvauto gone TITLE [SECONDS]      exit 0 once no such window exists
//   qvauto click TITLE BUTTON [SECONDS]  press the button captioned (or named) BUTTON
//   qvauto close TITLE               send WM_CLOSE to the window
//   qvauto list                      print visible top-level windows and their children
//   qvauto text TITLE                print the texts of the window and its visible children,
//                                    the captions of a kit window's labels among them
//   qvauto state TITLE CONTROL       print what a user sees of a control: class, text,
//                                    enabled, visible, and as it applies checked,
//                                    selected item, progress position
//   qvauto waittext TITLE CONTROL TEXT [SECONDS]  exit 0 once the control shows TEXT
//   qvauto type TITLE CONTROL TEXT   type TEXT into the control, key by key
//   qvauto retype TITLE CONTROL TEXT select all of an edit's text and type TEXT over it
//   qvauto select TITLE CONTROL ITEM click the item: a list box, tree or list view item
//                                    or a tab by its text, a grid cell as COL,ROW, a
//                                    radio item of a group by its text or as #N (the
//                                    N-th item, from 1, whatever the language)
//   qvauto toggle TITLE CONTROL      click a check box or radio button
//   qvauto press TITLE CONTROL       click the button without waiting for what the click
//                                    does (a button that opens a modal window)
//   qvauto key TITLE KEY...          press keys in the window: Tab, Shift+Tab, Enter,
//                                    Escape, Space, Up, Down, Left, Right, Alt+F4,
//                                    Alt+LETTER, or a single character
//   qvauto shot TITLE FILE.png       save the window as it shows on the display
//   qvauto hold FILE SECONDS         keep FILE open without delete sharing for a while,
//                                    or until Windows ends the session
#include <windows.h>
#include <commctrl.h>
#include <zlib.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "window_support.h"

namespace {

std::string Plain(const std::string& S) {
  std::string R;
  for (char C : S)
    if (C != '&') R += C;
  return R;
}

bool SameText(const std::string& A, const std::string& B) {
  if (A.size() != B.size()) return false;
  for (size_t i = 0; i < A.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(A[i])) != std::tolower(static_cast<unsigned char>(B[i])))
      return false;
  return true;
}

int Fail(const char* Fmt, const std::string& A, const std::string& B = "") {
  std::fprintf(stderr, "qvauto: ");
  std::fprintf(stderr, Fmt, A.c_str(), B.c_str());
  std::fprintf(stderr, "\n");
  return 1;
}

// The component name the kit keeps on its windows, as a global atom.
std::string ComponentName(HWND H) {
  const auto Atom = static_cast<ATOM>(reinterpret_cast<UINT_PTR>(GetPropA(H, "QuorvaneName")));
  char Buf[256] = {};
  if (Atom && GlobalGetAtomNameA(Atom, Buf, sizeof Buf)) return Buf;
  return "";
}

HWND FindTop(const std::string& Title) {
  struct Ctx {
    std::string Title;
    bool ByName;
    HWND Found = nullptr;
  } C{Title, false, nullptr};
  // Of several windows of one title (a message box titled like the main
  // window it stands over), the one that takes input is the one meant.
  auto Find = [](HWND H, LPARAM P) -> BOOL {
    auto* C = reinterpret_cast<Ctx*>(P);
    if (IsWindowVisible(H) && (C->ByName ? ComponentName(H) : WindowText(H)) == C->Title) {
      if (!C->Found) C->Found = H;
      if (IsWindowEnabled(H)) {
        C->Found = H;
        return FALSE;
      }
    }
    return TRUE;
  };
  EnumWindows(Find, reinterpret_cast<LPARAM>(&C));
  if (!C.Found && !Title.empty()) {
    C.ByName = true;
    EnumWindows(Find, reinterpret_cast<LPARAM>(&C));
  }
  return C.Found;
}

HWND WaitTop(const std::string& Title, double Seconds) {
  for (DWORD Start = GetTickCount();;) {
    if (HWND H = FindTop(Title)) return H;
    if (GetTickCount() - Start > Seconds * 1000) return nullptr;
    Sleep(100);
  }
}

HWND FindControl(HWND Top, const std::string& Wanted) {
  // Controls that show come first: a wizard keeps pages of the same design
  // (buttons of the same names) hidden beneath the one it shows.
  std::vector<HWND> All = ChildWindows(Top);
  std::stable_partition(All.begin(), All.end(), [](HWND H) { return IsWindowVisible(H) != FALSE; });
  for (HWND H : All)
    if (ComponentName(H) == Wanted) return H;
  for (HWND H : All)
    if (Plain(WindowText(H)) == Plain(Wanted)) return H;
  const size_t Hash = Wanted.rfind('#');
  if (Hash != std::string::npos) {
    const std::string Class = Wanted.substr(0, Hash);
    int N = std::atoi(Wanted.c_str() + Hash + 1);
    for (HWND H : All)
      if (SameText(WindowClass(H), Class) && --N == 0) return H;
  }
  return nullptr;
}

// The captions of a kit window's labels, which have no windows: the window
// sends them to a window of ours as WM_COPYDATA.  Other windows send none.
std::string CopiedTexts;

LRESULT CALLBACK ReceiverProc(HWND H, UINT Msg, WPARAM W, LPARAM L) {
  if (Msg == WM_COPYDATA) {
    const auto* Data = reinterpret_cast<const COPYDATASTRUCT*>(L);
    if (Data->lpData) CopiedTexts.assign(static_cast<const char*>(Data->lpData), Data->cbData);
    return TRUE;
  }
  return DefWindowProcA(H, Msg, W, L);
}

std::vector<std::string> WindowlessTexts(HWND H) {
  static HWND Receiver = [] {
    WNDCLASSA C{};
    C.lpfnWndProc = ReceiverProc;
    C.hInstance = GetModuleHandleA(nullptr);
    C.lpszClassName = "QvautoTexts";
    RegisterClassA(&C);
    return CreateWindowA("QvautoTexts", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, C.hInstance, nullptr);
  }();
  static const UINT Msg = RegisterWindowMessageA("Quorvane.WindowlessTexts");
  std::vector<std::string> R;
  CopiedTexts.clear();
  DWORD_PTR Answer = 0;
  if (!Receiver || !SendMessageTimeoutA(H, Msg, reinterpret_cast<WPARAM>(Receiver), 0, SMTO_ABORTIFHUNG, 5000, &Answer))
    return R;
  for (size_t From = 0, To; (To = CopiedTexts.find('\n', From)) != std::string::npos; From = To + 1)
    R.push_back(CopiedTexts.substr(From, To - From));
  return R;
}

// Memory in the program under test, for the common controls' messages that
// carry pointers (Windows copies those of the older controls itself).
class TRemote {
 public:
  TRemote(HWND H, size_t Size) : FSize(Size) {
    DWORD Pid = 0;
    GetWindowThreadProcessId(H, &Pid);
    FProcess = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, Pid);
    if (FProcess) FAddress = VirtualAllocEx(FProcess, nullptr, Size, MEM_COMMIT, PAGE_READWRITE);
  }
  ~TRemote() {
    if (FAddress) VirtualFreeEx(FProcess, FAddress, 0, MEM_RELEASE);
    if (FProcess) CloseHandle(FProcess);
  }
  TRemote(const TRemote&) = delete;
  TRemote& operator=(const TRemote&) = delete;
  bool Ok() const { return FAddress != nullptr; }
  char* At(size_t Offset) const { return static_cast<char*>(FAddress) + Offset; }
  LPARAM Param(size_t Offset = 0) const { return reinterpret_cast<LPARAM>(At(Offset)); }
  void Write(const void* Data, size_t Size, size_t Offset = 0) {
    WriteProcessMemory(FProcess, At(Offset), Data, Size, nullptr);
  }
  void Read(void* Data, size_t Size, size_t Offset = 0) const {
    ReadProcessMemory(FProcess, At(Offset), Data, Size, nullptr);
  }
  std::string ReadString(size_t Offset) const {
    char Buf[1024] = {};
    Read(Buf, sizeof Buf - 1, Offset);
    return Buf;
  }

 private:
  HANDLE FProcess = nullptr;
  void* FAddress = nullptr;
  size_t FSize;
};

constexpr size_t TextOffset = 512;  // where the text buffer follows the structure

std::string TreeItemText(HWND Tree, HTREEITEM Item) {
  TRemote R(Tree, 2048);
  if (!R.Ok()) return "";
  TVITEMA I{};
  I.mask = TVIF_TEXT;
  I.hItem = Item;
  I.pszText = R.At(TextOffset);
  I.cchTextMax = 1024;
  R.Write(&I, sizeof I);
  SendMessageA(Tree, TVM_GETITEMA, 0, R.Param());
  return R.ReadString(TextOffset);
}

HTREEITEM FindTreeItem(HWND Tree, HTREEITEM First, const std::string& Text) {
  for (HTREEITEM I = First; I;
       I = reinterpret_cast<HTREEITEM>(SendMessageA(Tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(I)))) {
    if (TreeItemText(Tree, I) == Text) return I;
    auto Child = reinterpret_cast<HTREEITEM>(SendMessageA(Tree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(I)));
    if (HTREEITEM F = Child ? FindTreeItem(Tree, Child, Text) : nullptr) return F;
  }
  return nullptr;
}

std::string ListViewItemText(HWND List, int Index) {
  TRemote R(List, 2048);
  if (!R.Ok()) return "";
  LVITEMA I{};
  I.iSubItem = 0;
  I.pszText = R.At(TextOffset);
  I.cchTextMax = 1024;
  R.Write(&I, sizeof I);
  SendMessageA(List, LVM_GETITEMTEXTA, static_cast<WPARAM>(Index), R.Param());
  return R.ReadString(TextOffset);
}

std::string TabText(HWND Tabs, int Index) {
  TRemote R(Tabs, 2048);
  if (!R.Ok()) return "";
  TCITEMA I{};
  I.mask = TCIF_TEXT;
  I.pszText = R.At(TextOffset);
  I.cchTextMax = 1024;
  R.Write(&I, sizeof I);
  SendMessageA(Tabs, TCM_GETITEMA, static_cast<WPARAM>(Index), R.Param());
  return R.ReadString(TextOffset);
}

// A rectangle a control message fills in the program's memory; First is
// what the message expects in the rectangle on the way in.
RECT RemoteRect(HWND H, UINT Msg, WPARAM W, const void* First = nullptr, size_t FirstSize = 0) {
  RECT Rc{};
  TRemote R(H, sizeof(RECT));
  if (!R.Ok()) return Rc;
  if (First) R.Write(First, FirstSize);
  SendMessageA(H, Msg, W, R.Param());
  R.Read(&Rc, sizeof Rc);
  return Rc;
}

// A user's click in the middle of R (client coordinates of H).
void ClickAt(HWND H, const RECT& R) {
  const LPARAM At = MAKELPARAM((R.left + R.right) / 2, (R.top + R.bottom) / 2);
  PostMessageA(H, WM_LBUTTONDOWN, MK_LBUTTON, At);
  PostMessageA(H, WM_LBUTTONUP, 0, At);
}

// The grid of the kit answers these two messages.
UINT GridMessage(const char* Name) { return RegisterWindowMessageA(Name); }

int SelectItem(HWND C, const std::string& Item) {
  const std::string Class = WindowClass(C);
  if (SameText(Class, "ListBox")) {
    const LRESULT I = SendMessageA(C, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(Item.c_str()));
    if (I == LB_ERR) return Fail("no item \"%s\" in the list %s", Item, ComponentName(C));
    SendMessageA(C, LB_SETTOPINDEX, static_cast<WPARAM>(I), 0);
    RECT R{};
    SendMessageA(C, LB_GETITEMRECT, static_cast<WPARAM>(I), reinterpret_cast<LPARAM>(&R));
    ClickAt(C, R);
    return 0;
  }
  if (SameText(Class, WC_TREEVIEWA)) {
    auto Root = reinterpret_cast<HTREEITEM>(SendMessageA(C, TVM_GETNEXTITEM, TVGN_ROOT, 0));
    HTREEITEM I = FindTreeItem(C, Root, Item);
    if (!I) return Fail("no node \"%s\" in the tree %s", Item, ComponentName(C));
    SendMessageA(C, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(I));
    ClickAt(C, RemoteRect(C, TVM_GETITEMRECT, TRUE, &I, sizeof I));
    return 0;
  }
  if (SameText(Class, WC_LISTVIEWA)) {
    const int N = static_cast<int>(SendMessageA(C, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < N; ++i)
      if (ListViewItemText(C, i) == Item) {
        SendMessageA(C, LVM_ENSUREVISIBLE, static_cast<WPARAM>(i), FALSE);
        RECT First{LVIR_LABEL, 0, 0, 0};
        ClickAt(C, RemoteRect(C, LVM_GETITEMRECT, static_cast<WPARAM>(i), &First, sizeof First));
        return 0;
      }
    return Fail("no item \"%s\" in the list view %s", Item, ComponentName(C));
  }
  if (SameText(Class, WC_TABCONTROLA)) {
    const int N = static_cast<int>(SendMessageA(C, TCM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < N; ++i)
      if (TabText(C, i) == Item) {
        ClickAt(C, RemoteRect(C, TCM_GETITEMRECT, static_cast<WPARAM>(i)));
        return 0;
      }
    return Fail("no tab \"%s\" in %s", Item, ComponentName(C));
  }
  int Col = 0, Row = 0;
  if (std::sscanf(Item.c_str(), "%d,%d", &Col, &Row) == 2) {
    if (SendMessageA(C, GridMessage("Quorvane.GridSelect"), MAKEWPARAM(Col, Row), 0)) return 0;
    return Fail("cell %s cannot be selected in %s", Item, ComponentName(C));
  }
  // A group of radio buttons: the one captioned Item, or the N-th for #N.
  const int Nth = Item.size() > 1 && Item[0] == '#' ? std::atoi(Item.c_str() + 1) : 0;
  int Index = 0;
  for (HWND B : ChildWindows(C))
    if (++Index == Nth || Plain(WindowText(B)) == Plain(Item)) {
      SendMessageA(B, BM_CLICK, 0, 0);
      return 0;
    }
  return Fail("cannot select \"%s\" in %s", Item, ComponentName(C));
}

int PrintState(HWND C) {
  const std::string Class = WindowClass(C);
  std::printf("name=%s\nclass=%s\ntext=%s\nenabled=%d\nvisible=%d\n", ComponentName(C).c_str(),
              Class.c_str(), WindowText(C).c_str(), IsWindowEnabled(C) ? 1 : 0, IsWindowVisible(C) ? 1 : 0);
  const LONG_PTR Style = GetWindowLongPtrA(C, GWL_STYLE);
  if (SameText(Class, "Button")) {
    const LONG_PTR Kind = Style & BS_TYPEMASK;
    if (Kind == BS_CHECKBOX || Kind == BS_AUTOCHECKBOX || Kind == BS_3STATE || Kind == BS_AUTO3STATE ||
        Kind == BS_RADIOBUTTON || Kind == BS_AUTORADIOBUTTON)
      std::printf("checked=%d\n", static_cast<int>(SendMessageA(C, BM_GETCHECK, 0, 0)));
    if (Kind == BS_GROUPBOX)
      for (HWND B : ChildWindows(C))
        if (SendMessageA(B, BM_GETCHECK, 0, 0) == BST_CHECKED) std::printf("selected=%s\n", WindowText(B).c_str());
  } else if (SameText(Class, "ListBox")) {
    const LRESULT I = SendMessageA(C, LB_GETCURSEL, 0, 0);
    wchar_t Buf[1024] = {};
    if (I != LB_ERR && SendMessageW(C, LB_GETTEXTLEN, static_cast<WPARAM>(I), 0) < 1024)
      SendMessageW(C, LB_GETTEXT, static_cast<WPARAM>(I), reinterpret_cast<LPARAM>(Buf));
    std::printf("index=%d\nselected=%s\ncount=%d\n", static_cast<int>(I), FromWide(Buf).c_str(),
                static_cast<int>(SendMessageA(C, LB_GETCOUNT, 0, 0)));
  } else if (SameText(Class, PROGRESS_CLASSA)) {
    std::printf("position=%d\nmin=%d\nmax=%d\n", static_cast<int>(SendMessageA(C, PBM_GETPOS, 0, 0)),
                static_cast<int>(SendMessageA(C, PBM_GETRANGE, TRUE, 0)),
                static_cast<int>(SendMessageA(C, PBM_GETRANGE, FALSE, 0)));
  } else if (SameText(Class, WC_TABCONTROLA)) {
    const int I = static_cast<int>(SendMessageA(C, TCM_GETCURSEL, 0, 0));
    std::printf("index=%d\nselected=%s\n", I, I >= 0 ? TabText(C, I).c_str() : "");
  } else if (SameText(Class, WC_TREEVIEWA)) {
    auto I = reinterpret_cast<HTREEITEM>(SendMessageA(C, TVM_GETNEXTITEM, TVGN_CARET, 0));
    std::printf("selected=%s\ncount=%d\n", I ? TreeItemText(C, I).c_str() : "",
                static_cast<int>(SendMessageA(C, TVM_GETCOUNT, 0, 0)));
  } else if (SameText(Class, WC_LISTVIEWA)) {
    const int I = static_cast<int>(SendMessageA(C, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    std::printf("index=%d\nselected=%s\ncount=%d\n", I, I >= 0 ? ListViewItemText(C, I).c_str() : "",
                static_cast<int>(SendMessageA(C, LVM_GETITEMCOUNT, 0, 0)));
  } else if (const LRESULT Cell = SendMessageA(C, GridMessage("Quorvane.GridSelection"), 0, 0)) {
    std::printf("col=%d\nrow=%d\n", LOWORD(Cell), HIWORD(Cell));
  }
  return 0;
}

void PostChars(HWND C, const std::string& Text) {
  for (char Ch : Text) {
    const SHORT Vk = VkKeyScanA(Ch);
    PostMessageA(C, WM_CHAR, static_cast<unsigned char>(Ch), 1);
    PostMessageA(C, WM_KEYUP, static_cast<WPARAM>(LOBYTE(Vk)), static_cast<LPARAM>(0xC0000001));
  }
}

// Keys go in as a user's do (SendInput), to the window brought to the front,
// so that the shift state is the program's own.
bool ParseKey(const std::string& Name, std::vector<WORD>& Modifiers, WORD& Vk) {
  std::string K = Name;
  for (;;) {
    const size_t Plus = K.find('+');
    if (Plus == std::string::npos || Plus + 1 == K.size()) break;
    const std::string M = K.substr(0, Plus);
    if (SameText(M, "Shift")) Modifiers.push_back(VK_SHIFT);
    else if (SameText(M, "Alt")) Modifiers.push_back(VK_MENU);
    else if (SameText(M, "Ctrl")) Modifiers.push_back(VK_CONTROL);
    else return false;
    K = K.substr(Plus + 1);
  }
  static const struct {
    const char* Name;
    WORD Vk;
  } Named[] = {{"Tab", VK_TAB},     {"Enter", VK_RETURN}, {"Escape", VK_ESCAPE}, {"Space", VK_SPACE},
               {"Up", VK_UP},       {"Down", VK_DOWN},    {"Left", VK_LEFT},     {"Right", VK_RIGHT},
               {"Home", VK_HOME},   {"End", VK_END},      {"PageUp", VK_PRIOR},  {"PageDown", VK_NEXT},
               {"F4", VK_F4},       {"Back", VK_BACK},    {"Delete", VK_DELETE}};
  for (const auto& N : Named)
    if (SameText(K, N.Name)) {
      Vk = N.Vk;
      return true;
    }
  if (K.size() != 1) return false;
  const SHORT Scan = VkKeyScanA(K[0]);
  if (Scan == -1) return false;
  Vk = LOBYTE(Scan);
  if (HIBYTE(Scan) & 1) Modifiers.push_back(VK_SHIFT);
  return true;
}

void PressKey(const std::vector<WORD>& Modifiers, WORD Vk) {
  std::vector<INPUT> In;
  auto Add = [&](WORD K, bool Up) {
    INPUT I{};
    I.type = INPUT_KEYBOARD;
    I.ki.wVk = K;
    I.ki.wScan = static_cast<WORD>(MapVirtualKeyA(K, MAPVK_VK_TO_VSC));
    I.ki.dwFlags = Up ? KEYEVENTF_KEYUP : 0;
    In.push_back(I);
  };
  for (WORD M : Modifiers) Add(M, false);
  Add(Vk, false);
  Add(Vk, true);
  for (auto M = Modifiers.rbegin(); M != Modifiers.rend(); ++M) Add(*M, true);
  SendInput(static_cast<UINT>(In.size()), In.data(), sizeof(INPUT));
}

int Keys(HWND Top, int Count, char** Names) {
  SetForegroundWindow(Top);
  Sleep(100);
  for (int i = 0; i < Count; ++i) {
    std::vector<WORD> Modifiers;
    WORD Vk = 0;
    if (!ParseKey(Names[i], Modifiers, Vk)) return Fail("unknown key \"%s\"", Names[i]);
    PressKey(Modifiers, Vk);
    Sleep(100);
  }
  return 0;
}

// --- the screenshot: the window's rectangle of the display, as PNG ---------

void PutBig32(std::string& S, uint32_t V) {
  for (int Shift = 24; Shift >= 0; Shift -= 8) S += static_cast<char>((V >> Shift) & 0xFF);
}

void PngChunk(std::string& Png, const char* Type, const std::string& Data) {
  PutBig32(Png, static_cast<uint32_t>(Data.size()));
  const std::string Body = std::string(Type, 4) + Data;
  Png += Body;
  PutBig32(Png, static_cast<uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(Body.data()),
                                            static_cast<uInt>(Body.size()))));
}

int Shot(HWND Top, const std::string& File) {
  RECT R, Window;
  GetWindowRect(Top, &Window);
  // A maximised window's frame lies off the screen, where the display has
  // no pixels to give.
  const RECT ScreenRect{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  IntersectRect(&R, &Window, &ScreenRect);
  const int W = R.right - R.left, H = R.bottom - R.top;
  if (W <= 0 || H <= 0) return Fail("the window \"%s\" has no size", WindowText(Top));
  // The display's own pixels: what a user sees, windows in front included.
  HDC Screen = GetDC(nullptr);
  HDC Mem = CreateCompatibleDC(Screen);
  BITMAPINFO Info{};
  Info.bmiHeader.biSize = sizeof Info.bmiHeader;
  Info.bmiHeader.biWidth = W;
  Info.bmiHeader.biHeight = -H;  // top row first, as PNG wants it
  Info.bmiHeader.biPlanes = 1;
  Info.bmiHeader.biBitCount = 32;
  void* Bits = nullptr;
  HBITMAP Bmp = CreateDIBSection(Screen, &Info, DIB_RGB_COLORS, &Bits, nullptr, 0);
  HGDIOBJ Old = SelectObject(Mem, Bmp);
  BitBlt(Mem, 0, 0, W, H, Screen, R.left, R.top, SRCCOPY);
  GdiFlush();
  std::string Raw;
  Raw.reserve(static_cast<size_t>(H) * (W * 3 + 1));
  const auto* Px = static_cast<const uint8_t*>(Bits);
  for (int y = 0; y < H; ++y) {
    Raw += '\0';  // no filter
    for (int x = 0; x < W; ++x) {
      const uint8_t* P = Px + (static_cast<size_t>(y) * W + x) * 4;
      Raw += static_cast<char>(P[2]);
      Raw += static_cast<char>(P[1]);
      Raw += static_cast<char>(P[0]);
    }
  }
  SelectObject(Mem, Old);
  DeleteObject(Bmp);
  DeleteDC(Mem);
  ReleaseDC(nullptr, Screen);
  uLongf Size = compressBound(static_cast<uLong>(Raw.size()));
  std::string Z(Size, '\0');
  compress2(reinterpret_cast<Bytef*>(Z.data()), &Size, reinterpret_cast<const Bytef*>(Raw.data()),
            static_cast<uLong>(Raw.size()), 9);
  Z.resize(Size);
  std::string Header;
  PutBig32(Header, static_cast<uint32_t>(W));
  PutBig32(Header, static_cast<uint32_t>(H));
  Header += std::string("\x08\x02\x00\x00\x00", 5);  // 8 bits, RGB
  std::string Png("\x89PNG\r\n\x1a\n", 8);
  PngChunk(Png, "IHDR", Header);
  PngChunk(Png, "IDAT", Z);
  PngChunk(Png, "IEND", "");
  FILE* F = std::fopen(File.c_str(), "wb");
  if (!F) return Fail("cannot write \"%s\"", File);
  const bool Ok = std::fwrite(Png.data(), 1, Png.size(), F) == Png.size();
  return std::fclose(F) == 0 && Ok ? 0 : Fail("cannot write \"%s\"", File);
}

// "hold": the file stays open, as by a program that uses it, until the time
// is up or Windows ends the session (a restart closes such programs before
// it replaces their files).  The program has a hidden window for that.
HANDLE Held = INVALID_HANDLE_VALUE;

void Release() {
  if (Held != INVALID_HANDLE_VALUE) CloseHandle(Held);
  Held = INVALID_HANDLE_VALUE;
}

LRESULT CALLBACK HoldWindowProc(HWND H, UINT Msg, WPARAM W, LPARAM L) {
  switch (Msg) {
    case WM_QUERYENDSESSION:
      return TRUE;
    case WM_ENDSESSION:
      if (W) {
        Release();
        std::printf("released: the session ends\n");
        std::fflush(stdout);
        ExitProcess(0);
      }
      return 0;
    case WM_TIMER:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcA(H, Msg, W, L);
  }
}

int Hold(const std::string& File, double Seconds) {
  Held = CreateFileA(File.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (Held == INVALID_HANDLE_VALUE) return Fail("cannot open \"%s\"", File);
  SetConsoleCtrlHandler(
      [](DWORD) -> BOOL {
        Release();
        return FALSE;  // and end as usual
      },
      TRUE);
  WNDCLASSA C{};
  C.lpfnWndProc = HoldWindowProc;
  C.hInstance = GetModuleHandleA(nullptr);
  C.lpszClassName = "QvautoHold";
  RegisterClassA(&C);
  HWND W = CreateWindowA("QvautoHold", "qvauto hold", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                         C.hInstance, nullptr);
  std::printf("holding\n");
  std::fflush(stdout);
  if (W && SetTimer(W, 1, static_cast<UINT>(Seconds * 1000), nullptr)) {
    MSG M;
    while (GetMessageA(&M, nullptr, 0, 0) > 0) DispatchMessageA(&M);
  } else {
    Sleep(static_cast<DWORD>(Seconds * 1000));  // no window: only the time ends it
  }
  Release();
  return 0;
}

// What the screen holds when a window or control was not found: every
// visible top-level window with its title, class and component name, so
// that a failure shows what was there instead.
void PrintScreen() {
  EnumWindows(
      [](HWND H, LPARAM) -> BOOL {
        if (IsWindowVisible(H))
          std::fprintf(stderr, "  on the screen: \"%s\" [%s] %s\n", WindowText(H).c_str(), WindowClass(H).c_str(),
                       ComponentName(H).c_str());
        return TRUE;
      },
      0);
}

int Usage() {
  std::fprintf(stderr,
               "usage: qvauto wait|gone|click|close|list|text|state|type|select|toggle|press|key|shot|hold ...\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage();
  const std::string Cmd = argv[1];
  if (Cmd == "list") {
    EnumWindows(
        [](HWND H, LPARAM) -> BOOL {
          if (!IsWindowVisible(H)) return TRUE;
          std::printf("%s [%s]\n", WindowText(H).c_str(), WindowClass(H).c_str());
          for (HWND C : ChildWindows(H))
            std::printf("  %s [%s] %s\n", WindowText(C).c_str(), WindowClass(C).c_str(), ComponentName(C).c_str());
          return TRUE;
        },
        0);
    return 0;
  }
  if (argc < 3) return Usage();
  const std::string Title = argv[2];
  if (Cmd == "wait") {
    const double S = argc > 3 ? std::atof(argv[3]) : 20;
    if (WaitTop(Title, S)) return 0;
    PrintScreen();
    return Fail("no window \"%s\" within %s s", Title, argc > 3 ? argv[3] : "20");
  }
  if (Cmd == "gone") {
    const double S = argc > 3 ? std::atof(argv[3]) : 20;
    for (DWORD Start = GetTickCount(); FindTop(Title); Sleep(100))
      if (GetTickCount() - Start > S * 1000) return Fail("window \"%s\" still there after %s s", Title, argc > 3 ? argv[3] : "20");
    return 0;
  }
  if (Cmd == "hold") return Hold(Title, argc > 3 ? std::atof(argv[3]) : 30);
  if (Cmd == "click" && argc >= 4) {
    const double S = argc > 4 ? std::atof(argv[4]) : 20;
    const std::string Button = Plain(argv[3]);
    for (DWORD Start = GetTickCount(); GetTickCount() - Start <= S * 1000; Sleep(100)) {
      HWND H = FindTop(Title);
      if (!H) continue;
      for (HWND C : ChildWindows(H))
        if (IsWindowVisible(C) && IsWindowEnabled(C) && (Plain(WindowText(C)) == Button || ComponentName(C) == Button)) {
          SendMessageA(C, BM_CLICK, 0, 0);
          return 0;
        }
    }
    PrintScreen();
    return Fail("no button \"%s\" in \"%s\"", Button, Title);
  }
  if (Cmd == "waittext" && argc > 4) {
    // What a page fills in after it shows (a path, a status) arrives a
    // little later than the window; a window that closes and opens again
    // (a dialog reopened on a new folder) is looked for anew each time.
    const double S = argc > 5 ? std::atof(argv[5]) : 20;
    std::string Seen = "(no such window)";
    for (DWORD Start = GetTickCount(); GetTickCount() - Start <= S * 1000; Sleep(100)) {
      HWND H = FindTop(Title);
      HWND C = H ? FindControl(H, argv[3]) : nullptr;
      if (!C) continue;
      Seen = WindowText(C);
      if (Seen == argv[4]) return 0;
    }
    std::fprintf(stderr, "qvauto: \"%s\" never showed \"%s\"; it showed \"%s\"\n", argv[3], argv[4], Seen.c_str());
    return 1;
  }
  HWND Top = FindTop(Title);
  if (!Top) {
    PrintScreen();
    return Fail("no window \"%s\"", Title);
  }
  if (Cmd == "close") {
    PostMessageA(Top, WM_CLOSE, 0, 0);
    return 0;
  }
  if (Cmd == "text") {
    std::printf("%s\n", WindowText(Top).c_str());
    for (const std::string& T : WindowlessTexts(Top)) std::printf("  %s\n", T.c_str());
    // What the window shows: a wizard keeps its other pages as hidden children.
    for (HWND C : ChildWindows(Top))
      if (IsWindowVisible(C)) {
        std::printf("  %s\n", WindowText(C).c_str());
        for (const std::string& T : WindowlessTexts(C)) std::printf("  %s\n", T.c_str());
      }
    return 0;
  }
  if (Cmd == "key") return argc > 3 ? Keys(Top, argc - 3, argv + 3) : Usage();
  if (Cmd == "shot") return argc > 3 ? Shot(Top, argv[3]) : Usage();
  if (argc < 4) return Usage();
  HWND C = FindControl(Top, argv[3]);
  if (!C) return Fail("no control \"%s\" in \"%s\"", argv[3], Title);
  if (Cmd == "state") return PrintState(C);
  if (Cmd == "toggle") {
    SendMessageA(C, BM_CLICK, 0, 0);
    return 0;
  }
  if (Cmd == "press") {
    PostMessageA(C, BM_CLICK, 0, 0);
    return 0;
  }
  if ((Cmd == "type" || Cmd == "retype") && argc > 4) {
    if (Cmd == "retype") PostMessageA(C, EM_SETSEL, 0, -1);
    PostChars(C, argv[4]);
    return 0;
  }
  if (Cmd == "select" && argc > 4) return SelectItem(C, argv[4]);
  return Usage();
}
