#pragma once
// Comparing the running OS version with a threshold. Every OS-dependent choice
// of the program goes through compOSVersion with a fixed threshold text.

#include <string_view>

namespace corvane {

class Platform;
class Value;

// Compares two dotted version texts component by component as numbers (each
// component's leading decimal number, 0 when it has none), padding the
// shorter with "0" components. An absent version has no components, the empty
// text one empty component. 1: running is newer, 0: the same, -1: older,
// -9: there was nothing to compare.
int compareOSVersions(const Value& running, std::string_view required);

// The running system (SystemVersion.plist under the root) against required.
// The -9 case reports "Internal Error - OS Check(compOSVersion())" through the
// platform's internal-error alert.
int compOSVersion(const Platform& platform, std::string_view required);

// compOSVersion(required) >= 0: this version or later.
bool osAtLeast(const Platform& platform, std::string_view required);

}  // namespace corvane
