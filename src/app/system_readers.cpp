#include "app/system_readers.h"

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

  std::string getOS() override { return corvane::getOS(platform_); }
  std::string getHDD() override { return corvane::getHDD(platform_); }
  Value getSystemProfile(std::string_view dataType) override { return corvane::getSystemProfile(platform_, dataType); }
  Value getNetwork() override { return corvane::getNetwork(platform_); }
  Value getTCPIP() override { return corvane::getTCPIP(platform_); }
  Value getBrowser() override { return corvane::getBrowser(platform_); }
  Value getMail() override { return corvane::getMail(platform_); }

  std::vector<std::string> mountedLocalVolumePaths() override { return corvane::mountedLocalVolumePaths(platform_); }

  bool OnRepair(ProviderDatas& prvs) override {
    SystemAuthorizer authorizer(platform_);
    RepairOutcome outcome = corvane::OnRepair(platform_, authorizer, prvs);
    if (!outcome.applied) platform_.verboseLog("The network repair was not applied: " + outcome.failure);
    return outcome.applied;
  }

 private:
  Platform& platform_;
};

}  // namespace

std::unique_ptr<CheckReaders> makeSystemReaders(Platform& platform) {
  return std::make_unique<SystemReaders>(platform);
}

}  // namespace corvane
