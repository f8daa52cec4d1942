// The shipped programs as Windows sees them: the version resource through
// GetFileVersionInfoW / VerQueryValueW, and the manifest the loader applies.
#include "version_info.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

#include "common/rows.h"
#include "harness/scratch_files.h"
#include "harness/text.h"

namespace package_test {
namespace {

using lss::test::PrintTo;

// A shipped program: the variable naming the file under test, and its name.
struct ProgramCase {
  const char* what;
  const wchar_t* variable;
  const wchar_t* file;
};

const ProgramCase kPrograms[] = {
    {.what = "LSScheduler.exe", .variable = L"LSS_EXE", .file = L"LSScheduler.exe"},
    {.what = "LSSchedulerCheck.exe", .variable = L"LSS_CHECK_EXE", .file = L"LSSchedulerCheck.exe"},
};

class ShippedProgram : public testing::TestWithParam<ProgramCase> {};

TEST_P(ShippedProgram, NamesTheProductItsMakerAndTheProjectVersion) {
  const ProgramCase& program = GetParam();
  std::map<std::wstring, std::wstring> facts =
      ReadVersionFacts(e2e::PathFromEnvironment(program.variable));
  const std::wstring version = VersionQuad(e2e::PathFromEnvironment(L"LSS_VERSION"));
  const struct {
    const wchar_t* fact;
    std::wstring expected;
  } cases[] = {
      {L"fixed FileVersion", version}, {L"fixed ProductVersion", version},
      {L"FileVersion", version},       {L"ProductVersion", version},
      {L"CompanyName", L"Brinmoor"},   {L"ProductName", L"LSScheduler"},
      {L"InternalName", program.file}, {L"OriginalFilename", program.file},
  };
  // A missing fact reads as empty.
  for (const auto& row : cases) EXPECT_EQ(facts[row.fact], row.expected) << e2e::Narrow(row.fact);
  for (const wchar_t* said : {L"FileDescription", L"LegalCopyright"}) {
    EXPECT_THAT(facts[said], ::testing::HasSubstr(L" ")) << e2e::Narrow(said);
  }
}

TEST_P(ShippedProgram, EmbedsAManifestForAnUnelevatedWindows10Program) {
  const std::string manifest = ReadEmbeddedManifest(e2e::PathFromEnvironment(GetParam().variable));
  // It runs as the invoker, on Windows 10 and 11.
  for (const char* pattern : {R"(<requestedExecutionLevel\s+level="asInvoker")",
                              R"(<supportedOS\s+Id="\{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a\}")"}) {
    EXPECT_TRUE(std::regex_search(manifest, std::regex(pattern))) << pattern << " in\n" << manifest;
  }
}

INSTANTIATE_TEST_SUITE_P(, ShippedProgram, testing::ValuesIn(kPrograms), lss::test::RowName);

TEST(VersionResource, LeavesTheProgramUnderOneMebibyte) {
  EXPECT_LT(std::filesystem::file_size(e2e::PathFromEnvironment(L"LSS_EXE")), 1024u * 1024u);
}

}  // namespace
}  // namespace package_test
