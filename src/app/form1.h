// Form1, the installer's one window: its controls, the form-level variables that every procedure
// shares, the event handlers and the form procedures. Member functions are defined in the folder
// of their subsystem (app/, install/, registration/, procedures/).
#pragma once

#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/controls.h"
#include "app/exit_codes.h"
#include "app/options.h"
#include "app/unattended.h"
#include "platform/platform.h"

namespace tk {

class Form1 {
 public:
  // `options` from the command line; `logPath` the support log's file, named in the failure
  // report ("" when the run has no log).
  explicit Form1(Platform& platform, Options options = {}, std::string logPath = "");
  Form1(const Form1&) = delete;
  Form1& operator=(const Form1&) = delete;

  // Controls.
  ControlArray<8> Text1;
  Control Text12, Text13, Text14;
  Control Command1, Command2, Command3;
  Control Label1, Label2, Label3;
  Control Shape1, Shape2;

  // Every control, in the order of the stored description (front to back).
  std::vector<Control*> controls();
  void setView(ControlView* view);

  // Form-level variables.
  int i = 0;
  int j = 0;
  std::string userPath;
  std::string myUrl;
  std::string myPath;
  std::string indirDosya;
  int isWillReg = 0;
  std::string sisDir;
  std::string copyFromStr;
  std::string copyToStr;
  std::string regStr;
  std::string compFile;

  // Event handlers.
  void Form_Load();
  void Command1_Click();
  void Command2_Click();
  void Command3_Click();
  // Runs the handler wired to a click on `control`; clicks elsewhere have no handler.
  void Click(const Control& control);

  // Form procedures.
  std::string GetDesktop();
  void dosyaIndir(const std::string& myUrl, const std::string& myPath);
  void unzip();
  void CreateShortCut();
  void regTovrenComponents();

  // The package folder the run works in (install/package_folder.cpp): the setup's own
  // "Tovren-Selvane" until the Continue action has chosen it.
  std::string packageFolder();

  // The Chrome stage of the Continue action: the version key and the driver address (empty for
  // an unsupported version). Ends the program when there is no Chrome.
  struct DriverChoice {
    std::string versionKey;
    std::string address;
  };
  DriverChoice chooseDriver();

  // The steps this program does in a process of its own for a run that started it: the system
  // folder's work with administrator rights (its exit code says what it passed over), and the
  // browser check with the signed-in user's rights, held until the run lets it end.
  void systemFolderStep();
  void browserCheckStep();

  // The run (app/run.cpp): how it was started, its support log, and the exit code it has come to.
  const Options& options() const { return options_; }
  int exitCode() const { return exitCode_; }
  void log(const std::string& text) { platform_.Log(text); }
  // A failure that reached a handler's boundary and ends the program: logged, then reported
  // (shown unless the run is unattended) with the log's place on its last line.
  void reportFailure(const PlatformError& error);

 private:
  // Before anything is replaced: the programs that hold the files this run replaces, found and,
  // with the user's consent, closed (install/file_holders.cpp).
  void closeFileHolders(const std::string& packageFolder);
  std::vector<std::string> filesToReplace(const std::string& packageFolder);
  bool isOwnProgram(const std::string& program, const std::string& packageFolder);
  // The second half of the Continue action: every unit is passed over on failure.
  void finishInstallation(const std::string& versionKey);
  void writeDriverRecord(const std::string& versionKey);
  // Chooses the package folder for the download, the extraction and the package script, once.
  std::string choosePackageFolder();
  // The scan's choice of the system folder: SysWOW64 where it exists, else System32.
  void chooseSystemFolder();
  // The registration step: regTovrenComponents with the rights it needs where they can be had.
  void registerComponents();
  void registerElevated();
  void countStepOutcome(int exitCode);
  // Whether the user's programs get the signed-in user's rights, which this run is above.
  bool userProgramsAsUser();
  // Runs a start with the user's rights; false, logged, when it failed: the caller starts the
  // program with the run's own rights instead, as when no shell gives the user's.
  bool startedAsUser(const std::function<void()>& start);
  // The browser check, in this process or (asUser) in one with the user's rights; what it
  // returns keeps the browser until it goes.
  std::shared_ptr<void> checkBrowser(bool asUser);
  std::unique_ptr<DispatchObject> checkBrowserHere();

  // The runtime's statements as the logic calls them, each also written to the support log. A
  // message box is answered by itself where `decidedAnswer` says so, and logged with its answer.
  int MsgBox(Box box, const std::string& prompt, int buttons,
             const std::optional<std::string>& title = {});
  void FileCopy(const std::string& source, const std::string& destination);
  // Wait::Unattended, for the package script and the registrations: an unattended run waits for
  // the program (at most kProgramWaitLimit), logs its exit code, and counts one that fails or does
  // not end as passed over; an interactive run starts it and goes on. `asUser`: with the
  // signed-in user's rights, which this run is above (never waited for).
  enum class Wait { Never, Unattended };
  double Shell(const std::string& commandLine, int windowStyle, Wait wait = Wait::Never,
               bool asUser = false);
  // The system's facts; when they cannot be read, a run as before: with the rights it needs.
  Platform::SystemFacts systemFacts();
  // One step of the first half, logged as it starts and ends; a failure leaves it and goes on.
  void step(const char* name, const std::function<void()>& body);
  // One step of the second half: its units run in order, each passed over on failure; the step's
  // first failure is reported before the sequence goes on. True when a unit failed.
  bool runStep(const char* name, std::initializer_list<std::function<void()>> units);
  // A failure passed over: logged with its number and description (or what went wrong), and
  // counted for the exit code.
  void passedOver(const PlatformError& error);
  void passedOver(const std::string& what);
  void reportInstallFailure(const PlatformError& error);

  Platform& platform_;
  Options options_;
  std::string logPath_;
  int exitCode_ = kExitInstalled;
  int passedOver_ = 0;
  std::string packageFolder_;
  std::unique_ptr<FolderClaim> packageClaim_;  // held until the run ends
};

}  // namespace tk
