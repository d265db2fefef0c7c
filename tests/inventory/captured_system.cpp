#include "captured_system.h"

namespace corvane::testing {

CapturedMemorySystem::CapturedMemorySystem(const std::string& name) {
  loadSysroot(*this, name, [this](const std::string& systemPath, const std::string& script) {
    const std::optional<std::string> output = recordedOutput(script);
    if (!output) ADD_FAILURE() << systemPath << " is not a script printing a recorded here-document";
    putTool(systemPath, output.value_or(""));
  });
}

CapturedMemorySystem::~CapturedMemorySystem() = default;

}  // namespace corvane::testing
