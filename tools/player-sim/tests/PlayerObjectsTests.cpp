// The simulator's player objects as a visualization sees them: the core and
// its event connection point, media objects with their attributes and
// picture, and the command line that configures a run.
#include <gtest/gtest.h>
#include <olectl.h>
#include <windows.h>

#include <string>
#include <vector>

#include "SessionOptions.h"
#include "SimCore.h"
#include "SimMedia.h"

namespace {

using namespace player_sim;

// Records the events that visualizations act on; the rest must stay silent.
class RecordingEvents final : public IWMPEvents {
 public:
  std::vector<std::string> calls;
  ULONG refCount = 1;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    *object = nullptr;
    if (iid != IID_IUnknown && iid != __uuidof(IWMPEvents)) return E_NOINTERFACE;
    *object = static_cast<IWMPEvents*>(this);
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refCount; }
  ULONG STDMETHODCALLTYPE Release() override { return --refCount; }

  void STDMETHODCALLTYPE PlayStateChange(LONG state) override {
    calls.push_back("PlayState " + std::to_string(state));
  }
  void STDMETHODCALLTYPE PositionChange(double from, double to) override {
    calls.push_back("Position " + std::to_string(static_cast<int>(from)) + "->" +
                    std::to_string(static_cast<int>(to)));
  }
  void STDMETHODCALLTYPE MediaChange(IDispatch* item) override {
    calls.push_back(item != nullptr ? "MediaChange item" : "MediaChange null");
  }
  void STDMETHODCALLTYPE CurrentItemChange(IDispatch*) override { calls.push_back("CurrentItemChange"); }

  void STDMETHODCALLTYPE OpenStateChange(LONG) override { Unexpected(); }
  void STDMETHODCALLTYPE AudioLanguageChange(LONG) override { Unexpected(); }
  void STDMETHODCALLTYPE StatusChange() override { Unexpected(); }
  void STDMETHODCALLTYPE ScriptCommand(BSTR, BSTR) override { Unexpected(); }
  void STDMETHODCALLTYPE NewStream() override { Unexpected(); }
  void STDMETHODCALLTYPE Disconnect(LONG) override { Unexpected(); }
  void STDMETHODCALLTYPE Buffering(VARIANT_BOOL) override { Unexpected(); }
  void STDMETHODCALLTYPE Error() override { Unexpected(); }
  void STDMETHODCALLTYPE Warning(LONG, LONG, BSTR) override { Unexpected(); }
  void STDMETHODCALLTYPE EndOfStream(LONG) override { Unexpected(); }
  void STDMETHODCALLTYPE MarkerHit(LONG) override { Unexpected(); }
  void STDMETHODCALLTYPE DurationUnitChange(LONG) override { Unexpected(); }
  void STDMETHODCALLTYPE CdromMediaChange(LONG) override { Unexpected(); }
  void STDMETHODCALLTYPE PlaylistChange(IDispatch*, WMPPlaylistChangeEventType) override { Unexpected(); }
  void STDMETHODCALLTYPE CurrentPlaylistChange(WMPPlaylistChangeEventType) override { Unexpected(); }
  void STDMETHODCALLTYPE CurrentPlaylistItemAvailable(BSTR) override { Unexpected(); }
  void STDMETHODCALLTYPE CurrentMediaItemAvailable(BSTR) override { Unexpected(); }
  void STDMETHODCALLTYPE MediaCollectionChange() override { Unexpected(); }
  void STDMETHODCALLTYPE MediaCollectionAttributeStringAdded(BSTR, BSTR) override { Unexpected(); }
  void STDMETHODCALLTYPE MediaCollectionAttributeStringRemoved(BSTR, BSTR) override { Unexpected(); }
  void STDMETHODCALLTYPE MediaCollectionAttributeStringChanged(BSTR, BSTR, BSTR) override { Unexpected(); }
  void STDMETHODCALLTYPE PlaylistCollectionChange() override { Unexpected(); }
  void STDMETHODCALLTYPE PlaylistCollectionPlaylistAdded(BSTR) override { Unexpected(); }
  void STDMETHODCALLTYPE PlaylistCollectionPlaylistRemoved(BSTR) override { Unexpected(); }
  void STDMETHODCALLTYPE PlaylistCollectionPlaylistSetAsDeleted(BSTR, VARIANT_BOOL) override { Unexpected(); }
  void STDMETHODCALLTYPE ModeChange(BSTR, VARIANT_BOOL) override { Unexpected(); }
  void STDMETHODCALLTYPE MediaError(IDispatch*) override { Unexpected(); }
  void STDMETHODCALLTYPE OpenPlaylistSwitch(IDispatch*) override { Unexpected(); }
  void STDMETHODCALLTYPE DomainChange(BSTR) override { Unexpected(); }
  void STDMETHODCALLTYPE SwitchedToPlayerApplication() override { Unexpected(); }
  void STDMETHODCALLTYPE SwitchedToControl() override { Unexpected(); }
  void STDMETHODCALLTYPE PlayerDockedStateChange() override { Unexpected(); }
  void STDMETHODCALLTYPE PlayerReconnect() override { Unexpected(); }
  void STDMETHODCALLTYPE Click(short, short, LONG, LONG) override { Unexpected(); }
  void STDMETHODCALLTYPE DoubleClick(short, short, LONG, LONG) override { Unexpected(); }
  void STDMETHODCALLTYPE KeyDown(short, short) override { Unexpected(); }
  void STDMETHODCALLTYPE KeyPress(short) override { Unexpected(); }
  void STDMETHODCALLTYPE KeyUp(short, short) override { Unexpected(); }
  void STDMETHODCALLTYPE MouseDown(short, short, LONG, LONG) override { Unexpected(); }
  void STDMETHODCALLTYPE MouseMove(short, short, LONG, LONG) override { Unexpected(); }
  void STDMETHODCALLTYPE MouseUp(short, short, LONG, LONG) override { Unexpected(); }

 private:
  static void Unexpected() { ADD_FAILURE() << "an event the player never raises here"; }
};

std::string Text(BSTR value) {
  std::string out;
  for (const wchar_t* p = value; p != nullptr && *p != 0; ++p) out.push_back(static_cast<char>(*p));
  return out;
}

ComPtr<SimMedia> TaggedMedia() {
  MediaDescription description;
  description.sourceUrl = L"C:\\Music\\track.wav";
  description.name = L"Track";
  description.durationSeconds = 12.5;
  description.attributes = {{L"Title", L"A Title"}, {L"Author", L"An Artist"}, {L"WM/Year", L"2004-03-01"}};
  description.pictureUrl = L"C:\\Music\\cover.jpg";
  description.pictureMimeType = L"image/jpeg";
  return SimMedia::Create(description);
}

TEST(SimCore, DeliversEventsToAdvisedSinksUntilUnadvised) {
  const long liveBefore = LiveSimObjects();
  {
    ComPtr<SimCore> core = SimCore::Create();
    ComPtr<IConnectionPointContainer> container;
    ASSERT_EQ(core->QueryInterface(IID_IConnectionPointContainer, container.PutVoid()), S_OK);
    ComPtr<IConnectionPoint> point;
    ASSERT_EQ(container->FindConnectionPoint(__uuidof(IWMPEvents), point.Put()), S_OK);
    ComPtr<IConnectionPoint> other;
    EXPECT_EQ(container->FindConnectionPoint(IID_IDispatch, other.Put()), CONNECT_E_NOCONNECTION);

    RecordingEvents sink;
    DWORD cookie = 0;
    ASSERT_EQ(point->Advise(&sink, &cookie), S_OK);
    EXPECT_NE(cookie, 0u);
    EXPECT_EQ(sink.refCount, 2u) << "the connection holds one reference";

    ComPtr<SimMedia> media = TaggedMedia();
    core->SetPlayState(wmppsTransitioning);
    core->SetCurrentMedia(media.Get());
    core->SetPlayState(wmppsPlaying);
    core->RaisePositionChange(3.0, 8.0);
    const std::vector<std::string> expected = {"PlayState 9", "MediaChange item", "CurrentItemChange",
                                               "PlayState 3", "Position 3->8"};
    EXPECT_EQ(sink.calls, expected);

    WMPPlayState state = wmppsUndefined;
    EXPECT_EQ(core->get_playState(&state), S_OK);
    EXPECT_EQ(state, wmppsPlaying);
    ComPtr<IWMPMedia> current;
    ASSERT_EQ(core->get_currentMedia(current.Put()), S_OK);
    EXPECT_EQ(current.Get(), static_cast<IWMPMedia*>(media.Get()));

    EXPECT_EQ(point->Unadvise(cookie + 1), CONNECT_E_NOCONNECTION);
    EXPECT_EQ(point->Unadvise(cookie), S_OK);
    EXPECT_EQ(sink.refCount, 1u);
    core->SetPlayState(wmppsPaused);
    EXPECT_EQ(sink.calls.size(), expected.size()) << "no events after Unadvise";
    EXPECT_EQ(core->AdvisedSinkCount(), 0u);
  }
  EXPECT_EQ(LiveSimObjects(), liveBefore) << "every media and picture object was released";
}

TEST(SimMedia, AnswersAttributesTheWayThePlayerDoes) {
  ComPtr<SimMedia> media = TaggedMedia();
  const struct {
    const wchar_t* name;
    const char* value;
  } cases[] = {
      {L"Title", "A Title"},    {L"title", "A Title"},      {L"Author", "An Artist"},
      {L"Artist", "An Artist"}, {L"WM/Year", "2004-03-01"}, {L"WM/AlbumTitle", ""},
  };
  for (const auto& c : cases) {
    BSTR name = SysAllocString(c.name);
    BSTR value = nullptr;
    EXPECT_EQ(media->getItemInfo(name, &value), S_OK);
    EXPECT_EQ(Text(value), c.value) << "attribute " << Text(name);
    SysFreeString(value);
    SysFreeString(name);
  }
  BSTR url = nullptr;
  EXPECT_EQ(media->get_sourceURL(&url), S_OK);
  EXPECT_EQ(Text(url), "C:\\Music\\track.wav");
  SysFreeString(url);
}

TEST(SimMedia, EmbeddedPictureComesAsADispatchWithItsUrl) {
  const long liveBefore = LiveSimObjects();
  {
    ComPtr<SimMedia> media = TaggedMedia();
    ComPtr<IWMPMedia3> media3;
    ASSERT_EQ(media->QueryInterface(__uuidof(IWMPMedia3), media3.PutVoid()), S_OK);
    BSTR type = SysAllocString(L"WM/Picture");
    BSTR language = SysAllocString(L"");
    VARIANT value;
    ASSERT_EQ(media3->getItemInfoByType(type, language, 0, &value), S_OK);
    ASSERT_EQ(value.vt, VT_DISPATCH);
    ComPtr<IWMPMetadataPicture> picture;
    ASSERT_EQ(value.pdispVal->QueryInterface(__uuidof(IWMPMetadataPicture), picture.PutVoid()), S_OK);
    BSTR pictureUrl = nullptr;
    EXPECT_EQ(picture->get_URL(&pictureUrl), S_OK);
    EXPECT_EQ(Text(pictureUrl), "C:\\Music\\cover.jpg");
    SysFreeString(pictureUrl);
    VariantClear(&value);
    EXPECT_EQ(media3->getItemInfoByType(type, language, 1, &value), E_INVALIDARG);
    EXPECT_EQ(value.vt, VT_EMPTY);
    SysFreeString(language);
    SysFreeString(type);
  }
  EXPECT_EQ(LiveSimObjects(), liveBefore);
}

TEST(SessionOptions, ParsesTheCommandLine) {
  const ParsedOptions parsed = ParseCommandLine(
      {L"--seconds", L"10", L"--fps", L"60", L"--screenshot-every", L"0.5", L"--out", L"shots",
       L"--skin-overlay", L"--script", L"7:alt+enter, 4:alt+enter,5:key:c", L"--script", L"6:space",
       L"--size", L"640x360", L"song.ogg", L"other.wav", L"--tolerate-blank", L"--quiet"});
  ASSERT_TRUE(parsed.options) << parsed.error;
  const SessionOptions& options = *parsed.options;
  EXPECT_DOUBLE_EQ(options.seconds, 10.0);
  EXPECT_EQ(options.fps, 60);
  EXPECT_DOUBLE_EQ(options.screenshotEvery, 0.5);
  EXPECT_EQ(options.outDir, L"shots");
  EXPECT_TRUE(options.skinOverlay);
  EXPECT_TRUE(options.tolerateBlank);
  EXPECT_FALSE(options.progress);
  EXPECT_EQ(options.paneWidth, 640);
  EXPECT_EQ(options.files, (std::vector<std::wstring>{L"song.ogg", L"other.wav"}));
  ASSERT_EQ(options.script.size(), 4u);
  EXPECT_DOUBLE_EQ(options.script[0].atSeconds, 4.0);
  EXPECT_EQ(options.script[0].kind, ScriptActionKind::kToggleFullScreen);
  EXPECT_EQ(options.script[1].kind, ScriptActionKind::kKey);
  EXPECT_EQ(options.script[1].key, L'c');
  EXPECT_EQ(options.script[2].kind, ScriptActionKind::kTogglePause);
  EXPECT_DOUBLE_EQ(options.script[3].atSeconds, 7.0);
}

TEST(SessionOptions, RejectsBadCommandLinesWithAReason) {
  const struct {
    std::vector<std::wstring> arguments;
    const char* reason;
  } cases[] = {
      {{L"--seconds"}, "--seconds"},
      {{L"--seconds", L"soon"}, "--seconds"},
      {{L"--fps", L"0"}, "--fps"},
      {{L"--fps", L"29.5"}, "--fps"},
      {{L"--screenshot-every", L"1"}, "--out"},
      {{L"--size", L"10x10"}, "--size"},
      {{L"--script", L"4-alt+enter"}, "bad script step"},
      {{L"--script", L"4:jump"}, "bad script step"},
      {{L"--colour"}, "unknown option --colour"},
  };
  for (const auto& c : cases) {
    const ParsedOptions parsed = ParseCommandLine(c.arguments);
    EXPECT_FALSE(parsed.options) << c.reason;
    EXPECT_NE(parsed.error.find(c.reason), std::string::npos) << "got \"" << parsed.error << "\"";
  }
}

}  // namespace
