#include "runtime/Trace.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

#include "platform/Platform.h"
#include "runtime/TimeStamp.h"
#include "runtime/XTextSink.h"

namespace {

constexpr int kStackBufferSize = 512;
constexpr int kStackCapacity = 510;
constexpr int kLogPathSize = 1024;
constexpr int kBannerTimeSize = 1024;
constexpr uint32_t kRoutingBitsMask = 0xFF000000;

// The channels that the key chord at load sends to standard output.
constexpr uint32_t kDiagnosticChannels[] = {12, 13, 10, 14, 15, 16, 17, 18, 19, 20, 21, 70, 50};

// Constant-initialised, so routing works for static constructors that run
// before the load-time set-up.
constinit TraceChannelTable gTable = {{0x02000001}, 1};
constinit std::atomic<bool> gBannerPending{true};
constinit std::atomic<TraceCallback> gCallback{nullptr};
constinit std::atomic<XTextSink*> gSink{nullptr};

int FindEntry(uint32_t channel) {
  for (int i = 0; i < gTable.mCount; ++i)
    if ((gTable.mEntries[i] & kTraceChannelMask) == channel) return i;
  return -1;
}

uint32_t ResolveRoute(uint32_t channel) {
  return (channel & kTraceRouteMask) ? channel : channel | GetTraceChannelRoute(channel);
}

// The log file opened for appending, with the process's banner written
// before its first message; null when it cannot be opened.
std::FILE* OpenLogFile() {
  char path[kLogPathSize];
  const int length = std::snprintf(path, sizeof(path), "%s%s", gLogFolder, kLogFileName);
  if (length < 0 || length >= kLogPathSize) return nullptr;
  std::FILE* file = PlatformOpenForAppend(path);
  if (file && gBannerPending.exchange(false)) {
    char time[kBannerTimeSize];
    FormatLocalTime(time, sizeof(time));
    std::fprintf(file, "===== %s =====\n", time);
  }
  return file;
}

void RunLoadTimeSetUp() {
  char desktop[kLogFolderSize];
  if (!PlatformDesktopFolder(desktop, sizeof(desktop))) desktop[0] = 0;
  SetUpTrace(desktop, PlatformTraceChordHeld());
}

[[maybe_unused]] const bool gTraceSetUp = (RunLoadTimeSetUp(), true);

}  // namespace

constinit char gLogFolder[kLogFolderSize] = {};

uint32_t GetTraceChannelRoute(uint32_t channel) {
  channel &= kTraceChannelMask;
  if (gTable.mCount <= 0 || channel == 0) return 0;
  const int index = FindEntry(channel);
  return index < 0 ? 0 : gTable.mEntries[index] & kRoutingBitsMask;
}

void SetTraceChannel(uint32_t channel, uint32_t routing) {
  channel &= kTraceChannelMask;
  routing &= kRoutingBitsMask;
  if (channel == 0) return;
  const int index = FindEntry(channel);
  if (index >= 0) {
    if (routing)
      gTable.mEntries[index] = channel | routing;
    else
      gTable.mEntries[index] = gTable.mEntries[--gTable.mCount];
  } else if (routing && gTable.mCount < kTraceChannelCapacity) {
    gTable.mEntries[gTable.mCount++] = channel | routing;
  }
}

const TraceChannelTable& GetTraceChannelTable() {
  return gTable;
}

uint32_t TraceWrite(uint32_t channel, const char* text) {
  const uint32_t flagged = channel & kTraceFlagged;
  if (!text) return flagged;
  const bool newline = channel & kTraceNewline;
  std::FILE* file = (channel & kTraceToFile) ? OpenLogFile() : nullptr;
  if (channel & (kTraceToConsole | kTraceFlagged)) {
    std::fputs(text, stdout);
    if (newline) std::fputc('\n', stdout);
    std::fflush(stdout);
    if (XTextSink* sink = gSink.load(std::memory_order_acquire)) {
      SinkWrite(sink, text, -1);
      if (newline) SinkWrite(sink, "\n", 1);
    }
    if (const TraceCallback callback = gCallback.load(std::memory_order_acquire)) callback(channel, text);
  }
  if (file) {
    std::fputs(text, file);
    if (newline) std::fputc('\n', file);
    std::fclose(file);
  }
  return flagged;
}

int TraceText(uint32_t channel, const char* text) {
  channel = ResolveRoute(channel);
  return (channel & kTraceRouteMask) ? int(TraceWrite(channel, text)) : 0;
}

int TracePrintf(uint32_t channel, const char* format, ...) {
  channel = ResolveRoute(channel);
  if (!(channel & kTraceRouteMask) || !format) return 0;
  char stackBuffer[kStackBufferSize];
  va_list arguments;
  va_start(arguments, format);
  va_list retry;
  va_copy(retry, arguments);
  const int needed = std::vsnprintf(stackBuffer, kStackCapacity, format, arguments);
  va_end(arguments);
  int written = 0;
  if (needed >= 0 && needed < kStackCapacity) {
    TraceWrite(channel, stackBuffer);
    written = 1;
  } else if (needed >= 0) {
    const std::unique_ptr<char[]> heapBuffer(new (std::nothrow) char[size_t(needed) + 1]);
    if (heapBuffer && std::vsnprintf(heapBuffer.get(), size_t(needed) + 1, format, retry) == needed) {
      TraceWrite(channel, heapBuffer.get());
      written = 1;
    }
  }
  va_end(retry);
  return written;
}

void SetUpTrace(const char* desktopFolder, bool extraChannels) {
  const size_t length = desktopFolder ? std::strlen(desktopFolder) : 0;
  // A cut path would name some other place: a desktop that does not fit
  // counts as unresolved.
  const size_t kept = length + 1 < size_t(kLogFolderSize) ? length : 0;
  if (kept) std::memcpy(gLogFolder, desktopFolder, kept);
  gLogFolder[kept] = '\\';
  gLogFolder[kept + 1] = 0;
  if (extraChannels)
    for (const uint32_t channel : kDiagnosticChannels) SetTraceChannel(channel, kTraceToConsole);
}

void SetTraceCallback(TraceCallback callback) {
  gCallback.store(callback, std::memory_order_release);
}

void SetTraceSink(XTextSink* sink) {
  gSink.store(sink, std::memory_order_release);
}
