#pragma once
// Reading a whole file without mistaking a read error for its end.

#include <optional>
#include <string>

namespace corvane {

// The bytes of the regular file at a host path; nullopt when it is missing,
// not a regular file (a folder, a pipe, a device), cannot be opened, a read
// fails part-way, or it is longer than maxBytes.
std::optional<std::string> readWholeFile(const std::string& hostPath, size_t maxBytes = SIZE_MAX);
// The same for a file already opened for reading; the descriptor stays open.
std::optional<std::string> readWholeOpenFile(int fd, size_t maxBytes = SIZE_MAX);

}  // namespace corvane
