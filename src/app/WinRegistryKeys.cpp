#include "WinRegistryKeys.h"

#include <windows.h>

namespace vantor::app {

std::optional<KeyValue> WinRegistryKeys::query(const QString& keyName,
                                               const QString& valueName) const
{
    // Read access only: asking for more fails for every user without
    // administrator rights, and the program never writes here.
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, reinterpret_cast<LPCWSTR>(keyName.utf16()), 0, KEY_READ,
                      &key) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    DWORD type = 0;
    QByteArray buffer(2048, '\0'); // 1024 characters
    DWORD size = DWORD(buffer.size());
    const LONG rc = RegQueryValueExW(key, reinterpret_cast<LPCWSTR>(valueName.utf16()), nullptr,
                                     &type, reinterpret_cast<LPBYTE>(buffer.data()), &size);
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS)
        return std::nullopt;
    buffer.truncate(qsizetype(size));
    return KeyValue{quint32(type), buffer};
}

std::unique_ptr<MachineKeys> MachineKeys::system()
{
    return std::make_unique<WinRegistryKeys>();
}

} // namespace vantor::app
