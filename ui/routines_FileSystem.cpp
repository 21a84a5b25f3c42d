#include "ui/routines_FileSystem.h"

#include <shlobj.h>

#include <cstring>
#include <exception>
#include <utility>
#include <vector>

#include "controls/routines_InputQuery.h"
#include "environment/routines_Scoped.h"
#include "rtl/routines_ClassBuilder.h"
#include "rtl/routines_Files.h"
#include "rtl/routines_Strings.h"

namespace {

constexpr int PathBufferSize = MAX_PATH + 1;  // 261, the shell's display-name buffer
constexpr int ResourceBufferSize = 4096;
// Where an extra goes when the dialog's own controls were not found.
constexpr RECT DefaultExtraRect{20, 230, 140, 253};
// The create button stands this much above OK; the tree gives up this much
// for the path edit, which sits this far below it.
constexpr int CreateButtonRise = 22, TreeShortening = 60, PathEditGap = 15;
const char* const DialogProperty = "QuorvaneFolderDialog";

bool ClassStarts(HWND H, const char* Prefix) {
  char Name[64] = {};
  GetClassNameA(H, Name, sizeof Name);
  const size_t N = std::strlen(Prefix);
  return std::strlen(Name) >= N && SameText(std::string(Name, N), Prefix);
}

// A child's rectangle in the client coordinates of the dialog.
RECT RectInDialog(HWND Dialog, HWND Child) {
  RECT R;
  GetWindowRect(Child, &R);
  MapWindowPoints(nullptr, Dialog, reinterpret_cast<POINT*>(&R), 2);
  return R;
}

BOOL CALLBACK CollectChild(HWND H, LPARAM P) {
  reinterpret_cast<std::vector<HWND>*>(P)->push_back(H);
  return TRUE;
}

void PlaceExtra(TWinControl* C, const RECT& R) { C->SetBounds(R.left, R.top, R.right - R.left, R.bottom - R.top); }

std::string PathOfItem(LPCITEMIDLIST Item) {
  char Path[PathBufferSize] = {};
  if (!Item || !SHGetPathFromIDListA(Item, Path)) return "";
  return Path;
}

}  // namespace

// --- texts ------------------------------------------------------------------

std::string TOFDResourceStrings::Load(const char* Library, UINT Id) {
  TLibrary Lib(LoadLibraryA(Library));
  if (!Lib.Valid()) return "";
  std::vector<char> Buf(ResourceBufferSize, '\0');
  const int N = LoadStringA(Lib, Id, Buf.data(), ResourceBufferSize);
  return N > 0 ? std::string(Buf.data(), static_cast<size_t>(N)) : "";
}

std::string TOFDResourceStrings::DialogTitle() {
  // The string takes one argument, in either placeholder style.
  std::string S = Load("shell32.dll", 9248);
  for (const char* Arg : {"%s", "%1"}) {
    const size_t P = S.find(Arg);
    if (P != std::string::npos) S.erase(P, 2);
  }
  return S;
}

std::string TOFDResourceStrings::CreateFolderCaption() { return Load("comdlg32.dll", 703); }

std::string TOFDResourceStrings::NamePrompt() { return Load("shell32.dll", 8977); }

// --- the extras ---------------------------------------------------------------

const TClassInfo& TOFDCreateButton::StaticClass() {
  static const TClassInfo Info = TClassBuilder<TOFDCreateButton>("TOFDCreateButton", &TButton::StaticClass()).Build();
  return Info;
}

TOFDCreateButton::TOFDCreateButton(TOpenFolderDialog* ADialog) : TButton(ADialog), FDialog(ADialog) {
  SetName("CreateButton");
  SetTabStop(true);
}

void TOFDCreateButton::Click() {
  TButton::Click();
  FDialog->CreateFolder();
}

const TClassInfo& TOFDPathEdit::StaticClass() {
  static const TClassInfo Info = TClassBuilder<TOFDPathEdit>("TOFDPathEdit", &TEdit::StaticClass()).Build();
  return Info;
}

TOFDPathEdit::TOFDPathEdit(TOpenFolderDialog* ADialog) : TEdit(ADialog), FDialog(ADialog) {
  SetName("PathEdit");
  SetTabStop(true);
  AutoSelect = false;
}

LRESULT TOFDPathEdit::WndProc(UINT Msg, WPARAM WParam, LPARAM LParam) {
  const LRESULT R = TEdit::WndProc(Msg, WParam, LParam);
  if (Msg == WM_KEYUP) WMKeyUp();
  return R;
}

void TOFDPathEdit::WMKeyUp() {
  if (!FDialog->FSelecting) FDialog->PathTyped();
}

// --- the dialog -----------------------------------------------------------------

const TClassInfo& TOpenFolderDialog::StaticClass() {
  static const TClassInfo Info =
      TClassBuilder<TOpenFolderDialog>("TOpenFolderDialog", &TComponent::StaticClass()).Creatable().Build();
  return Info;
}

TOpenFolderDialog::TOpenFolderDialog(TComponent* AOwner) : TComponent(AOwner) {}

TOpenFolderDialog::~TOpenFolderDialog() { FreeExtras(); }

void TOpenFolderDialog::FreeExtras() {
  delete FCreateButton;
  FCreateButton = nullptr;
  delete FPathEdit;
  FPathEdit = nullptr;
}

std::string TOpenFolderDialog::NearestExistingFolder(const std::string& Path) {
  std::string P = Trim(Path);
  while (!P.empty() && !DirectoryExists(P)) {
    const size_t Cut = P.rfind('\\');
    P = Cut == std::string::npos ? "" : P.substr(0, Cut);
  }
  if (P.empty()) return P;
  // "C:" alone is the current folder of the drive; its root is meant.
  return P.size() > 3 ? RemoveBackslash(P) : AddBackslash(P);
}

int CALLBACK BrowseCallback(HWND Wnd, UINT Msg, LPARAM LParam, LPARAM Data) {
  auto* Self = reinterpret_cast<TOpenFolderDialog*>(Data);
  try {
    if (Msg == BFFM_INITIALIZED) Self->Initialized(Wnd);
    if (Msg == BFFM_SELCHANGED) Self->SelectionChanged(reinterpret_cast<LPITEMIDLIST>(LParam));
  } catch (...) {
    Self->Fail(Wnd);
  }
  return 0;
}

LRESULT CALLBACK BrowseDialogProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
  auto* Self = static_cast<TOpenFolderDialog*>(GetPropA(Wnd, DialogProperty));
  const WNDPROC Own = Self->FDialogProc;
  // The shell dialog is no kit window: the clicks on the create button
  // reach it, not the button.
  if (Msg == WM_COMMAND && HIWORD(WParam) == BN_CLICKED && Self->FCreateButton &&
      reinterpret_cast<HWND>(LParam) == Self->FCreateButton->Handle()) {
    try {
      Self->FCreateButton->Click();
    } catch (...) {
      Self->Fail(Wnd);
    }
    return 0;
  }
  if (Msg == WM_DESTROY) Self->DialogDestroyed();
  return CallWindowProcA(Own, Wnd, Msg, WParam, LParam);
}

bool TOpenFolderDialog::Execute() {
  FRestart = false;
  FreeExtras();
  FDialogWnd = FTreeWnd = FOkWnd = FCancelWnd = nullptr;
  FCurrentPath.clear();

  char DisplayName[PathBufferSize] = {};
  const std::string Title = TOFDResourceStrings::DialogTitle();
  BROWSEINFOA Info{};
  Info.hwndOwner = GetActiveWindow();
  Info.pidlRoot = nullptr;  // the desktop
  Info.pszDisplayName = DisplayName;
  Info.lpszTitle = Title.c_str();
  Info.ulFlags = BIF_RETURNONLYFSDIRS;
  Info.lpfn = BrowseCallback;
  Info.lParam = reinterpret_cast<LPARAM>(this);
  FFailure = nullptr;
  LPITEMIDLIST Item = SHBrowseForFolderA(&Info);
  FreeExtras();
  if (FFailure) {
    if (Item) CoTaskMemFree(Item);
    std::rethrow_exception(std::exchange(FFailure, nullptr));
  }

  bool Result = false;
  if (Item && ShowPathEdit && !FCurrentPath.empty()) {
    // The typed path counts even when no tree item shows it.
    if (!ForceDirectories(FCurrentPath)) throw EFileError(Format("Cannot create the folder \"%s\"", FCurrentPath));
    Folder = FCurrentPath;
    Result = true;
  } else if (Item) {
    Folder = PathOfItem(Item);
    Result = true;
  }
  if (Item) CoTaskMemFree(Item);
  if (FRestart) {
    // A folder was made: the dialog opens again with it selected.
    Folder = FCurrentPath;
    return Execute();
  }
  return Result;
}

void TOpenFolderDialog::Initialized(HWND Wnd) {
  FDialogWnd = Wnd;
  FindDialogControls();
  if (ShowCreateButton || ShowPathEdit) {
    SetPropA(Wnd, DialogProperty, this);
    FDialogProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(Wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(BrowseDialogProc)));
  }
  if (ShowCreateButton) AddCreateButton();
  if (ShowPathEdit) AddPathEdit();
  if (FTreeWnd)
    SetWindowLongPtrA(FTreeWnd, GWL_STYLE, GetWindowLongPtrA(FTreeWnd, GWL_STYLE) | TVS_SHOWSELALWAYS);
  if (!Folder.empty()) SelectFolder(NearestExistingFolder(Folder));
}

void TOpenFolderDialog::FindDialogControls() {
  std::vector<HWND> Children;
  EnumChildWindows(FDialogWnd, CollectChild, reinterpret_cast<LPARAM>(&Children));
  for (HWND H : Children) {
    if (GetParent(H) != FDialogWnd) continue;  // the tree's own scroll bars and the like
    if (!FTreeWnd && ClassStarts(H, "SYSTREE")) FTreeWnd = H;
    else if (ClassStarts(H, "BUTTON")) {
      if (!FOkWnd) FOkWnd = H;
      else if (!FCancelWnd) FCancelWnd = H;
    }
  }
  if (FTreeWnd) FTreeRect = RectInDialog(FDialogWnd, FTreeWnd);
  if (FOkWnd) FOkRect = RectInDialog(FDialogWnd, FOkWnd);
  if (FCancelWnd) FCancelRect = RectInDialog(FDialogWnd, FCancelWnd);
}

void TOpenFolderDialog::AddCreateButton() {
  RECT R = DefaultExtraRect;
  if (FOkWnd && FCancelWnd) {
    // One button step to the left of OK, a little higher.
    const int Step = FOkRect.left - FCancelRect.left;
    R = {FOkRect.left + Step, FOkRect.top - CreateButtonRise, FOkRect.right + Step,
         FOkRect.bottom - CreateButtonRise};
  }
  if (FTreeWnd) R.left = FTreeRect.left;
  FCreateButton = new TOFDCreateButton(this);
  FCreateButton->SetParentWindow(FDialogWnd);
  FCreateButton->SetCaption(TOFDResourceStrings::CreateFolderCaption());
  PlaceExtra(FCreateButton, R);
  FCreateButton->HandleNeeded();
  SendMessageA(FCreateButton->Handle(), WM_SETFONT, SendMessageA(FDialogWnd, WM_GETFONT, 0, 0), TRUE);
}

void TOpenFolderDialog::AddPathEdit() {
  RECT R = DefaultExtraRect;
  if (FTreeWnd) {
    FTreeRect.bottom -= TreeShortening;
    MoveWindow(FTreeWnd, FTreeRect.left, FTreeRect.top, FTreeRect.right - FTreeRect.left,
               FTreeRect.bottom - FTreeRect.top, TRUE);
    if (FOkWnd) {
      const int Height = DefaultExtraRect.bottom - DefaultExtraRect.top;
      R = {FTreeRect.left, FTreeRect.bottom + PathEditGap, FTreeRect.right, FTreeRect.bottom + PathEditGap + Height};
    }
  }
  FPathEdit = new TOFDPathEdit(this);
  FPathEdit->SetParentWindow(FDialogWnd);
  PlaceExtra(FPathEdit, R);
  FPathEdit->HandleNeeded();
  SendMessageA(FPathEdit->Handle(), WM_SETFONT, SendMessageA(FDialogWnd, WM_GETFONT, 0, 0), TRUE);
  FPathEdit->SetText(FCurrentPath);
}

void TOpenFolderDialog::SelectFolder(const std::string& Path) {
  FSelecting = true;
  // Wine's tree finds a folder made since the shell last listed its parent
  // only once the first attempt has expanded that parent: a second one is
  // asked for when the first did not arrive.
  for (int Attempt = 0; Attempt < 2; ++Attempt) {
    SendMessageA(FDialogWnd, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(Path.c_str()));
    if (SameText(RemoveBackslash(FCurrentPath), RemoveBackslash(Path))) break;
  }
  FSelecting = false;
}

void TOpenFolderDialog::SelectionChanged(LPITEMIDLIST Item) {
  FCurrentPath = PathOfItem(Item);
  if (!FTyping && FPathEdit) {
    FPathEdit->SetText(FCurrentPath);
    // The caret after the path, where the user goes on typing a new one.
    const auto End = static_cast<WPARAM>(FCurrentPath.size());
    SendMessageA(FPathEdit->Handle(), EM_SETSEL, End, static_cast<LPARAM>(End));
  }
  // Only a file-system folder can take a new folder; OK tells which it is.
  if (FCreateButton) FCreateButton->SetVisible(FOkWnd && IsWindowEnabled(FOkWnd));
}

void TOpenFolderDialog::PathTyped() {
  FTyping = true;
  const std::string Text = FPathEdit->Text();
  SendMessageA(FDialogWnd, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(Text.c_str()));
  FCurrentPath = Text;
  FTyping = false;
}

void TOpenFolderDialog::CreateFolder() {
  bool Allow = true;
  if (OnCreateFolder) OnCreateFolder(this, Allow);
  if (!Allow) return;
  if (FPathEdit && !DirectoryExists(FPathEdit->Text())) {
    FCurrentPath = FPathEdit->Text();
  } else {
    std::string Name;
    const std::string Caption = TOFDResourceStrings::CreateFolderCaption();
    if (!InputQuery(Caption, TOFDResourceStrings::NamePrompt(), Name)) return;
    FCurrentPath = AddBackslash(FCurrentPath) + Name;
  }
  if (!ForceDirectories(FCurrentPath)) throw EFileError(Format("Cannot create the folder \"%s\"", FCurrentPath));
  FRestart = true;
  if (FOkWnd) SendMessageA(FOkWnd, BM_CLICK, 0, 0);
}

void TOpenFolderDialog::Fail(HWND Dialog) {
  // An exception must not cross the shell's frames: the dialog closes as
  // cancelled and Execute raises it.
  if (!FFailure) FFailure = std::current_exception();
  PostMessageA(Dialog, WM_COMMAND, IDCANCEL, 0);
}

void TOpenFolderDialog::DialogDestroyed() {
  FreeExtras();
  if (FDialogProc) SetWindowLongPtrA(FDialogWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FDialogProc));
  RemovePropA(FDialogWnd, DialogProperty);
  FDialogProc = nullptr;
}
