#include "harness/scheduled_tasks.h"

#include <windows.h>

#include <chrono>
#include <stdexcept>

#include "harness/process_runner.h"
#include "harness/text.h"

namespace e2e {
namespace {

using namespace std::chrono_literals;

const std::wstring kSchtasks = L"C:\\windows\\system32\\schtasks.exe";

void RunSchtasks(const std::wstring& arguments, const std::wstring& folder) {
  const CapturedRun run = RunCapturingOutput(kSchtasks, arguments, folder, 60s);
  if (run.exitCode != 0) {
    throw std::runtime_error("schtasks " + ToUtf8(arguments) + " ended with " +
                             std::to_string(run.exitCode) + ": " + run.output + run.error);
  }
}

}  // namespace

std::string DisabledDefinition(std::string_view utf16Xml) {
  if (utf16Xml.size() < 2 || utf16Xml.size() % 2 != 0) throw std::runtime_error("not UTF-16");
  std::wstring text(utf16Xml.size() / 2, L'\0');
  utf16Xml.copy(reinterpret_cast<char*>(text.data()), utf16Xml.size());
  const std::wstring on = L"<Enabled>true</Enabled>";
  const std::size_t at = text.rfind(on);
  if (at == std::wstring::npos) throw std::runtime_error("the definition has no <Enabled>true");
  text.replace(at, on.size(), L"<Enabled>false</Enabled>");
  return std::string(reinterpret_cast<const char*>(text.data()), text.size() * 2);
}

RegisteredTask::RegisteredTask(std::wstring_view xmlPath, std::wstring name, std::wstring folder)
    : name_(std::move(name)), folder_(std::move(folder)) {
  RunSchtasks(L"/Create /XML \"" + std::wstring(xmlPath) + L"\" /TN \"" + name_ + L"\" /F",
              folder_);
  registered_ = true;
}

RegisteredTask::~RegisteredTask() {
  try {
    if (registered_) Delete();
  } catch (const std::exception&) {  // NOLINT(bugprone-empty-catch): a later test registers anew
  }
}

void RegisteredTask::Delete() {
  registered_ = false;
  RunSchtasks(L"/Delete /TN \"" + name_ + L"\" /F", folder_);
}

}  // namespace e2e
