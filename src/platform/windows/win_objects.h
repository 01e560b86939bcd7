// The Windows pieces, one per area, which WinPlatform puts together.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/platform.h"

namespace tk::win {

// MessageBoxW owned by the form window: button codes 0, 16, 64 and 292.
int showMessageBox(const std::string& prompt, int buttons, const std::optional<std::string>& title);

// Shell: CreateProcessW with the application name always given; never waited for.
double startProgram(const std::string& commandLine, int windowStyle);

// WScript.Shell's RegRead: a value's data as text; a missing key or value throws
// err::kRegValueMissing. (The substitute reads Chrome's version from its profile folder.)
std::string regRead(const std::string& name);

std::unique_ptr<WshShell> makeWshShell();
std::unique_ptr<FileSystemObject> makeFileSystemObject();
std::unique_ptr<XmlHttpRequest> makeHttpRequest();
std::unique_ptr<ShellDispatch> makeShellDispatch();
std::unique_ptr<DispatchObject> makeDispatchObject(const std::string& classId,
                                                   const std::string& interfaceId);

}  // namespace tk::win
