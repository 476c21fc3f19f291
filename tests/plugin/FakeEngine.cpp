#include "FakeEngine.h"

#include <cstring>

struct FakeEngineFunctions {
  static void Record(FakeEngineCall&& call) {
    FakeEngine& engine = FakeEngine::Instance();
    if (!engine.mRecord) {
      ++engine.mUnrecordedCalls;
      return;
    }
    engine.mCalls.push_back(std::move(call));
  }
  static int32_t Create(int32_t* instanceId, int32_t, HostCallback callback, void* context, const char*) {
    FakeEngine& engine = FakeEngine::Instance();
    Record({FakeEngineCall::kCreate, 0, 0, nullptr, 0, {}});
    engine.mCallback = callback;
    engine.mContext = context;
    *instanceId = engine.mCreateResult == 0 ? engine.mNextInstanceId++ : 0;
    return engine.mCreateResult;
  }
  static void Destroy(int32_t instanceId) {
    Record({FakeEngineCall::kDestroy, instanceId, 0, nullptr, 0, {}});
  }
  static int32_t SetTarget(int32_t instanceId, void* target, int64_t, uint32_t flags) {
    Record({FakeEngineCall::kSetTarget, instanceId, 0, target, flags, {}});
    return 0;
  }
  static int32_t Step(int32_t instanceId, int32_t, int32_t) {
    Record({FakeEngineCall::kStep, instanceId, 0, nullptr, 0, {}});
    return FakeEngine::Instance().mStepPeriod;
  }
  static int64_t Send(int32_t instanceId, uint32_t code, void* data, int64_t size) {
    FakeEngine& engine = FakeEngine::Instance();
    // Asked often and only for its answer: not recorded.
    if (code == kCodeGetFullScreen) return engine.mFullScreenAnswer;
    size_t bytes = size_t(size);
    if (size == 0) {
      bytes = code == kCodeTrack      ? 3100
              : code == kCodeCoverArt ? 32
              : code == kCodeInsets   ? 16
              : code == kCodeEvent    ? 32
                                      : 0;
    }
    if (engine.mRecord) {
      FakeEngineCall call{FakeEngineCall::kSend, instanceId, code, nullptr, 0, {}};
      if (data && bytes > 0)
        call.payload.assign(static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + bytes);
      Record(std::move(call));
    } else {
      ++engine.mUnrecordedCalls;
    }
    return engine.mSendAnswer;
  }
};

FakeEngine& FakeEngine::Instance() {
  static FakeEngine engine;
  return engine;
}

FakeEngine::FakeEngine() {
  mTable.entries[VisualAPI::kCreate] = reinterpret_cast<void*>(&FakeEngineFunctions::Create);
  mTable.entries[VisualAPI::kDestroy] = reinterpret_cast<void*>(&FakeEngineFunctions::Destroy);
  mTable.entries[VisualAPI::kSetTarget] = reinterpret_cast<void*>(&FakeEngineFunctions::SetTarget);
  mTable.entries[VisualAPI::kStep] = reinterpret_cast<void*>(&FakeEngineFunctions::Step);
  mTable.entries[VisualAPI::kSend] = reinterpret_cast<void*>(&FakeEngineFunctions::Send);
}

void FakeEngine::Reset() {
  mCalls.clear();
  mCallback = nullptr;
  mContext = nullptr;
  mCreateResult = 0;
  mNextInstanceId = 1;
  mSendAnswer = 0;
  mFullScreenAnswer = 0;
  mStepPeriod = 10;
  mRecord = true;
  mUnrecordedCalls = 0;
}

std::vector<FakeEngineCall> FakeEngine::Calls(FakeEngineCall::Kind kind, uint32_t code) const {
  std::vector<FakeEngineCall> found;
  for (const FakeEngineCall& call : mCalls) {
    if (call.kind == kind && (code == 0 || call.code == code)) found.push_back(call);
  }
  return found;
}

int32_t FakeEngine::CallHost(int64_t code, void* data, int64_t size) const {
  return mCallback ? mCallback(mContext, code, data, size) : -1;
}
