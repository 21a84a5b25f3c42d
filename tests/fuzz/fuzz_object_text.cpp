// Parses arbitrary text as the text form.  What parses must print, and the
// printed text must parse to the same bytes and print the same text.  The
// input is also tried as a binary stream for the printer.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "rtl/exceptions_Quorvane.h"
#include "rtl/routines_ObjectText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  const std::string Input(reinterpret_cast<const char*>(Data), Size);
  try {
    ObjectBinaryToText(Input);
  } catch (const EReadError&) {
  }

  std::string Binary;
  try {
    TOffsetLines Lines;
    Binary = ObjectTextToBinary(Input, &Lines);
    for (size_t i = 1; i < Lines.size(); ++i)
      if (Lines[i - 1].first >= Lines[i].first) std::abort();
  } catch (const EParserError&) {
    return 0;
  }
  const std::string Text = ObjectBinaryToText(Binary);
  const std::string Binary2 = ObjectTextToBinary(Text);
  if (Binary2 != Binary) std::abort();
  if (ObjectBinaryToText(Binary2) != Text) std::abort();
  return 0;
}
