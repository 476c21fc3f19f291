// HandleWindowMessage and the engine's 'GetS' round trip run on every input
// message and every frame: they must not allocate. Every operator new of
// this program and every string block is counted while the host works.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

#include "HostTestSupport.h"
#include "host/EngineHost.h"
#include "runtime/ResultCodes.h"
#include "text/UtilStr.h"

namespace {

thread_local bool tCounting = false;
thread_local int tAllocations = 0;

void* CountedAllocate(size_t size) {
  if (tCounting) ++tAllocations;
  void* block = std::malloc(size ? size : 1);
  if (!block) throw std::bad_alloc();
  return block;
}

}  // namespace

void* operator new(size_t size) {
  return CountedAllocate(size);
}
void* operator new[](size_t size) {
  return CountedAllocate(size);
}
void* operator new(size_t size, const std::nothrow_t&) noexcept {
  if (tCounting) ++tAllocations;
  return std::malloc(size ? size : 1);
}
void* operator new[](size_t size, const std::nothrow_t&) noexcept {
  if (tCounting) ++tAllocations;
  return std::malloc(size ? size : 1);
}
void operator delete(void* block) noexcept {
  std::free(block);
}
void operator delete[](void* block) noexcept {
  std::free(block);
}
void operator delete(void* block, size_t) noexcept {
  std::free(block);
}
void operator delete[](void* block, size_t) noexcept {
  std::free(block);
}

namespace {

using host_test::HostWindow;
using host_test::LoadedTestEngine;
using host_test::Releaser;

// Counts string blocks too: they do not go through operator new.
class CountedStringBlocks {
 public:
  CountedStringBlocks() : mOriginal(DefaultBlockAllocator().allocate) {
    sOriginal = mOriginal;
    DefaultBlockAllocator().allocate = [](int64_t bytes) {
      if (tCounting) ++tAllocations;
      return sOriginal(bytes);
    };
  }
  ~CountedStringBlocks() { DefaultBlockAllocator().allocate = mOriginal; }
  CountedStringBlocks(const CountedStringBlocks&) = delete;
  CountedStringBlocks& operator=(const CountedStringBlocks&) = delete;

 private:
  static inline void* (*sOriginal)(int64_t) = nullptr;
  void* (*mOriginal)(int64_t);
};

// Answers sample requests the way a player host does: fixed buffers, copies.
class SamplingHost : public EngineHost {
 public:
  int32_t OnGetSamples(void* data) override {
    auto* request = static_cast<TestEngineSampleRequest*>(data);
    if (!request) return kErrNotHandled;
    const int32_t waveform = std::clamp(request->waveformCapacity, 0, 512);
    const int32_t spectrum = std::clamp(request->spectrumCapacity, 0, 256);
    request->waveformCount = request->waveform ? waveform : 0;
    request->spectrumCount = request->spectrum ? spectrum : 0;
    if (request->waveform)
      std::memcpy(request->waveform, mWaveform, size_t(request->waveformCount) * sizeof(float));
    if (request->spectrum)
      std::memcpy(request->spectrum, mSpectrum, size_t(request->spectrumCount) * sizeof(float));
    ++mRequests;
    return kOk;
  }

  float mWaveform[512] = {};
  float mSpectrum[256] = {};
  int mRequests = 0;
};

TEST(EngineHostAllocationTest, WindowMessagesAndSampleRequestsAllocateNothing) {
  LoadedTestEngine engine;
  ASSERT_TRUE(engine.IsReady());
  HostWindow window;
  CountedStringBlocks countedBlocks;
  std::unique_ptr<SamplingHost, Releaser<SamplingHost>> host(new SamplingHost);
  host->SetHostParameters("Host=\"Test\"");
  host->SetTrackClientRect(true);
  host->SetMouseBorder(2);
  host->SetEngineTable(engine.Table());
  host->StartEngine();
  host->AttachWindow(window.Get(), 0, 0);
  engine.Control().QueueSampleRequest(1024, 1024, kTestEngineEveryStep);
  engine.Control().SetSendAnswer(kCodeEvent, kErrEventUnused);

  const LPARAM scanCodeA = LPARAM(MapVirtualKeyA('A', MAPVK_VK_TO_VSC)) << 16;
  WINDOWPOS moved{};
  moved.flags = SWP_NOSIZE;
  struct Message {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
  };
  const Message messages[] = {
      {WM_MBUTTONDBLCLK, 0, EngineHost::kPacingMessageParam},
      {WM_KEYDOWN, VK_UP, 0},
      {WM_KEYDOWN, 'A', scanCodeA},
      {WM_CHAR, 1, scanCodeA},
      {WM_KEYUP, 'A', scanCodeA},
      {WM_SYSCHAR, 'f', 0},
      {WM_LBUTTONDOWN, 0, MAKELPARAM(20, 20)},
      {WM_LBUTTONDBLCLK, 0, MAKELPARAM(20, 20)},
      {WM_RBUTTONUP, 0, MAKELPARAM(1, 1)},
      {WM_MOUSEWHEEL, WPARAM(30) << 16, MAKELPARAM(300, 300)},
      {WM_MOUSEHWHEEL, WPARAM(0xFF88) << 16, 0},
      {WM_MOUSEMOVE, 0, 0},
      {WM_PAINT, 0, 0},
      {WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&moved)},
      {WM_MBUTTONDBLCLK, 0, EngineHost::kPacingMessageParam},
  };

  BYTE keys[256];
  GetKeyboardState(keys);
  keys[VK_CONTROL] = 0x80;
  SetKeyboardState(keys);
  tAllocations = 0;
  tCounting = true;
  for (int round = 0; round < 3; ++round) {
    for (const Message& m : messages) {
      bool handled = false;
      host->HandleWindowMessage(m.message, m.wParam, m.lParam, &handled);
    }
  }
  tCounting = false;
  keys[VK_CONTROL] = 0;
  SetKeyboardState(keys);

  EXPECT_EQ(tAllocations, 0);
  EXPECT_EQ(host->mRequests, 6) << "every pacing message made one sample request";
  int32_t waveformCount = 0, spectrumCount = 0;
  engine.Control().GetLastSamples(nullptr, nullptr, 0, &waveformCount, &spectrumCount);
  EXPECT_EQ(waveformCount, 512);
  EXPECT_EQ(spectrumCount, 256);
}

}  // namespace
