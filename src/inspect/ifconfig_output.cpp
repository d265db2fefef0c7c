#include "inspect/ifconfig_output.h"

#include <optional>
#include <vector>

#include "inspect/words.h"

namespace corvane {

namespace {

struct InterfaceRecord {
  std::string name;
  std::optional<std::vector<std::string>> ipv4;  // address, netmask, broadcast
  std::vector<std::string> ipv6;
};

// "inet ADDR netmask HEX broadcast BCAST" or "inet ADDR --> PEER netmask HEX".
std::vector<std::string> ipv4ItemsOf(std::string_view content) {
  std::string address, netmask, broadcast;
  SpaceSeparatedWords words(content);
  std::string_view keyword, word;
  for (; words.next(word); keyword = word) {
    if (word.empty()) continue;
    if (keyword == "inet")
      address = word;
    else if (keyword == "netmask")
      netmask = dottedNetmask(word);
    else if (keyword == "broadcast" || keyword == "-->")
      broadcast = word;
  }
  return {address, netmask, broadcast};
}

// "inet6 ADDR prefixlen ...": the second word, or "".
std::string_view ipv6AddressOf(std::string_view content) {
  SpaceSeparatedWords words(content);
  std::string_view word;
  words.next(word);
  return words.next(word) ? word : std::string_view();
}

// The text of a detail line: what follows its leading tab.
std::string_view contentOf(std::string_view line) {
  size_t tab = line.find('\t', 1);
  return line.substr(1, tab == std::string_view::npos ? std::string_view::npos : tab - 1);
}

void appendRecord(std::optional<InterfaceRecord>& current, Value::Array& records) {
  if (!current || !current->ipv4) return;
  std::vector<std::string> items{current->name};
  items.insert(items.end(), current->ipv4->begin(), current->ipv4->end());
  items.insert(items.end(), current->ipv6.begin(), current->ipv6.end());
  records.push_back(Value::strings(items));
}

}  // namespace

std::string dottedNetmask(std::string_view hexWord) {
  size_t i = 0;
  if (hexWord.size() >= 2 && hexWord[0] == '0' && (hexWord[1] == 'x' || hexWord[1] == 'X')) i = 2;
  uint64_t value = 0;
  for (; i < hexWord.size(); ++i) {
    char c = hexWord[i];
    int digit = c >= '0' && c <= '9'   ? c - '0'
                : c >= 'a' && c <= 'f' ? c - 'a' + 10
                : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                       : -1;
    if (digit < 0) break;
    value = value * 16 + static_cast<uint64_t>(digit);
    if (value > 0xffffffffu) value = 0xffffffffu;  // keep reading, stay saturated
  }
  auto v = static_cast<uint32_t>(value);
  return std::to_string(v >> 24) + "." + std::to_string((v >> 16) & 0xff) + "." + std::to_string((v >> 8) & 0xff) +
         "." + std::to_string(v & 0xff);
}

Value addressRecordsFromIfconfig(std::string_view ifconfigOutput) {
  Value::Array records;
  if (ifconfigOutput.empty() || ifconfigOutput == "(null)") return Value(std::move(records));
  std::optional<InterfaceRecord> current;
  size_t start = 0;
  while (start <= ifconfigOutput.size()) {
    size_t end = ifconfigOutput.find('\n', start);
    if (end == std::string_view::npos) end = ifconfigOutput.size();
    std::string_view line = ifconfigOutput.substr(start, end - start);
    start = end + 1;

    if (!line.starts_with('\t')) {
      // Header line "en0: flags=..."; a line without ":" changes nothing.
      size_t colon = line.find(':');
      if (colon == std::string_view::npos) continue;
      appendRecord(current, records);
      current = InterfaceRecord{std::string(line.substr(0, colon)), std::nullopt, {}};
      continue;
    }
    if (!current) continue;
    std::string_view content = contentOf(line);
    if (content.starts_with("inet ")) {
      // The first IPv4 line is the interface's primary address; aliases follow it.
      if (!current->ipv4) current->ipv4 = ipv4ItemsOf(content);
    } else if (content.starts_with("inet6 ")) {
      current->ipv6.emplace_back(ipv6AddressOf(content));
    }
  }
  appendRecord(current, records);
  return Value(std::move(records));
}

}  // namespace corvane
