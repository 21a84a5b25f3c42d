// The uninstall record: what a setup leaves for the uninstaller, under
// HKEY_LOCAL_MACHINE U = "\Software\Microsoft\Windows\CurrentVersion\Uninstall\"
// + product name (docs/uninstall-record.md tells it in full):
//
//   U               DisplayName = product, UninstallString = "\"<uninstaller>\" <product>",
//                   QuietUninstallString (the same with /VERYSILENT), NoModify = NoRepair = 1
//                   (DWORDs), and what Windows shows where the project has it:
//                   DisplayVersion, Publisher, InstallLocation, DisplayIcon,
//                   InstallDate (yyyymmdd), URLInfoAbout, EstimatedSize (KB, DWORD)
//   U\Files         Entries = n, File1 ... File<n> = path     (install files, link files)
//   U\Files1 ...    the same, when a key takes no more values; up to U\Files1000
//   U\ActiveX       Entries = n, File<i> = "path;1" (program) or "path;0" (library)
//   U\RegistryKeys  Entries = n
//     \RegistryKey<i>          Key = key path, Root = TRootKeys ordinal (DWORD)
//       \Entries               one value per value written, named by it: its text
//
// Counters are decimal strings (a missing or unreadable one counts as 0) and
// are read back before they are raised, so a second installation continues
// the lists.  The reader trusts no counter: it takes every numbered name
// that is there, in number order, so a record that an interrupted removal
// thinned out still reads completely.
//
// Writers and reader work on a registry-like store (records/types_RegistryStore.h);
// the setup and the uninstaller pass the registry of Windows.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "records/types_RegistryStore.h"

extern const char* const UninstallKeyRoot;  // "\Software\...\CurrentVersion\Uninstall"

// The key and value names of the record.
namespace UninstallRecordLayout {
constexpr const char* DisplayName = "DisplayName";          // value of U
constexpr const char* UninstallString = "UninstallString";  // value of U
constexpr const char* QuietUninstallString = "QuietUninstallString";
constexpr const char* NoModify = "NoModify", *NoRepair = "NoRepair";
constexpr const char* DisplayVersion = "DisplayVersion", *Publisher = "Publisher",
                      *InstallLocation = "InstallLocation", *DisplayIcon = "DisplayIcon",
                      *InstallDate = "InstallDate", *URLInfoAbout = "URLInfoAbout",
                      *EstimatedSize = "EstimatedSize";
constexpr const char* Counter = "Entries";  // value of each list key: the number of items
constexpr const char* FilesKey = "Files";   // sub-key of U, then Files1 ... Files<MaxFilesKeys>
constexpr int MaxFilesKeys = 1000;
constexpr const char* FileValue = "File";       // File1 ... File<n> in Files<k> and ActiveX
constexpr const char* ActiveXKey = "ActiveX";   // sub-key of U
constexpr char ActiveXSeparator = ';';          // "path;1" / "path;0"
constexpr const char* ProgramFlag = "1";        // registered with /REGSERVER
constexpr const char* LibraryFlag = "0";        // registered through DllRegisterServer
constexpr const char* RegistryKeysKey = "RegistryKeys";  // sub-key of U
constexpr const char* RegistryKeyKey = "RegistryKey";    // RegistryKey1 ... below RegistryKeys
constexpr const char* KeyValue = "Key";                  // value of RegistryKey<i>
constexpr const char* RootValue = "Root";                // DWORD value of RegistryKey<i>
constexpr const char* EntriesKey = "Entries";            // sub-key of RegistryKey<i>
}  // namespace UninstallRecordLayout

// U for a product.
std::string UninstallKeyOf(const std::string& Product);

// --- writing: each install object adds its part under U -------------------------
// A value that cannot be written raises EIRCannotWriteValue, as the
// registry helpers of the kit do: "Cannot install into registry. Key: %s
// Ident: %s Value %s" (translated), for a DWORD the key alone.

// Appends Path to the first key of the Files series that takes it:
// "File<n>" and its counter.  When none does, the message names the last
// key of the series and the ident "File".
void AddRecordedFile(IRegistryStore& Store, const std::string& Key, const std::string& Path);
// Appending an item already in the record (a product installed again over
// itself) changes nothing, so that each item is listed once.
// Path is listed in the Files series of Key.
bool IsRecordedFile(IRegistryStore& Store, const std::string& Key, const std::string& Path);
// "path;1" / "path;0".
std::string ActiveXEntry(const std::string& Path, bool IsProgram);
// Appends a self-registered file to U\ActiveX.
void AddRecordedActiveX(IRegistryStore& Store, const std::string& Key, const std::string& Path,
                        bool IsProgram);
// Raises the RegistryKeys counter and writes Key and Root of the new record;
// answers the record's key, for its entries.
std::string AddRecordedRegistryKey(IRegistryStore& Store, const std::string& Key,
                                   const std::string& RegistryKey, TRootKeys Root);
// One value written under the recorded key: its name, and its text.
void AddRecordedRegistryEntry(IRegistryStore& Store, const std::string& Record, const std::string& Ident,
                              const std::string& Text);
// DisplayName, UninstallString ("\"<Uninstaller>\" <Product>", the product
// unquoted: it is the uninstaller's whole argument), QuietUninstallString,
// NoModify and NoRepair.
void WriteUninstallProgram(IRegistryStore& Store, const std::string& Key, const std::string& Product,
                           const std::string& Uninstaller);

// What Windows shows of a product beside its name; a blank text is not
// written, nor an EstimatedSizeKB below 0.
struct TUninstallDisplay {
  std::string DisplayVersion, Publisher, InstallLocation, DisplayIcon, URLInfoAbout;
  std::string InstallDate;  // yyyymmdd
  int32_t EstimatedSizeKB = -1;
};
void WriteUninstallDisplay(IRegistryStore& Store, const std::string& Key, const TUninstallDisplay& Display);

// --- reading -----------------------------------------------------------------------

// Where one recorded item lives in the record, so that it can be struck
// out once it has been dealt with.
struct TRecordPlace {
  std::string SubKey;     // full key path below the store's root
  std::string ValueName;  // empty: the whole SubKey is the item
};

struct TRecordedFile {
  std::string Path;
  TRecordPlace Place;
};

struct TRecordedActiveX {
  std::string Path;
  bool IsProgram = false;  // registered through /REGSERVER rather than DllRegisterServer
  TRecordPlace Place;
};

struct TRecordedRegistryKey {
  TRootKeys Root = hkLocalMachine;
  std::string Key;
  std::vector<std::string> ValueNames;
  TRecordPlace Place;
};

struct TUninstallRecord {
  std::string Product;
  std::string Key;  // the product's uninstall key
  std::string DisplayName;
  std::string UninstallString;
  std::vector<TRecordedFile> Files;
  std::vector<TRecordedActiveX> ActiveX;
  std::vector<TRecordedRegistryKey> RegistryKeys;
  // Entries that could not be understood, with the reason; they are
  // reported and left in the record.
  std::vector<std::string> Unreadable;
};

// false when the product has no uninstall key (or its name is blank: that
// key would be the list of all products).
bool ReadUninstallRecord(IRegistryStore& Store, const std::string& Product, TUninstallRecord& Record);

// --- the pieces of the layout, for the reader and its tests --------------------

// The number N of a name "<Prefix>N" (Prefix alone gives 0 when AllowBare);
// -1 for any other name.  Case is ignored.
int NumberedName(const std::string& Name, const std::string& Prefix, bool AllowBare);
// Splits an ActiveX entry "path;1" / "path;0"; false when it has neither.
bool ParseActiveXEntry(const std::string& Entry, std::string& Path, bool& IsProgram);
// The program path of an UninstallString: the quoted part when it begins
// with a quote, else the text before " " + Product, or up to the first
// ".exe" when the product is not at its end.
std::string UninstallerPathOf(const std::string& UninstallString, const std::string& Product);
