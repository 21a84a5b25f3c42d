#include "rtl/routines_Files.h"

#include <cmath>

namespace {

// Days since 1 March of year 0 style civil count (proleptic Gregorian).
constexpr int64_t DaysFromCivil(int64_t Y, int64_t M, int64_t D) {
  Y -= M <= 2;
  const int64_t Era = (Y >= 0 ? Y : Y - 399) / 400;
  const int64_t Yoe = Y - Era * 400;
  const int64_t Doy = (153 * (M + (M > 2 ? -3 : 9)) + 2) / 5 + D - 1;
  const int64_t Doe = Yoe * 365 + Yoe / 4 - Yoe / 100 + Doy;
  return Era * 146097 + Doe - 719468;
}

void CivilFromDays(int64_t Z, int& Y, int& M, int& D) {
  Z += 719468;
  const int64_t Era = (Z >= 0 ? Z : Z - 146096) / 146097;
  const int64_t Doe = Z - Era * 146097;
  const int64_t Yoe = (Doe - Doe / 1460 + Doe / 36524 - Doe / 146096) / 365;
  const int64_t Doy = Doe - (365 * Yoe + Yoe / 4 - Yoe / 100);
  const int64_t Mp = (5 * Doy + 2) / 153;
  D = static_cast<int>(Doy - (153 * Mp + 2) / 5 + 1);
  M = static_cast<int>(Mp < 10 ? Mp + 3 : Mp - 9);
  Y = static_cast<int>(Yoe + Era * 400 + (M <= 2));
}

// Known when the program is linked: nothing to run at start-up.
constexpr int64_t DayZero = DaysFromCivil(1899, 12, 30);
constexpr double SecondsPerDay = 86400.0;

}  // namespace

double EncodeDayCount(const TCalendarTime& T) {
  const double Days = static_cast<double>(DaysFromCivil(T.Year, T.Month, T.Day) - DayZero);
  const double Time = (T.Hour * 3600.0 + T.Minute * 60.0 + T.Second) / SecondsPerDay;
  // Before the zero day the time of day still counts away from zero.
  return Days < 0 ? Days - Time : Days + Time;
}

TCalendarTime DecodeDayCount(double Date) {
  TCalendarTime T{1899, 12, 30, 0, 0, 0};
  // Anything outside years 1..9999 is not a time a file can carry.
  if (!std::isfinite(Date) || Date < -693593.0 || Date > 2958466.0) return T;
  double Days = std::trunc(Date);
  int64_t Secs = std::llround(std::fabs(Date - Days) * SecondsPerDay);
  if (Secs >= 86400) {
    Secs -= 86400;
    Days += Date < 0 ? -1 : 1;
  }
  CivilFromDays(static_cast<int64_t>(Days) + DayZero, T.Year, T.Month, T.Day);
  T.Hour = static_cast<int>(Secs / 3600);
  T.Minute = static_cast<int>(Secs / 60 % 60);
  T.Second = static_cast<int>(Secs % 60);
  return T;
}
