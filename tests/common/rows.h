#pragma once
// How a table's rows are named and printed, in every suite: a row states its
// behaviour in `what`, GoogleTest names it from that text, and a failure
// prints that text instead of the row's bytes.
//
//   struct Row { const char* what; int input; int expected; };
//   class Doubling : public testing::TestWithParam<Row> {};
//   INSTANTIATE_TEST_SUITE_P(, Doubling, testing::ValuesIn(kRows), lss::test::RowName);
//
// The namespace that declares a row type says `using lss::test::PrintTo;`,
// so that GoogleTest finds it beside the row.
#include <ostream>
#include <string>
#include <string_view>

namespace lss::test {

template <typename Row>
concept NamedRow = requires(const Row& row) { std::string_view(row.what); };

// A test name from a row's `what`: each run of characters other than ASCII
// letters and digits becomes one '_', none at either end. Two rows with the
// same name fail at registration, as GoogleTest refuses them.
inline std::string RowNameOf(std::string_view what) {
  std::string name;
  bool gap = false;
  for (const char c : what) {
    const bool kept = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
    if (!kept) {
      gap = !name.empty();
      continue;
    }
    if (gap) name += '_';
    gap = false;
    name += c;
  }
  return name.empty() ? std::string("_") : name;
}

inline constexpr auto RowName = [](const auto& info) { return RowNameOf(info.param.what); };

template <NamedRow Row>
void PrintTo(const Row& row, std::ostream* out) {
  *out << row.what;
}

}  // namespace lss::test
