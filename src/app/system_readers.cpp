#include "app/system_readers.h"

#include "core/authorizer.h"
#include "inspect/get_network.h"
#include "inspect/tcpip.h"
#include "inventory/app_versions.h"
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

  // The start-up volume and every folder under /Volumes.
  std::vector<std::string> mountedLocalVolumePaths() override {
    std::vector<std::string> paths = {"/"};
    for (const std::string& name : platform_.listFolder("/Volumes"))
      if (platform_.isDirectory("/Volumes/" + name)) paths.push_back("/Volumes/" + name);
    return paths;
  }

  bool OnRepair(ProviderDatas& prvs) override {
    SystemAuthorizer authorizer(platform_);
    RepairOutcome outcome = corvane::OnRepair(platform_, authorizer, prvs);
    if (!outcome.applied) platform_.log("The network repair was not applied: " + outcome.failure);
    return outcome.applied;
  }

  RepairPlan planRepair(const ProviderDatas& prvs) override { return corvane::planRepair(platform_, prvs); }

 private:
  Platform& platform_;
};

}  // namespace

std::unique_ptr<CheckReaders> makeSystemReaders(Platform& platform) {
  return std::make_unique<SystemReaders>(platform);
}

}  // namespace corvane
