#include "inspect_fixture.h"

namespace corvane::testing {

SystemRoot::~SystemRoot() = default;

}  // namespace corvane::testing
