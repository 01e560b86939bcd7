// The scratch folder and the UTF-8 path conversions of the platform contract tests.
#include "contract_support.h"

#include <fstream>
#include <iterator>
#include <random>
#include <system_error>

namespace fs = std::filesystem;

namespace tk::test {

fs::path fromUtf8(std::string_view text) {
  return fs::path(std::u8string(text.begin(), text.end()));
}

std::string utf8Of(const fs::path& path) {
  std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

ScratchFolder::ScratchFolder() {
  std::random_device random;
  for (;;) {
    root_ = fs::temp_directory_path() / ("tk-contract-" + std::to_string(random() % 1000000));
    if (fs::create_directory(root_))
      return;
  }
}

ScratchFolder::~ScratchFolder() {
  makeRemovable(root_);
  std::error_code ignored;
  fs::remove_all(root_, ignored);
}

std::string ScratchFolder::path(std::string_view tail) const {
  std::string text = utf8Of(root_);
  return tail.empty() ? text : text + "\\" + std::string(tail);
}

fs::path ScratchFolder::host(std::string_view tail) const {
  fs::path result = root_;
  while (!tail.empty()) {
    std::size_t cut = tail.find('\\');
    result /= fromUtf8(tail.substr(0, cut));
    tail = cut == std::string_view::npos ? std::string_view() : tail.substr(cut + 1);
  }
  return result;
}

void ScratchFolder::file(std::string_view tail, std::string_view content) const {
  std::ofstream(host(tail), std::ios::binary) << content;
}

void ScratchFolder::folder(std::string_view tail) const {
  fs::create_directories(host(tail));
}

std::string ScratchFolder::content(std::string_view tail) const {
  std::ifstream in(host(tail), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace tk::test
