// The kit's language tables as a project carries them: the text of a
// translator object named Translator1.  The translator that makes the text
// is gone before the caller loads a project with it, so the project's
// translator becomes the process's (the first one alive is).
#pragma once

#include <string>

#include "i18n/routines_LanguageFiles.h"
#include "test_paths.h"

inline std::string KitTranslatorText(TQrvnLanguage Into) {
  TTranslator T(nullptr);
  T.SetName("Translator1");
  LoadLanguageFiles(T, SourceTreePath("i18n\\tables"));
  T.SetTranslateIntoLanguage(Into);
  return TranslatorToText(T);
}
