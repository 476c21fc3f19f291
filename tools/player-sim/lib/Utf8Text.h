// UTF-8 <-> UTF-16 for the simulator's messages, tags and file names.
#pragma once

#include <string>

namespace player_sim {

std::string Utf8(const std::wstring& text);
// Bytes that are not UTF-8 are taken one by one as code points.
std::wstring WidenUtf8(const std::string& text);

}  // namespace player_sim
