#include "support/test_platforms.h"

namespace corvane::testing {

TestPlatform::~TestPlatform() = default;
FixedDiskPlatform::~FixedDiskPlatform() = default;

}  // namespace corvane::testing
