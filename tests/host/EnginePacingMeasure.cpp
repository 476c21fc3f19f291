// A measurement, not a check of speed: the frame rate that the pacing thread
// achieves with an engine whose Step asks for 10 ms, over five seconds. The
// design rate is 1000 / (10 + 6) frames per second; the figure is printed.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <memory>

#include "HostTestSupport.h"
#include "host/EngineHost.h"

namespace {

using host_test::HostWindow;
using host_test::LoadedTestEngine;
using host_test::PumpMessages;
using host_test::Releaser;

// Audio stays fresh, as while the player renders faster than the engine.
class FreshAudioHost : public EngineHost {
 public:
  int32_t OnGetSamples(void*) override {
    SetAudioFresh(true);
    return 0;
  }
};

TEST(EnginePacingMeasure, FrameRateOfATenMillisecondEngine) {
  LoadedTestEngine engine;
  ASSERT_TRUE(engine.IsReady());
  HostWindow window;
  std::unique_ptr<FreshAudioHost, Releaser<FreshAudioHost>> host(new FreshAudioHost);
  window.Route(host.get());
  host->SetUsePacingThread(true);
  engine.Control().SetStepPeriod(10);
  engine.Control().QueueSampleRequest(512, 256, kTestEngineEveryStep);
  host->SetEngineTable(engine.Table());
  host->StartEngine();
  host->AttachWindow(window.Get(), 0, 0);
  host->SetAudioFresh(true);
  host->SetPacingActive(true);
  PumpMessages(300);

  engine.Control().ClearCalls();
  LARGE_INTEGER frequency, start, end;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  PumpMessages(5000);
  QueryPerformanceCounter(&end);
  const size_t frames = engine.Control().CallsOf(kTestEngineStep).size();
  host->StopEngine();
  window.Route(nullptr);

  const double seconds = double(end.QuadPart - start.QuadPart) / double(frequency.QuadPart);
  const double rate = double(frames) / seconds;
  const double designRate = 1000.0 / (10 + EngineHost::kPeriodExtraMs);
  std::printf("pacing: %zu frames in %.2f s = %.1f fps; design rate %.2f fps, 90%% of it %.2f fps (%.0f%%)\n",
              frames, seconds, rate, designRate, 0.9 * designRate, 100.0 * rate / designRate);
  RecordProperty("frames_per_second", int(rate + 0.5));
  EXPECT_GT(frames, 0u);
}

}  // namespace
