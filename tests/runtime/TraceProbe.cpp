// Traces a fixed script so that a test can check standard output and the
// log file from outside. Usage: trace_probe <desktop folder>
#include <string>

#include "runtime/Trace.h"

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  // Stands in for the desktop that the load-time set-up found.
  SetUpTrace(argv[1], false);
  const std::string longText(2000, 'L');
  int printed = 0;
  printed += TracePrintf(0x10000001, "describe %d", 1);
  printed += TracePrintf(0x1000000A, "silent %d", 10);
  SetTraceChannel(5, kTraceToFile);
  printed += TracePrintf(0x10000005, "to the file %s", "only");
  SetTraceChannel(5, kTraceToFile | kTraceToConsole);
  printed += TracePrintf(0x10000005, "%s", longText.c_str());
  printed += TracePrintf(0x00000005, "run-on ");
  printed += TraceText(0x10000005, "line\n") == 0;
  SetTraceChannel(5, kTraceToConsole);
  printed += TracePrintf(0x10000005, "console again");
  return printed == 6 ? 0 : 1;
}
