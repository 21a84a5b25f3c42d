#include "rtl/cmp_TFileStream.h"

#include "rtl/routines_Files.h"

TFileStream::TFileStream(const std::string& FileName, TFileMode Mode, TNoThrow)
    : FFileName(FileName) {}

TFileStream::TFileStream(const std::string& FileName, TFileMode Mode) : FFileName(FileName) {
  if (!Open(Mode))
    throw EFileError(Format(Mode == TFileMode::fmCreate ? "Cannot create file %s: %s"
                                                        : "Cannot open file %s: %s",
                            FileName, LastSystemErrorText()));
}

TFileStream::~TFileStream() { Close(); }

std::unique_ptr<TFileStream> TFileStream::TryOpen(const std::string& FileName, TFileMode Mode) {
  std::unique_ptr<TFileStream> S(new TFileStream(FileName, Mode, TNoThrow()));
  if (!S->Open(Mode)) return nullptr;
  return S;
}
