// What the driver's archive may hold: chromedriver.exe, and beside it only license and notice
// files (LICENSE and THIRD_PARTY_NOTICES, without an extension or with .chromedriver, .txt, .md or
// .html), either at the top or all in one folder (newer driver archives wrap their files in one).
// Anything else, a script, a library, another program or a second chromedriver.exe, would land in
// the package folder beside what the installation runs.
#pragma once

#include <string>
#include <string_view>

#include "zip/zip_reader.h"

namespace tk::zip {

// Whether a file name (no folder) is one of the driver's license and notice files: LICENSE or
// THIRD_PARTY_NOTICES, without an extension or with .chromedriver, .txt, .md or .html, letter case
// ignored.
bool isNoticeName(std::string_view name);

class DriverArchive : public ContentRule {
 public:
  // Throws 321 for an entry the driver's archive may not hold.
  void add(const EntryPath& entry) override;
  // Throws 321 when no entry is chromedriver.exe.
  void finish() override;

  // The folder that holds chromedriver.exe, "" for the top of the archive; known after finish.
  const std::string& folder() const { return folder_; }

 private:
  void placeIn(const std::string& folder, const EntryPath& entry);

  std::string folder_;
  bool placed_ = false;
  bool driver_ = false;
};

}  // namespace tk::zip
