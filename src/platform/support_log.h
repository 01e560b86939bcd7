// The support log's file on the host: the line format and the default file's name, shared by
// both hosts (support_log.cpp), over the small file and clock operations that each host gives
// (support_log_<host>.cpp).
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/error.h"

namespace tk::host {

struct LocalTime {
  int year, month, day, hour, minute, second, millisecond;
};

// "YYYY-MM-DD HH:MM:SS.mmm  text" and `lineEnd`; line breaks inside the text become " | ", so
// that every line of the file starts with its time.
std::string logLine(const LocalTime& time, std::string_view text, std::string_view lineEnd);
// "TovrenKur YYYY-MM-DD #NNN.log", NNN from 001.
std::string defaultLogName(const LocalTime& time, int number);
inline constexpr int kMaxLogNumber = 999;

// A log asked for at a symbolic link or a junction is refused (an elevated run must not write
// wherever a user points such a link): its number and description.
PlatformError linkRefused();

// ---- each host ----
// A file open for appending: each call is one write, straight to the system.
class AppendFile {
 public:
  virtual ~AppendFile() = default;
  virtual bool append(std::string_view bytes) noexcept = 0;
};
// Opens `path` for appending, creating it when missing (for the user alone where the host has
// such permissions), never through a link at its last part (linkRefused); failures throw.
std::unique_ptr<AppendFile> openForAppend(const std::string& path);
// Creates `path` only when no file of that name exists; null when one does. Other failures throw.
std::unique_ptr<AppendFile> createNewFile(const std::string& path);
// The user's temporary folder with its closing separator; "" when there is none.
std::string temporaryFolder();
LocalTime localNow();
extern const std::string_view kLineEnd;

// The log of one run: opened once, then appended to line by line.
class SupportLog {
 public:
  std::string open(const std::optional<std::string>& file);
  void write(std::string_view text) noexcept;

 private:
  std::unique_ptr<AppendFile> file_;
};

}  // namespace tk::host
