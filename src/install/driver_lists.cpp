// The driver lists read with RapidJSON's event reader: only the one entry asked for is kept, so
// a list of several megabytes costs no more memory than its text.
#include "install/driver_lists.h"

#include <rapidjson/memorystream.h>
#include <rapidjson/reader.h>

#include <vector>

namespace tk {
namespace {

// Where the reader stands: the frames on the way to the driver downloads, or anywhere else.
enum class Frame : char { Root, Group, Entry, Downloads, Drivers, Driver, Other };

// Deeper than any list goes: a text nested further is refused before it costs memory.
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
    if (!frames_.empty() && frames_.back() == Frame::Driver) {
      if (key_ == "platform")
        platform_.assign(text, length);
      else if (key_ == "url")
        url_.assign(text, length);
    }
    return true;
  }
  bool StartObject() { return enter(false); }
  bool StartArray() { return enter(true); }
  bool EndObject(rapidjson::SizeType) {
    if (frames_.back() == Frame::Driver && platform_ == "win32" && !address)
      address = url_;
    return leave();
  }
  bool EndArray(rapidjson::SizeType) { return leave(); }

  bool entryFound = false;
  std::optional<std::string> address;

 private:
  Frame child(bool array) const;
  bool enter(bool array) {
    if (frames_.size() == kMaxDepth)
      return false;
    frames_.push_back(child(array));
    entryFound = entryFound || frames_.back() == Frame::Entry;
    platform_.clear();
    url_.clear();
    return true;
  }
  bool leave() {
    frames_.pop_back();
    return true;
  }

  std::string_view group_, wanted_;
  std::string key_;  // the key of the value being read
  std::vector<Frame> frames_;
  std::string platform_, url_;
};

Frame ListReader::child(bool array) const {
  if (frames_.empty())
    return array ? Frame::Other : Frame::Root;
  switch (frames_.back()) {
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

ListAnswer chromedriverWin32(std::string_view json, std::string_view group, std::string_view key) {
  ListReader handler(group, key);
  rapidjson::Reader reader;
  rapidjson::MemoryStream text(json.data(), json.size());
  constexpr unsigned kFlags =
      rapidjson::kParseValidateEncodingFlag | rapidjson::kParseNumbersAsStringsFlag;
  rapidjson::ParseResult result = reader.Parse<kFlags>(text, handler);
  if (result.IsError()) {
    return {std::nullopt, "JSON bozuk (hata " + std::to_string(result.Code()) + ", bayt " +
                              std::to_string(result.Offset()) + ")"};
  }
  if (!handler.entryFound)
    return {std::nullopt, "listede " + std::string(key) + " girdisi yok"};
  if (!handler.address)
    return {std::nullopt, std::string(key) + " girdisinde win32 chromedriver yok"};
  return {handler.address, ""};
}

std::optional<std::vector<int>> versionParts(std::string_view text) {
  std::vector<int> parts;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t dot = std::min(text.find('.', start), text.size());
    std::string_view part = text.substr(start, dot - start);
    if (part.empty() || part.size() > 5 ||
        part.find_first_not_of("0123456789") != std::string_view::npos)
      return std::nullopt;
    int value = 0;
    for (char digit : part)
      value = value * 10 + (digit - '0');
    parts.push_back(value);
    start = dot + 1;
  }
  return parts;
}

}  // namespace tk
