// corvane-bench-inputs store BYTES PATH: writes the generated store that the
// store benchmark reads, so that other readers can be timed on the same file.

#include <cstdlib>
#include <iostream>
#include <string>

#include "bench/bench_inputs.h"

int main(int argc, char** argv) {
  if (argc != 4 || std::string(argv[1]) != "store") {
    std::cerr << "usage: corvane-bench-inputs store BYTES PATH\n";
    return 2;
  }
  std::string xml = corvane::bench::storeXmlOfSize(std::strtoull(argv[2], nullptr, 10));
  corvane::bench::writeHostFile(argv[3], xml);
  std::cout << xml.size() << '\n';
  return 0;
}
