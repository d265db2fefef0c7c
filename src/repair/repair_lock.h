#pragma once
// One repair at a time on a system: the repair, the undo and the pruning of
// backups each hold the system root's lock from before the backup to their
// end, so that two of them never interleave their steps.

#include <memory>
#include <string>

#include "core/platform.h"

namespace corvane {

// Held while `held` lives; without it, failure says why (another repair is
// running on the system, or the lock cannot be taken).
struct RepairLock {
  std::unique_ptr<PlatformLock> held;
  std::string failure;
};

// Takes the root's lock without waiting (Platform::tryLockRoot).
RepairLock takeRepairLock(Platform& platform);

}  // namespace corvane
