// Texts of the kit are bytes in the code page of the language they are in;
// a font's character set names that code page.
#pragma once

#include <windows.h>

#include <string>

// The code page of a font character set as GDI reads texts drawn in it;
// CP_ACP for the system's own code page, for the default, OEM and symbol
// sets, and for sets Windows does not know.
UINT CharsetCodePage(int Charset);
// The bytes of S read in the code page.
std::wstring ToWide(const std::string& S, UINT CodePage);
