#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "rtl/cmp_TFileStream.h"
#include "rtl/routines_Files.h"
#include "rtl/routines_UnixTime_posix.h"

bool TFileStream::Open(TFileMode Mode) {
  int Flags = O_RDONLY;
  if (Mode == TFileMode::fmCreate) Flags = O_RDWR | O_CREAT | O_TRUNC;
  if (Mode == TFileMode::fmOpenReadWrite) Flags = O_RDWR;
  FHandle = ::open(ToNativePath(FFileName).c_str(), Flags | O_CLOEXEC, 0666);
  if (FHandle < 0) return false;
  struct stat St;
  if (::fstat(FHandle, &St) != 0 || !S_ISREG(St.st_mode)) {
    // A folder opens read-only on POSIX but is never a file to read.
    Close();
    errno = EISDIR;
    return false;
  }
  return true;
}

void TFileStream::Close() {
  if (FHandle >= 0) ::close(FHandle);
  FHandle = -1;
}

size_t TFileStream::Read(void* Buffer, size_t Count) {
  size_t Done = 0;
  while (Done < Count) {
    ssize_t N = ::read(FHandle, static_cast<char*>(Buffer) + Done, Count - Done);
    if (N < 0 && errno == EINTR) continue;
    if (N <= 0) break;
    Done += static_cast<size_t>(N);
  }
  return Done;
}

size_t TFileStream::Write(const void* Buffer, size_t Count) {
  size_t Done = 0;
  while (Done < Count) {
    ssize_t N = ::write(FHandle, static_cast<const char*>(Buffer) + Done, Count - Done);
    if (N < 0 && errno == EINTR) continue;
    if (N <= 0) break;
    Done += static_cast<size_t>(N);
  }
  return Done;
}

int64_t TFileStream::Seek(int64_t Offset, TSeekOrigin Origin) {
  const int Whence = Origin == TSeekOrigin::soBeginning ? SEEK_SET
                     : Origin == TSeekOrigin::soCurrent ? SEEK_CUR
                                                        : SEEK_END;
  off_t R = ::lseek(FHandle, static_cast<off_t>(Offset), Whence);
  if (R < 0) throw EStreamError("Invalid stream position");
  return static_cast<int64_t>(R);
}

int64_t TFileStream::Size() {
  struct stat St;
  if (::fstat(FHandle, &St) != 0) throw EStreamError("Stream size cannot be read");
  return static_cast<int64_t>(St.st_size);
}

void TFileStream::SetSize(int64_t NewSize) {
  if (NewSize < 0 || ::ftruncate(FHandle, static_cast<off_t>(NewSize)) != 0)
    throw EStreamError("Stream size cannot be changed");
  if (Position() > NewSize) SetPosition(NewSize);
}

bool TFileStream::GetFileDate(double& Date) const {
  struct stat St;
  if (::fstat(FHandle, &St) != 0) return false;
  Date = DayCountFromUnixTime(St.st_mtime);
  return true;
}

bool TFileStream::SetFileDate(double Date) {
  struct timespec Times[2];
  return FileTimesFromDayCount(Date, Times) && ::futimens(FHandle, Times) == 0;
}
