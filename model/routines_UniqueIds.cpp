#include "model/routines_UniqueIds.h"

#include <array>

#include "archive/cmp_TQrvnCompress.h"

namespace {
struct TUniqueIdPool {
  std::array<bool, QrvnIdMapSize> Used{};
  bool ClearedForStream = false;

  void Mark(int32_t Id, bool Value) {
    if (Id >= 0 && Id < QrvnIdMapSize) Used[static_cast<size_t>(Id)] = Value;
  }
};

TUniqueIdPool& IdPool() {
  static TUniqueIdPool P;
  return P;
}
}  // namespace

int32_t TakeUniqueId() {
  TUniqueIdPool& P = IdPool();
  for (int32_t i = 0; i < QrvnIdMapSize; ++i)
    if (!P.Used[static_cast<size_t>(i)]) {
      P.Used[static_cast<size_t>(i)] = true;
      return i;
    }
  return 0;
}

void ClaimUniqueId(int32_t Id) { IdPool().Mark(Id, true); }

void ReleaseUniqueId(int32_t Id) { IdPool().Mark(Id, false); }

void ClaimUniqueIdFromStream(int32_t Id) {
  TUniqueIdPool& P = IdPool();
  if (!P.ClearedForStream) {
    P.Used.fill(false);
    P.ClearedForStream = true;
  }
  P.Mark(Id, true);
}

void ResetUniqueIdPool() { IdPool() = TUniqueIdPool(); }
