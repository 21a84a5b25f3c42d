// The wizard window: a dialog frame without a close box whose display panel
// carries the pages of one phase.  The page index lives in a tab strip that
// never shows (height 0), one tab per page.  The layout is built in code:
// the window belongs to the ui library, which carries no resources of its
// own, and nothing of it is designed per product.
#pragma once

#include <vector>

#include "controls/cmp_TForm.h"
#include "ui/cmp_TDialogManager.h"

class TPanel;
class TTabControl;

class TBaseFormContainer : public TForm {
  QV_CLASS()
 public:
  explicit TBaseFormContainer(TComponent* AOwner);
  ~TBaseFormContainer() override;

  TPanel* DisplayPanel() const { return FDisplayPanel; }
  TTabControl* Tabs() const { return FTabs; }

  // The pages in display order.
  int PageCount() const { return static_cast<int>(FPages.size()); }
  TBaseInstallForm* Pages(int Index) const { return FPages.at(static_cast<size_t>(Index)); }
  int IndexOfPage(const TBaseInstallForm* Page) const;
  // The index of the page shown (the tab index); -1 before the first.
  int PageIndex() const;
  // Next on the last shown page finished the wizard.
  bool Finished() const { return FFinished; }

  // Creates the pages of the registered classes that bind to the current
  // dialog manager, sorts them by Order and returns their number.
  int BuildPages();
  // Shows the page at Index, or the nearest one in Direction that is not
  // skipped; false when there is none.
  bool GoTo(int Index, bool Backward);
  // The window takes the caption of the page it shows, in the character set
  // of the page's font: the caption is in the page's language, which need
  // not be the system's.
  void ShowPageCaption(TBaseInstallForm* Page);

  virtual void NextPage();
  virtual void PreviousPage();
  virtual void PlaceOnScreen(TQuorvaneDialogPosition Position, int32_t DX, int32_t DY);

  // Handlers.
  void FormCreate(TPersistent* Sender);
  void FormShow(TPersistent* Sender);
  // Refused unless the wizard finished or was cancelled.
  void FormClose(TPersistent* Sender, TCloseAction& Action);
  void FormDestroy(TPersistent* Sender);
  void FormResize(TPersistent* Sender);
  void TabsChange(TPersistent* Sender);
  void TabsChanging(TPersistent* Sender, bool& AllowChange);

 private:
  void AddPage(TBaseInstallForm* Page);
  void SortPages();
  TPanel* FDisplayPanel = nullptr;
  TTabControl* FTabs = nullptr;
  std::vector<TBaseInstallForm*> FPages;
  bool FResizeGuard = false;
  bool FFinished = false;
};
