// The program folder page: the folder of the Start menu's Programs folder
// into which the main links go.  The page works on the project's main link
// group: every change of the edit is its destination at once, so Next needs
// no step of its own.
#pragma once

#include "controls/cmp_TEdit.h"
#include "controls/cmp_TListBox.h"
#include "ui/ordlg_WizardPage.h"

class TSelectFolderForm : public TWizardPage {
  QV_CLASS()
 public:
  explicit TSelectFolderForm(TComponent* AOwner);

  void Loaded() override;
  // Lists the existing folders (the Programs folder's subfolders, or the
  // Program Manager's groups where there are no shell folders) and puts the
  // group's folder, else the first one listed, into the edit.
  void PreparePage() override;
  // Passed over without a main link group.
  bool SkipPage() override;

  // Handlers named by the stream.
  void FolderListBoxClick(TPersistent* Sender);
  void FolderEditChange(TPersistent* Sender);
  void FormResize(TPersistent* Sender);

  TEdit* FolderEdit() const { return FFolderEdit; }
  TListBox* FolderListBox() const { return FFolderListBox; }

 private:
  void FillFolderList();
  TEdit* FFolderEdit = nullptr;
  TListBox* FFolderListBox = nullptr;
};
