#include "inspect/ps_output.h"

#include <gtest/gtest.h>

namespace corvane {
namespace {

struct PsCase {
  const char* output;
  const char* serviceID;
};

TEST(PppServiceIDFromPs, FindsTheServiceOfTheDaemon) {
  const PsCase cases[] = {
      {"  PID  TT  STAT      TIME COMMAND\n  123  ??  Ss     0:00.05 pppd serviceid ABC optionsfd 3\n", "ABC"},
      // The words must follow each other exactly.
      {"  123  ??  Ss     0:00.05 pppd serviceid\n", ""},
      {"  123  ??  Ss     0:00.05 /usr/sbin/pppd serviceid ABC\n", ""},
      {"  123  ??  Ss     0:00.05 pppd  serviceid ABC\n", ""},
      {"  123  ??  Ss     0:00.05 pppd serviceid  ABC\n", ""},
      {"  123  ??  Ss     0:00.05 pppd\n", ""},
      {"pppd serviceid ABC", "ABC"},
      // Of several daemons the last line counts.
      {"1 ?? S 0:00 pppd serviceid FIRST\n2 ?? S 0:00 pppd serviceid SECOND\n", "SECOND"},
      // A later line with the words but no id keeps the earlier id.
      {"1 ?? S 0:00 pppd serviceid FIRST\n2 ?? S 0:00 pppd serviceid\n", "FIRST"},
      // Within a line the first occurrence is taken.
      {"1 ?? S 0:00 pppd serviceid A pppd serviceid B\n", "A"},
      {"", ""},
      {"\n\n\n", ""},
      {"  PID TTY           TIME CMD\n  612 ttys000    0:00.01 -bash\n", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(pppServiceIDFromPs(c.output), c.serviceID) << c.output;
}

}  // namespace
}  // namespace corvane
