#pragma once
// Administrator rights for the steps that rewrite the system's configuration.
//
// The repair asks once for the right "system.privilege.admin"; once granted,
// it runs its privileged tools through the same authorizer and releases the
// rights at its end. Tests hand the repair an authorizer that grants or
// refuses on cue.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/platform.h"

namespace corvane {

class Authorizer {
 public:
  virtual ~Authorizer();

  // Asks for administrator rights (the system may show its password dialog).
  // True when they were granted.
  virtual bool obtainRights() = 0;

  // Runs the tool at a system path with administrator rights, waits for it
  // and returns how it ended. Only valid after obtainRights gave true; without
  // rights the tool is not started (started == false).
  virtual ToolRun runPrivileged(std::string_view systemPath, const std::vector<std::string>& args) = 0;

  // Gives the rights up; later privileged runs are refused.
  virtual void releaseRights() = 0;
};

// The authorizer of a real run.
//
// Under a system root other than "/" the root is the user's own folder: the
// rights are granted without a dialog and the tools run as the user, at their
// paths under the root. On "/" the tools run through pkexec, whose password
// dialog stands for the system's; without pkexec the rights are refused.
class SystemAuthorizer : public Authorizer {
 public:
  explicit SystemAuthorizer(Platform& platform, std::string pkexecPath = "/usr/bin/pkexec");

  bool obtainRights() override;
  ToolRun runPrivileged(std::string_view systemPath, const std::vector<std::string>& args) override;
  void releaseRights() override;

 private:
  Platform& platform_;
  std::string pkexecPath_;
  bool granted_ = false;
};

}  // namespace corvane
