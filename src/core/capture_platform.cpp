#include "core/capture_platform.h"

#include <sys/stat.h>

#include <algorithm>
#include <charconv>
#include <fstream>
#include <utility>

#include "core/capture_archive.h"
#include "core/file_read.h"
#include "core/text.h"

namespace corvane {
namespace {

constexpr size_t kMaxRecordedStatusBytes = 4096;
constexpr size_t kMaxManifestBytes = 1024 * 1024;

// The tools the earlier corvane-capture replayed by scripts at their paths.
constexpr const char* kReplayedTools[] = {
    "/sbin/ifconfig", "/bin/ps", "/usr/bin/nslookup", "/usr/bin/dig", "/usr/sbin/system_profiler", "/bin/df"};

// "key: value" lines, each key once (the first wins).
std::map<std::string, std::string> keyedLines(std::string_view text) {
  std::map<std::string, std::string> values;
  for (const std::string& line : splitText(text, "\n")) {
    const size_t colon = line.find(':');
    if (colon == std::string::npos) continue;
    std::string value = line.substr(colon + 1);
    if (!value.empty() && value.front() == ' ') value.erase(0, 1);
    if (!value.empty() && value.back() == '\r') value.pop_back();
    values.emplace(line.substr(0, colon), std::move(value));
  }
  return values;
}

template <class Number>
Number numberOf(const std::string& text, Number fallback) {
  Number value = fallback;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end != text.data() ? value : fallback;
}

// The first `cap` bytes of a regular file; cut tells that it is longer.
std::optional<std::string> readFilePrefix(const std::string& hostPath, size_t cap, bool& cut) {
  std::ifstream in(hostPath, std::ios::binary);
  if (!in) return std::nullopt;
  std::string bytes(cap + 1, '\0');
  in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (in.bad()) return std::nullopt;
  bytes.resize(static_cast<size_t>(in.gcount()));
  cut = bytes.size() > cap;
  if (cut) bytes.resize(cap);
  return bytes;
}

std::string rootFile(std::string root, std::string_view systemPath) {
  while (root.size() > 1 && root.back() == '/') root.pop_back();
  return root + std::string(systemPath);
}

bool isRootSystem(const std::string& rootFolder) {
  return rootFolder.empty() || rootFolder.find_first_not_of('/') == std::string::npos;
}

}  // namespace

std::vector<std::string> parseRecordedCommand(std::string_view text) {
  std::vector<std::string> command = splitText(text, "\n");
  // The last argument's line break leaves an empty piece.
  if (!command.empty() && command.back().empty()) command.pop_back();
  if (command.empty() || command.front().empty() || command.front().front() != '/') return {};
  return command;
}

void applyRecordedStatus(std::string_view text, ToolRun& run) {
  const auto values = keyedLines(text);
  const auto said = [&](const char* key) {
    const auto found = values.find(key);
    return found == values.end() ? std::string() : found->second;
  };
  run.started = said("started") == "yes";
  run.exitStatus = numberOf(said("exit"), -1);
  run.timedOut = said("timed-out") == "yes";
  run.outputCapped = said("cut") == "yes";
}

std::optional<LineRecording> parseLineRecording(std::string_view text) {
  auto values = keyedLines(text);
  LineRecording line;
  line.url = values["url"];
  if (line.url.empty()) return std::nullopt;
  line.httpStatus = numberOf(values["http-status"], 0L);
  line.bytes = numberOf(values["bytes"], uint64_t{0});
  line.seconds = numberOf(values["seconds"], 0.0);
  line.curlExit = numberOf(values["curl-exit"], -1);
  line.error = values["error"];
  return line;
}

CapturePlatform::CapturePlatform(PlatformOptions options) : Platform(options), outputCap_(options.toolOutputCap) {
  manifest_ = readCaptureManifest(*this).value_or(CaptureManifest{});
  if (entryKind("/corvane-capture/line") == EntryKind::folder && entryKind(kCaptureLinePath) == EntryKind::file)
    if (const auto text = readWholeFile(hostPath(kCaptureLinePath), kMaxRecordedStatusBytes))
      line_ = parseLineRecording(*text);

  if (entryKind("/corvane-capture") != EntryKind::folder || entryKind(kCaptureRunsPath) != EntryKind::folder) return;
  // The runs in the order they were made; a command recorded twice answers
  // with its first run.
  std::vector<std::pair<unsigned long, std::string>> numbered;
  for (const FolderEntry& entry : listFolderEntries(kCaptureRunsPath)) {
    if (entry.kind != EntryKind::folder || entry.name.size() > 9 ||
        entry.name.find_first_not_of("0123456789") != std::string::npos)
      continue;
    numbered.emplace_back(numberOf(entry.name, 0UL), entry.name);
  }
  std::sort(numbered.begin(), numbered.end());
  if (numbered.size() > kMaxRecordedRuns) numbered.resize(kMaxRecordedRuns);
  for (const auto& [number, name] : numbered) {
    const std::string folder = std::string(kCaptureRunsPath) + "/" + name;
    if (entryKind(folder + "/command") != EntryKind::file) continue;
    const auto text = readWholeFile(hostPath(folder + "/command"), kMaxRecordedCommandBytes);
    std::vector<std::string> command = text ? parseRecordedCommand(*text) : std::vector<std::string>{};
    if (!command.empty()) runs_.emplace(std::move(command), folder);
  }
}

ToolRun CapturePlatform::runTool(std::string_view systemPath, const std::vector<std::string>& args) {
  ToolRun run;
  if (toolsStopped()) return run;
  std::vector<std::string> command{std::string(systemPath)};
  command.insert(command.end(), args.begin(), args.end());
  const auto found = runs_.find(command);
  if (found == runs_.end()) {
    verboseLog("no recording of " + joinTexts(command, " ") + " in the capture: not run");
    return run;
  }
  const std::string& folder = found->second;
  if (entryKind(folder + "/status") == EntryKind::file)
    if (const auto text = readWholeFile(hostPath(folder + "/status"), kMaxRecordedStatusBytes))
      applyRecordedStatus(*text, run);
  if (!run.started || entryKind(folder + "/output") != EntryKind::file) return run;
  bool cut = false;
  std::string output = readFilePrefix(hostPath(folder + "/output"), outputCap_, cut).value_or("");
  if (cut) run.outputCapped = true;
  output.resize(untilNul(output).size());
  run.output = std::move(output);
  return run;
}

std::optional<std::vector<RecordedVolume>> CapturePlatform::readRecordedVolumes() const {
  const ToolRun df = const_cast<CapturePlatform*>(this)->CapturePlatform::runTool("/bin/df", {"-k"});
  return df.started ? parseDfOutput(df.output) : std::vector<RecordedVolume>{};
}

const CapturePlatform* asCapture(const Platform& platform) { return dynamic_cast<const CapturePlatform*>(&platform); }

namespace {

bool holdsCaptureManifest(const std::string& rootFolder) {
  struct stat st {};
  return !isRootSystem(rootFolder) && ::lstat(rootFile(rootFolder, kCaptureManifestPath).c_str(), &st) == 0;
}

}  // namespace

bool rootIsCapture(const std::string& rootFolder) {
  if (isRootSystem(rootFolder)) return false;
  // Whatever came in an archive is data, manifest or not.
  return rootDisplayName(rootFolder) != rootFolder || holdsCaptureManifest(rootFolder);
}

std::string earlierCaptureRefusal(const std::string& rootFolder, const std::string& displayName) {
  if (!holdsCaptureManifest(rootFolder)) return "";
  const auto text = readWholeFile(rootFile(rootFolder, kCaptureManifestPath), kMaxManifestBytes);
  const auto manifest = text ? parseCaptureManifest(*text) : std::nullopt;
  bool earlier = !manifest || manifest->scriptVersion < kCaptureFormatVersion;
  struct stat st {};
  if (!earlier && ::lstat(rootFile(rootFolder, kCaptureRunsPath).c_str(), &st) != 0)
    for (const char* tool : kReplayedTools)
      if (::lstat(rootFile(rootFolder, tool).c_str(), &st) == 0) earlier = true;
  if (!earlier) return "";
  return displayName + " was made by an earlier corvane-capture, which this version does not read: capture again";
}

std::string openRoot(const std::string& rootArgument, std::string& failure) {
  std::string folder = openRootForReading(rootArgument, failure);
  if (folder.empty()) return "";
  failure = earlierCaptureRefusal(folder, rootArgument);
  return failure.empty() ? folder : "";
}

std::unique_ptr<Platform> makeRootPlatform(PlatformOptions options, const PlatformMakers& makers) {
  if (rootIsCapture(options.root))
    return makers.capture ? makers.capture(std::move(options)) : std::make_unique<CapturePlatform>(std::move(options));
  return makers.system ? makers.system(std::move(options)) : std::make_unique<Platform>(std::move(options));
}

}  // namespace corvane
