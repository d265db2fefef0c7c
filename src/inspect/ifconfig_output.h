#pragma once
// Reading the output of "/sbin/ifconfig -au" into address records.

#include <cstdint>
#include <string>
#include <string_view>

#include "core/plist_value.h"

namespace corvane {

// One address record per interface that has an IPv4 ("inet ") line, in
// output order: [interface name, IPv4 address, netmask in dotted decimal,
// broadcast or point-to-point peer, IPv6 address...]. Missing IPv4 items are
// "". The IPv6 items are the interface's "inet6 " lines in output order,
// wherever they stand relative to the IPv4 line. Of several "inet " lines
// (address aliases) the first, the primary address, is kept. "(null)" or
// empty text gives an empty list. Linear in the size of the text.
Value addressRecordsFromIfconfig(std::string_view ifconfigOutput);

// A netmask word read as hexadecimal (optional 0x/0X prefix, up to the first
// non-hex character, no digits = 0, above 32 bits = 0xffffffff) in dotted
// decimal: "0xffffff00" gives "255.255.255.0".
std::string dottedNetmask(std::string_view hexWord);

}  // namespace corvane
