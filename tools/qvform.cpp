// qvform: converts object streams between the text form authors write and
// the binary form the executables carry.
//
//   qvform tobin  IN.dfm OUT.bin
//   qvform totext IN.bin OUT.dfm
//   qvform translator TABLE_DIR OUT.dfm
//
// The last makes a translator object for a project from the language table
// files in TABLE_DIR (qrviEnglish.txt ...), to be placed among the objects
// of the project's main form.
//
// Nothing is written unless the conversion succeeds.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

#include "i18n/routines_LanguageFiles.h"
#include "rtl/exceptions_Quorvane.h"
#include "rtl/routines_ObjectText.h"

namespace {

int Usage() {
  std::fprintf(stderr,
               "usage: qvform tobin IN.dfm OUT.bin\n"
               "       qvform totext IN.bin OUT.dfm\n"
               "       qvform translator TABLE_DIR OUT.dfm\n");
  return 2;
}

bool ReadFile(const char* Path, std::string& Data) {
  std::ifstream In(Path, std::ios::binary);
  if (!In) return false;
  Data.assign(std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>());
  return !In.bad();
}

// Writes beside the target first so that a failed write never leaves a
// half-written output behind.
bool WriteFile(const std::string& Path, const std::string& Data) {
  const std::string Temp = Path + ".tmp";
  {
    std::ofstream Out(Temp, std::ios::binary | std::ios::trunc);
    if (!Out) return false;
    Out.write(Data.data(), static_cast<std::streamsize>(Data.size()));
    Out.close();
    if (!Out) {
      std::remove(Temp.c_str());
      return false;
    }
  }
  std::remove(Path.c_str());
  if (std::rename(Temp.c_str(), Path.c_str()) != 0) {
    std::remove(Temp.c_str());
    return false;
  }
  return true;
}

}  // namespace

// The translator object of a project holding the tables found in Dir.
int WriteTranslator(const char* Dir, const char* Out) {
  std::string Text;
  try {
    TTranslator T(nullptr);
    T.SetName("Translator1");
    if (LoadLanguageFiles(T, Dir).empty()) {
      std::fprintf(stderr, "qvform: no language table (qrviEnglish.txt ...) in %s\n", Dir);
      return 1;
    }
    Text = TranslatorToText(T);
  } catch (const Exception& E) {
    std::fprintf(stderr, "qvform: %s\n", E.Message().c_str());
    return 1;
  }
  if (!WriteFile(Out, Text)) {
    std::fprintf(stderr, "qvform: cannot write %s: %s\n", Out, std::strerror(errno));
    return 1;
  }
  return 0;
}

int main(int argc, char** argv) {
  if (argc != 4) return Usage();
  if (std::strcmp(argv[1], "translator") == 0) return WriteTranslator(argv[2], argv[3]);
  const bool ToBin = std::strcmp(argv[1], "tobin") == 0;
  if (!ToBin && std::strcmp(argv[1], "totext") != 0) return Usage();
  const char* In = argv[2];
  const char* Out = argv[3];

  std::string Input;
  if (!ReadFile(In, Input)) {
    std::fprintf(stderr, "qvform: cannot read %s: %s\n", In, std::strerror(errno));
    return 1;
  }
  std::string Output;
  try {
    Output = ToBin ? ObjectTextToBinary(Input) : ObjectBinaryToText(Input);
  } catch (const Exception& E) {
    std::fprintf(stderr, "%s: %s\n", In, E.Message().c_str());
    return 1;
  }
  if (!WriteFile(Out, Output)) {
    std::fprintf(stderr, "qvform: cannot write %s: %s\n", Out, std::strerror(errno));
    return 1;
  }
  return 0;
}
