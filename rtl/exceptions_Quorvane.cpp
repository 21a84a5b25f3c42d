#include "rtl/exceptions_Quorvane.h"

namespace {
TMessageTranslator GTranslator = nullptr;
}

void SetMessageTranslator(TMessageTranslator Translator) { GTranslator = Translator; }

std::string TranslateMessageText(const std::string& EnglishText) {
  return GTranslator ? GTranslator(EnglishText) : EnglishText;
}
