// Localizable.strings files of any kind of damage.

#include "core/localized_strings.h"
#include "fuzz_root.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  (void)corvane::parseStringsFile(corvane::fuzzing::bytesOf(data, size));
  return 0;
}
