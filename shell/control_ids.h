// Control ids of the program's two windows.
#pragma once

// Main window.
constexpr int LogBoxId = 1001;
constexpr int AddButtonId = 1003;
constexpr int ExitButtonId = 1004;
constexpr int HintLabelId = 1007;
constexpr int AboutButtonId = 1028;

// "Add Items" dialog.
constexpr int OriginalCheckId = 1008;
constexpr int CdrCheckId = 1009;
constexpr int RipDdlCheckId = 1010;
constexpr int CdBinCheckId = 1011;
constexpr int IdCheckId = 1012;
constexpr int HdBinCheckId = 1013;
constexpr int TrackBoxId = 1015;
constexpr int TrackFrameId = 1016;
constexpr int SelectionFrameId = 1017;
constexpr int UpdateButtonId = 1018;
constexpr int SelAboutButtonId = 1019;
constexpr int SelExitButtonId = 1020;
constexpr int IdBoxId = 1027;
constexpr int RipDdlBoxId = 1028;
