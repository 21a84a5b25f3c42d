// Helpers for the archive tests: files with given contents, and generated
// data that is partly compressible (scratch folders: support/test_paths.h).
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>

#include "rtl/cmp_TFileStream.h"
#include "support/test_paths.h"
#include "rtl/routines_Files.h"
#include "rtl/routines_Strings.h"

inline void WriteFileBytes(const std::string& Name, const std::string& Bytes) {
  ForceDirectories(ExtractFileDir(Name));
  TFileStream F(Name, TFileMode::fmCreate);
  F.WriteBuffer(Bytes.data(), Bytes.size());
}

inline std::string ReadFileBytes(const std::string& Name) {
  TFileStream F(Name, TFileMode::fmOpenRead);
  std::string S(static_cast<size_t>(F.Size()), '\0');
  F.ReadBuffer(&S[0], S.size());
  return S;
}

// Text-like runs mixed with random bytes, the same for the same seed.
inline std::string MixedData(size_t Size, uint32_t Seed) {
  std::mt19937 R(Seed);
  std::string S;
  S.reserve(Size);
  static const char Words[] = "setup archive member disk version install ";
  while (S.size() < Size) {
    if (R() % 2) {
      for (int i = 0; i < 200 && S.size() < Size; ++i) S += Words[R() % (sizeof Words - 1)];
    } else {
      for (int i = 0; i < 200 && S.size() < Size; ++i) S += static_cast<char>(R());
    }
  }
  return S;
}
