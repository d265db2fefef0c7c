#pragma once
// Reading the DNS server that answered from nslookup and dig output.

#include <optional>
#include <string>
#include <string_view>

namespace corvane {

inline constexpr std::string_view kNslookupServerPrefix = "Address:";
inline constexpr std::string_view kDigServerPrefix = ";; SERVER:";

// The server named on the first line that begins with linePrefix: the part
// before the first "#", without blanks at its end, split at single spaces (at
// tabs when that gives one part), its last part. Nothing when there is no such line, when that line
// names no server, or when the text is "(null)".
std::optional<std::string> serverFromResolverOutput(std::string_view output, std::string_view linePrefix);

}  // namespace corvane
