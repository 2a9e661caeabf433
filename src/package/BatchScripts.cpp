#include "package/BatchScripts.h"

#include <string_view>

#include "platform/CodePage.h"
#include "platform/FileSystem.h"

namespace {

bool IsCmdMeta(char c) { return c == '&' || c == '|' || c == '<' || c == '>' || c == '^'; }

// Second bytes of code page 949 characters.
bool IsTrailByte(unsigned char c) {
    return (c >= 0x41 && c <= 0x5A) || (c >= 0x61 && c <= 0x7A) || (c >= 0x81 && c <= 0xFE);
}

// One script part being written. Literals are given as they stand in the file
// ("%%i" is the loop variable); values are made inert on the way in. The
// quote state follows every '"' written, so a value knows whether cmd reads it
// inside double quotes.
class Script {
public:
    Script& Lit(std::string_view s) {
        for (char c : s) {
            if (c == '"') quoted_ = !quoted_;
            if (c == '\n') quoted_ = false;
        }
        text_.append(s);
        return *this;
    }
    Script& Num(int n) { return Lit(std::to_string(n)); }
    // inLoop: the value stands in the body of "for /L %%i", where cmd would
    // still replace a %i that the doubled '%' leaves. The loop variable is
    // case-sensitive and Windows names are not, so an 'i' in a %-reference of
    // the value is written as 'I', which names the same file.
    Script& Val(std::string_view v, bool inLoop = false) {
        bool inReference = false;
        for (size_t i = 0; i < v.size(); ++i) {
            const char c = v[i];
            if (platform::IsLeadByte(static_cast<unsigned char>(c))) {
                // A whole character is copied as it stands (its second byte
                // is a letter or above 0x80, never one of cmd's characters).
                // A lead byte without a second byte of its own is no text and
                // could take the next character of the line with it: left out.
                if (i + 1 < v.size() && IsTrailByte(static_cast<unsigned char>(v[i + 1]))) {
                    text_ += c;
                    text_ += v[++i];
                }
                inReference = false;
                continue;
            }
            if (static_cast<unsigned char>(c) < 0x20 || c == '"') continue;
            if (c == '%') {
                text_ += "%%";
                inReference = inLoop;
                continue;
            }
            const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
            if (inReference && !(letter || c == '~' || c == '$' || c == ':')) inReference = false;
            if (!quoted_ && IsCmdMeta(c)) text_ += '^';
            text_ += (inReference && c == 'i') ? 'I' : c;
        }
        return *this;
    }
    // The file form: every line feed becomes CR LF.
    std::string Bytes() const {
        std::string out;
        out.reserve(text_.size() + text_.size() / 16);
        for (char c : text_) {
            if (c == '\n') out += '\r';
            out += c;
        }
        return out;
    }

private:
    std::string text_;
    bool quoted_ = false;
};

// Byte-wise: none of these is ever the second byte of a character.
bool HasCmdMeta(std::string_view s) {
    for (char c : s)
        if (IsCmdMeta(c)) return true;
    return false;
}

// The first lines of every script: its own folder, title and colours.
void Head(Script& s, const ScriptValues& v, std::string_view title) {
    s.Lit("@echo off\n");
    // The folder of a script is named after the target label (the backup
    // folder, the package folder); unquoted, a '&' there would split the line
    // and leave the script copying from wherever it was started.
    s.Lit(HasCmdMeta(v.targetLabel) ? "pushd \"%~dp0\"\n" : "pushd %~dp0\n");
    s.Lit("title ").Lit(title).Lit("\n");
    s.Lit("color 1F\n");
}

// The target lines of the recovery and install scripts (R5 to R10, I2).
void RangeTarget(Script& s, const ScriptValues& v) {
    if (v.mode == OperationMode::Local) {
        s.Lit("echo 대상폴더 : ").Val(v.targetFolder).Lit("\n");
    } else if (v.mode == OperationMode::Network) {
        s.Lit("\n\n");
        s.Lit("set NetStartIP=").Num(v.startOctet).Lit("\n");
        s.Lit("set NetEndIP=").Num(v.lastOctet).Lit("\n");
        s.Lit("\n\n");
        s.Lit("echo 대상폴더 : ").Val(v.addressPrefix).Lit("%NetStartIP%~%NetEndIP%\\").Val(v.sharePath).Lit("\n");
    }
}

// "\\a.b.c.%%i\share" inside a loop body.
Script& PcInLoop(Script& s, const ScriptValues& v) {
    return s.Val(v.addressPrefix, true).Lit("%%i").Val(v.sharePath, true);
}

// C:\Quorvel\<label>_%datez%
Script& BackupFolder(Script& s, const ScriptValues& v) {
    return s.Lit("C:\\Quorvel\\").Val(v.targetLabel).Lit("_%datez%");
}

}  // namespace

void ScriptValues::SetRange(const TargetRange& range) {
    startAddress = range.startAddress;
    sharePath = range.sharePath;
    startOctet = range.FirstOctet();
    lastOctet = range.LastOctet();
    addressPrefix = range.AddressPrefix();
}

std::string RecoveryScript(const ScriptValues& v) {
    Script s;
    Head(s, v, "QXT qvRecovery by Velorin");
    RangeTarget(s, v);
    s.Lit("echo 현재 폴더의 내용으로 대상 폴더의 파일를 복원 합니다.\n");
    s.Lit("pause\n");
    s.Lit("echo. \n\n");
    if (v.mode == OperationMode::Local) {
        s.Lit("echo CopyTo \"").Val(v.targetFolder).Lit("\"\n");
        s.Lit("copy *.* \"").Val(v.targetFolder).Lit("\" /y\n");
        s.Lit("del \"").Val(v.targetFolder).Lit("\\qvRecovery.bat\" \n");
    } else if (v.mode == OperationMode::Network) {
        // Written also for a range without PCs: the loop then runs zero times.
        s.Lit("for /L %%i in (%NetStartIP%,1,%NetEndIP%) do (\n");
        PcInLoop(s.Lit("echo CopyTo \""), v).Lit("\"\n");
        PcInLoop(s.Lit("copy *.* \""), v).Lit("\" /y\n");
        PcInLoop(s.Lit("del \""), v).Lit("\\qvRecovery.bat\" \n");
        s.Lit(")\n");
    }
    s.Lit("echo. \n");
    s.Lit("echo 복원 완료\n");
    s.Lit("echo. \n");
    s.Lit("\npause\n");
    return s.Bytes();
}

void WriteRecoveryScript(const std::string& path, const ScriptValues& v) {
    platform::WriteWholeFile(path, RecoveryScript(v));
}

std::string InstallHead(const ScriptValues& v) {
    Script s;
    Head(s, v, "QXT File Install by Velorin");
    s.Lit("\nset /p str=설치 전 백업을 진행 하시겠습니까?(Y/N):\n");
    s.Lit("if \"%str%\" == \"n\" GOTO ForwardInstall\n");
    s.Lit("if \"%str%\" == \"N\" GOTO ForwardInstall\n");
    s.Lit("call qvBackup.bat\n");
    s.Lit(":ForwardInstall\n\n");
    return s.Bytes();
}

std::string InstallTarget(const ScriptValues& v) {
    Script s;
    RangeTarget(s, v);
    return s.Bytes();
}

std::string InstallStart() {
    Script s;
    s.Lit("echo 인스톨을 진행 합니다.\n");
    s.Lit("pause\n\n");
    return s.Bytes();
}

std::string InstallCopy(const ScriptValues& v) {
    Script s;
    if (v.mode == OperationMode::Local) {
        s.Lit("echo. \n");
        s.Lit("echo CopyTo \"").Val(v.targetFolder).Lit("\"\n");
        s.Lit("copy \"InstallFiles\\*.*\" \"").Val(v.targetFolder).Lit("\" /y\n");
        s.Lit("\n");
        s.Lit("del \"").Val(v.targetFolder).Lit("\\qv*.bat*\" \n");
        s.Lit("\n");
    } else if (v.mode == OperationMode::Network && v.RangeHasPcs()) {
        s.Lit("for /L %%i in (%NetStartIP%,1,%NetEndIP%) do (\n");
        PcInLoop(s.Lit("echo CopyTo \""), v).Lit("\"\n");
        PcInLoop(s.Lit("copy \"InstallFiles\\*.*\" \""), v).Lit("\" /y\n");
        PcInLoop(s.Lit("del \""), v).Lit("\\qv*.bat*\" \n");
        s.Lit(")\n");
    }
    return s.Bytes();
}

std::string InstallTail() {
    Script s;
    s.Lit("echo. \n");
    s.Lit("echo 설치 완료\n");
    s.Lit("echo. \n");
    s.Lit("pause\n\n");
    return s.Bytes();
}

std::string InstallScript(const ScriptValues& v) {
    return InstallHead(v) + InstallTarget(v) + InstallStart() + InstallCopy(v) + InstallTail();
}

std::string BackupHead(const ScriptValues& v) {
    Script s;
    Head(s, v, "QXT File Backup by Velorin");
    return s.Bytes();
}

std::string BackupTarget(const ScriptValues& v) {
    Script s;
    if (v.mode == OperationMode::Local)
        s.Lit("echo 대상폴더 : ").Val(v.targetFolder).Lit("\n");
    else if (v.mode == OperationMode::Network)
        s.Lit("echo 대상폴더 : ").Val(v.startAddress).Val(v.sharePath).Lit("\n");
    return s.Bytes();
}

std::string BackupStart(const ScriptValues& v) {
    Script s;
    s.Lit("echo 백업을 진행 합니다.\n");
    s.Lit("pause\n\n");
    s.Lit("\n");
    s.Lit("set today=%date%\n");
    s.Lit("set datez=%date:-=%\n");
    BackupFolder(s.Lit("mkdir \""), v).Lit("\"\n");
    s.Lit("\n");
    return s.Bytes();
}

namespace {
bool WritesFileBlocks(const ScriptValues& v) {
    return v.mode == OperationMode::Local || (v.mode == OperationMode::Network && v.RangeHasPcs());
}
}  // namespace

std::string BackupFilesBegin(const ScriptValues& v) {
    return WritesFileBlocks(v) ? Script().Lit("echo. \n").Bytes() : std::string();
}

std::string BackupFileLines(const ScriptValues& v, const ScriptFile& f) {
    if (!WritesFileBlocks(v)) return {};
    Script s;
    if (v.mode == OperationMode::Local)
        s.Lit("echo Backup \"").Val(v.targetFolder).Val(f.relativePath).Lit("\"\n");
    else
        s.Lit("echo Backup \"").Val(v.addressPrefix).Num(v.startOctet).Val(v.sharePath).Val(f.relativePath).Lit("\"\n");
    BackupFolder(s.Lit("if not exist \""), v).Val(f.relativePath).Lit("\" ");
    // The destination is quoted in both forms: a blank in a name, or in the
    // date that %datez% carries, would otherwise split it.
    BackupFolder(s.Lit("copy \"").Val(f.targetFilePath).Lit("\" \""), v).Val(f.relativePath).Lit("\" /y\n");
    return s.Bytes();
}

std::string BackupRecovery(const ScriptValues& v) {
    Script s;
    s.Lit("echo.\n");
    BackupFolder(s.Lit("echo 복원 배치파일 생성 : "), v).Lit("\\qvRecovery.bat\n");
    BackupFolder(s.Lit("copy \"InstallFiles\\qvRecovery.bat_\" \""), v).Lit("\\qvRecovery.bat\" /y\n");
    return s.Bytes();
}

std::string BackupTail() {
    Script s;
    s.Lit("echo. \n");
    s.Lit("echo 백업 완료\n");
    s.Lit("echo. \n");
    s.Lit("pause\n\n");
    return s.Bytes();
}

std::string BackupScript(const ScriptValues& v) {
    std::string out = BackupHead(v) + BackupTarget(v) + BackupStart(v) + BackupFilesBegin(v);
    for (const ScriptFile& f : v.files) out += BackupFileLines(v, f);
    return out + BackupRecovery(v) + BackupTail();
}
