#include "cli/Deploy.h"

#include <algorithm>
#include <memory>

#include "cli/Args.h"
#include "compare/PathUtil.h"
#include "deploy/DryRunEffects.h"
#include "package/PackageBuilder.h"
#include "platform/FileSystem.h"
#include "ui/ControlIds.h"
#include "ui/FileListModel.h"
#include "ui/HeadlessControls.h"
#include "ui/MainWindowLogic.h"
#include "ui/PackageProgress.h"
#include "ui/ScanPaths.h"

namespace cli {
namespace {

// A message box's text on one line.
std::string OneLine(std::string text) {
    std::string out;
    for (char c : text) {
        if (c == '\r') continue;
        out += c == '\n' ? ' ' : c;
    }
    return out;
}

std::string Padded(const std::string& text, size_t width) {
    // CP949: one byte per column for ASCII, two for a double-byte character,
    // which a console draws two columns wide.
    return text.size() >= width ? text : text + std::string(width - text.size(), ' ');
}

void PrintCompare(const ui::MainWindowLogic& logic, bool csv, const LineSink& out) {
    const auto& columns = ui::kFileListColumns;
    const char* const copyHeading = "복사목록";
    std::vector<std::vector<std::string>> table;
    std::vector<std::string> head;
    for (const auto& c : columns) head.push_back(c.heading);
    head.push_back(copyHeading);
    table.push_back(head);
    for (const CompareRecord& r : logic.Records()) {
        std::vector<std::string> row;
        for (int c = 0; c < int(columns.size()); ++c) row.push_back(ui::CellText(r, c, logic.SrcRootLength()));
        row.push_back(csv ? (r.inCopyList ? "1" : "0") : (r.inCopyList ? "O" : ""));
        table.push_back(row);
    }
    if (csv) {
        for (const auto& row : table) {
            std::string line;
            for (size_t i = 0; i < row.size(); ++i) line += (i ? "," : "") + CsvField(row[i]);
            out(line);
        }
        return;
    }
    std::vector<size_t> widths(head.size(), 0);
    for (const auto& row : table)
        for (size_t i = 0; i < row.size(); ++i) widths[i] = std::max(widths[i], row[i].size());
    for (const auto& row : table) {
        std::string line;
        for (size_t i = 0; i < row.size(); ++i) line += (i ? "  " : "") + Padded(row[i], i + 1 < row.size() ? widths[i] : 0);
        while (!line.empty() && line.back() == ' ') line.pop_back();
        out(line);
    }
}

std::string DryActionText(const deploy::DryRunAction& a) {
    using K = deploy::DryRunAction::Kind;
    std::string programs;
    for (const auto& p : a.programs) programs += (programs.empty() ? "" : ", ") + p;
    switch (a.kind) {
    case K::MakeDir: return std::string("  폴더 생성") + (a.wouldSucceed ? "" : " 실패 예상 (상위 폴더 없음)") + ": " + a.path;
    case K::RecoveryScript:
        return std::string("  복구 스크립트 작성") + (a.wouldSucceed ? "" : " 실패 예상 (폴더 없음)") + ": " + a.path;
    case K::CommandFile:
        return std::string("  종료 명령 파일 작성") + (a.wouldSucceed ? "" : " 실패 예상 (Jobkeeper 폴더 없음)") + ": " +
               a.path;
    case K::TerminateLocal: return "  로컬 프로그램 종료: " + (programs.empty() ? std::string("(없음)") : programs);
    case K::Restart: return "  프로그램 재실행: " + (programs.empty() ? std::string("(없음)") : programs);
    }
    return {};
}

// Runs the copy (or its dry run) over the window's snapshot; returns the
// exit flags, kExitFatal added when the report cannot be written.
int RunCopy(ui::MainWindowLogic& logic, const Options& o, const Console& console, deploy::IRunEffects& effects) {
    if (o.newer) {
        logic.MoveAllBack();
        logic.MoveAllSourceNewer();
    }
    const deploy::CopyRunInputs in = logic.CopyRunInputsNow();
    ConsoleView view(console.out, o.dryRun ? "(모의) " : "");
    std::unique_ptr<deploy::DryRunEffects> dry;
    if (o.dryRun) {
        dry = std::make_unique<deploy::DryRunEffects>(
            effects, [&view](const deploy::DryRunAction& a) { view.Print(DryActionText(a)); });
        view.Print("아무것도 바꾸지 않고 복사 실행을 미리 봅니다. 핑 확인만 실제로 합니다.");
    }
    CliRunReport report(in, logic.SrcRootLength(), o.waitSeconds, view, dry.get());
    const deploy::CopyRunResult result =
        deploy::CopyRun(in, dry ? static_cast<deploy::IRunEffects&>(*dry) : effects, report);
    int flags = report.ExitFlags();
    if (!result.ran) console.out("복사 목록에 파일이 없습니다.");
    if (!o.reportFile.empty()) {
        const std::string csv = ReportCsv(report.Rows(), o.dryRun);
        // A file another program reads: whole or not at all.
        if (!platform::ReplaceFileContents(o.reportFile, o.reportFile + ".qvtmp", csv)) {
            console.err("결과 파일을 쓸 수 없습니다: " + o.reportFile);
            flags |= kExitFatal;
        }
    }
    return flags;
}

// The window's lines of a package build, tallied for the exit code.
class PackageReport : public ui::PackageProgress {
public:
    explicit PackageReport(ui::IProgressView& view) : ui::PackageProgress(view) {}
    void Copied(const std::string& source, const std::string& destination) override {
        ui::PackageProgress::Copied(source, destination);
        flags |= kExitCopied;
    }
    void CopyFailed(const std::string& source, const std::string& destination, uint32_t error) override {
        ui::PackageProgress::CopyFailed(source, destination, error);
        flags |= kExitFileFailed;
    }
    void ScriptFailed(const std::string& path) override {
        ui::PackageProgress::ScriptFailed(path);
        flags |= kExitFileFailed;
    }
    int flags = 0;
};

// The update package of the window's button, from the same refresh.
int RunPackage(ui::MainWindowLogic& logic, const Console& console) {
    ConsoleView view(console.out, "");
    PackageReport report(view);
    package::RealPackageEffects effects;
    const package::PackageResult result = package::BuildUpdatePackage(logic.PackageInputsNow(), effects, report);
    if (!result.ran) {
        console.out("복사 목록에 파일이 없습니다.");
        return kExitNothingToCopy;
    }
    console.out("패키지 폴더: " + result.packageFolder);
    return report.flags;
}

}  // namespace

std::string DefaultSettingsFile(const std::string& exePath) {
    const size_t sep = exePath.find_last_of("\\/");
    return (sep == std::string::npos ? std::string() : exePath.substr(0, sep + 1)) + "Quorvel.ini";
}

int Main(const std::vector<std::string>& args, const Console& console, const std::string& exePath,
         deploy::IRunEffects& effects) {
    const ParsedArgs parsed = ParseArgs(args);
    if (!parsed.ok) {
        console.err("qvDeploy: " + parsed.error);
        std::string usage = UsageText();
        for (size_t start = 0, end; start < usage.size(); start = end + 1) {
            end = usage.find('\n', start);
            if (end == std::string::npos) end = usage.size();
            console.err(usage.substr(start, end - start));
        }
        return kExitFatal;
    }
    const Options& o = parsed.options;
    if (o.command == Command::Help) {
        std::string usage = UsageText();
        for (size_t start = 0, end; start < usage.size(); start = end + 1) {
            end = usage.find('\n', start);
            if (end == std::string::npos) end = usage.size();
            console.out(usage.substr(start, end - start));
        }
        return 0;
    }
    const std::string settings = o.settingsFile.empty() ? DefaultSettingsFile(exePath) : o.settingsFile;
    // The window starts with its defaults when the file is missing; an
    // unattended run must not deploy whatever those defaults point at.
    if (!platform::ReadWholeFile(settings)) {
        console.err("qvDeploy: 설정 파일을 읽을 수 없습니다: " + settings);
        return kExitFatal;
    }
    ui::HeadlessControls controls;
    ui::MainWindowLogic logic(controls, settings);
    logic.StartUp();

    const std::string sourceText = controls.GetText(ui::kIdSourceFolder);
    const std::string sourceFolder = SplitSearchPath(ui::WithDefaultPattern(sourceText), false).folder;
    std::string folder = sourceFolder;
    while (folder.size() > 3 && (folder.back() == '\\' || folder.back() == '/')) folder.pop_back();
    if (sourceText.empty() || !platform::PathExists(folder)) {
        console.err("qvDeploy: 원본 폴더가 없습니다: " + (sourceText.empty() ? std::string("(설정 없음)") : sourceText));
        return kExitFatal;
    }
    if (logic.Mode() == OperationMode::Network) {
        TargetRange start;
        start.startAddress = WithBackslashes(controls.GetText(ui::kIdStartAddress));
        if (!start.HasValidStart()) {
            console.err("qvDeploy: 네트워크 시작 주소가 \\\\a.b.c.d 형식이 아닙니다: " + start.startAddress);
            return kExitFatal;
        }
    }

    int flags = 0;
    logic.Refresh();
    // The only box a refresh shows: the first PC did not answer, and the
    // comparison had no target to compare with.
    for (const auto& m : controls.messages) {
        console.err("qvDeploy: " + OneLine(m.text));
        flags |= kExitPcNotAnswering;
    }
    if (o.command == Command::Compare) {
        PrintCompare(logic, o.csv, console.out);
        return flags;
    }
    if (o.command == Command::Package) return flags | RunPackage(logic, console);
    return flags | RunCopy(logic, o, console, effects);
}

}  // namespace cli
