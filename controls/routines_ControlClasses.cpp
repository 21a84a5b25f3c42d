#include "controls/routines_ControlClasses.h"

#include "controls/cmp_TBevel.h"
#include "controls/cmp_TButtons.h"
#include "controls/cmp_TCheckBox.h"
#include "controls/cmp_TEdit.h"
#include "controls/cmp_TForm.h"
#include "controls/cmp_TGroupBox.h"
#include "controls/cmp_TImage.h"
#include "controls/cmp_TImageList.h"
#include "controls/cmp_TListBox.h"
#include "controls/cmp_TListView.h"
#include "controls/cmp_TMemo.h"
#include "controls/cmp_TProgressBar.h"
#include "controls/cmp_TRadioGroup.h"
#include "controls/cmp_TRichEdit.h"
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
           &TEdit::StaticClass(),
           &TMemo::StaticClass(),
           &TRichEdit::StaticClass(),
           &TListBox::StaticClass(),
           &TCheckBox::StaticClass(),
           &TGroupBox::StaticClass(),
           &TRadioGroup::StaticClass(),
           &TProgressBar::StaticClass(),
           &TBevel::StaticClass(),
           &TImage::StaticClass(),
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
