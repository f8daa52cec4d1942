#pragma once
// An in-memory registry with Win32's semantics where the program relies on
// them: case-insensitive names, backslash paths, ERROR_MORE_DATA,
// ERROR_FILE_NOT_FOUND, values of any type and size, and the 32-bit view of
// HKLM\Software (KEY_WOW64_32KEY) in its WOW6432Node. Keys can be made to fail.
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "fake/call_journal.h"
#include "platform/registry.h"

namespace lss::test {

struct RegValue {
  std::uint32_t type = reg::kNone;
  std::vector<std::uint8_t> data;
};

// The set-up's path of `key` below HKLM as a 64-bit program opening it with
// `access` reaches it, e.g. u"HKLM\\Software\\WOW6432Node\\Clients\\Mail" for
// u"Software\\Clients\\Mail" with reg::kWow64_32Key.
std::u16string MachinePath(std::uint32_t access, std::u16string_view key);

class FakeRegistry : public Registry {
 public:
  explicit FakeRegistry(CallJournal* journal = nullptr);
  ~FakeRegistry() override;

  Status OpenKey(RegKey parent, std::u16string_view subkey, std::uint32_t access,
                 RegKey* key) override;
  Status CreateKey(RegKey parent, std::u16string_view subkey, std::uint32_t access,
                   RegKey* key) override;
  Status QueryValue(RegKey key, std::u16string_view name, std::uint32_t* type, std::uint8_t* data,
                    std::uint32_t* size) override;
  Status SetValue(RegKey key, std::u16string_view name, std::uint32_t type,
                  const std::uint8_t* data, std::uint32_t size) override;
  Status CloseKey(RegKey key) override;
  // In the order List gives; the index reaches the key as it is at the call.
  Status EnumKey(RegKey key, std::uint32_t index, char16_t* name, std::uint32_t* length) override;
  Status EnumValue(RegKey key, std::uint32_t index, char16_t* name, std::uint32_t* nameLength,
                   std::uint32_t* type, std::uint8_t* data, std::uint32_t* size) override;

  // Test set-up and inspection; paths are like u"HKCU\\Software\\Brinmoor".
  void Set(std::u16string_view path, std::u16string_view name, std::uint32_t type,
           std::vector<std::uint8_t> data);
  void SetDword(std::u16string_view path, std::u16string_view name, std::uint32_t value);
  void SetString(std::u16string_view path, std::u16string_view name, std::u16string_view text);
  std::optional<RegValue> Get(std::u16string_view path, std::u16string_view name) const;
  std::optional<std::int32_t> GetDword(std::u16string_view path, std::u16string_view name) const;
  bool KeyExists(std::u16string_view path) const;
  // Removes a value, or a key with everything below it; missing ones are fine.
  void DeleteValue(std::u16string_view path, std::u16string_view name);
  void DeleteKey(std::u16string_view path);
  // What enumerating the key finds: its subkeys' and values' names as first
  // created, ordered by name without regard to case. ERROR_FILE_NOT_FOUND for
  // a missing key, ERROR_ACCESS_DENIED for a failing one.
  Status List(std::u16string_view path, std::vector<std::u16string>* subkeys,
              std::vector<std::pair<std::u16string, RegValue>>* values) const;
  // Open or create of this key path (and below) fails with ERROR_ACCESS_DENIED.
  void FailKey(std::u16string_view path);
  // Called before every query, with the key's path and the value name.
  std::function<void(const std::u16string& keyPath, std::u16string_view name)> beforeQuery;
  // Called before every open or create, with the parent's path and the
  // subkey as given: a key may vanish between its parent's listing and its
  // own open.
  std::function<void(const std::u16string& parentPath, std::u16string_view subkey)> beforeOpen;

  std::size_t openHandles() const { return handles_.size(); }
  int badCloses() const { return badCloses_; }

 private:
  struct Node {
    std::u16string path;  // as first created, e.g. HKCU\Software
    std::map<std::u16string, std::unique_ptr<Node>> children;  // by upper-case name
    // By upper-case name: the name as first set, and the value.
    std::map<std::u16string, std::pair<std::u16string, RegValue>> values;
  };

  Node* Resolve(RegKey key);
  // Opens, or with `create` creates, a subkey and notes the call.
  Status Reach(const char* call, RegKey parent, std::u16string_view subkey, std::uint32_t access,
               bool create, RegKey* key);
  // The node at `subkey` below `from`. Without `status` (set-up and
  // inspection) failing keys are reached too.
  Node* Walk(Node* from, std::u16string_view subkey, bool create, Status* status);
  // The node at a set-up path such as u"HKCU\\Software".
  Node* At(std::u16string_view path, bool create);
  const Node* Find(std::u16string_view path) const {
    return const_cast<FakeRegistry*>(this)->At(path, false);
  }
  static void Store(Node* node, std::u16string_view name, RegValue value);

  CallJournal* journal_;
  Node currentUser_;
  Node localMachine_;
  std::map<RegKey, std::pair<Node*, bool>> handles_;  // the key, and whether it may be written
  RegKey nextHandle_ = 0x1000;
  std::set<std::u16string> failing_;  // upper-case paths
  int badCloses_ = 0;
};

}  // namespace lss::test
