#pragma once
// The capture's secrets in a fix kit's store. The capture replaced every
// secret by a placeholder of the value's own type (a text, base64 data
// holding the placeholder's text, a marker number, an array or dictionary
// holding the placeholder); the real value's XML stays on the Mac. The kit
// store names each one the same way, as a string that is the placeholder
// alone, which apply.sh replaces by the original element, byte for byte.

#include <string>
#include <vector>

#include "core/capture_manifest.h"
#include "core/plist_value.h"

namespace corvane {

struct MarkedSecrets {
  Value store;                            // the store with each secret as its placeholder text
  std::vector<std::string> placeholders;  // those found, once each
  std::string failure;                    // one line; "" when every placeholder can be put back
  bool ok() const { return failure.empty(); }
};

// The number a capture writes for the numeric secret with this placeholder
// ("-7319" with the file's and the value's numbers); "" for a malformed one.
std::string secretMarkerNumber(const std::string& placeholder);

// Finds the placeholders of the capture's secrets in a repaired store and
// writes each as its placeholder text. Fails when a placeholder is not one
// the manifest lists (an older capture, or another capture's), or sits where
// it cannot be put back whole (inside a key or a longer text that is not the
// capture's own URL placeholder).
MarkedSecrets markSecretsForKit(const Value& store, const std::vector<CapturedSecret>& secrets);

}  // namespace corvane
