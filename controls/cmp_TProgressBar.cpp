#include "controls/cmp_TProgressBar.h"

#include <commctrl.h>

#include <algorithm>

#include "controls/routines_CommonControls.h"
#include "rtl/routines_ClassBuilder.h"

const TClassInfo& TProgressBar::StaticClass() {
  using C = TProgressBar;
  static const TClassInfo Info = TClassBuilder<C>("TProgressBar", &TWinControl::StaticClass())
                                     .Creatable()
                                     .Int("Max", &C::Max, &C::SetMax, 100)
                                     .Int("Min", &C::Min, &C::SetMin, 0)
                                     .Int("Position", &C::Position, &C::SetPosition, 0)
                                     .Bool("Smooth", &C::Smooth, &C::SetSmooth, false)
                                     .Int("Step", &C::Step, 10)
                                     .Build();
  return Info;
}

TProgressBar::TProgressBar(TComponent* AOwner) : TWinControl(AOwner) {
  FWidth = 150;
  FHeight = 16;
}

void TProgressBar::CreateParams(TCreateParams& Params) {
  InitCommonControlClasses(ICC_PROGRESS_CLASS);
  TWinControl::CreateParams(Params);
  Params.ClassName = PROGRESS_CLASSA;
  if (FSmooth) Params.Style |= PBS_SMOOTH;
}

void TProgressBar::CreateWnd() {
  TWinControl::CreateWnd();
  SendMessageA(FHandle, PBM_SETRANGE32, static_cast<WPARAM>(FMin), FMax);
  SendMessageA(FHandle, PBM_SETPOS, static_cast<WPARAM>(FPosition), 0);
}

void TProgressBar::Loaded() {
  TWinControl::Loaded();
  // The stream sets Min and Max one at a time; the pair is checked here.
  SetRange(FMin, FMax);
}

void TProgressBar::SetRange(int32_t AMin, int32_t AMax) {
  if (!IsLoading() && AMin > AMax)
    throw EComponentError(GetNamePath() + ": Min (" + std::to_string(AMin) + ") exceeds Max (" +
                          std::to_string(AMax) + ")");
  FMin = AMin;
  FMax = AMax;
  if (IsLoading()) return;
  FPosition = std::clamp(FPosition, FMin, FMax);
  if (!FHandle) return;
  SendMessageA(FHandle, PBM_SETRANGE32, static_cast<WPARAM>(FMin), FMax);
  SendMessageA(FHandle, PBM_SETPOS, static_cast<WPARAM>(FPosition), 0);
}

int32_t TProgressBar::Position() const {
  if (FHandle) return static_cast<int32_t>(SendMessageA(FHandle, PBM_GETPOS, 0, 0));
  return FPosition;
}

void TProgressBar::SetPosition(int32_t V) {
  FPosition = IsLoading() ? V : std::clamp(V, FMin, FMax);
  if (FHandle) SendMessageA(FHandle, PBM_SETPOS, static_cast<WPARAM>(FPosition), 0);
}

void TProgressBar::StepIt() {
  int64_t P = static_cast<int64_t>(Position()) + Step;
  if (P > FMax && FMax > FMin) P = FMin + (P - FMin) % (static_cast<int64_t>(FMax) - FMin);
  SetPosition(static_cast<int32_t>(std::clamp<int64_t>(P, FMin, FMax)));
}

void TProgressBar::SetSmooth(bool V) {
  if (V == FSmooth) return;
  FSmooth = V;
  RecreateWnd();
}
