// Entry names: from the stored bytes to UTF-8 text, and the checks that keep every entry inside
// the destination folder, creatable on Windows and the only entry of its name.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "zip/zip_format.h"
#include "zip/zip_reader.h"

namespace tk::zip {

// The entry's name as UTF-8: as stored when the UTF-8 flag is set; else the name of a matching
// Unicode Path field; else `plainName`.
std::string decodeName(const CentralEntry& entry, OemDecoder decodeOem);
// The name as a reader that ignores the Unicode Path field sees it: the stored bytes of a name
// written on Unix when they are valid UTF-8 (Unix tools write the locale's UTF-8 without the
// flag), else the bytes decoded from the OEM code page.
std::string plainName(const CentralEntry& entry, OemDecoder decodeOem);

// Limits that Windows sets: UTF-16 units in one part of a name, and parts in one path.
inline constexpr std::size_t kMaxPartUnits = 255;
inline constexpr std::size_t kMaxDepth = 32;

// The destination-relative path of a decoded name: "\" separates like "/", empty and "." parts
// are dropped. A name that would land outside the destination ("..", an absolute name, a drive
// letter), that Windows cannot create (reserved characters or device names, a part made only of
// dots and blanks, a part or a path past the limits above) or that has the shape of a short-name
// alias ("NAME~1.EXT", which may be another entry's second name on Windows) throws 52.
EntryPath safePath(const std::string& name);

// The longest paths a file system takes: in UTF-16 units (Windows) or in bytes.
struct PathLimits {
  std::size_t path;    // a file's whole path
  std::size_t folder;  // a folder's whole path
  std::size_t part;    // one name
  bool utf16;
};

// Whether the entry `path` (as safePath gives it) fits under a destination whose own path, with
// its closing separator, is `rootLength` long: the folder that holds it, each name, and the
// whole path, a file's with `suffix` more for the temporary name it is written under first.
bool fitsUnder(std::size_t rootLength, std::string_view path, bool folder, std::size_t suffix,
               const PathLimits& limits);

// The names of one archive as Windows sees them, so that no entry can replace another: a name
// given twice (letter case ignored as NTFS ignores it) and a file whose name is also a folder's
// (an entry of its own, or on the way to another entry) throw 321. Keeps each name once, folded.
class NameCollisions {
 public:
  void add(const EntryPath& entry);
  // The checks, once every entry has been added.
  void finish();

 private:
  struct Name {
    std::string folded;
    std::string shown;
    bool folder;
  };
  std::vector<Name> names_;
};

}  // namespace tk::zip
