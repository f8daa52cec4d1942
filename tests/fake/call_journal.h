#pragma once
// The calls fakes receive, in order, as short readable lines.
#include <string>
#include <string_view>
#include <vector>

#include "common/narrow.h"

namespace lss::test {

class CallJournal {
 public:
  void Add(std::string line) { lines_.push_back(std::move(line)); }
  const std::vector<std::string>& lines() const { return lines_; }
  // The lines that start with `prefix`, in order.
  std::vector<std::string> Matching(std::string_view prefix) const {
    std::vector<std::string> out;
    for (const std::string& line : lines_) {
      if (line.rfind(prefix, 0) == 0) {
        out.push_back(line);
      }
    }
    return out;
  }
  void Clear() { lines_.clear(); }

 private:
  std::vector<std::string> lines_;
};

}  // namespace lss::test
