// What an installation run changes on the machine, kept so that a run that
// fails or is cancelled can be undone: the files it added are removed, the
// files it replaced come back from the copies kept of them, the folders it
// made go again when empty, and every registry key and value it touched is
// put back as it stood before its first change (its links and uninstall
// record among them, a replacement waiting for the restart withdrawn).
// Outside a run (a build, the resumption after a restart) nothing is kept.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "environment/routines_Registry.h"

class TRegistrySnapshot;

class TRunJournal {
 public:
  TRunJournal();
  ~TRunJournal();
  TRunJournal(const TRunJournal&) = delete;
  TRunJournal& operator=(const TRunJournal&) = delete;

  // Starts keeping, forgetting an earlier run.
  void Begin();
  bool Active() const { return FActive; }

  // Before Dir is made with its missing parents.
  void FolderToBeMade(const std::string& Dir);
  // A file that was not there before.
  void FileAdded(const std::string& Path);
  // A file that replaced another; PreviousCopy (beside it) holds the one
  // replaced and stays until the run ends.
  void FileReplaced(const std::string& Path, const std::string& PreviousCopy);
  // Before Path is written, whether it is there or not: a file that is
  // there is copied beside it first.
  void FileToBeWritten(const std::string& Path);
  // Before the component Path registers itself (a program with /REGSERVER,
  // else a library): undone by its own unregistration.
  void ServerToBeRegistered(const std::string& Path, bool IsProgram);
  // Before the first change of Key (and, with WithSubKeys, what is below).
  void KeyToBeChanged(TRootKeys Root, const std::string& Key, bool WithSubKeys);
  // Before the first change of one value of a key other products share.
  void ValueToBeChanged(TRootKeys Root, const std::string& Key, const std::string& Name);

  // The run ended well, or waits for the restart: the copies go.
  void Commit();
  // Undoes the run, the last change first.  What could not be undone, each
  // naming the file or key; empty when the machine is as before.
  std::vector<std::string> Rollback();

 private:
  struct TFileChange {
    enum TKind { fcAdded, fcReplaced, fcLibraryServer, fcProgramServer } Kind;
    std::string Path, PreviousCopy;
  };
  void End();
  bool FActive = false;
  std::vector<TFileChange> FFiles;
  std::vector<std::string> FFolders;  // made by the run, parents first
  std::vector<std::unique_ptr<TRegistrySnapshot>> FKeys;
};

// A copy of File beside it under the first free name "<file>.qvold<n>";
// empty when none could be made.
std::string CopyBeside(const std::string& File);

// The run's journal (one run per process).
TRunJournal& RunJournal();

// The value of the restart's pending moves (Windows NT).
extern const char* const SessionManagerKey;
extern const char* const PendingMovesValue;
