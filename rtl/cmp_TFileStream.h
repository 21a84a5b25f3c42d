// A stream over a file of the file system.  Paths are the program's own
// ("\" separates folders, see rtl/routines_Files.h); positions are 64-bit.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "rtl/cmp_TStream.h"

enum class TFileMode {
  fmCreate,         // create or truncate, read/write; others may read
  fmOpenRead,       // read only; others may read and write (sharing allowed)
  fmOpenReadWrite,  // read/write an existing file; others may read and write
};

class TFileStream : public TStream {
 public:
  // Raises EFileError "Cannot create file %s" / "Cannot open file %s" with
  // the system's reason appended.
  TFileStream(const std::string& FileName, TFileMode Mode);
  ~TFileStream() override;
  TFileStream(const TFileStream&) = delete;
  TFileStream& operator=(const TFileStream&) = delete;

  // The same without raising: nullptr when the file cannot be opened, so
  // callers can raise their own message.
  static std::unique_ptr<TFileStream> TryOpen(const std::string& FileName, TFileMode Mode);

  size_t Read(void* Buffer, size_t Count) override;
  size_t Write(const void* Buffer, size_t Count) override;
  int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;
  int64_t Size() override;
  void SetSize(int64_t NewSize) override;

  const std::string& FileName() const { return FFileName; }
  // Last-write time as a local day count, at the file system's two-second
  // resolution (see FileAge); false when the system refuses.
  bool GetFileDate(double& Date) const;
  bool SetFileDate(double Date);

 private:
  struct TNoThrow {};
  TFileStream(const std::string& FileName, TFileMode Mode, TNoThrow);
  bool Open(TFileMode Mode);
  void Close();

  std::string FFileName;
#ifdef _WIN32
  void* FHandle = nullptr;  // HANDLE; INVALID_HANDLE_VALUE when closed
#else
  int FHandle = -1;
#endif
};
