#pragma once
// The repaired copy of the store, written where no other user can reach it:
// a new folder of mode 0700 made with mkdtemp inside the temporary folder.
// The privileged install later acts on this path, so nobody may swap the file
// between the write and the install.

#include <string>

#include "core/platform.h"
#include "core/plist_value.h"

namespace corvane {

struct PrivateCopy {
  std::string folder;   // host path of the private folder
  std::string path;     // host path of the copy inside it
  std::string bytes;    // the bytes written
  std::string failure;  // empty on success
  bool ok() const { return failure.empty(); }
};

// Writes value as an XML property list named fileName into a new private
// folder inside the platform's temporary folder (written under a temporary name, then
// renamed; mode 0644 so the installed store stays readable to everyone), then
// reads it back. Fails, removing what it made, when the folder or file
// cannot be made or written, or the file does not read back as value.
PrivateCopy writePrivateCopy(Platform& platform, const std::string& fileName, const Value& value);

// Removes the copy (when still there) and its folder (when empty).
void removePrivateCopy(Platform& platform, const PrivateCopy& copy);

}  // namespace corvane
