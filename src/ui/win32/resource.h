#pragma once
// Resource ids; control ids are those of ui/ControlIds.h.
#define IDD_ABOUTBOX 100
#define IDS_ABOUTBOX 101
#define IDD_QUORVEL_DIALOG 102
#define IDR_MAINFRAME 128
#define IDM_ABOUTBOX 0x0010
#define IDC_OPEN_SOURCE 1000
#define IDC_OPEN_TARGET 1005
