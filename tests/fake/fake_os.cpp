#include "fake/fake_os.h"

#include <cstdio>

namespace lss::test {

namespace {

std::string Hex(std::uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08x", value);
  return text;
}

}  // namespace

HResult FakeProcess::ComInitialize() {
  ++comDepth;
  journal_.Add("CoInitialize");
  return 0;
}

void FakeProcess::ComUninitialize() {
  --comDepth;
  journal_.Add("CoUninitialize");
}

std::intptr_t FakeShell::Execute(std::u16string_view file, std::u16string_view parameters) {
  ++calls;
  lastFile = file;
  lastParameters = parameters;
  journal_.Add("ShellExecute " + Narrow(file) + " [" + Narrow(parameters) + "]");
  return result;
}

MutexHandle FakeSync::OpenNamedMutex(std::u16string_view name) {
  journal_.Add("CreateMutex " + Narrow(name));
  const MutexHandle mutex = failCreate ? 0 : objects_.Open(name, true);
  if (mutex != 0) ++openHandles;
  return mutex;
}

std::uint32_t FakeSync::WaitForMutex(MutexHandle mutex, std::uint32_t milliseconds) {
  std::uint32_t result = 0;
  if (waitResults.empty()) {
    result = objects_.Wait(mutex);
  } else {
    result = waitResults.front();
    waitResults.pop_front();
    // A scripted success takes the mutex, so that it can be given back.
    if (result == wait_result::kObject0 || result == wait_result::kAbandoned) objects_.Wait(mutex);
  }
  if (result == wait_result::kObject0 || result == wait_result::kAbandoned) held = true;
  journal_.Add("WaitForMutex " + std::to_string(milliseconds) + " -> " + Hex(result));
  return result;
}

bool FakeSync::ReleaseHeldMutex(MutexHandle mutex) {
  journal_.Add("ReleaseMutex");
  held = false;
  return objects_.Release(mutex);
}

void FakeSync::CloseMutex(MutexHandle mutex) {
  --openHandles;
  journal_.Add("CloseMutex");
  objects_.Close(mutex);
}

HResult FakeMapi::Initialize(const MapiInit* init) {
  HResult result = 0;
  if (!initializeResults.empty()) {
    result = initializeResults.front();
    initializeResults.pop_front();
  }
  journal_.Add("MAPIInitialize " + std::to_string(init->version) + " " +
               std::to_string(init->flags) + " -> " + Hex(static_cast<std::uint32_t>(result)));
  return result;
}

HResult FakeMapi::LogonEx(std::uintptr_t uiParam, const char16_t* profile, const char16_t* password,
                          std::uint32_t flags, MapiSession** session) {
  journal_.Add("MAPILogonEx " + std::to_string(uiParam) + " [" +
               (profile ? Narrow(profile) : std::string("(null)")) + "] " +
               (password ? Narrow(password) : std::string("(null)")) + " " + Hex(flags));
  if (logonResult != 0) return logonResult;
  ++liveSessions;
  *session = this;
  return 0;
}

HResult FakeMapi::Logoff(std::uintptr_t uiParam, std::uint32_t flags, std::uint32_t reserved) {
  journal_.Add("Logoff " + std::to_string(uiParam) + " " + std::to_string(flags) + " " +
               std::to_string(reserved));
  return logoffResult;
}

std::uint32_t FakeMapi::Release() {
  journal_.Add("Release");
  return static_cast<std::uint32_t>(--liveSessions);
}

}  // namespace lss::test
