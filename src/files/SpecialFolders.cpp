// The well-known Windows folders and the search for the product's
// installation folder below them.
#include <shlobj.h>
#include <windows.h>

#include <iterator>
#include <memory>

#include "files/BCFileSpec.h"
#include "files/ProductInfo.h"
#include "runtime/ResultCodes.h"

namespace {

constexpr int kFolderBufferUnits = 2048;
constexpr int kNoFolderId = -1;
constexpr char kMakerFolderName[] = "Brightcurrent";

struct ShellFolderIds {
  int primary;
  int fallback;
};

ShellFolderIds ShellIdsForKind(FolderKind kind) {
  switch (kind) {
    case FolderProgramFiles:
      return {CSIDL_PROGRAM_FILES, kNoFolderId};
    case FolderSharedData:
    case FolderAllUsers:
      return {CSIDL_COMMON_APPDATA, CSIDL_WINDOWS};
    case FolderCommonFiles:
      return {CSIDL_PROGRAM_FILES_COMMON, CSIDL_WINDOWS};
    case FolderDesktop:
    case FolderUserProfile:
      return {CSIDL_DESKTOPDIRECTORY, CSIDL_DESKTOP};
    case FolderStartMenuPrograms:
      return {CSIDL_PROGRAMS, kNoFolderId};
    case FolderAppData:
    case FolderAppDataSecondary:
      return {CSIDL_APPDATA, CSIDL_PERSONAL};
    case FolderLocalAppData:
      return {CSIDL_LOCAL_APPDATA, CSIDL_APPDATA};
    case FolderSystemDrive:
    case FolderWindows:
      return {CSIDL_WINDOWS, CSIDL_SYSTEM};
    default:
      return {CSIDL_DESKTOP, kNoFolderId};
  }
}

// A value that does not fit the buffer is treated as absent.
bool ReadEnvironmentFolder(const wchar_t* name, BCFileSpec& destination) {
  wchar_t value[kFolderBufferUnits];
  const DWORD length = GetEnvironmentVariableW(name, value, kFolderBufferUnits);
  if (length == 0 || length >= DWORD(kFolderBufferUnits)) return false;
  destination.SetWidePath(value, int(length));
  return true;
}

struct ItemListRelease {
  void operator()(ITEMIDLIST* list) const { CoTaskMemFree(list); }
};
using ItemList = std::unique_ptr<ITEMIDLIST, ItemListRelease>;

using GetFolderPathFunction = HRESULT(WINAPI*)(HWND, int, HANDLE, DWORD, LPWSTR);

bool ResolveShellFolder(GetFolderPathFunction getFolderPath, int folderId, BCFileSpec& destination) {
  wchar_t path[kFolderBufferUnits];
  // The shell may report success for a folder it cannot name; an empty text is no folder.
  if (getFolderPath) {
    path[0] = 0;
    if (SUCCEEDED(getFolderPath(nullptr, folderId, nullptr, 0, path)) && path[0] != 0) {
      destination.SetWidePath(path);
      return true;
    }
  }
  ITEMIDLIST* rawList = nullptr;
  if (SHGetSpecialFolderLocation(nullptr, folderId, &rawList) != S_OK) return false;
  const ItemList list(rawList);
  path[0] = 0;
  if (!SHGetPathFromIDListW(list.get(), path) || path[0] == 0) return false;
  destination.SetWidePath(path);
  return true;
}

int32_t ResolveShellKind(FolderKind kind, BCFileSpec& destination) {
  const HMODULE shell = GetModuleHandleA("shell32.dll");
  if (!shell) return kErrSystem;
  const auto getFolderPath = reinterpret_cast<GetFolderPathFunction>(
      reinterpret_cast<void*>(GetProcAddress(shell, "SHGetFolderPathW")));
  const ShellFolderIds ids = ShellIdsForKind(kind);
  for (const int folderId : {ids.primary, ids.fallback}) {
    if (folderId < 0) break;
    if (ResolveShellFolder(getFolderPath, folderId, destination)) return kOk;
  }
  return kErrSystem;
}

}  // namespace

int32_t GetSpecialFolder(BCFileSpec& destination, FolderKind kind) {
  if (kind == FolderExecutableFile) return destination.SetToModuleFile(nullptr);

  if (kind == FolderProgramFiles64 || kind == FolderProgramFilesX86) {
    const bool found = kind == FolderProgramFiles64
                           ? ReadEnvironmentFolder(L"ProgramW6432", destination)
                           : ReadEnvironmentFolder(L"ProgramFiles(x86)", destination) ||
                                 ReadEnvironmentFolder(L"ProgramFiles", destination);
    if (found) return kOk;
    destination.Clear();
    return kErrFolderNotFound;
  }

  if (ResolveShellKind(kind, destination) != kOk) {
    if (kind == FolderSharedData) return GetSpecialFolder(destination, FolderUserProfile);
    if (kind == FolderProgramFiles) {
      destination.SetPath("C:\\Program Files\\");
      return kOk;
    }
    destination.Clear();
    return kErrSystem;
  }

  if (kind == FolderSystemDrive) {
    UtilStr path;
    destination.GetPath(&path);
    const char root[] = {path.mText[0], ':', '\\', 0};
    destination.SetPath(root);
  } else if (kind == FolderAllUsers || kind == FolderUserProfile) {
    destination.SetToParentOf(destination);
  }
  return kOk;
}

int32_t FindMakerFolder(int32_t index, BCFileSpec& destination) {
  static constexpr FolderKind kRoots[] = {FolderProgramFiles, FolderCommonFiles, FolderProgramFilesX86};
  if (index < 0 || index >= int32_t(std::size(kRoots))) return kErrBadArgument;
  BCFileSpec root;
  if (const int32_t result = GetSpecialFolder(root, kRoots[index]); result != kOk) return result;
  destination.SetToChild(kMakerFolderName, -1, root);
  return destination.Exists() == ExistsFolder ? kOk : kErrFolderNotFound;
}

int32_t FindProductFolder(const char* productFolderName, BCFileSpec& destination) {
  if (!productFolderName) return destination.SetToExecutableFolder();
  BCFileSpec maker;
  for (int32_t index = 0;; ++index) {
    const int32_t result = FindMakerFolder(index, maker);
    if (result == kErrBadArgument) break;
    if (result != kOk) continue;
    BCFileSpec product;
    product.SetToChild(productFolderName, -1, maker);
    if (product.Exists() != ExistsFolder) continue;
    BCFileSpec productInfo;
    GetProductInfoPath(product, productInfo);
    if (productInfo.Exists() == ExistsFile) {
      destination.CopyFrom(product);
      return kOk;
    }
  }
  destination.Clear();
  return kErrFolderNotFound;
}
