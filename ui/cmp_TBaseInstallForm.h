// A wizard page.  Created by the wizard window (owned by it), a page becomes
// a borderless child window of it and is navigated by the window: Next,
// Back, Cancel, and the pages that ask to be passed over.
#pragma once

#include "ui/cmp_TBaseQuorvaneForm.h"

class TBaseFormContainer;
class TCustomBaseInstallDlg;
class TDialogManager;
class TPicture;

class TBaseInstallForm : public TBaseQuorvaneForm {
  QV_CLASS()
 public:
  explicit TBaseInstallForm(TComponent* AOwner);
  // The dialog component that lent the page forgets it.
  ~TBaseInstallForm() override;

  // Published.  The dialog component that made the page (none for the
  // registered pages), the manager the page binds to, its place in the
  // sequence.
  TCustomBaseInstallDlg* DC = nullptr;
  TDialogManager* DM = nullptr;
  int32_t Order = 0;

  // Inside a form: hidden, borderless, a child window at 0,0 as wide as
  // the owner's client area and as high as the owner.
  void Loaded() override;

  // The owner is a wizard window and every page before this one is skipped.
  virtual bool IsFirstPage();
  // The owner is a wizard window and this is its last page.
  virtual bool IsLastPage();
  // The user is leaving this page through the tab strip.
  virtual void LeavingPage() {}
  // mrAbort on the wizard window, or on the page when it stands alone.
  virtual void CancelNow();
  virtual void NextPage();
  virtual void PreviousPage();
  // PreparePage, then to the front.
  virtual void ActivatePage();
  // True: navigation passes the page over.
  virtual bool SkipPage() { return false; }
  // CancelNow when the install component's OnUserAbort agrees (or there is
  // no install component).
  virtual void CancelWithConfirm();
  // The install component's DialogThemeBitmap into Picture, when both exist.
  static void LoadThemeBitmap(TPicture* Picture);

  // Re-translated: the wizard window's title is the caption of the page it
  // shows, so it follows.
  void LanguageChanged() override;

  // The wizard window the page lies in; nullptr when it stands alone.
  TBaseFormContainer* OwnerContainer() const;
  // Makes the page a child window of its owning form (Loaded does it; the
  // wizard repeats it for a page class without a designed stream).
  void BecomeChildPage();

 protected:
  void CreateParams(TCreateParams& Params) override;

 private:
  bool FIsChildPage = false;
};

// Asks the install component whether the user may abort the run (its
// OnUserAbort); true without an install component.
bool UserMayAbort();
