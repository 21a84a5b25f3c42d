#include "apps/setup/cmp_TSetupMainForm.h"

#include <algorithm>

#include "rtl/routines_ClassBuilder.h"

const TClassInfo& TSetupMainForm::StaticClass() {
  // The project stream names its root class TForm1; the root exists before
  // the stream is read, so the name is only informative.
  static const TClassInfo Info =
      TClassBuilder<TSetupMainForm>("TForm1", &TForm::StaticClass()).Creatable().Build();
  return Info;
}

TSetupMainForm::TSetupMainForm(TComponent* AOwner) : TForm(AOwner) {}

void TSetupMainForm::Paint(HDC DC) {
  TForm::Paint(DC);
  HGDIOBJ OldFont = SelectObject(DC, Font()->Handle());
  SetBkMode(DC, TRANSPARENT);
  SetTextColor(DC, ColorToRGB(Font()->Color));
  TEXTMETRICA TM;
  GetTextMetricsA(DC, &TM);
  const int LineHeight = TM.tmHeight + 2;
  // Below whatever is aligned to the top (a title panel, a backdrop).
  int Y = 8;
  for (int i = 0; i < ControlCount(); ++i)
    if (Controls(i)->Visible() && Controls(i)->Align() == alTop)
      Y = std::max(Y, static_cast<int>(Controls(i)->Top() + Controls(i)->Height() + 8));
  auto Line = [&](const std::string& S) {
    TextOutA(DC, 8, Y, S.c_str(), static_cast<int>(S.size()));
    Y += LineHeight;
  };
  Line(Format("Project %s: %d components", Name(), ComponentCount()));
  for (int i = 0; i < ComponentCount(); ++i) {
    TComponent* C = Components(i);
    Line(Format("  %s: %s", C->Name(), C->ClassName()));
  }
  SelectObject(DC, OldFont);
}
