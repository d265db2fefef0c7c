#include "core/recorded_volumes.h"

#include <algorithm>

#include "core/text.h"

namespace corvane {
namespace {

bool isCount(std::string_view text) {
  if (text.empty() || text.size() > 19) return false;
  for (char c : text)
    if (c < '0' || c > '9') return false;
  return true;
}

bool isPercent(std::string_view text) {
  return text.size() >= 2 && text.back() == '%' && isCount(text.substr(0, text.size() - 1));
}

struct Word {
  std::string text;
  size_t end = 0;  // offset just past the word in its line
};

std::vector<Word> wordsOf(const std::string& line) {
  std::vector<Word> words;
  size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    const size_t start = i;
    while (i < line.size() && line[i] != ' ' && line[i] != '\t') ++i;
    if (i > start) words.push_back({line.substr(start, i - start), i});
  }
  return words;
}

}  // namespace

std::vector<RecordedVolume> parseDfOutput(std::string_view text) {
  std::vector<RecordedVolume> volumes;
  for (const std::string& line : splitText(text, "\n")) {
    const std::vector<Word> words = wordsOf(line);
    // The first "NN%" word after three counts is the capacity; the file
    // system's name before them may hold spaces.
    size_t capacity = 0;
    for (size_t i = 3; i < words.size() && capacity == 0; ++i)
      if (isPercent(words[i].text) && isCount(words[i - 1].text) && isCount(words[i - 2].text) &&
          isCount(words[i - 3].text))
        capacity = i;
    if (capacity == 0) continue;
    size_t last = capacity;
    // iused, ifree, %iused
    if (last + 3 < words.size() && isCount(words[last + 1].text) && isCount(words[last + 2].text) &&
        isPercent(words[last + 3].text))
      last += 3;
    if (last + 1 >= words.size()) continue;
    std::string mount = line.substr(words[last].end);
    const size_t first = mount.find_first_not_of(" \t");
    mount = first == std::string::npos ? std::string() : mount.substr(first);
    while (!mount.empty() && (mount.back() == ' ' || mount.back() == '\t' || mount.back() == '\r')) mount.pop_back();
    if (mount.empty() || mount.front() != '/') continue;
    RecordedVolume volume;
    volume.fileSystem = line.substr(0, words[capacity - 3].end - words[capacity - 3].text.size());
    while (!volume.fileSystem.empty() && (volume.fileSystem.back() == ' ' || volume.fileSystem.back() == '\t'))
      volume.fileSystem.pop_back();
    volume.mountPoint = mount;
    volume.totalBytes = std::stoull(words[capacity - 3].text) * 1024;
    volume.freeBytes = std::stoull(words[capacity - 1].text) * 1024;
    volumes.push_back(std::move(volume));
  }
  return volumes;
}

const RecordedVolume* volumeHolding(const std::vector<RecordedVolume>& volumes, std::string_view systemPath) {
  const RecordedVolume* best = nullptr;
  for (const RecordedVolume& volume : volumes) {
    const std::string& mount = volume.mountPoint;
    const bool holds =
        mount == "/" || systemPath == mount ||
        (systemPath.starts_with(mount) && systemPath.size() > mount.size() && systemPath[mount.size()] == '/');
    if (holds && (!best || mount.size() > best->mountPoint.size())) best = &volume;
  }
  return best;
}

bool isNetworkFileSystemName(std::string_view fileSystem) {
  return fileSystem.starts_with("//") || fileSystem.starts_with("afp_") ||
         fileSystem.find(":/") != std::string_view::npos;
}

std::vector<std::string> localMountPoints(const std::vector<RecordedVolume>& volumes) {
  std::vector<std::string> mounts;
  for (const RecordedVolume& volume : volumes) {
    const std::string& mount = volume.mountPoint;
    if (mount != "/" && !mount.starts_with("/Volumes/")) continue;
    if (isNetworkFileSystemName(volume.fileSystem)) continue;
    if (std::find(mounts.begin(), mounts.end(), mount) == mounts.end()) mounts.push_back(mount);
  }
  return mounts;
}

}  // namespace corvane
