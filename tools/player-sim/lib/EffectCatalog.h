// The visualizations installed for the player, found the way the player
// finds them: the subkeys of HKLM\SOFTWARE\Microsoft\MediaPlayer\Objects\Effects,
// each with Properties\classid, name and description.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace player_sim {

struct InstalledEffect {
  std::wstring key;  // the subkey's name
  std::wstring name;
  std::wstring description;
  std::wstring classIdText;
  std::optional<CLSID> classId;  // none when classid does not parse
};

std::vector<InstalledEffect> ListInstalledEffects();

// Matches the subkey or the display name, without regard to case.
std::optional<InstalledEffect> FindInstalledEffect(const std::wstring& wanted);

}  // namespace player_sim
