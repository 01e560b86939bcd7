// The programs that hold files, on Windows. The Restart Manager (rstrtmgr.dll, loaded from the
// system folder when first needed) names the processes that use the files, as their program or
// as a library they loaded; the running processes whose executable is one of the files are found
// by their image path besides, since a Restart Manager may be missing or name none (Wine's names
// none). Closing: the programs that the Restart Manager named go through its shutdown, the others
// get WM_CLOSE on their top-level windows; the wait and the ending are shared (holders.cpp).
#include "platform/holders.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "platform/host_platform.h"
#include "platform/windows/dynamic_win.h"
#include "platform/windows/file_version_win.h"
#include "platform/windows/handles_win.h"
#include "platform/windows/strings_win.h"

#include <restartmanager.h>
#include <tlhelp32.h>

namespace tk::host {
namespace {

struct RestartManagerApi {
  decltype(&RmStartSession) startSession;
  decltype(&RmEndSession) endSession;
  decltype(&RmRegisterResources) registerResources;
  decltype(&RmGetList) getList;
  decltype(&RmShutdown) shutdown;
  decltype(&RmCancelCurrentTask) cancel;  // null where it is missing (Wine)
};

const RestartManagerApi* restartManager() {
  static const std::optional<RestartManagerApi> api = []() -> std::optional<RestartManagerApi> {
    HMODULE module = loadSystemLibrary(L"rstrtmgr.dll");  // stays loaded for the program's life
    RestartManagerApi api{};
    if (!resolve(module, "RmStartSession", api.startSession) ||
        !resolve(module, "RmEndSession", api.endSession) ||
        !resolve(module, "RmRegisterResources", api.registerResources) ||
        !resolve(module, "RmGetList", api.getList) ||
        !resolve(module, "RmShutdown", api.shutdown)) {
      return std::nullopt;
    }
    resolve(module, "RmCancelCurrentTask", api.cancel);
    return api;
  }();
  return api ? &*api : nullptr;
}

// A Restart Manager session, ended by its owner. Session handles start at 0.
constexpr DWORD kNoSession = 0xFFFFFFFF;
struct RmSessionTraits {
  using Handle = DWORD;
  static Handle invalid() { return kNoSession; }
  static bool valid(Handle session) { return session != kNoSession; }
  static bool close(Handle session) {
    return restartManager()->endSession(session) == ERROR_SUCCESS;
  }
};
using RmSession = UniqueResource<RmSessionTraits>;

RmSession startSession(const RestartManagerApi& api) {
  DWORD session = kNoSession;
  WCHAR key[CCH_RM_SESSION_KEY + 1] = {};
  if (api.startSession(&session, 0, key) != ERROR_SUCCESS)
    return RmSession();
  return RmSession(session);
}

uint64_t fileTime(const FILETIME& time) {
  return (uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime;
}

// When the process started, as the Restart Manager identifies it; 0 when it cannot be read.
uint64_t startTime(HANDLE process) {
  FILETIME created{}, exited{}, kernel{}, user{};
  return GetProcessTimes(process, &created, &exited, &kernel, &user) ? fileTime(created) : 0;
}

UniqueHandle openProcess(DWORD access, DWORD processId) {
  return UniqueHandle(OpenProcess(access, FALSE, processId));
}

// The path of the process's executable; "" when it cannot be read (a protected process).
std::wstring imagePath(HANDLE process) {
  std::wstring path(32768, L'\0');
  DWORD size = static_cast<DWORD>(path.size());
  if (!QueryFullProcessImageNameW(process, 0, path.data(), &size))
    return {};
  path.resize(size);
  return path;
}

std::wstring fileName(const std::wstring& path) {
  std::size_t cut = path.find_last_of(L"\\/");
  return cut == std::wstring::npos ? path : path.substr(cut + 1);
}

// Two paths compared as the file system compares names: ignoring case, character by character.
bool samePath(const std::wstring& a, const std::wstring& b) {
  return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                              static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

// A holder as Windows names it: the name given, else its file's description, else the file.
// `process` (null when it could not be opened) is read, never the id again: it may be reused.
FileHolder describe(DWORD processId, HANDLE process, std::wstring name) {
  FileHolder holder;
  holder.processId = processId;
  std::wstring image = process ? imagePath(process) : std::wstring();
  holder.started = process ? startTime(process) : 0;
  holder.program = toUtf8(image);
  if (name.empty() && !image.empty())
    name = versionResourceName(image);
  holder.name = toUtf8(name.empty() ? fileName(image) : name);
  return holder;
}

// The Restart Manager's list of what uses the session's files, however it grows meanwhile.
std::vector<RM_PROCESS_INFO> affectedApplications(const RestartManagerApi& api, DWORD session) {
  std::vector<RM_PROCESS_INFO> applications;
  for (int attempt = 0; attempt < 4; ++attempt) {
    UINT needed = 0, count = static_cast<UINT>(applications.size());
    DWORD reasons = 0;
    DWORD result = api.getList(session, &needed, &count,
                               applications.empty() ? nullptr : applications.data(), &reasons);
    if (result == ERROR_SUCCESS) {
      applications.resize(std::min<std::size_t>(count, applications.size()));
      return applications;
    }
    if (result != ERROR_MORE_DATA)
      return {};
    applications.resize(needed + 4);  // more may start before the next call
  }
  return {};
}

// Services, Explorer and the processes Windows cannot do without are never stopped from here.
bool closableType(RM_APP_TYPE type) {
  return type == RmUnknownApp || type == RmMainWindow || type == RmOtherWindow || type == RmConsole;
}

std::vector<FileHolder> restartManagerHolders(const std::vector<std::wstring>& files) {
  const RestartManagerApi* api = restartManager();
  RmSession session = api != nullptr ? startSession(*api) : RmSession();
  if (!session)
    return {};
  std::vector<LPCWSTR> names(files.size());
  for (std::size_t k = 0; k < files.size(); ++k)
    names[k] = files[k].c_str();
  if (api->registerResources(session.get(), static_cast<UINT>(names.size()), names.data(), 0,
                             nullptr, 0, nullptr) != ERROR_SUCCESS) {
    return {};
  }
  std::vector<FileHolder> holders;
  for (const RM_PROCESS_INFO& application : affectedApplications(*api, session.get())) {
    if (application.Process.dwProcessId == GetCurrentProcessId())
      continue;
    DWORD id = application.Process.dwProcessId;
    FileHolder holder = describe(id, openProcess(PROCESS_QUERY_LIMITED_INFORMATION, id).get(),
                                 application.strAppName);
    holder.started = fileTime(application.Process.ProcessStartTime);
    holder.closable = closableType(application.ApplicationType);
    holder.viaRestartManager = true;
    holders.push_back(std::move(holder));
  }
  return holders;
}

// The processes, other than those already known, whose executable is one of the files. Only a
// process whose executable bears one of the files' names is opened.
std::vector<FileHolder> imageHolders(const std::vector<std::wstring>& files,
                                     const std::vector<FileHolder>& known) {
  UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  // A snapshot taken while processes start and end may fail with ERROR_BAD_LENGTH: taken again.
  for (int attempt = 0; !snapshot && GetLastError() == ERROR_BAD_LENGTH && attempt < 3; ++attempt)
    snapshot.reset(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot)
    return {};
  std::vector<FileHolder> holders;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot.get(), &entry); more;
       more = Process32NextW(snapshot.get(), &entry)) {
    DWORD id = entry.th32ProcessID;
    auto named = [&](const std::wstring& file) {
      return samePath(fileName(file), entry.szExeFile);
    };
    auto isId = [&](const FileHolder& holder) { return holder.processId == id; };
    if (id == GetCurrentProcessId() || std::any_of(known.begin(), known.end(), isId) ||
        std::none_of(files.begin(), files.end(), named)) {
      continue;
    }
    UniqueHandle process = openProcess(PROCESS_QUERY_LIMITED_INFORMATION, id);
    std::wstring image = process ? imagePath(process.get()) : std::wstring();
    auto isImage = [&](const std::wstring& file) { return samePath(file, image); };
    if (!image.empty() && std::any_of(files.begin(), files.end(), isImage))
      holders.push_back(describe(id, process.get(), L""));
  }
  return holders;
}

// The Restart Manager's shutdown of the programs it named, on a thread of its own so that the
// wait stays bounded: cancelled once the wait is over if it is still at work. The thread ends the
// session when the shutdown returns, however late that is: a machine has only 64 sessions. It
// asks without forcing anything: one program that refuses cancels the shutdown for all of them,
// and one that only a forced shutdown ends stays; those are then asked by their windows, and
// only the installer's own are ended later.
class RmShutdownRun {
 public:
  explicit RmShutdownRun(const std::vector<FileHolder>& holders);
  ~RmShutdownRun();
  RmShutdownRun(const RmShutdownRun&) = delete;
  RmShutdownRun& operator=(const RmShutdownRun&) = delete;

  // Starts the shutdown the first time; whether it runs.
  bool start();
  // Whether the shutdown has returned without closing every program.
  bool fellShort() const;

 private:
  static DWORD WINAPI shut(void* parameter);

  std::vector<RM_UNIQUE_PROCESS> processes_;
  DWORD session_ = kNoSession;  // the thread's, which ends it
  UniqueHandle thread_;
  bool tried_ = false;
};

RmShutdownRun::RmShutdownRun(const std::vector<FileHolder>& holders) {
  for (const FileHolder& holder : holders) {
    if (holder.viaRestartManager) {
      FILETIME started{static_cast<DWORD>(holder.started),
                       static_cast<DWORD>(holder.started >> 32)};
      processes_.push_back(RM_UNIQUE_PROCESS{holder.processId, started});
    }
  }
}

RmShutdownRun::~RmShutdownRun() {
  if (!thread_)
    return;
  // A thread that ends between the two calls has ended the session: the cancel then names no
  // session and fails, as no other session is started meanwhile.
  const RestartManagerApi* api = restartManager();
  if (WaitForSingleObject(thread_.get(), 0) == WAIT_TIMEOUT && api->cancel != nullptr)
    api->cancel(session_);
  WaitForSingleObject(thread_.get(), 2000);  // beyond that, it ends on its own
}

bool RmShutdownRun::start() {
  if (std::exchange(tried_, true))
    return static_cast<bool>(thread_);
  const RestartManagerApi* api = restartManager();
  RmSession session = api != nullptr && !processes_.empty() ? startSession(*api) : RmSession();
  // The programs themselves, by id and start time: what the user agreed to close, nothing else.
  if (!session ||
      api->registerResources(session.get(), 0, nullptr, static_cast<UINT>(processes_.size()),
                             processes_.data(), 0, nullptr) != ERROR_SUCCESS) {
    return false;
  }
  void* parameter = reinterpret_cast<void*>(static_cast<uintptr_t>(session.get()));
  thread_.reset(CreateThread(nullptr, 0, &RmShutdownRun::shut, parameter, 0, nullptr));
  if (thread_)
    session_ = session.release();
  return static_cast<bool>(thread_);
}

bool RmShutdownRun::fellShort() const {
  DWORD result = ERROR_SUCCESS;
  return thread_ && WaitForSingleObject(thread_.get(), 0) == WAIT_OBJECT_0 &&
         GetExitCodeThread(thread_.get(), &result) && result != ERROR_SUCCESS;
}

// The shutdown's result is the thread's exit code.
DWORD WINAPI RmShutdownRun::shut(void* parameter) {
  RmSession session(static_cast<DWORD>(reinterpret_cast<uintptr_t>(parameter)));
  return restartManager()->shutdown(session.get(), 0, nullptr);
}

struct CloseRequest {
  DWORD processId;
  int posted;
};

// Asks a visible top-level window of the process that no other window owns (its dialogs go with
// their owner).
BOOL CALLBACK closeWindowOf(HWND window, LPARAM parameter) {
  auto* request = reinterpret_cast<CloseRequest*>(parameter);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == request->processId && IsWindowVisible(window) &&
      GetWindow(window, GW_OWNER) == nullptr && PostMessageW(window, WM_CLOSE, 0, 0)) {
    ++request->posted;
  }
  return TRUE;
}

// Posts WM_CLOSE to the process's main windows; how many were asked.
int postClose(DWORD processId) {
  CloseRequest request{processId, 0};
  EnumWindows(&closeWindowOf, reinterpret_cast<LPARAM>(&request));
  return request.posted;
}

class WinProgram : public RunningProgram {
 public:
  WinProgram(const FileHolder& holder, RmShutdownRun& shutdown);
  bool ended() override { return gone_ || waitEnded(std::chrono::milliseconds(0)); }
  bool waitEnded(std::chrono::milliseconds most) override;
  bool askToClose() override { return (viaRestartManager_ && shutdown_.start()) || askWindows(); }
  // Termination is asynchronous: the files are free only once the process is gone.
  bool end() override {
    return process_ && TerminateProcess(process_.get(), 1) &&
           WaitForSingleObject(process_.get(), 5000) == WAIT_OBJECT_0;
  }

 private:
  DWORD processId_;
  bool viaRestartManager_;
  RmShutdownRun& shutdown_;
  UniqueHandle process_;
  bool gone_ = false;
  bool askedByWindows_ = false;

  // Its windows are found by its id, so only while the open handle keeps that id its own.
  bool askWindows() { return process_ && postClose(processId_) > 0; }
};

WinProgram::WinProgram(const FileHolder& holder, RmShutdownRun& shutdown)
    : processId_(holder.processId),
      viaRestartManager_(holder.viaRestartManager),
      shutdown_(shutdown) {
  constexpr DWORD kWatch = SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION;
  process_ = openProcess(kWatch | (holder.mayEnd ? PROCESS_TERMINATE : 0), processId_);
  // No process has that id any more; denied, it may still be watched without the right to end.
  gone_ = !process_ && GetLastError() == ERROR_INVALID_PARAMETER;
  if (!process_ && !gone_)
    process_ = openProcess(kWatch, processId_);
  if (process_ && holder.started != 0 && startTime(process_.get()) != holder.started)
    gone_ = true;  // the id now names another process
}

bool WinProgram::waitEnded(std::chrono::milliseconds most) {
  if (gone_)
    return true;
  if (viaRestartManager_ && !askedByWindows_ && shutdown_.fellShort()) {
    askedByWindows_ = true;
    askWindows();
  }
  if (!process_) {
    Sleep(static_cast<DWORD>(most.count()));  // cannot be watched: taken as still running
    return false;
  }
  return WaitForSingleObject(process_.get(), static_cast<DWORD>(most.count())) == WAIT_OBJECT_0;
}

}  // namespace

std::vector<FileHolder> HostPlatform::FindHolders(const std::vector<std::string>& files) {
  std::vector<std::wstring> existing;
  for (const std::string& file : files) {
    std::wstring wide = toWide(file);
    DWORD attributes = GetFileAttributesW(wide.c_str());
    // A folder would fail the whole registration with the Restart Manager; a missing file has
    // no holder.
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
      existing.push_back(std::move(wide));
  }
  if (existing.empty())
    return {};
  std::vector<FileHolder> holders = restartManagerHolders(existing);
  for (FileHolder& holder : imageHolders(existing, holders))
    holders.push_back(std::move(holder));
  return holders;
}

std::vector<HolderEnd> HostPlatform::CloseHolders(const std::vector<FileHolder>& holders,
                                                  std::chrono::milliseconds wait) {
  RmShutdownRun shutdown(holders);
  std::vector<std::unique_ptr<RunningProgram>> programs;
  for (const FileHolder& holder : holders)
    programs.push_back(std::make_unique<WinProgram>(holder, shutdown));
  return closePrograms(holders, programs, wait);
}

}  // namespace tk::host
