// The About dialog as designed: geometry in twips, texts and tab order.
#include "assets/resource_ids.h"
#include "notes/about/frm_about.h"

namespace notes {
namespace {

using plat::ControlDesign;
using plat::ControlKind;

constexpr std::uint32_t kBlack = 0x000000;
constexpr std::uint32_t kLightGrey = 0xC0C0C0;
constexpr std::uint32_t kGrey = 0x808080;
constexpr std::uint32_t kWhite = 0xFFFFFF;

constexpr wchar_t kDescription[] = L"Quibbets allows you to keep those important messages and notes just a click away.";
constexpr wchar_t kDisclaimer[] =
    L"Your notes are kept as plain text files beside the program, where anyone who can open that folder "
    L"can read them. Keep passwords and other secrets elsewhere.";

ControlDesign label(int id, plat::Rect r, std::wstring text, int tabIndex) {
    ControlDesign c;
    c.id = id;
    c.kind = ControlKind::Label;
    c.rect = r;
    c.text = std::move(text);
    c.tabIndex = tabIndex;
    c.foreColor = kBlack;
    return c;
}

ControlDesign button(int id, plat::Rect r, std::wstring text, int tabIndex) {
    ControlDesign c = label(id, r, std::move(text), tabIndex);
    c.kind = ControlKind::Button;
    return c;
}

ControlDesign line(int id, float x1, float x2, float y, std::uint32_t colour, int width) {
    ControlDesign c;
    c.id = id;
    c.kind = ControlKind::Line;
    c.rect = {x1, y, x2 - x1, 0};
    c.foreColor = colour;
    c.lineWidth = width;
    return c;
}

}  // namespace

plat::FormDesign frmAboutDesign() {
    plat::FormDesign design;
    design.caption = kAboutCaption;
    design.clientWidth = 5895;
    design.clientHeight = 3375;
    design.iconResource = kIconResource;
    design.border = plat::BorderStyle::FixedDialog;
    design.showInTaskbar = false;

    ControlDesign icon = label(picIcon, {240, 240, 540, 540}, L"", 2);
    icon.kind = ControlKind::Icon;
    icon.backColor = kLightGrey;
    ControlDesign ok = button(cmdOK, {4560, 2280, 1260, 345}, L"OK", 0);
    ok.isDefault = true;
    ok.isCancel = true;
    // The lines are drawn in this order: the wide white one first, the grey one over
    // its upper half, which makes the rule look etched.
    design.controls = {
        icon,
        label(lblTitle, {1050, 240, 4125, 480}, L"", 5),
        label(lblVersion, {1050, 780, 3885, 225}, L"", 4),
        label(lblDescription, {1050, 1200, 4125, 450}, kDescription, 6),
        line(Line1White, 240, 5450, 1920, kWhite, 2),
        line(Line1Grey, 240, 5465, 1920, kGrey, 1),
        label(lblDisclaimer, {240, 2160, 3855, 1035}, kDisclaimer, 3),
        ok,
        button(cmdSysInfo, {4560, 2760, 1245, 345}, L"&System Info...", 1),
    };
    return design;
}

}  // namespace notes
