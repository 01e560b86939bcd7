// Every operation the installer needs from Windows and its runtime, as one abstract interface:
// the runtime's statements, and the automation objects with the members the logic calls.
// Implemented natively for Windows, by a substitute for other systems, and by the tests' fake.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/error.h"

namespace tk {

// Message box button codes and answers, as Windows numbers them.
inline constexpr int vbOKOnly = 0;
inline constexpr int vbCritical = 16;
inline constexpr int vbInformation = 64;
inline constexpr int vbYesNoQuestionNo = 292;  // Yes/No, question icon, No is the default
inline constexpr int vbOK = 1;
inline constexpr int vbYes = 6;
inline constexpr int vbNo = 7;

// The titles of the program's message boxes; a box shown without a title carries the
// application title.
inline constexpr const char* kTitleV100 = "TovrenKur v1.0.0";
inline constexpr const char* kTitleV109 = "TovrenKur v1.0.9";
inline constexpr const char* kApplicationTitle = "TovrenKur";

// Window styles of Shell.
inline constexpr int vbHide = 0;
inline constexpr int vbNormalFocus = 1;
inline constexpr int vbMinimizedFocus = 2;

// Attribute masks of Dir.
inline constexpr int vbNormal = 0;
inline constexpr int vbHidden = 2;
inline constexpr int vbDirectory = 16;

// A file's version from its version resource, the four parts packed high to low
// (major.minor.build.revision, 16 bits each), so that numbers compare as versions do.
using FileVersionNumber = uint64_t;

// Options of ShellFolder::CopyHere: a simple progress window without file names; or no UI at all
// (no progress, no question, no error box, no question before a folder is made).
inline constexpr int kCopySimpleProgress = 256;
inline constexpr int kCopyNoUi = 4 | 16 | 512 | 1024;

// The text stream that Scripting.FileSystemObject's CreateTextFile returns (ANSI code page).
class TextStream {
 public:
  virtual ~TextStream() = default;
  virtual void writeline(const std::string& text) = 0;  // the text and CR LF
  virtual void Close() = 0;
};

// "Scripting.FileSystemObject".
class FileSystemObject {
 public:
  virtual ~FileSystemObject() = default;
  virtual std::unique_ptr<TextStream> CreateTextFile(const std::string& path, bool overwrite) = 0;
};

// A shortcut of "WScript.Shell": the two properties the program sets, then Save.
class WshShortcut {
 public:
  virtual ~WshShortcut() = default;
  virtual void Save() = 0;  // writes the file, replacing an existing one

  std::string Description;
  std::string TargetPath;
};

// "WScript.Shell".
class WshShell {
 public:
  virtual ~WshShell() = default;
  // A missing key or value throws err::kRegValueMissing.
  virtual std::string RegRead(const std::string& name) = 0;
  // "Desktop": the user's desktop folder, without a closing backslash.
  virtual std::string SpecialFolders(const std::string& name) = 0;
  // A shortcut object for the given .lnk path; nothing is written until Save.
  virtual std::unique_ptr<WshShortcut> CreateShortCut(const std::string& path) = 0;
};

// "MSXML2.XMLHTTP" with the byte stream that saves its body, coarsened: the body is received
// into a temporary file beside the destination and moved into place only once it is complete,
// so a broken transfer never destroys an earlier file and memory stays flat.
class XmlHttpRequest {
 public:
  virtual ~XmlHttpRequest() = default;
  // Records the method and the address; the address is checked when the request is sent.
  virtual void Open(const std::string& method, const std::string& url, bool async) = 0;
  // Sends the request; returns once the status is known. Network failures throw HRESULTs.
  virtual void Send() = 0;
  virtual int Status() = 0;
  // Receives the rest of the body into `path`, replacing an existing file only after a complete
  // transfer; gives the body's size. A short body (fewer bytes than announced) is a cut transfer.
  virtual uint64_t SaveResponseBody(const std::string& path) = 0;
  // The rest of the body as it came (bytes, no decoding), for a small document such as a list:
  // a body of more than `maxBytes`, announced or as it arrives, is refused (the HRESULT of
  // ERROR_FILE_TOO_LARGE) before it fills memory. A short body is a cut transfer.
  virtual std::string ResponseText(uint64_t maxBytes) = 0;
  // The proxy the request goes through, as the support log names it ("yok" when it goes direct).
  virtual std::string Proxy() = 0;
};

// The item collection of a shell folder (opaque to the logic).
class FolderItems {
 public:
  virtual ~FolderItems() = default;
};

// What an extraction wrote, for the support log.
struct CopyCounts {
  uint64_t entries = 0;  // files and folders
  uint64_t bytes = 0;
};

// A shell folder: a real folder, or a zip archive opened as a folder.
class ShellFolder {
 public:
  virtual ~ShellFolder() = default;
  virtual std::unique_ptr<FolderItems> Items() = 0;
  // Copies (for an archive: extracts) every item into this folder. An archive is extracted only
  // once the whole of it has been checked as the driver's archive (zip::DriverArchive): a refused
  // one (52, 70, 321) writes nothing; other copies are not offered (5). Options that ask for no
  // UI at all (kCopyNoUi) have the program's own reader extract it, since the shell's zip folders
  // may ignore them. Gives what it wrote where that reader extracted (the shell does not tell).
  virtual std::optional<CopyCounts> CopyHere(FolderItems& items, int options) = 0;
};

// The shell's folder automation object ("Shell", IShellDispatch6).
class ShellDispatch {
 public:
  virtual ~ShellDispatch() = default;
  // A folder for a path (a folder or a zip archive); no object (nullptr) when there is none.
  virtual std::unique_ptr<ShellFolder> NameSpace(const std::string& path) = 0;
};

// A package folder claimed for one run (ClaimFolder): held until the object is dropped or the
// process ends, however it ends.
class FolderClaim {
 public:
  virtual ~FolderClaim() = default;
};

// An object of an outside COM component, reached through its dispatch interface by dispatch id.
class DispatchObject {
 public:
  virtual ~DispatchObject() = default;
  virtual void Invoke(int32_t dispatchId, const std::vector<std::string>& textArguments) = 0;
};

// A running program that holds a file the installation is about to replace.
struct FileHolder {
  uint32_t processId = 0;
  uint64_t started = 0;  // the process's start time, so that a reused id is never taken for it
  std::string name;      // as Windows names the program (its application or file description)
  std::string program;   // its executable's path ("" when it cannot be read)
  bool closable = true;  // false: a service or a part of Windows, which is never asked to close
  bool viaRestartManager = false;  // Windows' Restart Manager named it, and asks it to close
  bool mayEnd = false;  // set by the installer: its own program, ended when it does not close
};

// What became of a holder that was asked to close.
enum class HolderEnd {
  Closed,   // it closed (or had ended already)
  Ended,    // it did not close in time and was ended
  Running,  // it still runs: it did not close, and it is not the installer's to end
};

// A part of this run that this program does in a process of its own (StartAsUser): the process
// stays until this object goes, which lets it end.
class StepProcess {
 public:
  virtual ~StepProcess() = default;
};

class Platform {
 public:
  virtual ~Platform() = default;

  // A modal message box; returns the code of the pressed button. Without a title the box
  // carries the application title "TovrenKur".
  virtual int MsgBox(const std::string& prompt, int buttons,
                     const std::optional<std::string>& title) = 0;
  int MsgBox(const std::string& prompt, int buttons) { return MsgBox(prompt, buttons, {}); }

  // The bare name of the first entry matching `pathName` under the attribute mask (0 ordinary
  // files, 2 hidden as well, 16 folders as well; system files never), or "" when there is none.
  // A path ending in "\" enumerates that folder.
  virtual std::string Dir(const std::string& pathName, int attributes) = 0;
  // The next name of the last enumeration, or "" when it is exhausted.
  virtual std::string Dir() = 0;

  virtual void MkDir(const std::string& path) = 0;
  virtual void FileCopy(const std::string& source, const std::string& destination) = 0;
  // Copies unless the destination exists, in one step that never replaces a file (whatever its
  // attributes: hidden, system, read-only); whether it copied. Other failures are FileCopy's.
  virtual bool FileCopyIfAbsent(const std::string& source, const std::string& destination) = 0;
  // Starts a program and returns at once with its task id; never waits for it.
  virtual double Shell(const std::string& commandLine, int windowStyle) = 0;
  // Starts a program as Shell does and waits for it to end, at most `limit`, the window served
  // meanwhile (a long work): its exit code, or none when it still runs at the limit (it goes on,
  // never waited for again). A program that cannot start throws as Shell does.
  virtual std::optional<uint32_t> ShellAndWait(const std::string& commandLine, int windowStyle,
                                               std::chrono::milliseconds limit) = 0;
  // The folder of the running setup program, without a closing backslash except at a root.
  virtual std::string AppPath() = 0;
  // The value of `key` in `[section]` of the ini file at `path` (platform/profile.h); nothing when
  // the file, the section or the key is missing. A file that is there but cannot be read, or not
  // as text of one of the encodings the reader knows, throws.
  virtual std::optional<std::string> ProfileString(const std::string& path,
                                                   const std::string& section,
                                                   const std::string& key) = 0;
  // The file version in the version resource of the file at `path`; none for a missing or
  // unreadable file and for one without a version resource. Never throws.
  virtual std::optional<FileVersionNumber> FileVersion(const std::string& path) = 0;

  // Claims the installer's one run in the user's session, held until this process ends, however
  // it ends; false when another run holds it. Never throws.
  virtual bool ClaimOnlyInstance() = 0;
  // Brings the window of the run that holds the claim to the front, or the message box that it
  // shows; nothing when it has no window yet. Never throws.
  virtual void ActivateOtherInstance() = 0;

  // The package folder a run works in (package_folder.h). ClaimFolder claims `folder` for this
  // run alone, against runs on this computer and on others that share the folder: an exclusive
  // lock on the lock file in it (made when missing), once a file could be made and removed there.
  // It throws when the folder cannot be written or another run holds it, the description saying
  // which.
  virtual std::unique_ptr<FolderClaim> ClaimFolder(const std::string& folder) = 0;
  // Copies `folder`, all but its lock file and temporary files, into a new working folder of this
  // run under the user's temporary folder, named for this computer and this process; gives its
  // path. It stays in use while this run, or a program started from it, runs.
  virtual std::string CopyToWorkingFolder(const std::string& folder) = 0;
  // Removes the working folders of this computer that no run and no program uses any more; gives
  // how many. Never throws.
  virtual int RemoveEndedWorkingFolders() = 0;

  // The running programs that hold any of `files` (those that exist), as Windows' Restart
  // Manager names them, and those whose executable is one of the files. Never throws: a search
  // that fails finds nothing.
  virtual std::vector<FileHolder> FindHolders(const std::vector<std::string>& files) = 0;
  // Asks each holder to close and waits for them, up to `wait` in all, with the window served
  // meanwhile; then ends the holders with `mayEnd` that still run. Each holder's end, in order.
  // Never throws.
  virtual std::vector<HolderEnd> CloseHolders(const std::vector<FileHolder>& holders,
                                              std::chrono::milliseconds wait) = 0;

  // The automation objects. Creation failures throw (429, or the HRESULT of the class).
  virtual std::unique_ptr<WshShell> CreateWshShell() = 0;                  // "WScript.Shell"
  virtual std::unique_ptr<FileSystemObject> CreateFileSystemObject() = 0;  // file-system object
  virtual std::unique_ptr<XmlHttpRequest> CreateXmlHttpRequest() = 0;      // "MSXML2.XMLHTTP"
  virtual std::unique_ptr<ShellDispatch> CreateShellDispatch() = 0;        // the shell, by class id
  // An outside component by class id and dispatch interface id ("{...}" text).
  virtual std::unique_ptr<DispatchObject> CreateDispatchObject(const std::string& classId,
                                                               const std::string& interfaceId) = 0;

  // The system's name and version and whether the program runs with administrator rights, for
  // the support log and for what the run does itself and what it has done with other rights.
  struct SystemFacts {
    std::string version;
    bool elevated = false;
    // Where the programs that the user works with afterwards (the application, the browser
    // check) get the signed-in user's own rights.
    enum class UserRights {
      Own,          // the run has them: not elevated, or with no lesser rights to go back to
      FromShell,    // elevated above them: taken from the session's shell (the *AsUser calls)
      Unavailable,  // elevated above them, and no shell to take them from
    } userRights = UserRights::Own;
  };
  virtual SystemFacts DescribeSystem() = 0;

  // ---- Other rights (platform/elevation.h) ----
  // The form window as a number that another process can own its message boxes by; "" without
  // one.
  virtual std::string FormWindowId() = 0;
  // This program started again with administrator rights for `arguments` (its command line
  // after its name, joinArguments), Windows asking for the administrator's consent, the form
  // window served until it ends: its exit code, or nothing when the consent was not given. Other
  // failures throw.
  virtual std::optional<int> RunElevated(const std::string& arguments) = 0;
  // In the process that RunElevated started: its message boxes are owned from here on by the
  // window FormWindowId named; false when that is no installer's window.
  virtual bool AdoptOwnerWindow(const std::string& windowId) = 0;
  // Shell with the rights of the session's shell (UserRights::FromShell).
  virtual double ShellAsUser(const std::string& commandLine, int windowStyle) = 0;
  // This program started again for `arguments` with the rights of the session's shell, the form
  // window served until the process says it is ready (ReadyAndWait) or ends, or a few minutes
  // have passed.
  virtual std::unique_ptr<StepProcess> StartAsUser(const std::string& arguments) = 0;
  // In the process that StartAsUser started: says it is ready, then waits (its messages served)
  // until the run lets it end.
  virtual void ReadyAndWait() = 0;

  // The support log. OpenLog opens it and gives its path: `file` when given (as the user's
  // system names it; appended to, and a file that cannot be opened throws, 76 for a missing
  // folder), else a new "TovrenKur <YYYY-MM-DD> #NNN.log" in the temporary folder, never a file
  // that exists ("" when none can be made: the run goes on without a log).
  virtual std::string OpenLog(const std::optional<std::string>& file) = 0;
  // Appends one line stamped "YYYY-MM-DD HH:MM:SS.mmm  " and writes it through at once, so a run
  // killed midway leaves its log up to that line. Never throws: a line that cannot be written
  // (or comes before OpenLog) is lost, and nothing else changes.
  virtual void Log(const std::string& text) noexcept = 0;
};

// The object a variable holds; a call on a variable that holds none is the runtime's
// "object variable not set".
template <typename T>
T& requireObject(const std::unique_ptr<T>& object) {
  if (!object)
    throw makeError(err::kObjectNotSet);
  return *object;
}

// Ends the program at once: unwinds to the handler boundary, which closes the window.
[[noreturn]] inline void End() {
  throw ProgramEnd{};
}

}  // namespace tk
