#include "controls/routines_Resources.h"

#include <windows.h>

bool ReadBitmapResource(const char* Name, std::string& Bmp) {
  HMODULE M = GetModuleHandleA(nullptr);
  HRSRC R = FindResourceA(M, Name, MAKEINTRESOURCEA(2));  // RT_BITMAP
  if (!R) return false;
  HGLOBAL G = LoadResource(M, R);
  const auto* Dib = static_cast<const char*>(G ? LockResource(G) : nullptr);
  const DWORD Size = SizeofResource(M, R);
  if (!Dib || Size < sizeof(BITMAPINFOHEADER)) return false;
  // A bitmap resource is the file without its file header.
  const auto* Info = reinterpret_cast<const BITMAPINFOHEADER*>(Dib);
  const DWORD Colors =
      Info->biClrUsed ? Info->biClrUsed : (Info->biBitCount <= 8 ? (1u << Info->biBitCount) : 0);
  BITMAPFILEHEADER H{};
  H.bfType = 0x4D42;  // "BM"
  H.bfSize = sizeof H + Size;
  H.bfOffBits = static_cast<DWORD>(sizeof H + Info->biSize + Colors * sizeof(RGBQUAD));
  Bmp.assign(reinterpret_cast<const char*>(&H), sizeof H);
  Bmp.append(Dib, Size);
  return true;
}
