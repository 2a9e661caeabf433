#pragma once
// The main window's control ids for C++: the logic, the dialog and the
// headless front end. The numbers live in MainWindowIds.h, which the dialog
// template reads too.
#include "ui/MainWindowIds.h"

namespace ui {

constexpr int kIdSaveSettings = IDC_BTN_SAVE_SETTINGS;
constexpr int kIdOpenSettings = IDC_BTN_OPEN_SETTINGS;  // hidden
constexpr int kIdSourceFolder = IDC_ACS_FILENAME_SRC;
constexpr int kIdTargetFolder = IDC_ACS_FILENAME_TARGET;
constexpr int kIdAllFilesList = IDC_LIST_ALLFILES;
constexpr int kIdCopyList = IDC_LIST_COPYFILES;
constexpr int kIdRefresh = IDC_BTN_REFRESH;
constexpr int kIdMoveSelectedToCopy = IDC_BTN_MOVE_DOWN;
constexpr int kIdMoveSelectedBack = IDC_BTN_MOVE_UP;
constexpr int kIdCopy = IDC_BTN_COPY;
constexpr int kIdStartAddress = IDC_ACS_FILENAME_NET_STARTIP;
constexpr int kIdEndOctet = IDC_ACS_FILENAME_NET_ENDIP;
constexpr int kIdSharePath = IDC_ACS_FILENAME_NET_PATH;
constexpr int kIdModeLocal = IDC_RADIO_LOCAL;      // radio, first of the group
constexpr int kIdModeNetwork = IDC_RADIO_NETWORK;  // radio
constexpr int kIdBrowseSource = IDC_BTN_BROWSE_SRC;
constexpr int kIdBrowseTarget = IDC_BTN_BROWSE_TARGET;
constexpr int kIdAutoBackup = IDC_CHK_AUTOBACKUP;
constexpr int kIdSubFolder = IDC_CHK_SUBFOLDER;
constexpr int kIdMoveAllSourceNewer = IDC_BTN_MOVE_NEWER;
constexpr int kIdMoveAllBack = IDC_BTN_MOVE_ALL_UP;
constexpr int kIdBuildDate = IDC_STATIC_BUILD_DATE;
constexpr int kIdExclusions = IDC_EXCEPTION_EXT;
constexpr int kIdMakePackage = IDC_BTN_MAKE_PACKAGE;
constexpr int kIdTerminateAll = IDC_BTN_TERMINATE_ALL;
constexpr int kIdRestart = IDC_BTN_RESTART;
constexpr int kIdNotice = IDC_STATIC_NOTICE;
constexpr int kIdUpdateMode = IDC_CHECK_UPDATEMODE;

}  // namespace ui
