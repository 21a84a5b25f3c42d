// The process's main backdrop and main 3-D label carry Tag -1: marking one
// unmarks the one before (its Tag becomes 0); another Tag on the holder
// gives the mark up.
#pragma once

#include <cstdint>

template <class T>
void SetMainMark(T*& Holder, T& Self, intptr_t Tag) {
  if (Tag == -1 && Holder != &Self) {
    if (Holder) Holder->Tag = 0;
    Holder = &Self;
  } else if (Tag != -1 && Holder == &Self) {
    Holder = nullptr;
  }
  Self.Tag = Tag;
}
