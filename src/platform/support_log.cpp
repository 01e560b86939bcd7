// The support log on either host: its lines, the default file's name, and the search for a
// number that no earlier run of the day has taken.
#include "platform/support_log.h"

#include <cstdio>

#include "platform/error.h"

namespace tk::host {

std::string logLine(const LocalTime& t, std::string_view text, std::string_view lineEnd) {
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "%04d-%02d-%02d %02d:%02d:%02d.%03d  ", t.year, t.month, t.day,
                t.hour, t.minute, t.second, t.millisecond);
  std::string line = stamp;
  for (std::size_t at = 0; at < text.size(); ++at) {
    if (text[at] == '\r' || text[at] == '\n') {
      line += " | ";
      if (text[at] == '\r' && at + 1 < text.size() && text[at + 1] == '\n')
        ++at;
    } else {
      line += text[at];
    }
  }
  line += lineEnd;
  return line;
}

std::string defaultLogName(const LocalTime& t, int number) {
  char name[48];
  std::snprintf(name, sizeof name, "TovrenKur %04d-%02d-%02d #%03d.log", t.year, t.month, t.day,
                number);
  return name;
}

PlatformError linkRefused() {
  return PlatformError(err::kPathFileAccess,
                       "Kayıt dosyası sembolik bir bağlantı ya da bağlantı noktası (junction); "
                       "bağlantılar izlenmez");
}

std::string SupportLog::open(const std::optional<std::string>& file) {
  if (file) {
    file_ = openForAppend(*file);
    return *file;
  }
  try {
    std::string folder = temporaryFolder();
    if (folder.empty())
      return "";
    LocalTime now = localNow();
    for (int number = 1; number <= kMaxLogNumber; ++number) {
      std::string path = folder + defaultLogName(now, number);
      file_ = createNewFile(path);
      if (file_)
        return path;
    }
  } catch (const PlatformError&) {
    // No default log (a temporary folder that cannot be written): the run goes on without one.
  }
  return "";
}

void SupportLog::write(std::string_view text) noexcept {
  if (!file_)
    return;
  try {
    file_->append(logLine(localNow(), text, kLineEnd));
  } catch (...) {
    // Out of memory for the line: the line is lost, the run goes on.
  }
}

}  // namespace tk::host
