#pragma once
// The child processes of vorla-bench, each started by the report with
// "--child <name>" and run in a process of its own.

namespace bench {

// The program as app/main.cpp starts it, on the simulated wheel, watched for
// its first paint (see runStartupChild).
int programStartupChild(int argc, char *argv[]);

// In one process, on the offscreen platform: the GUI thread's longest stall
// while idle, during the start-up read, during uploads at several wheel
// speeds and the reconnect after them, and the upload's host cost against a
// bare loop of the same reports.
int stallsChild(int argc, char *argv[]);

// The report: starts the children of this build, of the bare window and of
// the build from before (--before DIR), and prints the table.
int report(int argc, char *argv[]);

} // namespace bench
