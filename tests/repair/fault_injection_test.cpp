// The repair broken on purpose at every point, on systems in memory: rights
// refused, each privileged step failing (before or after doing its work), the
// process killed between any two steps, a temporary folder that cannot be
// written or is full, and a store that another program changes while the
// repair runs. Whatever happens, the live store is byte for byte the old one
// or exactly the repaired one, a repaired store always has a backup of the
// old one, and undoing brings the old one back.

#include <gtest/gtest.h>

#include <functional>
#include <optional>

#include "repair/network_repair.h"
#include "repair/repair_test_support.h"
#include "repair/store_backup.h"

namespace corvane {
namespace {

using testing::CueAuthorizer;
using testing::MemoryCopiedSystem;
using testing::providerSettings;

enum class Fault {
  None,
  FailsUnrun,     // step N reports failure without running
  FailsAfterRun,  // step N does its work, then reports failure
  Killed,         // the process dies before step N: it and every later step never run
};

// Grants rights and runs the captured tools, breaking the Nth privileged
// step (counting from 1) as told; beforeStep runs before each step.
class FaultAuthorizer : public Authorizer {
 public:
  FaultAuthorizer(Platform& platform, Fault fault, int step) : platform_(platform), fault_(fault), step_(step) {}
  bool obtainRights() override { return granted_ = !dead(); }
  ToolRun runPrivileged(std::string_view tool, const std::vector<std::string>& args) override {
    ++steps;
    if (beforeStep) beforeStep(steps);
    if (!granted_ || dead()) return {};
    if (steps == step_ && fault_ == Fault::FailsUnrun) return {.output = "", .exitStatus = 1, .started = true};
    ToolRun run = platform_.runTool(tool, args);
    if (steps == step_ && fault_ == Fault::FailsAfterRun) run.exitStatus = 1;
    return run;
  }
  void releaseRights() override { granted_ = false; }

  int steps = 0;
  std::function<void(int step)> beforeStep;

 private:
  bool dead() const { return fault_ == Fault::Killed && steps >= step_; }
  Platform& platform_;
  Fault fault_;
  int step_;
  bool granted_ = false;
};

struct System {
  const char* name;
  std::string store;
};

const System kSystems[] = {
    {"repair-10.4-new-location", "/Library/Preferences/SystemConfiguration/preferences.plist"},
    {"repair-10.2-existing-location", "/private/var/db/SystemConfiguration/preferences.xml"},
    {"repair-10.6-uuid-binary-store", "/Library/Preferences/SystemConfiguration/preferences.plist"},
};

// The store a clean repair of the system installs, and how many privileged
// steps it takes.
struct CleanRun {
  std::string repaired;
  int steps = 0;
};

CleanRun cleanRun(const System& system) {
  MemoryCopiedSystem copy(system.name);
  FaultAuthorizer authorizer(copy, Fault::None, 0);
  ProviderDatas settings = providerSettings();
  const RepairOutcome outcome = OnRepair(copy, authorizer, settings);
  EXPECT_TRUE(outcome.applied) << system.name << ": " << outcome.failure;
  return {copy.read(system.store), authorizer.steps};
}

// The invariants after a repair that may have been broken, then the undo as
// a new run of the program would do it (the files are all it finds).
void expectSoundAfter(MemoryCopiedSystem& copy, const System& system, const std::string& old,
                      const std::string& repaired, const RepairOutcome& outcome, const std::string& what) {
  const std::string live = copy.read(system.store);
  ASSERT_TRUE(live == old || live == repaired) << what << ": the live store is neither the old nor the repaired one";
  EXPECT_EQ(outcome.applied, live == repaired) << what << ": applied is " << outcome.applied;

  Platform& platform = copy;
  const std::string backup = newestBackup(platform);
  if (live == repaired) {
    ASSERT_FALSE(backup.empty()) << what << ": the store was replaced without a backup";
    EXPECT_EQ(copy.read(backup), old) << what;
  }
  if (backup.empty()) return;  // nothing was replaced, nothing to undo
  EXPECT_EQ(copy.read(backup), old) << what << ": the backup is not the old store";
  CueAuthorizer authorizer(platform, true);
  const StepResult undo = undoRepair(platform, authorizer);
  EXPECT_TRUE(undo.ok()) << what << ": " << undo.failure;
  EXPECT_EQ(copy.read(system.store), old) << what << ": undo did not bring the old store back";
}

TEST(RepairFaults, EveryStepBrokenEveryWayLeavesASoundStore) {
  for (const System& system : kSystems) {
    const CleanRun clean = cleanRun(system);
    ASSERT_GT(clean.steps, 5) << system.name;
    for (const Fault fault : {Fault::FailsUnrun, Fault::FailsAfterRun, Fault::Killed}) {
      // Step steps + 1 never comes: killed after the last step.
      for (int step = 1; step <= clean.steps + 1; ++step) {
        const std::string what = std::string(system.name) + ", fault " + std::to_string(static_cast<int>(fault)) +
                                 " at privileged step " + std::to_string(step);
        MemoryCopiedSystem copy(system.name);
        const std::string old = copy.read(system.store);
        RepairOutcome outcome;
        {
          FaultAuthorizer authorizer(copy, fault, step);
          ProviderDatas settings = providerSettings();
          outcome = OnRepair(copy, authorizer, settings);
        }
        expectSoundAfter(copy, system, old, clean.repaired, outcome, what);
      }
    }
  }
}

TEST(RepairFaults, RefusedRightsChangeNothing) {
  for (const System& system : kSystems) {
    MemoryCopiedSystem copy(system.name);
    const std::string old = copy.read(system.store);
    CueAuthorizer authorizer(copy, false);
    ProviderDatas settings = providerSettings();
    const RepairOutcome outcome = OnRepair(copy, authorizer, settings);
    EXPECT_FALSE(outcome.applied);
    EXPECT_EQ(copy.read(system.store), old) << system.name;
    EXPECT_TRUE(newestBackup(copy).empty()) << system.name;
    EXPECT_TRUE(copy.temporaryFolderIsEmpty()) << system.name << ": the unused copy was left behind";
  }
}

TEST(RepairFaults, UnwritableOrFullTemporaryFolderChangesNothing) {
  for (const char* reason : {"Permission denied", "No space left on device"}) {
    const System& system = kSystems[0];
    MemoryCopiedSystem copy(system.name);
    const std::string old = copy.read(system.store);
    copy.refuseWritesUnder(copy.temporaryFolder(), reason);
    CueAuthorizer authorizer(copy, true);
    ProviderDatas settings = providerSettings();
    const RepairOutcome outcome = OnRepair(copy, authorizer, settings);
    EXPECT_FALSE(outcome.applied) << reason;
    EXPECT_EQ(outcome.setKey, "-1") << outcome.failure;
    EXPECT_NE(outcome.failure.find(reason), std::string::npos) << outcome.failure;
    EXPECT_EQ(authorizer.requests, 0);
    EXPECT_EQ(copy.read(system.store), old);
    EXPECT_TRUE(copy.temporaryFolderIsEmpty()) << reason;
  }
}

// Another program rewrites the store after the repair read it: the repair
// must not install a store built from what is no longer there.
TEST(RepairFaults, StoreChangedWhileTheRepairRunsIsNotOverwritten) {
  for (const System& system : kSystems) {
    // Before each step up to the one that moves the copy over the store
    // (mkdir, cp, mv of the backup, chown, mv beside the store): the store is
    // compared with what the builder read just before that move.
    for (int step = 1; step <= 5; ++step) {
      const std::string what = std::string(system.name) + ", changed before privileged step " + std::to_string(step);
      MemoryCopiedSystem copy(system.name);
      Value changed = parsePropertyList(copy.read(system.store));
      ASSERT_TRUE(changed.dictionary()) << what;
      changed.dictionary()->set("ChangedByAnotherProgram", Value(true));
      const std::string other = toXmlPropertyList(changed);
      FaultAuthorizer authorizer(copy, Fault::None, 0);
      authorizer.beforeStep = [&](int n) {
        if (n == step) copy.put(system.store, other);
      };
      ProviderDatas settings = providerSettings();
      const RepairOutcome outcome = OnRepair(copy, authorizer, settings);
      EXPECT_FALSE(outcome.applied) << what;
      EXPECT_EQ(copy.read(system.store), other) << what << ": the other program's store was replaced";
    }
  }
}

}  // namespace
}  // namespace corvane
