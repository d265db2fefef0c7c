#pragma once
// The readers of a real run: the system under the platform's root, and the
// repair with administrator rights.

#include <memory>

#include "app/check_readers.h"
#include "core/platform.h"

namespace corvane {

std::unique_ptr<CheckReaders> makeSystemReaders(Platform& platform);

}  // namespace corvane
