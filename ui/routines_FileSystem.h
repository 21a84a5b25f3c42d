// The folder browser: the shell's own folder dialog (SHBrowseForFolder),
// extended while it is open with a button that creates a folder and an
// edit in which a path can be typed.  The extras are kit controls placed
// into the shell's dialog window; the dialog's own controls are found by
// their window classes.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include <exception>
#include <string>

#include "controls/cmp_TButtons.h"
#include "controls/cmp_TEdit.h"

class TOpenFolderDialog;

// Asked before the create button makes a folder; Allow starts true.
using TCreateFolderEvent = TEvent<void(TPersistent* Sender, bool& Allow)>;

// The texts of the dialog and its extras, in the system's own words: string
// resources of the shell's libraries.  A library or string that is missing
// gives an empty text.
class TOFDResourceStrings {
 public:
  // Above the tree (shell32 9248, its one argument empty).
  static std::string DialogTitle();
  // The create button, and the title of the name prompt (comdlg32 703).
  static std::string CreateFolderCaption();
  // The name prompt (shell32 8977).
  static std::string NamePrompt();
  static std::string Load(const char* Library, UINT Id);
};

class TOFDCreateButton : public TButton {
  QV_CLASS()
 public:
  TOFDCreateButton(TOpenFolderDialog* ADialog);
  void Click() override;

 private:
  TOpenFolderDialog* FDialog;
};

class TOFDPathEdit : public TEdit {
  QV_CLASS()
 public:
  TOFDPathEdit(TOpenFolderDialog* ADialog);
  LRESULT WndProc(UINT Msg, WPARAM WParam, LPARAM LParam) override;

 private:
  // Every key released: the tree follows the typed path.
  void WMKeyUp();
  TOpenFolderDialog* FDialog;
};

class TOpenFolderDialog : public TComponent {
  QV_CLASS()
 public:
  explicit TOpenFolderDialog(TComponent* AOwner);
  ~TOpenFolderDialog() override;

  // In: the folder to select when the dialog opens (the nearest existing
  // one is).  Out: the chosen folder.
  std::string Folder;
  bool ShowCreateButton = true;
  bool ShowPathEdit = true;
  TCreateFolderEvent OnCreateFolder;

  // True when the user confirmed a folder, which is then in Folder.  With
  // the path edit the typed path counts and is created when missing; a path
  // that cannot be created raises EFileError.
  bool Execute();

  // The folder the dialog points at: the selection or the typed text.
  const std::string& CurrentPath() const { return FCurrentPath; }
  TOFDCreateButton* CreateButton() const { return FCreateButton; }
  TOFDPathEdit* PathEdit() const { return FPathEdit; }

  // The nearest existing folder of Path (Path itself, else its parents),
  // as the dialog wants it selected: a drive root with its backslash,
  // anything longer without; empty when nothing of it exists.
  static std::string NearestExistingFolder(const std::string& Path);

 private:
  friend class TOFDCreateButton;
  friend class TOFDPathEdit;
  friend int CALLBACK BrowseCallback(HWND Wnd, UINT Msg, LPARAM LParam, LPARAM Data);
  friend LRESULT CALLBACK BrowseDialogProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);

  void Initialized(HWND Wnd);
  void FindDialogControls();
  void AddCreateButton();
  void AddPathEdit();
  void SelectFolder(const std::string& Path);
  void SelectionChanged(LPITEMIDLIST Item);
  void PathTyped();
  void CreateFolder();
  // The dialog window goes: the extras go with it, before their windows do.
  void DialogDestroyed();
  void Fail(HWND Dialog);
  void FreeExtras();

  std::string FCurrentPath;
  bool FRestart = false;
  bool FSelecting = false;
  bool FTyping = false;
  HWND FDialogWnd = nullptr, FTreeWnd = nullptr, FOkWnd = nullptr, FCancelWnd = nullptr;
  RECT FTreeRect{}, FOkRect{}, FCancelRect{};
  WNDPROC FDialogProc = nullptr;  // the shell dialog's own, while extended
  TOFDCreateButton* FCreateButton = nullptr;
  TOFDPathEdit* FPathEdit = nullptr;
  std::exception_ptr FFailure;  // raised in the dialog, passed out of Execute
};
