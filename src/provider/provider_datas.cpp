#include "provider/provider_datas.h"

#include "core/bundle.h"
#include "core/shift_jis.h"
#include "core/text.h"
#include "provider/decode_file.h"

namespace corvane {

namespace {

// The keys in the order they are matched, and the field each one fills.
using TextField = std::optional<std::string> ProviderDatas::*;
using PlainField = std::string ProviderDatas::*;

struct KeyField {
  std::string_view key;
  TextField text = nullptr;
  PlainField plain = nullptr;
};

constexpr KeyField kKeys[] = {
    {"app_title", &ProviderDatas::title},
    {"ruteip", &ProviderDatas::routerip},
    {"dns1", &ProviderDatas::dns},
    {"dns2", &ProviderDatas::dns2},
    {"tcp", &ProviderDatas::tcp},
    {"tcpipv6", &ProviderDatas::tcpipv6},
    {"ie_minver", &ProviderDatas::iever},
    {"proxy_server", nullptr, &ProviderDatas::p_server},
    {"proxy_http", nullptr, &ProviderDatas::p_http},
    {"proxy_secure", nullptr, &ProviderDatas::p_secure},
    {"proxy_ftp", nullptr, &ProviderDatas::p_ftp},
    {"proxy_gopher", nullptr, &ProviderDatas::p_gopher},
    {"proxy_socks", nullptr, &ProviderDatas::p_socks},
    {"proxy_no", nullptr, &ProviderDatas::no_proxy},
    {"http_access_url", &ProviderDatas::testurl},
};

}  // namespace

ProviderDatas ProviderDatas::load(const Bundle& bundle) { return loadFile(bundle.resourcePath("Corvane", "idx")); }

ProviderDatas ProviderDatas::loadFile(const std::string& path) {
  ProviderDatas record;
  record.SetupProviders(path);
  if (!record.p_server.empty()) {
    for (PlainField field : {&ProviderDatas::p_http, &ProviderDatas::p_secure, &ProviderDatas::p_ftp,
                             &ProviderDatas::p_gopher, &ProviderDatas::p_socks})
      record.*field = record.p_server;
  }
  return record;
}

bool ProviderDatas::hasSettings() const {
  for (const auto* field : {&title, &routerip, &dns, &dns2, &tcp, &tcpipv6, &iever, &testurl})
    if (*field) return true;
  for (const auto* field : {&p_server, &p_http, &p_secure, &p_ftp, &p_gopher, &p_socks, &no_proxy})
    if (!field->empty()) return true;
  return p_enable;
}

bool ProviderDatas::SetupProviders(const std::string& path) {
  DecodeFile reader;
  reader.OpenFile(path);  // a reader that did not open yields no line
  while (const char* line = reader.GetDecodedLine()) {
    if (line[0] == '\0' || line[0] == ';') continue;
    std::vector<std::string> entry = getKeyAndValue(line);
    if (entry.size() != 2) continue;
    const std::string& key = entry[0];
    const std::string& value = entry[1];
    if (key == "proxy_enable") {
      p_enable = intValueOfText(value) == 1;
      continue;
    }
    for (const auto& k : kKeys) {
      if (k.key != key) continue;
      if (k.text)
        this->*k.text = value;
      else
        this->*k.plain = value;
      break;
    }
  }
  reader.CloseFile();
  return true;
}

std::vector<std::string> getKeyAndValue(std::string_view line) {
  std::optional<std::string> text = shiftJisToUtf8(line);
  if (!text) return {};
  std::vector<std::string> pieces = splitText(*text, "=");
  if (pieces.size() < 2) return {};
  std::string key = pieces.front();
  pieces.erase(pieces.begin());
  return {key, joinTexts(pieces, "=")};
}

}  // namespace corvane
