#include "platform/win32/win32_event_log.h"

#include <windows.h>

#include <string>
#include <vector>

#include "handles/unique_any.h"
#include "platform/win32/token_user.h"
#include "platform/win32/wide_text.h"

namespace lss {
namespace {

// A handle from RegisterEventSourceW.
using UniqueEventSource = UniqueFunctionHandle<HANDLE, &::DeregisterEventSource>;

}  // namespace

Status Win32EventLog::Report(std::u16string_view source, EventType type, std::uint32_t eventId,
                             EventUser user, const std::vector<std::u16string>& strings) {
  if (strings.size() > 0xFFFF) return ERROR_INVALID_PARAMETER;
  const std::wstring sourceName = ToWide(source);
  const UniqueEventSource eventSource(::RegisterEventSourceW(nullptr, sourceName.c_str()));
  if (!eventSource) return static_cast<Status>(::GetLastError());
  std::vector<std::wstring> wide;
  wide.reserve(strings.size());
  for (const std::u16string& text : strings) wide.push_back(ToWide(text));
  std::vector<LPCWSTR> pointers;
  pointers.reserve(wide.size());
  for (const std::wstring& text : wide) pointers.push_back(text.c_str());
  std::vector<BYTE> account;
  if (user == EventUser::kThisProcess) account = ProcessUser(::GetCurrentProcess());
  if (!::ReportEventW(eventSource.get(), static_cast<WORD>(type), 0, eventId,
                      account.empty() ? nullptr : SidOf(account),
                      static_cast<WORD>(pointers.size()), 0,
                      pointers.empty() ? nullptr : pointers.data(), nullptr)) {
    return static_cast<Status>(::GetLastError());
  }
  return ERROR_SUCCESS;
}

}  // namespace lss
