// Printf-like formatting without the undefined behaviour of a mismatched
// argument: every argument is turned into text first, then substituted in
// order for %s, %d, %u or %x.  "%%" gives one percent sign.  A directive with
// no argument left is kept as it stands, so a bad format never crashes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace fmtdetail {
struct Arg {
  std::string Text;
  bool IsNumber = false;
  int64_t Number = 0;
  Arg(const std::string& s) : Text(s) {}
  Arg(const char* s) : Text(s ? s : "") {}
  Arg(char c) : Text(1, c) {}
  Arg(int v) : Text(std::to_string(v)), IsNumber(true), Number(v) {}
  Arg(unsigned v) : Text(std::to_string(v)), IsNumber(true), Number(v) {}
  Arg(long v) : Text(std::to_string(v)), IsNumber(true), Number(v) {}
  Arg(unsigned long v) : Text(std::to_string(v)), IsNumber(true), Number(static_cast<int64_t>(v)) {}
  Arg(long long v) : Text(std::to_string(v)), IsNumber(true), Number(v) {}
  Arg(unsigned long long v)
      : Text(std::to_string(v)), IsNumber(true), Number(static_cast<int64_t>(v)) {}
  Arg(double v);
};
std::string FormatArgs(const std::string& Fmt, const std::vector<Arg>& Args);
}  // namespace fmtdetail

template <class... A>
std::string Format(const std::string& Fmt, const A&... Args) {
  return fmtdetail::FormatArgs(Fmt, std::vector<fmtdetail::Arg>{fmtdetail::Arg(Args)...});
}
