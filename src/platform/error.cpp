// Turkish descriptions of the runtime's error numbers and the Win32-to-runtime number mapping.
#include "platform/error.h"

namespace tk {
namespace {

constexpr CodeGroup<int32_t, const char*> kDescriptions[] = {
    {"Geçersiz yordam çağrısı veya bağımsız değişken", {err::kInvalidCall}},
    {"Bellek yetersiz", {err::kOutOfMemory}},
    {"Alt simge aralık dışında", {err::kSubscriptOutOfRange}},
    {"Hatalı dosya adı veya numarası", {err::kBadFileName}},
    {"Dosya bulunamadı", {err::kFileNotFound}},
    {"Dosya zaten açık", {err::kFileAlreadyOpen}},
    {"Aygıt G/Ç hatası", {err::kDeviceIo}},
    {"Dosya zaten var", {err::kFileExists}},
    {"Disk dolu", {err::kDiskFull}},
    {"İzin verilmedi", {err::kPermissionDenied}},
    {"Yol/Dosya erişim hatası", {err::kPathFileAccess}},
    {"Yol bulunamadı", {err::kPathNotFound}},
    {"Nesne değişkeni veya With blok değişkeni ayarlanmamış", {err::kObjectNotSet}},
    {"Nesne gerekli", {err::kObjectRequired}},
    {"Geçersiz dosya biçimi", {err::kInvalidFileFormat}},
    {"ActiveX bileşeni nesne oluşturamıyor", {err::kCannotCreateObject}},
    {"Kayıt defteri anahtarı veya değeri bulunamadı", {err::kRegValueMissing}},
    {"Sınıf kayıtlı değil", {err::kClassNotRegistered}},
    {"İşlem zaman aşımına uğradı", {err::kNetTimeout}},
    {"URL geçersiz", {err::kNetBadUrl}},
    {"Sunucu adı veya adresi çözümlenemedi", {err::kNetNameNotResolved}},
    {"Sunucuyla bağlantı kurulamadı", {err::kNetCannotConnect}},
    {"Sunucuyla bağlantı beklenmedik biçimde sonlandırıldı", {err::kNetConnectionReset}},
    {"Sunucunun güvenlik sertifikası doğrulanamadı", {err::kNetSecurityFailure}},
};

// A code that no row names is an access error, as the runtime reports what it cannot place.
constexpr CodeGroup<uint32_t> kRuntimeNumbers[] = {
    {err::kFileNotFound, {win32::kFileNotFound}},
    {err::kPathNotFound, {win32::kPathNotFound, win32::kBadPathname}},
    {err::kPathFileAccess, {win32::kAccessDenied, win32::kFileExists, win32::kAlreadyExists}},
    {err::kPermissionDenied, {win32::kSharingViolation, win32::kLockViolation}},
    {err::kOutOfMemory, {win32::kNotEnoughMemory, win32::kOutOfMemory}},
    {err::kDiskFull, {win32::kHandleDiskFull, win32::kDiskFull}},
    {err::kBadFileName, {win32::kInvalidName, win32::kFilenameTooLong}},
    {err::kDeviceIo, {win32::kNotReady, win32::kCrc, win32::kIoDevice}},
};

}  // namespace

std::string errorDescription(int32_t number) {
  return lookup<int32_t, const char*>(kDescriptions, number,
                                      "Uygulama tanımlı veya nesne tanımlı hata");
}

PlatformError makeError(int32_t number) {
  return PlatformError(number, errorDescription(number));
}

int32_t runtimeNumberFromWin32(uint32_t win32Error) {
  return lookup(kRuntimeNumbers, win32Error, err::kPathFileAccess);
}

}  // namespace tk
