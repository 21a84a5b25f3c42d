#include "ui/ordlg_FileGroupSelect.h"

#include <algorithm>

#include "controls/cmp_TApplication.h"
#include "controls/cmp_TForm.h"
#include "engine/cmp_TInstall.h"
#include "i18n/cmp_TTranslator.h"
#include "model/cmp_TFileContainer.h"
#include "rtl/routines_ClassBuilder.h"
#include "rtl/routines_Files.h"
#include "rtl/routines_Strings.h"
#include "ui/cmp_TDialogManager.h"
#include "ui/routines_FileSystem.h"
#include "ui/routines_FormParts.h"

// --- helpers ---------------------------------------------------------------------------------

bool GroupSelected(const TFileContainer* Group) { return Group && Group->WillInstall(); }

std::string FormatBytes(int64_t Bytes) {
  char Separator[8] = ",";
  GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, Separator, sizeof Separator);
  const std::string Digits = std::to_string(Bytes < 0 ? -Bytes : Bytes);
  std::string Grouped;
  for (size_t i = 0; i < Digits.size(); ++i) {
    if (i > 0 && (Digits.size() - i) % 3 == 0) Grouped += Separator;
    Grouped += Digits[i];
  }
  return (Bytes < 0 ? "-" : "") + Grouped + " " + TranslateMessage("Bytes");
}

int64_t DriveFreeBytes(char Drive) {
  const char Root[] = {Drive, ':', '\\', 0};
  ULARGE_INTEGER Free{};
  // No "insert a disk" box for an empty floppy or card drive.
  const UINT Old = SetErrorMode(SEM_FAILCRITICALERRORS);
  const BOOL Ok = GetDiskFreeSpaceExA(Root, &Free, nullptr, nullptr);
  SetErrorMode(Old);
  return Ok ? static_cast<int64_t>(Free.QuadPart) : -1;
}

namespace {

TFileContainer* NodeGroup(const TTreeNode* Node) {
  return Node ? static_cast<TFileContainer*>(Node->Data) : nullptr;
}

}  // namespace

// --- the tree -------------------------------------------------------------------------------

const TClassInfo& TGroupTreeView::StaticClass() {
  static const TClassInfo Info = TClassBuilder<TGroupTreeView>("TGroupTreeView", &TTreeView::StaticClass()).Build();
  return Info;
}

TGroupTreeView::TGroupTreeView(TFileGroupSelectForm* AForm) : TTreeView(nullptr), FForm(AForm) {
  SetName("GroupTree");
  SetBorderStyle(bsNoneBorder);
  SetHideSelection(false);
  SetReadOnly(true);
  SetTabStop(true);
}

LRESULT TGroupTreeView::WndProc(UINT Msg, WPARAM WParam, LPARAM LParam) {
  const LRESULT R = TTreeView::WndProc(Msg, WParam, LParam);
  if (Msg == WM_KEYDOWN && FHandle) {
    switch (WParam) {
      case VK_PRIOR:
      case VK_NEXT:
      case VK_UP:
      case VK_DOWN:
      case VK_LEFT:
      case VK_RIGHT:
        FForm->ArrangeRows();
        break;
      default:
        break;
    }
    if (Selected()) FForm->ShowDetails();
  } else if (Msg == WM_LBUTTONUP && Selected()) {
    FForm->ShowDetails();
  }
  return R;
}

void TGroupTreeView::SelectionChanged(TTreeNode* Node) {
  TTreeView::SelectionChanged(Node);
  // The mouse and the window driver select without a key or a button-up
  // of this window (the control tracks the click itself).
  if (Node) FForm->ShowDetails();
}

void TGroupTreeView::NodeExpanded(TTreeNode* Node) {
  TTreeView::NodeExpanded(Node);
  FForm->ArrangeRows();
  FForm->AdjustScrollBars();
}

void TGroupTreeView::NodeCollapsed(TTreeNode* Node) {
  TTreeView::NodeCollapsed(Node);
  FForm->ArrangeRows();
  FForm->AdjustScrollBars();
}

void TGroupTreeView::Scrolled() { FForm->ArrangeRows(); }

// --- the drive list ---------------------------------------------------------------------------

const TClassInfo& TDriveSpaceListView::StaticClass() {
  static const TClassInfo Info =
      TClassBuilder<TDriveSpaceListView>("TDriveSpaceListView", &TListView::StaticClass()).Build();
  return Info;
}

TDriveSpaceListView::TDriveSpaceListView(TFileGroupSelectForm* AForm) : TListView(nullptr), FForm(AForm) {
  SetName("DriveList");
  SetViewStyle(vsReport);
  SetSmallImages(AForm->ilDriveSpace);
  SetStateImages(AForm->ilDriveSpace);
  SetColumnClick(false);
  SetReadOnly(true);
  // Designed at 96 dots per inch, as the page around them; the free space
  // takes the most room: today's drives have hundreds of gigabytes.
  for (int32_t Width : {34, 120, 142}) Columns()->Add()->SetWidth(MulDiv(Width, ScreenPixelsPerInch(), 96));
  TranslateColumns();
}

void TDriveSpaceListView::TranslateColumns() {
  // The list is no part of the form's stream: the translator does not see
  // it, so its captions follow the language here.
  Columns()->Items(1)->SetCaption(TranslateMessage("Space Required:"));
  Columns()->Items(2)->SetCaption(TranslateMessage("Space Available:"));
}

// --- the pools beside the tree ------------------------------------------------------------------

const TClassInfo& TIncludeCheckBox::StaticClass() {
  static const TClassInfo Info =
      TClassBuilder<TIncludeCheckBox>("TIncludeCheckBox", &TCheckBox::StaticClass()).Build();
  return Info;
}

TIncludeCheckBox::TIncludeCheckBox(TFileGroupSelectForm* AForm) : TCheckBox(nullptr), Form(AForm) {
  OnClick = [this](TPersistent*) {
    if (!Guard) Form->IncludeClicked(this);
  };
}

const TClassInfo& TSizeLabel::StaticClass() {
  static const TClassInfo Info = TClassBuilder<TSizeLabel>("TSizeLabel", &TLabel::StaticClass()).Build();
  return Info;
}

TFGSFList::TFGSFList(TFileGroupSelectForm* AForm, TPanel* APanel, TControl* ADivider, int32_t ALeft)
    : FForm(AForm), FPanel(APanel), FDivider(ADivider), FLeft(ALeft) {}

TFGSFList::~TFGSFList() {
  for (TControl* C : FItems) delete C;
}

void TFGSFList::Arrange() {
  TGroupTreeView* Tree = FForm->GroupTree;
  if (!Tree || !Tree->HandleAllocated()) return;
  const int32_t TreeHeight = Tree->Height();
  const int32_t Width = FPanel->Width() - (FDivider ? FDivider->Width() : 0) - 3;
  size_t Used = 0;
  TTreeNodes* Nodes = Tree->Items();
  for (int i = 0; i < Nodes->Count(); ++i) {
    TTreeNode* Node = Nodes->Item(i);
    if (!Node->IsVisible()) continue;
    const RECT Row = Node->DisplayRect(false);
    if (Row.top < 0) continue;
    if (Row.top > TreeHeight) break;
    if (Used == FItems.size()) {
      TControl* C = NewControl();
      C->SetParent(FPanel);
      FItems.push_back(C);
    }
    TControl* C = FItems[Used++];
    C->SetVisible(true);
    C->SetBounds(FLeft, Row.top, Width, Row.bottom - Row.top);
    ShowGroup(C, NodeGroup(Node));
  }
  for (size_t i = Used; i < FItems.size(); ++i) FItems[i]->SetVisible(false);
}

TControl* TIncludeList::NewControl() {
  auto* Box = new TIncludeCheckBox(FForm);
  Box->SetName("Include" + std::to_string(Count() + 1));
  Box->SetCaption("");
  Box->SetTabStop(true);
  return Box;
}

void TIncludeList::ShowGroup(TControl* C, TFileContainer* Group) {
  auto* Box = static_cast<TIncludeCheckBox*>(C);
  Box->SetCaption("");
  Box->Group = Group;
  Box->Guard = true;
  Box->SetChecked(GroupSelected(Group));
  Box->Guard = false;
  Box->SetEnabled(Group && Group->AllowChoice);
}

TControl* TSizeList::NewControl() {
  auto* Label = new TSizeLabel(nullptr);
  Label->SetName("Size" + std::to_string(Count() + 1));
  Label->SetAutoSize(false);
  Label->SetAlignment(taRightJustify);
  Label->SetLayout(tlCenter);
  Label->SetTransparent(true);
  return Label;
}

void TSizeList::ShowGroup(TControl* C, TFileContainer* Group) {
  auto* Label = static_cast<TSizeLabel*>(C);
  Label->SetAlignment(taRightJustify);
  Label->Group = Group;
  Label->SetCaption(Group ? FormatBytes(Group->TotalFilesSize(false)) : std::string());
}

// --- the page -----------------------------------------------------------------------------------

const TClassInfo& TFileGroupSelectForm::StaticClass() {
  using C = TFileGroupSelectForm;
  using Handler = void(TPersistent*);
  static const TClassInfo Info = TClassBuilder<C>("TFileGroupSelectForm", &TBaseInstallForm::StaticClass())
                                     .Creatable()
                                     .Method<Handler>("FormCreate", &C::FormCreate)
                                     .Method<Handler>("FormDestroy", &C::FormDestroy)
                                     .Method<Handler>("BackBtnClick", &C::BackBtnClick)
                                     .Method<Handler>("ProceedBtnClick", &C::ProceedBtnClick)
                                     .Method<Handler>("CancelBtnClick", &C::CancelBtnClick)
                                     .Method<Handler>("BrowseBtnClick", &C::BrowseBtnClick)
                                     .Method<Handler>("DirectoryLabelChange", &C::DirectoryLabelChange)
                                     .Build();
  return Info;
}

TFileGroupSelectForm::TFileGroupSelectForm(TComponent* AOwner) : TBaseInstallForm(AOwner) {
  DM = FindDialogManager(dmBeforeInstall);
  Order = 50;
  if (IInstallRun* Run = CurrentInstall()) Container = Run->AsFileContainer();
}

TFileGroupSelectForm::~TFileGroupSelectForm() {
  // The form's own destructor would fire OnDestroy once this part is gone.
  FormDestroy(this);
  OnDestroy = TNotifyEvent();
}

void TFileGroupSelectForm::Loaded() {
  TBaseInstallForm::Loaded();
  BackBtn = FormPart<TTranslateBitBtn>(*this, "BackBtn");
  ProceedBtn = FormPart<TTranslateBitBtn>(*this, "ProceedBtn");
  ThemeBitmap = FormPart<TImage>(*this, "ThemeBitmap");
  pnlGroups = FormPart<TPanel>(*this, "pnlGroups");
  pnlInclude = FormPart<TPanel>(*this, "pnlInclude");
  pnIncludeRightDivider = FormPart<TPanel>(*this, "pnIncludeRightDivider");
  pnlIncludeSpacer = FormPart<TPanel>(*this, "pnlIncludeSpacer");
  pnlSize = FormPart<TPanel>(*this, "pnlSize");
  pnlSizeRightDivider = FormPart<TPanel>(*this, "pnlSizeRightDivider");
  pnlSizeSpacer = FormPart<TPanel>(*this, "pnlSizeSpacer");
  GroupDescLabel = FormPart<TTranslateLabel>(*this, "GroupDescLabel");
  pnlDescriptionMemo = FormPart<TPanel>(*this, "pnlDescriptionMemo");
  DescriptionMemo = FormPart<TMemo>(*this, "DescriptionMemo");
  pnlDriveSpace = FormPart<TPanel>(*this, "pnlDriveSpace");
  DirectoryLabel = FormPart<TEdit>(*this, "DirectoryLabel");
  BrowseBtn = FormPart<TTranslateBitBtn>(*this, "BrowseBtn");
  ilDriveSpace = FormPart<TImageList>(*this, "ilDriveSpace");
}

namespace {

// Picture 0: a drive, grey with a green light; picture 1: a red mark for a
// drive short of space.  Drawn here: the kit carries no pictures of others.
void DrawDrivePictures(TImageList& List) {
  constexpr TColor Back = 0xFF00FF;  // the transparent colour
  TBitmap Strip;
  Strip.SetSize(32, 16);
  TCanvas& C = Strip.Canvas();
  C.Brush.Color = Back;
  C.FillRect(RECT{0, 0, 32, 16});
  for (int Image = 0; Image < 2; ++Image) {
    const int X = Image * 16;
    C.Brush.Color = 0x808080;
    C.FillRect(RECT{X + 1, 5, X + 15, 12});
    C.Brush.Color = 0xC0C0C0;
    C.FillRect(RECT{X + 2, 6, X + 14, 11});
    C.Brush.Color = 0x00C000;
    C.FillRect(RECT{X + 11, 8, X + 13, 10});
  }
  // The mark: a red diamond with a white bar over the drive.
  C.Brush.Color = 0x0000E0;
  C.Pen.Color = 0x0000A0;
  C.Polygon({{16 + 10, 0}, {16 + 15, 5}, {16 + 10, 10}, {16 + 5, 5}});
  C.Brush.Color = 0xFFFFFF;
  C.FillRect(RECT{16 + 8, 4, 16 + 13, 6});
  List.Clear();
  List.AddMasked(Strip, Back);
}

}  // namespace

void TFileGroupSelectForm::FormCreate(TPersistent*) {
  if (ThemeBitmap->Picture()->Empty()) LoadThemeBitmap(ThemeBitmap->Picture());
  if (ilDriveSpace->Count() < 2) DrawDrivePictures(*ilDriveSpace);
  GroupTree = new TGroupTreeView(this);
  GroupTree->SetParent(pnlGroups);
  GroupTree->SetAlign(alClient);
  DriveList = new TDriveSpaceListView(this);
  DriveList->SetParent(pnlDriveSpace);
  DriveList->SetAlign(alClient);
  IncludeList = new TIncludeList(this, pnlInclude, pnIncludeRightDivider, 3);
  SizeList = new TSizeList(this, pnlSize, pnlSizeRightDivider, 1);
}

void TFileGroupSelectForm::FormDestroy(TPersistent*) {
  // The pools first: their controls point into the tree's groups.
  delete IncludeList;
  IncludeList = nullptr;
  delete SizeList;
  SizeList = nullptr;
  delete GroupTree;
  GroupTree = nullptr;
  delete DriveList;
  DriveList = nullptr;
}

bool TFileGroupSelectForm::SkipPage() {
  auto* Install = dynamic_cast<TCustomInstall*>(CurrentInstall());
  return !Install || (Install->CurrentInstallType != itAlways && Install->CurrentInstallType != itCustom);
}

TFileContainer* TFileGroupSelectForm::CheckedContainer(const TComponent* What) const {
  if (!Container) throw IEFileGroupSelectForm("Cannot show the install file groups dialog for blank container property");
  auto* Files = dynamic_cast<TFileContainer*>(Container);
  if (!Files) throw IEFileGroupSelectForm("Container is not a TFileContainer for %s", What->Name());
  return Files;
}

void TFileGroupSelectForm::PreparePage() {
  BackBtn->SetVisible(!IsFirstPage());
  DriveList->TranslateColumns();
  BuildTree();
  AdjustScrollBars();
  ArrangeRows();
  BuildDriveList();
  ShowDetails();
  if (ProceedBtn->CanFocus()) ProceedBtn->SetFocus();
}

void TFileGroupSelectForm::BuildTree() {
  TFileContainer* Root = CheckedContainer(GroupTree);
  GroupTree->HandleNeeded();
  TTreeNodes* Nodes = GroupTree->Items();
  Nodes->BeginUpdate();
  Nodes->Clear();
  TTreeNode* RootNode = Nodes->AddObject(nullptr, TranslateMessage(Root->GroupName), Root);
  AddGroupNodes(RootNode, Root);
  Nodes->EndUpdate();
  GroupTree->SetSelected(RootNode);
  RootNode->Expand(false);
}

void TFileGroupSelectForm::AddGroupNodes(TTreeNode* Parent, TFileContainer* Group) {
  for (TFileContainer* Sub : Group->SubContainers()) {
    TTreeNode* Node = GroupTree->Items()->AddChildObject(Parent, TranslateMessage(Sub->GroupName), Sub);
    AddGroupNodes(Node, Sub);
  }
}

void TFileGroupSelectForm::AdjustScrollBars() {
  if (!GroupTree) return;
  ShowScrollBar(GroupTree->Handle(), SB_HORZ, TRUE);
  const int32_t BarHeight = GetSystemMetrics(SM_CYHSCROLL);
  for (TPanel* Spacer : {pnlIncludeSpacer, pnlSizeSpacer}) {
    Spacer->SetHeight(BarHeight);
    Spacer->SetVisible(true);
  }
}

void TFileGroupSelectForm::ArrangeRows() {
  if (IncludeList) IncludeList->Arrange();
  if (SizeList) SizeList->Arrange();
}

TFileContainer* TFileGroupSelectForm::SelectedGroup() const {
  return GroupTree ? NodeGroup(GroupTree->Selected()) : nullptr;
}

void TFileGroupSelectForm::ShowDetails() {
  TFileContainer* Group = SelectedGroup();
  if (!Group || FDetailsGuard) return;
  FDetailsGuard = true;
  try {
    DirectoryLabel->SetText(Group->GetDestPath());
    BrowseBtn->SetEnabled(Group->AllowChangeDir);
    const TStrings& Description = *Group->Description();
    const bool HasLines = Description.Count() > 0;
    pnlDescriptionMemo->SetVisible(HasLines);
    DescriptionMemo->SetVisible(HasLines);
    GroupDescLabel->SetVisible(HasLines);
    DescriptionMemo->Lines()->Clear();
    if (HasLines) {
      if (TTranslator* T = Translator())
        for (const std::string& Line : T->TranslateLines(qlEnglish, Description)) DescriptionMemo->Lines()->Add(Line);
      else
        DescriptionMemo->Lines()->Assign(Description);
    }
    if (Application) Application->ProcessMessages();
  } catch (...) {
    FDetailsGuard = false;
    throw;
  }
  FDetailsGuard = false;
  GroupTree->Invalidate();
}

void TFileGroupSelectForm::DirectoryLabelChange(TPersistent*) {
  TFileContainer* Group = SelectedGroup();
  if (FDetailsGuard || !Group) return;
  Group->SetDestDirType(nullptr);
  Group->SetDestDir(LowerCase(DirectoryLabel->Text()));
}

namespace {

// The folders of Path that do not exist yet, deepest first.
std::vector<std::string> MissingFolders(std::string Path) {
  std::vector<std::string> Missing;
  for (Path = RemoveBackslash(Path); !Path.empty() && !DirectoryExists(Path);) {
    Missing.push_back(Path);
    const std::string Parent = RemoveBackslash(ExtractFileDir(Path));
    if (Parent == Path) break;
    Path = Parent;
  }
  return Missing;
}

}  // namespace

void TFileGroupSelectForm::BrowseBtnClick(TPersistent*) {
  TFileContainer* Group = SelectedGroup();
  if (!Group) return;
  const std::string Start = Trim(Group->GetDestPath());
  // The browser shows only folders that exist: make the destination for
  // the time it is open, and take away again whatever was made for it.
  std::vector<std::string> Made = MissingFolders(Start);
  if (!Made.empty()) {
    ForceDirectories(Start);
    // A destination that cannot be made: the browser opens on its nearest
    // existing parent, and only what was made is removed.
    Made.erase(std::remove_if(Made.begin(), Made.end(), [](const std::string& F) { return !DirectoryExists(F); }),
               Made.end());
  }
  struct TRemoveMade {
    const std::vector<std::string>& Folders;
    ~TRemoveMade() {
      for (const std::string& F : Folders)
        if (!RemoveDirectoryA(F.c_str())) break;  // not empty: the user put something there
    }
  } Remove{Made};
  TOpenFolderDialog Browser(nullptr);
  Browser.ShowCreateButton = true;
  Browser.ShowPathEdit = true;
  Browser.Folder = Start;
  if (Browser.Execute()) {
    Group->SetDestDirType(nullptr);
    Group->SetDestDir(RemoveBackslash(Browser.Folder));
    // The chosen folder itself is kept when the browser made it.
    const std::string Chosen = UpperCase(RemoveBackslash(Browser.Folder));
    for (auto It = Made.begin(); It != Made.end();)
      It = UpperCase(*It) == Chosen ? Made.erase(It) : It + 1;
  }
  ShowDetails();
  BuildDriveList();
}

void TFileGroupSelectForm::IncludeClicked(TIncludeCheckBox* Box) {
  if (!Box->Group) return;
  Box->Group->Include = Box->Checked();
  if (SizeList) SizeList->Arrange();
  ShowDetails();
  BuildDriveList();
}

void TFileGroupSelectForm::AddDrives(TFileContainer* Group) {
  const std::string Path = UpperCase(Group->GetDestPath());
  const bool Selected = GroupSelected(Group);
  if (!Path.empty() && Path[0] != '\\') {
    TDriveSpace* Entry = nullptr;
    for (TDriveSpace& D : FDrives)
      if (D.Drive == Path[0]) Entry = &D;
    if (!Entry) {
      FDrives.push_back(TDriveSpace{Path[0], 0, DriveFreeBytes(Path[0])});
      Entry = &FDrives.back();
    }
    if (Selected) Entry->Required += Group->OwnFilesSize(false);
  }
  if (Selected)
    for (TFileContainer* Sub : Group->SubContainers()) AddDrives(Sub);
}

void TFileGroupSelectForm::BuildDriveList() {
  TFileContainer* Root = CheckedContainer(DriveList);
  TListItems* Rows = DriveList->Items();
  Rows->BeginUpdate();
  Rows->Clear();
  FDrives.clear();
  AddDrives(Root);
  for (const TDriveSpace& D : FDrives) {
    TListItem* Row = Rows->Add();
    Row->SetCaption(std::string(1, D.Drive));
    Row->SubItems()->Add(FormatBytes(D.Required));
    Row->SubItems()->Add(FormatBytes(D.Free < 0 ? 0 : D.Free));
    Row->SetImageIndex(0);
    Row->SetStateIndex(D.Required < D.Free ? -1 : 1);
  }
  Rows->EndUpdate();
  const int N = static_cast<int>(FDrives.size());
  // Rows as high as the screen's density makes them, like the columns.
  pnlDriveSpace->SetHeight(MulDiv(N > 2 ? 61 : 18 * N + 25, ScreenPixelsPerInch(), 96));
}

void RegisterFileGroupSelectForm() {
  static bool Done = false;
  if (Done) return;
  Done = true;
  RegisterInstallForm(TFileGroupSelectForm::StaticClass());
}
