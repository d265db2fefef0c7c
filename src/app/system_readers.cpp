#include "app/system_readers.h"

#include <algorithm>

#include "provider/provider_datas.h"

#if __has_include("inspect/get_network.h")
#include "inspect/get_network.h"
#include "inspect/tcpip.h"
#define CORVANE_HAVE_INSPECT 1
#endif
#if __has_include("inventory/system_info.h")
#include "inventory/app_versions.h"
#include "inventory/mail_discovery.h"
#include "inventory/system_info.h"
#define CORVANE_HAVE_INVENTORY 1
#endif
#if __has_include("repair/network_repair.h")
#include "core/authorizer.h"
#include "repair/network_repair.h"
#define CORVANE_HAVE_REPAIR 1
#endif

namespace corvane {
namespace {

class SystemReaders : public CheckReaders {
 public:
  explicit SystemReaders(Platform& platform) : platform_(platform) {}

#if CORVANE_HAVE_INVENTORY
  std::string getOS() override { return corvane::getOS(platform_); }
  std::string getHDD() override { return corvane::getHDD(platform_); }
  Value getSystemProfile(std::string_view dataType) override { return corvane::getSystemProfile(platform_, dataType); }
  Value getBrowser() override { return corvane::getBrowser(platform_); }
  Value getMail() override { return corvane::getMail(platform_); }
#else
  std::string getOS() override { return ""; }
  std::string getHDD() override { return ""; }
  Value getSystemProfile(std::string_view) override { return Value(Value::Array{}); }
  Value getBrowser() override { return Value(Value::Array{}); }
  Value getMail() override { return Value(Value::Array{}); }
#endif

#if CORVANE_HAVE_INSPECT
  Value getNetwork() override { return corvane::getNetwork(platform_); }
  Value getTCPIP() override { return corvane::getTCPIP(platform_); }
#else
  Value getNetwork() override { return Value(Value::Array{}); }
  Value getTCPIP() override { return Value(Value::Array{}); }
#endif

  // The start-up volume and every folder under /Volumes.
  std::vector<std::string> mountedLocalVolumePaths() override {
    std::vector<std::string> paths = {"/"};
    for (const std::string& name : platform_.listFolder("/Volumes"))
      if (platform_.isDirectory("/Volumes/" + name)) paths.push_back("/Volumes/" + name);
    return paths;
  }

#if CORVANE_HAVE_REPAIR
  bool OnRepair(ProviderDatas& prvs) override {
    SystemAuthorizer authorizer(platform_);
    RepairOutcome outcome = corvane::OnRepair(platform_, authorizer, prvs);
    if (!outcome.applied) platform_.log("repair not applied: " + outcome.failure);
    return outcome.applied;
  }
#else
  bool OnRepair(ProviderDatas&) override { return false; }
#endif

 private:
  Platform& platform_;
};

}  // namespace

std::unique_ptr<CheckReaders> makeSystemReaders(Platform& platform) {
  return std::make_unique<SystemReaders>(platform);
}

}  // namespace corvane
