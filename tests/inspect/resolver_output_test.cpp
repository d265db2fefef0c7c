#include "inspect/resolver_output.h"

#include <gtest/gtest.h>

namespace corvane {
namespace {

struct ResolverCase {
  const char* output;
  std::string_view prefix;
  std::optional<std::string> server;
};

TEST(ServerFromResolverOutput, ReadsTheServerLineForms) {
  const ResolverCase cases[] = {
      // Current nslookup: tab, address, "#53".
      {"Server:\t\t192.168.1.1\nAddress:\t192.168.1.1#53\n", kNslookupServerPrefix, "192.168.1.1"},
      // Older nslookup: two blanks, no port.
      {"Server:  dns1.example.net\nAddress:  192.168.1.1\n\n", kNslookupServerPrefix, "192.168.1.1"},
      // Retyped form with a run of blanks.
      {"Server:         192.168.2.254\nAddress:        192.168.2.254#53\n", kNslookupServerPrefix, "192.168.2.254"},
      {"Address:\t2001:db8::1#53\n", kNslookupServerPrefix, "2001:db8::1"},
      // The server's line comes before the answer's; the first one counts.
      {"Server:\t\t192.0.2.1\nAddress:\t192.0.2.1#53\n\nName:\texample.com\nAddress: 203.0.113.7\n",
       kNslookupServerPrefix, "192.0.2.1"},
      {";; Query time: 41 msec\n;; SERVER: 192.168.1.1#53(192.168.1.1)\n;; WHEN: Tue Mar  2 2004\n", kDigServerPrefix,
       "192.168.1.1"},
      {";; SERVER: 2001:db8::53#53(2001:db8::53)\n", kDigServerPrefix, "2001:db8::53"},
      // No server line, or a line that names no server.
      {";; connection timed out; no servers could be reached\n", kNslookupServerPrefix, std::nullopt},
      {"Address:\n", kNslookupServerPrefix, std::nullopt},
      {"Address:#53\n", kNslookupServerPrefix, std::nullopt},
      {";; SERVER:\n", kDigServerPrefix, std::nullopt},
      // Blanks at the end of the line are no part of the server.
      {"Address: 192.0.2.1 \n", kNslookupServerPrefix, "192.0.2.1"},
      {"Server:  dns1.example.net\nAddress:  192.168.1.1 \n", kNslookupServerPrefix, "192.168.1.1"},
      {"Address:\t192.0.2.1 \t \n", kNslookupServerPrefix, "192.0.2.1"},
      {"Address:\t192.0.2.1 #53\n", kNslookupServerPrefix, "192.0.2.1"},
      {"Address: \t192.0.2.1\n", kNslookupServerPrefix, "192.0.2.1"},
      {"Server:\t\t192.0.2.1\r\nAddress:\t192.0.2.1#53\r\n", kNslookupServerPrefix, "192.0.2.1"},
      {"Address:  192.0.2.1\r\n", kNslookupServerPrefix, "192.0.2.1"},
      {";; SERVER: 192.0.2.1 \n", kDigServerPrefix, "192.0.2.1"},
      {"Address:   \t \n", kNslookupServerPrefix, std::nullopt},
      // The line must begin with the prefix.
      {"  Address:\t192.0.2.1#53\n", kNslookupServerPrefix, std::nullopt},
      {"(null)", kNslookupServerPrefix, std::nullopt},
      {"", kDigServerPrefix, std::nullopt},
      // Only the first prefixed line is read, even when it names nothing.
      {"Address:\nAddress:\t192.0.2.9#53\n", kNslookupServerPrefix, std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(serverFromResolverOutput(c.output, c.prefix), c.server) << c.output;
}

}  // namespace
}  // namespace corvane
