#include "controls/routines_CodePages.h"

UINT CharsetCodePage(int Charset) {
  if (Charset == DEFAULT_CHARSET || Charset == OEM_CHARSET || Charset == SYMBOL_CHARSET) return CP_ACP;
  CHARSETINFO Info{};
  if (!TranslateCharsetInfo(reinterpret_cast<DWORD*>(static_cast<UINT_PTR>(Charset)), &Info,
                            TCI_SRCCHARSET))
    return CP_ACP;
  return Info.ciACP == GetACP() ? CP_ACP : Info.ciACP;
}

std::wstring ToWide(const std::string& S, UINT CodePage) {
  if (S.empty()) return std::wstring();
  const int Size = static_cast<int>(S.size());
  const int N = MultiByteToWideChar(CodePage, 0, S.data(), Size, nullptr, 0);
  std::wstring W(static_cast<size_t>(N), L'\0');
  if (N > 0) MultiByteToWideChar(CodePage, 0, S.data(), Size, &W[0], N);
  return W;
}
