// A row of tabs over the system's "SysTabControl32", and a parent of
// controls: aligned children share the display area below the tabs.  The
// wizard keeps its page index in one, hidden at Height 0, so TabIndex works
// whether or not the control shows.
#pragma once

#include "controls/cmp_TControl.h"

class TStrings;

// Asked before the user moves to another tab; AllowChange starts true, and
// false keeps the current tab.
using TTabChangingEvent = TEvent<void(TPersistent* Sender, bool& AllowChange)>;

class TTabControl : public TWinControl {
  QV_CLASS()
 public:
  explicit TTabControl(TComponent* AOwner);
  ~TTabControl() override;

  TStrings* Tabs() const { return FTabs; }
  // -1 when no tab is selected.  Setting it fires neither OnChanging nor
  // OnChange, as only the user's changes do.
  int32_t TabIndex() const;
  void SetTabIndex(int32_t Index);

  TTabChangingEvent OnChanging;
  TNotifyEvent OnChange;

  // The display area (TCM_ADJUSTRECT).
  void AdjustClientRect(RECT& R) override;
  void Loaded() override;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  LRESULT NotifyMessage(NMHDR& Header) override;

 private:
  void TabsChanged();
  void CheckTabIndex(int32_t Index) const;
  TStrings* FTabs;
  int32_t FTabIndex = -1;
};
