#include "repair/repair_lock.h"

namespace corvane {

RepairLock takeRepairLock(Platform& platform) {
  RepairLock lock;
  bool busy = false;
  std::string why;
  lock.held = platform.tryLockRoot(busy, &why);
  if (busy)
    lock.failure = "another repair is running on this system; nothing was changed (try again once it has finished)";
  else if (!lock.held)
    lock.failure = "nothing was changed: the system cannot be locked for the repair (" + why + ")";
  return lock;
}

}  // namespace corvane
