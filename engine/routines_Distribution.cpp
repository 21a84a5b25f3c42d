#include "engine/routines_Distribution.h"

#include <windows.h>

#include <algorithm>
#include <vector>

#include "archive/cmp_TQrvnCompress.h"
#include "controls/cmp_TApplication.h"
#include "controls/cmp_TForm.h"
#include "environment/routines_Registry.h"
#include "environment/routines_RunOptions.h"
#include "model/cmp_TInstallFile.h"
#include "rtl/cmp_TFileStream.h"
#include "rtl/routines_Files.h"
#include "rtl/routines_Scope.h"
#include "rtl/routines_Strings.h"

#undef CopyFile

const char* const KitSearchPathKey = "\\Software\\Borland\\Delphi\\4.0\\Library";

const char* const KitResource = "QVKIT";

namespace {

bool IsKitDirectory(const std::string& Dir) { return !Dir.empty() && FileExists(AddBackslash(Dir) + "Q32V35.TXT"); }

// The kit this setup program was made from; empty when it names none.
std::string OwnKit() {
  const void* Data = nullptr;
  size_t Size = 0;
  if (!FindStreamResource(KitResource, Data, Size)) return "";
  return RemoveBackslash(std::string(static_cast<const char*>(Data), Size));
}

}  // namespace

std::string FindKitDirectory(bool Raise) {
  const std::string Own = OwnKit();
  if (IsKitDirectory(Own)) return Own;
  const std::string Path = Trim(RegReadString(hkCurrentUser, KitSearchPathKey, "Search Path", ""));
  if (!Path.empty()) {
    TStrings Dirs;
    SplitToList(Path, ';', Dirs);
    for (int i = 0; i < Dirs.Count(); ++i) {
      const std::string D = RemoveBackslash(Trim(Dirs[i]));
      if (IsKitDirectory(D)) return D;
    }
  }
  if (Raise) throw IENoQuorvanePath("Cannot find the the Quorvane directory on the VCL library search path");
  return "";
}

void CopyLoadingProgram(const std::string& BuildDir) {
  std::string Kit;
  try {
    Kit = FindKitDirectory(true);
  } catch (const Exception&) {
    // The system's wording, then what to do about it.
    const std::string Key = std::string("HKEY_CURRENT_USER") + KitSearchPathKey;
    throw IEInstall(
        "The HKEY_LOCAL_MACHINE | %s key in the registry is either missing or points to an invalid "
        "Quorvane directory. Set its value \"Search Path\" to the kit folder (the one that holds "
        "Q32V35.TXT and QuorvaneLoadProgram.exe), for example: reg add \"%s\" /v \"Search Path\" /d "
        "\"C:\\Quorvane\\kit\" /f",
        Key, Key);
  }
  const std::string Loader = AddBackslash(Kit) + "QuorvaneLoadProgram.exe";
  if (!FileExists(Loader)) throw IEInstall("The loader program %s was not found", Loader);
  const std::string Dest = AddBackslash(BuildDir) + "setup.exe";
  if (!CopyFileA(Loader.c_str(), Dest.c_str(), FALSE))
    throw IEInstall("Cannot copy the loading program from %s to %s", Loader, Dest);
}

void CreateSetupArchive(const std::string& BuildDir, const std::string& ExeName, const TStrings& PresetupFiles) {
  if (Trim(ExeName).empty()) throw IEInstall("Cannot create setup file. Executable is blank");
  if (!FileExists(ExeName)) throw IEInstall("TInstall: Cannot find the executable file %s", ExeName);
  const std::string Archive = AddBackslash(BuildDir) + "setup.1";
  auto CompressOne = [&](const std::string& Source, TlzhCommand Command) {
    TCustomInstallFile F(nullptr);
    F.SetFileName(ExtractFileName(Source));
    F.SetIncludeFromDir(RemoveBackslash(ExtractFileDir(Source)));
    F.SetNet(false);
    F.AddToArchive = Command;
    F.RawSetArchive(Archive, nullptr);
    F.CompressFile();
  };
  CompressOne(ExeName, lzcOverwrite);
  for (int i = 0; i < PresetupFiles.Count(); ++i) CompressOne(PresetupFiles[i], lzcOnlyAdd);
}

void AppendSelfExtractor(const std::string& SetupExe, const std::string& Setup1, const std::string& Files1) {
  TSelfExtractTrailer T{};
  TFileStream Out(SetupExe, TFileMode::fmOpenReadWrite);
  Out.Seek(0, TSeekOrigin::soEnd);
  auto Append = [&](const std::string& Name, int32_t& Start, int32_t& End) {
    TFileStream In(Name, TFileMode::fmOpenRead);
    const int64_t Size = In.Size();
    Start = static_cast<int32_t>(Out.Position());
    int64_t Copied = 0;
    try {
      Copied = Out.CopyFrom(In, Size);
    } catch (const Exception&) {
      // A short copy is reported below, naming both files.
    }
    if (Copied < Size)
      throw IEInstall("Cannot create the self-extracting exe because %s could not be loaded onto %s", Name, SetupExe);
    End = static_cast<int32_t>(Out.Position() - 1);
  };
  Append(Setup1, T.SetupStart, T.SetupEnd);
  if (FileExists(Files1)) Append(Files1, T.FilesStart, T.FilesEnd);
  const auto Bytes = EncodeSelfExtractTrailer(T);
  Out.WriteBuffer(Bytes.data(), Bytes.size());
}

TSelfExtractTrailer ReadExtractionInfo(const std::string& FileName) {
  TSelfExtractTrailer Trailer{};
  try {
    TFileStream S(FileName, TFileMode::fmOpenRead);
    if (ReadSelfExtractTrailer(S, Trailer)) return Trailer;
  } catch (const Exception&) {
    // An unreadable file has no trailer either; the message below says so.
  }
  throw IEInstall(
      "Could not read the extraction info from the archive file %s when trying to find the correct "
      "offset into the self extracting file",
      FileName);
}

void CopyToFloppies(const std::string& SelfExtractingFile, const TSelfExtractTrailer& T, const std::string& Drive) {
  {
    TFileStream In(SelfExtractingFile, TFileMode::fmOpenRead);
    // A disk that fills up takes fewer bytes than it was given; the copy
    // says which file did not fit.
    auto CopyRange = [&](int64_t Start, int64_t Count, const std::string& Name, const char* NoRoom) {
      TFileStream Out(AddBackslash(Drive) + Name, TFileMode::fmCreate);
      In.SetPosition(Start);
      std::vector<char> Buf(8192);
      for (int64_t Left = Count; Left > 0;) {
        const size_t N = static_cast<size_t>(std::min<int64_t>(Left, static_cast<int64_t>(Buf.size())));
        In.ReadBuffer(Buf.data(), N);
        if (Out.Write(Buf.data(), N) != N) throw IEInstall(NoRoom);
        Left -= static_cast<int64_t>(N);
        if (Application) Application->ProcessMessages();
      }
    };
    CopyRange(0, T.SetupStart, "setup.exe", "Cannot create setup.exe on the A drive. Probably not enough room");
    CopyRange(T.SetupStart, int64_t(T.SetupEnd) - T.SetupStart + 1, "setup.1",
              "Cannot create setup.1 on the A drive. Probably not enough room");
  }
  TQrvnCompress& E = QrvnCompress();
  TFinally Unhook([&E] {
    E.OnNewDisk = TlzhNewDiskEvent();
    E.OnStatus = TlzhFileStatsEvent();
  });
  E.OnNewDisk = [](TQrvnCompress*, int Disk, std::string&) {
    SetCursor(LoadCursor(nullptr, IDC_ARROW));
    const std::string Text = TranslatedFormat("Please insert disk %d", Disk);
    const std::string Title = Application ? Application->Title : std::string("Setup");
    if (RunMessageBox(nullptr, Text, Title, MB_OKCANCEL | MB_ICONQUESTION, IDCANCEL) != IDOK)
      throw IEInstall("Aborted by user");
    SetCursor(LoadCursor(nullptr, IDC_WAIT));
  };
  E.OnStatus = [](TQrvnCompress*, const TlzhFileStats&) {
    if (Application) Application->ProcessMessages();
  };
  E.SetOffset(T.FilesStart);
  E.SetCompressedFile(SelfExtractingFile);
  E.SplitToDisks(Drive, "files.1");
}

// --- the staged build ------------------------------------------------------------

namespace {

// The files below Dir, as paths relative to it, folders first-level first.
void CollectFiles(const std::string& Dir, const std::string& Relative, std::vector<std::string>& Files) {
  WIN32_FIND_DATAA D;
  HANDLE H = FindFirstFileA((AddBackslash(Dir) + Relative + "*").c_str(), &D);
  if (H == INVALID_HANDLE_VALUE) return;
  TFinally Close([H] { FindClose(H); });
  do {
    const std::string Name = D.cFileName;
    if (Name == "." || Name == "..") continue;
    if (D.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
      CollectFiles(Dir, Relative + Name + "\\", Files);
    else
      Files.push_back(Relative + Name);
  } while (FindNextFileA(H, &D));
}

bool MoveReplacing(const std::string& From, const std::string& To) {
  ForceDirectories(ExtractFileDir(To));
  return MoveFileExA(From.c_str(), To.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED) != 0;
}

}  // namespace

TStagedBuild::TStagedBuild(const std::string& BuildDir)
    : FTarget(RemoveBackslash(BuildDir)),
      FStage(FTarget + ".qvbuild" + std::to_string(GetCurrentProcessId())) {
  if (!ForceDirectories(FTarget))
    throw IEInstall("Cannot create the file %s", AddBackslash(FTarget) + "setup.1");
  // A staging folder of an earlier build of this process id that did not end.
  RemoveDirTree(FStage);
  ForceDirectories(FStage);
}

TStagedBuild::~TStagedBuild() { RemoveDirTree(FStage); }

std::string TStagedBuild::InBuildFolder(std::string Text) const {
  for (size_t At = Text.find(FStage); At != std::string::npos; At = Text.find(FStage, At + FTarget.size()))
    Text.replace(At, FStage.size(), FTarget);
  return Text;
}

void TStagedBuild::Commit() {
  std::vector<std::string> Files;
  CollectFiles(FStage, "", Files);
  // A folder where a file of the distribution goes is the author's, never
  // replaced.
  for (const std::string& F : Files)
    if (DirectoryExists(AddBackslash(FTarget) + F))
      throw IEInstall("Cannot create the file %s", AddBackslash(FTarget) + F);
  const std::string Previous = AddBackslash(FStage) + "~previous\\";
  std::vector<std::string> SetAside, Placed;
  auto Undo = [&] {
    for (const std::string& F : Placed) RemoveFile(AddBackslash(FTarget) + F);
    for (const std::string& F : SetAside) MoveReplacing(Previous + F, AddBackslash(FTarget) + F);
  };
  for (const std::string& F : Files) {
    const std::string Old = AddBackslash(FTarget) + F;
    if (!FileExists(Old)) continue;
    if (!MoveReplacing(Old, Previous + F)) {
      const std::string Reason = LastSystemErrorText();
      Undo();
      throw IEInstall("Cannot replace the file %s: %s", Old, Reason);
    }
    SetAside.push_back(F);
  }
  for (const std::string& F : Files) {
    if (!MoveReplacing(AddBackslash(FStage) + F, AddBackslash(FTarget) + F)) {
      const std::string Reason = LastSystemErrorText();
      Undo();
      throw IEInstall("Cannot replace the file %s: %s", AddBackslash(FTarget) + F, Reason);
    }
    Placed.push_back(F);
  }
  FPlaced = Placed;
}
