// Entry names: from the stored bytes to UTF-8 text, and the checks that keep every entry inside
// the destination folder and creatable on Windows.
#pragma once

#include <string>
#include <unordered_map>
#include <unordered_set>

#include "zip/zip_format.h"
#include "zip/zip_reader.h"

namespace tk::zip {

struct EntryPath {
  std::string path;  // relative to the destination, parts joined by "/"; "" for the folder itself
  bool folder = false;
};

// The entry's name as UTF-8: as stored when the UTF-8 flag is set; else the name of a matching
// Unicode Path field; else the stored bytes of a name written on Unix when they are valid UTF-8
// (Unix tools write the locale's UTF-8 without the flag); else decoded from the OEM code page.
std::string decodeName(const CentralEntry& entry, OemDecoder decodeOem);

// The destination-relative path of a decoded name: "\" separates like "/", empty and "." parts
// are dropped. A name that would land outside the destination ("..", an absolute name, a drive
// letter) or that Windows cannot create (reserved characters or device names, a part made only
// of dots and blanks) throws 52.
EntryPath safePath(const std::string& name);

// The names of one archive as Windows sees them, so that no entry can replace another: a name
// given twice (letter case ignored as Windows ignores it) and a file whose name is also a
// folder's (an entry of its own, or on the way to another entry) throw 321.
class NameCollisions {
 public:
  void add(const EntryPath& entry);
  // The file-and-folder check, once every entry has been added.
  void finish() const;

 private:
  std::unordered_map<std::string, bool> entries_;  // folded path -> is a folder
  std::unordered_set<std::string> folders_;        // folded paths that hold other entries
};

}  // namespace tk::zip
