// The page on which the user picks the file groups to install and where
// each goes: the tree of the install component's groups with a check box
// and a size beside every visible row, the selected group's description and
// destination, and the drives concerned with the space each needs and has.
// The check boxes and size labels are real controls in narrow panels beside
// the tree, kept on the rows as the tree scrolls, expands and collapses.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "controls/cmp_TCheckBox.h"
#include "controls/cmp_TEdit.h"
#include "controls/cmp_TGroupBox.h"
#include "controls/cmp_TImage.h"
#include "controls/cmp_TImageList.h"
#include "controls/cmp_TListView.h"
#include "controls/cmp_TMemo.h"
#include "controls/cmp_TTranslateControls.h"
#include "controls/cmp_TTreeView.h"
#include "ui/cmp_TBaseInstallForm.h"

class TFileContainer;
class TFileGroupSelectForm;

// The tree of groups; it tells its form whatever moves the rows.
class TGroupTreeView : public TTreeView {
  QV_CLASS()
 public:
  explicit TGroupTreeView(TFileGroupSelectForm* AForm);
  TFileGroupSelectForm* Form() const { return FForm; }
  LRESULT WndProc(UINT Msg, WPARAM WParam, LPARAM LParam) override;

 protected:
  void SelectionChanged(TTreeNode* Node) override;
  void NodeExpanded(TTreeNode* Node) override;
  void NodeCollapsed(TTreeNode* Node) override;
  void Scrolled() override;

 private:
  TFileGroupSelectForm* FForm;
};

// The drives the selected groups go to: required and free bytes.
class TDriveSpaceListView : public TListView {
  QV_CLASS()
 public:
  explicit TDriveSpaceListView(TFileGroupSelectForm* AForm);
  // The captions of the two size columns in the language in force.
  void TranslateColumns();

 private:
  TFileGroupSelectForm* FForm;
};

// One check box per visible row: Include of its group.
class TIncludeCheckBox : public TCheckBox {
  QV_CLASS()
 public:
  explicit TIncludeCheckBox(TFileGroupSelectForm* AForm);
  TFileContainer* Group = nullptr;
  TFileGroupSelectForm* Form;
  // Set while the page itself sets the state: no click reaches the group.
  bool Guard = false;
};

// One size per visible row: the group's selected size with its subgroups.
class TSizeLabel : public TLabel {
  QV_CLASS()
 public:
  using TLabel::TLabel;
  TFileContainer* Group = nullptr;
};

// A pool of controls in a panel beside the tree, one per visible row,
// reused and grown as more rows show.
class TFGSFList {
 public:
  TFGSFList(TFileGroupSelectForm* AForm, TPanel* APanel, TControl* ADivider, int32_t ALeft);
  virtual ~TFGSFList();
  TFGSFList(const TFGSFList&) = delete;
  TFGSFList& operator=(const TFGSFList&) = delete;

  int Count() const { return static_cast<int>(FItems.size()); }
  TControl* Items(int Index) const { return FItems.at(static_cast<size_t>(Index)); }
  // Puts a control on every visible row of the tree, hides the rest.
  void Arrange();

 protected:
  virtual TControl* NewControl() = 0;
  virtual void ShowGroup(TControl* C, TFileContainer* Group) = 0;
  TFileGroupSelectForm* FForm;
  TPanel* FPanel;

 private:
  TControl* FDivider;
  int32_t FLeft;
  std::vector<TControl*> FItems;
};

class TIncludeList : public TFGSFList {
 public:
  using TFGSFList::TFGSFList;

 protected:
  TControl* NewControl() override;
  void ShowGroup(TControl* C, TFileContainer* Group) override;
};

class TSizeList : public TFGSFList {
 public:
  using TFGSFList::TFGSFList;

 protected:
  TControl* NewControl() override;
  void ShowGroup(TControl* C, TFileContainer* Group) override;
};

// A drive of the drive list: its letter, the bytes the selected groups put
// on it and the bytes it has free (all 64 bits of them).
struct TDriveSpace {
  char Drive = 0;
  int64_t Required = 0;
  int64_t Free = 0;
};

class TFileGroupSelectForm : public TBaseInstallForm {
  QV_CLASS()
 public:
  explicit TFileGroupSelectForm(TComponent* AOwner);
  ~TFileGroupSelectForm() override;

  void Loaded() override;
  // Shown unless the install type in force is itAlways or itCustom.
  bool SkipPage() override;
  void PreparePage() override;

  // Handlers.
  void FormCreate(TPersistent* Sender);
  void FormDestroy(TPersistent* Sender);
  void BackBtnClick(TPersistent* Sender) { PreviousPage(); }
  void ProceedBtnClick(TPersistent* Sender) { NextPage(); }
  void CancelBtnClick(TPersistent* Sender) { CancelWithConfirm(); }
  void BrowseBtnClick(TPersistent* Sender);
  void DirectoryLabelChange(TPersistent* Sender);

  // The group of the selected node (the install component for the root);
  // nullptr without a selection.
  TFileContainer* SelectedGroup() const;
  // Include, then whatever depends on it, after the user clicked Box.
  void IncludeClicked(TIncludeCheckBox* Box);
  // The check boxes and size labels onto the rows that show now.
  void ArrangeRows();
  // The horizontal scroll bar shows for good, and the columns beside the
  // tree keep its height free, so their rows stay level with the tree's.
  void AdjustScrollBars();
  void ShowDetails();
  void BuildDriveList();
  const std::vector<TDriveSpace>& Drives() const { return FDrives; }

  // The parts of the designed form.
  TTranslateBitBtn* BackBtn = nullptr;
  TTranslateBitBtn* ProceedBtn = nullptr;
  TImage* ThemeBitmap = nullptr;
  TPanel* pnlGroups = nullptr;
  TPanel* pnlInclude = nullptr;
  TPanel* pnIncludeRightDivider = nullptr;
  TPanel* pnlIncludeSpacer = nullptr;
  TPanel* pnlSize = nullptr;
  TPanel* pnlSizeRightDivider = nullptr;
  TPanel* pnlSizeSpacer = nullptr;
  TTranslateLabel* GroupDescLabel = nullptr;
  TPanel* pnlDescriptionMemo = nullptr;
  TMemo* DescriptionMemo = nullptr;
  TPanel* pnlDriveSpace = nullptr;
  TEdit* DirectoryLabel = nullptr;
  TTranslateBitBtn* BrowseBtn = nullptr;
  TImageList* ilDriveSpace = nullptr;
  // Made by FormCreate.
  TGroupTreeView* GroupTree = nullptr;
  TDriveSpaceListView* DriveList = nullptr;
  TIncludeList* IncludeList = nullptr;
  TSizeList* SizeList = nullptr;

 private:
  // The page's Container as a file container; raises the page's error
  // naming What when there is none or it is of another kind.
  TFileContainer* CheckedContainer(const TComponent* What) const;
  void BuildTree();
  void AddGroupNodes(TTreeNode* Parent, TFileContainer* Group);
  void AddDrives(TFileContainer* Group);
  bool FDetailsGuard = false;
  std::vector<TDriveSpace> FDrives;
};

// Whether Group is to be installed: Include, and the install type in force
// or the group's install types let it.
bool GroupSelected(const TFileContainer* Group);
// Bytes as the page shows them: thousands separated, then the translated
// "Bytes".
std::string FormatBytes(int64_t Bytes);
// The free bytes of the drive with that letter; -1 when it cannot be read.
int64_t DriveFreeBytes(char Drive);

void RegisterFileGroupSelectForm();
