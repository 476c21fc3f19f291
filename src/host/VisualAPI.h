// The contract between the host and the product's visual engine library: the
// two exports, the function table and the callback the engine calls back on.
#pragma once

#include <cstdint>

#include "runtime/FourCC.h"

// Engine -> host requests. Any code the host does not know answers 55012.
using HostCallback = int32_t (*)(void* context, int64_t code, void* data, int64_t size);

using EngineCreateFn = int32_t (*)(int32_t* instanceId, int32_t reserved, HostCallback callback,
                                   void* context, const char* hostParameters);
using EngineDestroyFn = void (*)(int32_t instanceId);
using EngineSetTargetFn = int32_t (*)(int32_t instanceId, void* target, int64_t extra, uint32_t flags);
using EngineStepFn = int32_t (*)(int32_t instanceId, int32_t, int32_t);  // ms until the next Step
using EngineSendFn = int64_t (*)(int32_t instanceId, uint32_t code, void* data, int64_t size);

// The table is an array of function pointers; the host calls only these entries.
struct VisualAPI {
  static constexpr int kCreate = 12;
  static constexpr int kDestroy = 13;
  static constexpr int kSetTarget = 14;
  static constexpr int kStep = 16;
  static constexpr int kSend = 17;
  static constexpr int kEntryCount = 18;

  void* entries[kEntryCount];

  EngineCreateFn Create() const { return reinterpret_cast<EngineCreateFn>(entries[kCreate]); }
  EngineDestroyFn Destroy() const { return reinterpret_cast<EngineDestroyFn>(entries[kDestroy]); }
  EngineSetTargetFn SetTarget() const { return reinterpret_cast<EngineSetTargetFn>(entries[kSetTarget]); }
  EngineStepFn Step() const { return reinterpret_cast<EngineStepFn>(entries[kStep]); }
  EngineSendFn Send() const { return reinterpret_cast<EngineSendFn>(entries[kSend]); }
};

// Exports of the engine library, looked up by name.
inline constexpr char kGetVisualAPIExport[] = "GetBCVisualAPI";
inline constexpr char kReleaseVisualAPIExport[] = "ReleaseBCVisualAPI";
inline constexpr int32_t kVisualAPIVersion = 20;
using GetVisualAPIFn = int32_t (*)(int32_t version, VisualAPI** table, int64_t reserved);
using ReleaseVisualAPIFn = void (*)(VisualAPI* table);

// A table the host can drive: every entry it calls is present.
inline bool IsUsableTable(const VisualAPI* table) {
  return table && table->entries[VisualAPI::kCreate] && table->entries[VisualAPI::kDestroy] &&
         table->entries[VisualAPI::kSetTarget] && table->entries[VisualAPI::kStep] &&
         table->entries[VisualAPI::kSend];
}

// SetTarget flags: one kind bit names what the target is.
inline constexpr uint32_t kTargetKind0 = 0x001;
inline constexpr uint32_t kTargetKind1 = 0x002;
inline constexpr uint32_t kTargetWindow = 0x010;  // target is a window handle
inline constexpr uint32_t kTargetKind8 = 0x100;
inline constexpr uint32_t kTargetFullScreen = 0x400;  // the engine is full screen

// Payload of a text-list request: the engine points text at its answer.
// A negative length means up to the terminating zero.
struct TextListRecord {
  const char* text;
  int32_t length;
};

// Messages to the engine.
inline constexpr uint32_t kCodeTrack = FourCC("Trck");
inline constexpr uint32_t kCodeCoverArt = FourCC("CArt");
inline constexpr uint32_t kCodeInsets = FourCC("Nset");
inline constexpr uint32_t kCodeEvent = FourCC("Evnt");
inline constexpr uint32_t kCodeGetFullScreen = FourCC("GetF");
inline constexpr uint32_t kCodeWindowRect = FourCC("Wind");
inline constexpr uint32_t kCodeArtFile = FourCC("Fil8");
// Requests from the engine.
inline constexpr uint32_t kCodeGetSamples = FourCC("GetS");
inline constexpr uint32_t kCodeFullScreenWanted = FourCC("FSHt");
inline constexpr uint32_t kCodeFullScreenStarted = FourCC("FSSt");
inline constexpr uint32_t kCodeFullScreenEnded = FourCC("FSEd");
inline constexpr uint32_t kCodeFullScreenPrefs = FourCC("FSPr");
inline constexpr uint32_t kCodeGetArt = FourCC("GArt");
inline constexpr uint32_t kCodeReleaseArt = FourCC("RArt");
