// Form1, the installer's one window: its controls, the form-level variables that every procedure
// shares, the event handlers and the form procedures. Member functions are defined in the folder
// of their subsystem (app/, install/, registration/, procedures/).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/controls.h"
#include "app/options.h"
#include "platform/platform.h"

namespace tk {

class Form1 {
 public:
  explicit Form1(Platform& platform);
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

  // Where the driver for a Chrome outside the table comes from (the run's setting).
  DriverSource driverSource = DriverSource::Table;

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

  // The Chrome stage of the Continue action: the version key and the driver address (empty for
  // an unsupported version). Ends the program when there is no Chrome.
  struct DriverChoice {
    std::string versionKey;
    std::string address;
  };
  DriverChoice chooseDriver();

 private:
  // The second half of the Continue action: every unit is passed over on failure.
  void finishInstallation(const std::string& versionKey);
  void writeDriverRecord(const std::string& versionKey);
  std::unique_ptr<DispatchObject> checkBrowser();

  Platform& platform_;
};

}  // namespace tk
