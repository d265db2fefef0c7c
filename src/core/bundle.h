#pragma once
// The application bundle: the folder that holds the program's resources (the
// provider file, localized strings, images, help), laid out as
// <bundle>/Contents/Resources/.

#include <string>
#include <string_view>

namespace corvane {

class Bundle {
 public:
  explicit Bundle(std::string folder);

  // The bundle next to the running program ("Corvane.app" beside it, or the
  // installed share/corvane/Corvane.app), else the one in the build tree.
  static Bundle locate();

  const std::string& folder() const { return folder_; }
  std::string resourcesFolder() const { return folder_ + "/Contents/Resources"; }

  // Host path of the resource name.type; the empty text when it is missing.
  std::string resourcePath(std::string_view name, std::string_view type) const;

  // The bundle identifier of the program.
  static constexpr std::string_view identifier = "jp.corvane.Corvane";

 private:
  std::string folder_;
};

}  // namespace corvane
