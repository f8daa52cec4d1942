#include "harness/scheduled_tasks.h"

#include <windows.h>
#include <shlwapi.h>
#include <xmllite.h>

#include <chrono>
#include <stdexcept>

#include "handles/win32_handles.h"
#include "harness/process_runner.h"
#include "harness/scratch_files.h"
#include "harness/text.h"

namespace e2e {
namespace {

using namespace std::chrono_literals;

const std::wstring kSchtasks = L"C:\\windows\\system32\\schtasks.exe";

void Succeed(HRESULT result, const char* what) {
  if (FAILED(result)) {
    throw std::runtime_error(std::string(what) +
                             " failed: " + std::to_string(static_cast<unsigned long>(result)));
  }
}

void RunSchtasks(const std::wstring& arguments, const std::wstring& folder) {
  const CapturedRun run = RunCapturingOutput(kSchtasks, arguments, folder, 60s);
  if (run.exitCode != 0) {
    throw std::runtime_error("schtasks " + ToUtf8(arguments) + " ended with " +
                             std::to_string(run.exitCode) + ": " + run.output + run.error);
  }
}

}  // namespace

std::wstring WriteTaskTemplate(const std::wstring& folder, bool disabled,
                               std::wstring_view author) {
  std::string kit = ReadFileBytes(PathFromEnvironment(L"LSS_TASK_TEMPLATE"));
  std::wstring text(kit.size() / 2, L'\0');  // UTF-16, as Windows exports it
  kit.copy(reinterpret_cast<char*>(text.data()), text.size() * 2);
  const auto replace = [&](std::wstring_view from, std::wstring_view to, const char* missing) {
    const std::size_t at = text.rfind(from);
    if (at == std::wstring::npos) throw std::runtime_error(missing);
    text.replace(at, from.size(), to);
  };
  if (disabled) {
    replace(L"<Enabled>true</Enabled>", L"<Enabled>false</Enabled>",
            "the template has no <Enabled>true");
  }
  if (!author.empty()) {
    replace(L"<Author>Brinmoor</Author>", L"<Author>" + std::wstring(author) + L"</Author>",
            "the template has no <Author>Brinmoor");
  }
  kit.assign(reinterpret_cast<const char*>(text.data()), text.size() * 2);
  const std::wstring xml = folder + L"\\task.xml";
  WriteFileBytes(xml, kit);
  return xml;
}

std::vector<ExecAction> ReadExecActions(const std::wstring& xmlPath) {
  // xmllite.dll has no import library in MinGW: its one entry point by name.
  using CreateReader = HRESULT(WINAPI*)(REFIID, void**, IMalloc*);
  const lss::UniqueModule xmllite(::LoadLibraryW(L"xmllite.dll"));
  if (!xmllite) throw std::runtime_error("xmllite.dll cannot be loaded");
  const auto create = reinterpret_cast<CreateReader>(
      reinterpret_cast<void*>(::GetProcAddress(xmllite.get(), "CreateXmlReader")));
  if (create == nullptr) throw std::runtime_error("xmllite.dll has no CreateXmlReader");
  lss::ComOwner<IStream> stream;
  Succeed(::SHCreateStreamOnFileW(xmlPath.c_str(), STGM_READ, stream.put()), "opening the file");
  lss::ComOwner<IXmlReader> reader;
  Succeed(create(__uuidof(IXmlReader), reinterpret_cast<void**>(reader.put()), nullptr),
          "CreateXmlReader");
  Succeed(reader.get()->SetInput(stream.get()), "IXmlReader::SetInput");

  std::vector<ExecAction> actions;
  std::wstring element;
  XmlNodeType type = XmlNodeType_None;
  HRESULT result = S_OK;
  while ((result = reader.get()->Read(&type)) == S_OK) {
    const WCHAR* text = nullptr;
    if (type == XmlNodeType_Element) {
      Succeed(reader.get()->GetLocalName(&text, nullptr), "IXmlReader::GetLocalName");
      element = text;
      if (element == L"Exec") actions.emplace_back();
    } else if (type == XmlNodeType_Text && !actions.empty()) {
      Succeed(reader.get()->GetValue(&text, nullptr), "IXmlReader::GetValue");
      if (element == L"Command") actions.back().command += text;
      if (element == L"Arguments") actions.back().arguments += text;
    } else if (type == XmlNodeType_EndElement) {
      element.clear();
    }
  }
  Succeed(result, "IXmlReader::Read");
  return actions;
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
