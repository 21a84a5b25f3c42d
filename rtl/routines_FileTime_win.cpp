#include "rtl/routines_FileTime_win.h"

#include "rtl/routines_Files.h"

double DayCountFromFileTime(const FILETIME& Utc) {
  FILETIME Local;
  SYSTEMTIME S;
  if (!FileTimeToLocalFileTime(&Utc, &Local) || !FileTimeToSystemTime(&Local, &S)) return 0;
  TCalendarTime C{S.wYear, S.wMonth, S.wDay, S.wHour, S.wMinute, S.wSecond & ~1};
  return EncodeDayCount(C);
}

bool FileTimeFromDayCount(double Date, FILETIME& Utc) {
  const TCalendarTime C = DecodeDayCount(Date);
  SYSTEMTIME S = {};
  S.wYear = static_cast<WORD>(C.Year);
  S.wMonth = static_cast<WORD>(C.Month);
  S.wDay = static_cast<WORD>(C.Day);
  S.wHour = static_cast<WORD>(C.Hour);
  S.wMinute = static_cast<WORD>(C.Minute);
  S.wSecond = static_cast<WORD>(C.Second);
  FILETIME Local;
  return SystemTimeToFileTime(&S, &Local) && LocalFileTimeToFileTime(&Local, &Utc);
}
