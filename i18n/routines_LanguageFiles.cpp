#include "i18n/routines_LanguageFiles.h"

#include "rtl/cmp_TStream.h"
#include "rtl/cmp_TWriter.h"
#include "rtl/routines_Files.h"
#include "rtl/routines_ObjectText.h"
#include "rtl/routines_Strings.h"

std::vector<TQrvnLanguage> LoadLanguageFiles(TTranslator& Translator, const std::string& Dir) {
  std::vector<TQrvnLanguage> Loaded;
  for (TLanguage* L : Translator.Languages()) {
    const std::string File = AddBackslash(Dir) + L->TextFileName();
    if (!FileExists(File)) continue;
    try {
      L->Strings()->LoadFromFile(File);
    } catch (const IException& E) {
      throw IException("%s: %s", File, E.Message());
    }
    Loaded.push_back(L->LanguageIdent);
  }
  return Loaded;
}

std::string TranslatorToText(TTranslator& Translator) {
  TMemoryStream S;
  WriteRootComponent(S, &Translator);
  return ObjectBinaryToText(S.Data());
}
