#include "ui/PackageProgress.h"

namespace ui {

void PackageProgress::Shown() { view_.ShowForRun(); }

void PackageProgress::BuildBegun() { Line("복사 실행"); }

// The open-folder button opens the package in the file explorer.
void PackageProgress::FolderReady(const std::string& packageFolder) { view_.SetOpenFolder(packageFolder); }

// The paths are put in as they stand: they may hold any byte, '%' included.
void PackageProgress::Copied(const std::string& source, const std::string& destination) {
    Line("복사완료 " + source + " -> " + destination);
}

void PackageProgress::CopyFailed(const std::string& source, const std::string& destination, uint32_t) {
    Line("복사실패 " + source + " -> " + destination);
}

void PackageProgress::ScriptFailed(const std::string& path) { Line("배치파일 생성 실패 : " + path); }

void PackageProgress::Summary(int successes, int failures) {
    Line("인스톨용 파일 복사 완료(성공:" + std::to_string(successes) + ", 실패:" + std::to_string(failures) + ")");
}

void PackageProgress::AutoHide() { view_.StartAutoHide(); }

}  // namespace ui
