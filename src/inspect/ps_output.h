#pragma once
// Reading the output of "/bin/ps -a".

#include <string>
#include <string_view>

namespace corvane {

// The service id of the last process line holding the tokens "pppd",
// "serviceid", ID (single-space separated), or "" when there is none.
std::string pppServiceIDFromPs(std::string_view psOutput);

}  // namespace corvane
