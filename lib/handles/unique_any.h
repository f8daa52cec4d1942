#pragma once
// One owner for every kind of handle: it closes what it holds when it goes,
// is moved but never copied, and says through its traits what "none" is and
// how a handle is closed.
//
//   struct Traits {
//     using Handle = ...;                 // the raw handle type
//     static Handle Invalid() noexcept;   // the value that holds nothing
//     void Close(Handle) noexcept;        // may use state kept in the traits
//   };
#include <cstdint>
#include <utility>

namespace lss {

template <typename Traits>
class UniqueAny : private Traits {
 public:
  using Handle = typename Traits::Handle;

  UniqueAny() noexcept : handle_(Traits::Invalid()) {}
  // Holds nothing yet, with traits that carry state (the interface that closes).
  explicit UniqueAny(Traits traits) noexcept
      : Traits(std::move(traits)), handle_(Traits::Invalid()) {}
  explicit UniqueAny(Handle handle, Traits traits = Traits()) noexcept
      : Traits(std::move(traits)), handle_(handle) {}
  UniqueAny(UniqueAny&& other) noexcept
      : Traits(static_cast<Traits&&>(other)), handle_(other.release()) {}
  UniqueAny& operator=(UniqueAny&& other) noexcept {
    if (this != &other) {
      reset(other.release());  // closed through the traits that opened it
      static_cast<Traits&>(*this) = static_cast<Traits&&>(other);
    }
    return *this;
  }
  UniqueAny(const UniqueAny&) = delete;
  UniqueAny& operator=(const UniqueAny&) = delete;
  ~UniqueAny() { reset(); }

  Handle get() const noexcept { return handle_; }
  explicit operator bool() const noexcept { return handle_ != Traits::Invalid(); }

  // Gives the handle up without closing it.
  Handle release() noexcept { return std::exchange(handle_, Traits::Invalid()); }
  // Closes what is held, then holds `handle`.
  void reset(Handle handle = Traits::Invalid()) noexcept {
    const Handle old = std::exchange(handle_, handle);
    if (old != Traits::Invalid()) Traits::Close(old);
  }
  // For an out parameter of an open or create call; closes what is held first.
  Handle* put() noexcept {
    reset();
    return &handle_;
  }

 private:
  Handle handle_;
};

// Traits for a handle that a free function closes and a constant marks as none.
template <typename H, auto CloseFunction, H kInvalid = H()>
struct FunctionTraits {
  using Handle = H;
  static constexpr Handle Invalid() noexcept { return kInvalid; }
  static void Close(Handle handle) noexcept { CloseFunction(handle); }
};

// UniqueAny<FunctionTraits<...>> in short: UniqueFunctionHandle<HKEY, &::RegCloseKey>.
template <typename H, auto CloseFunction, H kInvalid = H()>
using UniqueFunctionHandle = UniqueAny<FunctionTraits<H, CloseFunction, kInvalid>>;

// Traits for a pointer handle whose "none" is an address other than null, such
// as a file's INVALID_HANDLE_VALUE (-1): a cast, so no template argument.
template <typename H, auto CloseFunction, std::intptr_t kInvalidAddress>
struct AddressTraits {
  using Handle = H;
  static Handle Invalid() noexcept { return reinterpret_cast<Handle>(kInvalidAddress); }
  static void Close(Handle handle) noexcept { CloseFunction(handle); }
};

}  // namespace lss
