#include "repair/private_copy.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

#include "core/plist_io.h"

namespace corvane {

namespace {

std::string systemError(const std::string& what, const std::string& path) {
  return what + " " + path + ": " + std::strerror(errno);
}

// Writes the whole of bytes to a new file (never through an existing one or a
// link) and flushes it to disk.
bool writeNewFile(const std::string& path, const std::string& bytes, std::string& failure) {
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
  if (fd < 0) {
    failure = systemError("cannot create", path);
    return false;
  }
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      failure = systemError("cannot write", path);
      ::close(fd);
      return false;
    }
    done += static_cast<size_t>(n);
  }
  // The mode must not depend on the umask: the installed store is read by
  // every user.
  if (::fchmod(fd, 0644) != 0 || ::fsync(fd) != 0) {
    failure = systemError("cannot write", path);
    ::close(fd);
    return false;
  }
  if (::close(fd) != 0) {
    failure = systemError("cannot write", path);
    return false;
  }
  return true;
}

std::string readWhole(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

}  // namespace

PrivateCopy writePrivateCopy(const std::string& temporaryFolder, const std::string& fileName, const Value& value) {
  PrivateCopy copy;
  copy.bytes = toXmlPropertyList(value);
  if (copy.bytes.empty()) {
    copy.failure = "the repaired store cannot be written as a property list";
    return copy;
  }

  std::string pattern = temporaryFolder + "/corvane-repair-XXXXXX";
  if (!::mkdtemp(pattern.data())) {
    copy.failure = systemError("cannot make a private folder in", temporaryFolder);
    return copy;
  }
  copy.folder = pattern;
  copy.path = copy.folder + "/" + fileName;

  const std::string partial = copy.folder + "/." + fileName + ".partial";
  std::string failure;
  if (!writeNewFile(partial, copy.bytes, failure)) {
    copy.failure = failure;
  } else if (::rename(partial.c_str(), copy.path.c_str()) != 0) {
    copy.failure = systemError("cannot rename", partial);
  } else if (readWhole(copy.path) != copy.bytes || !(parsePropertyList(copy.bytes) == value)) {
    copy.failure = "the repaired copy does not read back as written: " + copy.path;
  }
  if (!copy.ok()) {
    ::unlink(partial.c_str());
    removePrivateCopy(copy);
  }
  return copy;
}

void removePrivateCopy(const PrivateCopy& copy) {
  if (!copy.path.empty()) ::unlink(copy.path.c_str());
  if (!copy.folder.empty()) ::rmdir(copy.folder.c_str());
}

}  // namespace corvane
