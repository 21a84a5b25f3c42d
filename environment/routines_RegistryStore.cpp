#include "environment/routines_RegistryStore.h"

#include <utility>

namespace {

class TRegistryStoreKey : public IRegistryStoreKey {
 public:
  explicit TRegistryStoreKey(TRegKey&& Key) : K(std::move(Key)) {}
  bool GetValueNames(std::vector<std::string>& Names) const override { return K.GetValueNames(Names); }
  bool GetKeyNames(std::vector<std::string>& Names) const override { return K.GetKeyNames(Names); }
  bool ReadString(const std::string& Name, std::string& Value) const override {
    return K.ReadString(Name, Value);
  }
  bool ReadInteger(const std::string& Name, int32_t& Value) const override { return K.ReadInteger(Name, Value); }
  bool WriteString(const std::string& Name, const std::string& Value) override {
    return K.WriteString(Name, Value);
  }
  bool WriteInteger(const std::string& Name, int32_t Value) override { return K.WriteInteger(Name, Value); }
  std::string FailureText() const override { return K.FailureText(); }

 private:
  TRegKey K;
};

}  // namespace

std::unique_ptr<IRegistryStoreKey> TRegistryStore::OpenKey(const std::string& Path) {
  TRegKey K;
  if (!K.OpenReadOnly(FRoot, Path)) return nullptr;
  return std::make_unique<TRegistryStoreKey>(std::move(K));
}

std::unique_ptr<IRegistryStoreKey> TRegistryStore::CreateKey(const std::string& Path) {
  TRegKey K;
  if (!K.Open(FRoot, Path, true)) return nullptr;
  return std::make_unique<TRegistryStoreKey>(std::move(K));
}
