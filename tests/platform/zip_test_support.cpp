// The zip tests' contents, tree reading and real platform, the same on every platform.
#include "zip_test_support.h"

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "platform/host_platform.h"

namespace fs = std::filesystem;

namespace tk::test {

std::string bigText() {
  std::string text;
  char line[96];
  for (int i = 0; i < 20000; ++i) {
    std::snprintf(line, sizeof line, "Tovren sürücü verisi, satır %06d: çğıöşü İı\n", i);
    text += line;
  }
  return text;
}

std::string binary(std::size_t size) {
  std::string bytes;
  uint32_t x = 7;
  for (std::size_t k = 0; k < size; ++k) {
    x = (x * 1103515245u + 12345u) & 0x7FFFFFFFu;
    bytes += static_cast<char>(x >> 16 & 0xFF);
  }
  return bytes;
}

std::string repeat(const std::string& text, int times) {
  std::string out;
  for (int k = 0; k < times; ++k)
    out += text;
  return out;
}

std::string utf8(const fs::path& path) {
  std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

Tree readTree(const fs::path& root) {
  Tree tree;
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root)) {
    std::u8string relative = entry.path().lexically_relative(root).generic_u8string();
    std::string name(relative.begin(), relative.end());
    if (entry.is_directory()) {
      tree[name + "/"] = "";
    } else {
      std::ifstream in(entry.path(), std::ios::binary);
      std::ostringstream content;
      content << in.rdbuf();
      tree[name] = content.str();
    }
  }
  return tree;
}

Tree foldKeys(const Tree& tree) {
  Tree folded;
  for (const auto& [stored, content] : tree) {
    std::string name = stored;
    for (char& c : name) {
      if (c >= 'A' && c <= 'Z')
        c = static_cast<char>(c + 32);
    }
    folded[name] = content;
  }
  return folded;
}

namespace {

class PlatformAt : public host::HostPlatform {
 public:
  explicit PlatformAt(std::string appPath) : appPath_(std::move(appPath)) {}
  std::string AppPath() override { return appPath_; }

 private:
  std::string appPath_;
};

}  // namespace

std::unique_ptr<ShellDispatch> realShell() {
  return host::HostPlatform().CreateShellDispatch();
}

std::unique_ptr<Platform> realPlatformAt(const std::string& appPath) {
  return std::make_unique<PlatformAt>(appPath);
}

}  // namespace tk::test
