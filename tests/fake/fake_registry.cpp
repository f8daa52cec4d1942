#include "fake/fake_registry.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <utility>

#include "fake/fake_paths.h"

namespace lss::test {

namespace {

constexpr std::uint32_t kKeySetValue = 0x0002;

std::vector<std::u16string_view> Split(std::u16string_view path) {
  std::vector<std::u16string_view> parts;
  while (!path.empty()) {
    const std::size_t cut = path.find(u'\\');
    const std::u16string_view part = path.substr(0, cut);
    if (!part.empty()) parts.push_back(part);
    if (cut == std::u16string_view::npos) break;
    path.remove_prefix(cut + 1);
  }
  return parts;
}

// The path below HKLM that `parts` (starting at the root) names in the
// 32-bit view, in which HKLM\Software is HKLM\Software\WOW6432Node; empty
// when the view changes nothing there.
std::u16string ThirtyTwoBitPath(const std::vector<std::u16string_view>& parts) {
  if (parts.size() < 2 || Upper(parts[0]) != u"HKLM" || Upper(parts[1]) != u"SOFTWARE" ||
      (parts.size() > 2 && Upper(parts[2]) == u"WOW6432NODE")) {
    return {};
  }
  std::u16string path = u"Software\\WOW6432Node";
  for (std::size_t i = 2; i < parts.size(); ++i) path += u"\\" + std::u16string(parts[i]);
  return path;
}

}  // namespace

std::u16string MachinePath(std::uint32_t access, std::u16string_view key) {
  const std::u16string path = u"HKLM\\" + std::u16string(key);
  const std::u16string redirected =
      (access & reg::kWow64_32Key) != 0 ? ThirtyTwoBitPath(Split(path)) : std::u16string();
  return redirected.empty() ? path : u"HKLM\\" + redirected;
}

FakeRegistry::FakeRegistry(CallJournal* journal) : journal_(journal) {
  currentUser_.path = u"HKCU";
  localMachine_.path = u"HKLM";
  At(u"HKCU\\Software", true);  // a user's registry always has these
  At(u"HKLM\\SOFTWARE\\WOW6432Node", true);
}

FakeRegistry::~FakeRegistry() = default;

FakeRegistry::Node* FakeRegistry::Resolve(RegKey key) {
  if (key == kCurrentUser) return &currentUser_;
  if (key == kLocalMachine) return &localMachine_;
  const auto found = handles_.find(key);
  return found == handles_.end() ? nullptr : found->second.first;
}

FakeRegistry::Node* FakeRegistry::Walk(Node* from, std::u16string_view subkey, bool create,
                                       Status* status) {
  Node* node = from;
  for (const std::u16string_view part : Split(subkey)) {
    auto child = node->children.find(Upper(part));
    if (child == node->children.end()) {
      if (!create) {
        if (status) *status = win32_error::kFileNotFound;
        return nullptr;
      }
      auto created = std::make_unique<Node>();
      created->path = node->path + u"\\" + std::u16string(part);
      child = node->children.emplace(Upper(part), std::move(created)).first;
    }
    node = child->second.get();
    if (status && failing_.count(Upper(node->path)) != 0) {
      *status = win32_error::kAccessDenied;
      return nullptr;
    }
  }
  if (status) *status = win32_error::kSuccess;
  return node;
}

FakeRegistry::Node* FakeRegistry::At(std::u16string_view path, bool create) {
  const std::size_t cut = std::min(path.find(u'\\'), path.size());
  const std::u16string root = Upper(path.substr(0, cut));
  Node* node = root == u"HKCU" ? &currentUser_ : root == u"HKLM" ? &localMachine_ : nullptr;
  return node ? Walk(node, path.substr(cut), create, nullptr) : nullptr;
}

Status FakeRegistry::OpenKey(RegKey parent, std::u16string_view subkey, std::uint32_t access,
                             RegKey* key) {
  return Reach("RegOpenKey ", parent, subkey, access, false, key);
}

Status FakeRegistry::CreateKey(RegKey parent, std::u16string_view subkey, std::uint32_t access,
                               RegKey* key) {
  return Reach("RegCreateKey ", parent, subkey, access, true, key);
}

Status FakeRegistry::Reach(const char* call, RegKey parent, std::u16string_view subkey,
                           std::uint32_t access, bool create, RegKey* key) {
  *key = kNoKey;
  Node* from = Resolve(parent);
  if (from != nullptr && beforeOpen) beforeOpen(from->path, subkey);
  std::u16string redirected;
  if (from != nullptr && (access & reg::kWow64_32Key) != 0) {
    redirected = ThirtyTwoBitPath(Split(from->path + u"\\" + std::u16string(subkey)));
    if (!redirected.empty()) {
      from = &localMachine_;
      subkey = redirected;
    }
  }
  Status status = win32_error::kInvalidHandle;
  Node* node = from ? Walk(from, subkey, create, &status) : nullptr;
  if (journal_) {
    journal_->Add(call + Narrow(from ? from->path : u"?") + "\\" + Narrow(subkey) +
                  " access=" + std::to_string(access) + " -> " + std::to_string(status));
  }
  if (node == nullptr) return status;
  *key = nextHandle_;
  nextHandle_ += 4;
  handles_[*key] = {node, (access & kKeySetValue) != 0};
  return win32_error::kSuccess;
}

Status FakeRegistry::QueryValue(RegKey key, std::u16string_view name, std::uint32_t* type,
                                std::uint8_t* data, std::uint32_t* size) {
  Node* node = Resolve(key);
  if (node == nullptr) return win32_error::kInvalidHandle;
  if (beforeQuery) beforeQuery(node->path, name);
  if (journal_) journal_->Add("RegQueryValue " + Narrow(node->path) + " " + Narrow(name));
  const auto found = node->values.find(Upper(name));
  if (found == node->values.end()) return win32_error::kFileNotFound;
  const RegValue& value = found->second.second;
  const auto stored = static_cast<std::uint32_t>(value.data.size());
  if (type) *type = value.type;
  if (data == nullptr) {
    if (size) *size = stored;
    return win32_error::kSuccess;
  }
  if (size == nullptr) return 87;  // ERROR_INVALID_PARAMETER, as Win32 does
  if (*size < stored) {
    *size = stored;
    return win32_error::kMoreData;
  }
  if (stored != 0) std::memcpy(data, value.data.data(), stored);
  *size = stored;
  return win32_error::kSuccess;
}

Status FakeRegistry::SetValue(RegKey key, std::u16string_view name, std::uint32_t type,
                              const std::uint8_t* data, std::uint32_t size) {
  Node* node = Resolve(key);
  if (node == nullptr) return win32_error::kInvalidHandle;
  if (journal_) journal_->Add("RegSetValue " + Narrow(node->path) + " " + Narrow(name));
  const auto handle = handles_.find(key);
  if (handle != handles_.end() && !handle->second.second) return win32_error::kAccessDenied;
  Store(node, name, RegValue{type, std::vector<std::uint8_t>(data, data + size)});
  return win32_error::kSuccess;
}

Status FakeRegistry::CloseKey(RegKey key) {
  if (handles_.erase(key) == 0) {
    ++badCloses_;
    return win32_error::kInvalidHandle;
  }
  return win32_error::kSuccess;
}

namespace {

// Copies `text` and its NUL into a buffer of *length characters, as the
// listing calls do; ERROR_MORE_DATA when it does not fit.
Status CopyName(std::u16string_view text, char16_t* name, std::uint32_t* length) {
  if (name == nullptr || text.size() + 1 > *length) return win32_error::kMoreData;
  std::copy(text.begin(), text.end(), name);
  name[text.size()] = u'\0';
  *length = static_cast<std::uint32_t>(text.size());
  return win32_error::kSuccess;
}

}  // namespace

Status FakeRegistry::EnumKey(RegKey key, std::uint32_t index, char16_t* name,
                             std::uint32_t* length) {
  Node* node = Resolve(key);
  if (node == nullptr) return win32_error::kInvalidHandle;
  if (failing_.count(Upper(node->path)) != 0) return win32_error::kAccessDenied;
  if (index >= node->children.size()) return win32_error::kNoMoreItems;
  const Node& child = *std::next(node->children.begin(), index)->second;
  return CopyName(std::u16string_view(child.path).substr(child.path.rfind(u'\\') + 1), name,
                  length);
}

Status FakeRegistry::EnumValue(RegKey key, std::uint32_t index, char16_t* name,
                               std::uint32_t* nameLength, std::uint32_t* type, std::uint8_t* data,
                               std::uint32_t* size) {
  Node* node = Resolve(key);
  if (node == nullptr) return win32_error::kInvalidHandle;
  if (failing_.count(Upper(node->path)) != 0) return win32_error::kAccessDenied;
  if (index >= node->values.size()) return win32_error::kNoMoreItems;
  const auto& [valueName, value] = std::next(node->values.begin(), index)->second;
  const auto stored = static_cast<std::uint32_t>(value.data.size());
  if (const Status status = CopyName(valueName, name, nameLength); status != 0) return status;
  if (type) *type = value.type;
  if (data != nullptr && (size == nullptr || *size < stored)) {
    if (size) *size = stored;
    return win32_error::kMoreData;
  }
  if (data != nullptr && stored != 0) std::memcpy(data, value.data.data(), stored);
  if (size) *size = stored;
  return win32_error::kSuccess;
}

void FakeRegistry::Set(std::u16string_view path, std::u16string_view name, std::uint32_t type,
                       std::vector<std::uint8_t> data) {
  Store(At(path, true), name, RegValue{type, std::move(data)});
}

void FakeRegistry::SetDword(std::u16string_view path, std::u16string_view name,
                            std::uint32_t value) {
  Set(path, name, reg::kDword,
      {std::uint8_t(value), std::uint8_t(value >> 8), std::uint8_t(value >> 16),
       std::uint8_t(value >> 24)});
}

void FakeRegistry::SetString(std::u16string_view path, std::u16string_view name,
                             std::u16string_view text) {
  // Encoded here, not by the program's own conversion, so a fault there shows.
  std::vector<std::uint8_t> data;
  for (const char16_t c : text) {
    data.push_back(static_cast<std::uint8_t>(c & 0xFF));
    data.push_back(static_cast<std::uint8_t>(c >> 8));
  }
  data.insert(data.end(), {0, 0});  // REG_SZ data carries its terminating NUL
  Set(path, name, reg::kSz, std::move(data));
}

std::optional<RegValue> FakeRegistry::Get(std::u16string_view path,
                                          std::u16string_view name) const {
  const Node* node = Find(path);
  if (node == nullptr) return std::nullopt;
  const auto found = node->values.find(Upper(name));
  if (found == node->values.end()) return std::nullopt;
  return found->second.second;
}

std::optional<std::int32_t> FakeRegistry::GetDword(std::u16string_view path,
                                                   std::u16string_view name) const {
  const auto value = Get(path, name);
  if (!value || value->type != reg::kDword || value->data.size() != 4) return std::nullopt;
  const auto& d = value->data;
  return static_cast<std::int32_t>(std::uint32_t{d[0]} | std::uint32_t{d[1]} << 8 |
                                   std::uint32_t{d[2]} << 16 | std::uint32_t{d[3]} << 24);
}

bool FakeRegistry::KeyExists(std::u16string_view path) const { return Find(path) != nullptr; }

void FakeRegistry::DeleteValue(std::u16string_view path, std::u16string_view name) {
  if (Node* node = At(path, false)) node->values.erase(Upper(name));
}

void FakeRegistry::DeleteKey(std::u16string_view path) {
  const std::size_t cut = path.find_last_of(u'\\');
  if (cut == std::u16string_view::npos) return;
  if (Node* parent = At(path.substr(0, cut), false))
    parent->children.erase(Upper(path.substr(cut + 1)));
}

void FakeRegistry::Store(Node* node, std::u16string_view name, RegValue value) {
  // Like Windows, a value keeps the spelling of its name when it is replaced.
  node->values.try_emplace(Upper(name), std::u16string(name), RegValue{}).first->second.second =
      std::move(value);
}

Status FakeRegistry::List(std::u16string_view path, std::vector<std::u16string>* subkeys,
                          std::vector<std::pair<std::u16string, RegValue>>* values) const {
  const Node* node = Find(path);
  if (node == nullptr) return win32_error::kFileNotFound;
  if (failing_.count(Upper(node->path)) != 0) return win32_error::kAccessDenied;
  for (const auto& [name, child] : node->children) {
    subkeys->push_back(child->path.substr(child->path.rfind(u'\\') + 1));
  }
  for (const auto& [name, value] : node->values) values->push_back(value);
  return win32_error::kSuccess;
}

void FakeRegistry::FailKey(std::u16string_view path) { failing_.insert(Upper(path)); }

}  // namespace lss::test
