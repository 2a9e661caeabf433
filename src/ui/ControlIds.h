#pragma once
// Numeric ids of the main window's controls, shared by the logic, the dialog
// template and the headless front end.
namespace ui {

constexpr int kIdSaveSettings = 1001;
constexpr int kIdOpenSettings = 1002;  // hidden
constexpr int kIdSourceFolder = 1003;
constexpr int kIdTargetFolder = 1004;
constexpr int kIdAllFilesList = 1006;
constexpr int kIdCopyList = 1007;
constexpr int kIdRefresh = 1008;
constexpr int kIdMoveSelectedToCopy = 1009;
constexpr int kIdMoveSelectedBack = 1010;
constexpr int kIdCopy = 1011;
constexpr int kIdStartAddress = 1012;
constexpr int kIdEndOctet = 1013;
constexpr int kIdSharePath = 1014;
constexpr int kIdModeLocal = 1015;    // radio, first of the group
constexpr int kIdModeNetwork = 1016;  // radio
constexpr int kIdBrowseSource = 1017;
constexpr int kIdBrowseTarget = 1018;
constexpr int kIdAutoBackup = 1019;
constexpr int kIdSubFolder = 1020;
constexpr int kIdMoveAllSourceNewer = 1021;
constexpr int kIdMoveAllBack = 1022;
constexpr int kIdBuildDate = 1023;
constexpr int kIdExclusions = 1024;
constexpr int kIdMakePackage = 1025;
constexpr int kIdTerminateAll = 1026;
constexpr int kIdRestart = 1027;
constexpr int kIdNotice = 1029;
constexpr int kIdUpdateMode = 1030;

}  // namespace ui
