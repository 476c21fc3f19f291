// What makes the module a registered visualization: the class key, the
// player's effects key, the type library, and the broadcast that makes
// running players reread their plug-in list.
#pragma once

#include <windows.h>

class PluginRegistration {
 public:
  // modulePath names the DLL holding the type library resource.
  static HRESULT Register(const wchar_t* modulePath);
  static HRESULT Unregister();
  static void BroadcastPluginChange();
};
