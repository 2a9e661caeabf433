#pragma once
// The package builder's events as the progress window's lines: the one place
// where the build's Korean texts are made.
#include <string>

#include "package/PackageBuilder.h"
#include "ui/ProgressView.h"

namespace ui {

class PackageProgress : public package::IPackageReport {
public:
    explicit PackageProgress(IProgressView& view) : view_(view) {}

    void Shown() override;
    void BuildBegun() override;
    void FolderReady(const std::string& packageFolder) override;
    void Copied(const std::string& source, const std::string& destination) override;
    void CopyFailed(const std::string& source, const std::string& destination, uint32_t error) override;
    void ScriptFailed(const std::string& path) override;
    void Summary(int successes, int failures) override;
    void AutoHide() override;

private:
    void Line(const std::string& text) { view_.AddLine(text, 1); }

    IProgressView& view_;
};

}  // namespace ui
