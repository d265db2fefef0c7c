#pragma once
// Generated inputs for the benchmarks: configuration stores, tool output,
// provider files, keyed archives and accounts databases of a chosen size,
// shaped like the real ones. Generation is deterministic, so that the same
// size always gives the same bytes (the store comparison with Python reads
// the file that corvane-bench-inputs writes).

#include <cstddef>
#include <string>

#include "core/plist_value.h"

namespace corvane::bench {

// A configuration store with `locations` locations of `portsPerLocation`
// ports each, every port a service of its own with proxies, DNS and
// interface settings.
Value generatedStore(size_t locations, size_t portsPerLocation);

// The XML store closest to `bytes` long (20 ports per location).
std::string storeXmlOfSize(size_t bytes);

// A captured system under `root` (a host folder that exists): the store of
// about `storeBytes`, an interface list and the 10.6.8 version file.
void writeStoreSystem(const std::string& root, size_t storeBytes);

// "/sbin/ifconfig -au" output of `interfaces` interfaces, most with IPv4 and
// IPv6 addresses, some aliases, some without an address.
std::string ifconfigOutput(size_t interfaces);

// dig output of about `bytes`: a long answer section, the ";; SERVER:" line
// at its end, where the reader has to look for it.
std::string digOutput(size_t bytes);

// Plain provider settings of about `bytes` (UTF-8 "key=value" lines with
// Japanese texts, comments and the known keys).
std::string providerText(size_t bytes);

// A dictionary of `accounts` mail-account-like entries, for keyed archives.
Value accountProperties(size_t accounts);

// An accounts database at `hostPath` whose ZACCOUNTPROPERTY table has `rows`
// rows, each value a small keyed archive, as the system stores them.
// Returns "" or what went wrong.
std::string writeAccountsDatabase(const std::string& hostPath, size_t rows);

// An XML property list whose root dictionary holds `keys` short texts.
std::string xmlDictionary(size_t keys);

// Writes bytes to a host path, making the parent folders.
void writeHostFile(const std::string& hostPath, const std::string& bytes);

// A throw-away folder, removed with the object.
class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

}  // namespace corvane::bench
