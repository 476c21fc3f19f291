// The well-known folders, the module and current folders, and Exists, asked
// of the real system under Wine.
#include <gtest/gtest.h>

#include <string>

#include "FileTestSupport.h"
#include "runtime/ResultCodes.h"
#include "text/TextFunctions.h"

namespace {

using files_test::PathOf;
using files_test::ScopedEnvironment;
using files_test::SpecOf;
using files_test::TempFolder;
using files_test::WriteBytes;

BCFileSpec Resolved(FolderKind kind, int32_t* result) {
  BCFileSpec folder;
  folder.SetPath("stale");
  *result = GetSpecialFolder(folder, kind);
  return folder;
}

TEST(SpecialFolder, ShellKindsResolveToExistingFolders) {
  const FolderKind kinds[] = {FolderProgramFiles,     FolderSharedData,        FolderCommonFiles,
                              FolderDesktop,          FolderStartMenuPrograms, FolderAppData,
                              FolderAppDataSecondary, FolderLocalAppData,      FolderWindows,
                              FolderKind(0),          FolderKind(99)};
  for (const FolderKind kind : kinds) {
    SCOPED_TRACE("kind " + std::to_string(int(kind)));
    int32_t result = -1;
    const BCFileSpec folder = Resolved(kind, &result);
    EXPECT_EQ(result, kOk);
    EXPECT_EQ(folder.Exists(), ExistsFolder) << PathOf(folder);
  }
}

TEST(SpecialFolder, DerivedKinds) {
  int32_t result = -1;
  const BCFileSpec drive = Resolved(FolderSystemDrive, &result);
  EXPECT_EQ(result, kOk);
  const std::string root = PathOf(drive);
  ASSERT_EQ(root.size(), 3u) << root;
  EXPECT_EQ(root.substr(1), ":\\");
  EXPECT_EQ(root[0], PathOf(Resolved(FolderWindows, &result))[0]);

  // The user profile is the desktop's parent; all users the shared data's parent.
  BCFileSpec expected;
  expected.SetToParentOf(Resolved(FolderDesktop, &result));
  EXPECT_EQ(PathOf(Resolved(FolderUserProfile, &result)), PathOf(expected));
  EXPECT_EQ(result, kOk);
  EXPECT_EQ(Resolved(FolderUserProfile, &result).Exists(), ExistsFolder);
  expected.SetToParentOf(Resolved(FolderSharedData, &result));
  EXPECT_EQ(PathOf(Resolved(FolderAllUsers, &result)), PathOf(expected));
  EXPECT_EQ(result, kOk);

  const BCFileSpec executable = Resolved(FolderExecutableFile, &result);
  EXPECT_EQ(result, kOk);
  EXPECT_EQ(executable.Exists(), ExistsFile);
  UtilStr extension;
  executable.GetExtension(&extension);
  EXPECT_STREQ(extension.mText, "exe");
}

TEST(SpecialFolder, EnvironmentKinds) {
  TempFolder x86;
  TempFolder plain;
  const std::wstring x86Path = x86.Path().wstring() + L"\\";
  const std::wstring plainPath = plain.Path().wstring();
  struct Case {
    const char* label;
    FolderKind kind;
    std::optional<std::wstring> w6432, x86, programFiles;
    int32_t code;
    std::string expected;
  };
  // Values that need more than the 2048-unit buffer count as absent.
  const std::wstring fitsBuffer(2047, L'x');
  const std::wstring overBuffer(2048, L'x');
  const Case cases[] = {
      {"64-bit set", FolderProgramFiles64, plainPath, {}, {}, kOk, PathOf(plain.FileSpec())},
      {"64-bit absent", FolderProgramFiles64, {}, x86Path, plainPath, kErrFolderNotFound, ""},
      {"64-bit too long", FolderProgramFiles64, overBuffer, {}, {}, kErrFolderNotFound, ""},
      {"x86 first, trailing backslash",
       FolderProgramFilesX86,
       {},
       x86Path,
       plainPath,
       kOk,
       PathOf(x86.FileSpec())},
      {"x86 absent", FolderProgramFilesX86, {}, {}, plainPath, kOk, PathOf(plain.FileSpec())},
      {"x86 too long", FolderProgramFilesX86, {}, overBuffer, plainPath, kOk, PathOf(plain.FileSpec())},
      {"x86 fills the buffer", FolderProgramFilesX86, {}, fitsBuffer, plainPath, kOk, std::string(2047, 'x')},
      {"both absent", FolderProgramFilesX86, {}, {}, {}, kErrFolderNotFound, ""},
      {"both too long", FolderProgramFilesX86, {}, overBuffer, overBuffer, kErrFolderNotFound, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    const ScopedEnvironment w6432(L"ProgramW6432", c.w6432);
    const ScopedEnvironment x86Variable(L"ProgramFiles(x86)", c.x86);
    const ScopedEnvironment programFiles(L"ProgramFiles", c.programFiles);
    int32_t result = -1;
    const BCFileSpec folder = Resolved(c.kind, &result);
    EXPECT_EQ(result, c.code);
    EXPECT_EQ(PathOf(folder), c.expected);
  }
}

TEST(SpecialFolder, ModuleAndExecutableFolders) {
  BCFileSpec module;
  ASSERT_EQ(module.SetToModuleFile(GetModuleHandleW(L"kernel32.dll")), kOk);
  UtilStr name;
  module.GetName(&name, true);
  EXPECT_EQ(CompareText(name.mText, -1, "kernel32.dll", -1, false), 0) << name.mText;
  EXPECT_EQ(module.Exists(), ExistsFile);

  // A module handle the process does not have.
  module.SetPath("stale");
  EXPECT_NE(module.SetToModuleFile(reinterpret_cast<void*>(0x10)), kOk);
  EXPECT_TRUE(module.IsEmpty());

  BCFileSpec executable;
  ASSERT_EQ(executable.SetToModuleFile(nullptr), kOk);
  BCFileSpec folder;
  ASSERT_EQ(folder.SetToExecutableFolder(), kOk);
  BCFileSpec parent;
  parent.SetToParentOf(executable);
  EXPECT_EQ(PathOf(folder), PathOf(parent));
  EXPECT_EQ(folder.Exists(), ExistsFolder);
}

TEST(SpecialFolder, CurrentFolderAndExists) {
  TempFolder temp;
  WriteBytes(temp.Path() / "file.txt", "x");
  wchar_t saved[MAX_PATH * 4];
  ASSERT_GT(GetCurrentDirectoryW(DWORD(std::size(saved)), saved), 0u);
  ASSERT_TRUE(SetCurrentDirectoryW(temp.Path().wstring().c_str()));
  BCFileSpec current;
  EXPECT_EQ(current.SetToCurrentFolder(), ExistsFolder);
  EXPECT_EQ(PathOf(current), PathOf(temp.FileSpec()));
  SetCurrentDirectoryW(saved);

  EXPECT_EQ(SpecOf(temp.Path() / "file.txt").Exists(), ExistsFile);
  EXPECT_EQ(temp.FileSpec().Exists(), ExistsFolder);
  EXPECT_EQ(SpecOf(temp.Path() / "absent").Exists(), ExistsNone);
  EXPECT_EQ(SpecOf(temp.Path() / "absent" / "deeper").Exists(), ExistsNone);
}

}  // namespace
