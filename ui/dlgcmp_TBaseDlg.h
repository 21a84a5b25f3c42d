// A dialog component: an install object that owns one form class and shows
// it by itself (Execute) or lends it to a dialog manager as a page or a
// window of the manager's phase.
#pragma once

#include <memory>

#include "i18n/cmp_TTranslator.h"
#include "rtl/cmp_TPicture.h"
#include "ui/cmp_TDialogManager.h"

class TCustomBaseInstallDlg : public TInstallObject {
  QV_CLASS()
 public:
  explicit TCustomBaseInstallDlg(TComponent* AOwner);
  ~TCustomBaseInstallDlg() override;

  bool TranslateFonts = true;
  bool TranslateTexts = true;
  TQrvnLanguage CurrentLanguage = qlEnglish;
  bool UseOwnLanguage = false;
  TQrvnLanguage OwnLanguage = qlUser;
  TQuorvaneDialogPosition Position = qdpCenter;
  int32_t Width = 478;
  int32_t Height = 395;
  int32_t RelativeLeftOffset = 0;
  int32_t RelativeTopOffset = 0;
  // The form shown now; none outside.
  TCustomForm* Dialog = nullptr;
  TPicture* ThemeBitmap() const { return FThemeBitmap.get(); }
  TDialogManager* DialogManager() const { return FDialogManager; }
  // Fired before the form is shown by Execute, and after.
  TNotifyEvent OnBeforeShowDialog;
  TNotifyEvent OnAfterShowDialog;

  void ContainerDestroyed(TInstallContainer* Container) override;
  int32_t RegisteredType() const override { return rtDialog; }
  void LanguageChanged(int Language) override;
  // Registers with the new manager and leaves the old one.
  virtual void SetDialogManager(TDialogManager* Manager);
  virtual void SetThemeBitmap(const TPicture& Picture);
  // The form's ApplyLanguage rule with the component's flags and languages.
  virtual void ApplyLanguage();
  // Hands the component's settings to Dialog (raises IException without).
  virtual void AssignDialogProperties();
  // Fires the events around ShowDialog; false when a quiet abort passes.
  virtual bool Execute();
  // True at once when ShouldShow is false; else shows the form modally:
  // true for mrOk, EQIUserAbort for any other result.
  virtual bool ShowDialog();
  // The form class the component shows.
  virtual const TClassInfo& DialogClass() const = 0;
  virtual bool ShouldShow() { return true; }

  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  std::unique_ptr<TPicture> FThemeBitmap;
  TDialogManager* FDialogManager = nullptr;
};
