// Whatever "/sbin/ifconfig -au" prints, read into address records.

#include "fuzz_root.h"
#include "inspect/ifconfig_output.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text = corvane::fuzzing::bytesOf(data, size);
  (void)corvane::addressRecordsFromIfconfig(text);
  (void)corvane::dottedNetmask(text.substr(0, 64));
  return 0;
}
