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
    case 2:  // ERROR_FILE_NOT_FOUND
      return err::kFileNotFound;
    case 3:    // ERROR_PATH_NOT_FOUND
    case 161:  // ERROR_BAD_PATHNAME
      return err::kPathNotFound;
    case 5:    // ERROR_ACCESS_DENIED
    case 80:   // ERROR_FILE_EXISTS
    case 183:  // ERROR_ALREADY_EXISTS
      return err::kPathFileAccess;
    case 32:  // ERROR_SHARING_VIOLATION
    case 33:  // ERROR_LOCK_VIOLATION
      return err::kPermissionDenied;
    case 8:   // ERROR_NOT_ENOUGH_MEMORY
    case 14:  // ERROR_OUTOFMEMORY
      return err::kOutOfMemory;
    case 39:   // ERROR_HANDLE_DISK_FULL
    case 112:  // ERROR_DISK_FULL
      return err::kDiskFull;
    case 123:  // ERROR_INVALID_NAME
    case 206:  // ERROR_FILENAME_EXCED_RANGE
      return err::kBadFileName;
    case 21:    // ERROR_NOT_READY
    case 23:    // ERROR_CRC
    case 1117:  // ERROR_IO_DEVICE
      return err::kDeviceIo;
    default:
      return err::kPathFileAccess;
  }
}

}  // namespace tk
