#include "repair/repair_test_support.h"

#include <gtest/gtest.h>

#include <sstream>

namespace corvane::testing {

std::vector<std::string> CopiedSystem::toolLog() const {
  std::vector<std::string> lines;
  std::istringstream in(read("/var/log/corvane-tools.log"));
  for (std::string line; std::getline(in, line);) {
    for (size_t at; (at = line.find(root())) != std::string::npos;) line.replace(at, root().size(), "ROOT");
    for (size_t at; (at = line.find(tmp())) != std::string::npos;) line.replace(at, tmp().size(), "TMP");
    lines.push_back(line);
  }
  return lines;
}

}  // namespace corvane::testing
