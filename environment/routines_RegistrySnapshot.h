// A registry key as it stood at one moment, to be put back later: what a
// run that fails or is cancelled uses to leave the registry as it found it.
// Taken with its sub keys or without; or of some named values only (a list
// like SharedDLLs, where the other values belong to other products).
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "environment/routines_Registry.h"

class TRegistrySnapshot {
 public:
  // The key's values, and with WithSubKeys everything below it.
  TRegistrySnapshot(TRootKeys Root, const std::string& Key, bool WithSubKeys);
  // Only the values named (case is ignored), wherever the key stands.
  TRegistrySnapshot(TRootKeys Root, const std::string& Key, const std::vector<std::string>& Values);
  ~TRegistrySnapshot();
  TRegistrySnapshot(const TRegistrySnapshot&) = delete;
  TRegistrySnapshot& operator=(const TRegistrySnapshot&) = delete;

  TRootKeys Root() const { return FRoot; }
  const std::string& Key() const { return FKey; }
  bool WithSubKeys() const { return FWithSubKeys; }
  // Also takes the value Name when the snapshot is one of named values.
  void AddValue(const std::string& Name);

  // Puts the key back: values added since are deleted, changed ones written
  // back, missing ones restored; keys that did not exist (the key itself
  // and the parents made for it) are deleted with what is in them.  Only
  // what differs is written.  The failures, each naming its key and the
  // system's reason; empty when all went back.
  std::vector<std::string> Restore() const;

  struct TNode;  // a key as taken

 private:
  TRootKeys FRoot;
  std::string FKey;
  bool FWithSubKeys = false;
  bool FNamedOnly = false;
  std::vector<std::string> FNames;  // upper case, for named snapshots
  std::string FFirstMissing;        // the highest key of the path that did not exist
  std::unique_ptr<TNode> FNode;
};
