#include <windows.h>

#include "i18n/routines_Locale.h"

bool SameTextIgnoringCase(const std::string& A, const std::string& B) {
  return CompareStringA(0, NORM_IGNORECASE, A.data(), static_cast<int>(A.size()), B.data(),
                        static_cast<int>(B.size())) == CSTR_EQUAL;
}

bool UserDefaultLangId(int& LangId) {
  LangId = GetUserDefaultLangID();
  return LangId != 0;
}
