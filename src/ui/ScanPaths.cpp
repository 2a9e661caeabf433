#include "ui/ScanPaths.h"

#include "compare/PathUtil.h"
#include "control/TargetRange.h"

namespace ui {

std::string WithDefaultPattern(std::string text) {
    if (ExtensionPart(text).empty()) text += "/*.*";
    return text;
}

size_t ScanSource(CqvFileUtil& source, IControls& controls) {
    const std::string text = WithDefaultPattern(controls.GetText(kIdSourceFolder));
    source.SetExclusions(controls.GetText(kIdExclusions));
    source.ScanFolder(text, controls.GetCheck(kIdSubFolder));
    return source.rootFolder.size();
}

bool ScanTarget(CqvFileUtil& target, OperationMode mode, IControls& controls,
                size_t& tgtRootLength) {
    std::string text;
    if (mode == OperationMode::Local) {
        text = controls.GetText(kIdTargetFolder);
    } else {
        const std::string start = WithBackslashes(controls.GetText(kIdStartAddress));
        const std::string share = WithBackslashes(controls.GetText(kIdSharePath));
        controls.SetText(kIdStartAddress, start);
        controls.SetText(kIdSharePath, share);
        const std::string address = EchoAddress(start);
        qvPingICMP ping;
        if (ping.IsUnreachable(address)) {
            controls.MessageBox(address + "\r\n접속 불가 IP 입니다.", kMbOk);
            return false;
        }
        text = start + share;
    }
    target.ScanFolder(WithDefaultPattern(text), controls.GetCheck(kIdSubFolder));
    tgtRootLength = target.rootFolder.size();
    return true;
}

}  // namespace ui
