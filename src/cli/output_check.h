#pragma once
// The answer a command printed reached its reader, or the program says it
// did not: a full disk or a standard output that refuses makes a failure of
// a command that would otherwise have succeeded.

#include <string>

namespace corvane::cli {

// Flushes standard output. When anything written to it was lost, says so in
// one line on standard error and returns 1; else returns status. A reader
// that went away (a closed pipe) is no failure to report: the status is then
// quietly that of SIGPIPE (128 + its number), as a shell shows for any tool
// in a pipeline that lost its reader.
int finishOutput(int status);

}  // namespace corvane::cli
