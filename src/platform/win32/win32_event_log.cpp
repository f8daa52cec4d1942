#include "platform/win32/win32_event_log.h"

#include <windows.h>

#include <string>

#include "handles/unique_any.h"
#include "platform/win32/wide_text.h"

namespace lss {
namespace {

// A handle from RegisterEventSourceW.
using UniqueEventSource = UniqueFunctionHandle<HANDLE, &::DeregisterEventSource>;

}  // namespace

Status Win32EventLog::Report(std::u16string_view source, EventType type, std::uint32_t eventId,
                             std::u16string_view text) {
  const std::wstring sourceName = ToWide(source);
  const UniqueEventSource eventSource(::RegisterEventSourceW(nullptr, sourceName.c_str()));
  if (!eventSource) return static_cast<Status>(::GetLastError());
  const std::wstring message = ToWide(text);
  LPCWSTR strings[] = {message.c_str()};
  if (!::ReportEventW(eventSource.get(), static_cast<WORD>(type), 0, eventId, nullptr, 1, 0,
                      strings, nullptr)) {
    return static_cast<Status>(::GetLastError());
  }
  return ERROR_SUCCESS;
}

}  // namespace lss
