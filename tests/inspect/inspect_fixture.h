#pragma once
// Shared helpers of the inspection tests: building stores and expected lists
// by hand, and systems in memory whose tools print scripted output.

#include <map>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "core/platform.h"
#include "core/plist_io.h"
#include "core/plist_value.h"
#include "support/memory_platform.h"
#include "support/sysroot_path.h"
#include "support/temp_folder.h"

namespace corvane {

// Values print as nested lists in failure messages.
inline void PrintTo(const Value& value, std::ostream* out) {
  switch (value.kind()) {
    case Value::Kind::Absent: *out << "(absent)"; return;
    case Value::Kind::String: *out << '"' << value.text() << '"'; return;
    case Value::Kind::Integer: *out << *value.integer(); return;
    case Value::Kind::Array: {
      *out << '[';
      const char* separator = "";
      for (const auto& item : *value.array()) {
        *out << separator;
        PrintTo(item, out);
        separator = ", ";
      }
      *out << ']';
      return;
    }
    case Value::Kind::Dictionary: {
      *out << '{';
      const char* separator = "";
      for (const auto& [key, item] : *value.dictionary()) {
        *out << separator << key << ": ";
        PrintTo(item, out);
        separator = ", ";
      }
      *out << '}';
      return;
    }
    default: *out << "(other)"; return;
  }
}

namespace testing {

// A list of mixed items: list({"en0", list({}), "OK"}).
inline Value list(std::initializer_list<Value> items) { return Value(Value::Array(items)); }

// A dictionary in the order given.
inline Value dict(std::initializer_list<std::pair<std::string, Value>> entries) {
  Dictionary d;
  for (const auto& [key, value] : entries) d.set(key, value);
  return Value(std::move(d));
}

inline Value noAddress() { return Value::strings({"", "----------", "----------", "----------"}); }

// A proxy list of a system from 10.3.2 on: seven protocol texts, the
// automatic configuration address, the exceptions, and "OK" when any text is set.
inline Value proxyList(std::vector<std::string> texts, Value exceptions = list({})) {
  Value result = Value::strings(texts);
  result.append(exceptions);
  for (const auto& text : texts)
    if (!text.empty()) {
      result.append("OK");
      break;
    }
  return result;
}

inline Value systemVersion(std::string_view version) {
  return dict({{"ProductName", "Mac OS X"}, {"ProductVersion", std::string(version)}});
}

// A system in memory holding a system version (none when version is empty)
// and whatever a test writes. Its tools are not run: each tool path prints
// its scripted output (outputs, or writeTool), a tool without one does not
// start, and every run is recorded.
class SystemRoot : public MemoryPlatform {
 public:
  explicit SystemRoot(std::string_view version = "") {
    if (!version.empty()) writePlist("/System/Library/CoreServices/SystemVersion.plist", systemVersion(version));
  }
  ~SystemRoot() override;  // in inspect_fixture.cpp, with the class's virtual functions
  void write(std::string_view systemPath, std::string_view bytes) { put(systemPath, bytes); }
  void writePlist(std::string_view systemPath, const Value& value) { put(systemPath, toXmlPropertyList(value)); }
  // A tool that prints output whatever its arguments.
  void writeTool(std::string_view systemPath, std::string_view output) {
    put(systemPath, "#!/bin/sh\n");
    outputs[std::string(systemPath)] = std::string(output);
  }

  std::map<std::string, std::string> outputs;
  std::vector<std::pair<std::string, std::vector<std::string>>> runs;

  ToolRun runTool(std::string_view systemPath, const std::vector<std::string>& args) override {
    runs.emplace_back(std::string(systemPath), args);
    auto it = outputs.find(std::string(systemPath));
    if (it == outputs.end()) return {};
    return {.output = it->second, .exitStatus = 0, .started = true};
  }

  size_t runsOf(std::string_view systemPath) const {
    size_t n = 0;
    for (const auto& run : runs) n += run.first == systemPath;
    return n;
  }
};
using ScriptedTools = SystemRoot;

// The same in a host folder, for tests that run the command-line program on it.
class SystemFolder {
 public:
  explicit SystemFolder(std::string_view version) {
    if (!version.empty())
      folder_.write("System/Library/CoreServices/SystemVersion.plist", toXmlPropertyList(systemVersion(version)));
  }
  const std::string& path() const { return folder_.path(); }
  void write(std::string_view systemPath, std::string_view bytes) const { folder_.write(relative(systemPath), bytes); }
  void writePlist(std::string_view systemPath, const Value& value) const {
    write(systemPath, toXmlPropertyList(value));
  }
  // A tool that prints output whatever its arguments.
  void writeTool(std::string_view systemPath, std::string_view output) const {
    std::string data = folder_.write(relative(systemPath) + ".out", output);
    folder_.write(relative(systemPath), "#!/bin/sh\ncat '" + data + "'\n", true);
  }

 private:
  static std::string relative(std::string_view systemPath) {
    return std::string(systemPath.starts_with('/') ? systemPath.substr(1) : systemPath);
  }
  corvane::testing::TempFolder folder_;
};

inline PlatformOptions optionsFor(const std::string& root) {
  return {.root = root, .home = "/Users/user", .pauses = false, .syslog = false};
}

}  // namespace testing
}  // namespace corvane
