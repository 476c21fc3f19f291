// The int32 result codes returned behind the COM surface; 0 is success.
#pragma once

#include <cstdint>

inline constexpr int32_t kOk = 0;
inline constexpr int32_t kErrNoHandle = 55010;  // no handle and no error from the system
inline constexpr int32_t kErrBadArgument =
    55011;  // empty file path, negative count, no destination, bad index
inline constexpr int32_t kErrNotHandled = 55012;  // request not handled or not implemented
inline constexpr int32_t kErrSystem = 55013;      // unclassified system failure; folder or window not found
inline constexpr int32_t kErrRevision = 55015;    // product information: REVISION missing or below 1
inline constexpr int32_t kErrOutOfMemory = 55017;
inline constexpr int32_t kErrEventUnused = 55019;    // the engine did not use an input event
inline constexpr int32_t kErrNoInstance = 55021;     // no engine instance; file not open or wrong mode
inline constexpr int32_t kErrMalformed = 55023;      // malformed key = value text
inline constexpr int32_t kErrProductFields = 55025;  // PRODUCT_NAME or VERSION missing
inline constexpr int32_t kErrFileNotFound = 55027;
inline constexpr int32_t kErrNoTable = 55034;            // engine export succeeded without a table
inline constexpr int32_t kErrEngineUnavailable = 55040;  // engine library not loadable
inline constexpr int32_t kErrExportsMissing = 55041;
inline constexpr int32_t kErrNoDevice = 55048;
inline constexpr int32_t kErrNotStarted = 55050;      // initial host and module state
inline constexpr int32_t kErrFolderNotFound = 55100;  // no product folder
inline constexpr int32_t kErrAlreadyExists = 55105;
inline constexpr int32_t kErrBadSeek = 55106;
inline constexpr int32_t kErrShortTransfer = 55107;  // short transfer or device not ready
inline constexpr int32_t kErrAccessDenied = 55109;
inline constexpr int32_t kErrNoSpace = 55110;  // out of space or memory
inline constexpr int32_t kErrBadName = 55111;
inline constexpr int32_t kErrFolderNotEmpty = 55114;
inline constexpr int32_t kErrWriteProtected = 55115;
inline constexpr int32_t kErrFileCut = 55200;         // file longer than the limit (cut)
inline constexpr int32_t kErrFileTooLarge = 55201;    // too long for a 32-bit count
inline constexpr int32_t kErrFileEndedEarly = 55202;  // ended before the requested range
inline constexpr int32_t kErrEndOfText = 55203;       // line reader exhausted
inline constexpr int32_t kErrNetworkBusy = 55431;
