// Provider files of any kind of damage, decoded line by line and loaded into
// the provider settings; and single provider lines split into key and value.

#include "fuzz_root.h"
#include "provider/decode_file.h"
#include "provider/provider_datas.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace corvane;
  static const fuzzing::FuzzRoot root("10.4.11");
  const std::string_view bytes = fuzzing::bytesOf(data, size);
  const std::string path = root.write("/Corvane.idx", bytes);

  DecodeFile file;
  if (file.OpenFile(path))
    while (file.GetDecodedLine() != nullptr) {
    }
  (void)ProviderDatas::loadFile(path);
  (void)getKeyAndValue(bytes);
  return 0;
}
