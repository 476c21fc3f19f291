// The trace facility: channel words routed to standard output or the log file.
#pragma once

#include <cstdint>

inline constexpr uint32_t kTraceChannelMask = 0x00FFFFFF;
inline constexpr uint32_t kTraceToFile = 0x01000000;
inline constexpr uint32_t kTraceToConsole = 0x02000000;
inline constexpr uint32_t kTraceNewline = 0x10000000;
inline constexpr uint32_t kTraceFlagged = 0x20000000;
inline constexpr uint32_t kTraceRouteMask = kTraceToFile | kTraceToConsole | kTraceFlagged;

// 1 when the message was formatted and written, 0 when the channel routes nowhere.
int TracePrintf(uint32_t channel, const char* format, ...) __attribute__((format(printf, 2, 3)));
int TraceText(uint32_t channel, const char* text);
uint32_t TraceWrite(uint32_t channel, const char* text);
void SetTraceChannel(uint32_t channel, uint32_t routing);
uint32_t GetTraceChannelRoute(uint32_t channel);
