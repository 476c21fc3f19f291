// What regsvr32 must leave in the registry, and what it must remove.
#pragma once

#include <string>

#include "ClientChecks.h"

// The class key and the player's effects key hold exactly the plug-in's
// entries; modulePath is the registered DLL.
void CheckRegistered(ClientChecks& checks, const std::wstring& modulePath);
// Both keys are gone, their parents stay.
void CheckUnregistered(ClientChecks& checks);
// The class id the player reads from Effects\Lumatide\Properties\classid.
std::wstring ReadEffectClassId();
