// The shipped programs as Windows sees them: the version resource through
// GetFileVersionInfoW / VerQueryValueW, and the manifest the loader applies.
#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <regex>

#include "harness/scratch_files.h"
#include "harness/text.h"
#include "version_info.h"

namespace package_test {
namespace {

std::wstring ProjectVersionQuad() {
  const wchar_t* version = _wgetenv(L"LSS_VERSION");
  return VersionQuad(version != nullptr ? version : L"(LSS_VERSION not set)");
}

// The shipped programs: the variable naming the file under test, and its name.
const struct {
  const wchar_t* variable;
  const wchar_t* file;
} kPrograms[] = {{L"LSS_EXE", L"LSScheduler.exe"}, {L"LSS_CHECK_EXE", L"LSSchedulerCheck.exe"}};

TEST(VersionResource, NamesTheProductItsMakerAndTheProjectVersion) {
  for (const auto& program : kPrograms) {
    SCOPED_TRACE(e2e::Narrow(program.file));
    std::map<std::wstring, std::wstring> facts =
        ReadVersionFacts(e2e::PathFromEnvironment(program.variable));
    const std::wstring version = ProjectVersionQuad();
    const struct {
      const wchar_t* fact;
      std::wstring expected;
    } cases[] = {
        {L"fixed FileVersion", version},
        {L"fixed ProductVersion", version},
        {L"FileVersion", version},
        {L"ProductVersion", version},
        {L"CompanyName", L"Brinmoor"},
        {L"ProductName", L"LSScheduler"},
        {L"InternalName", program.file},
        {L"OriginalFilename", program.file},
    };
    for (const auto& row : cases) {
      SCOPED_TRACE(e2e::Narrow(row.fact));
      const auto found = facts.find(row.fact);
      ASSERT_NE(found, facts.end());
      EXPECT_EQ(e2e::ToUtf8(found->second), e2e::ToUtf8(row.expected));
    }
    for (const wchar_t* said : {L"FileDescription", L"LegalCopyright"}) {
      SCOPED_TRACE(e2e::Narrow(said));
      EXPECT_THAT(e2e::ToUtf8(facts[said]), ::testing::HasSubstr(" "));
    }
  }
}

TEST(VersionResource, EmbedsAManifestForAnUnelevatedWindows10Program) {
  for (const auto& program : kPrograms) {
    SCOPED_TRACE(e2e::Narrow(program.file));
    const std::string manifest =
        ReadEmbeddedManifest(e2e::PathFromEnvironment(program.variable));
    const struct {
      const char* what;
      const char* pattern;
    } cases[] = {
        {"runs as the invoker", R"(<requestedExecutionLevel\s+level="asInvoker")"},
        {"Windows 10 and 11", R"(<supportedOS\s+Id="\{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a\}")"},
    };
    for (const auto& row : cases) {
      SCOPED_TRACE(row.what);
      EXPECT_TRUE(std::regex_search(manifest, std::regex(row.pattern))) << manifest;
    }
  }
}

TEST(VersionResource, LeavesTheProgramUnderOneMebibyte) {
  WIN32_FILE_ATTRIBUTE_DATA attributes{};
  const std::wstring exe = e2e::PathFromEnvironment(L"LSS_EXE");
  ASSERT_TRUE(::GetFileAttributesExW(exe.c_str(), GetFileExInfoStandard, &attributes));
  EXPECT_EQ(attributes.nFileSizeHigh, 0u);
  EXPECT_LT(attributes.nFileSizeLow, 1024u * 1024u);
}

}  // namespace
}  // namespace package_test
