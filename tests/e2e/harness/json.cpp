#include "harness/json.h"

#include <cstdlib>
#include <stdexcept>

namespace e2e {
namespace {

class Reader {
 public:
  explicit Reader(std::string_view text) : text_(text) {}

  JsonValue Document() {
    JsonValue value = Value();
    Blanks();
    if (at_ != text_.size()) Fail("text after the value");
    return value;
  }

 private:
  [[noreturn]] void Fail(const std::string& what) const {
    throw std::runtime_error("JSON: " + what + " at offset " + std::to_string(at_));
  }
  char Peek() const { return at_ < text_.size() ? text_[at_] : '\0'; }
  void Blanks() {
    while (at_ < text_.size() &&
           (Peek() == ' ' || Peek() == '\t' || Peek() == '\n' || Peek() == '\r'))
      ++at_;
  }
  void Expect(char c) {
    if (Peek() != c || at_ >= text_.size()) Fail(std::string("expected '") + c + "'");
    ++at_;
  }
  void Word(std::string_view word) {
    if (text_.substr(at_, word.size()) != word) Fail("unknown word");
    at_ += word.size();
  }

  JsonValue Value() {
    Blanks();
    JsonValue value;
    switch (Peek()) {
      case '{': Object(value); break;
      case '[': Array(value); break;
      case '"':
        value.kind = JsonValue::Kind::kString;
        value.text = String();
        break;
      case 't':
        Word("true");
        value.kind = JsonValue::Kind::kBool;
        value.boolean = true;
        break;
      case 'f':
        Word("false");
        value.kind = JsonValue::Kind::kBool;
        break;
      case 'n': Word("null"); break;
      default: Number(value);
    }
    return value;
  }

  void Object(JsonValue& value) {
    value.kind = JsonValue::Kind::kObject;
    Expect('{');
    Blanks();
    if (Peek() == '}') {
      ++at_;
      return;
    }
    for (;;) {
      Blanks();
      std::string name = String();
      Blanks();
      Expect(':');
      value.members.emplace_back(std::move(name), Value());
      Blanks();
      if (Peek() == '}') {
        ++at_;
        return;
      }
      Expect(',');
    }
  }

  void Array(JsonValue& value) {
    value.kind = JsonValue::Kind::kArray;
    Expect('[');
    Blanks();
    if (Peek() == ']') {
      ++at_;
      return;
    }
    for (;;) {
      value.items.push_back(Value());
      Blanks();
      if (Peek() == ']') {
        ++at_;
        return;
      }
      Expect(',');
    }
  }

  void Number(JsonValue& value) {
    const std::size_t start = at_;
    if (Peek() == '-') ++at_;
    const auto digits = [&] {
      const std::size_t first = at_;
      while (Peek() >= '0' && Peek() <= '9') ++at_;
      if (at_ == first) Fail("expected a value");
    };
    if (Peek() == '0')
      ++at_;
    else
      digits();
    if (Peek() == '.') {
      ++at_;
      digits();
    }
    if (Peek() == 'e' || Peek() == 'E') {
      ++at_;
      if (Peek() == '+' || Peek() == '-') ++at_;
      digits();
    }
    value.kind = JsonValue::Kind::kNumber;
    value.number = std::strtod(std::string(text_.substr(start, at_ - start)).c_str(), nullptr);
  }

  unsigned Hex4() {
    unsigned code = 0;
    for (int i = 0; i < 4; ++i, ++at_) {
      const char c = Peek();
      code <<= 4;
      if (c >= '0' && c <= '9')
        code |= unsigned(c - '0');
      else if (c >= 'a' && c <= 'f')
        code |= unsigned(c - 'a' + 10);
      else if (c >= 'A' && c <= 'F')
        code |= unsigned(c - 'A' + 10);
      else
        Fail("bad \\u escape");
    }
    return code;
  }

  static void AppendUtf8(std::string& out, unsigned code) {
    if (code < 0x80) {
      out.push_back(char(code));
    } else if (code < 0x800) {
      out.push_back(char(0xC0 | code >> 6));
      out.push_back(char(0x80 | (code & 0x3F)));
    } else if (code < 0x10000) {
      out.push_back(char(0xE0 | code >> 12));
      out.push_back(char(0x80 | (code >> 6 & 0x3F)));
      out.push_back(char(0x80 | (code & 0x3F)));
    } else {
      out.push_back(char(0xF0 | code >> 18));
      out.push_back(char(0x80 | (code >> 12 & 0x3F)));
      out.push_back(char(0x80 | (code >> 6 & 0x3F)));
      out.push_back(char(0x80 | (code & 0x3F)));
    }
  }

  // One UTF-8 sequence, checked for its length, continuation bytes, overlong
  // forms and surrogates.
  void Utf8(std::string& out) {
    const auto lead = static_cast<unsigned char>(Peek());
    const int length = lead >= 0xF0 && lead <= 0xF4  ? 4
                       : lead >= 0xE0                ? 3
                       : lead >= 0xC2 && lead < 0xE0 ? 2
                                                     : 0;
    if (length == 0 || (lead >= 0xF5)) Fail("invalid UTF-8");
    unsigned code = lead & (0x7F >> length);
    for (int i = 1; i < length; ++i) {
      const auto next = static_cast<unsigned char>(at_ + i < text_.size() ? text_[at_ + i] : 0);
      if ((next & 0xC0) != 0x80) Fail("invalid UTF-8");
      code = code << 6 | (next & 0x3F);
    }
    if ((length == 3 && (code < 0x800 || (code >= 0xD800 && code <= 0xDFFF))) ||
        (length == 4 && (code < 0x10000 || code > 0x10FFFF))) {
      Fail("invalid UTF-8");
    }
    out.append(text_.substr(at_, length));
    at_ += length;
  }

  std::string String() {
    Expect('"');
    std::string out;
    for (;;) {
      if (at_ >= text_.size()) Fail("unterminated string");
      const char c = Peek();
      if (c == '"') {
        ++at_;
        return out;
      }
      if (static_cast<unsigned char>(c) < 0x20) Fail("raw control character in a string");
      if (static_cast<unsigned char>(c) >= 0x80) {
        Utf8(out);
        continue;
      }
      ++at_;
      if (c != '\\') {
        out.push_back(c);
        continue;
      }
      const char e = Peek();
      ++at_;
      switch (e) {
        case '"': out.push_back('"'); break;
        case '\\': out.push_back('\\'); break;
        case '/': out.push_back('/'); break;
        case 'b': out.push_back('\b'); break;
        case 'f': out.push_back('\f'); break;
        case 'n': out.push_back('\n'); break;
        case 'r': out.push_back('\r'); break;
        case 't': out.push_back('\t'); break;
        case 'u': {
          unsigned code = Hex4();
          if (code >= 0xD800 && code <= 0xDBFF) {
            Word("\\u");
            const unsigned low = Hex4();
            if (low < 0xDC00 || low > 0xDFFF) Fail("unpaired surrogate");
            code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
          } else if (code >= 0xDC00 && code <= 0xDFFF) {
            Fail("unpaired surrogate");
          }
          AppendUtf8(out, code);
          break;
        }
        default: --at_; Fail("bad escape");
      }
    }
  }

  std::string_view text_;
  std::size_t at_ = 0;
};

}  // namespace

const JsonValue& JsonValue::operator[](std::string_view name) const {
  for (const auto& [key, value] : members) {
    if (key == name) return value;
  }
  throw std::runtime_error("JSON: no member \"" + std::string(name) + "\"");
}

JsonValue ParseJson(std::string_view text) { return Reader(text).Document(); }

}  // namespace e2e
