// libFuzzer target for the zip reader: any input either extracts or fails with PlatformError,
// never crashes, and every path it writes stays inside the (in-memory) destination, with every
// output file either committed into place or dropped; the check-only mode agrees with it.
#include <cstdlib>
#include <set>
#include <string>

#include "platform/code_pages.h"
#include "platform/error.h"
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

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  MemoryArchive archive(data, size);
  MemoryDestination destination;
  int32_t checked = numberOf([&] { tk::zip::check(archive, tk::host::decodeOem); });
  int32_t extracted =
      numberOf([&] { tk::zip::extract(archive, destination, tk::host::decodeOem); });
  // The check refuses exactly what the extraction refuses (as a damaged archive): the memory
  // destination has room for everything, and no entry may land on another's name.
  require((checked == 0) == (extracted == 0));
  require(checked == 0 || checked == tk::err::kInvalidFileFormat);
  require(destination.open() == 0);
  return 0;
}
