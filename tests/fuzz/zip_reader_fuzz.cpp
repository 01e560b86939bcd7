// libFuzzer target for the zip reader: any input either extracts or fails with PlatformError,
// never crashes, and every path it writes stays inside the (in-memory) destination, with every
// output file either committed into place or dropped; the check-only mode agrees with it. An
// accepted archive's local headers agree with its central records, read here on their own, and
// what the driver rule accepts holds only the driver's files.
#include <cstdlib>
#include <set>
#include <string>

#include "platform/code_pages.h"
#include "platform/error.h"
#include "zip/driver_archive.h"
#include "zip/zip_reader.h"

namespace {

void require(bool condition) {
  if (!condition)
    std::abort();
}

// A destination-relative path: no empty, ".", ".." or absolute parts, no "\" or ":".
void requireInside(const std::string& path) {
  require(!path.empty() && path.front() != '/' && path.back() != '/');
  require(path.find_first_of("\\:") == std::string::npos);
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t slash = std::min(path.find('/', start), path.size());
    std::string part = path.substr(start, slash - start);
    require(!part.empty() && part != "." && part != "..");
    start = slash + 1;
  }
}

std::string parentOf(const std::string& path) {
  std::size_t cut = path.rfind('/');
  return cut == std::string::npos ? "" : path.substr(0, cut);
}

class MemoryArchive : public tk::zip::ArchiveSource {
 public:
  MemoryArchive(const uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  uint64_t size() override { return size_; }
  void readAt(uint64_t offset, unsigned char* buffer, std::size_t length) override {
    require(offset <= size_ && length <= size_ - offset);
    std::copy(data_ + offset, data_ + offset + length, buffer);
  }

 private:
  const uint8_t* data_;
  std::size_t size_;
};

class MemoryDestination;

// A file in memory: committed, it lands in the destination's files; dropped, it is gone.
class MemoryFile : public tk::zip::OutputFile {
 public:
  MemoryFile(MemoryDestination& destination, std::string target)
      : destination_(destination), target_(std::move(target)) {}
  ~MemoryFile() override;
  void write(const unsigned char*, std::size_t) override { require(!committed_); }
  void commit() override;

 private:
  MemoryDestination& destination_;
  std::string target_;
  bool committed_ = false;
};

class MemoryDestination : public tk::zip::Destination {
 public:
  void makeFolder(const std::string& path) override {
    requireInside(path);
    require(parentOf(path).empty() || folders_.count(parentOf(path)) == 1);
    if (files_.count(path) == 1)
      throw tk::makeError(tk::err::kPathFileAccess);  // as a host refuses a folder over a file
    folders_.insert(path);
  }
  std::unique_ptr<tk::zip::OutputFile> create(const std::string& path, bool) override {
    requireInside(path);
    require(parentOf(path).empty() || folders_.count(parentOf(path)) == 1);
    ++open_;
    return std::make_unique<MemoryFile>(*this, path);
  }
  void place(const std::string& path) {
    if (folders_.count(path) == 1)
      throw tk::makeError(tk::err::kPathFileAccess);  // as a host refuses a file over a folder
    files_.insert(path);
  }
  uint64_t freeSpace() override { return UINT64_MAX; }
  void closed() { --open_; }
  int open() const { return open_; }
  const std::set<std::string>& files() const { return files_; }

 private:
  std::set<std::string> folders_;
  std::set<std::string> files_;
  int open_ = 0;
};

MemoryFile::~MemoryFile() {
  destination_.closed();
}

void MemoryFile::commit() {
  require(!committed_);
  destination_.place(target_);
  committed_ = true;
}

}  // namespace

// The number an operation failed with, 0 when it succeeded.
template <typename Operation>
int32_t numberOf(Operation operation) {
  try {
    operation();
    return 0;
  } catch (const tk::PlatformError& error) {
    require(error.number != 0 && !error.description.empty());
    return error.number;
  }
}

uint32_t le(const uint8_t* p, int bytes) {
  uint32_t value = 0;
  for (int k = bytes; k-- > 0;)
    value = value << 8 | p[k];
  return value;
}

// The central records of an accepted archive, found from its end record on their own, each with
// a local header that has the same method, name and flags that matter and, without a data
// descriptor, the same CRC and the same sizes where they are not left to zip64 fields.
void requireRecordsAgree(const uint8_t* data, std::size_t size) {
  std::size_t end = size - 22;
  while (le(data + end, 4) != 0x06054b50 || end + 22 + le(data + end + 20, 2) != size)
    --end;  // an accepted archive has one
  uint64_t count = le(data + end + 10, 2), at = le(data + end + 16, 4);
  if (at == 0xFFFFFFFF) {  // the zip64 end record, named by the locator before the end record
    uint64_t record = le(data + end - 12, 4) | uint64_t{le(data + end - 8, 4)} << 32;
    count = le(data + record + 32, 4);
    at = le(data + record + 48, 4) | uint64_t{le(data + record + 52, 4)} << 32;
  }
  for (uint64_t n = 0; n < count; ++n) {
    const uint8_t* central = data + at;
    uint32_t flags = le(central + 8, 2), nameLength = le(central + 28, 2);
    uint64_t local = le(central + 42, 4);
    if (local != 0xFFFFFFFF) {
      const uint8_t* header = data + local;
      require(le(header, 4) == 0x04034b50 && le(header + 8, 2) == le(central + 10, 2));
      require(((le(header + 6, 2) ^ flags) & 0x0849) == 0 && le(header + 26, 2) == nameLength);
      require(std::equal(central + 46, central + 46 + nameLength, header + 30));
      for (int field = 14; field < 26 && (flags & 8) == 0; field += 4) {
        uint32_t value = le(central + 16 + field - 14, 4);
        require(le(header + field, 4) == value || (field > 14 && value == 0xFFFFFFFF));
      }
    }
    at += 46 + nameLength + le(central + 30, 2) + le(central + 32, 2);
  }
}

// What the driver rule accepted: chromedriver.exe once, beside it only license and notice
// files, at most one folder deep.
void requireDriverShape(const std::set<std::string>& files) {
  int drivers = 0;
  for (const std::string& file : files) {
    std::size_t cut = file.rfind('/');
    require(cut == std::string::npos || file.find('/') == cut);
    std::string name = file.substr(cut + 1);
    for (char& c : name)
      c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
    drivers += name == "CHROMEDRIVER.EXE";
    require(name == "CHROMEDRIVER.EXE" || name.starts_with("LICENSE") ||
            name.starts_with("THIRD_PARTY_NOTICES"));
  }
  require(drivers == 1);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  MemoryArchive archive(data, size);
  MemoryDestination destination;
  int32_t checked = numberOf([&] { tk::zip::check(archive, tk::host::decodeOem); });
  int32_t extracted =
      numberOf([&] { tk::zip::extract(archive, destination, tk::host::decodeOem); });
  // The check refuses exactly what the extraction refuses, with the same number: the memory
  // destination has room for everything, and no entry may land on another's name.
  require(checked == extracted);
  require(destination.open() == 0);
  if (checked != 0)
    return 0;
  requireRecordsAgree(data, size);
  MemoryDestination driverFolder;
  tk::zip::DriverArchive driver;
  if (numberOf([&] {
        tk::zip::extract(archive, driverFolder, tk::host::decodeOem, {.rule = &driver});
      }) == 0)
    requireDriverShape(driverFolder.files());
  return 0;
}
