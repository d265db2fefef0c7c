#pragma once
// Private folders this process makes in the temporary folder (an unpacked
// capture, the line check's download). Each is named prefix + the owner's
// process id + "-" + six random characters and locked (flock) while it
// lives, so that a later run can tell a folder whose owner was killed from
// one in use, and remove it.

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

namespace corvane {

class PrivateFolder {
 public:
  // A new folder of mode 0700 in parent (a host path). nullptr, with why
  // when asked, when it cannot be made or the program is ending.
  static std::unique_ptr<PrivateFolder> make(const std::string& parent, std::string_view prefix,
                                             std::string* why = nullptr);
  // Takes over a folder made by a platform (Platform::makePrivateHostFolder)
  // with a prefix from ownedPrefix: locked when it is a folder of the host,
  // removed with `remove` as it goes (at once when the program is ending).
  PrivateFolder(std::string path, std::function<void(const std::string&)> remove);
  // Removes the folder and everything in it.
  ~PrivateFolder();
  PrivateFolder(const PrivateFolder&) = delete;
  PrivateFolder& operator=(const PrivateFolder&) = delete;

  // The folder's host path, without "." or ".." or links in it.
  const std::string& path() const { return path_; }

  // Held while writing into the folder: removePrivateFolders waits until
  // the writer lets go.
  std::unique_lock<std::mutex> hold() { return std::unique_lock(use_); }

 private:
  PrivateFolder(std::string path, int lock);
  void enter();
  void removeNow();  // with use_ held

  std::string path_;
  std::function<void(const std::string&)> remove_;
  int lock_ = -1;
  bool removed_ = false;
  std::mutex use_;

  friend void removePrivateFolders();
};

// prefix + this process's id + "-": the name a private folder starts with.
std::string ownedPrefix(std::string_view prefix);

// Removes every private folder that still lives: the front end's last step
// when a signal ends the program. Each object stays, its folder gone.
void removePrivateFolders();

// Removes the folders in parent named prefix + a process id + "-" + six
// characters that are surely left over: owned by this user, not links,
// unlocked, and their process no longer runs.
void removeAbandonedFolders(const std::string& parent, std::string_view prefix);

}  // namespace corvane
