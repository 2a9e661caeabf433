#include "cli/Args.h"

#include <cctype>

namespace cli {
namespace {

struct OptionSpec {
    const char* name;
    bool takesValue;
    // The commands it belongs to.
    bool compare, copy, package;
};

constexpr OptionSpec kOptions[] = {
    {"--settings", true, true, true, true},
    {"--csv", false, true, false, false},
    {"--newer", false, false, true, false},
    {"--dry-run", false, false, true, false},
    {"--wait", true, false, true, false},
    {"--report", true, false, true, false},
};

const OptionSpec* FindOption(const std::string& name) {
    for (const OptionSpec& o : kOptions)
        if (name == o.name) return &o;
    return nullptr;
}

Command CommandNamed(const std::string& word) {
    if (word == "compare") return Command::Compare;
    if (word == "copy") return Command::Copy;
    if (word == "package") return Command::Package;
    return Command::None;
}

// Whole seconds, digits only: "5s", "-1" or "1e3" is a mistake worth
// telling rather than a value to guess at.
bool ParseSeconds(const std::string& text, int& out) {
    if (text.empty() || text.size() > 6) return false;
    long v = 0;
    for (char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
        v = v * 10 + (c - '0');
    }
    if (v > kMaxWaitSeconds) return false;
    out = int(v);
    return true;
}

ParsedArgs Fail(std::string why) {
    ParsedArgs p;
    p.error = std::move(why);
    return p;
}

}  // namespace

ParsedArgs ParseArgs(const std::vector<std::string>& args) {
    ParsedArgs p;
    Options& o = p.options;
    std::vector<const OptionSpec*> given;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h" || a == "/?") {
            o.command = Command::Help;
            p.ok = true;
            return p;
        }
        if (a.size() > 1 && a[0] == '-') {
            const size_t eq = a.find('=');
            const std::string name = a.substr(0, eq);
            const OptionSpec* spec = FindOption(name);
            if (!spec) return Fail("알 수 없는 옵션: " + a);
            std::string value;
            if (spec->takesValue) {
                if (eq != std::string::npos)
                    value = a.substr(eq + 1);
                // "--wait --settings x.ini" lacks the value; taking the next
                // option as one would hide that (--opt=--x still passes one).
                else if (i + 1 < args.size() && args[i + 1].rfind("--", 0) != 0)
                    value = args[++i];
                else
                    return Fail(name + " 옵션에 값이 없습니다");
                if (value.empty()) return Fail(name + " 옵션에 값이 없습니다");
            } else if (eq != std::string::npos) {
                return Fail(name + " 옵션은 값을 받지 않습니다");
            }
            given.push_back(spec);
            if (name == "--settings") o.settingsFile = value;
            if (name == "--csv") o.csv = true;
            if (name == "--newer") o.newer = true;
            if (name == "--dry-run") o.dryRun = true;
            if (name == "--report") o.reportFile = value;
            if (name == "--wait" && !ParseSeconds(value, o.waitSeconds))
                return Fail("--wait 값은 0부터 86400까지의 초입니다: " + value);
            continue;
        }
        if (o.command != Command::None) return Fail("명령은 하나만 줄 수 있습니다: " + a);
        o.command = CommandNamed(a);
        if (o.command == Command::None) return Fail("알 수 없는 명령: " + a);
    }
    if (o.command == Command::None) return Fail("명령이 없습니다");
    for (const OptionSpec* spec : given) {
        const bool fits = (o.command == Command::Compare && spec->compare) ||
                          (o.command == Command::Copy && spec->copy) ||
                          (o.command == Command::Package && spec->package);
        if (!fits) return Fail(std::string(spec->name) + " 옵션은 이 명령에 쓸 수 없습니다");
    }
    p.ok = true;
    return p;
}

std::string UsageText() {
    return "사용법: qvDeploy <명령> [옵션]\n"
           "\n"
           "명령:\n"
           "  compare             새로고침(F5)처럼 비교하고 모든 파일의 비교결과를 출력\n"
           "  copy                저장된 복사 목록(COPYFILES)을 복사 (창의 복사 실행과 같음)\n"
           "  package             복사 목록으로 업데이트 패키지 생성 (창의 패키지 버튼과 같음)\n"
           "\n"
           "옵션:\n"
           "  --settings FILE     설정 파일 (기본: 프로그램 폴더의 Quorvel.ini)\n"
           "  --csv               compare: CSV 형식으로 출력\n"
           "  --newer             copy: 저장된 목록 대신 원본최신 파일 모두 복사\n"
           "  --dry-run           copy: 아무것도 바꾸지 않고 수행될 일을 출력 (핑 확인만 실제로 수행)\n"
           "  --wait SECONDS      copy: 프로그램 종료 명령 수행완료 대기 최대 시간 (기본 30초)\n"
           "  --report FILE       copy: PC별, 파일별 결과를 CSV로 기록\n"
           "\n"
           "종료 코드 (비트 합): 0 복사할 파일 없음, 1 복사됨, 2 응답 없는 PC, 4 파일 실패,\n"
           "  8 대기 중단 또는 종료 명령 실패, 16 치명적 오류 (설정 파일, 원본 폴더, 잘못된 인수)\n";
}

}  // namespace cli
