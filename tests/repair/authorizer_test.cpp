#include "core/authorizer.h"

#include <gtest/gtest.h>

#include "support/temp_folder.h"

namespace corvane {
namespace {

TEST(SystemAuthorizer, UnderACapturedRootGrantsAndRunsTheRootsTools) {
  testing::TempFolder root;
  root.write("bin/echo-args", "#!/bin/sh\necho \"$@\"\nexit 3\n", true);
  Platform platform({.root = root.path(), .pauses = false, .syslog = false});
  SystemAuthorizer authorizer(platform);
  EXPECT_FALSE(authorizer.runPrivileged("/bin/echo-args", {"a"}).started);  // no rights yet
  ASSERT_TRUE(authorizer.obtainRights());
  const ToolRun run = authorizer.runPrivileged("/bin/echo-args", {"a", "b"});
  EXPECT_EQ(run.output, "a b\n");
  EXPECT_EQ(run.exitStatus, 3);
  authorizer.releaseRights();
  EXPECT_FALSE(authorizer.runPrivileged("/bin/echo-args", {"a"}).started);
}

TEST(SystemAuthorizer, OnTheSystemWithoutPkexecRefuses) {
  Platform platform({.root = "/", .pauses = false, .syslog = false});
  SystemAuthorizer authorizer(platform, "/nonexistent/pkexec");
  EXPECT_FALSE(authorizer.obtainRights());
  EXPECT_FALSE(authorizer.runPrivileged("/bin/true", {}).started);
}

}  // namespace
}  // namespace corvane
