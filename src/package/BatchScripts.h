#pragma once
// The batch scripts left behind for an operator without the tool: recovery
// ("qvRecovery.bat"), install ("qvInstall.bat") and backup ("qvBackup.bat").
// Every writer is a pure function of the values and returns the bytes of its
// part of the file: code page 949, CR LF line ends, no byte-order mark. The
// callers write the blocks of a script in the order they need.
//
// A value cannot change what a script does: a '%' is doubled, cmd's & | < > ^
// are escaped with '^' where they stand outside double quotes, a '"', control
// characters (no Windows path holds either) and a lead byte without its second
// byte are left out, and inside a for /L loop a '%' of a value cannot reach
// the loop variable %%i. The scripts run from folders named after the target
// label, so a label that holds one of cmd's metacharacters gets the "pushd" of
// the script's own folder in double quotes.
#include <string>
#include <vector>

#include "control/OperationMode.h"
#include "control/TargetRange.h"

struct ScriptFile {
    std::string relativePath;    // \bin\a.dll
    std::string targetFilePath;  // the target's copy (on the start PC for Network)
};

struct ScriptValues {
    OperationMode mode = OperationMode::Local;
    std::string targetFolder;    // Local: absolute target folder
    std::string startAddress;    // Network: \\a.b.c.d
    std::string sharePath;       // Network: \c\app
    int startOctet = 0;          // first octet the loops visit
    int lastOctet = 0;
    std::string addressPrefix;   // \\a.b.c.
    std::string targetLabel;
    std::vector<ScriptFile> files;  // the copy list, for the backup script

    // The network part of the values from a range: the loops start at its
    // FirstOctet (a negative start octet addresses no PC below 0).
    void SetRange(const TargetRange& range);
    // Whether the range holds at least one PC.
    bool RangeHasPcs() const { return startOctet <= lastOctet; }
};

// Table R, the whole recovery script. The network form always holds the
// loop, which runs zero times when the range has no PC.
std::string RecoveryScript(const ScriptValues& v);
// Creates (or empties) path and writes the recovery script there. Reports
// nothing: a file that cannot be created is simply not written.
void WriteRecoveryScript(const std::string& path, const ScriptValues& v);

// Table I, block by block.
std::string InstallHead(const ScriptValues& v);   // I1: the backup question
std::string InstallTarget(const ScriptValues& v); // I2
std::string InstallStart();                       // I3
std::string InstallCopy(const ScriptValues& v);   // I4; empty for a network range without PCs
std::string InstallTail();                        // I5
// I1 to I5 in table order.
std::string InstallScript(const ScriptValues& v);

// Table B, block by block. B4 and B5 are empty for a network range without
// PCs, and for a mode other than Local and Network.
std::string BackupHead(const ScriptValues& v);                         // B1
std::string BackupTarget(const ScriptValues& v);                        // B2
std::string BackupStart(const ScriptValues& v);                         // B3
std::string BackupFilesBegin(const ScriptValues& v);                    // B4
std::string BackupFileLines(const ScriptValues& v, const ScriptFile& f); // B5
std::string BackupRecovery(const ScriptValues& v);                      // B6
std::string BackupTail();                                               // B7
// B1 to B7 in table order, with B5 for every file of v.files.
std::string BackupScript(const ScriptValues& v);
