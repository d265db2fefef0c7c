#include "repair/private_copy.h"

#include "core/plist_io.h"

namespace corvane {

PrivateCopy writePrivateCopy(Platform& platform, const std::string& fileName, const Value& value) {
  PrivateCopy copy;
  copy.bytes = toXmlPropertyList(value);
  if (copy.bytes.empty()) {
    copy.failure = "the repaired store cannot be written as a property list";
    return copy;
  }

  const auto folder = platform.makePrivateHostFolder(platform.temporaryFolder(), "corvane-repair-", &copy.failure);
  if (!folder) return copy;
  copy.folder = *folder;
  copy.path = copy.folder + "/" + fileName;

  // Mode 0644 whatever the umask: the installed store is read by every user.
  if (!platform.writeHostFile(copy.path, copy.bytes, 0644, &copy.failure)) {
    if (copy.failure.empty()) copy.failure = "cannot write " + copy.path;
  } else if (platform.readHostFile(copy.path) != copy.bytes || !(parsePropertyList(copy.bytes) == value)) {
    copy.failure = "the repaired copy does not read back as written: " + copy.path;
  }
  if (!copy.ok()) removePrivateCopy(platform, copy);
  return copy;
}

void removePrivateCopy(Platform& platform, const PrivateCopy& copy) {
  if (!copy.path.empty()) platform.removeHostFile(copy.path);
  if (!copy.folder.empty()) platform.removeHostFolder(copy.folder);
}

}  // namespace corvane
