#include "rtl/cmp_TFont.h"

// Without a windowing system there is never a GDI font to release.
void TFont::ReleaseHandle() { FHandle = nullptr; }
