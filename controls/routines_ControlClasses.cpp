#include "controls/routines_ControlClasses.h"

#include "controls/cmp_TBevel.h"
#include "controls/cmp_TButtons.h"
#include "controls/cmp_TForm.h"
#include "controls/cmp_TImage.h"
#include "controls/cmp_TStdCtrls.h"
#include "controls/cmp_TTranslateControls.h"

void RegisterControlsClasses() {
  RegisterTranslatorClasses();
  for (const TClassInfo* C : {
           &TFont::StaticClass(),
           &TForm::StaticClass(),
           &TPanel::StaticClass(),
           &TLabel::StaticClass(),
           &TButton::StaticClass(),
           &TBitBtn::StaticClass(),
           &TBevel::StaticClass(),
           &TImage::StaticClass(),
           &TTranslateLabel::StaticClass(),
           &TTranslateBitBtn::StaticClass(),
       })
    RegisterComponentClass(*C);
  ConnectTranslatorToControls();
}
