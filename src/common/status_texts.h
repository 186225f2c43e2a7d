// The texts of the status line and the program's messages, exactly as the operator sees them.
#pragma once

#include <string_view>

namespace lumetra::texts {

inline constexpr std::string_view kTitle = "Lumetra";
inline constexpr std::string_view kReady = "Ready.";
inline constexpr std::string_view kTypeLabel = "Type the Barcode-Label.";
inline constexpr std::string_view kReadingLabel = "Reading Barcode-Label.";
inline constexpr std::string_view kSavingProgram = "Wait saving g-code.";
inline constexpr std::string_view kAddingLine = "Adding to Barcode data to List.";
inline constexpr std::string_view kWaitingNext = " Waiting for next barcode...";
inline constexpr std::string_view kFormatError = "Barcode Formating Error.";
inline constexpr std::string_view kRunFieldNotSelected = "Run Field Not Selected";
inline constexpr std::string_view kWorkListUnavailable = "Host work list unavailable: ";
inline constexpr std::string_view kHostCallFailed = "Host call failed: ";
inline constexpr std::string_view kHostBusy = "Host busy: waiting\x85"; // "…" in the code page
inline constexpr std::string_view kExportFailed = "CSV export failed: ";
inline constexpr std::string_view kProgramNotSaved = "Program file not saved: ";
inline constexpr std::string_view kScannerBack = "Scanner port open again: ";
inline constexpr std::string_view kScannerOpen = "Scanner port open: ";
inline constexpr std::string_view kScanTooLong = "Scan dropped: longer than the scan buffer of ";
inline constexpr std::string_view kSettingNotSaved = "Setting not saved in ORX.INI: ";

inline constexpr std::string_view kAlreadyRunning = "the Program is already running!";
inline constexpr std::string_view kIniNotFound = "File ORX.INI Not Found";
inline constexpr std::string_view kUnformattedDisk = "Unformatted Disk";
inline constexpr std::string_view kInsertDisk = "Insert Disk";
inline constexpr std::string_view kNotProgramFile = " Not a proper program file";
inline constexpr std::string_view kEditorNotFound =
    "Probably c:\\velmora\\bin\\Scrivon.exe could not be found";
inline constexpr std::string_view kEditorErrorTitle = "Error:  Unable to launch Editor";
inline constexpr std::string_view kEditorWindowMissing =
    "Editor window not found: the program name was not sent";
inline constexpr std::string_view kEditorKeysNotSent =
    "Editor window no longer active: the program name was not sent in full";
inline constexpr std::string_view kEditorElevated =
    "Editor runs as administrator: the program name was not sent";

} // namespace lumetra::texts
