// The DLL's entry point and its four exports.
#include <windows.h>

#include <string>

#include "plugin/PluginModule.h"
#include "plugin/PluginRegistration.h"

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void*) {
  if (reason == DLL_PROCESS_ATTACH) {
    PluginModule::Attach(instance);
    DisableThreadLibraryCalls(instance);
  } else if (reason == DLL_PROCESS_DETACH) {
    PluginModule::Detach();
  }
  return TRUE;
}

STDAPI DllCanUnloadNow() {
  return PluginModule::CanUnloadNow();
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** object) {
  return PluginModule::GetClassObject(clsid, iid, object);
}

// Both post the rescan broadcast whatever their result.
STDAPI DllRegisterServer() {
  const std::wstring path = PluginModule::Path();
  const HRESULT result = path.empty() ? E_FAIL : PluginRegistration::Register(path.c_str());
  PluginRegistration::BroadcastPluginChange();
  return result;
}

STDAPI DllUnregisterServer() {
  const HRESULT result = PluginRegistration::Unregister();
  PluginRegistration::BroadcastPluginChange();
  return result;
}
