#include "ui/ordlg_ChangeDisk.h"

#include "i18n/cmp_TTranslator.h"
#include "rtl/routines_ClassBuilder.h"
#include "ui/cmp_TDialogManager.h"
#include "ui/routines_FileSystem.h"
#include "ui/routines_FormParts.h"

const TClassInfo& TChangeDiskForm::StaticClass() {
  using C = TChangeDiskForm;
  using Handler = void(TPersistent*);
  static const TClassInfo Info = TClassBuilder<C>("TChangeDiskForm", &TBaseChangeDiskForm::StaticClass())
                                     .Creatable()
                                     .Method<Handler>("FormShow", &C::FormShow)
                                     .Method<Handler>("BrowseBtnClick", &C::BrowseBtnClick)
                                     .Method<Handler>("CancelBtnClick", &C::CancelBtnClick)
                                     .Build();
  return Info;
}

TChangeDiskForm::TChangeDiskForm(TComponent* AOwner) : TBaseChangeDiskForm(AOwner) {
  DM = FindDialogManager(dmChangeDisk);
}

void TChangeDiskForm::Loaded() {
  TBaseChangeDiskForm::Loaded();
  PromptDiskLabel = FormPart<TTranslateLabel>(*this, "PromptDiskLabel");
  PathEdit = FormPart<TEdit>(*this, "PathEdit");
  InstallBtn = FormPart<TTranslateBitBtn>(*this, "InstallBtn");
  LoadPictureUnlessDesigned(*FormPart<TImage>(*this, "ThemeBitmap"), "BM_CHANGEDISK");
}

void TChangeDiskForm::FormShow(TPersistent*) {
  if (DiskParameter) {
    PromptDiskLabel->SetCaption(Format(TranslateMessage("Please insert disk number %d"), DiskParameter->DiskNumber));
    PathEdit->SetText(DiskParameter->Path);
  }
  if (InstallBtn->CanFocus()) InstallBtn->SetFocus();
}

void TChangeDiskForm::BrowseBtnClick(TPersistent*) {
  if (!DiskParameter) return;
  TOpenFolderDialog Browser(nullptr);
  Browser.ShowCreateButton = false;
  Browser.ShowPathEdit = false;
  Browser.Folder = DiskParameter->Path;
  if (Browser.Execute()) DiskParameter->Path = Browser.Folder;
  PathEdit->SetText(DiskParameter->Path);
}
