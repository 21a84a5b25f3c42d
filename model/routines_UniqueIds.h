// The identities of install files inside archives (0 .. QrvnIdMapSize - 1),
// by which the archive engine finds a file's header: one process-wide table
// of used and free marks.  A new file takes the lowest free identity; a
// project stream overrides it with the one it stores, so the first file
// loaded from a stream clears the table once and every loaded file claims
// its own again.
#pragma once

#include <cstdint>

// The lowest free identity, marked used; 0 when none is free.
int32_t TakeUniqueId();
void ClaimUniqueId(int32_t Id);
void ReleaseUniqueId(int32_t Id);
// Claims Id for a file read from a stream, the table cleared first the
// first time after start-up.
void ClaimUniqueIdFromStream(int32_t Id);
// Every identity free again, as at start-up.
void ResetUniqueIdPool();
