#include "EffectCatalog.h"

#include <objbase.h>

#include <cwchar>

#include "Win32Handles.h"

namespace player_sim {
namespace {

constexpr wchar_t kEffectsKey[] = L"SOFTWARE\\Microsoft\\MediaPlayer\\Objects\\Effects";

std::wstring ReadString(HKEY key, const wchar_t* value) {
  wchar_t buffer[1024];
  DWORD bytes = sizeof(buffer) - sizeof(wchar_t);
  DWORD type = 0;
  if (RegQueryValueExW(key, value, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &bytes) !=
          ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ)) {
    return {};
  }
  buffer[bytes / sizeof(wchar_t)] = L'\0';
  return buffer;
}

}  // namespace

std::vector<InstalledEffect> ListInstalledEffects() {
  std::vector<InstalledEffect> effects;
  UniqueRegistryKey root;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kEffectsKey, 0, KEY_READ, root.put()) != ERROR_SUCCESS)
    return effects;
  for (DWORD index = 0;; ++index) {
    wchar_t subkey[256];
    DWORD length = 256;
    const LONG status = RegEnumKeyExW(root.get(), index, subkey, &length, nullptr, nullptr, nullptr, nullptr);
    if (status == ERROR_NO_MORE_ITEMS) break;
    if (status != ERROR_SUCCESS) continue;
    UniqueRegistryKey properties;
    const std::wstring propertiesPath = std::wstring(subkey) + L"\\Properties";
    if (RegOpenKeyExW(root.get(), propertiesPath.c_str(), 0, KEY_READ, properties.put()) != ERROR_SUCCESS)
      continue;
    InstalledEffect effect;
    effect.key = subkey;
    effect.name = ReadString(properties.get(), L"name");
    effect.description = ReadString(properties.get(), L"description");
    effect.classIdText = ReadString(properties.get(), L"classid");
    CLSID classId{};
    if (!effect.classIdText.empty() && SUCCEEDED(CLSIDFromString(effect.classIdText.c_str(), &classId))) {
      effect.classId = classId;
    }
    effects.push_back(std::move(effect));
  }
  return effects;
}

std::optional<InstalledEffect> FindInstalledEffect(const std::wstring& wanted) {
  for (InstalledEffect& effect : ListInstalledEffects()) {
    if (_wcsicmp(effect.key.c_str(), wanted.c_str()) == 0 ||
        _wcsicmp(effect.name.c_str(), wanted.c_str()) == 0) {
      return std::move(effect);
    }
  }
  return std::nullopt;
}

}  // namespace player_sim
