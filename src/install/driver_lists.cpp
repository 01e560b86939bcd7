// The driver lists read with RapidJSON's event reader: only the one entry asked for is kept, so
// a list of several megabytes costs no more memory than its text.
#include "install/driver_lists.h"

#include <rapidjson/reader.h>

namespace tk {
namespace {

// Where the reader stands: the frames on the way to the driver downloads, or anywhere else.
enum class Frame : char { None, Root, Group, Entry, Downloads, Drivers, Driver, Other };

// Deeper than any list goes: a text nested further is refused before it costs memory (or, in
// the reader's recursion, the stack of a 32-bit thread).
constexpr std::size_t kMaxDepth = 32;

class ListReader : public rapidjson::BaseReaderHandler<rapidjson::UTF8<>, ListReader> {
 public:
  ListReader(std::string_view group, std::string_view key) : group_(group), wanted_(key) {}

  bool Default() { return true; }
  bool RawNumber(const char*, rapidjson::SizeType, bool) { return true; }
  bool Key(const char* text, rapidjson::SizeType length, bool) {
    key_.assign(text, length);
    return true;
  }
  bool String(const char* text, rapidjson::SizeType length, bool) {
    if (top() == Frame::Driver && (key_ == "platform" || key_ == "url"))
      (key_ == "url" ? url_ : platform_).assign(text, length);
    if (top() == Frame::Entry && key_ == "version")
      version.assign(text, length);
    return true;
  }
  bool StartObject() { return enter(false); }
  bool StartArray() { return enter(true); }
  bool EndObject(rapidjson::SizeType) {
    if (top() == Frame::Driver && platform_ == "win32" && !address)
      address = url_;
    return EndArray(0);
  }
  bool EndArray(rapidjson::SizeType) {
    --depth_;
    return true;
  }

  bool entryFound = false;
  std::optional<std::string> address;
  std::string version;  // the entry's

 private:
  Frame top() const { return depth_ == 0 ? Frame::None : frames_[depth_ - 1]; }
  Frame child(bool array) const;
  bool enter(bool array) {
    if (depth_ == kMaxDepth)
      return false;
    Frame frame = child(array);
    frames_[depth_++] = frame;
    entryFound = entryFound || frame == Frame::Entry;
    platform_.clear();
    url_.clear();
    return true;
  }

  std::string_view group_, wanted_;
  std::string key_;  // the key of the value being read
  Frame frames_[kMaxDepth] = {};
  std::size_t depth_ = 0;
  std::string platform_, url_;
};

Frame ListReader::child(bool array) const {
  switch (top()) {
    case Frame::None:
      return array ? Frame::Other : Frame::Root;
    case Frame::Root:
      return !array && key_ == group_ ? Frame::Group : Frame::Other;
    case Frame::Group:
      return !array && key_ == wanted_ ? Frame::Entry : Frame::Other;
    case Frame::Entry:
      return !array && key_ == "downloads" ? Frame::Downloads : Frame::Other;
    case Frame::Downloads:
      return array && key_ == "chromedriver" ? Frame::Drivers : Frame::Other;
    case Frame::Drivers:
      return array ? Frame::Other : Frame::Driver;
    default:
      return Frame::Other;
  }
}

}  // namespace

ListAnswer chromedriverWin32(std::string& json, std::string_view group, std::string_view key) {
  // The text is read in place (its strings decoded where they lie), up to its closing NUL: a NUL
  // inside it would end it early, so it makes the text malformed.
  if (json.find('\0') != std::string::npos)
    return {std::nullopt, "JSON bozuk (metinde NUL var)", ""};
  ListReader handler(group, key);
  rapidjson::Reader reader;
  rapidjson::InsituStringStream text(json.data());
  // Numbers are never used: taken as text, they cost no conversion code. The bytes of strings
  // are not checked as UTF-8 here: every value used is held to printable ASCII afterwards.
  constexpr unsigned kFlags = rapidjson::kParseInsituFlag | rapidjson::kParseNumbersAsStringsFlag;
  if (reader.Parse<kFlags>(text, handler).IsError())
    return {std::nullopt, "JSON bozuk", ""};
  if (!handler.entryFound)
    return {std::nullopt, "sürümün girdisi yok", ""};
  if (!handler.address)
    return {std::nullopt, "girdide win32 chromedriver yok", ""};
  return {handler.address, "", handler.version};
}

std::optional<Version> versionParts(std::string_view text) {
  Version parts{};
  std::size_t count = 0;
  int digits = 0;
  for (char c : text) {
    if (c == '.' && digits > 0 && count + 1 < parts.size()) {
      ++count;
      digits = 0;
    } else if (c >= '0' && c <= '9' && digits < 5) {
      parts[count] = parts[count] * 10 + (c - '0');
      ++digits;
    } else {
      return std::nullopt;
    }
  }
  if (count + 1 != parts.size() || digits == 0)
    return std::nullopt;
  return parts;
}

}  // namespace tk
