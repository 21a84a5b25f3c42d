// A picture property's value as the object stream carries it: the graphic
// class name and the graphic's own data.  Windows code turns the bytes of a
// bitmap into a bitmap handle; this layer only keeps them.
#pragma once

#include <string>

#include "rtl/cmp_TComponent.h"

class TStream;

class TPicture : public TPersistent {
  QV_CLASS()
 public:
  // "TBitmap" for a bitmap, empty when there is no graphic.
  const std::string& GraphicClassName() const { return FClassName; }
  // For a bitmap: the complete BMP file.  Otherwise the graphic's stream data.
  const std::string& Data() const { return FData; }
  bool Empty() const { return FClassName.empty(); }
  void Clear();
  // Checks that Bmp looks like a BMP file ("Bitmap image is not valid").
  void SetBitmap(const std::string& Bmp);
  void SetGraphic(const std::string& ClassName, const std::string& Data);

  TNotifyEvent OnChange;

  // The stored value, "Data": a byte block of the class name as a short
  // string followed by the graphic's data; for a bitmap a 32-bit byte count
  // and the BMP file.
  void DefineProperties(TFiler& Filer) override;
  void ReadData(TStream& Stream);
  void WriteData(TStream& Stream) const;

 private:
  void Changed();
  std::string FClassName;
  std::string FData;
};
