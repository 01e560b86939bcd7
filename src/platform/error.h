// The two ways a platform operation leaves its caller early: a failure with the runtime's
// error number, and the end of the program.
#pragma once

#include <cstddef>
#include <cstdint>
#include <exception>
#include <initializer_list>
#include <string>
#include <utility>

namespace tk {

// A failed platform operation. `number` is what the user sees after "Hata No: ": the runtime's
// error number (53, 76, 75, 70, 91, 429, ...) or an HRESULT as a signed 32-bit number.
struct PlatformError : std::exception {
  PlatformError(int32_t number, std::string description)
      : number(number), description(std::move(description)) {}
  const char* what() const noexcept override { return description.c_str(); }

  int32_t number;
  std::string description;
};

// Thrown by End. Deliberately not a PlatformError, so that no pass-over can swallow it.
struct ProgramEnd {};

// Runtime error numbers that the program and its platforms raise.
namespace err {
inline constexpr int32_t kInvalidCall = 5;  // invalid procedure call or argument
inline constexpr int32_t kOutOfMemory = 7;
inline constexpr int32_t kSubscriptOutOfRange = 9;
inline constexpr int32_t kBadFileName = 52;
inline constexpr int32_t kFileNotFound = 53;
inline constexpr int32_t kFileAlreadyOpen = 55;
inline constexpr int32_t kDeviceIo = 57;
inline constexpr int32_t kFileExists = 58;
inline constexpr int32_t kDiskFull = 61;
inline constexpr int32_t kPermissionDenied = 70;
inline constexpr int32_t kPathFileAccess = 75;
inline constexpr int32_t kPathNotFound = 76;
inline constexpr int32_t kObjectNotSet = 91;
inline constexpr int32_t kObjectRequired = 424;
inline constexpr int32_t kInvalidFileFormat = 321;
inline constexpr int32_t kCannotCreateObject = 429;

// HRESULTs of the automation objects and the network (HRESULT_FROM_WIN32 of WinINet codes).
inline constexpr int32_t kRegValueMissing = -2147024894;     // 0x80070002
inline constexpr int32_t kClassNotRegistered = -2147221164;  // 0x80040154
inline constexpr int32_t kNetTimeout = -2147012894;          // 12002
inline constexpr int32_t kNetBadUrl = -2147012891;           // 12005 malformed address
inline constexpr int32_t kNetNameNotResolved = -2147012889;  // 12007
inline constexpr int32_t kNetCannotConnect = -2147012867;    // 12029
inline constexpr int32_t kNetConnectionReset = -2147012866;  // 12030, a cut transfer
inline constexpr int32_t kNetSecurityFailure = -2147012851;  // 12045, any certificate failure
}  // namespace err

// The Win32 error codes the program meets, named once: Windows reports them, and the substitute
// derives the same codes from errno, so both map them onto the same runtime numbers.
namespace win32 {
inline constexpr uint32_t kFileNotFound = 2;
inline constexpr uint32_t kPathNotFound = 3;
inline constexpr uint32_t kAccessDenied = 5;
inline constexpr uint32_t kNotEnoughMemory = 8;
inline constexpr uint32_t kOutOfMemory = 14;
inline constexpr uint32_t kNotReady = 21;
inline constexpr uint32_t kCrc = 23;
inline constexpr uint32_t kSharingViolation = 32;
inline constexpr uint32_t kLockViolation = 33;
inline constexpr uint32_t kHandleDiskFull = 39;
inline constexpr uint32_t kFileExists = 80;
inline constexpr uint32_t kDiskFull = 112;
inline constexpr uint32_t kInvalidName = 123;
inline constexpr uint32_t kBadPathname = 161;
inline constexpr uint32_t kAlreadyExists = 183;
inline constexpr uint32_t kFilenameTooLong = 206;
inline constexpr uint32_t kIoDevice = 1117;
}  // namespace win32

// A mapping written as rows: each a value and the codes that stand for it (a host's error codes
// and the runtime's number they mean). `lookup` gives the value of the first row that names
// `code`, `fallback` when none does.
template <typename Code, typename Value = int32_t>
struct CodeGroup {
  Value value;
  std::initializer_list<Code> codes;
};

template <typename Code, typename Value, std::size_t N>
constexpr Value lookup(const CodeGroup<Code, Value> (&rows)[N], Code code, Value fallback) {
  for (const CodeGroup<Code, Value>& row : rows) {
    for (Code known : row.codes) {
      if (known == code)
        return row.value;
    }
  }
  return fallback;
}

// The Turkish description the runtime gives for a number; a generic text for unknown numbers.
std::string errorDescription(int32_t number);

// A PlatformError with the standard description of its number.
PlatformError makeError(int32_t number);

// Maps a Win32 error code (as the substitute also derives from errno) onto the runtime's number
// for the file operations: 2 -> 53, 3 -> 76, 5 -> 75, 32 -> 70, 183 -> 75, ...
int32_t runtimeNumberFromWin32(uint32_t win32Error);

// HRESULT_FROM_WIN32 as a signed 32-bit number.
inline int32_t hresultFromWin32(uint32_t code) {
  return code == 0 ? 0 : static_cast<int32_t>((code & 0xFFFFu) | 0x80070000u);
}

}  // namespace tk
