// The sample engine through its exports, driven by a fake host: what it
// draws, how it answers the host's messages and how it goes full screen.
#include <gtest/gtest.h>
#include <windows.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "EngineRecords.h"
#include "HostParameters.h"
#include "PictureChecks.h"
#include "PngFile.h"
#include "SceneLayout.h"
#include "WindowCapture.h"
#include "host/VisualAPI.h"
#include "runtime/ResultCodes.h"

namespace {

using player_sim::Picture;
using player_sim::Region;

constexpr int kWidth = 640;
constexpr int kHeight = 360;

Region ToRegion(const sample_engine::Box& box) {
  return {box.left, box.top, box.right, box.bottom};
}

// The scope's rows across the whole visible width: a line that ends at the
// band's margins makes its rows non-uniform even when it is flat.
Region ScopeRows(const sample_engine::SceneLayout& layout) {
  return {layout.visible.left, layout.scope.top, layout.visible.right, layout.scope.bottom};
}

// The host side of the contract: answers 'GetS' with a chosen signal and
// counts the full-screen requests and reports.
struct FakeHost {
  bool silent = false;
  int sampleRequests = 0;
  int fullScreenWanted = 0;
  int fullScreenUnwanted = 0;
  int fullScreenStarted = 0;
  int fullScreenEnded = 0;

  static int32_t Callback(void* context, int64_t code, void* data, int64_t) {
    auto* host = static_cast<FakeHost*>(context);
    switch (static_cast<uint32_t>(code)) {
      case kCodeGetSamples: {
        auto* request = static_cast<sample_engine::SampleRequest*>(data);
        ++host->sampleRequests;
        request->waveformCount = std::min(request->waveformCapacity, 512);
        for (int i = 0; i < request->waveformCount; ++i) {
          request->waveform[i] = host->silent ? 0.0f : 0.6f * std::sin(i * 0.09f) * std::sin(i * 0.013f);
        }
        request->spectrumCount = std::min(request->spectrumCapacity, 256);
        for (int i = 0; i < request->spectrumCount; ++i)
          request->spectrum[i] = host->silent ? 0.0f : 90.0f - i * 0.3f;
        return kOk;
      }
      case kCodeFullScreenWanted:
        ++(data != nullptr ? host->fullScreenWanted : host->fullScreenUnwanted);
        return kOk;
      case kCodeFullScreenStarted:
        ++host->fullScreenStarted;
        return kErrNotHandled;
      case kCodeFullScreenEnded:
        ++host->fullScreenEnded;
        return kErrNotHandled;
      default:
        return kErrNotHandled;
    }
  }
};

std::vector<uint8_t> TrackRecord(const std::u16string& title, const std::u16string& artists, int32_t year) {
  std::vector<uint8_t> record(sample_engine::kTrackRecordSize, 0);
  const uint32_t size = 3100;
  const uint32_t header = 224;
  std::memcpy(&record[0], &size, 4);
  std::memcpy(&record[4], &header, 4);
  std::memcpy(&record[12], &year, 4);
  std::memcpy(&record[28], title.data(), std::min<size_t>(title.size(), 256) * 2);
  std::memcpy(&record[540], artists.data(), std::min<size_t>(artists.size(), 255) * 2);
  return record;
}

std::vector<uint8_t> EventRecord(char16_t character, uint32_t flags) {
  std::vector<uint8_t> record(32, 0);
  std::memcpy(&record[16], &character, 2);
  std::memcpy(&record[20], &flags, 4);
  return record;
}

class SampleEngineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    mLibrary = LoadLibraryW(L"LumatideEngine.x64.dll");
    ASSERT_NE(mLibrary, nullptr) << "LoadLibrary failed with " << GetLastError();
    auto get = reinterpret_cast<GetVisualAPIFn>(
        reinterpret_cast<void*>(GetProcAddress(mLibrary, kGetVisualAPIExport)));
    mRelease = reinterpret_cast<ReleaseVisualAPIFn>(
        reinterpret_cast<void*>(GetProcAddress(mLibrary, kReleaseVisualAPIExport)));
    ASSERT_NE(get, nullptr);
    ASSERT_NE(mRelease, nullptr);
    ASSERT_EQ(get(kVisualAPIVersion, &mTable, 0), kOk);
    ASSERT_NE(mTable, nullptr);

    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"SampleEngineTestPane";
    RegisterClassW(&windowClass);
    RECT frame{0, 0, kWidth, kHeight};
    AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
    mWindow = CreateWindowW(L"SampleEngineTestPane", L"pane", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                            frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                            GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(mWindow, nullptr);
    ASSERT_EQ(
        mTable->Create()(&mInstance, 0, &FakeHost::Callback, &mHost,
                         "Host=\"Windows Media Player\" Realtime=1 FSFlags=2 Kybd=0 Mouse=1 HostAudio=1   "),
        kOk);
    ASSERT_NE(mInstance, 0);
  }

  void TearDown() override {
    if (mTable != nullptr && mInstance != 0) mTable->Destroy()(mInstance);
    if (mRelease != nullptr) mRelease(mTable);
    if (mWindow != nullptr) DestroyWindow(mWindow);
    if (mLibrary != nullptr) FreeLibrary(mLibrary);
  }

  int64_t Send(uint32_t code, void* data) { return mTable->Send()(mInstance, code, data, 0); }

  Picture StepAndCapture() {
    EXPECT_EQ(mTable->Step()(mInstance, 0, 0), 16);
    std::optional<Picture> picture = player_sim::CaptureClientArea(mWindow);
    EXPECT_TRUE(picture.has_value());
    return picture ? *picture : Picture{};
  }

  // Set BC_SNAPSHOT_DIR to look at the pictures the tests judge.
  static void Keep(const Picture& picture, const wchar_t* name) {
    wchar_t folder[MAX_PATH];
    if (GetEnvironmentVariableW(L"BC_SNAPSHOT_DIR", folder, MAX_PATH) == 0) return;
    player_sim::WriteFileAtomically(std::wstring(folder) + L"\\" + name,
                                    player_sim::EncodePng(picture.rgb, picture.width, picture.height));
  }

  HMODULE mLibrary = nullptr;
  VisualAPI* mTable = nullptr;
  ReleaseVisualAPIFn mRelease = nullptr;
  HWND mWindow = nullptr;
  FakeHost mHost;
  int32_t mInstance = 0;
};

TEST_F(SampleEngineTest, DrawsScopeAndTextWithMusicAndAFlatLineInSilence) {
  ASSERT_EQ(mTable->SetTarget()(mInstance, mWindow, 0, kTargetWindow), kOk);
  std::vector<uint8_t> track = TrackRecord(u"Tidal Lights", u"The Simulated Players", 2024);
  ASSERT_EQ(Send(kCodeTrack, track.data()), kOk);
  const int32_t insets[4] = {0, 0, 0, 60};
  ASSERT_EQ(Send(kCodeInsets, const_cast<int32_t*>(insets)), kOk);

  const sample_engine::SceneLayout layout = sample_engine::ComputeSceneLayout(kWidth, kHeight, 0, 0, 0, 60);
  const Picture music = StepAndCapture();
  Keep(music, L"engine-music.png");
  EXPECT_GT(mHost.sampleRequests, 0);
  EXPECT_GT(player_sim::CountNonUniformRows(music, ScopeRows(layout)), layout.scope.Height() / 2);
  EXPECT_GT(player_sim::LuminanceVariance(music, ToRegion(layout.text)), 50.0);
  // The covered bottom band gets only the dimmed background.
  EXPECT_EQ(player_sim::CountNonUniformRows(music, {0, kHeight - 60, kWidth, kHeight}), 0);

  mHost.silent = true;
  for (int i = 0; i < 60; ++i) mTable->Step()(mInstance, 0, 0);  // the bars fall back to nothing
  const Picture silence = StepAndCapture();
  Keep(silence, L"engine-silence.png");
  const int lineRows = player_sim::CountNonUniformRows(silence, ScopeRows(layout));
  EXPECT_GT(lineRows, 0);
  EXPECT_LE(lineRows, 8) << "a silent scope is one flat line";
}

TEST_F(SampleEngineTest, GoesFullScreenOnItsOwnWindowAndBack) {
  EXPECT_EQ(Send(kCodeGetFullScreen, nullptr), 0);
  ASSERT_EQ(mTable->SetTarget()(mInstance, mWindow, 0, kTargetWindow | kTargetFullScreen), kOk);
  HWND fullScreen = FindWindowW(L"BCFullscreenWindowClass", nullptr);
  ASSERT_NE(fullScreen, nullptr);
  EXPECT_EQ(Send(kCodeGetFullScreen, nullptr), 1);
  EXPECT_EQ(mHost.fullScreenStarted, 1);
  mTable->Step()(mInstance, 0, 0);

  // Escape in its own window asks the host to leave full screen.
  SendMessageW(fullScreen, WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_EQ(mHost.fullScreenUnwanted, 1);

  ASSERT_EQ(mTable->SetTarget()(mInstance, mWindow, 0, kTargetWindow), kOk);
  EXPECT_EQ(FindWindowW(L"BCFullscreenWindowClass", nullptr), nullptr);
  EXPECT_EQ(Send(kCodeGetFullScreen, nullptr), 0);
  EXPECT_EQ(mHost.fullScreenEnded, 1);
}

TEST_F(SampleEngineTest, UsesSomeKeysAndReportsTheRestUnused) {
  ASSERT_EQ(mTable->SetTarget()(mInstance, mWindow, 0, kTargetWindow), kOk);
  const struct {
    char16_t character;
    uint32_t flags;
    int64_t expected;
  } cases[] = {
      {u'c', 0, kOk},                                      // next colour scheme
      {u'f', 0, kOk},                                      // full screen wanted
      {sample_engine::kKeyUp, 0, kOk},                     // scope gain
      {sample_engine::kKeyLeft, 0, kErrEventUnused},       // the player seeks with it
      {u'x', 0, kErrEventUnused},                          //
      {0x1B, 0, kErrEventUnused},                          // Escape while windowed
      {u'c', sample_engine::kEventCtrl, kErrEventUnused},  // Ctrl+C is not ours
      {sample_engine::kKeyUp, sample_engine::kEventRelease, kErrEventUnused},
  };
  for (const auto& c : cases) {
    std::vector<uint8_t> event = EventRecord(c.character, c.flags);
    EXPECT_EQ(Send(kCodeEvent, event.data()), c.expected)
        << "character 0x" << std::hex << static_cast<int>(c.character) << " flags 0x" << c.flags;
  }
  EXPECT_EQ(mHost.fullScreenWanted, 1);
  EXPECT_EQ(Send(kCodeEvent, nullptr), kErrBadArgument);
  EXPECT_EQ(Send(FourCC("Zzzz"), nullptr), kErrNotHandled);
}

TEST(SampleEngineRecords, TrackTextIsBoundedAndABadHeaderGivesNoTrack) {
  const std::u16string longTitle(300, u'T');
  std::vector<uint8_t> record = TrackRecord(longTitle, u"A / B", 1987);
  sample_engine::TrackInfo track;
  ASSERT_TRUE(sample_engine::DecodeTrackRecord(record.data(), track));
  EXPECT_EQ(track.title.size(), 255u);
  EXPECT_EQ(track.artists, u"A / B");
  EXPECT_EQ(track.year, 1987);

  record[4] = 0;  // second header value no longer 224
  EXPECT_FALSE(sample_engine::DecodeTrackRecord(record.data(), track));
  EXPECT_TRUE(track.IsEmpty());
  EXPECT_FALSE(sample_engine::DecodeTrackRecord(nullptr, track));
}

TEST(SampleEngineRecords, ArtPathOnlyFromAFil8RecordAndInsetsNeverNegative) {
  const char path[] = "C:\\Music\\Folder.jpg";
  uint8_t art[32] = {};
  const uint32_t kind = kCodeArtFile;
  const char* pointer = path;
  std::memcpy(art, &kind, 4);
  std::memcpy(art + 16, &pointer, 8);
  EXPECT_EQ(sample_engine::DecodeCoverArtRecord(art), path);
  std::memset(art, 0, 4);
  EXPECT_EQ(sample_engine::DecodeCoverArtRecord(art), "");

  const int32_t insets[4] = {-5, 75, 0, 75};
  const sample_engine::Insets decoded = sample_engine::DecodeInsetsRecord(insets);
  EXPECT_EQ(decoded.left, 0);
  EXPECT_EQ(decoded.top, 75);
  EXPECT_EQ(decoded.bottom, 75);
}

TEST(SampleEngineHostParameters, ReadsQuotedAndBareValues) {
  const auto parameters = sample_engine::HostParameters::Parse(
      "Host=\"Windows Media Center\" Realtime=1 FSFlags=0 Kybd=1 Mouse=x HostAudio=1 stray   ");
  EXPECT_EQ(parameters.Text("Host"), "Windows Media Center");
  EXPECT_EQ(parameters.Integer("Kybd", -1), 1);
  EXPECT_EQ(parameters.Integer("Mouse", -1), -1) << "not a number";
  EXPECT_EQ(parameters.Integer("Missing", 7), 7);
  EXPECT_EQ(sample_engine::HostParameters::Parse(nullptr).Text("Host", "none"), "none");
  EXPECT_EQ(sample_engine::HostParameters::Parse("Host=\"unterminated").Text("Host"), "unterminated");
}

}  // namespace
