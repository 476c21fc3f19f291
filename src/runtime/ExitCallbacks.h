// Process-wide clean-up callbacks, run once when the module shuts down.
#pragma once

#include <cstdint>

using ExitCallback = void (*)(void* context);

inline constexpr int kExitCallbackCapacity = 64;

// Ignored when callback is null or all 64 slots are taken. Safe from any
// thread, but every registration must be finished before shutdown starts.
void RegisterExitCallback(ExitCallback callback, void* context, int32_t priority);
// Higher priorities first; within one priority the newest registration
// first. Empties the registry.
void RunExitCallbacks();
