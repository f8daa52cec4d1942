#pragma once
// Environment variables for the fakes, expanded by ExpandEnvironmentStringsW's
// rules: names match without regard to case, a name without a variable stays
// as written with its percent signs, and a lone % is kept.
#include <algorithm>
#include <map>
#include <string>
#include <string_view>

#include "fake/call_journal.h"
#include "fake/fake_paths.h"
#include "platform/environment.h"

namespace lss::test {

using EnvironmentVariables = std::map<std::u16string, std::u16string>;  // by upper-case name

inline std::u16string ExpandVariables(const EnvironmentVariables& variables,
                                      std::u16string_view text) {
  std::u16string out;
  std::size_t at = 0;
  while (at < text.size()) {
    const std::size_t open = text.find(u'%', at);
    const std::size_t close = open == std::u16string_view::npos ? open : text.find(u'%', open + 1);
    if (close == std::u16string_view::npos) break;
    out += text.substr(at, open - at);
    const auto value = variables.find(Upper(text.substr(open + 1, close - open - 1)));
    if (value == variables.end()) {
      out += text.substr(open, close - open);  // the closing % may open the next name
      at = close;
    } else {
      out += value->second;
      at = close + 1;
    }
  }
  return out + std::u16string(text.substr(std::min(at, text.size())));
}

class FakeEnvironment final : public Environment {
 public:
  FakeEnvironment(CallJournal& journal, EnvironmentVariables& shared)
      : variables(shared), journal_(journal) {}
  std::u16string ExpandEnvironment(std::u16string_view text) override {
    journal_.Add("ExpandEnvironmentStrings " + Narrow(text));
    return ExpandVariables(variables, text);
  }

  EnvironmentVariables& variables;  // the machine's

 private:
  CallJournal& journal_;
};

}  // namespace lss::test
