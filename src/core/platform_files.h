#pragma once
// Host file operations: the system calls that create, replace, rename and
// remove files and start programs, in one place. Paths here are host paths;
// the platform layer (core/platform.h) maps system paths onto them and is the
// door the rest of the program uses. Modules that work on host folders the
// user named and have no platform at hand (unpacking a capture, a download's
// destination) call these directly.
//
// None of them throws. Where a reason is asked for, it is the system's
// message for the failed call, naming the path.

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace corvane {

// Replaces (or creates) the file at hostPath with bytes, all or nothing: the
// bytes go to a new temporary file in the same folder (never through an
// existing file or link), which gets the mode, is flushed to disk, renamed
// over the target, and the folder is flushed too. On failure the target is
// untouched and the temporary file is gone.
bool writeHostFileAtomically(const std::string& hostPath, std::string_view bytes, unsigned mode = 0644,
                             std::string* why = nullptr);

// rename(2): replaces a file at `to`, never a folder. The reason is the
// system's message alone (the caller names the paths).
bool renameHostPath(const std::string& from, const std::string& to, std::string* why = nullptr);

// Removes a file or link (not what a link points at). False when nothing was removed.
bool removeHostFile(const std::string& hostPath);
// Removes an empty folder. False when nothing was removed.
bool removeHostFolder(const std::string& hostPath);
// Removes a file, link or whole folder tree, entering folders unpacked
// without write permission. True when nothing is left at the path.
bool removeHostTree(const std::string& hostPath);

// Makes the folder and any missing parents. True when it is a folder after.
bool makeHostFolders(const std::string& hostPath, std::string* why = nullptr);

// Copies a file or folder tree to a path that does not exist yet.
bool copyHostTree(const std::string& from, const std::string& to, std::string* why = nullptr);

// Makes a new folder of mode 0700 named prefix + six random characters
// inside parent (mkdtemp); its host path, or nullopt.
std::optional<std::string> makePrivateHostFolder(const std::string& parent, std::string_view prefix,
                                                 std::string* why = nullptr);

// Creates a new empty file named prefix + six random characters in folder
// (mkstemp), with the mode; its host path, or nullopt.
std::optional<std::string> reserveHostFile(const std::string& folder, std::string_view prefix, unsigned mode = 0644);

// Opens the file at hostPath for writing from its start (created, or emptied
// when it exists), for a writer that streams into it; nullptr on failure.
// The caller closes it with std::fclose and checks that close.
std::FILE* openHostFileForWriting(const std::string& hostPath);

// The same operations on a name inside an open folder (a descriptor), for
// paths resolved under a system root (core/beneath_root.h): nothing at or
// under the name is reached through a link. shownPath names the file in
// reasons.
bool writeFileAtomicallyAt(int folder, const std::string& name, std::string_view bytes, unsigned mode,
                           const std::string& shownPath, std::string* why = nullptr);
// Removes the file, link or folder tree at name; links inside are removed,
// never followed. True when nothing is left at the name.
bool removeTreeAt(int folder, const std::string& name);
// Copies the open file or folder `from` to a new name in the folder `to`;
// links inside a copied folder are copied as links, never followed.
bool copyTreeAt(int from, int to, const std::string& name, const std::string& shownPath, std::string* why = nullptr);

// Starts the program at hostPath with these arguments (after its own path)
// and the program's environment, standard streams inherited, and waits for
// it. Its exit status; -1 when it could not be started or did not exit normally.
int launchHostProgram(const std::string& hostPath, const std::vector<std::string>& args = {});

// Opens the folder at hostPath (not a link, owned by this user) and takes an
// exclusive advisory lock (flock) on it without waiting. The lock lasts until
// unlockHostFolder or the end of the process, however it ends. A descriptor,
// or -1 when the folder is not one of ours or another process holds it.
int lockHostFolder(const std::string& hostPath);
void unlockHostFolder(int lock);

// Whether a process with this id runs (or may: one of another user counts).
bool processIsRunning(long pid);

// This process's id, for names of what it owns.
long ownProcessId();

}  // namespace corvane
