// The installed product's information file ("Resources\engine.txt" in the
// product folder): its path, its statements and the fixed-layout record.
#pragma once

#include <cstdint>

class BCFileSpec;
class ValueTable;

inline constexpr int32_t kProductInfoMaxBytes = 55000;

// Handed to callers as one block. Text fields hold a terminating zero only
// when the text is shorter than the field: bound every read by its width.
struct ProductInfo {
  char mVersionText[32];  // VERSION_STR
  int32_t mVersion;       // VERSION
  int32_t mVersionDate;   // VERSION_DATE
  int32_t mBuildNumber;   // BUILD_NUMBER
  int32_t mSku;           // SKU
  char mProductName[128];
  char mProductUrlName[128];
  char mLibraryPath[1024];  // LIB joined to the product folder
  char mProjectName[128];
  char mBundleId[128];
  char mDistro[64];
  char mAuthorName[128];
  char mAuthorUrl[128];
  char mAboutUrl[128];
  char mUpgradeUrl[128];
  char mUpdateUrl[128];
  char mCopyright[128];
  char mAffiliate[64];
  char mReserved[64];  // no key fills it; always zero
};
static_assert(sizeof(ProductInfo) == 2544, "the record is handed out as a 2544-byte block");

// destination = folder\Resources\engine.txt
void GetProductInfoPath(const BCFileSpec& productFolder, BCFileSpec& destination);
// Reads and parses the file into table (emptied first) and validates
// REVISION (55015), PRODUCT_NAME and VERSION (55025).
int32_t ParseProductInfoFile(const BCFileSpec& productFolder, ValueTable& table);
// The record is zeroed and filled whatever the result; a present LIB makes
// the read succeed.
int32_t ReadProductInfo(const BCFileSpec& productFolder, ProductInfo& destination);
// destination and library may be null; library receives the LIB path and is
// left empty on failure.
int32_t ReadProductInfoWithLibrary(const BCFileSpec& productFolder, ProductInfo* destination,
                                   BCFileSpec* library);
// Finds the product folder (null name: the executable's folder) and reads
// its information. productFolder, when given, receives the folder on success
// and is emptied on failure; library is emptied on failure.
int32_t FindProduct(const char* productFolderName, ProductInfo* destination, BCFileSpec& library,
                    BCFileSpec* productFolder);
