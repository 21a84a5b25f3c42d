#include "model/routines_RunJournal.h"

#include <windows.h>

#include <algorithm>

#include "environment/routines_RegistrySnapshot.h"
#include "environment/routines_SelfRegistration.h"
#include "rtl/routines_Files.h"
#include "rtl/routines_Format.h"
#include "rtl/routines_Strings.h"

const char* const SessionManagerKey = "\\SYSTEM\\CurrentControlSet\\Control\\Session Manager";
const char* const PendingMovesValue = "PendingFileRenameOperations";

std::string CopyBeside(const std::string& File) {
  for (int n = 1;; ++n) {
    const std::string Copy = File + ".qvold" + std::to_string(n);
    if (FileExists(Copy)) continue;
    return CopyFileA(File.c_str(), Copy.c_str(), TRUE) ? Copy : std::string();
  }
}

TRunJournal::TRunJournal() = default;
TRunJournal::~TRunJournal() = default;

TRunJournal& RunJournal() {
  static TRunJournal J;
  return J;
}

void TRunJournal::Begin() {
  End();
  FActive = true;
}

void TRunJournal::End() {
  FActive = false;
  FFiles.clear();
  FFolders.clear();
  FKeys.clear();
}

void TRunJournal::FolderToBeMade(const std::string& Dir) {
  if (!FActive) return;
  std::vector<std::string> Missing;
  for (std::string D = RemoveBackslash(Dir); !D.empty() && !DirectoryExists(D);) {
    Missing.push_back(D);
    const std::string Parent = RemoveBackslash(ExtractFileDir(D));
    if (Parent == D) break;
    D = Parent;
  }
  for (auto It = Missing.rbegin(); It != Missing.rend(); ++It) FFolders.push_back(*It);
}

void TRunJournal::FileAdded(const std::string& Path) {
  if (FActive) FFiles.push_back({TFileChange::fcAdded, Path, ""});
}

void TRunJournal::FileReplaced(const std::string& Path, const std::string& PreviousCopy) {
  if (FActive) FFiles.push_back({TFileChange::fcReplaced, Path, PreviousCopy});
}

void TRunJournal::ServerToBeRegistered(const std::string& Path, bool IsProgram) {
  if (FActive)
    FFiles.push_back({IsProgram ? TFileChange::fcProgramServer : TFileChange::fcLibraryServer, Path, ""});
}

void TRunJournal::FileToBeWritten(const std::string& Path) {
  if (!FActive) return;
  FolderToBeMade(ExtractFileDir(Path));
  if (!FileExists(Path)) return FileAdded(Path);
  const std::string Copy = CopyBeside(Path);
  if (Copy.empty()) return FileAdded(Path);  // without a copy it can only go
  FileReplaced(Path, Copy);
}

void TRunJournal::KeyToBeChanged(TRootKeys Root, const std::string& Key, bool WithSubKeys) {
  if (!FActive) return;
  // The first snapshot of a key is the one that counts.
  std::string Normal = RemoveBackslash(Key);
  while (!Normal.empty() && Normal[0] == '\\') Normal.erase(0, 1);
  for (const auto& K : FKeys)
    if (K->Root() == Root && SameText(K->Key(), Normal) && (K->WithSubKeys() || !WithSubKeys)) return;
  FKeys.push_back(std::make_unique<TRegistrySnapshot>(Root, Key, WithSubKeys));
}

void TRunJournal::ValueToBeChanged(TRootKeys Root, const std::string& Key, const std::string& Name) {
  if (!FActive) return;
  FKeys.push_back(std::make_unique<TRegistrySnapshot>(Root, Key, std::vector<std::string>{Name}));
}

void TRunJournal::Commit() {
  for (const TFileChange& F : FFiles)
    if (!F.PreviousCopy.empty()) RemoveFileEvenReadOnly(F.PreviousCopy);
  End();
}

std::vector<std::string> TRunJournal::Rollback() {
  std::vector<std::string> Problems;
  if (!FActive) return Problems;
  for (auto It = FFiles.rbegin(); It != FFiles.rend(); ++It) {
    if (It->Kind == TFileChange::fcLibraryServer || It->Kind == TFileChange::fcProgramServer) {
      // Before its file goes: the component takes back what it registered.
      constexpr DWORD ServerMs = 30000;
      const TSelfRegistration R = It->Kind == TFileChange::fcLibraryServer
                                      ? CallLibraryServer(It->Path, TServerAction::Unregister)
                                      : RunProgramServer(It->Path, TServerAction::Unregister, TProcessWait::Exit, ServerMs);
      if (R.Failed != TSelfRegistration::srDone || FAILED(R.Result))
        Problems.push_back(Format("%s cannot unregister itself: %s", It->Path, R.Cause));
      continue;
    }
    if (!RemoveFileEvenReadOnly(It->Path) && FileExists(It->Path)) {
      Problems.push_back(Format("%s cannot be removed: %s", It->Path, LastSystemErrorText()));
      continue;
    }
    if (!It->PreviousCopy.empty() && !RenameFile(It->PreviousCopy, It->Path))
      Problems.push_back(Format("%s cannot be put back from %s: %s", It->Path, It->PreviousCopy, LastSystemErrorText()));
  }
  for (auto It = FKeys.rbegin(); It != FKeys.rend(); ++It)
    for (std::string& P : (*It)->Restore()) Problems.push_back(std::move(P));
  // Deepest first; a folder that holds anything not the run's stays.
  for (auto It = FFolders.rbegin(); It != FFolders.rend(); ++It) RemoveDir(*It);
  End();
  return Problems;
}
