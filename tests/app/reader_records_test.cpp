// The readers' lists read under names: every documented form, and lists that
// are short or hold the wrong types.

#include "app/reader_records.h"

#include <gtest/gtest.h>

#include "app_fixture.h"

namespace corvane::testing {
namespace {

using Texts = std::vector<std::string>;

TEST(ReaderRecords, ProxyListsOfBothLayouts) {
  const Texts seven = {"web:80", "socks:1080", "ftp:21", "", "secure:443", "", ""};
  struct Case {
    const char* name;
    Value list;
    bool hasAutomatic;
    std::string automatic;
    Texts exceptions;
    bool complete;
  };
  const Case cases[] = {
      {"10.3.2 and later, every element",
       proxyList(seven, {"*.local", "10/8"}, "http://pac"),
       true,
       "http://pac",
       {"*.local", "10/8"},
       true},
      {"before 10.3.2, exceptions follow the protocols",
       proxyList(seven, {"*.local"}, std::nullopt),
       false,
       "",
       {"*.local"},
       true},
      {"an older list read as a newer one is short", proxyList(seven, {"*.local"}, std::nullopt), true, "", {}, false},
      {"every proxy off", noProxies(true), true, "", {}, false},
      {"no list", Value(), true, "", {}, false},
      {"a text instead of a list", Value("proxy"), true, "", {}, false},
  };
  for (const auto& c : cases) {
    const ProxyList proxies = ProxyList::fromList(c.list, c.hasAutomatic);
    EXPECT_EQ(proxies.automatic, c.automatic) << c.name;
    EXPECT_EQ(proxies.exceptions, c.exceptions) << c.name;
    EXPECT_EQ(proxies.complete, c.complete) << c.name;
  }
  const ProxyList full = ProxyList::fromList(proxyList(seven, {}, ""), true);
  EXPECT_EQ(full[ProxyProtocol::Http], "web:80");
  EXPECT_EQ(full[ProxyProtocol::Socks], "socks:1080");
  EXPECT_EQ(full[ProxyProtocol::Https], "secure:443");
  EXPECT_EQ(full[ProxyProtocol::Mail], "");
}

TEST(ReaderRecords, PortEntriesOfOneTwoAndThreeElements) {
  const Value proxies = proxyList({"web:80", "", "", "", "", "", ""});
  struct Case {
    const char* name;
    Value entry;
    std::string port, mac, http;
  };
  const Case cases[] = {
      {"name, address and proxies", portEntry("Built-in Ethernet", "00:0a:95:01:02:03", proxies), "Built-in Ethernet",
       "00:0a:95:01:02:03", "web:80"},
      {"name and proxies", Value(Value::Array{Value("Modem"), proxies}), "Modem", "", "web:80"},
      {"name only", Value(Value::Array{Value("Bluetooth")}), "Bluetooth", "", ""},
      {"a text where the proxies belong", Value::strings({"AirPort", "00:11:22:33:44:55", "none"}), "AirPort",
       "00:11:22:33:44:55", ""},
      {"not a list", Value("en0"), "", "", ""},
  };
  for (const auto& c : cases) {
    const PortEntry entry = PortEntry::fromList(c.entry, true);
    EXPECT_EQ(entry.port, c.port) << c.name;
    EXPECT_EQ(entry.mac, c.mac) << c.name;
    EXPECT_EQ(entry.proxies[ProxyProtocol::Http], c.http) << c.name;
    EXPECT_TRUE(entry.proxyList.isArray()) << c.name;
  }
}

TEST(ReaderRecords, TcpipRecordTakesTheRoutableIpv6Address) {
  struct Case {
    const char* name;
    Texts ipv6;
    std::optional<std::string> expected;
  };
  const Case cases[] = {
      {"none", {}, std::nullopt},
      {"one", {"fe80::1"}, "fe80::1"},
      {"link-local, then routable", {"fe80::1", "2001:db8::5"}, "2001:db8::5"},
      {"three", {"fe80::1", "2001:db8::5", "2001:db8::6"}, "2001:db8::5"},
  };
  for (const auto& c : cases) {
    const TcpipRecord record = TcpipRecord::fromList(tcpipRecord("192.168.1.5", "DHCP", "192.168.1.1", c.ipv6));
    EXPECT_EQ(record.address.ipv6Address, c.expected) << c.name;
    EXPECT_EQ(record.address.interfaceName, "en0") << c.name;
    EXPECT_EQ(record.address.address, "192.168.1.5") << c.name;
    EXPECT_EQ(record.address.subnetMask, "255.255.255.0") << c.name;
    EXPECT_EQ(record.method, "DHCP") << c.name;
    EXPECT_EQ(record.dnsServerInUse, "192.168.1.1") << c.name;
    EXPECT_EQ(record.dnsServers, Texts{"192.168.1.1"}) << c.name;
    EXPECT_EQ(record.searchDomains, Texts{"example.jp"}) << c.name;
    EXPECT_EQ(record.ipv6Method, "Automatic") << c.name;
  }
  const TcpipRecord shortRecord = TcpipRecord::fromList(Value(Value::Array{Value::strings({"ppp0", "10.0.0.2"})}));
  EXPECT_EQ(shortRecord.address.address, "10.0.0.2");
  EXPECT_EQ(shortRecord.method, "");
  EXPECT_TRUE(shortRecord.dnsServers.empty());
}

TEST(ReaderRecords, MailLists) {
  const Value account = Value::strings({"Home", "me@example.jp", "Me", "me", "pop.example.jp", "smtp.example.jp"});
  const MailList found =
      MailList::fromList(Value(Value::Array{Value("2.1"), Value("1"), Value("Home"), Value(Value::Array{account})}));
  EXPECT_TRUE(found.installed);
  EXPECT_EQ(found.version, "2.1");
  EXPECT_EQ(found.accountCount, 1);
  EXPECT_EQ(found.firstAccount, "Home");
  ASSERT_EQ(found.accounts.size(), 1u);
  EXPECT_EQ(found.accounts[0].address, "me@example.jp");
  EXPECT_EQ(found.accounts[0].outgoingHost, "smtp.example.jp");

  const MailList none = MailList::fromList(Value::strings({"0", "0", ""}));
  EXPECT_FALSE(none.installed);
  EXPECT_TRUE(none.accounts.empty());

  // An account with fewer texts has the rest empty.
  const MailList shortAccount = MailList::fromList(
      Value(Value::Array{Value("4.0"), Value("1"), Value("Work"), Value(Value::Array{Value::strings({"Work"})})}));
  ASSERT_EQ(shortAccount.accounts.size(), 1u);
  EXPECT_EQ(shortAccount.accounts[0].name, "Work");
  EXPECT_EQ(shortAccount.accounts[0].incomingHost, "");
}

}  // namespace
}  // namespace corvane::testing
