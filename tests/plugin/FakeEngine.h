// An engine function table made of recording functions, installed straight
// into a host with SetEngineTable, for tests that need no engine library.
#pragma once

#include <cstdint>
#include <vector>

#include "host/VisualAPI.h"

struct FakeEngineCall {
  enum Kind { kCreate, kDestroy, kSetTarget, kStep, kSend } kind;
  int32_t instanceId;
  uint32_t code;  // Send: the 4CC
  void* target;   // SetTarget
  uint32_t flags;
  std::vector<uint8_t> payload;  // Send: the record's bytes
};

class FakeEngine {
 public:
  // One engine per process: the table's functions are plain functions.
  static FakeEngine& Instance();

  void Reset();
  VisualAPI* Table() { return &mTable; }

  std::vector<FakeEngineCall> Calls(FakeEngineCall::Kind kind, uint32_t code = 0) const;
  int Count(FakeEngineCall::Kind kind, uint32_t code = 0) const { return int(Calls(kind, code).size()); }

  // The engine side of the callback, as Create received it.
  int32_t CallHost(int64_t code, void* data, int64_t size) const;

  int32_t mCreateResult = 0;
  int32_t mNextInstanceId = 1;
  int64_t mSendAnswer = 0;
  int64_t mFullScreenAnswer = 0;  // answer to 'GetF'
  int32_t mStepPeriod = 10;
  // Off: calls are only counted, so a test can show the host allocates nothing.
  bool mRecord = true;
  int mUnrecordedCalls = 0;

 private:
  FakeEngine();
  friend struct FakeEngineFunctions;

  VisualAPI mTable = {};
  std::vector<FakeEngineCall> mCalls;
  HostCallback mCallback = nullptr;
  void* mContext = nullptr;
};
