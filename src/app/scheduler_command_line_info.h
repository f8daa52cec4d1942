#pragma once
// The options of one run, filled once from the command line.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lss {

// Base of option objects: receives the arguments one at a time.
class CCommandLineInfo {
 public:
  CCommandLineInfo() = default;
  CCommandLineInfo(const CCommandLineInfo&) = delete;
  CCommandLineInfo& operator=(const CCommandLineInfo&) = delete;
  virtual ~CCommandLineInfo() = default;

  // `text` has its one flag character ('-' or '/') removed when isFlag.
  // isLast marks the final argument: part of the framework's per-argument
  // call, though these options need no end-of-line step.
  virtual void ParseParam(std::u16string_view text, bool isFlag, bool isLast) = 0;
};

class CSchedulerCommandLineInfo : public CCommandLineInfo {
 public:
  void ParseParam(std::u16string_view text, bool isFlag, bool isLast) override;

  std::int32_t startOutlook = 0;   // -s
  std::int32_t exitOutlook = 0;    // -e
  std::int32_t recycle = 1;        // -r; set from the start, so set in every run
  std::u16string profileName;      // -p <name>
  std::u16string outlookSwitches;  // -o <text>, and every unrecognised flag
  std::u16string taskName;         // -n <name>
  std::u16string* pendingValue = nullptr;  // field waiting for the next plain argument

 private:
  void PassOnToOutlook(std::u16string_view flag);
};

// Hands every argument after element 0 to info.ParseParam. An argument whose
// first character is '-' or '/' is a flag, with that one character removed.
void ScanCommandLine(const std::vector<std::u16string>& arguments, CCommandLineInfo& info);

}  // namespace lss
