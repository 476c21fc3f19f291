// The trace facility: channel words routed to standard output or the log
// file "Brightcurrent Log.txt" in the desktop folder. Nothing in it ever
// fails its caller: a message that cannot be written is dropped.
#pragma once

#include <cstdint>

class XTextSink;

// Channel word: channel number in bits 0-23, routing and line-break bits above.
inline constexpr uint32_t kTraceChannelMask = 0x00FFFFFF;
inline constexpr uint32_t kTraceToFile = 0x01000000;
inline constexpr uint32_t kTraceToConsole = 0x02000000;
inline constexpr uint32_t kTraceNewline = 0x10000000;
// Routes like kTraceToConsole and is handed back by TraceWrite.
inline constexpr uint32_t kTraceFlagged = 0x20000000;
inline constexpr uint32_t kTraceRouteMask = kTraceToFile | kTraceToConsole | kTraceFlagged;

inline constexpr int kTraceChannelCapacity = 32;
inline constexpr int kLogFolderSize = 256;
inline constexpr char kLogFileName[] = "Brightcurrent Log.txt";

// Each entry: channel number in bits 0-23, its routing bits in 24-31.
// Unordered; at load it holds channel 1 routed to standard output.
struct TraceChannelTable {
  uint32_t mEntries[kTraceChannelCapacity];
  int32_t mCount;
};

// The desktop folder followed by one backslash; filled by the load-time set-up.
extern char gLogFolder[kLogFolderSize];

// 1 when the message was formatted and written, 0 when the channel routes
// nowhere (then nothing is formatted).
int TracePrintf(uint32_t channel, const char* format, ...) __attribute__((format(printf, 2, 3)));
// Like TracePrintf with a finished text: TraceWrite's answer, or 0 when the
// channel routes nowhere.
int TraceText(uint32_t channel, const char* text);
// Writes one finished text to every output the channel word selects;
// answers the word's kTraceFlagged bit.
uint32_t TraceWrite(uint32_t channel, const char* text);

// Adds, changes (the routing bits are replaced) or, with routing 0, removes
// the entry of a channel. Channel 0 and additions to a full table are ignored.
void SetTraceChannel(uint32_t channel, uint32_t routing);
// The routing bits of the channel's entry, 0 when it has none.
uint32_t GetTraceChannelRoute(uint32_t channel);
const TraceChannelTable& GetTraceChannelTable();

// What the module does once while it loads: the log folder becomes the
// desktop folder (empty when unresolved) plus a backslash, and with
// extraChannels the diagnostic channels 10, 12-21, 50 and 70 print to
// standard output. A folder that does not fit leaves the lone backslash.
void SetUpTrace(const char* desktopFolder, bool extraChannels);

// Optional receivers of everything routed to standard output; none is set
// at load. The sink gets the text through SinkWrite.
using TraceCallback = void (*)(uint32_t channel, const char* text);
void SetTraceCallback(TraceCallback callback);
void SetTraceSink(XTextSink* sink);
