#include "model/cmp_TVersion.h"

#include <windows.h>

#include <cstdio>
#include <vector>

#include "environment/routines_DllSearch.h"
#include "environment/routines_Scoped.h"
#include "rtl/routines_ClassBuilder.h"

namespace cmp_TVersion {

namespace {
const int LanguageIds[] = {
    0x0401, 0x0402, 0x0403, 0x0404, 0x0405, 0x0406, 0x0407, 0x0408, 0x0409, 0x040A, 0x040B, 0x040C,
    0x040D, 0x040E, 0x040F, 0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417, 0x0418,
    0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F, 0x0420, 0x0421, 0x0804, 0x0807, 0x0809,
    0x080A, 0x080C, 0x0810, 0x0813, 0x0814, 0x0816, 0x081A, 0x0C0C, 0x100C,
};
const int CodePages[] = {0, 932, 949, 950, 1200, 1250, 1251, 1252, 1253, 1254, 1255, 1256};
}  // namespace

const TEnumInfo& LanguageInfo() {
  static const TEnumInfo Info{
      "TLanguage",
      {"lnArabic", "lnBulgarian", "lnCatalan", "lnTraditionalChinese", "lnCzech", "lnDanish", "lnGerman",
       "lnGreek", "lnUSEnglish", "lnCastilianSpanish", "lnFinnish", "lnFrench", "lnHebrew", "lnHungarian",
       "lnIcelandic", "lnItalian", "lnJapanese", "lnKorean", "lnDutch", "lnNorwegianBokmal", "lnPolish",
       "lnBrazilianPortuguese", "lnRhaetoRomanic", "lnRomanian", "lnRussian", "lnCroatoSerbian", "lnSlovak",
       "lnAlbanian", "lnSwedish", "lnThai", "lnTurkish", "lnUrdu", "lnBahasa", "lnSimplifiedChinese",
       "lnSwissGerman", "lnUKEnglish", "lnMexicanSpanish", "lnBelgianFrench", "lnSwissItalian",
       "lnBelgianDutch", "lnNorwegianNynorsk", "lnPortuguese", "lnSerboCroatian", "lnCanadianFrench",
       "lnSwissFrench"}};
  return Info;
}

const TEnumInfo& CharacterSetInfo() {
  static const TEnumInfo Info{"TCharacterSet",
                              {"csASCII", "csJapan", "csKorea", "csTaiwan", "csUnicode", "csLatin2",
                               "csCyrillic", "csMultilingual", "csGreek", "csTurkish", "csHebrew", "csArabic"}};
  return Info;
}

int LanguageId(TLanguage L) {
  if (L < 0 || static_cast<size_t>(L) >= sizeof LanguageIds / sizeof LanguageIds[0]) throw Exception("");
  return LanguageIds[L];
}

int CodePage(TCharacterSet C) {
  if (C < 0 || static_cast<size_t>(C) >= sizeof CodePages / sizeof CodePages[0]) throw Exception("");
  return CodePages[C];
}

}  // namespace cmp_TVersion

using namespace cmp_TVersion;

namespace {

struct TCodeText {
  DWORD Code;
  const char* Text;
};

const char* Lookup(const TCodeText* Table, size_t N, DWORD Code) {
  for (size_t i = 0; i < N; ++i)
    if (Table[i].Code == Code) return Table[i].Text;
  return "Unknown";
}

const TCodeText OSTexts[] = {
    {0x1, "Windows 3.0 or later"},
    {0x2, "16 bit OS/2 Presentation Manager"},
    {0x3, "32 bit OS/2 Presentation Manager"},
    {0x4, "32 bit Windows"},
    {0x10000, "MS-Dos"},
    {0x10001, "Windows 3.0 or later with MS-Dos"},
    {0x10004, "32 bit Windows with MS-Dos"},
    {0x20000, "16 bit OS/2"},
    {0x20002, "16 bit OS/2 with Presentation Manager"},
    {0x30000, "32 bit OS/2"},
    {0x30003, "32 bit OS/2 with Presentation Manager"},
    {0x40000, "Windows NT"},
    {0x40004, "Windows NT with 32 bit Windows"},
};
const TCodeText TypeTexts[] = {{1, "Application"},           {2, "Dynamic-Link Library"}, {3, "Device Driver"},
                               {4, "Font"},                  {5, "Virtual Device Driver"}, {7, "Static-Link Library"}};
const TCodeText DriverTexts[] = {{1, "Printer"}, {2, "Keyboard"},     {3, "Language"},    {4, "Display"},
                                 {5, "Mouse"},   {6, "Network"},      {7, "System"},      {8, "Installable"},
                                 {9, "Sound"},   {10, "Communications"}};
const TCodeText FontTexts[] = {{1, "Raster"}, {2, "Vector"}, {3, "TrueType"}};

template <size_t N>
const char* Lookup(const TCodeText (&Table)[N], DWORD Code) {
  return Lookup(Table, N, Code);
}

std::string DottedVersion(DWORD MS, DWORD LS) {
  char B[64];
  std::snprintf(B, sizeof B, "%u.%u.%u.%u", static_cast<unsigned>(HIWORD(MS)), static_cast<unsigned>(LOWORD(MS)),
                static_cast<unsigned>(HIWORD(LS)), static_cast<unsigned>(LOWORD(LS)));
  return B;
}

// Only a program or library (a file that starts with "MZ") can carry a
// version resource.  Asking the system about any other file costs it two
// opens and two mappings of the file; a build or an installation asks for
// every file.  A file that cannot be read here is asked about all the same.
bool CannotHoldVersion(const std::string& FileName) {
  const TKernelHandle F(CreateFileA(FileName.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!F.Valid()) return false;
  char Magic[2] = {};
  DWORD Got = 0;
  if (!ReadFile(F, Magic, sizeof Magic, &Got, nullptr)) return false;
  return Got < sizeof Magic || Magic[0] != 'M' || Magic[1] != 'Z';
}

// The version functions, from the system folder's version.dll: the setup
// program starts from folders anyone may write to, and version.dll is no
// known DLL, so it is not imported.
struct TVersionApi {
  using TInfoSize = DWORD(WINAPI*)(LPCSTR, LPDWORD);
  using TInfo = BOOL(WINAPI*)(LPCSTR, DWORD, DWORD, LPVOID);
  using TQuery = BOOL(WINAPI*)(LPCVOID, LPCSTR, LPVOID*, PUINT);
  TInfoSize InfoSize = nullptr;
  TInfo Info = nullptr;
  TQuery Query = nullptr;
  bool Loaded = false;  // all three found: else no version is read at all
  TVersionApi() {
    if (HMODULE M = LoadSystemLibrary("version.dll")) {
      // Through void*: FARPROC and these pointer types are unrelated.
      InfoSize = reinterpret_cast<TInfoSize>(reinterpret_cast<void*>(GetProcAddress(M, "GetFileVersionInfoSizeA")));
      Info = reinterpret_cast<TInfo>(reinterpret_cast<void*>(GetProcAddress(M, "GetFileVersionInfoA")));
      Query = reinterpret_cast<TQuery>(reinterpret_cast<void*>(GetProcAddress(M, "VerQueryValueA")));
    }
    Loaded = InfoSize && Info && Query;
  }
};
const TVersionApi& VersionApi() {
  static const TVersionApi Api;
  return Api;
}

BOOL QueryVersionValue(LPCVOID Block, LPCSTR SubBlock, LPVOID* Buffer, PUINT Len) {
  const TVersionApi& Api = VersionApi();
  return Api.Loaded ? Api.Query(Block, SubBlock, Buffer, Len) : FALSE;
}

// The whole version resource of FileName; false when it has none.
bool ReadVersionBlock(const std::string& FileName, std::vector<char>& Block) {
  const TVersionApi& Api = VersionApi();
  if (!Api.Loaded || CannotHoldVersion(FileName)) return false;
  DWORD Handle = 0;
  const DWORD Size = Api.InfoSize(FileName.c_str(), &Handle);
  if (Size == 0) return false;
  Block.assign(Size, 0);
  return Api.Info(FileName.c_str(), 0, Size, Block.data()) != 0;
}

std::string ReadVersionHook(const std::string& FileName) {
  TVersionResource& R = VersionResource();
  R.SetFileName(FileName);
  return R.VersionInfo()->FileVersion;
}

}  // namespace

// --- TVersionInfo -------------------------------------------------------------

const TClassInfo& TVersionInfo::StaticClass() {
  static const TClassInfo Info = TClassBuilder<TVersionInfo>("TVersionInfo", &TPersistent::StaticClass()).Build();
  return Info;
}

void TVersionInfo::Clear() {
  for (std::string* S : {&Comment, &CompanyName, &FileDescription, &FileVersion, &InternalName, &LegalCopyright,
                         &LegalTradeMarks, &OriginalFileName, &PrivateBuild, &ProductName, &ProductVersion,
                         &SpecialBuild, &FileOS, &FileType, &FileSubType})
    S->clear();
}

// --- TVersionResource ---------------------------------------------------------

std::string ModuleFileName() {
  char B[MAX_PATH + 1];
  const DWORD N = GetModuleFileNameA(nullptr, B, MAX_PATH);
  return std::string(B, N);
}

const TClassInfo& TVersionResource::StaticClass() {
  static const TClassInfo Info =
      TClassBuilder<TVersionResource>("TVersionResource", &TComponent::StaticClass())
          .Creatable()
          .Str("FileName", &TVersionResource::FileName, &TVersionResource::SetFileName, "")
          .StoredIf(&TVersionResource::FileNameStored)
          .Enum("Language", LanguageInfo(), &TVersionResource::Language, &TVersionResource::SetLanguage, lnUSEnglish)
          .Enum("CharacterSet", CharacterSetInfo(), &TVersionResource::CharacterSet,
                &TVersionResource::SetCharacterSet, csMultilingual)
          .Object("VersionInfo", [](const TVersionResource& R) -> TPersistent* { return R.VersionInfo(); })
          .Build();
  return Info;
}

TVersionResource::TVersionResource(TComponent* AOwner)
    : TComponent(AOwner), FFileName(ModuleFileName()), FVersionInfo(std::make_unique<TVersionInfo>()) {
  SetFileVersionReader(ReadVersionHook);
  Read();
}

TVersionResource::~TVersionResource() = default;

void TVersionResource::SetFileName(const std::string& Value) {
  FFileName = Value;
  FFileNameStored = Value != ModuleFileName();
  Read();
}

void TVersionResource::SetLanguage(TLanguage Value) {
  LanguageId(Value);  // out of the table: the empty-message exception
  FLanguage = Value;
  Read();
}

void TVersionResource::SetCharacterSet(TCharacterSet Value) {
  CodePage(Value);
  FCharacterSet = Value;
  Read();
}

void TVersionResource::Read() {
  FVersionInfo->Clear();
  std::vector<char> Buf;
  if (!ReadVersionBlock(FFileName, Buf)) return;

  VS_FIXEDFILEINFO* Fixed = nullptr;
  UINT Len = 0;
  if (QueryVersionValue(Buf.data(), "\\", reinterpret_cast<void**>(&Fixed), &Len) && Fixed &&
      Len >= sizeof(VS_FIXEDFILEINFO)) {
    TVersionInfo& V = *FVersionInfo;
    V.FileVersion = DottedVersion(Fixed->dwFileVersionMS, Fixed->dwFileVersionLS);
    V.ProductVersion = DottedVersion(Fixed->dwProductVersionMS, Fixed->dwProductVersionLS);
    V.FileOS = Lookup(OSTexts, Fixed->dwFileOS);
    V.FileType = Lookup(TypeTexts, Fixed->dwFileType);
    if (Fixed->dwFileType == VFT_DRV) V.FileSubType = Lookup(DriverTexts, Fixed->dwFileSubtype);
    if (Fixed->dwFileType == VFT_FONT) V.FileSubType = Lookup(FontTexts, Fixed->dwFileSubtype);
  }

  char Prefix[48];
  std::snprintf(Prefix, sizeof Prefix, "\\StringFileInfo\\%04X%04X\\", static_cast<unsigned>(LanguageId(FLanguage)),
                static_cast<unsigned>(CodePage(FCharacterSet)));
  const struct {
    const char* Name;
    std::string TVersionInfo::*Field;
  } Strings[] = {
      {"Comments", &TVersionInfo::Comment},
      {"CompanyName", &TVersionInfo::CompanyName},
      {"FileDescription", &TVersionInfo::FileDescription},
      {"InternalName", &TVersionInfo::InternalName},
      {"LegalCopyright", &TVersionInfo::LegalCopyright},
      {"LegalTradeMarks", &TVersionInfo::LegalTradeMarks},
      {"OriginalFileName", &TVersionInfo::OriginalFileName},
      {"PrivateBuild", &TVersionInfo::PrivateBuild},
      {"ProductName", &TVersionInfo::ProductName},
      {"ProductVersion", &TVersionInfo::ProductVersion},
      {"SpecialBuild", &TVersionInfo::SpecialBuild},
  };
  for (const auto& S : Strings) {
    char* Value = nullptr;
    UINT N = 0;
    if (QueryVersionValue(Buf.data(), (std::string(Prefix) + S.Name).c_str(), reinterpret_cast<void**>(&Value), &N) &&
        Value && N > 0)
      (*FVersionInfo).*S.Field = std::string(Value, strnlen(Value, N));
  }
}

int TVersionResource::IsFileNewerByName(const std::string& NewFile, const std::string& ExistingFile,
                                        TOverwriteType Mode) {
  VersionResource();  // the comparison reads versions through the shared instance
  return ::IsFileNewerByName(NewFile, ExistingFile, Mode);
}

int TVersionResource::IsFileNewerByInfo(const std::string& NewVersion, const std::string& ExistingFile,
                                        TOverwriteType Mode, double NewDate) {
  VersionResource();
  return ::IsFileNewerByInfo(NewVersion, ExistingFile, Mode, NewDate);
}

TVersionResource& VersionResource() {
  static TVersionResource Shared(nullptr);
  return Shared;
}

bool SourceHasOLESelfRegister(const std::string& Path) {
  std::vector<char> Data;
  if (!ReadVersionBlock(Path, Data)) return false;
  void* Trans = nullptr;
  UINT Len = 0;
  if (!QueryVersionValue(Data.data(), "\\VarFileInfo\\Translation", &Trans, &Len) || Len < 4) return false;
  const WORD* LangCp = static_cast<const WORD*>(Trans);
  char Query[96];
  std::snprintf(Query, sizeof Query, "\\StringFileInfo\\%04X%04X\\OLESelfRegister", LangCp[0], LangCp[1]);
  void* Value = nullptr;
  return QueryVersionValue(Data.data(), Query, &Value, &Len) != 0;
}
