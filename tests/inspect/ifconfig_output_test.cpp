#include "inspect/ifconfig_output.h"

#include <gtest/gtest.h>

#include "inspect_fixture.h"

namespace corvane {
namespace {

using testing::list;

TEST(DottedNetmask, ReadsHexadecimalWords) {
  const std::pair<const char*, const char*> cases[] = {
      {"0xffffff00", "255.255.255.0"},
      {"0xFFFF0000", "255.255.0.0"},
      {"0Xff000000", "255.0.0.0"},
      {"ffffff80", "255.255.255.128"},
      {"0xfffffe00", "255.255.254.0"},
      {"0xffffff00,", "255.255.255.0"},
      {"255.255.255.0", "0.0.2.85"},  // reading stops at the first dot
      {"garbage", "0.0.0.0"},
      {"0x", "0.0.0.0"},
      {"", "0.0.0.0"},
      {"0x1ffffffff", "255.255.255.255"},
  };
  for (const auto& [word, dotted] : cases) EXPECT_EQ(dottedNetmask(word), dotted) << word;
}

struct IfconfigCase {
  const char* name;
  const char* output;
  Value records;
};

TEST(AddressRecordsFromIfconfig, ReadsOneRecordPerInterfaceWithIPv4) {
  const IfconfigCase cases[] = {
      {"IPv6 before IPv4",
       "en0: flags=8863<UP,BROADCAST,SMART,RUNNING,SIMPLEX,MULTICAST> mtu 1500\n"
       "\tinet6 fe80::1%en0 prefixlen 64 scopeid 0x4\n"
       "\tinet 192.168.1.5 netmask 0xffffff00 broadcast 192.168.1.255\n",
       list({Value::strings({"en0", "192.168.1.5", "255.255.255.0", "192.168.1.255", "fe80::1%en0"})})},
      {"point-to-point peer",
       "ppp0: flags=8051<UP,POINTOPOINT,RUNNING,MULTICAST> mtu 1492\n"
       "\tinet 10.0.0.5 --> 10.0.0.1 netmask 0xff000000 \n",
       list({Value::strings({"ppp0", "10.0.0.5", "255.0.0.0", "10.0.0.1"})})},
      {"IPv6 on both sides of the IPv4 line, trailing blanks",
       "lo0: flags=8049<UP,LOOPBACK,RUNNING,MULTICAST> mtu 16384\n"
       "\tinet6 ::1 prefixlen 128 \n"
       "\tinet 127.0.0.1 netmask 0xff000000 \n"
       "\tinet6 fe80::1%lo0 prefixlen 64 scopeid 0x1 \n",
       list({Value::strings({"lo0", "127.0.0.1", "255.0.0.0", "", "::1", "fe80::1%lo0"})})},
      {"an interface with only IPv6 is left out",
       "utun0: flags=8051<UP,POINTOPOINT,RUNNING,MULTICAST> mtu 2000\n"
       "\tinet6 fe80::5d2e%utun0 prefixlen 64 scopeid 0xa \n"
       "en0: flags=8863<UP> mtu 1500\n"
       "\tether 00:1f:5b:3c:9a:01 \n"
       "\tinet 192.0.2.50 netmask 0xffffff00 broadcast 192.0.2.255\n"
       "\tstatus: active\n",
       list({Value::strings({"en0", "192.0.2.50", "255.255.255.0", "192.0.2.255"})})},
      {"aliases: the primary address stays, one record",
       "en0: flags=8863<UP> mtu 1500\n"
       "\tinet 192.0.2.50 netmask 0xffffff00 broadcast 192.0.2.255\n"
       "\tinet 192.0.2.51 netmask 0xffffffff broadcast 192.0.2.51\n"
       "\tinet6 fe80::1%en0 prefixlen 64 scopeid 0x4\n",
       list({Value::strings({"en0", "192.0.2.50", "255.255.255.0", "192.0.2.255", "fe80::1%en0"})})},
      {"missing keywords give empty items; a keyword at the end is ignored",
       "gif0: flags=8051<UP> mtu 1280\n"
       "\tinet 198.51.100.9 netmask\n"
       "en9: flags=8051<UP> mtu 1280\n"
       "\tinet  198.51.100.10 broadcast \n",
       list({Value::strings({"gif0", "198.51.100.9", "", ""}), Value::strings({"en9", "", "", ""})})},
      {"a later keyword replaces an earlier one",
       "en0: flags=1<UP> mtu 1500\n"
       "\tinet 192.0.2.1 netmask 0xffffff00 netmask 0xffff0000 broadcast 192.0.2.255\n",
       list({Value::strings({"en0", "192.0.2.1", "255.255.0.0", "192.0.2.255"})})},
      {"detail lines before any header and lines without a colon change nothing",
       "\tinet 192.0.2.99 netmask 0xffffff00\n"
       "no colon here\n"
       "\n"
       "en1: flags=8863<UP> mtu 1500\n"
       "\tinet 192.0.2.7 netmask 0xffffff00 broadcast 192.0.2.255\n"
       "no colon either\n"
       "\tinet6 fe80::7%en1 prefixlen 64\n",
       list({Value::strings({"en1", "192.0.2.7", "255.255.255.0", "192.0.2.255", "fe80::7%en1"})})},
      {"a line indented with blanks is a header, as real output never does that",
       "en0: flags=8863<UP> mtu 1500\n"
       "        inet 192.0.2.5 netmask 0xffffff00 broadcast 192.0.2.255\n",
       list({})},
      {"an inet6 line without its address", "en0: flags=1<UP> mtu 1500\n\tinet 192.0.2.1\n\tinet6 \n",
       list({Value::strings({"en0", "192.0.2.1", "", "", ""})})},
      {"no final newline", "en0: flags=1<UP> mtu 1500\n\tinet 192.0.2.1 netmask 0xffffff00",
       list({Value::strings({"en0", "192.0.2.1", "255.255.255.0", ""})})},
      {"inet needs its blank", "en0: flags=1<UP> mtu 1500\n\tinet\n\tinet6\n", list({})},
      {"(null)", "(null)", list({})},
      {"empty", "", list({})},
  };
  for (const auto& c : cases) EXPECT_EQ(addressRecordsFromIfconfig(c.output), c.records) << c.name;
}

TEST(AddressRecordsFromIfconfig, KeepsTheOrderOfTheOutput) {
  Value records = addressRecordsFromIfconfig(
      "lo0: flags=8049<UP,LOOPBACK,RUNNING,MULTICAST> mtu 16384\n\tinet 127.0.0.1 netmask 0xff000000 \n"
      "en1: flags=8863<UP> mtu 1500\n\tinet 192.0.2.8 netmask 0xffffff00 broadcast 192.0.2.255\n"
      "en0: flags=8863<UP> mtu 1500\n\tinet 198.51.100.8 netmask 0xffffff00 broadcast 198.51.100.255\n");
  ASSERT_EQ(records.count(), 3u);
  EXPECT_EQ(records[0][0].text(), "lo0");
  EXPECT_EQ(records[1][0].text(), "en1");
  EXPECT_EQ(records[2][0].text(), "en0");
}

}  // namespace
}  // namespace corvane
