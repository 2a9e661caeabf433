#pragma once
// Native build only: how Windows paths land on the Unix tree. The layout is
// Wine's dosdevices: "<dir>/c:" for drive C, "<dir>/unc/host/share" for
// \\host\share. Drive Z: is the Unix root unless "<dir>/z:" exists.
#include <optional>
#include <string>

namespace platform::posix {

void SetDosDevices(const std::string& unixDir);
std::string DosDevices();

// Unix path a Windows path resolves to (names matched case-insensitively where
// they exist); nullopt when its drive or share is not mapped.
std::optional<std::string> ToUnixPath(const std::string& windowsPath);
// Windows form of an absolute Unix path, on drive Z:.
std::string ToWindowsPath(const std::string& unixPath);

// Code page boundary: file names on disk are UTF-8, the core sees CP949.
std::string Cp949ToUtf8(const std::string& s);
std::string Utf8ToCp949(const std::string& s);

}  // namespace platform::posix
