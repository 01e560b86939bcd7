// The in-memory platform: the runtime's operations and the automation objects over a map of
// Windows paths.
#include "fake_platform.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/profile.h"
#include "platform/text.h"

namespace tk::fake {
namespace {

std::string normalize(std::string path) {
  while (path.size() > 3 && (path.back() == '\\' || path.back() == '/'))
    path.pop_back();
  return path;
}

std::string key(const std::string& path) {
  return foldCase(normalize(path));
}

std::string baseName(const std::string& path) {
  std::string normal = normalize(path);
  std::size_t cut = normal.find_last_of('\\');
  return cut == std::string::npos ? normal : normal.substr(cut + 1);
}

class FakeTextStream : public TextStream {
 public:
  FakeTextStream(FakePlatform& fake, std::string path) : fake_(fake), path_(std::move(path)) {}
  void writeline(const std::string& text) override {
    fake_.record("writeline", {path_, text});
    Entry* entry = fake_.find(path_);
    if (entry == nullptr)
      throw makeError(err::kFileNotFound);
    entry->content += text + "\r\n";
  }
  void Close() override { fake_.record("Close", {path_}); }

 private:
  FakePlatform& fake_;
  std::string path_;
};

class FakeFileSystemObject : public FileSystemObject {
 public:
  explicit FakeFileSystemObject(FakePlatform& fake) : fake_(fake) {}
  std::unique_ptr<TextStream> CreateTextFile(const std::string& path, bool overwrite) override {
    fake_.record("CreateTextFile", {path, overwrite ? "True" : "False"});
    if (!overwrite && fake_.exists(path))
      throw makeError(err::kFileExists);
    fake_.writeFile(path, "");
    return std::make_unique<FakeTextStream>(fake_, path);
  }

 private:
  FakePlatform& fake_;
};

class FakeShortcut : public WshShortcut {
 public:
  FakeShortcut(FakePlatform& fake, std::string path) : fake_(fake), path_(std::move(path)) {}
  void Save() override {
    fake_.record("Save", {path_, Description, TargetPath});
    fake_.writeFile(path_, "shortcut to " + TargetPath);
    fake_.shortcuts[path_] = {Description, TargetPath};
  }

 private:
  FakePlatform& fake_;
  std::string path_;
};

class FakeWshShell : public WshShell {
 public:
  explicit FakeWshShell(FakePlatform& fake) : fake_(fake) {}
  std::string RegRead(const std::string& name) override {
    fake_.record("RegRead", {name});
    auto found = fake_.registry.find(name);
    if (found == fake_.registry.end())
      throw makeError(err::kRegValueMissing);
    return found->second;
  }
  std::string SpecialFolders(const std::string& name) override {
    fake_.record("SpecialFolders", {name});
    return name == "Desktop" ? fake_.desktop : "";
  }
  std::unique_ptr<WshShortcut> CreateShortCut(const std::string& path) override {
    fake_.record("CreateShortCut", {path});
    return std::make_unique<FakeShortcut>(fake_, path);
  }

 private:
  FakePlatform& fake_;
};

class FakeRequest : public XmlHttpRequest {
 public:
  explicit FakeRequest(FakePlatform& fake) : fake_(fake) {}
  void Open(const std::string& method, const std::string& url, bool async) override {
    fake_.record("Open", {method, url, async ? "True" : "False"});
    url_ = url;
    auto found = fake_.http.find(url);
    if (found != fake_.http.end() && found->second.openError != 0) {
      throw makeError(found->second.openError);
    }
  }
  void Send() override {
    fake_.record("Send", {url_});
    if (url_.empty())
      throw makeError(err::kNetBadUrl);
    auto found = fake_.http.find(url_);
    if (found == fake_.http.end())
      throw makeError(err::kNetNameNotResolved);
    if (found->second.sendError != 0)
      throw makeError(found->second.sendError);
    script_ = found->second;
  }
  int Status() override {
    fake_.record("Status", {});
    return script_.status;
  }
  uint64_t SaveResponseBody(const std::string& path) override {
    fake_.record("SaveResponseBody", {path});
    if (script_.saveError != 0)
      throw makeError(script_.saveError);
    fake_.writeFile(path, script_.body);
    return script_.body.size();
  }
  std::string ResponseText(uint64_t maxBytes) override {
    if (script_.body.size() > maxBytes)
      throw makeError(-2147024673);  // ERROR_FILE_TOO_LARGE
    return script_.body;
  }
  std::string Proxy() override { return "yok"; }

 private:
  FakePlatform& fake_;
  std::string url_;
  HttpScript script_;
};

class FakeFolder : public ShellFolder {
 public:
  FakeFolder(FakePlatform& fake, std::string path) : fake_(fake), path_(std::move(path)) {}
  std::unique_ptr<FolderItems> Items() override;
  std::optional<CopyCounts> CopyHere(FolderItems& items, int options) override;

 private:
  FakePlatform& fake_;
  std::string path_;
};

struct FakeItems : FolderItems {
  std::vector<std::pair<std::string, std::string>> entries;
};

std::unique_ptr<FolderItems> FakeFolder::Items() {
  fake_.record("Items", {path_});
  auto items = std::make_unique<FakeItems>();
  const Entry* entry = fake_.find(path_);
  if (entry != nullptr && !entry->folder) {
    std::string text = entry->content;
    if (text.rfind("FAKEZIP\n", 0) != 0)
      throw makeError(err::kInvalidCall);
    std::size_t at = 8;
    while (at < text.size()) {
      std::size_t end = text.find('\n', at);
      std::string line = text.substr(at, end - at);
      std::size_t tab = line.find('\t');
      items->entries.emplace_back(line.substr(0, tab),
                                  tab == std::string::npos ? "" : line.substr(tab + 1));
      at = end == std::string::npos ? text.size() : end + 1;
    }
  }
  return items;
}

std::optional<CopyCounts> FakeFolder::CopyHere(FolderItems& items, int options) {
  fake_.record("CopyHere", {path_, std::to_string(options)});
  std::string base = normalize(path_);
  for (const auto& [name, content] : static_cast<FakeItems&>(items).entries) {
    std::string target = base + "\\" + name;
    if (!name.empty() && name.back() == '\\') {
      if (!fake_.exists(target))
        fake_.addFolder(target);
    } else {
      fake_.writeFile(target, content);
    }
  }
  return std::nullopt;  // as the shell's own extraction, which counts nothing
}

class FakeShellDispatch : public ShellDispatch {
 public:
  explicit FakeShellDispatch(FakePlatform& fake) : fake_(fake) {}
  std::unique_ptr<ShellFolder> NameSpace(const std::string& path) override {
    fake_.record("NameSpace", {path});
    if (!fake_.exists(path))
      return nullptr;
    return std::make_unique<FakeFolder>(fake_, path);
  }

 private:
  FakePlatform& fake_;
};

class FakeDispatch : public DispatchObject {
 public:
  FakeDispatch(FakePlatform& fake, std::string classId)
      : fake_(fake), classId_(std::move(classId)) {}
  void Invoke(int32_t dispatchId, const std::vector<std::string>& args) override {
    std::vector<std::string> recorded{classId_, std::to_string(dispatchId)};
    recorded.insert(recorded.end(), args.begin(), args.end());
    fake_.record("Invoke", recorded);
    fake_.invocations.push_back({classId_, dispatchId, args});
  }

 private:
  FakePlatform& fake_;
  std::string classId_;
};

}  // namespace

std::string fakeZip(const std::vector<std::pair<std::string, std::string>>& entries) {
  std::string text = "FAKEZIP\n";
  for (const auto& [name, content] : entries)
    text += name + "\t" + content + "\n";
  return text;
}

std::string parentOf(const std::string& path) {
  std::string normal = normalize(path);
  std::size_t cut = normal.find_last_of('\\');
  if (cut == std::string::npos)
    return "";
  if (cut == 2 && normal[1] == ':')
    return normal.substr(0, 3);
  return normal.substr(0, cut);
}

FakePlatform::FakePlatform() {
  addFolder("C:\\");
  addFolder("C:\\Windows\\System32");
}

void FakePlatform::addFolder(const std::string& path, Attributes attributes) {
  std::string parent = parentOf(path);
  if (!parent.empty() && parent != normalize(path) && !exists(parent))
    addFolder(parent);
  entries_[key(path)] = Entry{normalize(path), true, attributes, ""};
}

void FakePlatform::addFile(const std::string& path, const std::string& content,
                           Attributes attributes) {
  std::string parent = parentOf(path);
  if (!parent.empty() && !exists(parent))
    addFolder(parent);
  entries_[key(path)] = Entry{normalize(path), false, attributes, content};
}

void FakePlatform::remove(const std::string& path) {
  std::string prefix = key(path) + "\\";
  std::erase_if(entries_, [&](const auto& item) {
    return item.first == key(path) || item.first.rfind(prefix, 0) == 0;
  });
}

Entry* FakePlatform::find(const std::string& path) {
  auto found = entries_.find(key(path));
  return found == entries_.end() ? nullptr : &found->second;
}

const Entry* FakePlatform::find(const std::string& path) const {
  auto found = entries_.find(key(path));
  return found == entries_.end() ? nullptr : &found->second;
}

bool FakePlatform::exists(const std::string& path) const {
  return find(path) != nullptr;
}

bool FakePlatform::isFolder(const std::string& path) const {
  const Entry* entry = find(path);
  return entry != nullptr && entry->folder;
}

std::string FakePlatform::content(const std::string& path) const {
  const Entry* entry = find(path);
  return entry == nullptr ? "" : entry->content;
}

std::vector<std::string> FakePlatform::list(const std::string& folder) const {
  std::vector<std::string> names;
  std::string parent = key(folder);
  for (const auto& [folded, entry] : entries_) {
    if (folded != parent && key(parentOf(entry.path)) == parent)
      names.push_back(baseName(entry.path));
  }
  std::sort(names.begin(), names.end(),
            [](const std::string& a, const std::string& b) { return foldCase(a) < foldCase(b); });
  return names;
}

void FakePlatform::writeFile(const std::string& path, const std::string& content) {
  const Entry* parent = find(parentOf(path));
  if (parent == nullptr || !parent->folder)
    throw makeError(err::kPathNotFound);
  Entry* existing = find(path);
  if (existing != nullptr && existing->folder)
    throw makeError(err::kPathFileAccess);
  if (existing != nullptr) {
    existing->content = content;
  } else {
    entries_[key(path)] = Entry{normalize(path), false, {}, content};
  }
}

void FakePlatform::answerNext(int answer) {
  answers_.push_back({std::nullopt, answer});
}

void FakePlatform::expectMsgBox(const std::string& prompt, int buttons,
                                std::optional<std::string> title, int answer) {
  answers_.push_back({MsgBoxShown{prompt, buttons, std::move(title), answer}, answer});
}

void FakePlatform::failOn(const std::string& op, const std::string& argument, int32_t number) {
  failures_.push_back({op, argument, number});
}

std::vector<Call> FakePlatform::callsOf(const std::string& op) const {
  std::vector<Call> matching;
  for (const Call& call : calls) {
    if (call.op == op)
      matching.push_back(call);
  }
  return matching;
}

void FakePlatform::record(const std::string& op, std::vector<std::string> args) {
  std::string first = args.empty() ? "" : args.front();
  calls.push_back({op, std::move(args)});
  for (const Failure& failure : failures_) {
    if (failure.op == op &&
        (failure.argument == "*" || equalsIgnoringCase(failure.argument, first))) {
      throw makeError(failure.number);
    }
  }
}

std::string FakePlatform::OpenLog(const std::optional<std::string>& file) {
  record("OpenLog", {file.value_or("<default>")});
  return file.value_or(defaultLog);
}

int FakePlatform::MsgBox(const std::string& prompt, int buttons,
                         const std::optional<std::string>& title) {
  record("MsgBox", {prompt, std::to_string(buttons), title.value_or("<none>")});
  int answer = buttons == vbYesNoQuestionNo ? vbNo : vbOK;
  if (!answers_.empty()) {
    Scripted next = answers_.front();
    answers_.erase(answers_.begin());
    if (next.expected) {
      EXPECT_EQ(next.expected->prompt, prompt);
      EXPECT_EQ(next.expected->buttons, buttons);
      EXPECT_EQ(next.expected->title, title);
    }
    answer = next.answer;
  }
  shown.push_back({prompt, buttons, title, answer});
  return answer;
}

std::string FakePlatform::Dir(const std::string& pathName, int attributes) {
  record("Dir", {pathName, std::to_string(attributes)});
  enumerating_ = true;
  enumeration_.clear();
  if (pathName.empty())
    return "";
  std::string folder = pathName.back() == '\\' ? normalize(pathName) : parentOf(pathName);
  std::string pattern = pathName.back() == '\\' ? "*" : baseName(pathName);
  if (!isFolder(folder))
    return "";
  for (const std::string& name : list(folder)) {
    const Entry* entry = find(normalize(folder) + "\\" + name);
    if (entry->attributes.system)
      continue;
    if (entry->attributes.hidden && (attributes & vbHidden) == 0)
      continue;
    if (entry->folder && (attributes & vbDirectory) == 0)
      continue;
    if (matchesWildcard(name, pattern))
      enumeration_.push_back(name);
  }
  std::reverse(enumeration_.begin(), enumeration_.end());
  return nextName();
}

std::string FakePlatform::Dir() {
  record("Dir", {});
  if (!enumerating_)
    throw makeError(err::kInvalidCall);
  return nextName();
}

std::string FakePlatform::nextName() {
  if (enumeration_.empty())
    return "";
  std::string name = enumeration_.back();
  enumeration_.pop_back();
  return name;
}

void FakePlatform::MkDir(const std::string& path) {
  record("MkDir", {path});
  if (exists(path))
    throw makeError(err::kPathFileAccess);
  if (!isFolder(parentOf(path)))
    throw makeError(err::kPathNotFound);
  entries_[key(path)] = Entry{normalize(path), true, {}, ""};
}

void FakePlatform::FileCopy(const std::string& source, const std::string& destination) {
  record("FileCopy", {source, destination});
  copyFile(source, destination);
}

bool FakePlatform::FileCopyIfAbsent(const std::string& source, const std::string& destination) {
  record("FileCopyIfAbsent", {source, destination});
  if (find(source) != nullptr && exists(destination))
    return false;  // Windows opens the source first: a missing one fails even then
  copyFile(source, destination);
  return true;
}

void FakePlatform::copyFile(const std::string& source, const std::string& destination) {
  const Entry* from = find(source);
  if (from == nullptr) {
    throw makeError(isFolder(parentOf(source)) ? err::kFileNotFound : err::kPathNotFound);
  }
  if (from->folder)
    throw makeError(err::kPathFileAccess);
  std::optional<FileVersionNumber> version = from->version;
  writeFile(destination, from->content);
  find(destination)->version = version;
}

double FakePlatform::Shell(const std::string& commandLine, int windowStyle) {
  record("Shell", {commandLine, std::to_string(windowStyle)});
  started.emplace_back(commandLine, windowStyle);
  return nextTask_++;
}

std::string FakePlatform::AppPath() {
  record("AppPath", {});
  return appPath;
}

std::optional<std::string> FakePlatform::ProfileString(const std::string& path,
                                                       const std::string& section,
                                                       const std::string& key) {
  const Entry* file = find(path);
  return file && !file->folder ? profileValue(file->content, section, key) : std::nullopt;
}

std::optional<FileVersionNumber> FakePlatform::FileVersion(const std::string& path) {
  record("FileVersion", {path});
  const Entry* entry = find(path);
  return entry != nullptr ? entry->version : std::nullopt;
}

std::unique_ptr<WshShell> FakePlatform::CreateWshShell() {
  record("CreateObject", {"WScript.Shell"});
  return std::make_unique<FakeWshShell>(*this);
}

std::unique_ptr<FileSystemObject> FakePlatform::CreateFileSystemObject() {
  record("CreateObject", {"Scripting.FileSystemObject"});
  return std::make_unique<FakeFileSystemObject>(*this);
}

std::unique_ptr<XmlHttpRequest> FakePlatform::CreateXmlHttpRequest() {
  record("CreateObject", {"MSXML2.XMLHTTP"});
  return std::make_unique<FakeRequest>(*this);
}

std::unique_ptr<ShellDispatch> FakePlatform::CreateShellDispatch() {
  record("CreateObject", {"Shell"});
  return std::make_unique<FakeShellDispatch>(*this);
}

std::unique_ptr<DispatchObject> FakePlatform::CreateDispatchObject(const std::string& classId,
                                                                   const std::string& interfaceId) {
  record("CreateDispatchObject", {classId, interfaceId});
  if (registeredClasses.count(classId) == 0)
    throw makeError(err::kClassNotRegistered);
  return std::make_unique<FakeDispatch>(*this, classId);
}

}  // namespace tk::fake
