#include <windows.h>

#include <algorithm>

#include "rtl/cmp_TFileStream.h"
#include "rtl/routines_FileTime_win.h"

namespace {
HANDLE H(void* P) { return static_cast<HANDLE>(P); }
// ReadFile/WriteFile move at most a DWORD per call.
constexpr size_t MaxPiece = 1u << 30;
}  // namespace

bool TFileStream::Open(TFileMode Mode) {
  DWORD Access = GENERIC_READ, Share = FILE_SHARE_READ | FILE_SHARE_WRITE, How = OPEN_EXISTING;
  if (Mode == TFileMode::fmCreate) {
    Access = GENERIC_READ | GENERIC_WRITE;
    Share = FILE_SHARE_READ;
    How = CREATE_ALWAYS;
  } else if (Mode == TFileMode::fmOpenReadWrite) {
    Access = GENERIC_READ | GENERIC_WRITE;
  }
  HANDLE R = CreateFileA(FFileName.c_str(), Access, Share, nullptr, How, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (R == INVALID_HANDLE_VALUE) return false;
  FHandle = R;
  return true;
}

void TFileStream::Close() {
  if (FHandle && FHandle != INVALID_HANDLE_VALUE) CloseHandle(H(FHandle));
  FHandle = nullptr;
}

size_t TFileStream::Read(void* Buffer, size_t Count) {
  size_t Done = 0;
  while (Done < Count) {
    DWORD Want = static_cast<DWORD>(std::min(Count - Done, MaxPiece)), Got = 0;
    if (!ReadFile(H(FHandle), static_cast<char*>(Buffer) + Done, Want, &Got, nullptr) || Got == 0)
      break;
    Done += Got;
  }
  return Done;
}

size_t TFileStream::Write(const void* Buffer, size_t Count) {
  size_t Done = 0;
  while (Done < Count) {
    DWORD Want = static_cast<DWORD>(std::min(Count - Done, MaxPiece)), Put = 0;
    if (!WriteFile(H(FHandle), static_cast<const char*>(Buffer) + Done, Want, &Put, nullptr) || Put == 0)
      break;
    Done += Put;
  }
  return Done;
}

int64_t TFileStream::Seek(int64_t Offset, TSeekOrigin Origin) {
  const DWORD How = Origin == TSeekOrigin::soBeginning ? FILE_BEGIN
                    : Origin == TSeekOrigin::soCurrent ? FILE_CURRENT
                                                       : FILE_END;
  LARGE_INTEGER D, R;
  D.QuadPart = Offset;
  if (!SetFilePointerEx(H(FHandle), D, &R, How)) throw EStreamError("Invalid stream position");
  return R.QuadPart;
}

int64_t TFileStream::Size() {
  LARGE_INTEGER S;
  if (!GetFileSizeEx(H(FHandle), &S)) throw EStreamError("Stream size cannot be read");
  return S.QuadPart;
}

void TFileStream::SetSize(int64_t NewSize) {
  const int64_t Pos = Position();
  SetPosition(NewSize);
  if (!SetEndOfFile(H(FHandle))) throw EStreamError("Stream size cannot be changed");
  SetPosition(Pos < NewSize ? Pos : NewSize);
}

bool TFileStream::GetFileDate(double& Date) const {
  FILETIME W;
  if (!GetFileTime(H(FHandle), nullptr, nullptr, &W)) return false;
  Date = DayCountFromFileTime(W);
  return true;
}

bool TFileStream::SetFileDate(double Date) {
  FILETIME T;
  return FileTimeFromDayCount(Date, T) && SetFileTime(H(FHandle), nullptr, nullptr, &T);
}
