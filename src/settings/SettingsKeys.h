#pragma once
// Names of the keys in the settings file. The box keys carry the names of the
// controls they feed, the others the names of the values they hold; files
// written by earlier versions use the same names, so they never change.
namespace keys {

constexpr const char* kSourceFolder = "IDC_ACS_FILENAME_SRC";
constexpr const char* kTargetFolder = "IDC_ACS_FILENAME_TARGET";
constexpr const char* kStartAddress = "IDC_ACS_FILENAME_NET_STARTIP";
constexpr const char* kEndOctet = "IDC_ACS_FILENAME_NET_ENDIP";
constexpr const char* kSharePath = "IDC_ACS_FILENAME_NET_PATH";
constexpr const char* kExclusions = "IDC_EXCEPTION_EXT";
constexpr const char* kPackageTitle = "MakeInstall_Title";
constexpr const char* kPackageBasePath = "MakeInstall_BasicPath";
constexpr const char* kOperationMode = "OPERATION_MODE";
constexpr const char* kAutoNetInit = "m_nAutoNetInit";
constexpr const char* kSubFolder = "m_chkSubFolder";
constexpr const char* kCopyFiles = "COPYFILES";  // list
constexpr const char* kAutoBackup = "IDC_CHK_AUTOBACKUP";
constexpr const char* kUpdateMode = "IDC_CHECK_UPDATEMODE";
constexpr const char* kUserBackupPathUse = "UserBackupPathUse";
constexpr const char* kUserBackupPath = "UserBackupPath";
constexpr const char* kLocalOff = "EXECUTE_CONTROL_LOCAL_OFF";  // list
constexpr const char* kLocalOn = "EXECUTE_CONTROL_LOCAL_ON";    // list
constexpr const char* kNetOff = "EXECUTE_CONTROL_NET_OFF";      // list
constexpr const char* kNetOn = "EXECUTE_CONTROL_NET_ON";        // list

}  // namespace keys

// Values used when a key is missing or no settings file exists.
namespace defaults {

// Loopback, so a fresh install never points at someone else's PC.
constexpr const char* kStartAddress = "\\\\127.0.0.1";
constexpr const char* kEndOctet = "122";
constexpr const char* kSharePath = "\\c\\Pexoril";
constexpr const char* kTargetFolder = "c:\\PEXORHOST";
constexpr const char* kExclusions = "lib, ilk, pdb, tlb, exp, sup";
constexpr const char* kPackageBasePath = ".\\qvInstallFiles";
constexpr const char* kUserBackupPath = "\\\\127.0.0.1\\c\\";

}  // namespace defaults
