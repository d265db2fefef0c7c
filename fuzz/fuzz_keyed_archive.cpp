// Keyed archives of any kind of damage; what decodes is archived again and
// must decode to the same value.

#include <cstdlib>

#include "fuzz_root.h"
#include "inventory/keyed_archive.h"
#include "same_value.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace corvane;
  const Value value = decodeKeyedArchive(fuzzing::bytesOf(data, size));
  if (value.isAbsent()) return 0;
  const std::optional<std::string> archive = encodeKeyedArchive(value);
  if (archive && !fuzzing::sameValue(decodeKeyedArchive(*archive), value)) std::abort();
  return 0;
}
