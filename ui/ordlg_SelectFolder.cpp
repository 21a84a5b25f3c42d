#include "ui/ordlg_SelectFolder.h"

#include <windows.h>

#include "environment/routines_API.h"
#include "environment/routines_Scoped.h"
#include "model/cmp_TPathSpecifier.h"
#include "rtl/routines_ClassBuilder.h"
#include "rtl/routines_Strings.h"
#include "system/cmp_TInstallShellLink.h"
#include "system/cmp_TProgramManager.h"
#include "ui/cmp_TBaseQuorvaneForm.h"

namespace {
// The folders of the Start menu's Programs folder.
void AddProgramFolders(TStrings& List) {
  const std::string Dir = GetProgramsDir();
  WIN32_FIND_DATAA D;
  TFindHandle H(FindFirstFileA((AddBackslash(Dir) + "*.*").c_str(), &D));
  if (!H) return;
  do {
    const std::string N = D.cFileName;
    if ((D.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && N != "." && N != "..") List.Add(N);
  } while (FindNextFileA(H, &D));
}
}  // namespace

const TClassInfo& TSelectFolderForm::StaticClass() {
  using F = TSelectFolderForm;
  using Handler = void(TPersistent*);
  static const TClassInfo Info = TClassBuilder<F>("TSelectFolderForm", &TWizardPage::StaticClass())
                                     .Creatable()
                                     .Method<Handler>("FolderListBoxClick", &F::FolderListBoxClick)
                                     .Method<Handler>("FolderEditChange", &F::FolderEditChange)
                                     .Method<Handler>("FormResize", &F::FormResize)
                                     .Build();
  return Info;
}

TSelectFolderForm::TSelectFolderForm(TComponent* AOwner) : TWizardPage(AOwner, dmBeforeInstall, 60) {
  Container = MainLinkGroup();
}

void TSelectFolderForm::Loaded() {
  TWizardPage::Loaded();
  FFolderEdit = Part<TEdit>("FolderEdit");
  FFolderListBox = Part<TListBox>("FolderListBox");
}

bool TSelectFolderForm::SkipPage() { return !MainLinkGroup(); }

void TSelectFolderForm::FillFolderList() {
  TStrings& Items = *FFolderListBox->Items();
  Items.Clear();
  const TWindowsVersion V = GetWindowsVersion();
  if (V == wvWindows95 || V == wvWindowsNT) {
    AddProgramFolders(Items);
  } else {
    // No shell folders before Windows 95 and NT 4: the Program Manager's
    // groups are the folders.
    TProgramManager PM(nullptr);
    PM.GetGroups(Items);
  }
}

void TSelectFolderForm::PreparePage() {
  FillFolderList();
  std::string Folder;
  if (TMainLinkGroup* G = MainLinkGroup())
    if (G->DestDirType() && G->DestDirType() == StandardSpecifier<TpsProgramMenu>())
      Folder = ExtractFileName(G->DestDir());
  if (Folder.empty() && FFolderListBox->Items()->Count() > 0) Folder = FFolderListBox->Items()->Strings(0);
  FFolderEdit->SetText(Folder);
  TWizardPage::PreparePage();
}

void TSelectFolderForm::FolderListBoxClick(TPersistent*) {
  const int I = FFolderListBox->ItemIndex();
  if (I >= 0) FFolderEdit->SetText(FFolderListBox->Items()->Strings(I));
}

void TSelectFolderForm::FolderEditChange(TPersistent*) {
  TMainLinkGroup* G = MainLinkGroup();
  if (!G) return;
  G->SetDestDirType(StandardSpecifier<TpsProgramMenu>());
  G->SetDestDir("\\" + FFolderEdit->Text());
}

void TSelectFolderForm::FormResize(TPersistent*) {
  // The spacers keep their designed heights whatever the page's size.
  static const struct {
    const char* Name;
    int32_t Height;
  } Spacers[] = {{"Label1", 18}, {"Label3", 8}, {"Label4", 8}};
  for (const auto& S : Spacers)
    if (auto* L = OptionalPart<TControl>(S.Name)) L->SetHeight(S.Height);
}
