// Whatever nslookup and dig print, searched for the server that answered.

#include "fuzz_root.h"
#include "inspect/resolver_output.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text = corvane::fuzzing::bytesOf(data, size);
  (void)corvane::serverFromResolverOutput(text, corvane::kNslookupServerPrefix);
  (void)corvane::serverFromResolverOutput(text, corvane::kDigServerPrefix);
  return 0;
}
