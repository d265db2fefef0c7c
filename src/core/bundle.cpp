#include "core/bundle.h"

#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <vector>

namespace corvane {

namespace {

bool isFolder(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string programFolder() {
  char buffer[PATH_MAX];
  ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (n <= 0) return {};
  std::string path(buffer, static_cast<size_t>(n));
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

}  // namespace

Bundle::Bundle(std::string folder) : folder_(std::move(folder)) {
  while (folder_.size() > 1 && folder_.back() == '/') folder_.pop_back();
}

Bundle Bundle::locate() {
  const std::string here = programFolder();
  std::vector<std::string> candidates;
  if (!here.empty()) {
    candidates.push_back(here + "/Corvane.app");
    candidates.push_back(here + "/../share/corvane/Corvane.app");
  }
#ifdef CORVANE_BUILD_BUNDLE
  candidates.push_back(CORVANE_BUILD_BUNDLE);
#endif
  for (const auto& c : candidates)
    if (isFolder(c)) return Bundle(c);
  return Bundle(candidates.empty() ? std::string("Corvane.app") : candidates.front());
}

std::string Bundle::resourcePath(std::string_view name, std::string_view type) const {
  std::string path = resourcesFolder() + "/" + std::string(name) + "." + std::string(type);
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) ? path : std::string();
}

}  // namespace corvane
