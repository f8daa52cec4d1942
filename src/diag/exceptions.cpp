#include "diag/exceptions.h"

#include <algorithm>

#include "platform/system_messages.h"

namespace lss {

namespace {

constexpr std::u16string_view kOutOfMemory = u"Out of memory.";
constexpr std::u16string_view kResourceUnavailable = u"A required resource was unavailable.";
constexpr std::u16string_view kNotSupported = u"Attempted an unsupported operation.";
constexpr std::u16string_view kInvalidArgument = u"Encountered an improper argument.";
constexpr std::u16string_view kSeekFailed = u"Seek failed on %1";
constexpr std::u16string_view kFileNamePlaceholder = u"%1";
constexpr std::u16string_view kUnnamedFile = u"an unnamed file";

// COleException's text: the system's own, inserts and line break untouched.
constexpr std::uint32_t kOleMessageFlags =
    format_message::kAllocateBuffer | format_message::kFromSystem;  // 0x1100
constexpr std::uint32_t kSystemDefaultLanguage = 0x0800;

// Fills a caller's buffer piece by piece, cutting at its end. Allocates
// nothing, so the out-of-memory report can always be written.
class BufferWriter {
 public:
  // A null buffer or a size of 0 leaves no room, not even for the NUL.
  BufferWriter(char16_t* buffer, std::uint32_t maxChars)
      : buffer_(maxChars > 0 ? buffer : nullptr), room_(buffer_ != nullptr ? maxChars - 1 : 0) {}
  ~BufferWriter() {
    if (buffer_ != nullptr) buffer_[used_] = u'\0';
  }
  BufferWriter(const BufferWriter&) = delete;
  BufferWriter& operator=(const BufferWriter&) = delete;

  void Add(std::u16string_view text) {
    const std::size_t count = std::min<std::size_t>(text.size(), room_ - used_);
    std::copy_n(text.data(), count, buffer_ + used_);
    used_ += count;
  }

 private:
  char16_t* buffer_;
  std::size_t room_;
  std::size_t used_ = 0;
};

}  // namespace

bool CException::GetErrorMessage(char16_t* buffer, std::uint32_t maxChars,
                                 SystemMessages&) const {
  if (buffer != nullptr && maxChars > 0) buffer[0] = u'\0';
  return false;
}

void CException::Delete() {
  if (autoDelete_) delete this;
}

bool CException::CopyMessage(std::u16string_view text, char16_t* buffer, std::uint32_t maxChars) {
  BufferWriter(buffer, maxChars).Add(text);
  return true;
}

CMemoryException* CMemoryException::Instance() {
  // Exists before memory runs out, and is never freed.
  static CMemoryException instance;
  return &instance;
}

bool CMemoryException::GetErrorMessage(char16_t* buffer, std::uint32_t maxChars,
                                       SystemMessages&) const {
  return CopyMessage(kOutOfMemory, buffer, maxChars);
}

CResourceException* CResourceException::Instance() {
  static CResourceException instance;
  return &instance;
}

bool CResourceException::GetErrorMessage(char16_t* buffer, std::uint32_t maxChars,
                                         SystemMessages&) const {
  return CopyMessage(kResourceUnavailable, buffer, maxChars);
}

CNotSupportedException* CNotSupportedException::Instance() {
  static CNotSupportedException instance;
  return &instance;
}

bool CNotSupportedException::GetErrorMessage(char16_t* buffer, std::uint32_t maxChars,
                                             SystemMessages&) const {
  return CopyMessage(kNotSupported, buffer, maxChars);
}

CInvalidArgException* CInvalidArgException::Instance() {
  static CInvalidArgException instance;
  return &instance;
}

bool CInvalidArgException::GetErrorMessage(char16_t* buffer, std::uint32_t maxChars,
                                           SystemMessages&) const {
  return CopyMessage(kInvalidArgument, buffer, maxChars);
}

bool CFileException::GetErrorMessage(char16_t* buffer, std::uint32_t maxChars,
                                     SystemMessages& messages) const {
  if (cause_ != kBadSeek) {
    // Only a failed seek is ever raised; other causes fall back to the code's text.
    return CException::GetErrorMessage(buffer, maxChars, messages);
  }
  const std::size_t placeholder = kSeekFailed.find(kFileNamePlaceholder);
  BufferWriter writer(buffer, maxChars);
  writer.Add(kSeekFailed.substr(0, placeholder));
  writer.Add(fileName_.empty() ? kUnnamedFile : std::u16string_view(fileName_));
  writer.Add(kSeekFailed.substr(placeholder + kFileNamePlaceholder.size()));
  return true;
}

bool COleException::GetErrorMessage(char16_t* buffer, std::uint32_t maxChars,
                                    SystemMessages& messages) const {
  const std::optional<std::u16string> text =
      messages.Lookup(kOleMessageFlags, static_cast<std::uint32_t>(scode_), kSystemDefaultLanguage);
  if (!text) return CException::GetErrorMessage(buffer, maxChars, messages);
  return CopyMessage(*text, buffer, maxChars);
}

}  // namespace lss
