// The version resource of an executable file: fixed version numbers and the
// string table of one language and character set, read into plain strings.
// Creating the reader installs it as the archive layer's file version
// reader, so overwrite decisions everywhere see real versions.
#pragma once

#include <memory>
#include <string>

#include "archive/routines_VersionCompare.h"
#include "rtl/cmp_TComponent.h"

// Unit-qualified so the translator's TLanguage class does not collide.
namespace cmp_TVersion {

enum TLanguage {
  lnArabic, lnBulgarian, lnCatalan, lnTraditionalChinese, lnCzech, lnDanish, lnGerman, lnGreek,
  lnUSEnglish, lnCastilianSpanish, lnFinnish, lnFrench, lnHebrew, lnHungarian, lnIcelandic, lnItalian,
  lnJapanese, lnKorean, lnDutch, lnNorwegianBokmal, lnPolish, lnBrazilianPortuguese, lnRhaetoRomanic,
  lnRomanian, lnRussian, lnCroatoSerbian, lnSlovak, lnAlbanian, lnSwedish, lnThai, lnTurkish, lnUrdu,
  lnBahasa, lnSimplifiedChinese, lnSwissGerman, lnUKEnglish, lnMexicanSpanish, lnBelgianFrench,
  lnSwissItalian, lnBelgianDutch, lnNorwegianNynorsk, lnPortuguese, lnSerboCroatian, lnCanadianFrench,
  lnSwissFrench,
};

enum TCharacterSet {
  csASCII, csJapan, csKorea, csTaiwan, csUnicode, csLatin2, csCyrillic, csMultilingual, csGreek,
  csTurkish, csHebrew, csArabic,
};

const TEnumInfo& LanguageInfo();
const TEnumInfo& CharacterSetInfo();
// The Windows language identifier / code page; a value outside the tables
// raises Exception with an empty message.
int LanguageId(TLanguage L);
int CodePage(TCharacterSet C);

}  // namespace cmp_TVersion

class TVersionInfo : public TPersistent {
  QV_CLASS()
 public:
  // None of these is written to a project stream.
  std::string Comment, CompanyName, FileDescription, FileVersion, InternalName, LegalCopyright,
      LegalTradeMarks, OriginalFileName, PrivateBuild, ProductName, ProductVersion, SpecialBuild, FileOS,
      FileType, FileSubType;
  void Clear();
};

class TVersionResource : public TComponent {
  QV_CLASS()
 public:
  explicit TVersionResource(TComponent* AOwner);
  ~TVersionResource() override;

  const std::string& FileName() const { return FFileName; }
  void SetFileName(const std::string& Value);
  cmp_TVersion::TLanguage Language() const { return FLanguage; }
  void SetLanguage(cmp_TVersion::TLanguage Value);
  cmp_TVersion::TCharacterSet CharacterSet() const { return FCharacterSet; }
  void SetCharacterSet(cmp_TVersion::TCharacterSet Value);
  TVersionInfo* VersionInfo() const { return FVersionInfo.get(); }
  bool FileNameStored() const { return FFileNameStored; }

  // The comparisons of the archive layer, through the shared instance.
  static int IsFileNewerByName(const std::string& NewFile, const std::string& ExistingFile, TOverwriteType Mode);
  static int IsFileNewerByInfo(const std::string& NewVersion, const std::string& ExistingFile,
                               TOverwriteType Mode, double NewDate);
  static int CompareVersions(const std::string& A, const std::string& B) { return ::CompareVersions(A, B); }

 private:
  void Read();

  bool FFileNameStored = false;
  std::string FFileName;
  cmp_TVersion::TLanguage FLanguage = cmp_TVersion::lnUSEnglish;
  cmp_TVersion::TCharacterSet FCharacterSet = cmp_TVersion::csMultilingual;
  std::unique_ptr<TVersionInfo> FVersionInfo;
};

// The one version reader of the process, created when first asked for (the
// program entry asks at start) and freed at exit.
TVersionResource& VersionResource();
// The running program's own file name.
std::string ModuleFileName();
// Whether the version resource of Path declares "OLESelfRegister" (in the
// string table of its first translation); false for a file without one.
bool SourceHasOLESelfRegister(const std::string& Path);
