// The window of the paint and start-up benchmarks: 1200x770 with about 300 controls
// (opaque fills, a nine-grid background with a soft shadow, card nine-grids with rounded
// corners, small icons, texts and borders), described by a skin in a zip archive.
#pragma once

#include <UIControl.h>
#include <WindowImplBase.h>

#include <string>

namespace BenchSkin {

const int kWidth = 1200, kHeight = 770;

// The archive's bytes: bench/window.xml and the images it names.
std::string MakeArchive();
// Makes the archive the process's skin source; the bytes must outlive the process's use.
void UseArchive(const std::string& archive);
int CountControls(HiveUI::CControlUI* control);

// Single-line text in the manager's default font, as a label paints it.
class Label : public HiveUI::CControlUI {
public:
    void PaintText(HDC hdc) override;
};

class Frame : public HiveUI::WindowImplBase {
public:
    const wchar_t* GetWindowClassName() const override { return L"TallyhiveBenchFrame"; }
    HiveUI::CUIString GetSkinFile() override { return L"bench\\window.xml"; }
    HiveUI::CControlUI* CreateControl(const wchar_t* className) override;
    // A popup of the skin's size at the screen's top-left corner, shown and painted once.
    HWND Open();
};

}  // namespace BenchSkin
