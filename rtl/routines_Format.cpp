#include "rtl/routines_Format.h"

#include <cstdio>

namespace fmtdetail {

Arg::Arg(double v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%g", v);
  Text = buf;
}

std::string FormatArgs(const std::string& Fmt, const std::vector<Arg>& Args) {
  std::string out;
  out.reserve(Fmt.size() + 32);
  size_t next = 0;
  for (size_t i = 0; i < Fmt.size(); ++i) {
    char c = Fmt[i];
    if (c != '%' || i + 1 >= Fmt.size()) {
      out += c;
      continue;
    }
    char d = Fmt[i + 1];
    if (d == '%') {
      out += '%';
      ++i;
      continue;
    }
    if (d != 's' && d != 'd' && d != 'u' && d != 'x') {
      out += c;
      continue;
    }
    ++i;
    if (next >= Args.size()) {  // keep the directive visible rather than guess
      out += '%';
      out += d;
      continue;
    }
    const Arg& a = Args[next++];
    if (d == 'x' && a.IsNumber) {
      char buf[32];
      std::snprintf(buf, sizeof buf, "%llX", static_cast<unsigned long long>(a.Number));
      out += buf;
    } else {
      out += a.Text;
    }
  }
  return out;
}

}  // namespace fmtdetail
