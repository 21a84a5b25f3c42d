// Pictures the program carries as bitmap resources (the dialog theme, the
// language flags), as the bytes of a .bmp file for TPicture.
#pragma once

#include <string>

// The bitmap resource Name of the running program as a .bmp file; false
// when the program carries none (or a damaged one).
bool ReadBitmapResource(const char* Name, std::string& Bmp);
