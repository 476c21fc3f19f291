#include "plugin/PlayerHost.h"

#include "plugin/FileProbe.h"
#include "plugin/InsetsCalculator.h"
#include "plugin/PlayerWindows.h"
#include "plugin/SampleRequest.h"
#include "runtime/ResultCodes.h"

namespace {

class SystemFileProbe : public FileProbe {
 public:
  FileExistence Exists(const BCFileSpec& fileSpec) override { return fileSpec.Exists(); }
};

SystemFileProbe gSystemFileProbe;
PlayerHost* gSharedHost = nullptr;

}  // namespace

PlayerHost::PlayerHost(bool mediaCenter) : mMediaCenter(mediaCenter) {
  mLocaleId = GetSystemDefaultLCID();
  GetLocaleInfoA(mLocaleId, LOCALE_SENGLANGUAGE, mLanguageName, sizeof(mLanguageName) - 1);
  mLanguageId = LANGIDFROMLCID(mLocaleId);
  SetUsePacingThread(true);
  SetTrackClientRect(true);
  UpdateTrack(nullptr);
}

PlayerHost::~PlayerHost() {
  if (gSharedHost == this) gSharedHost = nullptr;
}

PlayerHost* PlayerHost::Shared() {
  return gSharedHost;
}

void PlayerHost::MakeShared(PlayerHost* host) {
  gSharedHost = host;
}

void PlayerHost::StartEngine() {
  EngineHost::StartEngine();
  SendTrack();
}

int32_t PlayerHost::AttachWindow(HWND window, uint32_t options, int64_t extra) {
  if (!IsEngineRunning() && window) StartEngine();
  SilenceAudio();
  const int32_t result = EngineHost::AttachWindow(window, options, extra);
  SendInsets();
  if (result == kOk && GetWindow()) SetPacingActive(true);
  return result;
}

int32_t PlayerHost::OnFullScreenRequest(bool wanted) {
  if (wanted == IsEngineFullScreen()) return kOk;
  return PlayerWindows::ToggleFullScreen();
}

int32_t PlayerHost::OnGetSamples(void* request) {
  if (!request) return kErrBadArgument;
  SetAudioFresh(mAudio.ServeSamples(*static_cast<SampleRequest*>(request)));
  return kOk;
}

void PlayerHost::UpdateTrack(MediaItem* media) {
  mTrack.Update(media, gSystemFileProbe);
  SendTrack();
}

void PlayerHost::SendTrack() {
  if (!IsEngineRunning()) return;
  SendToEngine(kCodeTrack, const_cast<TrackRecord*>(&mTrack.Track()), 0);
  SendToEngine(kCodeCoverArt, const_cast<CoverArtRecord*>(&mTrack.CoverArt()), 0);
}

void PlayerHost::SendInsets() {
  // Without an engine nothing would receive them; skip the window walk.
  if (!IsEngineRunning()) return;
  InsetsRecord insets;
  if (PlayerWindows::ComputeInsets(GetWindow(), mMediaCenter, &insets)) SendToEngine(kCodeInsets, &insets, 0);
}

void PlayerHost::HandOffAudio(const TimedLevel* frame, bool playing) {
  if (!playing) {
    SilenceAudio();
    return;
  }
  if (!frame) return;
  mAudio.Convert(*frame);
  SetAudioFresh(true);
}

void PlayerHost::SilenceAudio() {
  mAudio.Silence();
  SetAudioFresh(true);
}
