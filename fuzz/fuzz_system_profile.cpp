// Whatever "/usr/sbin/system_profiler -xml" prints, read into the profile list.

#include "fuzz_root.h"
#include "inventory/system_info.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  (void)corvane::parseSystemProfile(corvane::fuzzing::bytesOf(data, size));
  return 0;
}
