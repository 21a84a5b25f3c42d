// Work that must happen when a scope ends, on success and on failure alike.
#pragma once

#include <utility>

// Runs Fn at the end of the scope.  A failure inside Fn is dropped: it runs
// while another failure may be travelling, and must not end the program.
template <class F>
class TFinally {
 public:
  explicit TFinally(F Fn) : FFn(std::move(Fn)) {}
  ~TFinally() {
    try {
      FFn();
    } catch (...) {
    }
  }
  TFinally(const TFinally&) = delete;
  TFinally& operator=(const TFinally&) = delete;

 private:
  F FFn;
};
