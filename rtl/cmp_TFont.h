// A font as the values a stream stores for it: face, character set, colour,
// height and style.  The values are portable; the GDI font made from them
// exists only in the Windows build (cmp_TFont_win.cpp).
#pragma once

#include <cstdint>
#include <string>

#include "rtl/cmp_TComponent.h"

// <windows.h> declares HFONT as a pointer to this tag; naming the tag here
// keeps the header free of Windows headers.
struct HFONT__;

// Colours: RGB in the low three bytes, or a system colour (high bit set).
using TColor = int32_t;
constexpr TColor clWindowText = static_cast<TColor>(0x80000008);

enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TFontStyles = uint8_t;
extern const TEnumInfo FontStyleInfo;

class TFont : public TPersistent {
  QV_CLASS()
 public:
  TFont();
  ~TFont() override;
  TFont(const TFont&) = delete;
  TFont& operator=(const TFont&) = delete;
  void Assign(const TFont& Source);

  std::string Name = "MS Sans Serif";
  int32_t Charset = 1;  // DEFAULT_CHARSET
  TColor Color = clWindowText;
  int32_t Height = -11;  // pixels; negative: character height
  TFontStyles Style = 0;

  int32_t Size() const;  // points at 96 dots per inch
  void SetSize(int32_t Points);
#ifdef _WIN32
  // The GDI font for these values, created on first use and kept until a
  // value changes.
  HFONT__* Handle();
#endif
  TNotifyEvent OnChange;
  void Changed();

 private:
  void ReleaseHandle();
  HFONT__* FHandle = nullptr;
};
