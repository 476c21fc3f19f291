#include "files/ProductInfo.h"

#include <algorithm>
#include <cstring>

#include "files/BCFileSpec.h"
#include "files/ValueTable.h"
#include "runtime/ResultCodes.h"

namespace {

struct TextField {
  const char* key;
  char* field;
  int width;
};

struct IntegerField {
  const char* key;
  int32_t* field;
};

// The field is zero already: a shorter text keeps its terminator, a text as
// long as the field or longer fills it without one.
void CopyIntoField(const UtilStr& text, char* field, int width) {
  std::memcpy(field, text.mText, size_t(std::min(text.mLength, width)));
}

// Fills the record; libraryPath, when given, receives the whole joined LIB
// path, which the record's field may hold only in part.
int32_t ReadRecord(const BCFileSpec& productFolder, ProductInfo& record, UtilStr* libraryPath) {
  ValueTable table(true);
  int32_t result = ParseProductInfoFile(productFolder, table);
  std::memset(&record, 0, sizeof record);

  UtilStr text;
  if (table.GetText("LIB", -1, &text)) {
    // SetToChild drops one leading backslash of the value.
    BCFileSpec library;
    library.SetToChild(text.mText, text.mLength, productFolder);
    UtilStr joined;
    result = library.GetPath(&joined);
    CopyIntoField(joined, record.mLibraryPath, int(sizeof record.mLibraryPath));
    if (libraryPath) *libraryPath = joined;
  }

  const TextField textFields[] = {
      {"VERSION_STR", record.mVersionText, int(sizeof record.mVersionText)},
      {"PRODUCT_NAME", record.mProductName, int(sizeof record.mProductName)},
      {"PRODUCT_URL_NAME", record.mProductUrlName, int(sizeof record.mProductUrlName)},
      {"PROJECT_NAME", record.mProjectName, int(sizeof record.mProjectName)},
      {"BUNDLE_ID", record.mBundleId, int(sizeof record.mBundleId)},
      {"DISTRO", record.mDistro, int(sizeof record.mDistro)},
      {"AUTHOR_NAME", record.mAuthorName, int(sizeof record.mAuthorName)},
      {"AUTHOR_URL", record.mAuthorUrl, int(sizeof record.mAuthorUrl)},
      {"ABOUT_URL", record.mAboutUrl, int(sizeof record.mAboutUrl)},
      {"UPGRADE_URL", record.mUpgradeUrl, int(sizeof record.mUpgradeUrl)},
      {"UPDATE_URL", record.mUpdateUrl, int(sizeof record.mUpdateUrl)},
      {"COPYRIGHT", record.mCopyright, int(sizeof record.mCopyright)},
      {"AFFILIATE", record.mAffiliate, int(sizeof record.mAffiliate)},
  };
  for (const TextField& entry : textFields) {
    if (table.GetText(entry.key, -1, &text)) CopyIntoField(text, entry.field, entry.width);
  }

  const IntegerField integerFields[] = {
      {"VERSION", &record.mVersion},
      {"VERSION_DATE", &record.mVersionDate},
      {"BUILD_NUMBER", &record.mBuildNumber},
      {"SKU", &record.mSku},
  };
  for (const IntegerField& entry : integerFields) *entry.field = int32_t(table.GetInteger(entry.key));
  return result;
}

}  // namespace

void GetProductInfoPath(const BCFileSpec& productFolder, BCFileSpec& destination) {
  destination.SetToChild("Resources", -1, productFolder);
  destination.SetToChild("engine.txt", -1, destination);
}

int32_t ParseProductInfoFile(const BCFileSpec& productFolder, ValueTable& table) {
  table.Clear();
  BCFileSpec path;
  GetProductInfoPath(productFolder, path);
  UtilStr content;
  if (const int32_t result = path.ReadContents(&content, kProductInfoMaxBytes); result != kOk) return result;
  if (const int32_t result = table.Parse(content.mText, content.mLength); result != kOk) return result;
  if (table.GetInteger("REVISION") < 1) return kErrRevision;
  if (!table.GetText("PRODUCT_NAME", -1, nullptr) || !table.GetText("VERSION", -1, nullptr))
    return kErrProductFields;
  return kOk;
}

int32_t ReadProductInfo(const BCFileSpec& productFolder, ProductInfo& destination) {
  return ReadRecord(productFolder, destination, nullptr);
}

int32_t ReadProductInfoWithLibrary(const BCFileSpec& productFolder, ProductInfo* destination,
                                   BCFileSpec* library) {
  if (library) library->Clear();
  ProductInfo record;
  UtilStr libraryPath;
  if (const int32_t result = ReadRecord(productFolder, record, &libraryPath); result != kOk) return result;
  if (destination) *destination = record;
  if (library) library->SetPath(libraryPath);
  return kOk;
}

int32_t FindProduct(const char* productFolderName, ProductInfo* destination, BCFileSpec& library,
                    BCFileSpec* productFolder) {
  library.Clear();
  BCFileSpec folder;
  int32_t result = FindProductFolder(productFolderName, folder);
  if (result == kOk) result = ReadProductInfoWithLibrary(folder, destination, &library);
  if (productFolder) {
    if (result == kOk)
      productFolder->CopyFrom(folder);
    else
      productFolder->Clear();
  }
  return result;
}
