#pragma once
// Where the captured systems of testdata/sysroots are.

#include <string>

namespace corvane::testing {

// The folder of the captured system testdata/sysroots/<name>.
inline std::string sysrootPath(const std::string& name) { return std::string(CORVANE_TESTDATA) + "/sysroots/" + name; }

}  // namespace corvane::testing
