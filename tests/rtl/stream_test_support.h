// Helpers of the object stream tests.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "rtl/cmp_TStream.h"
#include "rtl/routines_ObjectText.h"
#include "stream_test_classes.h"

namespace streamtest {

class StreamTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterStreamTestClasses();
    StreamLog().clear();
  }
};

inline void Load(TComponent* Root, const std::string& Bytes) {
  TMemoryStream S(Bytes);
  ReadRootComponent(S, Root);
}

inline void LoadText(TComponent* Root, const std::string& Text) {
  Load(Root, ObjectTextToBinary(Text));
}

inline std::string Save(TComponent* Root) {
  TMemoryStream S;
  WriteRootComponent(S, Root);
  return S.Data();
}

inline std::string ShortStr(const std::string& S) { return std::string(1, char(S.size())) + S; }

// A stream of one TTestRoot named Main whose record holds Entries (raw
// property entries) and no children.
inline std::string RootWith(const std::string& Entries) {
  return std::string("TPF0") + ShortStr("TTestRoot") + ShortStr("Main") + Entries +
         std::string(2, '\0');
}

}  // namespace streamtest
