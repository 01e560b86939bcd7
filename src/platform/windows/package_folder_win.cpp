// The package folder on Win32: the claim is an exclusive byte-range lock (LockFileEx) on the lock
// file, which SMB enforces across computers; a working folder is held by its lock file open
// without delete sharing, in this process and in the package script that inherits the handle.
#include "platform/windows/package_folder_win.h"

#include "platform/host_platform.h"
#include "platform/support_log.h"
#include "platform/windows/error_win.h"
#include "platform/windows/strings_win.h"

namespace tk::host {
namespace {

// The lock goes with the handle; unlocked explicitly, since Windows may take a while to release
// the locks of a handle closed without it (and a server longer still, after a lost connection).
class WinFolderClaim : public FolderClaim {
 public:
  explicit WinFolderClaim(UniqueHandle lock) : lock_(std::move(lock)) {}
  ~WinFolderClaim() override {
    OVERLAPPED start{};
    UnlockFileEx(lock_.get(), 0, 1, 0, &start);
  }

 private:
  UniqueHandle lock_;
};

std::wstring inside(const std::wstring& folder, std::wstring_view name) {
  return folder + L"\\" + std::wstring(name);
}

// Everything but the lock file and temporary files; a junction is never followed. A read-only
// file (from a CD, say) becomes writable in the copy, where the download and the extraction
// replace files.
void copyTree(const std::wstring& from, const std::wstring& to) {
  WIN32_FIND_DATAW found{};
  UniqueFindHandle search(FindFirstFileW(inside(from, L"*").c_str(), &found));
  if (!search)
    throwLastError();
  do {
    std::wstring_view name = found.cFileName;
    DWORD attributes = found.dwFileAttributes;
    if (name == L"." || name == L".." || !copiedToWorkingFolder(toUtf8(name)) ||
        (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
      continue;
    }
    std::wstring source = inside(from, name), target = inside(to, name);
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
      if (!CreateDirectoryW(target.c_str(), nullptr))
        throwLastError();
      copyTree(source, target);
    } else if (!CopyFileW(source.c_str(), target.c_str(), TRUE)) {
      throwLastError();
    } else if ((attributes & FILE_ATTRIBUTE_READONLY) != 0 &&
               !SetFileAttributesW(target.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY)) {
      throwLastError();  // a read-only copy would refuse the replace that it is made for
    }
  } while (FindNextFileW(search.get(), &found));
  if (GetLastError() != ERROR_NO_MORE_FILES)
    throwLastError();
}

// Whether the folder and everything in it could be removed.
bool removeTree(const std::wstring& folder) {
  WIN32_FIND_DATAW found{};
  UniqueFindHandle search(FindFirstFileW(inside(folder, L"*").c_str(), &found));
  for (bool more = bool(search); more; more = FindNextFileW(search.get(), &found)) {
    std::wstring_view name = found.cFileName;
    std::wstring path = inside(folder, name);
    if (name == L"." || name == L"..")
      continue;
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
      if (!RemoveDirectoryW(path.c_str()))  // the link, never its target
        DeleteFileW(path.c_str());
    } else if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
      removeTree(path);
    } else {
      SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
      DeleteFileW(path.c_str());
    }
  }
  search.reset();
  return RemoveDirectoryW(folder.c_str()) != 0;
}

// A working folder is free once its lock file can be removed: no process holds it any more.
bool released(const std::wstring& folder) {
  return DeleteFileW(inside(folder, toWide(kLockFileName)).c_str()) ||
         GetLastError() == ERROR_FILE_NOT_FOUND;
}

}  // namespace

std::unique_ptr<FolderClaim> HostPlatform::ClaimFolder(const std::string& folder) {
  std::string lockPath = folder + "\\" + std::string(kLockFileName);
  // Other runs open it too, to try the lock; no one may delete it.
  UniqueHandle lock(CreateFileW(toWide(lockPath).c_str(), GENERIC_READ | GENERIC_WRITE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                FILE_ATTRIBUTE_HIDDEN, nullptr));
  if (!lock)
    throw folderRefused(lastError());  // 5, 19 (write-protected), 65, ... on a read-only share
  OVERLAPPED start{};
  if (!LockFileEx(lock.get(), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0,
                  &start)) {
    // Any other failure: a file system or redirector that takes no locks.
    if (GetLastError() == ERROR_LOCK_VIOLATION)
      throw folderInUse();
    throw folderRefused(lastError());
  }
  auto claim = std::make_unique<WinFolderClaim>(std::move(lock));
  // The folder takes new files, and gives them up: a share that lets a file be made but not
  // deleted (no Delete right) would refuse every replace and rename of the run later.
  try {
    TempFile probe(lockPath, {.flush = false});
    probe.close();
    if (!DeleteFileW(toWide(probe.path()).c_str()))
      throwLastError();
  } catch (const PlatformError& refused) {
    throw folderRefused(refused);
  }
  return claim;
}

std::string HostPlatform::CopyToWorkingFolder(const std::string& folder) {
  std::string temp = temporaryFolder();
  if (temp.empty())
    throw makeError(err::kPathNotFound);
  auto working = std::make_shared<WorkingFolder>();
  for (unsigned n = 0;; ++n) {
    working->path = temp + workingFolderName(thisComputer(), GetCurrentProcessId(), n);
    if (CreateDirectoryW(toWide(working->path).c_str(), nullptr))
      break;
    if (GetLastError() != ERROR_ALREADY_EXISTS || n == 99)
      throwLastError();
  }
  std::wstring path = toWide(working->path);
  working->hold.reset(CreateFileW(inside(path, toWide(kLockFileName)).c_str(),
                                  GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, CREATE_NEW, FILE_ATTRIBUTE_HIDDEN, nullptr));
  if (!working->hold)
    throwLastError();
  working_ = working;  // in use from before its first file
  copyTree(toWide(folder), path);
  return working->path;
}

int HostPlatform::RemoveEndedWorkingFolders() {
  std::wstring temp = toWide(temporaryFolder());
  int removed = 0;
  WIN32_FIND_DATAW found{};
  UniqueFindHandle search(temp.empty() ? INVALID_HANDLE_VALUE
                                       : FindFirstFileW((temp + L"TovrenKur-*").c_str(), &found));
  for (bool more = bool(search); more; more = FindNextFileW(search.get(), &found)) {
    std::wstring folder = temp + found.cFileName;
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
        (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0 &&
        endedRunsFolder(toUtf8(found.cFileName)) && released(folder) && removeTree(folder)) {
      ++removed;
    }
  }
  return removed;
}

HeldByChild::HeldByChild(const WorkingFolder* working, const std::string& commandLine) {
  if (working == nullptr || !startsFrom(commandLine, working->path))
    return;
  SIZE_T size = 0;
  InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
  list_.resize(size);
  handle_ = working->hold.get();
  initialized_ = !list_.empty() && InitializeProcThreadAttributeList(attributes(), 1, 0, &size);
  active_ = initialized_ &&
            UpdateProcThreadAttribute(attributes(), 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, &handle_,
                                      sizeof handle_, nullptr, nullptr) &&
            SetHandleInformation(handle_, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
}

// The handle is inheritable only for this start: nothing that the process starts later (the
// browser, through the automation component) holds the folder.
HeldByChild::~HeldByChild() {
  if (active_)
    SetHandleInformation(handle_, HANDLE_FLAG_INHERIT, 0);
  if (initialized_)
    DeleteProcThreadAttributeList(attributes());
}

}  // namespace tk::host
