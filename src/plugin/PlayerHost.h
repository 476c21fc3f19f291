// The engine host specialised for the media player: it turns the player's
// audio frames into the engine's samples, keeps the track records, knows the
// player's window geometry and toggles the player's full screen. One per
// process, shared by every plug-in object.
#pragma once

#include <windows.h>

#include <cstdint>

#include "host/EngineHost.h"
#include "plugin/AudioHandoff.h"
#include "plugin/TimedLevel.h"
#include "plugin/TrackRecords.h"

class MediaItem;

class PlayerHost : public EngineHost {
 public:
  explicit PlayerHost(bool mediaCenter);

  // The process's shared host, or null.
  static PlayerHost* Shared();
  // host is not retained; it clears the pointer itself when destroyed.
  static void MakeShared(PlayerHost* host);

  // The engine host's start, then the track records.
  void StartEngine() override;
  // Starts the engine when needed, clears the audio, attaches, sends the
  // insets and turns pacing on.
  int32_t AttachWindow(HWND window, uint32_t options, int64_t extra) override;
  // 'FSHt': posts the player the Alt+Enter that toggles its full screen.
  int32_t OnFullScreenRequest(bool wanted) override;
  // 'GetS': a negative capacity or a missing destination receives nothing.
  int32_t OnGetSamples(void* request) override;

  // media null forgets the track; sends both records to a running engine.
  void UpdateTrack(MediaItem* media);
  void SendTrack();
  void SendInsets();
  // Converts the frame while the player plays, else silence. A null frame
  // while playing changes nothing.
  void HandOffAudio(const TimedLevel* frame, bool playing);
  void SilenceAudio();

  int32_t GetCurrentPreset() const { return mCurrentPreset; }
  void SetCurrentPreset(int32_t preset) { mCurrentPreset = preset; }
  const AudioHandoff& GetAudio() const { return mAudio; }
  const TrackRecords& GetTrackRecords() const { return mTrack; }

 protected:
  ~PlayerHost() override;

 private:
  int32_t mCurrentPreset = 0;
  AudioHandoff mAudio;
  TrackRecords mTrack;
  char mLanguageName[64] = {};
  LCID mLocaleId = 0;
  LANGID mLanguageId = 0;
  bool mMediaCenter;
};
