#include "support/memory_platform.h"

namespace corvane::testing {

MemoryPlatform::~MemoryPlatform() = default;

}  // namespace corvane::testing
