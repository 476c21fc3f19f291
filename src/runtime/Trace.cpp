// Stand-in until the full trace facility lands: channel 1 to standard output.
#include "runtime/Trace.h"

#include <cstdarg>
#include <cstdio>

uint32_t GetTraceChannelRoute(uint32_t channel) {
  return (channel & kTraceChannelMask) == 1 ? kTraceToConsole : 0;
}

void SetTraceChannel(uint32_t, uint32_t) {}

uint32_t TraceWrite(uint32_t channel, const char* text) {
  if (text && (channel & (kTraceToConsole | kTraceFlagged))) std::printf((channel & kTraceNewline) ? "%s\n" : "%s", text);
  return channel & kTraceFlagged;
}

int TraceText(uint32_t channel, const char* text) {
  channel |= GetTraceChannelRoute(channel);
  return (channel & kTraceRouteMask) ? int(TraceWrite(channel, text)) : 0;
}

int TracePrintf(uint32_t channel, const char* format, ...) {
  channel |= GetTraceChannelRoute(channel);
  if (!(channel & kTraceRouteMask)) return 0;
  va_list args;
  va_start(args, format);
  std::vprintf(format, args);
  va_end(args);
  if (channel & kTraceNewline) std::putchar('\n');
  return 1;
}
