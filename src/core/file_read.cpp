#include "core/file_read.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

namespace corvane {

std::optional<std::string> readWholeFile(const std::string& hostPath, size_t maxBytes) {
  // O_NONBLOCK: opening a pipe found in place of a file must not wait for a writer.
  const int fd = ::open(hostPath.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return std::nullopt;
  std::optional<std::string> bytes = readWholeOpenFile(fd, maxBytes);
  ::close(fd);
  return bytes;
}

std::optional<std::string> readWholeOpenFile(int fd, size_t maxBytes) {
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
  std::string bytes;
  char buffer[64 * 1024];
  for (;;) {
    const ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got == 0) break;
    if (got < 0 && errno == EINTR) continue;
    if (got < 0 || bytes.size() + static_cast<size_t>(got) > maxBytes) return std::nullopt;
    bytes.append(buffer, static_cast<size_t>(got));
  }
  return bytes;
}

}  // namespace corvane
