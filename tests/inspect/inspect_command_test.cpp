// corvane-cli inspect network / tcpip, run as a user runs them.

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <string>

#include "inspect/get_port.h"
#include "inspect_fixture.h"
#include "support/cli_runner.h"

namespace corvane {
namespace {

using testing::CliRun;
using testing::runCorvaneCli;

TEST(InspectCommand, NetworkAnswersNamedFields) {
  CliRun run = runCorvaneCli({"inspect", "network", "--root", testing::sysrootPath("net-10.6.8")});
  ASSERT_EQ(run.status, 0) << run.err;
  auto expected = nlohmann::json::parse(R"({"current": "Automatic", "locations": [{"name": "Automatic", "ports": [
    {"name": "Ethernet", "mac": "00:1f:5b:3c:9a:01",
     "proxies": {"http": "proxy.example.net:8080", "socks": null, "ftp": null, "gopher": null, "https": null,
                 "rtsp": null, "mail": null, "automatic": null,
                 "exceptions": ["*.local", "169.254/16", "intranet.example.com"], "anySet": true}},
    {"name": "AirPort", "mac": "00:1f:5b:3c:9a:02",
     "proxies": {"http": null, "socks": null, "ftp": null, "gopher": null, "https": null, "rtsp": null,
                 "mail": null, "automatic": null, "exceptions": ["*.local", "169.254/16"], "anySet": false}},
    {"name": "FireWire", "mac": "00:1f:5b:ff:fe:3c",
     "proxies": {"http": null, "socks": null, "ftp": null, "gopher": null, "https": null, "rtsp": null,
                 "mail": null, "automatic": null, "exceptions": ["*.local", "169.254/16"], "anySet": false}}]}]})");
  EXPECT_EQ(nlohmann::json::parse(run.out), expected);
}

TEST(InspectCommand, TcpipAnswersNamedFieldsWithNullForNotFound) {
  CliRun run = runCorvaneCli({"inspect", "tcpip", "--root", testing::sysrootPath("net-10.4.11")});
  ASSERT_EQ(run.status, 0) << run.err;
  auto services = nlohmann::json::parse(run.out)["services"];
  ASSERT_EQ(services.size(), 3u);
  EXPECT_EQ(services[0], nlohmann::json::parse(R"({"interface": "ppp0", "address": "203.0.113.45",
    "subnetMask": "255.0.0.0", "broadcast": "203.0.113.1", "ipv6Addresses": [], "method": "PPP",
    "dnsServerInUse": "198.51.100.53", "dnsServers": [], "searchDomains": [], "ipv6Method": "Automatic"})"));
  EXPECT_EQ(services[1]["address"], nullptr);
  EXPECT_EQ(services[1]["dnsServerInUse"], nullptr);
  EXPECT_EQ(run.out.find("----------"), std::string::npos);
}

TEST(InspectCommand, RawNetworkPrintsThePortListAsNestedArrays) {
  CliRun run = runCorvaneCli({"inspect", "network", "--raw", "--root", testing::sysrootPath("net-10.6.8")});
  ASSERT_EQ(run.status, 0) << run.err;
  auto expected = nlohmann::json::parse(R"([
    "Automatic",
    ["Automatic", [
      ["Ethernet", "00:1f:5b:3c:9a:01",
       ["proxy.example.net:8080", "", "", "", "", "", "", "", ["*.local", "169.254/16", "intranet.example.com"], "OK"]],
      ["AirPort", "00:1f:5b:3c:9a:02", ["", "", "", "", "", "", "", "", ["*.local", "169.254/16"]]],
      ["FireWire", "00:1f:5b:ff:fe:3c", ["", "", "", "", "", "", "", "", ["*.local", "169.254/16"]]]]]])");
  EXPECT_EQ(nlohmann::json::parse(run.out), expected);
}

TEST(InspectCommand, RawTcpipPrintsSixItemRecords) {
  CliRun run = runCorvaneCli({"inspect", "tcpip", "--raw", "--root", testing::sysrootPath("net-10.4.11")});
  ASSERT_EQ(run.status, 0) << run.err;
  auto expected = nlohmann::json::parse(R"([
    [["ppp0", "203.0.113.45", "255.0.0.0", "203.0.113.1"], "PPP", "198.51.100.53", [], [], "Automatic"],
    [["", "----------", "----------", "----------"], "DHCP", "----------", [], [], "Automatic"],
    [["", "----------", "----------", "----------"], "DHCP", "----------", [], [], "Automatic"]])");
  EXPECT_EQ(nlohmann::json::parse(run.out), expected);
}

TEST(InspectCommand, MissingOrBrokenStoresPrintAnEmptyList) {
  testing::SystemFolder empty("10.6.8");
  testing::SystemFolder broken("10.6.8");
  broken.write(kStorePath, std::string("bplist00\xff\xfe garbage", 18));
  for (const auto* root : {&empty, &broken}) {
    for (const char* what : {"network", "tcpip"}) {
      CliRun run = runCorvaneCli({"inspect", what, "--raw", "--root", root->path()});
      EXPECT_EQ(run.status, 0) << what;
      EXPECT_EQ(run.out, "[]\n") << what;
      EXPECT_EQ(run.err, "") << what;
    }
    EXPECT_EQ(nlohmann::json::parse(runCorvaneCli({"inspect", "network", "--root", root->path()}).out),
              nlohmann::json::parse(R"({"current": null, "locations": []})"));
    EXPECT_EQ(nlohmann::json::parse(runCorvaneCli({"inspect", "tcpip", "--root", root->path()}).out),
              nlohmann::json::parse(R"({"services": []})"));
  }
}

TEST(InspectCommand, TextsThatAreNotUTF8DoNotBreakTheOutput) {
  testing::SystemFolder root("10.6.8");
  root.writeTool("/sbin/ifconfig", "en\xff\xfe: flags=1<UP> mtu 1500\n\tinet 192.0.2.1 netmask 0xffffff00\n");
  root.writeTool("/bin/ps", "");
  root.writePlist(
      kStorePath,
      testing::dict(
          {{"CurrentSet", "/Sets/0"},
           {"NetworkServices",
            testing::dict({{"S", testing::dict({{"Interface", testing::dict({{"DeviceName", "en\xff\xfe"}})}})}})},
           {"Sets",
            testing::dict(
                {{"0",
                  testing::dict(
                      {{"Network",
                        testing::dict(
                            {{"Global",
                              testing::dict({{"IPv4", testing::dict({{"ServiceOrder", Value::strings({"r"})}})}})},
                             {"Service",
                              testing::dict({{"r", testing::dict({{"__LINK__", "/NetworkServices/S"}})}})}})}})}})}}));
  CliRun run = runCorvaneCli({"inspect", "tcpip", "--raw", "--root", root.path()});
  EXPECT_EQ(run.status, 0) << run.err;
  auto records = nlohmann::json::parse(run.out, nullptr, false);
  ASSERT_FALSE(records.is_discarded()) << run.err;
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0][0][1], "192.0.2.1");
}

}  // namespace
}  // namespace corvane
