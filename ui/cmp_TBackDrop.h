// The backdrop of the setup's main window: a panel that fills itself with a
// colour gradient, in bands, from one edge to the other or from both edges
// to the middle.
#pragma once

#include "controls/cmp_TGraphics.h"
#include "controls/cmp_TStdCtrls.h"

enum TDirection { bdUp, bdDown, bdLeft, bdRight, bdHorzIn, bdHorzOut, bdVertIn, bdVertOut };
extern const TEnumInfo DirectionInfo;

// Paints the gradient of Direction from StartColor to EndColor into R:
// 256 bands, or 128 from each edge when the gradient is mirrored.
void PaintGradient(TCanvas& Canvas, const RECT& R, TDirection Direction, TColor StartColor, TColor EndColor);

class TBackdrop : public TCustomPanel {
  QV_CLASS()
 public:
  explicit TBackdrop(TComponent* AOwner);
  ~TBackdrop() override;

  TDirection Direction() const { return FDirection; }
  void SetDirection(TDirection D);
  TColor StartColor() const { return FStartColor; }
  void SetStartColor(TColor C);
  TColor EndColor() const { return FEndColor; }
  void SetEndColor(TColor C);
  // Direction, both colours and the alignment.
  void Assign(const TBackdrop& Source);

  // Tag -1 marks the process's main backdrop: marking one unmarks the one
  // before (its Tag becomes 0); another Tag on the holder gives the mark up.
  void SetTag(intptr_t V);
  static TBackdrop* MainBackdrop();
  void Loaded() override;

 protected:
  void Paint(HDC DC) override;
  // The bands span the whole window: a new size repaints all of it.
  void Resize() override { Invalidate(); }

 private:
  TDirection FDirection = bdUp;
  TColor FStartColor = 0xFF0000;  // blue
  TColor FEndColor = 0;           // black
};

// Makes the backdrop and the 3-D label known to form streams.
void RegisterMainWindowClasses();
