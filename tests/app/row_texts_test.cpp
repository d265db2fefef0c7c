// The check rows' texts and the proxy offer's rows from what the readers
// returned, case by case; the "C" strings show each label as its key.

#include "app/row_texts.h"

#include <gtest/gtest.h>

namespace corvane::testing {
namespace {

TEST(RowTexts, BrowserTextPlacesTheBrowsersOnTwoLines) {
  struct Case {
    Value browsers;
    std::string text;
  };
  auto versions = [](std::vector<std::string> texts) {
    Value::Array items;
    for (auto& text : texts) items.emplace_back(std::move(text));
    return Value(std::move(items));
  };
  const Case cases[] = {
      {versions({"5.2", "3.0", "7.2", "2.0"}), "Internet Explorer 5.2 / Safari 3.0\nNetscape 7.2 / Firefox 2.0"},
      {versions({"5.2", "0", "0", "2.0"}), "Internet Explorer 5.2\nFirefox 2.0"},
      {versions({"0", "3.0", "7.2", "2.0"}), "Safari 3.0 / Netscape 7.2\nFirefox 2.0"},
      {versions({"", "", "7.2", "2.0"}), "Netscape 7.2 / Firefox 2.0"},
      {versions({"0", "0", "0", "0"}), "----------"},
      {versions({"5.2", "3.0", "7.2"}), ""},  // not the reader's four
      {Value(), ""},
  };
  for (const auto& c : cases) EXPECT_EQ(browserRowText(c.browsers), c.text) << c.text;
}

TEST(RowTexts, HardwareTextFallsBackForEachMissingField) {
  auto profile = [](std::vector<std::pair<std::string, Value>> fields) {
    Dictionary item;
    for (auto& [key, value] : fields) item.set(key, std::move(value));
    return Value(Value::Array{Value(std::move(item))});
  };
  struct Case {
    Value profile;
    std::string text;
  };
  const Case cases[] = {
      {profile({{"cpu_type", Value("PowerPC G4")},
                {"current_processor_speed", Value("1.25 GHz")},
                {"physical_memory", Value("1 GB")}}),
       "CPU : PowerPC G4\nclock : 1.25 GHz,   memory : 1 GB"},
      {profile({{"cpu_type", Value("Intel Core Duo")}, {"physical_memory", Value("")}}),
       "CPU : Intel Core Duo\nclock : ? MHz,   memory : ? MB"},
      {profile({{"current_processor_speed", Value("2 GHz")}, {"machine_name", Value("iMac")}}),
       "CPU : UNKNOWN\nclock : 2 GHz,   memory : ? MB"},
      {profile({}), "CPU : UNKNOWN\nclock : ? MHz,   memory : ? MB"},
      // A first item that is not a dictionary, no first item, no profile.
      {Value::strings({"PowerPC G4"}), "CPU : UNKNOWN\nclock : ? MHz,   memory : ? MB"},
      {Value(Value::Array{}), "CPU : UNKNOWN\nclock : ? MHz,   memory : ? MB"},
      {Value(), "CPU : UNKNOWN\nclock : ? MHz,   memory : ? MB"},
  };
  for (const auto& c : cases) EXPECT_EQ(hardwareRowText(c.profile, LocalizedStrings()), c.text) << c.text;
}

TEST(RowTexts, HardwareTextLocalizesTheLabelsOnly) {
  const LocalizedStrings strings({{"CPU", "Processor"}, {"clock", "Speed"}, {"memory", "RAM"}, {"UNKNOWN", "x"}});
  EXPECT_EQ(hardwareRowText(Value(), strings), "Processor : UNKNOWN\nSpeed : ? MHz,   RAM : ? MB");
}

TEST(RowTexts, NetworkTextShowsTheAddressOnlyForAnEntryThatHasOne) {
  // Seven protocols, the automatic proxy, the exceptions, "OK" (10.3.2 on).
  const Value someProxy =
      Value(Value::Array{"proxy.example.jp:8080", "", "", "", "", "", "", "", Value(Value::Array{}), "OK"});
  const Value noProxy = Value(Value::Array{"", "", "", "", "", "", "", "", Value(Value::Array{})});
  struct Case {
    Value entry;
    bool hasAutomatic;
    std::string text;
  };
  const Case cases[] = {
      {Value(Value::Array{"Built-in Ethernet", "00:0a:95:01:02:03", noProxy}), true,
       "port : Built-in Ethernet\nmac : 00:0a:95:01:02:03   proxy : no"},
      {Value(Value::Array{"Built-in Ethernet", "00:0a:95:01:02:03", someProxy}), true,
       "port : Built-in Ethernet\nmac : 00:0a:95:01:02:03   proxy : exist"},
      // The same list read as one without the automatic proxy is not complete.
      {Value(Value::Array{"Built-in Ethernet", "00:0a:95:01:02:03", someProxy}), false,
       "port : Built-in Ethernet\nmac : 00:0a:95:01:02:03   proxy : no"},
      // Three elements with an empty address still show the address part.
      {Value(Value::Array{"Modem", "", someProxy}), true, "port : Modem\nmac :    proxy : exist"},
      {Value(Value::Array{"Modem", someProxy}), true, "port : Modem\nproxy : exist"},
      {Value::strings({"Modem"}), true, "port : Modem\nproxy : no"},
      {Value(Value::Array{}), true, "noNetwork"},
      {Value(), true, "noNetwork"},
  };
  for (const auto& c : cases) EXPECT_EQ(networkRowText(c.entry, c.hasAutomatic, LocalizedStrings()), c.text) << c.text;
  EXPECT_EQ(networkRowText(Value(), true, LocalizedStrings(LocalizedStrings::Table{{"noNetwork", "No network"}})),
            "No network");
}

TEST(RowTexts, TcpipTextShowsTheAddressesAndLocalizedMethods) {
  auto record = [](Value address, std::string method, std::string server, std::string v6method) {
    return TcpipRecord::fromList(Value(Value::Array{std::move(address), Value(method), Value(server),
                                                    Value::strings({server}), Value::strings({}), Value(v6method)}));
  };
  const Value v4 = Value::strings({"en0", "192.168.1.5", "255.255.255.0", "192.168.1.255"});
  const Value v6 = Value::strings({"en0", "192.168.1.5", "255.255.255.0", "192.168.1.255", "fe80::1", "2001:db8::5"});
  struct Case {
    TcpipRecord record;
    std::string text;
  };
  const Case cases[] = {
      {record(v4, "DHCP", "192.168.1.1", "Automatic"),
       "ipaddress : 192.168.1.5   DHCP\ndns : 192.168.1.1\nipv6address : ----------   Automatic"},
      {record(v6, "Manual", "10.0.0.1", "Manual"),
       "ipaddress : 192.168.1.5   Manual\ndns : 10.0.0.1\nipv6address : 2001:db8::5   Manual"},
      {TcpipRecord::fromList(Value(Value::Array{})), "ipaddress :    \ndns : \nipv6address : ----------   "},
  };
  for (const auto& c : cases) EXPECT_EQ(tcpipRowText(c.record, LocalizedStrings()), c.text) << c.text;
  const LocalizedStrings strings({{"DHCP", "Using DHCP"}, {"Automatic", "Auto"}, {"dns", "DNS"}});
  EXPECT_EQ(tcpipRowText(record(v4, "DHCP", "192.168.1.1", "Automatic"), strings),
            "ipaddress : 192.168.1.5   Using DHCP\nDNS : 192.168.1.1\nipv6address : ----------   Auto");
}

TEST(RowTexts, MailTextNamesTheOnlyAccountAndCountsTheOthers) {
  auto mail = [](Value version, Value count, std::string first) {
    return MailList::fromList(
        Value(Value::Array{std::move(version), std::move(count), Value(first), Value(Value::Array{})}));
  };
  struct Case {
    MailList mail;
    std::string text;
  };
  const Case cases[] = {
      {mail("2.1.3", "1", "me"), "Mail 2.1.3\naccount : me"},
      {mail("2.1.3", "0", ""), "Mail 2.1.3\naccountCount : 0"},
      {mail("3.6", "3", "work"), "Mail 3.6\naccountCount : 3"},
      {mail("0", "2", "me"), "----------"},  // no Mail
      {MailList::fromList(Value()), "----------"},
  };
  for (const auto& c : cases) EXPECT_EQ(mailRowText(c.mail, LocalizedStrings()), c.text) << c.text;
}

TEST(RowTexts, ProxyOfferPairsListTheSetProxiesBesideTheProvidersOwn) {
  auto proxies = [](std::vector<std::string> protocols, std::string automatic, std::vector<std::string> exceptions) {
    ProxyList list;
    for (size_t i = 0; i < protocols.size(); ++i) list.protocols[i] = protocols[i];
    list.automatic = std::move(automatic);
    list.exceptions = std::move(exceptions);
    list.complete = true;
    return list;
  };
  ProxyList incomplete;  // what a list that is not complete holds is not shown
  incomplete.protocols[0] = "h:1";
  incomplete.exceptions = {"*.local"};
  ProviderDatas provider;  // Socks left unset
  provider.p_enable = true;
  provider.p_http = "proxy.example.jp:8080";
  provider.p_ftp = "ftp.example.jp:21";
  provider.p_gopher = "gopher.example.jp:70";
  provider.p_secure = "secure.example.jp:443";
  ProviderDatas providerOff = provider;  // addresses kept, proxy off
  providerOff.p_enable = false;
  ProviderDatas providerEmpty;
  providerEmpty.p_enable = true;  // proxy on, no address
  using Pairs = std::vector<std::pair<std::string, std::string>>;
  struct Case {
    std::string name;
    ProxyList proxies;
    ProviderDatas provider;
    Pairs pairs;
  };
  const Case cases[] = {
      {"none set, the provider's four",
       ProxyList(),
       provider,
       {{"proxy", "no"},
        {"", ""},
        {"recommended", ""},
        {"proxy", "exist"},
        {"  HTTP", "proxy.example.jp:8080"},
        {"  FTP", "ftp.example.jp:21"},
        {"  Gopher", "gopher.example.jp:70"},
        {"  https", "secure.example.jp:443"}}},
      {"every protocol, three exceptions",
       proxies({"h:1", "s:2", "f:3", "g:4", "t:5", "r:6", "m:7"}, "", {"*.local", "10.0.0.0/8", "example.jp"}),
       providerOff,
       {{"proxy", "exist"},
        {"  HTTP", "h:1"},
        {"  Socks", "s:2"},
        {"  FTP", "f:3"},
        {"  Gopher", "g:4"},
        {"  https", "t:5"},
        {"  RTSP", "r:6"},
        {"  Mail", "m:7"},
        {"exception", "*.local"},
        {"", "10.0.0.0/8"},
        {"", "example.jp"},
        {"", ""},
        {"recommended", ""},
        {"proxy", "no"}}},
      {"automatic only",
       proxies({}, "http://example.jp/proxy.pac", {}),
       providerEmpty,
       {{"proxy", "exist"},
        {"  auto", "http://example.jp/proxy.pac"},
        {"", ""},
        {"recommended", ""},
        {"proxy", "exist"}}},
      {"incomplete list", incomplete, providerOff, {{"proxy", "no"}, {"", ""}, {"recommended", ""}, {"proxy", "no"}}},
  };
  for (const auto& c : cases) {
    std::vector<std::string> flat;
    for (const auto& [name, result] : c.pairs) flat.insert(flat.end(), {name, result});
    EXPECT_EQ(proxyOfferPairs(c.proxies, c.provider, LocalizedStrings()), flat) << c.name;
  }
}

}  // namespace
}  // namespace corvane::testing
