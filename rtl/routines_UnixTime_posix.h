// File dates of the native build: a file's stamp in seconds and the
// program's day counts, shared by the file routines and the file stream.
#pragma once

#include <sys/stat.h>

#include <ctime>

// Local time, to two seconds (as on FAT and in the archive).
double DayCountFromUnixTime(time_t T);
// Both stamps (access, modification) of a file for a day count; false when
// the day count has no time_t.
bool FileTimesFromDayCount(double Date, struct timespec (&Times)[2]);
