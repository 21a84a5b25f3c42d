// Progress bars over the common control "msctls_progress32".
#pragma once

#include "controls/cmp_TControl.h"

class TProgressBar : public TWinControl {
  QV_CLASS()
 public:
  explicit TProgressBar(TComponent* AOwner);

  int32_t Min() const { return FMin; }
  void SetMin(int32_t V) { SetRange(V, FMax); }
  int32_t Max() const { return FMax; }
  void SetMax(int32_t V) { SetRange(FMin, V); }
  // Min must not exceed Max; the position moves into the new range.
  void SetRange(int32_t AMin, int32_t AMax);
  // Always within Min..Max.
  int32_t Position() const;
  void SetPosition(int32_t V);
  int32_t Step = 10;
  // Advances by Step; past Max it starts over from Min, as the system's
  // bar does.
  void StepIt();
  // One continuous bar instead of blocks.
  bool Smooth() const { return FSmooth; }
  void SetSmooth(bool V);

  void Loaded() override;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;

 private:
  int32_t FMin = 0, FMax = 100, FPosition = 0;
  bool FSmooth = false;
};
