// Control ids of the main window (dialog 102). Read by the resource compiler
// and by C++, so each number is written once: plain #defines, nothing else.
// The ids are fixed: saved settings and earlier versions know the controls by
// them. C++ code uses the names of ui/ControlIds.h.
#ifndef QUORVEL_UI_MAINWINDOWIDS_H
#define QUORVEL_UI_MAINWINDOWIDS_H

#define IDC_OPEN_SOURCE 1000              /* hidden */
#define IDC_BTN_SAVE_SETTINGS 1001
#define IDC_BTN_OPEN_SETTINGS 1002        /* hidden */
#define IDC_ACS_FILENAME_SRC 1003
#define IDC_ACS_FILENAME_TARGET 1004
#define IDC_OPEN_TARGET 1005              /* hidden */
#define IDC_LIST_ALLFILES 1006
#define IDC_LIST_COPYFILES 1007
#define IDC_BTN_REFRESH 1008
#define IDC_BTN_MOVE_DOWN 1009
#define IDC_BTN_MOVE_UP 1010
#define IDC_BTN_COPY 1011
#define IDC_ACS_FILENAME_NET_STARTIP 1012
#define IDC_ACS_FILENAME_NET_ENDIP 1013
#define IDC_ACS_FILENAME_NET_PATH 1014
#define IDC_RADIO_LOCAL 1015              /* first of the mode group */
#define IDC_RADIO_NETWORK 1016
#define IDC_BTN_BROWSE_SRC 1017
#define IDC_BTN_BROWSE_TARGET 1018
#define IDC_CHK_AUTOBACKUP 1019
#define IDC_CHK_SUBFOLDER 1020
#define IDC_BTN_MOVE_NEWER 1021
#define IDC_BTN_MOVE_ALL_UP 1022
#define IDC_STATIC_BUILD_DATE 1023
#define IDC_EXCEPTION_EXT 1024
#define IDC_BTN_MAKE_PACKAGE 1025
#define IDC_BTN_TERMINATE_ALL 1026
#define IDC_BTN_RESTART 1027
#define IDC_STATIC_NOTICE 1029
#define IDC_CHECK_UPDATEMODE 1030

#endif
