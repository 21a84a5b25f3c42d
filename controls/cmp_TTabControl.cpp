#include "controls/cmp_TTabControl.h"

#include <windows.h>
// after windows.h, which it needs
#include <commctrl.h>

#include "controls/routines_CommonControls.h"
#include "rtl/cmp_TStrings.h"
#include "rtl/routines_ClassBuilder.h"
#include "rtl/routines_Format.h"

const TClassInfo& TTabControl::StaticClass() {
  static const TClassInfo Info =
      TClassBuilder<TTabControl>("TTabControl", &TWinControl::StaticClass())
          .Creatable()
          .Object("Tabs", &TTabControl::Tabs)
          .Int("TabIndex", &TTabControl::TabIndex, &TTabControl::SetTabIndex, -1)
          .Event("OnChange", &TTabControl::OnChange)
          .Event("OnChanging", &TTabControl::OnChanging)
          .Build();
  return Info;
}

TTabControl::TTabControl(TComponent* AOwner) : TWinControl(AOwner), FTabs(new TStrings) {
  FWidth = 289;
  FHeight = 193;
  FTabStop = true;
  FTabs->OnChange = [this](TPersistent*) { TabsChanged(); };
}

TTabControl::~TTabControl() {
  DestroyHandle();
  delete FTabs;
}

void TTabControl::CreateParams(TCreateParams& Params) {
  TWinControl::CreateParams(Params);
  InitCommonControlClasses(ICC_TAB_CLASSES);
  Params.ClassName = WC_TABCONTROLA;
  Params.Style |= TCS_TABS;
}

void TTabControl::CreateWnd() {
  TWinControl::CreateWnd();
  TabsChanged();
}

void TTabControl::CheckTabIndex(int32_t Index) const {
  if (Index < -1 || Index >= FTabs->Count())
    throw EListError(Format("Tab index %d out of bounds (%d tabs)", Index, FTabs->Count()));
}

void TTabControl::TabsChanged() {
  // A shorter list loses the selection of a tab it no longer has.
  if (FTabIndex >= FTabs->Count() && !IsLoading()) FTabIndex = -1;
  if (!FHandle) return;
  SendMessageA(FHandle, TCM_DELETEALLITEMS, 0, 0);
  for (int i = 0; i < FTabs->Count(); ++i) {
    TCITEMA Item{};
    Item.mask = TCIF_TEXT;
    Item.pszText = const_cast<char*>(FTabs->Strings(i).c_str());
    SendMessageA(FHandle, TCM_INSERTITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&Item));
  }
  SendMessageA(FHandle, TCM_SETCURSEL, static_cast<WPARAM>(FTabIndex), 0);
  Realign();
}

int32_t TTabControl::TabIndex() const {
  if (FHandle) return static_cast<int32_t>(SendMessageA(FHandle, TCM_GETCURSEL, 0, 0));
  return FTabIndex;
}

void TTabControl::SetTabIndex(int32_t Index) {
  if (!IsLoading()) CheckTabIndex(Index);
  FTabIndex = Index;
  if (FHandle) SendMessageA(FHandle, TCM_SETCURSEL, static_cast<WPARAM>(Index), 0);
}

void TTabControl::Loaded() {
  TWinControl::Loaded();
  CheckTabIndex(FTabIndex);
}

void TTabControl::AdjustClientRect(RECT& R) {
  if (FHandle) SendMessageA(FHandle, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&R));
}

LRESULT TTabControl::NotifyMessage(NMHDR& Header) {
  switch (Header.code) {
    case TCN_SELCHANGING: {
      bool Allow = true;
      if (OnChanging) OnChanging(this, Allow);
      return Allow ? FALSE : TRUE;
    }
    case TCN_SELCHANGE:
      FTabIndex = static_cast<int32_t>(SendMessageA(FHandle, TCM_GETCURSEL, 0, 0));
      if (OnChange) OnChange(this);
      return 0;
    default:
      return 0;
  }
}
