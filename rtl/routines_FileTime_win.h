// A file's time as the kit keeps it, a local day count (see routines_Files.h),
// to and from the system's FILETIME.  The conversion goes through local time
// and the two-second stamp, as the archive headers have always stored it.
// On its own, with nothing of the C++ library, so the loading program shares
// it (Windows only).
#pragma once

#include <windows.h>

double DayCountFromFileTime(const FILETIME& Utc);
// False for a day count the system cannot express as a file time.
bool FileTimeFromDayCount(double Date, FILETIME& Utc);
