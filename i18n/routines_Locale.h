// What the translator asks of the system's language settings.
#pragma once

#include <string>

// Equal ignoring case as the system compares texts of the user's language
// (accented letters too); plain ASCII case folding without a system to ask.
bool SameTextIgnoringCase(const std::string& A, const std::string& B);
// The user's default language id; false when the system cannot tell.
bool UserDefaultLangId(int& LangId);
