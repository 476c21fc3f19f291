// Loading the engine library for real: the ".x64.dll" retry, the export and
// table checks, giving the table back before unloading, the current folder,
// and the engine module's one-time acquisition shared with hosts.
#include <gtest/gtest.h>
#include <shlobj.h>
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "HostTestSupport.h"
#include "files/BCFileSpec.h"
#include "host/DynamicLibrary.h"
#include "host/EngineHost.h"
#include "host/EngineLibrary.h"
#include "host/EngineModule.h"
#include "runtime/ResultCodes.h"

namespace {

using host_test::CurrentFolder;
using host_test::RecordingHost;
using host_test::Releaser;
using host_test::ScratchFolder;

BCFileSpec FileSpec(const std::wstring& path) {
  BCFileSpec fileSpec;
  fileSpec.SetWidePath(path.c_str());
  return fileSpec;
}

std::wstring PathOf(const BCFileSpec& fileSpec) {
  UtilStr text;
  fileSpec.GetPath(&text);
  std::wstring wide(size_t(text.mLength) + 1, L'\0');
  wide.resize(
      size_t(MultiByteToWideChar(CP_UTF8, 0, text.mText, text.mLength, wide.data(), int(wide.size()))));
  return wide;
}

bool IsModuleLoaded(const std::wstring& path) {
  return GetModuleHandleW(path.c_str()) != nullptr;
}

// What the engine reports while it is given back and unloaded.
struct Observed {
  int32_t kind;
  void* pointer;
};
std::vector<Observed> gObserved;
void Observe(void*, const TestEngineCall* call) {
  gObserved.push_back(Observed{call->kind, call->pointer});
}

TestEngineControl ControlOf(const DynamicLibrary& library) {
  TestEngineControl control;
  EXPECT_TRUE(control.Bind(static_cast<HMODULE>(library.GetModule())));
  return control;
}

TEST(DynamicLibraryTest, RetriesTheX64NameOnlyAfterNotFoundOrBadImage) {
  struct Case {
    const char* name;
    const wchar_t* fileAtName;  // built DLL copied to Engine.dll, or none
    bool sibling;               // TestEngine.dll copied to Engine.x64.dll
    int32_t result;
    const wchar_t* loaded;
  };
  const Case cases[] = {
      {"missing file, sibling loads", nullptr, true, kOk, L"Engine.x64.dll"},
      {"not an image, sibling loads", L"TestEngineNotImage.dll", true, kOk, L"Engine.x64.dll"},
      {"the file itself loads", L"TestEngine.dll", true, kOk, L"Engine.dll"},
      {"refused by the library: no retry", L"TestEngineInitFails.dll", true, kErrEngineUnavailable, nullptr},
      {"missing file, no sibling", nullptr, false, kErrEngineUnavailable, nullptr},
      {"not an image, no sibling", L"TestEngineNotImage.dll", false, kErrEngineUnavailable, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ScratchFolder folder;
    if (c.fileAtName) {
      ASSERT_TRUE(folder.CopyFromBuild(c.fileAtName, L"Engine.dll"));
    }
    if (c.sibling) {
      ASSERT_TRUE(folder.CopyFromBuild(L"TestEngine.dll", L"Engine.x64.dll"));
    }
    const std::wstring before = CurrentFolder();

    DynamicLibrary library;
    EXPECT_EQ(library.Load(FileSpec(folder.File(L"Engine.dll"))), c.result);
    EXPECT_EQ(CurrentFolder(), before);
    EXPECT_EQ(library.IsLoaded(), c.loaded != nullptr);
    if (c.loaded) {
      EXPECT_EQ(PathOf(library.GetLibraryFile()), folder.File(c.loaded));
      EXPECT_NE(library.GetSymbol("GetBCVisualAPI"), nullptr);
    } else {
      EXPECT_TRUE(library.GetLibraryFile().IsEmpty());
      EXPECT_FALSE(IsModuleLoaded(folder.File(L"Engine.x64.dll"))) << "the sibling must not be tried";
    }
    library.Unload();
    EXPECT_FALSE(IsModuleLoaded(folder.File(L"Engine.x64.dll")));
    EXPECT_FALSE(IsModuleLoaded(folder.File(L"Engine.dll")));
  }
}

TEST(DynamicLibraryTest, NothingToLoadOrLookUp) {
  DynamicLibrary library;
  EXPECT_EQ(library.Load(BCFileSpec()), kErrBadArgument);
  EXPECT_EQ(library.GetSymbol("GetBCVisualAPI"), nullptr);

  ScratchFolder folder;
  ASSERT_TRUE(folder.CopyFromBuild(L"TestEngine.dll", L"Engine.dll"));
  ASSERT_EQ(library.Load(FileSpec(folder.File(L"Engine.dll"))), kOk);
  EXPECT_EQ(library.GetSymbol(nullptr), nullptr);
  EXPECT_EQ(library.GetSymbol("NoSuchExport"), nullptr);
}

TEST(EngineLibraryTest, AcquiresTheTableAndGivesItBackBeforeUnloading) {
  ScratchFolder folder;
  ASSERT_TRUE(folder.CopyFromBuild(L"TestEngine.dll", L"Engine.dll"));
  EngineLibrary engine;
  ASSERT_EQ(engine.LoadEngine(FileSpec(folder.File(L"Engine.dll"))), kOk);
  ASSERT_NE(engine.GetTable(), nullptr);

  TestEngineControl control = ControlOf(engine.GetLibrary());
  auto gets = control.CallsOf(kTestEngineGetAPI);
  ASSERT_EQ(gets.size(), 1u);
  EXPECT_EQ(gets[0].code, kVisualAPIVersion);
  EXPECT_EQ(gets[0].extra, 0);
  EXPECT_EQ(gets[0].pointer, engine.GetTable());

  VisualAPI* table = engine.GetTable();
  gObserved.clear();
  control.SetObserver(&Observe, nullptr);
  engine.UnloadEngine();
  ASSERT_EQ(gObserved.size(), 2u);
  EXPECT_EQ(gObserved[0].kind, kTestEngineReleaseAPI);
  EXPECT_EQ(gObserved[0].pointer, table);
  EXPECT_EQ(gObserved[1].kind, kTestEngineUnload) << "the library is freed after the table is given back";
  EXPECT_EQ(engine.GetTable(), nullptr);
  EXPECT_FALSE(engine.GetLibrary().IsLoaded());
}

TEST(EngineLibraryTest, LoadFailuresLeaveNothingLoaded) {
  struct Case {
    const char* name;
    const wchar_t* built;
    int32_t result;
  };
  const Case cases[] = {
      {"no ReleaseBCVisualAPI", L"TestEngineNoRelease.dll", kErrExportsMissing},
      {"success without a table", L"TestEngineNullTable.dll", kErrNoTable},
      {"not an image", L"TestEngineNotImage.dll", kErrEngineUnavailable},
      {"missing", nullptr, kErrEngineUnavailable},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ScratchFolder folder;
    if (c.built) {
      ASSERT_TRUE(folder.CopyFromBuild(c.built, L"Engine.dll"));
    }
    EngineLibrary engine;
    EXPECT_EQ(engine.LoadEngine(FileSpec(folder.File(L"Engine.dll"))), c.result);
    EXPECT_EQ(engine.GetTable(), nullptr);
    EXPECT_FALSE(engine.GetLibrary().IsLoaded());
    EXPECT_FALSE(IsModuleLoaded(folder.File(L"Engine.dll")));
  }
}

TEST(EngineLibraryTest, PassesOnTheFailureOfGetBCVisualAPI) {
  ScratchFolder folder;
  ASSERT_TRUE(folder.CopyFromBuild(L"TestEngine.dll", L"Engine.dll"));
  HMODULE own = LoadLibraryW(folder.File(L"Engine.dll").c_str());
  TestEngineControl control;
  ASSERT_TRUE(control.Bind(own));
  control.SetGetAPIAnswer(55099, 1);

  EngineLibrary engine;
  EXPECT_EQ(engine.LoadEngine(FileSpec(folder.File(L"Engine.dll"))), 55099);
  EXPECT_EQ(engine.GetTable(), nullptr);
  EXPECT_FALSE(engine.GetLibrary().IsLoaded());
  EXPECT_TRUE(control.CallsOf(kTestEngineReleaseAPI).empty());
  FreeLibrary(own);
}

// A product installed where the engine loader looks for it:
// Program Files\Brightcurrent\<name>\Resources\engine.txt naming
// Engine\TestEngine.dll in the product folder.
class InstalledProduct {
 public:
  explicit InstalledProduct(const std::wstring& name) {
    wchar_t programFiles[MAX_PATH];
    SHGetFolderPathW(nullptr, CSIDL_PROGRAM_FILES, nullptr, 0, programFiles);
    mMaker = std::wstring(programFiles) + L"\\Brightcurrent";
    mFolder = mMaker + L"\\" + name;
  }
  InstalledProduct(const InstalledProduct&) = delete;
  InstalledProduct& operator=(const InstalledProduct&) = delete;
  ~InstalledProduct() {
    ScratchFolder::RemoveTree(mFolder);
    RemoveDirectoryW(mMaker.c_str());
  }

  bool Install() {
    CreateDirectoryW(mMaker.c_str(), nullptr);
    CreateDirectoryW(mFolder.c_str(), nullptr);
    CreateDirectoryW((mFolder + L"\\Resources").c_str(), nullptr);
    CreateDirectoryW((mFolder + L"\\Engine").c_str(), nullptr);
    const std::string text =
        "REVISION = 1\r\nPRODUCT_NAME = \"Test\"\r\nVERSION = 1\r\nLIB = \"Engine\\\\TestEngine.dll\"\r\n";
    HANDLE file = CreateFileW((mFolder + L"\\Resources\\engine.txt").c_str(), GENERIC_WRITE, 0, nullptr,
                              CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    WriteFile(file, text.data(), DWORD(text.size()), &written, nullptr);
    CloseHandle(file);
    return CopyFileW((host_test::ProgramFolder() + L"\\TestEngine.dll").c_str(), LibraryPath().c_str(),
                     FALSE);
  }
  std::wstring LibraryPath() const { return mFolder + L"\\Engine\\TestEngine.dll"; }
  const std::wstring& Folder() const { return mFolder; }

 private:
  std::wstring mMaker;
  std::wstring mFolder;
};

std::string UniqueProductName(const char* base) {
  return std::string(base) + "-" + std::to_string(GetCurrentProcessId());
}

std::wstring Wide(const std::string& text) {
  return std::wstring(text.begin(), text.end());
}

using ModulePtr = std::unique_ptr<EngineModule, Releaser<EngineModule>>;
using HostPtr = std::unique_ptr<RecordingHost, Releaser<RecordingHost>>;

TEST(EngineModuleTest, LoadsOnFirstAcquireAndFindsTheProductByName) {
  const std::string name = UniqueProductName("Acquire");
  InstalledProduct product(Wide(name));
  ASSERT_TRUE(product.Install());
  ModulePtr module(new EngineModule);
  module->SetProductName(name.c_str());
  EXPECT_EQ(module->GetState(), kErrNotStarted);
  EXPECT_FALSE(IsModuleLoaded(product.LibraryPath()));

  VisualAPI* table = module->Acquire();
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(module->GetState(), kOk);
  EXPECT_EQ(module->Acquire(), table);
  EXPECT_EQ(PathOf(module->GetEngineLibrary().GetProductFolder()), product.Folder());
  TestEngineControl control = ControlOf(module->GetEngineLibrary().GetLibrary());
  EXPECT_EQ(control.CallsOf(kTestEngineGetAPI).size(), 1u);

  gObserved.clear();
  control.SetObserver(&Observe, nullptr);
  module.reset();
  ASSERT_EQ(gObserved.size(), 2u) << "the last release unloads";
  EXPECT_EQ(gObserved[0].kind, kTestEngineReleaseAPI);
  EXPECT_EQ(gObserved[1].kind, kTestEngineUnload);
}

TEST(EngineModuleTest, AFailedFirstAcquireIsNeverRetried) {
  const std::string name = UniqueProductName("Later");
  InstalledProduct product(Wide(name));
  ModulePtr module(new EngineModule);
  module->SetProductName(name.c_str());
  EXPECT_EQ(module->Acquire(), nullptr);
  EXPECT_EQ(module->GetState(), kErrFolderNotFound);

  ASSERT_TRUE(product.Install());
  EXPECT_EQ(module->Acquire(), nullptr);
  EXPECT_EQ(module->GetState(), kErrFolderNotFound);
  EXPECT_FALSE(IsModuleLoaded(product.LibraryPath())) << "the installation was not searched again";
  module->Unload();
  EXPECT_EQ(module->GetState(), kErrFolderNotFound);
}

TEST(EngineModuleTest, HostsShareTheModuleAndLetItGoAgain) {
  const std::string name = UniqueProductName("Hosts");
  InstalledProduct product(Wide(name));
  ASSERT_TRUE(product.Install());
  ModulePtr module(new EngineModule);
  module->SetProductName(name.c_str());
  HostPtr host(new RecordingHost);

  EXPECT_EQ(host->SetEngineModule(module.get()), kErrNotStarted);
  EXPECT_EQ(module->GetRefCount(), 2);
  EXPECT_TRUE(module->HasHost(host.get()));
  EXPECT_EQ(host->GetEngineTable(), nullptr) << "loading waits for StartEngine";
  host->StartEngine();
  ASSERT_TRUE(host->IsEngineRunning());
  EXPECT_EQ(host->SetEngineModule(module.get()), kOk);
  EXPECT_TRUE(host->IsEngineRunning());

  HostPtr second(new RecordingHost);
  EXPECT_EQ(second->SetEngineModule(module.get()), kOk);
  EXPECT_EQ(second->GetEngineTable(), module->Acquire()) << "a loaded module hands its table over at once";

  TestEngineControl control = ControlOf(module->GetEngineLibrary().GetLibrary());
  host->SetEngineModule(nullptr);
  EXPECT_FALSE(host->IsEngineRunning());
  EXPECT_EQ(control.CallsOf(kTestEngineDestroy).size(), 1u);
  EXPECT_FALSE(module->HasHost(host.get()));
  EXPECT_EQ(module->GetRefCount(), 2);
  second.reset();
  EXPECT_EQ(module->GetRefCount(), 1);
}

TEST(EngineModuleTest, UnloadStopsTheEnginesOfItsHostsFirst) {
  const std::string name = UniqueProductName("Unload");
  InstalledProduct product(Wide(name));
  ASSERT_TRUE(product.Install());
  ModulePtr module(new EngineModule);
  module->SetProductName(name.c_str());
  HostPtr host(new RecordingHost);
  host->SetEngineModule(module.get());
  host->StartEngine();
  ASSERT_TRUE(host->IsEngineRunning());

  TestEngineControl control = ControlOf(module->GetEngineLibrary().GetLibrary());
  gObserved.clear();
  control.SetObserver(&Observe, nullptr);
  module->SetProductName(name.c_str());
  EXPECT_FALSE(host->IsEngineRunning());
  EXPECT_EQ(host->GetEngineTable(), nullptr);
  ASSERT_GE(gObserved.size(), 3u);
  EXPECT_EQ(gObserved[gObserved.size() - 3].kind, kTestEngineDestroy);
  EXPECT_EQ(gObserved[gObserved.size() - 2].kind, kTestEngineReleaseAPI);
  EXPECT_EQ(gObserved.back().kind, kTestEngineUnload);
  EXPECT_EQ(module->GetState(), kErrNotStarted);

  host->StartEngine();
  EXPECT_TRUE(host->IsEngineRunning()) << "the next start loads the engine again";
}

TEST(EngineModuleTest, AHostWithAnUnloadableEngineCreatesNothing) {
  ModulePtr module(new EngineModule);
  module->SetProductName(UniqueProductName("Absent").c_str());
  HostPtr host(new RecordingHost);
  host->SetEngineModule(module.get());
  host->StartEngine();
  EXPECT_EQ(host->GetState(), kErrEngineUnavailable);
  EXPECT_FALSE(host->IsEngineRunning());
  host->StartEngine();
  EXPECT_EQ(host->GetState(), kErrEngineUnavailable);
}

}  // namespace
