// What the kit's own wizard pages share: the buttons along the bottom (Back,
// Next and Cancel, or Back, Next and Finish on the pages that end a phase),
// the side picture, and the lookup of the controls their designed streams
// create.
#pragma once

#include <string>

#include "controls/cmp_TImage.h"
#include "controls/cmp_TTranslateControls.h"
#include "rtl/exceptions_Quorvane.h"
#include "ui/cmp_TBaseInstallForm.h"
#include "ui/cmp_TDialogManager.h"

class TWizardPage : public TBaseInstallForm {
  QV_CLASS()
 public:
  // Binds the page to the manager of its phase and gives it its place.
  TWizardPage(TComponent* AOwner, TManagerType Phase, int32_t DefaultOrder);

  // After the stream: finds the buttons and the side picture, gives Cancel
  // its glyph.
  void Loaded() override;
  // Back unless this is the first page shown; on a finish page Next unless
  // it is the last and Finish instead of it; the focus on Next (or Finish).
  void PreparePage() override;

  // Handlers named by the streams.
  void FormCreate(TPersistent* Sender);
  void BackBtnClick(TPersistent* Sender) { PreviousPage(); }
  void ProceedBtnClick(TPersistent* Sender) { NextPage(); }
  void FinishBtnClick(TPersistent* Sender) { NextPage(); }
  void CancelBtnClick(TPersistent* Sender) { CancelWithConfirm(); }

  TTranslateBitBtn* BackBtn() const { return FBackBtn; }
  TTranslateBitBtn* ProceedBtn() const { return FProceedBtn; }
  TTranslateBitBtn* CancelBtn() const { return FCancelBtn; }
  TTranslateBitBtn* FinishBtn() const { return FFinishBtn; }
  TImage* ThemeBitmap() const { return FThemeBitmap; }

 protected:
  // The control of that name and class from the stream; a stream without it
  // is a damaged resource.
  template <class T>
  T* Part(const char* Name) const {
    T* P = dynamic_cast<T*>(FindComponent(Name));
    if (!P) MissingPart(Name);
    return P;
  }
  template <class T>
  T* OptionalPart(const char* Name) const {
    return dynamic_cast<T*>(FindComponent(Name));
  }
  // Whether PreparePage focuses Finish when Next is hidden.
  bool FocusFinish = true;

 private:
  [[noreturn]] void MissingPart(const char* Name) const;
  void FocusIfShown(TTranslateBitBtn* Button);
  TTranslateBitBtn* FBackBtn = nullptr;
  TTranslateBitBtn* FProceedBtn = nullptr;
  TTranslateBitBtn* FCancelBtn = nullptr;
  TTranslateBitBtn* FFinishBtn = nullptr;
  TImage* FThemeBitmap = nullptr;
};
