// Whatever "/bin/ps -a" prints, searched for the dial-up daemon's service id.

#include "fuzz_root.h"
#include "inspect/ps_output.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  (void)corvane::pppServiceIDFromPs(corvane::fuzzing::bytesOf(data, size));
  return 0;
}
