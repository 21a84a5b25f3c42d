#include "controls/routines_ControlClasses.h"

#include "controls/cmp_TButtons.h"
#include "controls/cmp_TForm.h"
#include "controls/cmp_TImageList.h"
#include "controls/cmp_TListView.h"
#include "controls/cmp_TStdCtrls.h"
#include "controls/cmp_TStringGrid.h"
#include "controls/cmp_TTabControl.h"
#include "controls/cmp_TTranslateControls.h"
#include "controls/cmp_TTreeView.h"

void RegisterControlsClasses() {
  RegisterTranslatorClasses();
  for (const TClassInfo* C : {
           &TFont::StaticClass(),
           &TForm::StaticClass(),
           &TPanel::StaticClass(),
           &TLabel::StaticClass(),
           &TButton::StaticClass(),
           &TBitBtn::StaticClass(),
           &TTranslateLabel::StaticClass(),
           &TTranslateBitBtn::StaticClass(),
           &TImageList::StaticClass(),
           &TTabControl::StaticClass(),
           &TStringGrid::StaticClass(),
           &TTreeView::StaticClass(),
           &TListView::StaticClass(),
       })
    RegisterComponentClass(*C);
  ConnectTranslatorToControls();
}
