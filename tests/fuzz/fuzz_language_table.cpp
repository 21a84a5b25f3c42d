// Reads arbitrary text as a language table.  A table either reads or fails
// with a format error; what reads has entries in line order with their texts
// within bounds.  Deleting a line must leave the entries a fresh reading of
// the remaining lines gives.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "i18n/cmp_TTranslator.h"
#include "rtl/cmp_TStream.h"

namespace {

bool Read(TLanguage& L, const std::string& Text) {
  TMemoryStream S(Text);
  try {
    L.Strings()->LoadFromStream(S);
    return true;
  } catch (const IException&) {
    if (!L.StringEntries().empty() || !L.MemoEntries().empty()) std::abort();
    return false;
  }
}

void CheckEntries(const TLanguage& L) {
  int Last = -1;
  for (const auto& S : L.StringEntries()) {
    if (S->Line <= Last || S->Line >= L.Strings()->Count()) std::abort();
    if (S->Text.size() > TLanguageString::MaxTextLength || S->Language != &L) std::abort();
    Last = S->Line;
  }
  Last = -1;
  for (const auto& M : L.MemoEntries()) {
    if (M->Line <= Last || M->EndLine <= M->Line || M->EndLine >= L.Strings()->Count()) std::abort();
    Last = M->EndLine;
  }
}

bool SameEntries(const TLanguage& A, const TLanguage& B) {
  if (A.StringEntries().size() != B.StringEntries().size()) return false;
  if (A.MemoEntries().size() != B.MemoEntries().size()) return false;
  for (size_t i = 0; i < A.StringEntries().size(); ++i) {
    const auto& X = *A.StringEntries()[i];
    const auto& Y = *B.StringEntries()[i];
    if (X.GLID != Y.GLID || X.Line != Y.Line || X.Text != Y.Text) return false;
  }
  for (size_t i = 0; i < A.MemoEntries().size(); ++i) {
    const auto& X = *A.MemoEntries()[i];
    const auto& Y = *B.MemoEntries()[i];
    if (X.GLID != Y.GLID || X.Line != Y.Line || X.EndLine != Y.EndLine || !(X.Lines == Y.Lines))
      return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  if (Size == 0) return 0;
  // The first byte picks the line to delete.
  const size_t Pick = Data[0];
  const std::string Text(reinterpret_cast<const char*>(Data) + 1, Size - 1);
  TTranslator T(nullptr);
  TLanguage& L = *T.Language(qlEnglish);
  Read(L, Text);
  CheckEntries(L);
  if (L.Strings()->Count() == 0) return 0;
  try {
    L.Strings()->Delete(static_cast<int>(Pick % static_cast<size_t>(L.Strings()->Count())));
  } catch (const IException&) {
  }
  CheckEntries(L);
  TLanguage& Fresh = *T.Language(qlFrench);
  Read(Fresh, L.Strings()->Text());
  if (!SameEntries(L, Fresh)) std::abort();
  return 0;
}
