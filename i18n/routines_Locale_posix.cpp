#include "i18n/routines_Locale.h"

#include "rtl/cmp_TComponent.h"

bool SameTextIgnoringCase(const std::string& A, const std::string& B) { return SameText(A, B); }

// Only Windows has a user default language id.
bool UserDefaultLangId(int& LangId) {
  LangId = 0;
  return false;
}
