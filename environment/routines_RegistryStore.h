// The registry of Windows as the records' store (records/types_RegistryStore.h):
// every key below one root, opened through TRegKey, so failures carry the
// function, the error code and the system's text.
#pragma once

#include "environment/routines_Registry.h"
#include "records/types_RegistryStore.h"

class TRegistryStore : public IRegistryStore {
 public:
  explicit TRegistryStore(TRootKeys Root) : FRoot(Root) {}
  std::unique_ptr<IRegistryStoreKey> OpenKey(const std::string& Path) override;
  std::unique_ptr<IRegistryStoreKey> CreateKey(const std::string& Path) override;

 private:
  TRootKeys FRoot;
};
