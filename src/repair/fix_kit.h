#pragma once
// Fix kits: the network repair of a captured Mac, built where the capture is
// read and installed later on that Mac by a shell script.
//
// The repaired store is made by the repair's own builder from the captured
// system. The kit folder holds it (store/), apply.sh, undo.sh and README.txt.
// apply.sh (POSIX sh, run with sudo on the captured Mac) refuses a store that
// is not the one captured, puts the Mac's secrets back from the private file
// the capture left there, keeps a backup, installs with the repair's steps
// (chown, mv beside the store, mv over it, scselect, the lookup daemon's
// signal, ipconfigd waitall), checks each and puts the backup back when one
// fails. undo.sh puts the backup back byte for byte.

#include <string>
#include <vector>

#include "core/platform.h"
#include "provider/provider_datas.h"

namespace corvane {

struct KitOutcome {
  std::string setKey;
  std::vector<std::string> changes;  // describeChanges of the repaired store
  std::string failure;               // one line; "" when the kit was written
  // The captured settings already are the repaired ones: no kit is written.
  bool alreadyMatches = false;
  bool ok() const { return failure.empty(); }
};

// Writes the kit for the capture at the platform's root into kitFolder (made
// when missing; the kit's own files in it are replaced). Fails when the root
// is not a capture, the capture has no checksum of the store the repair
// replaces, the builder fails, or a file cannot be written.
KitOutcome writeFixKit(Platform& platform, ProviderDatas& settings, const std::string& kitFolder);

// A text as one single-quoted shell word.
std::string shellQuoted(std::string_view text);

// The kit's scripts, for the given values (each inserted shell-quoted).
struct KitValues {
  std::string store;  // system path of the store the kit replaces
  std::string setKey;
  std::string checksum;     // "CRC SIZE" of the store as captured
  std::string kitChecksum;  // "CRC SIZE" of the kit's store/ file as written
  std::string secretsFile;  // system path of the private file, or ""
  std::string capture;      // "HOST, TIME"
};
std::string applyScript(const KitValues& values);
std::string undoScript(const KitValues& values);

}  // namespace corvane
