#include "files/Win32Errors.h"

#include <windows.h>

#include "runtime/ResultCodes.h"

int32_t MapWin32Error(uint32_t error) {
  switch (error) {
    case ERROR_SUCCESS:
      return kOk;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_INVALID_ACCESS:
      return kErrFileNotFound;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_BAD_NETPATH:
      return kErrFolderNotFound;
    case ERROR_ACCESS_DENIED:
      return kErrAccessDenied;
    case ERROR_NOT_ENOUGH_MEMORY:
      return kErrOutOfMemory;
    case ERROR_INVALID_BLOCK:
    case ERROR_BAD_UNIT:
    case ERROR_NOT_READY:
      return kErrShortTransfer;
    case ERROR_OUTOFMEMORY:
    case ERROR_NO_MORE_FILES:
    case ERROR_HANDLE_DISK_FULL:
      return kErrNoSpace;
    case ERROR_WRITE_PROTECT:
      return kErrWriteProtected;
    case ERROR_NETWORK_BUSY:
      return kErrNetworkBusy;
    case ERROR_DEV_NOT_EXIST:
      return kErrNoDevice;
    case ERROR_CALL_NOT_IMPLEMENTED:
      return kErrNotHandled;
    case ERROR_INVALID_NAME:
      return kErrBadName;
    case ERROR_DIR_NOT_EMPTY:
      return kErrFolderNotEmpty;
    case ERROR_ALREADY_EXISTS:
      return kErrAlreadyExists;
    default:
      return kErrSystem;
  }
}

int32_t LastErrorAsFailure() {
  const int32_t code = MapWin32Error(GetLastError());
  return code == kOk ? kErrSystem : code;
}
