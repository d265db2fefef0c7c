#include "cli/output_check.h"

#include <csignal>
#include <cstdio>
#include <cstring>
#include <iostream>

namespace corvane::cli {

int finishOutput(int status) {
  std::cout.flush();
  errno = 0;
  const bool flushed = std::fflush(stdout) == 0;
  const int reason = flushed ? 0 : errno;
  if (flushed && !std::ferror(stdout) && !std::cout.fail()) return status;
  if (reason == EPIPE) return 128 + SIGPIPE;
  std::cerr << "corvane-cli: the answer could not be written to standard output"
            << (reason != 0 ? std::string(": ") + std::strerror(reason) : std::string()) << '\n';
  return 1;
}

}  // namespace corvane::cli
