#pragma once
// Texts of the check rows and of the network repair offer that depend only on
// what the readers returned (and the provider's settings). Labels are looked
// up in strings; the texts are the rows' as the controller shows them.

#include <string>
#include <vector>

#include "app/reader_records.h"
#include "core/localized_strings.h"
#include "core/plist_value.h"
#include "provider/provider_datas.h"

namespace corvane {

// The hardware row: "CPU : <cpu>\nclock : <clock>,   memory : <memory>"
// (labels localized) from the profile's first item, a dictionary with
// cpu_type, current_processor_speed and physical_memory. A field that is
// missing or empty, or a profile without a first item, shows "UNKNOWN",
// "? MHz" and "? MB".
std::string hardwareRowText(const Value& hardwareProfile, const LocalizedStrings& strings);

// The network row of a port entry ([port], [port, proxies] or [port,
// hardware address, proxies]): "port : <port>\n", then "mac : <address>   "
// only for an entry of three elements or more (even with an empty address),
// then "proxy : " and "exist" when its proxy list is complete, else "no".
// hasAutomatic: the proxy list carries the automatic proxy (10.3.2 and
// later). No entry (absent or an empty list): the text of "noNetwork".
std::string networkRowText(const Value& portEntry, bool hasAutomatic, const LocalizedStrings& strings);

// The TCP/IP row: "ipaddress : <address>   <method>\ndns : <server in use>\n
// ipv6address : <IPv6 address>   <IPv6 method>", labels and both methods
// localized; "----------" for a record without an IPv6 address.
std::string tcpipRowText(const TcpipRecord& record, const LocalizedStrings& strings);

// The mail row: "----------" without Mail, else "Mail <version>\n" and
// "account : <first account>" for one account, "accountCount : <count>"
// for none or several.
std::string mailRowText(const MailList& mail, const LocalizedStrings& strings);

// The browser row: browsers is the reader's list of four version texts
// (Internet Explorer, Safari, Netscape, Firefox; "0" or empty when absent).
// Internet Explorer has the first line with Safari beside it, Netscape and
// Firefox share the second; without Internet Explorer the others fill the
// lines two at a time. None present: "----------". A list of another length
// gives the empty text.
std::string browserRowText(const Value& browsers);

// The network repair offer's rows, flat (name, result, name, result...):
// the port's proxies ("proxy" "exist", then each protocol, the automatic
// proxy and the exceptions that are set, the exceptions' name on the first
// only; or "proxy" "no" when the list is not complete), an empty pair, then
// "recommended" and the provider's proxies the same way (HTTP, Socks, FTP,
// Gopher and https that are set, or "proxy" "no" with its proxy off).
std::vector<std::string> proxyOfferPairs(const ProxyList& proxies, const ProviderDatas& prvs,
                                         const LocalizedStrings& strings);

}  // namespace corvane
