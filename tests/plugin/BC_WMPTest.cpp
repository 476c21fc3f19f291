#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "AllocationCounter.h"
#include "FakeEngine.h"
#include "PluginTestSupport.h"
#include "SimCore.h"
#include "SimMedia.h"
#include "plugin/BC_WMP.h"
#include "plugin/ClassFactory.h"
#include "plugin/PluginIds.h"
#include "plugin/PluginModule.h"
#include "text/UtilStr.h"

namespace {

// {6C0E1D4A-9A51-4C8F-8E0B-3D2F7A1B5C60}: an id nobody answers.
constexpr IID kUnknownIid = {0x6C0E1D4A, 0x9A51, 0x4C8F, {0x8E, 0x0B, 0x3D, 0x2F, 0x7A, 0x1B, 0x5C, 0x60}};

// An aggregating object that counts what reaches it.
class CountingOuter : public IUnknown {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    ++mQueries;
    *object = nullptr;
    if (!IsEqualIID(iid, IID_IUnknown)) return E_NOINTERFACE;
    *object = this;
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++mRefs; }
  ULONG STDMETHODCALLTYPE Release() override { return --mRefs; }

  LONG mRefs = 1;
  int mQueries = 0;
};

class BC_WMPTest : public ::testing::Test {
 protected:
  void SetUp() override {
    FakeEngine::Instance().Reset();
    ASSERT_EQ(PluginModule::LockCount(), 0);
  }
  void TearDown() override {
    EXPECT_EQ(PluginModule::LockCount(), 0) << "a test left an object or lock behind";
    EXPECT_EQ(PlayerHost::Shared(), nullptr);
  }

  ComPtr<IWMPEffects2> CreateEffects() {
    ComPtr<IWMPEffects2> effects;
    EXPECT_EQ(BC_WMP::CreateInstance(nullptr, __uuidof(IWMPEffects2), effects.PutVoid()), S_OK);
    return effects;
  }
};

TEST_F(BC_WMPTest, QueryInterfaceAnswersItsFiveInterfacesWithOneIdentity) {
  ComPtr<IWMPEffects2> effects = CreateEffects();
  ComPtr<IUnknown> identity;
  ASSERT_EQ(effects->QueryInterface(IID_IUnknown, identity.PutVoid()), S_OK);
  ComPtr<IDispatch> dual;
  ASSERT_EQ(effects->QueryInterface(kIidIBC_WMP, dual.PutVoid()), S_OK);
  EXPECT_EQ(identity.Get(), static_cast<IUnknown*>(dual.Get()))
      << "IUnknown is answered with the dual interface";

  const IID supported[] = {IID_IUnknown,         IID_IDispatch,         kIidIBC_WMP,
                           __uuidof(IWMPEvents), __uuidof(IWMPEffects), __uuidof(IWMPEffects2)};
  for (const IID& iid : supported) {
    ComPtr<IUnknown> answer;
    ASSERT_EQ(effects->QueryInterface(iid, answer.PutVoid()), S_OK);
    ComPtr<IUnknown> sameIdentity;
    ASSERT_EQ(answer->QueryInterface(IID_IUnknown, sameIdentity.PutVoid()), S_OK);
    EXPECT_EQ(sameIdentity.Get(), identity.Get());
  }
  const IID unsupported[] = {kUnknownIid, IID_IClassFactory, IID_IConnectionPointContainer,
                             __uuidof(IWMPCore), __uuidof(IWMPMedia)};
  for (const IID& iid : unsupported) {
    void* answer = reinterpret_cast<void*>(1);
    EXPECT_EQ(effects->QueryInterface(iid, &answer), E_NOINTERFACE);
    EXPECT_EQ(answer, nullptr);
  }
  EXPECT_EQ(effects->QueryInterface(IID_IUnknown, nullptr), E_POINTER);

  void* object = reinterpret_cast<void*>(1);
  EXPECT_EQ(BC_WMP::CreateInstance(nullptr, kUnknownIid, &object), E_NOINTERFACE);
  EXPECT_EQ(object, nullptr);
  EXPECT_EQ(PluginModule::LockCount(), 1) << "only the live object holds a lock";
}

TEST_F(BC_WMPTest, AggregatedObjectDelegatesToItsOuter) {
  CountingOuter outer;
  void* object = reinterpret_cast<void*>(1);
  EXPECT_EQ(BC_WMP::CreateInstance(&outer, __uuidof(IWMPEffects2), &object), CLASS_E_NOAGGREGATION);
  EXPECT_EQ(object, nullptr);
  EXPECT_EQ(PluginModule::LockCount(), 0);

  ComPtr<IUnknown> inner;
  ASSERT_EQ(BC_WMP::CreateInstance(&outer, IID_IUnknown, inner.PutVoid()), S_OK);
  ComPtr<IUnknown> innerAgain;
  ASSERT_EQ(inner->QueryInterface(IID_IUnknown, innerAgain.PutVoid()), S_OK);
  EXPECT_EQ(innerAgain.Get(), inner.Get()) << "the inner IUnknown is its own";
  innerAgain.Reset();

  IWMPEffects2* effects = nullptr;
  ASSERT_EQ(inner->QueryInterface(__uuidof(IWMPEffects2), reinterpret_cast<void**>(&effects)), S_OK);
  EXPECT_EQ(outer.mRefs, 2) << "the interface's reference went to the outer object";
  ComPtr<IUnknown> viaOuter;
  EXPECT_EQ(effects->QueryInterface(IID_IUnknown, viaOuter.PutVoid()), S_OK);
  EXPECT_EQ(viaOuter.Get(), static_cast<IUnknown*>(&outer));
  EXPECT_EQ(outer.mQueries, 1);
  viaOuter.Reset();
  effects->Release();
  EXPECT_EQ(outer.mRefs, 1);
  inner.Reset();
  EXPECT_EQ(PluginModule::LockCount(), 0);
}

TEST_F(BC_WMPTest, ClassObjectAndModuleLocks) {
  void* object = reinterpret_cast<void*>(1);
  EXPECT_EQ(PluginModule::GetClassObject(kUnknownIid, IID_IClassFactory, &object), CLASS_E_CLASSNOTAVAILABLE);
  EXPECT_EQ(object, nullptr);
  EXPECT_EQ(PluginModule::GetClassObject(kClsidBC_WMP, IID_IClassFactory, nullptr), E_POINTER);

  ComPtr<IClassFactory> factory;
  ASSERT_EQ(PluginModule::GetClassObject(kClsidBC_WMP, IID_IClassFactory, factory.PutVoid()), S_OK);
  ComPtr<IClassFactory> again;
  ASSERT_EQ(PluginModule::GetClassObject(kClsidBC_WMP, IID_IClassFactory, again.PutVoid()), S_OK);
  EXPECT_EQ(again.Get(), factory.Get()) << "one cached factory";
  EXPECT_EQ(PluginModule::CanUnloadNow(), S_FALSE) << "clients hold the factory";
  again.Reset();
  EXPECT_EQ(PluginModule::LockCount(), 1);

  EXPECT_EQ(factory->CreateInstance(nullptr, IID_IUnknown, nullptr), E_POINTER);
  CountingOuter outer;
  EXPECT_EQ(factory->CreateInstance(&outer, __uuidof(IWMPEffects), reinterpret_cast<void**>(&object)),
            CLASS_E_NOAGGREGATION);
  ComPtr<IWMPEffects> effects;
  ASSERT_EQ(factory->CreateInstance(nullptr, __uuidof(IWMPEffects), effects.PutVoid()), S_OK);
  EXPECT_EQ(PluginModule::LockCount(), 2);

  EXPECT_EQ(factory->LockServer(TRUE), S_OK);
  EXPECT_EQ(PluginModule::LockCount(), 3);
  EXPECT_EQ(factory->LockServer(FALSE), S_OK);
  effects.Reset();
  factory.Reset();
  EXPECT_EQ(PluginModule::CanUnloadNow(), S_OK);
  // A client unlocking more than it locked cannot drive the count below 0.
  ASSERT_EQ(PluginModule::GetClassObject(kClsidBC_WMP, IID_IClassFactory, factory.PutVoid()), S_OK);
  factory->LockServer(FALSE);
  factory->LockServer(FALSE);
  factory.Reset();
  EXPECT_EQ(PluginModule::LockCount(), 0);
}

TEST_F(BC_WMPTest, EffectGettersCheckTheirPointers) {
  ComPtr<IWMPEffects2> effects = CreateEffects();
  EXPECT_EQ(effects->GetCapabilities(nullptr), E_POINTER);
  EXPECT_EQ(effects->GetTitle(nullptr), E_POINTER);
  EXPECT_EQ(effects->GetPresetCount(nullptr), E_POINTER);
  EXPECT_EQ(effects->GetCurrentPreset(nullptr), E_POINTER);
  EXPECT_EQ(effects->Render(nullptr, nullptr, nullptr), E_NOTIMPL);
  EXPECT_EQ(effects->DisplayPropertyPage(nullptr), E_NOTIMPL);
  EXPECT_EQ(effects->MediaInfo(2, 44100, nullptr), S_OK);

  DWORD capabilities = 0;
  EXPECT_EQ(effects->GetCapabilities(&capabilities), S_OK);
  EXPECT_EQ(capabilities, 1u);
  LONG count = 0;
  EXPECT_EQ(effects->GetPresetCount(&count), S_OK);
  EXPECT_EQ(count, 1);

  struct Case {
    LONG preset;
    bool withOut;
    HRESULT expected;
    const wchar_t* title;
  };
  const Case cases[] = {
      {0, true, S_OK, L"Lumatide"}, {1, true, E_INVALIDARG, nullptr},  {-1, true, E_INVALIDARG, nullptr},
      {0, false, S_OK, nullptr},    {1, false, E_INVALIDARG, nullptr},
  };
  for (const Case& c : cases) {
    BSTR title = reinterpret_cast<BSTR>(1);
    EXPECT_EQ(effects->GetPresetTitle(c.preset, c.withOut ? &title : nullptr), c.expected) << c.preset;
    if (!c.withOut) continue;
    if (c.title) {
      ASSERT_NE(title, nullptr);
      EXPECT_EQ(std::wstring(title), c.title);
      SysFreeString(title);
    } else {
      EXPECT_EQ(title, nullptr) << c.preset;
    }
  }
  BSTR title = nullptr;
  EXPECT_EQ(effects->GetTitle(&title), S_OK);
  EXPECT_EQ(std::wstring(title ? title : L""), L"Lumatide");
  SysFreeString(title);

  ComPtr<IDispatch> dispatch;
  ASSERT_EQ(effects->QueryInterface(IID_IDispatch, dispatch.PutVoid()), S_OK);
  UINT typeInfoCount = 0;
  EXPECT_EQ(dispatch->GetTypeInfoCount(&typeInfoCount), S_OK);
  EXPECT_EQ(typeInfoCount, 1u);
  EXPECT_EQ(dispatch->GetTypeInfoCount(nullptr), E_POINTER);
  ITypeInfo* info = reinterpret_cast<ITypeInfo*>(1);
  EXPECT_EQ(dispatch->GetTypeInfo(1, 0, &info), DISP_E_BADINDEX);
  EXPECT_EQ(info, nullptr);
}

TEST_F(BC_WMPTest, PlayerCoreEventsAndMediaThroughCom) {
  TestWindow pane{100, 100, 640, 480};
  ComPtr<IWMPEffects2> effects = CreateEffects();
  PluginObject& plugin = static_cast<BC_WMP*>(effects.Get())->Plugin();
  plugin.Host()->SetEngineTable(FakeEngine::Instance().Table());
  FakeEngine& engine = FakeEngine::Instance();

  const long playerObjectsBefore = player_sim::LiveSimObjects();
  ComPtr<player_sim::SimCore> core = player_sim::SimCore::Create();
  core->SetPlayState(wmppsPlaying);
  EXPECT_EQ(effects->SetCore(core.Get()), S_OK);
  EXPECT_EQ(core->AdvisedSinkCount(), 1u);
  effects->Create(pane.Get());
  TimedLevel levels = UniformLevels(255, 255);
  for (int i = 0; i < 3; ++i) effects->RenderWindowed(&levels, FALSE);
  ASSERT_EQ(engine.Count(FakeEngineCall::kCreate), 1);
  EXPECT_FLOAT_EQ(plugin.Host()->GetAudio().Waveform()[0], 0.6912f);

  // Media through the player's objects: text, a huge value, a lone
  // surrogate, and an embedded picture.
  player_sim::MediaDescription description;
  description.sourceUrl = L"C:\\Music\\x.wma";
  description.attributes = {{L"Title", std::wstring(10000, L'T')},
                            {L"Author", L"Art\xD800ist"},
                            {L"WM/AlbumTitle", L"Album"},
                            {L"WM/Year", L"1999"}};
  description.pictureUrl = L"vnd.ms.wmhtml://localhost/WMP{0A1B2C3D-0000-1111-2222-333344445555}.jpg";
  description.pictureMimeType = L"image/jpeg";
  ComPtr<player_sim::SimMedia> media = player_sim::SimMedia::Create(description);
  EXPECT_EQ(effects->NotifyNewMedia(media.Get()), S_OK);
  const TrackRecords& records = plugin.Host()->GetTrackRecords();
  EXPECT_EQ(std::u16string(records.Track().mTitle), std::u16string(255, u'T'));
  EXPECT_EQ(records.Track().mYear, 1999);
  EXPECT_EQ(std::u16string(records.Track().mAlbum), u"Album");
  EXPECT_STREQ(records.CoverArt().mPath,
               "vnd.ms.wmhtml://localhost/WMP{0A1B2C3D-0000-1111-2222-333344445555}.jpg");
  EXPECT_EQ(effects->NotifyNewMedia(nullptr), S_OK);
  EXPECT_EQ(records.Track().mTitle[0], 0);

  // Events reach the plug-in through the connection point.
  core->SetCurrentMedia(media.Get());
  EXPECT_EQ(records.Track().mYear, 1999) << "MediaChange read the current media";
  const int tracksBefore = engine.Count(FakeEngineCall::kSend, kCodeTrack);
  core->SetPlayState(wmppsMediaEnded);
  EXPECT_EQ(engine.Count(FakeEngineCall::kSend, kCodeTrack), tracksBefore + 1);
  EXPECT_EQ(records.Track().mYear, 0);
  EXPECT_EQ(plugin.Host()->GetAudio().Waveform()[0], 0.0f);

  effects->Destroy();
  EXPECT_EQ(core->AdvisedSinkCount(), 1u) << "Destroy does not unadvise";
  EXPECT_EQ(effects->SetCore(nullptr), S_OK);
  EXPECT_EQ(effects->SetCore(nullptr), S_OK);
  EXPECT_EQ(core->AdvisedSinkCount(), 0u);
  effects.Reset();
  media.Reset();
  core.Reset();
  EXPECT_EQ(player_sim::LiveSimObjects(), playerObjectsBefore) << "the plug-in kept a player object";
}

TEST_F(BC_WMPTest, ThousandObjectsLeaveNothingBehind) {
  TestWindow pane{100, 100, 640, 480};
  ComPtr<player_sim::SimCore> core = player_sim::SimCore::Create();
  core->SetPlayState(wmppsPlaying);
  TimedLevel levels = UniformLevels(100, 100);
  auto lifeCycle = [&] {
    ComPtr<IWMPEffects2> effects = CreateEffects();
    effects->SetCore(core.Get());
    effects->Create(pane.Get());
    for (int i = 0; i < 4; ++i) effects->RenderWindowed(&levels, TRUE);
    effects->Destroy();
    effects->SetCore(nullptr);
  };
  lifeCycle();  // first-use set-up of the runtime and the system
  DWORD handlesBefore = 0;
  GetProcessHandleCount(GetCurrentProcess(), &handlesBefore);
  const int64_t liveBefore = allocation_counter::Live();
  const int32_t blocksBefore = DefaultBlockAllocator().liveBlocks.load();
  for (int i = 0; i < 1000; ++i) lifeCycle();
  DWORD handlesAfter = 0;
  GetProcessHandleCount(GetCurrentProcess(), &handlesAfter);
  EXPECT_EQ(handlesAfter, handlesBefore);
  EXPECT_EQ(allocation_counter::Live(), liveBefore);
  EXPECT_EQ(DefaultBlockAllocator().liveBlocks.load(), blocksBefore);
  EXPECT_EQ(core->AdvisedSinkCount(), 0u);
  EXPECT_EQ(PluginModule::LockCount(), 0);
}

}  // namespace
