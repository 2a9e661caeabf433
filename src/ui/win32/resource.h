#pragma once
// Resource ids. Control ids: ui/MainWindowIds.h (main window) and
// ui/win32/CopyStateIds.h (progress window).
#define IDD_ABOUTBOX 100
#define IDS_ABOUTBOX 101
#define IDD_QUORVEL_DIALOG 102
#define IDD_COPYSTATE 103
#define IDR_MAINFRAME 128
#define IDM_ABOUTBOX 0x0010
