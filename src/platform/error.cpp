// Turkish descriptions of the runtime's error numbers and the Win32-to-runtime number mapping.
#include "platform/error.h"

namespace tk {

std::string errorDescription(int32_t number) {
  switch (number) {
    case err::kInvalidCall:
      return "Geçersiz yordam çağrısı veya bağımsız değişken";
    case err::kOutOfMemory:
      return "Bellek yetersiz";
    case err::kSubscriptOutOfRange:
      return "Alt simge aralık dışında";
    case err::kBadFileName:
      return "Hatalı dosya adı veya numarası";
    case err::kFileNotFound:
      return "Dosya bulunamadı";
    case err::kFileAlreadyOpen:
      return "Dosya zaten açık";
    case err::kDeviceIo:
      return "Aygıt G/Ç hatası";
    case err::kFileExists:
      return "Dosya zaten var";
    case err::kDiskFull:
      return "Disk dolu";
    case err::kPermissionDenied:
      return "İzin verilmedi";
    case err::kPathFileAccess:
      return "Yol/Dosya erişim hatası";
    case err::kPathNotFound:
      return "Yol bulunamadı";
    case err::kObjectNotSet:
      return "Nesne değişkeni veya With blok değişkeni ayarlanmamış";
    case err::kObjectRequired:
      return "Nesne gerekli";
    case err::kInvalidFileFormat:
      return "Geçersiz dosya biçimi";
    case err::kCannotCreateObject:
      return "ActiveX bileşeni nesne oluşturamıyor";
    case err::kRegValueMissing:
      return "Kayıt defteri anahtarı veya değeri bulunamadı";
    case err::kClassNotRegistered:
      return "Sınıf kayıtlı değil";
    case err::kNetTimeout:
      return "İşlem zaman aşımına uğradı";
    case err::kNetBadUrl:
      return "URL geçersiz";
    case err::kNetNameNotResolved:
      return "Sunucu adı veya adresi çözümlenemedi";
    case err::kNetCannotConnect:
      return "Sunucuyla bağlantı kurulamadı";
    case err::kNetConnectionReset:
      return "Sunucuyla bağlantı beklenmedik biçimde sonlandırıldı";
    case err::kNetSecurityFailure:
      return "Sunucunun güvenlik sertifikası doğrulanamadı";
    default:
      return "Uygulama tanımlı veya nesne tanımlı hata";
  }
}

PlatformError makeError(int32_t number) {
  return PlatformError(number, errorDescription(number));
}

int32_t runtimeNumberFromWin32(uint32_t win32Error) {
  switch (win32Error) {
    case win32::kFileNotFound:
      return err::kFileNotFound;
    case win32::kPathNotFound:
    case win32::kBadPathname:
      return err::kPathNotFound;
    case win32::kAccessDenied:
    case win32::kFileExists:
    case win32::kAlreadyExists:
      return err::kPathFileAccess;
    case win32::kSharingViolation:
    case win32::kLockViolation:
      return err::kPermissionDenied;
    case win32::kNotEnoughMemory:
    case win32::kOutOfMemory:
      return err::kOutOfMemory;
    case win32::kHandleDiskFull:
    case win32::kDiskFull:
      return err::kDiskFull;
    case win32::kInvalidName:
    case win32::kFilenameTooLong:
      return err::kBadFileName;
    case win32::kNotReady:
    case win32::kCrc:
    case win32::kIoDevice:
      return err::kDeviceIo;
    default:
      return err::kPathFileAccess;
  }
}

}  // namespace tk
