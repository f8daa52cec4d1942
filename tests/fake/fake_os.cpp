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

MutexHandle FakeSync::OpenNamedMutex(std::u16string_view name) {
  journal_.Add("CreateMutex " + Narrow(name));
  const MutexHandle mutex = failCreate ? 0 : objects_.Open(name, true);
  if (mutex != 0) ++openHandles;
  return mutex;
}

std::uint32_t FakeSync::WaitForMutex(MutexHandle mutex, std::uint32_t milliseconds) {
  const bool scripted = !waitResults.empty();
  const std::uint32_t result = scripted ? waitResults.front() : objects_.Wait(mutex);
  const bool taken = result == wait_result::kObject0 || result == wait_result::kAbandoned;
  if (scripted) waitResults.pop_front();
  // A scripted success takes the mutex, so that it can be given back.
  if (scripted && taken) objects_.Wait(mutex);
  held = held || taken;
  journal_.Add("WaitForMutex " + std::to_string(milliseconds) + " -> " + Hex(result));
  return result;
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

}  // namespace lss::test
