#include "ui/ordlg_WizardPage.h"

#include "controls/routines_Resources.h"
#include "rtl/routines_ClassBuilder.h"
#include "ui/constants_Pictures.h"

const TClassInfo& TWizardPage::StaticClass() {
  using P = TWizardPage;
  using Handler = void(TPersistent*);
  static const TClassInfo Info = TClassBuilder<P>("TWizardPage", &TBaseInstallForm::StaticClass())
                                     .Method<Handler>("FormCreate", &P::FormCreate)
                                     .Method<Handler>("BackBtnClick", &P::BackBtnClick)
                                     .Method<Handler>("ProceedBtnClick", &P::ProceedBtnClick)
                                     .Method<Handler>("FinishBtnClick", &P::FinishBtnClick)
                                     .Method<Handler>("CancelBtnClick", &P::CancelBtnClick)
                                     .Build();
  return Info;
}

TWizardPage::TWizardPage(TComponent* AOwner, TManagerType Phase, int32_t DefaultOrder)
    : TBaseInstallForm(AOwner) {
  DM = FindDialogManager(Phase);
  Order = DefaultOrder;
}

void TWizardPage::MissingPart(const char* Name) const {
  throw IException("The form %s has no control %s", ClassInfo().ClassName, std::string(Name));
}

void TWizardPage::Loaded() {
  TBaseInstallForm::Loaded();
  FBackBtn = Part<TTranslateBitBtn>("BackBtn");
  FProceedBtn = Part<TTranslateBitBtn>("ProceedBtn");
  FCancelBtn = OptionalPart<TTranslateBitBtn>("CancelBtn");
  FFinishBtn = OptionalPart<TTranslateBitBtn>("FinishBtn");
  FThemeBitmap = OptionalPart<TImage>("ThemeBitmap");
  // The glyph is a picture the build draws, so the designed stream cannot
  // carry it; a program without the kit's pictures keeps a plain button.
  std::string Bmp;
  if (FCancelBtn && FCancelBtn->Glyph()->Empty() && ReadBitmapResource(CancelGlyphResource, Bmp))
    FCancelBtn->Glyph()->SetBitmap(Bmp);
}

void TWizardPage::FormCreate(TPersistent*) {
  if (FThemeBitmap && FThemeBitmap->Picture()->Empty()) LoadThemeBitmap(FThemeBitmap->Picture());
}

void TWizardPage::FocusIfShown(TTranslateBitBtn* Button) {
  if (Button && Button->Visible() && Visible() && Button->CanFocus()) Button->SetFocus();
}

void TWizardPage::PreparePage() {
  FBackBtn->SetVisible(!IsFirstPage());
  if (!FFinishBtn) {
    FocusIfShown(FProceedBtn);
    return;
  }
  // A page that ends its phase: Finish takes Next's place on the last page.
  FProceedBtn->SetVisible(!IsLastPage());
  FFinishBtn->SetVisible(!FProceedBtn->Visible());
  if (FProceedBtn->Visible())
    FocusIfShown(FProceedBtn);
  else if (FocusFinish)
    FocusIfShown(FFinishBtn);
}
