// Little-endian fields of the kit's binary formats (the object stream, the
// archive headers and trailer, the remote file list): integers of 1, 2, 4
// and 8 bytes, and IEEE 754 floats and doubles, to and from byte buffers.
// Byte by byte, so a layout never depends on the host's byte order or on
// the alignment of the buffer.  Every reader and writer of a format goes
// through these.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>

// The sizeof(T) bytes at P, lowest first.  T is an integer type; a signed
// one is read as two's complement.
template <class T>
constexpr T GetLE(const uint8_t* P) {
  static_assert(std::is_integral_v<T>, "GetLE reads integers");
  using U = std::make_unsigned_t<T>;
  U V = 0;
  for (size_t i = 0; i < sizeof(T); ++i) V = static_cast<U>(V | (static_cast<U>(P[i]) << (8 * i)));
  return static_cast<T>(V);
}

// Stores V as sizeof(T) bytes at P, lowest first.
template <class T>
constexpr void PutLE(uint8_t* P, T V) {
  static_assert(std::is_integral_v<T>, "PutLE writes integers");
  using U = std::make_unsigned_t<T>;
  const U Bits = static_cast<U>(V);
  for (size_t i = 0; i < sizeof(T); ++i) P[i] = static_cast<uint8_t>(Bits >> (8 * i));
}

static_assert(sizeof(double) == 8 && sizeof(float) == 4, "IEEE 754 binary64 and binary32");

// An IEEE 754 value as its bytes, lowest first (the bit pattern as it is,
// NaN payloads included).  Bits is the unsigned type of the same size.
template <class F, class Bits>
inline F GetFloatingLE(const uint8_t* P) {
  static_assert(sizeof(F) == sizeof(Bits), "same size");
  const Bits B = GetLE<Bits>(P);
  F V;
  std::memcpy(&V, &B, sizeof V);
  return V;
}

template <class F, class Bits>
inline void PutFloatingLE(uint8_t* P, F V) {
  static_assert(sizeof(F) == sizeof(Bits), "same size");
  Bits B;
  std::memcpy(&B, &V, sizeof B);
  PutLE<Bits>(P, B);
}

inline double GetDoubleLE(const uint8_t* P) { return GetFloatingLE<double, uint64_t>(P); }
inline void PutDoubleLE(uint8_t* P, double V) { PutFloatingLE<double, uint64_t>(P, V); }
inline float GetFloatLE(const uint8_t* P) { return GetFloatingLE<float, uint32_t>(P); }
inline void PutFloatLE(uint8_t* P, float V) { PutFloatingLE<float, uint32_t>(P, V); }
