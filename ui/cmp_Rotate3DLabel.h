// The 3-D title of the setup's main window: a caption drawn at any angle,
// raised, sunken or with a shadow, its look held in a TLabelStyle.
#pragma once

#include "controls/cmp_TStdCtrls.h"

enum T3DEffectShort { A3dNormal, A3dResit, A3dRaised, A3dShadowed };
extern const TEnumInfo Effect3DInfo;

class TLabelStyle : public TPersistent {
  QV_CLASS()
 public:
  TLabelStyle();
  void Assign(const TLabelStyle& Source);

  // Degrees counter-clockwise; below 0 or from 360 up it becomes 0.
  int32_t Angle() const { return FAngle; }
  void SetAngle(int32_t V);
  T3DEffectShort AStyle3D() const { return FStyle3D; }
  void SetAStyle3D(T3DEffectShort V);
  // The lower-right shade, also the colour of the shadow.
  TColor AShadeRightBottom() const { return FShadeRightBottom; }
  void SetAShadeRightBottom(TColor V);
  // The upper-left highlight; fixed to white while AShadeLTSet is set.
  TColor AShadeLeftTop() const { return FShadeLeftTop; }
  void SetAShadeLeftTop(TColor V);
  // Setting it puts the highlight aside and makes it white; clearing it
  // brings the highlight back.
  bool AShadeLTSet() const { return FShadeLTSet; }
  void SetAShadeLTSet(bool V);
  int32_t AHShadeOffSet() const { return FHShadeOffset; }
  void SetAHShadeOffSet(int32_t V);
  int32_t AVShadeOffSet() const { return FVShadeOffset; }
  void SetAVShadeOffSet(int32_t V);

  TNotifyEvent OnChange;

 private:
  void Changed();
  int32_t FAngle = 0;
  T3DEffectShort FStyle3D = A3dRaised;
  TColor FShadeRightBottom = 0x808080;
  TColor FShadeLeftTop = 0xFFFFFF;
  TColor FStoredLeftTop = 0xFFFFFF;
  bool FShadeLTSet = false;
  int32_t FHShadeOffset = 5;
  int32_t FVShadeOffset = -5;
};

class TRotate3DLabel : public TCustomLabel {
  QV_CLASS()
 public:
  explicit TRotate3DLabel(TComponent* AOwner);
  ~TRotate3DLabel() override;

  TLabelStyle* LabelStyle() const { return FLabelStyle; }
  void SetLabelStyle(const TLabelStyle& S);
  // Without it the caption is drawn plain, on a box of the label's Color
  // turned with the text.
  bool MyTransparent() const { return FMyTransparent; }
  void SetMyTransparent(bool V);
  // Caption, style, font, alignment, bounds and MyTransparent.
  void Assign(const TRotate3DLabel& Source);

  // Tag -1 marks the process's main 3-D label (see TBackdrop::SetTag).
  void SetTag(intptr_t V);
  static TRotate3DLabel* MainLabel();
  void Loaded() override;

  void PaintTo(HDC DC) override;

 private:
  TLabelStyle* FLabelStyle;
  bool FMyTransparent = true;
  double FCos = 1, FSin = 0;  // of the angle last painted
};
