#pragma once
// The framework exception family. Objects are thrown and caught by pointer
// (`throw new CFileException(...)`, `catch (CException* e)`) and disposed of
// with Delete(), which leaves the process-wide instances alone.
#include <cstdint>
#include <string>
#include <string_view>

namespace lss {

class SystemMessages;

class CException {
 public:
  CException(const CException&) = delete;
  CException& operator=(const CException&) = delete;

  // Writes the message text into `buffer` (at most maxChars - 1 characters
  // and a NUL). False when the exception has no text.
  virtual bool GetErrorMessage(char16_t* buffer, std::uint32_t maxChars,
                               SystemMessages& messages) const;
  // Frees a heap-allocated exception; does nothing for process-wide ones.
  void Delete();

 protected:
  explicit CException(bool autoDelete) : autoDelete_(autoDelete) {}
  virtual ~CException() = default;
  // Copies `text` into the caller's buffer, cut to fit.
  static bool CopyMessage(std::u16string_view text, char16_t* buffer, std::uint32_t maxChars);

 private:
  bool autoDelete_;
};

class CMemoryException final : public CException {
 public:
  static CMemoryException* Instance();  // process-wide
  bool GetErrorMessage(char16_t*, std::uint32_t, SystemMessages&) const override;
 private:
  CMemoryException() : CException(false) {}
};

class CResourceException final : public CException {
 public:
  static CResourceException* Instance();  // process-wide
  bool GetErrorMessage(char16_t*, std::uint32_t, SystemMessages&) const override;
 private:
  CResourceException() : CException(false) {}
};

class CNotSupportedException final : public CException {
 public:
  static CNotSupportedException* Instance();  // process-wide
  bool GetErrorMessage(char16_t*, std::uint32_t, SystemMessages&) const override;
 private:
  CNotSupportedException() : CException(false) {}
};

class CInvalidArgException final : public CException {
 public:
  static CInvalidArgException* Instance();  // process-wide
  bool GetErrorMessage(char16_t*, std::uint32_t, SystemMessages&) const override;
 private:
  CInvalidArgException() : CException(false) {}
};

class CFileException final : public CException {
 public:
  enum Cause { kGeneric = 1, kBadSeek = 10 };
  CFileException(Cause cause, std::u16string fileName)
      : CException(true), cause_(cause), fileName_(std::move(fileName)) {}
  Cause cause() const { return cause_; }
  bool GetErrorMessage(char16_t*, std::uint32_t, SystemMessages&) const override;
 private:
  Cause cause_;
  std::u16string fileName_;
};

class COleException : public CException {
 public:
  explicit COleException(std::int32_t scode) : CException(true), scode_(scode) {}
  std::int32_t scode() const { return scode_; }
  bool GetErrorMessage(char16_t*, std::uint32_t, SystemMessages&) const override;
 private:
  std::int32_t scode_;
};

class COleDispatchException final : public CException {
 public:
  COleDispatchException(std::int32_t scode, std::u16string source, std::u16string description)
      : CException(true), scode_(scode), source_(std::move(source)),
        description_(std::move(description)) {}
  std::int32_t scode() const { return scode_; }
  const std::u16string& source() const { return source_; }
  const std::u16string& description() const { return description_; }
 private:
  std::int32_t scode_;
  std::u16string source_;
  std::u16string description_;
};

}  // namespace lss
