#include "core/authorizer.h"

#include <unistd.h>

namespace corvane {
namespace {

// The rights probe waits for the user at the password dialog.
constexpr double kRightsDialogSeconds = 300.0;

}  // namespace

Authorizer::~Authorizer() = default;

SystemAuthorizer::SystemAuthorizer(Platform& platform, std::string pkexecPath)
    : platform_(platform), pkexecPath_(std::move(pkexecPath)) {}

bool SystemAuthorizer::obtainRights() {
  if (!platform_.rootIsSystem()) {
    granted_ = true;
    return true;
  }
  if (::access(pkexecPath_.c_str(), X_OK) != 0) return false;
  // pkexec asks for the password when it starts a tool; running /bin/true
  // first makes that dialog come here, before anything is changed.
  ToolRun probe = platform_.runToolWithin(kRightsDialogSeconds, pkexecPath_, {"/bin/true"});
  granted_ = probe.started && probe.exitStatus == 0;
  return granted_;
}

ToolRun SystemAuthorizer::runPrivileged(std::string_view systemPath, const std::vector<std::string>& args) {
  if (!granted_) return {};
  if (!platform_.rootIsSystem()) return platform_.runToolWithin(kPrivilegedToolSeconds, systemPath, args);
  std::vector<std::string> pkexecArgs{std::string(systemPath)};
  pkexecArgs.insert(pkexecArgs.end(), args.begin(), args.end());
  return platform_.runToolWithin(kPrivilegedToolSeconds, pkexecPath_, pkexecArgs);
}

void SystemAuthorizer::releaseRights() { granted_ = false; }

}  // namespace corvane
