// The module as a COM server: its handle, its lock count and its class table
// with the cached class factory. Behind the four exports of the DLL.
#pragma once

#include <windows.h>

#include <string>

class PluginModule {
 public:
  // From the DLL's entry point.
  static void Attach(HMODULE module);
  static void Detach();
  // Null until attached (the plug-in code then runs inside a test program).
  static HMODULE Handle();
  // The module's full path; empty when not attached.
  static std::wstring Path();

  // One lock per live object, per LockServer(TRUE) and per client holding
  // the class factory. Never drops below 0, whatever a client does.
  static void Lock();
  static void Unlock();
  static LONG LockCount();

  static HRESULT CanUnloadNow();
  static HRESULT GetClassObject(REFCLSID clsid, REFIID iid, void** object);
};
