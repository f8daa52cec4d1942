#include "harness/process_runner.h"

#include <tlhelp32.h>

#include <algorithm>
#include <stdexcept>

#include "harness/scratch_files.h"
#include "harness/text.h"

namespace e2e {
namespace {

void Kill(HANDLE process) {
  ::TerminateProcess(process, 1);
  ::WaitForSingleObject(process, 5000);
}

}  // namespace

ChildProcess::ChildProcess(std::wstring_view exe, std::wstring_view arguments, HANDLE output,
                           HANDLE error) {
  commandLine_ = L"\"" + std::wstring(exe) + L"\"";
  if (!arguments.empty()) commandLine_ += L" " + std::wstring(arguments);
  std::wstring mutableLine = commandLine_;  // CreateProcessW may write into it

  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  const bool redirected = output != nullptr;
  if (redirected) {
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = output;
    startup.hStdError = error;
  }
  PROCESS_INFORMATION info{};
  started_ = std::chrono::steady_clock::now();
  if (!::CreateProcessW(nullptr, mutableLine.data(), nullptr, nullptr, redirected,
                        redirected ? CREATE_NO_WINDOW : 0, nullptr, nullptr, &startup, &info)) {
    throw std::runtime_error("cannot start " + ToUtf8(commandLine_) + ": error " +
                             std::to_string(::GetLastError()));
  }
  const lss::UniqueHandle thread(info.hThread);  // not needed: closed at once
  process_.reset(info.hProcess);
}

ChildProcess::~ChildProcess() {
  if (!ended_) Kill(process_.get());
}

RunResult ChildProcess::Wait(std::chrono::milliseconds limit) {
  const DWORD waited = ::WaitForSingleObject(process_.get(), static_cast<DWORD>(limit.count()));
  RunResult result;
  result.elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::steady_clock::now() - started_);
  ended_ = true;
  if (waited != WAIT_OBJECT_0) {
    Kill(process_.get());
    throw std::runtime_error(ToUtf8(commandLine_) + " did not end within " +
                             std::to_string(limit.count()) + " ms and was killed");
  }
  ::GetExitCodeProcess(process_.get(), &result.exitCode);
  return result;
}

int EndProcessesNamed(std::wstring_view exeName, std::chrono::milliseconds grace) {
  const auto deadline = std::chrono::steady_clock::now() + grace;
  const lss::UniqueSnapshot snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot) return 0;
  int killed = 0;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof(entry);
  for (BOOL more = ::Process32FirstW(snapshot.get(), &entry); more;
       more = ::Process32NextW(snapshot.get(), &entry)) {
    if (::lstrcmpiW(entry.szExeFile, std::wstring(exeName).c_str()) != 0) continue;
    const lss::UniqueHandle process(
        ::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, entry.th32ProcessID));
    if (!process) continue;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (::WaitForSingleObject(process.get(), static_cast<DWORD>(std::max<long long>(
                                                 0, left.count()))) == WAIT_OBJECT_0) {
      continue;
    }
    Kill(process.get());
    ++killed;
  }
  return killed;
}

CapturedRun RunCapturingOutput(std::wstring_view exe, std::wstring_view arguments,
                               std::wstring_view folder, std::chrono::milliseconds limit) {
  // New names each time: Wine's console host may hold the last run's files a while.
  static int runs = 0;
  const std::wstring number = std::to_wstring(++runs);
  const std::wstring outputPath = std::wstring(folder) + L"\\stdout-" + number + L".txt";
  const std::wstring errorPath = std::wstring(folder) + L"\\stderr-" + number + L".txt";
  CapturedRun run;
  {
    SECURITY_ATTRIBUTES inherited{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    const auto create = [&](const std::wstring& path) {
      const HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherited,
                                        CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
      if (file == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot create " + ToUtf8(path));
      return file;
    };
    const lss::UniqueFile output(create(outputPath));
    const lss::UniqueFile error(create(errorPath));
    run.exitCode = ChildProcess(exe, arguments, output.get(), error.get()).Wait(limit).exitCode;
  }
  // Read once the files are closed on this side too.
  run.output = ReadFileBytes(outputPath);
  run.error = ReadFileBytes(errorPath);
  return run;
}

}  // namespace e2e
