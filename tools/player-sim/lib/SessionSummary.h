// The closing summary of a run, as the lines the simulator prints.
#pragma once

#include <string>

#include "PlayerSession.h"

namespace player_sim {

std::string FormatSummary(const SessionReport& report, const SessionOptions& options,
                          const std::wstring& hostName);

}  // namespace player_sim
