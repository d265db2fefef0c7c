// Property lists of any kind of damage: parsed into the program's values,
// written out again in both forms, and the binary one read back to the same
// value.

#include <cstdlib>

#include "core/plist_io.h"
#include "fuzz_root.h"
#include "same_value.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace corvane;
  const Value value = parsePropertyList(fuzzing::bytesOf(data, size));
  if (value.isAbsent()) return 0;
  const std::string xml = toXmlPropertyList(value);
  const std::string binary = toBinaryPropertyList(value);
  // What the program writes it must read back as it was (the binary writer
  // refuses texts that are not UTF-8).
  if (!binary.empty() && !fuzzing::sameValue(parsePropertyList(binary), value)) std::abort();
  (void)xml;
  return 0;
}
