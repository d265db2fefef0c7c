#include "app/system_readers.h"

#include <exception>

#include "core/authorizer.h"
#include "inspect/get_network.h"
#include "inspect/tcpip.h"
#include "inventory/app_versions.h"
#include "inventory/local_volumes.h"
#include "inventory/mail_discovery.h"
#include "inventory/system_info.h"
#include "provider/provider_datas.h"
#include "repair/network_repair.h"

namespace corvane {
namespace {

class SystemReaders : public CheckReaders {
 public:
  explicit SystemReaders(Platform& platform) : platform_(platform) {}

  std::string getOS() override {
    return guarded("getOS", [&] { return corvane::getOS(platform_); });
  }
  std::string getHDD() override {
    return guarded("getHDD", [&] { return corvane::getHDD(platform_); });
  }
  Value getSystemProfile(std::string_view dataType) override {
    return guarded("getSystemProfile", [&] { return corvane::getSystemProfile(platform_, dataType); });
  }
  Value getNetwork() override {
    return guarded("getNetwork", [&] { return corvane::getNetwork(platform_); });
  }
  Value getTCPIP() override {
    return guarded("getTCPIP", [&] { return corvane::getTCPIP(platform_); });
  }
  Value getBrowser() override {
    return guarded("getBrowser", [&] { return corvane::getBrowser(platform_); });
  }
  Value getMail() override {
    return guarded("getMail", [&] { return corvane::getMail(platform_); });
  }

  std::vector<std::string> mountedLocalVolumePaths() override { return corvane::mountedLocalVolumePaths(platform_); }

  bool OnRepair(ProviderDatas& prvs) override {
    return guarded("OnRepair", [&] {
      SystemAuthorizer authorizer(platform_);
      RepairOutcome outcome = corvane::OnRepair(platform_, authorizer, prvs);
      if (!outcome.applied) platform_.verboseLog("The network repair was not applied: " + outcome.failure);
      return outcome.applied;
    });
  }

  RepairPlan planRepair(const ProviderDatas& prvs) override { return corvane::planRepair(platform_, prvs); }

 private:
  // A reader that fails (memory running out on a huge answer) gives its
  // "not found" result; the failure goes to the log, never further up.
  template <typename Read>
  auto guarded(const char* name, Read read) -> decltype(read()) {
    try {
      return read();
    } catch (const std::exception& error) {
      logFailure(name, error.what());
    } catch (...) {
      logFailure(name, "unknown error");
    }
    return {};
  }
  void logFailure(const char* name, const char* what) {
    try {
      platform_.verboseLog(std::string(name) + " failed: " + what);
    } catch (...) {
    }
  }

  Platform& platform_;
};

}  // namespace

std::unique_ptr<CheckReaders> makeSystemReaders(Platform& platform) {
  return std::make_unique<SystemReaders>(platform);
}

}  // namespace corvane
