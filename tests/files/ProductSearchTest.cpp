// The search for the installed product over real folders: temporary roots
// reached through the environment, and the Wine prefix's own Program Files.
#include <gtest/gtest.h>

#include <string>

#include "FileTestSupport.h"
#include "files/ProductInfo.h"
#include "files/XFile.h"
#include "runtime/ResultCodes.h"

namespace {

using files_test::PathOf;
using files_test::ProcessHandleCount;
using files_test::ScopedEnvironment;
using files_test::SpecOf;
using files_test::TempFolder;
using files_test::WriteBytes;

// A product name no real installation uses, different in every process.
std::string TestProductName() {
  return "LumatideTest" + std::to_string(GetCurrentProcessId());
}

std::filesystem::path ProductFolderBelow(const std::filesystem::path& root, const std::string& product) {
  return root / "Brightcurrent" / product;
}

std::filesystem::path InstallProduct(const std::filesystem::path& root, const std::string& product,
                                     const std::string& library) {
  const std::filesystem::path folder = ProductFolderBelow(root, product);
  std::string quoted;
  for (const char c : library) quoted += c == '\\' ? std::string("\\\\") : std::string(1, c);
  WriteBytes(folder / "Resources" / "engine.txt",
             "REVISION = 1\nPRODUCT_NAME = \"" + product + "\"\nVERSION = 3\nLIB = \"" + quoted + "\"\n");
  return folder;
}

std::filesystem::path RootOf(FolderKind kind) {
  BCFileSpec folder;
  EXPECT_EQ(GetSpecialFolder(folder, kind), kOk);
  std::wstring wide(4096, L'\0');
  wide.resize(size_t(folder.GetWidePath(wide.data(), int(wide.size()))));
  return std::filesystem::path(wide.substr(4));
}

// Removes the product folders a test made below a real root, and the maker
// folder when nothing else is left in it.
class InstalledBelowRealRoot {
 public:
  InstalledBelowRealRoot(const std::filesystem::path& root, const std::string& product) : mRoot(root) {
    mFolder = ProductFolderBelow(root, product);
  }
  InstalledBelowRealRoot(const InstalledBelowRealRoot&) = delete;
  InstalledBelowRealRoot& operator=(const InstalledBelowRealRoot&) = delete;
  ~InstalledBelowRealRoot() {
    std::error_code ignored;
    std::filesystem::remove_all(mFolder, ignored);
    std::filesystem::remove(mRoot / "Brightcurrent", ignored);  // only when empty
  }

 private:
  std::filesystem::path mRoot;
  std::filesystem::path mFolder;
};

// What FindProduct reports: result, library path and product folder.
struct Found {
  int32_t result;
  std::string library;
  std::string folder;
};

Found FindNamed(const std::string& product) {
  BCFileSpec library;
  library.SetPath("stale library");
  BCFileSpec folder;
  folder.SetPath("stale folder");
  const int32_t result = FindProduct(product.c_str(), nullptr, library, &folder);
  return {result, PathOf(library), PathOf(folder)};
}

std::string Joined(const std::filesystem::path& folder, const char* child) {
  return PathOf(SpecOf(folder)) + "\\" + child;
}

TEST(ProductSearch, ThroughTheEnvironmentRoots) {
  const std::string product = TestProductName();
  TempFolder x86;
  TempFolder plain;
  TempFolder empty;
  const std::filesystem::path x86Product = InstallProduct(x86.Path(), product, "x86.dll");
  const std::filesystem::path plainProduct = InstallProduct(plain.Path(), product, "plain.dll");
  const std::wstring tooLong(3000, L'x');
  struct Case {
    const char* label;
    std::optional<std::wstring> x86, programFiles;
    int32_t code;
    std::string library;
    std::string folder;
  };
  const Case cases[] = {
      {"ProgramFiles(x86)", x86.Path().wstring(), plain.Path().wstring(), kOk, Joined(x86Product, "x86.dll"),
       PathOf(SpecOf(x86Product))},
      {"ProgramFiles",
       {},
       plain.Path().wstring(),
       kOk,
       Joined(plainProduct, "plain.dll"),
       PathOf(SpecOf(plainProduct))},
      {"ProgramFiles(x86) too long", tooLong, plain.Path().wstring(), kOk, Joined(plainProduct, "plain.dll"),
       PathOf(SpecOf(plainProduct))},
      // A present ProgramFiles(x86) without the maker folder hides ProgramFiles.
      {"ProgramFiles(x86) without maker", empty.Path().wstring(), plain.Path().wstring(), kErrFolderNotFound,
       "", ""},
      {"no roots", {}, {}, kErrFolderNotFound, "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    const ScopedEnvironment x86Variable(L"ProgramFiles(x86)", c.x86);
    const ScopedEnvironment programFiles(L"ProgramFiles", c.programFiles);
    const Found found = FindNamed(product);
    EXPECT_EQ(found.result, c.code);
    EXPECT_EQ(found.library, c.library);
    EXPECT_EQ(found.folder, c.folder);
  }
}

TEST(ProductSearch, MakerFolderIndexes) {
  TempFolder root;
  const ScopedEnvironment x86Variable(L"ProgramFiles(x86)", root.Path().wstring());
  BCFileSpec maker;
  EXPECT_EQ(FindMakerFolder(2, maker), kErrFolderNotFound);
  EXPECT_EQ(PathOf(maker), PathOf(SpecOf(root.Path() / "Brightcurrent")));
  std::filesystem::create_directories(root.Path() / "Brightcurrent");
  EXPECT_EQ(FindMakerFolder(2, maker), kOk);
  EXPECT_EQ(PathOf(maker), PathOf(SpecOf(root.Path() / "Brightcurrent")));
  for (const int32_t index : {-1, 3, 1000}) {
    maker.SetPath("kept");
    EXPECT_EQ(FindMakerFolder(index, maker), kErrBadArgument) << index;
    EXPECT_EQ(PathOf(maker), "kept");
  }
}

TEST(ProductSearch, AFolderWithoutItsInformationFileIsNoProduct) {
  const std::string product = TestProductName();
  TempFolder root;
  const ScopedEnvironment x86Variable(L"ProgramFiles(x86)", root.Path().wstring());
  const std::filesystem::path folder = ProductFolderBelow(root.Path(), product);
  const std::filesystem::path info = folder / "Resources" / "engine.txt";

  std::filesystem::create_directories(folder / "Resources");
  EXPECT_EQ(FindNamed(product).result, kErrFolderNotFound);
  // A folder named like the file is no file either.
  std::filesystem::create_directories(info);
  BCFileSpec found;
  found.SetPath("stale");
  EXPECT_EQ(FindProductFolder(product.c_str(), found), kErrFolderNotFound);
  EXPECT_TRUE(found.IsEmpty());
  std::filesystem::remove(info);

  InstallProduct(root.Path(), product, "engine.dll");
  EXPECT_EQ(FindProductFolder(product.c_str(), found), kOk);
  EXPECT_EQ(PathOf(found), PathOf(SpecOf(folder)));
}

// The three roots in their order: Program Files, Common Files, then the
// 32-bit Program Files of the environment. Runs on the prefix's real folders.
TEST(ProductSearch, SearchOrderOverThePrefixProgramFiles) {
  const std::string product = TestProductName();
  const std::filesystem::path programFiles = RootOf(FolderProgramFiles);
  const std::filesystem::path commonFiles = RootOf(FolderCommonFiles);
  ASSERT_EQ(programFiles.filename(), "Program Files") << programFiles;
  TempFolder x86;
  const ScopedEnvironment x86Variable(L"ProgramFiles(x86)", x86.Path().wstring());

  const InstalledBelowRealRoot programFilesCleanup(programFiles, product);
  const InstalledBelowRealRoot commonFilesCleanup(commonFiles, product);
  const std::filesystem::path first = InstallProduct(programFiles, product, "first.dll");
  const std::filesystem::path second = InstallProduct(commonFiles, product, "bin\\second.dll");
  const std::filesystem::path third = InstallProduct(x86.Path(), product, "third.dll");

  Found found = FindNamed(product);
  EXPECT_EQ(found.result, kOk);
  EXPECT_EQ(found.library, Joined(first, "first.dll"));
  EXPECT_EQ(found.folder, PathOf(SpecOf(first)));

  std::filesystem::remove(first / "Resources" / "engine.txt");
  found = FindNamed(product);
  EXPECT_EQ(found.result, kOk);
  EXPECT_EQ(found.library, Joined(second, "bin\\second.dll"));

  std::filesystem::remove(second / "Resources" / "engine.txt");
  found = FindNamed(product);
  EXPECT_EQ(found.result, kOk);
  EXPECT_EQ(found.library, Joined(third, "third.dll"));
}

TEST(ProductSearch, FailuresLeaveTheSpecsEmpty) {
  const std::string product = TestProductName();
  TempFolder root;
  const ScopedEnvironment x86Variable(L"ProgramFiles(x86)", root.Path().wstring());
  const std::filesystem::path folder = ProductFolderBelow(root.Path(), product);
  WriteBytes(folder / "Resources" / "engine.txt", "REVISION = 1\nPRODUCT_NAME = x\n");
  EXPECT_EQ(FindNamed(product).result, kErrProductFields);
  EXPECT_EQ(FindNamed(product).library, "");
  EXPECT_EQ(FindNamed(product).folder, "");

  WriteBytes(folder / "Resources" / "engine.txt", std::string(kProductInfoMaxBytes + 1, ' '));
  const Found oversized = FindNamed(product);
  EXPECT_EQ(oversized.result, kErrFileCut);
  EXPECT_EQ(oversized.library, "");
  EXPECT_EQ(oversized.folder, "");

  // Without a name the executable's folder is the product folder; the test
  // program has no Resources folder beside it.
  BCFileSpec executableFolder;
  ASSERT_EQ(executableFolder.SetToExecutableFolder(), kOk);
  BCFileSpec found;
  EXPECT_EQ(FindProductFolder(nullptr, found), kOk);
  EXPECT_EQ(PathOf(found), PathOf(executableFolder));
  const Found unnamed = [] {
    BCFileSpec library;
    BCFileSpec productFolder;
    productFolder.SetPath("stale");
    const int32_t result = FindProduct(nullptr, nullptr, library, &productFolder);
    return Found{result, PathOf(library), PathOf(productFolder)};
  }();
  EXPECT_EQ(unnamed.result, kErrFolderNotFound);
  EXPECT_EQ(unnamed.library, "");
  EXPECT_EQ(unnamed.folder, "");
}

// Every path through the search, the reads and the file class, run twice:
// the second run must end with the handle count it started with.
TEST(ProductSearch, NoHandleIsLeftOpen) {
  const std::string product = TestProductName();
  TempFolder root;
  const ScopedEnvironment x86Variable(L"ProgramFiles(x86)", root.Path().wstring());
  const std::filesystem::path good = InstallProduct(root.Path(), product, "engine.dll");
  const std::string broken = product + "Broken";
  WriteBytes(ProductFolderBelow(root.Path(), broken) / "Resources" / "engine.txt", "# not a statement");
  const std::filesystem::path data = root.Path() / "data.bin";
  WriteBytes(data, "0123456789");

  const auto everything = [&] {
    ProductInfo info;
    BCFileSpec library;
    FindProduct(product.c_str(), &info, library, nullptr);
    FindProduct(broken.c_str(), &info, library, nullptr);
    FindProduct("absent product", &info, library, nullptr);
    UtilStr contents;
    SpecOf(data).ReadContents(&contents, 5);
    SpecOf(data).ReadContents(&contents, -1);
    SpecOf(data).ReadRange(20, 5, &contents);
    SpecOf(root.Path() / "absent").ReadContents(&contents, 5);
    for (int kind = 0; kind <= 16; ++kind) {
      BCFileSpec folder;
      GetSpecialFolder(folder, FolderKind(kind));
      folder.Exists();
    }
    XFile reopened;
    reopened.Open(SpecOf(data), ReadRandom);
    reopened.Open(SpecOf(data), ReadWrite);
    XFile abandoned;
    abandoned.Open(SpecOf(data), WriteSequential);
  };
  everything();
  const DWORD before = ProcessHandleCount();
  ASSERT_GT(before, 0u);
  everything();
  EXPECT_EQ(ProcessHandleCount(), before);

  // The count does see a handle that stays open.
  void* handle = nullptr;
  ASSERT_EQ(SpecOf(data).OpenHandle(ReadRandom, &handle), kOk);
  EXPECT_EQ(ProcessHandleCount(), before + 1);
  CloseHandle(handle);
  EXPECT_EQ(ProcessHandleCount(), before);
}

}  // namespace
