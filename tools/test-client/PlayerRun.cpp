#include "PlayerRun.h"

#include <windows.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "RegistryChecks.h"
#include "SimCore.h"
#include "SimMedia.h"
#include "TestEngineControl.h"
#include "host/VisualAPI.h"
#include "plugin/ComPtr.h"
#include "plugin/WmpEffects.h"

namespace {

constexpr wchar_t kPaneClass[] = L"BCTestClientPane";
constexpr int kPaneWidth = 640;
constexpr int kPaneHeight = 480;

IWMPEffects2* gEffects = nullptr;

// The player offers the pane's messages to the visualization first.
LRESULT CALLBACK PaneProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (gEffects) {
    LRESULT result = 0;
    if (gEffects->OnWindowMessage(message, wParam, lParam, &result) == S_OK) return result;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

HWND CreatePane() {
  WNDCLASSW windowClass = {};
  windowClass.lpfnWndProc = PaneProc;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = kPaneClass;
  RegisterClassW(&windowClass);
  return CreateWindowExW(0, kPaneClass, L"Lumatide test player", WS_OVERLAPPEDWINDOW, 40, 40, kPaneWidth,
                         kPaneHeight, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
}

void PumpMessages(DWORD milliseconds) {
  const ULONGLONG end = GetTickCount64() + milliseconds;
  for (;;) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    const ULONGLONG now = GetTickCount64();
    if (now >= end) return;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(end - now), QS_ALLINPUT);
  }
}

bool RunsAsMediaCenter() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  const size_t length = wcslen(path);
  const wchar_t suffix[] = L"\\ehshell.exe";
  const size_t suffixLength = wcslen(suffix);
  return length >= suffixLength && _wcsicmp(path + length - suffixLength, suffix) == 0;
}

// A frame whose every cell differs, so the checks see the exact conversion.
TimedLevel PatternFrame() {
  TimedLevel levels{};
  for (int i = 0; i < SA_BUFFER_SIZE; ++i) {
    levels.waveform[0][i] = static_cast<unsigned char>(i * 7 + 3);
    levels.waveform[1][i] = static_cast<unsigned char>(255 - i * 5);
    levels.frequency[0][i] = static_cast<unsigned char>(i);
    levels.frequency[1][i] = static_cast<unsigned char>(i / 2 + 9);
  }
  levels.state = play_state;
  return levels;
}

std::u16string FieldAt(const std::vector<uint8_t>& record, size_t offset) {
  std::u16string text;
  for (size_t i = offset; i + 1 < record.size() && i < offset + 512; i += 2) {
    const char16_t unit = static_cast<char16_t>(record[i] | record[i + 1] << 8);
    if (unit == 0) break;
    text += unit;
  }
  return text;
}

std::string Narrow16(const std::u16string& text) {
  return std::string(text.begin(), text.end());
}

void CheckEngineRun(ClientChecks& checks, TestEngineControl& engine, HWND pane, bool mediaCenter,
                    int attachedAt, const TimedLevel& levels) {
  checks.Expect(attachedAt == (mediaCenter ? 20 : 3), "engine attached on the delayed render call",
                std::to_string(attachedAt));

  const auto creates = engine.CallsOf(kTestEngineCreate);
  const std::string hostText =
      std::string(mediaCenter
                      ? "Host=\"Windows Media Center\" Realtime=1 FSFlags=0 Kybd=1 Mouse=1 HostAudio=1"
                      : "Host=\"Windows Media Player\" Realtime=1 FSFlags=2 Kybd=0 Mouse=1 HostAudio=1") +
      std::string(26, ' ');
  checks.Expect(creates.size() == 1, "one engine instance", std::to_string(creates.size()));
  if (!creates.empty()) checks.Expect(creates[0].text == hostText, "host text", "'" + creates[0].text + "'");

  const auto targets = engine.CallsOf(kTestEngineSetTarget);
  checks.Expect(!targets.empty() && targets[0].pointer == pane && targets[0].flags == kTargetWindow,
                "attached to the pane as a window target");

  const auto tracks = engine.CallsOf(kTestEngineSend, kCodeTrack);
  checks.Expect(!tracks.empty(), "told the track");
  if (!tracks.empty()) {
    const auto& record = tracks.back().payload;
    int32_t size = 0, year = 0;
    if (record.size() >= 16) {
      std::memcpy(&size, record.data(), 4);
      std::memcpy(&year, record.data() + 12, 4);
    }
    checks.Expect(record.size() == 3100 && size == 3100, "track record of 3100 bytes", std::to_string(size));
    checks.Expect(year == 2004, "track year", std::to_string(year));
    checks.Expect(FieldAt(record, 28) == u"Client Song", "track title", Narrow16(FieldAt(record, 28)));
    checks.Expect(FieldAt(record, 540) == u"Client Artist", "track artists", Narrow16(FieldAt(record, 540)));
    checks.Expect(FieldAt(record, 1052) == u"Client Album", "track album", Narrow16(FieldAt(record, 1052)));
  }
  checks.Expect(engine.CallsOf(kTestEngineSend, kCodeCoverArt).size() == tracks.size(),
                "album art with every track");

  const auto insets = engine.CallsOf(kTestEngineSend, kCodeInsets);
  checks.Expect(!insets.empty(), "insets sent");
  if (!insets.empty() && insets.back().payload.size() == 16) {
    int32_t values[4];
    std::memcpy(values, insets.back().payload.data(), 16);
    const int32_t band = mediaCenter ? 75 : 0;
    checks.Expect(values[0] == 0 && values[1] == band && values[2] == 0 && values[3] == band,
                  mediaCenter ? "Media Center's 75-pixel bands" : "no insets in the player",
                  std::to_string(values[0]) + "," + std::to_string(values[1]) + "," +
                      std::to_string(values[2]) + "," + std::to_string(values[3]));
  }

  checks.Expect(!engine.CallsOf(kTestEngineStep).empty(), "engine stepped on the pane's thread");
  float waveform[kTestEngineSampleBufferSize] = {};
  float spectrum[kTestEngineSampleBufferSize] = {};
  int32_t waveformCount = 0, spectrumCount = 0;
  engine.GetLastSamples(waveform, spectrum, kTestEngineSampleBufferSize, &waveformCount, &spectrumCount);
  checks.Expect(waveformCount > 0 && waveformCount <= 512 && waveformCount % 128 == 0 && spectrumCount == 256,
                "'GetS' answered a slice of 512 and the 256 spectrum values",
                std::to_string(waveformCount) + "/" + std::to_string(spectrumCount));
  const int offset = 512 - waveformCount;
  int mismatches = 0;
  for (int i = 0; i < waveformCount; ++i) {
    const int sample = offset + i;
    const float expected =
        0.0027f * static_cast<float>(levels.waveform[0][2 * sample] + levels.waveform[1][2 * sample] - 254);
    if (std::fabs(waveform[i] - expected) > 1e-6f) ++mismatches;
  }
  for (int i = 0; i < spectrumCount; ++i) {
    const float expected =
        0.2f * static_cast<float>(levels.frequency[0][i + 24] + levels.frequency[1][i + 24]);
    if (std::fabs(spectrum[i] - expected) > 1e-4f) ++mismatches;
  }
  checks.Expect(mismatches == 0, "'GetS' audio matches the rendered frame",
                std::to_string(mismatches) + " wrong");
}

}  // namespace

void RunPlayer(ClientChecks& checks, const PlayerRunOptions& options) {
  const bool mediaCenter = RunsAsMediaCenter();
  const bool engineRuns = options.engine != EngineExpectation::kAbsent;
  std::printf("player run: %s, engine %s\n", mediaCenter ? "Media Center" : "Media Player",
              options.engine == EngineExpectation::kRuns         ? "runs"
              : options.engine == EngineExpectation::kMisbehaves ? "misbehaves"
                                                                 : "absent");

  TestEngineControl engine;
  HMODULE pinnedEngine = nullptr;
  if (engineRuns) {
    // Loaded first (the plug-in then gets this same module) so the answers
    // are set before it starts, and kept loaded to read the record after.
    pinnedEngine = LoadLibraryW(options.enginePath.c_str());
    if (!checks.Expect(pinnedEngine && engine.Bind(pinnedEngine), "test engine loads",
                       Narrow(options.enginePath))) {
      return;
    }
    engine.Reset();
    engine.QueueSampleRequest(512, 256, kTestEngineEveryStep);
    if (options.engine == EngineExpectation::kMisbehaves) {
      engine.QueueSampleRequest(-7, 100000, kTestEngineEveryStep | kTestEngineNullSpectrum);
      engine.QueueSampleRequest(INT32_MAX, -1, kTestEngineEveryStep | kTestEngineNullWaveform);
      engine.QueueCallback(kCodeGetSamples, nullptr, 0, 48, kTestEngineEveryStep);
      engine.QueueCallback(kCodeFullScreenPrefs, nullptr, 0, 12, kTestEngineEveryStep);
      engine.QueueCallback(0x7FFFFFFF, nullptr, 0, -1, kTestEngineEveryStep);
      engine.SetSendAnswer(0, 55012);
      engine.SetStepPeriod(-5000);
    }
  }

  const std::wstring classIdText = ReadEffectClassId();
  CLSID classId = GUID_NULL;
  checks.Expect(!classIdText.empty() && SUCCEEDED(CLSIDFromString(classIdText.c_str(), &classId)),
                "class id from Effects\\Lumatide\\Properties\\classid", Narrow(classIdText));
  ComPtr<IWMPEffects2> effects;
  const HRESULT created =
      CoCreateInstance(classId, nullptr, CLSCTX_INPROC_SERVER, __uuidof(IWMPEffects2), effects.PutVoid());
  if (!checks.Expect(SUCCEEDED(created) && effects, "CoCreateInstance of the visualization", Hex(created)))
    return;

  DWORD capabilities = 0;
  checks.Expect(effects->GetCapabilities(&capabilities) == S_OK && capabilities == EFFECT_CANGOFULLSCREEN,
                "capabilities: full screen only");
  BSTR title = nullptr;
  checks.Expect(effects->GetTitle(&title) == S_OK && title && std::wstring(title) == L"Lumatide",
                "title Lumatide", title ? Narrow(title) : "");
  SysFreeString(title);

  const HWND pane = CreatePane();
  gEffects = effects.Get();
  ComPtr<player_sim::SimCore> core = player_sim::SimCore::Create();
  core->SetPlayState(wmppsPlaying);
  const HRESULT coreSet = effects->SetCore(core.Get());
  checks.Expect(coreSet == S_OK && core->AdvisedSinkCount() == 1, "SetCore advises on the player's events",
                Hex(coreSet));

  player_sim::MediaDescription description;
  description.sourceUrl = L"C:\\Music\\Client Album\\01 Client Song.wma";
  description.name = L"Client Song";
  description.durationSeconds = 180;
  description.attributes = {{L"Title", L"Client Song"},
                            {L"Author", L"Client Artist"},
                            {L"WM/AlbumTitle", L"Client Album"},
                            {L"WM/Year", L"2004"}};
  ComPtr<player_sim::SimMedia> media = player_sim::SimMedia::Create(description);
  core->SetCurrentMedia(media.Get());
  BSTR mediaTitle = SysAllocString(L"Client Song");
  effects->MediaInfo(2, 44100, mediaTitle);
  SysFreeString(mediaTitle);
  effects->NotifyNewMedia(media.Get());

  checks.Expect(effects->Create(pane) == S_OK, "Create with the pane");
  const TimedLevel levels = PatternFrame();
  int attachedAt = 0;
  int failedRenders = 0;
  for (int call = 1; call <= options.renderCalls; ++call) {
    TimedLevel frame = levels;
    if (effects->RenderWindowed(&frame, TRUE) != S_OK) ++failedRenders;
    if (engineRuns && attachedAt == 0) {
      for (const auto& target : engine.CallsOf(kTestEngineSetTarget)) {
        if (target.pointer == pane) attachedAt = call;
      }
    }
    PumpMessages(15);
  }
  checks.Expect(failedRenders == 0, "every render call succeeds", std::to_string(failedRenders));

  LRESULT result = 0;
  checks.Expect(effects->OnWindowMessage(WM_USER + 9, 0, 0, &result) == S_FALSE,
                "unknown messages stay the player's");

  if (options.engine == EngineExpectation::kRuns)
    CheckEngineRun(checks, engine, pane, mediaCenter, attachedAt, levels);
  if (options.engine == EngineExpectation::kMisbehaves) {
    checks.Expect(!engine.CallsOf(kTestEngineStep).empty(), "a misbehaving engine still runs");
  }
  if (!engineRuns) {
    checks.Expect(GetModuleHandleW(L"TestEngine.dll") == nullptr, "no engine library loaded");
  }

  checks.Expect(effects->Destroy() == S_OK, "Destroy");
  checks.Expect(effects->SetCore(nullptr) == S_OK && core->AdvisedSinkCount() == 0,
                "SetCore(NULL) unadvises");
  gEffects = nullptr;
  effects.Reset();
  if (engineRuns) {
    checks.Expect(engine.CallsOf(kTestEngineDestroy).size() == 1, "engine instance destroyed");
    checks.Expect(engine.CallsOf(kTestEngineReleaseAPI).size() == 1, "engine table given back");
  }
  DestroyWindow(pane);
  CoFreeUnusedLibraries();
  if (pinnedEngine) FreeLibrary(pinnedEngine);
}
