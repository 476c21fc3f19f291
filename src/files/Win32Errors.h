// Win32 error numbers (GetLastError) turned into the system's result codes.
#pragma once

#include <cstdint>

// 0 for ERROR_SUCCESS, 55013 for any error the table does not list.
int32_t MapWin32Error(uint32_t error);
// The mapped GetLastError of a call that failed; 55013 when the system left
// no error, so a failure never reads as success.
int32_t LastErrorAsFailure();
