// The type library embedded in the plug-in, as LoadTypeLib reads it.
#pragma once

#include <string>

#include "ClientChecks.h"

void CheckTypeLibrary(ClientChecks& checks, const std::wstring& modulePath);
