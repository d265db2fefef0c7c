#include "bench/bench_inputs.h"

#include <sqlite3.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "core/plist_io.h"
#include "inventory/keyed_archive.h"
#include "provider/provider_encoder.h"

namespace corvane::bench {

namespace {

constexpr size_t kPortsPerLocation = 20;
constexpr size_t kDevices = 8;

// A UUID-shaped key, as the system names its sets and services.
std::string uuidKey(size_t kind, size_t n) {
  char text[40];
  std::snprintf(text, sizeof text, "%08zX-%04zX-4%03zX-8%03zX-%012zX", n * 2654435761u % 0xffffffffu, kind, n % 0xfff,
                (n * 7) % 0xfff, n);
  return text;
}

std::string serviceKey(size_t n) { return uuidKey(0x5e, n); }
std::string setKey(size_t n) { return uuidKey(0x5a, n); }

Dictionary dictionaryOf(std::initializer_list<std::pair<const char*, Value>> entries) {
  Dictionary d;
  for (const auto& [key, value] : entries) d.set(key, value);
  return d;
}

Value service(size_t n) {
  std::string device = "en" + std::to_string(n % kDevices);
  std::string name = "Ethernet " + std::to_string(n);
  Dictionary proxies = dictionaryOf({
      {"ExceptionsList", Value::strings({"*.local", "169.254/16", "intranet.example.com"})},
      {"ExcludeSimpleHostnames", Value(1)},
      {"FTPPassive", Value(1)},
      {"FTPEnable", Value(0)},
      {"GopherEnable", Value(0)},
      {"HTTPEnable", Value(1)},
      {"HTTPPort", Value(8080)},
      {"HTTPProxy", Value("proxy" + std::to_string(n % 13) + ".example.net")},
      {"HTTPSEnable", Value(n % 3 == 0 ? 1 : 0)},
      {"HTTPSPort", Value(8443)},
      {"HTTPSProxy", Value("secure.example.net")},
      {"ProxyAutoConfigEnable", Value(0)},
      {"ProxyAutoConfigURLString", Value("http://wpad.example.net/proxy.pac")},
      {"RTSPEnable", Value(0)},
      {"SOCKSEnable", Value(0)},
  });
  Dictionary d = dictionaryOf({
      {"DNS", Value(dictionaryOf({{"ServerAddresses", Value::strings({"192.0.2.1", "192.0.2.2"})},
                                  {"SearchDomains", Value::strings({"example.net", "corp.example.net"})}}))},
      {"IPv4", Value(dictionaryOf({{"ConfigMethod", Value(n % 4 == 0 ? "Manual" : "DHCP")}}))},
      {"IPv6", Value(dictionaryOf({{"ConfigMethod", Value("Automatic")}}))},
      {"Interface", Value(dictionaryOf({{"DeviceName", Value(device)},
                                        {"Hardware", Value("Ethernet")},
                                        {"Type", Value("Ethernet")},
                                        {"UserDefinedName", Value(name)}}))},
      {"Proxies", Value(std::move(proxies))},
      {"SMB", Value(dictionaryOf({{"NetBIOSName", Value("MACHINE" + std::to_string(n))}}))},
      {"UserDefinedName", Value(name)},
  });
  if (n % 5 == 4) d.set("__INACTIVE__", Value(1));
  return Value(std::move(d));
}

Value location(size_t n, size_t ports) {
  Value::Array order;
  Dictionary links;
  for (size_t p = 0; p < ports; ++p) {
    std::string key = serviceKey(n * ports + p);
    order.emplace_back(key);
    links.set(key, Value(dictionaryOf({{"__LINK__", Value("/NetworkServices/" + key)}})));
  }
  Dictionary network = dictionaryOf({
      {"Global", Value(dictionaryOf({{"IPv4", Value(dictionaryOf({{"ServiceOrder", Value(std::move(order))}}))}}))},
      {"Interface",
       Value(dictionaryOf(
           {{"en1", Value(dictionaryOf({{"AirPort", Value(dictionaryOf({{"MACAddress", Value("00:1f:5b:3c:9a:02")},
                                                                        {"PowerEnabled", Value(1)}}))}}))}}))},
      {"Service", Value(std::move(links))},
  });
  return Value(dictionaryOf(
      {{"Network", Value(std::move(network))}, {"UserDefinedName", Value("Location " + std::to_string(n))}}));
}

Value interfaceList() {
  Value::Array entries;
  for (size_t d = 0; d < kDevices; ++d) {
    std::string mac = {'\x00', '\x1f', '\x5b', '\x3c', '\x9a', static_cast<char>(d)};
    entries.emplace_back(dictionaryOf({{"BSD Name", Value("en" + std::to_string(d))},
                                       {"IOBuiltin", Value(d == 0)},
                                       {"IOInterfaceType", Value(6)},
                                       {"IOMACAddress", Value(Data{mac})},
                                       {"SCNetworkInterfaceType", Value("Ethernet")}}));
  }
  return Value(dictionaryOf({{"Interfaces", Value(std::move(entries))}, {"Model", Value("MacBookPro5,5")}}));
}

}  // namespace

Value generatedStore(size_t locations, size_t portsPerLocation) {
  Dictionary services, sets;
  for (size_t n = 0; n < locations * portsPerLocation; ++n) services.set(serviceKey(n), service(n));
  for (size_t n = 0; n < locations; ++n) sets.set(setKey(n), location(n, portsPerLocation));
  return Value(dictionaryOf({
      {"CurrentSet", Value("/Sets/" + setKey(0))},
      {"Model", Value("MacBookPro5,5")},
      {"NetworkServices", Value(std::move(services))},
      {"Sets", Value(std::move(sets))},
      {"System", Value(dictionaryOf({{"System", Value(dictionaryOf({{"ComputerName", Value("bench")}}))}}))},
  }));
}

std::string storeXmlOfSize(size_t bytes) {
  // One location's share of the file, measured on a small store, scales it.
  const size_t sample = 4;
  size_t perLocation = toXmlPropertyList(generatedStore(sample, kPortsPerLocation)).size() / sample;
  size_t locations = std::max<size_t>(1, (bytes + perLocation / 2) / perLocation);
  return toXmlPropertyList(generatedStore(locations, kPortsPerLocation));
}

void writeStoreSystem(const std::string& root, size_t storeBytes) {
  writeHostFile(root + "/Library/Preferences/SystemConfiguration/preferences.plist", storeXmlOfSize(storeBytes));
  writeHostFile(root + "/Library/Preferences/SystemConfiguration/NetworkInterfaces.plist",
                toXmlPropertyList(interfaceList()));
  writeHostFile(root + "/System/Library/CoreServices/SystemVersion.plist",
                toXmlPropertyList(
                    Value(dictionaryOf({{"ProductName", Value("Mac OS X")}, {"ProductVersion", Value("10.6.8")}}))));
}

std::string ifconfigOutput(size_t interfaces) {
  std::string out;
  out +=
      "lo0: flags=8049<UP,LOOPBACK,RUNNING,MULTICAST> mtu 16384\n"
      "\tinet6 ::1 prefixlen 128 \n\tinet6 fe80::1%lo0 prefixlen 64 scopeid 0x1 \n"
      "\tinet 127.0.0.1 netmask 0xff000000 \n";
  char line[160];
  for (size_t i = 1; i < interfaces; ++i) {
    unsigned a = static_cast<unsigned>(i >> 8 & 0xff), b = static_cast<unsigned>(i & 0xff);
    std::snprintf(line, sizeof line, "en%zu: flags=8863<UP,BROADCAST,SMART,RUNNING,SIMPLEX,MULTICAST> mtu 1500\n", i);
    out += line;
    std::snprintf(line, sizeof line, "\tether 00:1f:5b:3c:%02x:%02x \n", a, b);
    out += line;
    if (i % 5 == 0) {
      out += "\tmedia: <unknown subtype>\n\tstatus: inactive\n";
      continue;
    }
    std::snprintf(line, sizeof line, "\tinet6 fe80::21f:5bff:fe3c:%02x%02x%%en%zu prefixlen 64 scopeid 0x4 \n", a, b,
                  i);
    out += line;
    std::snprintf(line, sizeof line, "\tinet 10.%u.%u.2 netmask 0xffffff00 broadcast 10.%u.%u.255\n", a, b, a, b);
    out += line;
    if (i % 7 == 0) {
      std::snprintf(line, sizeof line, "\tinet 10.%u.%u.3 netmask 0xffffff00 broadcast 10.%u.%u.255\n", a, b, a, b);
      out += line;
    }
    out += "\tmedia: autoselect (1000baseT <full-duplex,flow-control>)\n\tstatus: active\n";
  }
  return out;
}

std::string digOutput(size_t bytes) {
  std::string out =
      "\n; <<>> DiG 9.6.0-APPLE-P2 <<>>\n;; global options: +cmd\n;; Got answer:\n"
      ";; ->>HEADER<<- opcode: QUERY, status: NOERROR, id: 4242\n"
      ";; flags: qr rd ra; QUERY: 1, ANSWER: 13, AUTHORITY: 0, ADDITIONAL: 0\n\n"
      ";; QUESTION SECTION:\n;.\t\t\t\tIN\tNS\n\n;; ANSWER SECTION:\n";
  char line[96];
  for (size_t n = 0; out.size() < bytes; ++n) {
    std::snprintf(line, sizeof line, ".\t\t\t518400\tIN\tNS\t%c.root-servers-%zu.example.net.\n",
                  static_cast<char>('a' + n % 13), n);
    out += line;
  }
  out +=
      "\n;; Query time: 23 msec\n;; SERVER: 192.0.2.1#53(192.0.2.1)\n"
      ";; WHEN: Thu Dec 10 05:00:00 2026\n;; MSG SIZE  rcvd: 228\n\n";
  return out;
}

std::string providerText(size_t bytes) {
  std::string out =
      "; Provider settings\n[Provider]\napp_title=Quorvalin光 インターネット接続診断\n"
      "ruteip=192.168.1.1\ntcp=DHCP\ntcpipv6=Automatic\nproxy_enable=1\n"
      "proxy_http=proxy.example.net:8080\nhttp_access_url=http://127.0.0.1:18080/check.html\n";
  for (size_t n = 0; out.size() < bytes; ++n) {
    out += "; 説明 " + std::to_string(n) + ": 接続設定の説明文です。プロキシとDNSの設定を確認します。\n";
    out += "note" + std::to_string(n) + "=サポート窓口 0120-000-" + std::to_string(n % 1000) + " 平日9時～18時\n";
  }
  return out;
}

Value accountProperties(size_t accounts) {
  Dictionary all;
  for (size_t n = 0; n < accounts; ++n) {
    std::string user = "user" + std::to_string(n);
    all.set("Account" + std::to_string(n),
            Value(dictionaryOf({{"AccountName", Value("メール " + std::to_string(n))},
                                {"Hostname", Value("pop" + std::to_string(n % 9) + ".example.net")},
                                {"Username", Value(user)},
                                {"PortNumber", Value(110)},
                                {"SSLEnabled", Value(n % 2 == 0)},
                                {"EmailAddresses", Value::strings({user + "@example.net", user + "@example.com"})},
                                {"LastChecked", Value(Date{8.0e8 + static_cast<double>(n)})}})));
  }
  return Value(std::move(all));
}

std::string writeAccountsDatabase(const std::string& hostPath, size_t rows) {
  std::filesystem::create_directories(std::filesystem::path(hostPath).parent_path());
  std::filesystem::remove(hostPath);
  sqlite3* db = nullptr;
  if (sqlite3_open(hostPath.c_str(), &db) != SQLITE_OK) {
    sqlite3_close(db);
    return "cannot create " + hostPath;
  }
  std::string error;
  auto exec = [&](const char* sql) {
    if (error.empty() && sqlite3_exec(db, sql, nullptr, nullptr, nullptr) != SQLITE_OK) error = sqlite3_errmsg(db);
  };
  exec(
      "CREATE TABLE ZACCOUNTPROPERTY (Z_PK INTEGER PRIMARY KEY, Z_ENT INTEGER, Z_OPT INTEGER, ZOWNER INTEGER,"
      " ZKEY VARCHAR, ZVALUE BLOB)");
  exec("BEGIN");
  sqlite3_stmt* insert = nullptr;
  if (error.empty() && sqlite3_prepare_v2(db, "INSERT INTO ZACCOUNTPROPERTY VALUES (?, 4, 1, ?, ?, ?)", -1, &insert,
                                          nullptr) != SQLITE_OK)
    error = sqlite3_errmsg(db);
  static const char* const keys[] = {"Hostname", "PortNumber", "SSLEnabled", "EmailAddresses", "Username"};
  for (size_t n = 0; error.empty() && n < rows; ++n) {
    const char* key = keys[n % 5];
    Value value;
    switch (n % 5) {
      case 0: value = Value("pop" + std::to_string(n % 9) + ".example.net"); break;
      case 1: value = Value(110); break;
      case 2: value = Value(n % 2 == 0); break;
      case 3: value = Value::strings({"user" + std::to_string(n) + "@example.net"}); break;
      default: value = Value(dictionaryOf({{"name", Value("user" + std::to_string(n))}, {"realm", Value("mail")}}));
    }
    std::string archive = encodeKeyedArchive(value).value_or("");
    sqlite3_bind_int64(insert, 1, static_cast<sqlite3_int64>(n + 1));
    sqlite3_bind_int64(insert, 2, static_cast<sqlite3_int64>(n / 5 + 1));
    sqlite3_bind_text(insert, 3, key, -1, SQLITE_STATIC);
    sqlite3_bind_blob(insert, 4, archive.data(), static_cast<int>(archive.size()), SQLITE_TRANSIENT);
    if (sqlite3_step(insert) != SQLITE_DONE) error = sqlite3_errmsg(db);
    sqlite3_reset(insert);
  }
  sqlite3_finalize(insert);
  exec("COMMIT");
  sqlite3_close(db);
  return error;
}

std::string xmlDictionary(size_t keys) {
  // Written out directly: the library's writer looks every key up as it adds
  // it, which would take longer than the reading timed here.
  std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n<dict>\n";
  for (size_t i = 0; i < keys; ++i)
    xml += "\t<key>" + serviceKey(i) + "</key>\n\t<string>value " + std::to_string(i) + "</string>\n";
  return xml + "</dict>\n</plist>\n";
}

void writeHostFile(const std::string& hostPath, const std::string& bytes) {
  std::filesystem::create_directories(std::filesystem::path(hostPath).parent_path());
  std::ofstream(hostPath, std::ios::binary) << bytes;
}

ScratchFolder::ScratchFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "corvane-bench-XXXXXX").string();
  if (::mkdtemp(pattern.data())) path_ = pattern;
}

ScratchFolder::~ScratchFolder() {
  std::error_code ignored;
  if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
}

}  // namespace corvane::bench
