// Shared pieces of the host tests: the test engine loaded from the test's
// own folder, a host that records its requests, a real window routed to the
// host, message pumping and scratch folders.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <string>
#include <vector>

#include "TestEngineControl.h"
#include "host/EngineHost.h"

namespace host_test {

// A four-character code from its text.
inline uint32_t CodeOf(const char* text) {
  return uint32_t(uint8_t(text[0])) << 24 | uint32_t(uint8_t(text[1])) << 16 |
         uint32_t(uint8_t(text[2])) << 8 | uint32_t(uint8_t(text[3]));
}

// The folder of the running test program, where the build puts every DLL.
inline std::wstring ProgramFolder() {
  wchar_t path[2048];
  const DWORD length = GetModuleFileNameW(nullptr, path, 2048);
  std::wstring folder(path, length);
  return folder.substr(0, folder.rfind(L'\\'));
}

inline std::string ToUtf8(const std::wstring& text) {
  const int size =
      WideCharToMultiByte(CP_UTF8, 0, text.c_str(), int(text.size()), nullptr, 0, nullptr, nullptr);
  std::string out(size_t(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), int(text.size()), out.data(), size, nullptr, nullptr);
  return out;
}

inline std::wstring CurrentFolder() {
  std::wstring folder(GetCurrentDirectoryW(0, nullptr), L'\0');
  folder.resize(GetCurrentDirectoryW(DWORD(folder.size()), folder.data()));
  return folder;
}

// A fresh folder under the temporary folder, removed with its files.
class ScratchFolder {
 public:
  ScratchFolder() {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    static std::atomic<int> counter{0};
    mPath = std::wstring(temp) + L"bc-host-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
            std::to_wstring(counter++);
    // Wine reuses process ids: clear what an interrupted run left behind.
    RemoveTree(mPath);
    CreateDirectoryW(mPath.c_str(), nullptr);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  ~ScratchFolder() { RemoveTree(mPath); }

  const std::wstring& Path() const { return mPath; }
  std::wstring File(const std::wstring& name) const { return mPath + L"\\" + name; }
  // Copies a DLL of the build into this folder under another name.
  bool CopyFromBuild(const std::wstring& builtName, const std::wstring& name) const {
    return CopyFileW((ProgramFolder() + L"\\" + builtName).c_str(), File(name).c_str(), FALSE) != 0;
  }

  static void RemoveTree(const std::wstring& folder) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
      do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        const std::wstring path = folder + L"\\" + name;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
          RemoveTree(path);
        } else {
          DeleteFileW(path.c_str());
        }
      } while (FindNextFileW(search, &found));
      FindClose(search);
    }
    RemoveDirectoryW(folder.c_str());
  }

 private:
  std::wstring mPath;
};

// TestEngine.dll held by the test itself, with its control exports bound and
// its state reset; the table is the one GetBCVisualAPI hands out.
class LoadedTestEngine {
 public:
  LoadedTestEngine() {
    mModule = LoadLibraryW((ProgramFolder() + L"\\TestEngine.dll").c_str());
    if (mModule && mControl.Bind(mModule)) {
      mControl.Reset();
      auto get = reinterpret_cast<GetVisualAPIFn>(
          reinterpret_cast<void*>(GetProcAddress(mModule, "GetBCVisualAPI")));
      get(kVisualAPIVersion, &mTable, 0);
      mControl.ClearCalls();
    }
  }
  LoadedTestEngine(const LoadedTestEngine&) = delete;
  LoadedTestEngine& operator=(const LoadedTestEngine&) = delete;
  ~LoadedTestEngine() {
    if (mModule) {
      mControl.Reset();
      FreeLibrary(mModule);
    }
  }

  bool IsReady() const { return mModule && mTable; }
  TestEngineControl& Control() { return mControl; }
  VisualAPI* Table() const { return mTable; }

 private:
  HMODULE mModule = nullptr;
  TestEngineControl mControl;
  VisualAPI* mTable = nullptr;
};

// A host that records the requests its specialisation would answer.
class RecordingHost : public EngineHost {
 public:
  struct Request {
    std::string name;
    void* data;
    bool flag;
    DWORD threadId;
  };

  int32_t OnFullScreenRequest(bool wanted) override { return Note("FSHt", nullptr, wanted); }
  int32_t OnGetArt(void* data) override { return Note("GArt", data, false); }
  int32_t OnReleaseArt(void* data) override { return Note("RArt", data, false); }
  int32_t OnGetSamples(void* request) override { return Note("GetS", request, false); }
  void OnFullScreenStarted(bool started) override { Note("FSSt", nullptr, started); }
  void OnFullScreenEnded(bool ended) override { Note("FSEd", nullptr, ended); }

  using EngineHost::NextPacingSleep;

  std::vector<Request> mRequests;
  int32_t mAnswer = 0;

 private:
  int32_t Note(const char* name, void* data, bool flag) {
    mRequests.push_back(Request{name, data, flag, GetCurrentThreadId()});
    return mAnswer;
  }
};

// Drops the test's reference to a shared object at the end of a scope.
template <typename T>
struct Releaser {
  void operator()(T* object) const {
    if (object) object->Release();
  }
};

// A top-level window of the test's thread whose messages go to a host first.
// Hidden unless asked: a shown window takes Wine seconds to destroy without a
// window manager.
class HostWindow {
 public:
  explicit HostWindow(const char* className = "BCHostTestWindow", bool visible = false) {
    WNDCLASSA windowClass{};
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = &HostWindow::Procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = className;
    RegisterClassA(&windowClass);
    mWindow = CreateWindowExA(0, className, "host test", WS_OVERLAPPEDWINDOW | (visible ? WS_VISIBLE : 0), 10,
                              10, 320, 240, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  }
  HostWindow(const HostWindow&) = delete;
  HostWindow& operator=(const HostWindow&) = delete;
  ~HostWindow() {
    SetWindowLongPtrA(mWindow, GWLP_USERDATA, 0);
    DestroyWindow(mWindow);
  }

  HWND Get() const { return mWindow; }
  void Route(EngineHost* host) {
    SetWindowLongPtrA(mWindow, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(host));
  }

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* host = reinterpret_cast<EngineHost*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (host) {
      bool handled = false;
      const int64_t result = host->HandleWindowMessage(message, wParam, lParam, &handled);
      if (handled) return LRESULT(result);
    }
    return DefWindowProcA(window, message, wParam, lParam);
  }

  HWND mWindow = nullptr;
};

// Dispatches the thread's messages for about ms milliseconds.
inline void PumpMessages(DWORD ms) {
  const ULONGLONG end = GetTickCount64() + ms;
  for (;;) {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    const ULONGLONG now = GetTickCount64();
    if (now >= end) break;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, DWORD(end - now), QS_ALLINPUT);
  }
}

}  // namespace host_test
