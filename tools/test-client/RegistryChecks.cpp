#include "RegistryChecks.h"

#include <windows.h>

#include <map>
#include <vector>

#include "plugin/PluginIds.h"
#include "plugin/PluginVersion.h"

namespace {

const std::wstring kClassKey = std::wstring(L"CLSID\\") + kClsidBC_WMPText;
const wchar_t kEffectsKey[] = L"SOFTWARE\\Microsoft\\MediaPlayer\\Objects\\Effects";
const wchar_t kEffectKey[] = L"SOFTWARE\\Microsoft\\MediaPlayer\\Objects\\Effects\\Lumatide";
const wchar_t kDescription[] = L"Lumatide for Windows Media Player";

// Every value below a key, as "subkey path|value name" -> data ("(default)"
// names the unnamed value); non-string values are marked.
using Tree = std::map<std::wstring, std::wstring>;

bool ReadTree(HKEY root, const std::wstring& path, const std::wstring& prefix, Tree& tree) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  for (DWORD index = 0;; ++index) {
    wchar_t name[256];
    DWORD nameLength = 256;
    DWORD type = 0;
    BYTE data[4096];
    DWORD dataSize = sizeof(data) - 2;
    if (RegEnumValueW(key, index, name, &nameLength, nullptr, &type, data, &dataSize) != ERROR_SUCCESS) break;
    data[dataSize] = data[dataSize + 1] = 0;
    const std::wstring valueName = nameLength ? std::wstring(name, nameLength) : L"(default)";
    tree[prefix + L"|" + valueName] = type == REG_SZ ? std::wstring(reinterpret_cast<wchar_t*>(data))
                                                     : L"<type " + std::to_wstring(type) + L">";
  }
  std::vector<std::wstring> children;
  for (DWORD index = 0;; ++index) {
    wchar_t name[256];
    DWORD nameLength = 256;
    if (RegEnumKeyExW(key, index, name, &nameLength, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
      break;
    children.emplace_back(name, nameLength);
  }
  RegCloseKey(key);
  for (const std::wstring& child : children) {
    tree[prefix + (prefix.empty() ? L"" : L"\\") + child + L"|<key>"] = L"";
    ReadTree(root, path + L"\\" + child, prefix + (prefix.empty() ? L"" : L"\\") + child, tree);
  }
  return true;
}

bool KeyExists(HKEY root, const std::wstring& path) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

std::string Describe(const Tree& tree) {
  std::string text;
  for (const auto& [name, data] : tree) text += "\n    " + Narrow(name) + " = " + Narrow(data);
  return text;
}

void CheckTree(ClientChecks& checks, HKEY root, const std::wstring& path, const Tree& expected) {
  Tree actual;
  const bool found = ReadTree(root, path, L"", actual);
  checks.Expect(found, "key " + Narrow(path) + " exists");
  checks.Expect(actual == expected, "key " + Narrow(path) + " holds exactly the plug-in's values",
                Describe(actual) + "\n  expected" + Describe(expected));
}

}  // namespace

void CheckRegistered(ClientChecks& checks, const std::wstring& modulePath) {
  Tree actualClass;
  ReadTree(HKEY_CLASSES_ROOT, kClassKey, L"", actualClass);
  // The module path is compared without regard to case, as the system does.
  const auto inproc = actualClass.find(L"InprocServer32|(default)");
  const bool pathMatches =
      inproc != actualClass.end() &&
      CompareStringOrdinal(inproc->second.c_str(), -1, modulePath.c_str(), -1, TRUE) == CSTR_EQUAL;
  checks.Expect(pathMatches, "InprocServer32 names the module " + Narrow(modulePath),
                inproc == actualClass.end() ? "nothing" : Narrow(inproc->second));

  const Tree expectedClass = {
      {L"|(default)", kDescription},
      {L"InprocServer32|<key>", L""},
      {L"InprocServer32|(default)", pathMatches ? inproc->second : modulePath},
      {L"InprocServer32|ThreadingModel", L"Apartment"},
      {L"TypeLib|<key>", L""},
      {L"TypeLib|(default)", kLibidBC_WMPLibText},
      {L"Version|<key>", L""},
      {L"Version|(default)", L"" BC_PRODUCT_VERSION_TEXT},
  };
  CheckTree(checks, HKEY_CLASSES_ROOT, kClassKey, expectedClass);

  const Tree expectedEffect = {
      {L"Properties|<key>", L""},
      {L"Properties|classid", kClsidBC_WMPText},
      {L"Properties|description", kDescription},
      {L"Properties|name", L"Lumatide"},
  };
  CheckTree(checks, HKEY_LOCAL_MACHINE, kEffectKey, expectedEffect);

  const std::wstring typeLibKey = std::wstring(L"TypeLib\\") + kLibidBC_WMPLibText;
  checks.Expect(KeyExists(HKEY_CLASSES_ROOT, typeLibKey), "type library registered");
}

void CheckUnregistered(ClientChecks& checks) {
  checks.Expect(!KeyExists(HKEY_CLASSES_ROOT, kClassKey), "class key removed");
  checks.Expect(!KeyExists(HKEY_LOCAL_MACHINE, kEffectKey), "effect key removed");
  checks.Expect(KeyExists(HKEY_CLASSES_ROOT, L"CLSID"), "HKEY_CLASSES_ROOT\\CLSID stays");
  checks.Expect(KeyExists(HKEY_LOCAL_MACHINE, kEffectsKey), "...\\Objects\\Effects stays");
  const std::wstring typeLibKey = std::wstring(L"TypeLib\\") + kLibidBC_WMPLibText;
  checks.Expect(!KeyExists(HKEY_CLASSES_ROOT, typeLibKey), "type library unregistered");
}

std::wstring ReadEffectClassId() {
  wchar_t data[128] = {};
  DWORD size = sizeof(data) - sizeof(wchar_t);
  const std::wstring key = std::wstring(kEffectKey) + L"\\Properties";
  if (RegGetValueW(HKEY_LOCAL_MACHINE, key.c_str(), L"classid", RRF_RT_REG_SZ, nullptr, data, &size) !=
      ERROR_SUCCESS) {
    return std::wstring();
  }
  return data;
}
