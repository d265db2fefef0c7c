#pragma once
// Captured systems loaded into memory with tools that act on them, or copied
// into throw-away folders for the tests that need real files (the program
// itself, file-system failures, file modes); bare systems of a version; and
// an authorizer that grants or refuses on cue.

#include <filesystem>
#include <string>
#include <vector>

#include "core/authorizer.h"
#include "core/platform.h"
#include "core/plist_io.h"
#include "inspect/get_port.h"
#include "provider/provider_datas.h"
#include "support/memory_copied_system.h"
#include "support/memory_platform.h"
#include "support/sysroot_path.h"
#include "support/temp_folder.h"
#include "support/test_platforms.h"

namespace corvane::testing {

// The live store's two places, as texts for building paths.
inline const std::string kPlist{kStorePath};
inline const std::string kXml{kOldStorePath};

// A captured system copied to a TempFolder ("root"), with its own temporary
// folder ("tmp") beside it.
class CopiedSystem {
 public:
  explicit CopiedSystem(const std::string& name) {
    std::filesystem::copy(sysrootPath(name), root(), std::filesystem::copy_options::recursive);
    std::filesystem::create_directories(tmp());
  }
  std::string root() const { return folder_.path() + "/root"; }
  std::string tmp() const { return folder_.path() + "/tmp"; }
  std::string host(const std::string& systemPath) const { return root() + systemPath; }
  std::string read(const std::string& systemPath) const { return readHostFile(host(systemPath)); }
  void write(const std::string& systemPath, const std::string& bytes, bool executable = false) const {
    folder_.write("root" + systemPath, bytes, executable);
  }
  // The tool runs the captured tools recorded, one line each, root paths
  // shortened to "ROOT".
  std::vector<std::string> toolLog() const;
  // Replaces a tool with one that fails.
  void breakTool(const std::string& systemPath) const {
    write(systemPath, "#!/bin/sh\necho \"broken $*\" >> \"" + host("/var/log/corvane-tools.log") + "\"\nexit 1\n",
          true);
  }

 private:
  TempFolder folder_;
};

// Grants or refuses on cue; granted, it runs the captured tools as the user.
class CueAuthorizer : public Authorizer {
 public:
  CueAuthorizer(Platform& platform, bool grant) : platform_(platform), grant_(grant) {}
  bool obtainRights() override {
    ++requests;
    granted_ = grant_;
    return granted_;
  }
  ToolRun runPrivileged(std::string_view tool, const std::vector<std::string>& args) override {
    if (!granted_) return {};
    return platform_.runTool(tool, args);
  }
  void releaseRights() override { granted_ = false; }
  int requests = 0;

 private:
  Platform& platform_;
  bool grant_;
  bool granted_ = false;
};

// The provider settings the repairs in the tests use.
inline ProviderDatas providerSettings() {
  ProviderDatas settings;
  settings.p_http = "proxy.example.jp:8080";
  settings.p_secure = "proxy.example.jp:8443";
  return settings;
}

inline Value readPlistFile(const std::string& hostPath) { return parsePropertyList(readHostFile(hostPath)); }

}  // namespace corvane::testing

namespace corvane::testing {

// A bare system of the given version, with an interface list recording en0's
// address when en0Address is not empty.
inline void writeBareSystem(MemoryPlatform& system, const std::string& version, const std::string& en0Address = "") {
  system.put("/System/Library/CoreServices/SystemVersion.plist",
             "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>"
             "<key>ProductVersion</key><string>" +
                 version + "</string></dict></plist>\n");
  if (en0Address.empty()) return;
  Dictionary entry;
  entry.set("BSD Name", "en0");
  entry.set("IOMACAddress", Data{en0Address});
  Value::Array entries{Value(entry)};
  const bool newLayout = !(version.starts_with("10.2") || version.starts_with("10.1") || version.starts_with("10.0"));
  if (newLayout) {
    Dictionary root;
    root.set("Interfaces", Value(entries));
    system.put("/Library/Preferences/SystemConfiguration/NetworkInterfaces.plist", toXmlPropertyList(Value(root)));
  } else {
    system.put("/private/var/db/NetworkInterfaces.xml", toXmlPropertyList(Value(entries)));
  }
}

// The keys of a dictionary, in order.
inline std::vector<std::string> keysOf(const Value& value) {
  std::vector<std::string> keys;
  if (const Dictionary* d = value.dictionary())
    for (const auto& [key, item] : *d) keys.push_back(key);
  return keys;
}

}  // namespace corvane::testing

namespace corvane::testing {

// A dictionary from the XML of its body: plistDict("<key>A</key><integer>1</integer>").
inline Dictionary plistDict(const std::string& body) {
  const Value value = parsePropertyList("<?xml version=\"1.0\" encoding=\"UTF-8\"?><plist version=\"1.0\"><dict>" +
                                        body + "</dict></plist>");
  return value.dictionary() ? *value.dictionary() : Dictionary{};
}

// A platform on a bare system of the given version that collects its log.
class VersionPlatform {
 public:
  explicit VersionPlatform(const std::string& version) { writeBareSystem(platform_, version); }
  Platform& operator*() { return platform_; }

 private:
  MemoryPlatform platform_;

 public:
  std::vector<std::string>& logged = platform_.logged;
};

}  // namespace corvane::testing
