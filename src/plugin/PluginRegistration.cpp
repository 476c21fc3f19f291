#include "plugin/PluginRegistration.h"

#include <ole2.h>

#include <string>

#include "plugin/Bstr.h"
#include "plugin/ComPtr.h"
#include "plugin/PluginIds.h"
#include "plugin/PluginVersion.h"
#include "plugin/RegistryKey.h"

namespace {

#define BC_CLASS_KEY L"CLSID\\{" BC_WMP_CLSID_TEXT "}"
#define BC_EFFECT_KEY L"SOFTWARE\\Microsoft\\MediaPlayer\\Objects\\Effects\\Lumatide"

constexpr wchar_t kDescription[] = L"Lumatide for Windows Media Player";

struct RegistryValue {
  HKEY root;
  const wchar_t* key;
  const wchar_t* name;  // null: the key's default value
  const wchar_t* data;  // null: the module's path
};

// Removed whole at unregistration, and before registration writes them anew.
struct OwnedKey {
  HKEY root;
  const wchar_t* key;
};

const OwnedKey kOwnedKeys[] = {
    {HKEY_CLASSES_ROOT, BC_CLASS_KEY},
    {HKEY_LOCAL_MACHINE, BC_EFFECT_KEY},
};

const RegistryValue kValues[] = {
    {HKEY_CLASSES_ROOT, BC_CLASS_KEY, nullptr, kDescription},
    {HKEY_CLASSES_ROOT, BC_CLASS_KEY L"\\InprocServer32", nullptr, nullptr},
    {HKEY_CLASSES_ROOT, BC_CLASS_KEY L"\\InprocServer32", L"ThreadingModel", L"Apartment"},
    {HKEY_CLASSES_ROOT, BC_CLASS_KEY L"\\TypeLib", nullptr, kLibidBC_WMPLibText},
    {HKEY_CLASSES_ROOT, BC_CLASS_KEY L"\\Version", nullptr, L"" BC_PRODUCT_VERSION_TEXT},
    {HKEY_LOCAL_MACHINE, BC_EFFECT_KEY L"\\Properties", L"classid", kClsidBC_WMPText},
    {HKEY_LOCAL_MACHINE, BC_EFFECT_KEY L"\\Properties", L"description", kDescription},
    {HKEY_LOCAL_MACHINE, BC_EFFECT_KEY L"\\Properties", L"name", L"Lumatide"},
};

HRESULT DeleteOwnedKeys() {
  HRESULT result = S_OK;
  for (const OwnedKey& owned : kOwnedKeys) {
    const LSTATUS status = RegDeleteTreeW(owned.root, owned.key);
    if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND && SUCCEEDED(result)) {
      result = HRESULT_FROM_WIN32(status);
    }
  }
  return result;
}

HRESULT WriteValue(const RegistryValue& value, const wchar_t* modulePath) {
  RegistryKey key;
  LSTATUS status = RegCreateKeyExW(value.root, value.key, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE,
                                   nullptr, key.Put(), nullptr);
  if (status != ERROR_SUCCESS) return HRESULT_FROM_WIN32(status);
  const wchar_t* data = value.data ? value.data : modulePath;
  const DWORD bytes = static_cast<DWORD>((wcslen(data) + 1) * sizeof(wchar_t));
  status = RegSetValueExW(key.Get(), value.name, 0, REG_SZ, reinterpret_cast<const BYTE*>(data), bytes);
  return HRESULT_FROM_WIN32(status);
}

}  // namespace

HRESULT PluginRegistration::Register(const wchar_t* modulePath) {
  if (!modulePath || !*modulePath) return E_INVALIDARG;
  HRESULT result = DeleteOwnedKeys();
  for (const RegistryValue& value : kValues) {
    if (FAILED(result)) break;
    result = WriteValue(value, modulePath);
  }
  if (SUCCEEDED(result)) {
    ComPtr<ITypeLib> library;
    result = LoadTypeLibEx(modulePath, REGKIND_NONE, library.Put());
    // RegisterTypeLib only reads the path; its parameter merely lacks const.
    if (SUCCEEDED(result)) result = RegisterTypeLib(library.Get(), const_cast<wchar_t*>(modulePath), nullptr);
  }
  // A half-written registration would list a visualization that cannot load.
  if (FAILED(result)) DeleteOwnedKeys();
  return result;
}

HRESULT PluginRegistration::Unregister() {
  HRESULT result = DeleteOwnedKeys();
  // Nothing to remove is no failure: unregistering twice succeeds.
  Bstr registeredPath;
  if (SUCCEEDED(result) &&
      SUCCEEDED(QueryPathOfRegTypeLib(kLibidBC_WMPLib, BC_VERSION_MAJOR, BC_VERSION_MINOR, LANG_NEUTRAL,
                                      registeredPath.Put()))) {
    result = UnRegisterTypeLib(kLibidBC_WMPLib, BC_VERSION_MAJOR, BC_VERSION_MINOR, LANG_NEUTRAL, SYS_WIN64);
  }
  return result;
}

void PluginRegistration::BroadcastPluginChange() {
  const UINT message = RegisterWindowMessageA("WMPlayer_PluginAddRemove");
  if (message != 0) PostMessageA(HWND_BROADCAST, message, 0, 0);
}
