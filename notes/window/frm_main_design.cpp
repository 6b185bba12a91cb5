// The notes window as designed: its menu bar with captions, access keys and
// shortcuts, and ten yellow page editors.
#include "notes/window/frm_main_design.h"

#include "assets/resource_ids.h"
#include "notes/pagestore/page_files.h"
#include "notes/window/frm_main.h"
#include "notes/window/menu_ids.h"

#include <utility>
#include <vector>

namespace notes {
namespace {

using plat::MenuItem;
using plat::Shortcut;

MenuItem entry(int id, const wchar_t* caption, Shortcut shortcut = {}, bool enabled = true) {
    return MenuItem{id, caption, shortcut, enabled, true, {}, {}};
}

MenuItem separator(int id) {
    return entry(id, L"-");
}

MenuItem menu(int id, const wchar_t* caption, std::vector<MenuItem> items) {
    MenuItem top = entry(id, caption);
    top.items = std::move(items);
    return top;
}

MenuItem fileMenu() {
    return menu(
        mnuFile, L"&File",
        {entry(mnuFileSave, L"&Save", Shortcut::ctrl(L'S')), entry(mnuFilePrint, L"&Print...", Shortcut::ctrl(L'P')),
         entry(mnuFileExit, L"E&xit"), entry(mnuFileExitNoSave, L"Exit &Without Save")});
}

MenuItem editMenu() {
    return menu(mnuEdit, L"&Edit",
                {entry(mnuEditUndo, L"&Undo", Shortcut::ctrl(L'Z'), false), separator(mnuEditBar1),
                 entry(mnuEditCut, L"Cu&t", Shortcut::ctrl(L'X'), false),
                 entry(mnuEditCopy, L"&Copy", Shortcut::ctrl(L'C'), false),
                 entry(mnuEditPaste, L"&Paste", Shortcut::ctrl(L'V')), separator(mnuEditBar2),
                 entry(mnuEditClear, L"C&lear All")});
}

MenuItem goMenu() {
    MenuItem go = menu(mnuGo, L"&Go", {});
    for (int i = 0; i < 9; ++i) {
        go.items.push_back(entry(mnuGoOne + i, (L"Page &" + std::to_wstring(i + 1)).c_str(), Shortcut::ctrlF(i + 1)));
    }
    // Page 10 is Ctrl+F11: F10 alone belongs to the menu bar.
    go.items.push_back(entry(mnuGoTen, L"Page 1&0", Shortcut::ctrlF(11)));
    return go;
}

MenuItem helpMenu() {
    MenuItem contents = entry(mnuHelpContents, L"&Contents", {}, false);
    MenuItem search = entry(mnuHelpSearch, L"&Search For Help On...", {}, false);
    contents.visible = false;
    search.visible = false;
    return menu(mnuHelp, L"&Help", {contents, search, entry(mnuHelpAbout, L"&About Quibbets...")});
}

}  // namespace

plat::FormDesign frmMainDesign() {
    plat::FormDesign design;
    design.caption = std::wstring(kCaptionPrefix) + L"1";
    design.clientWidth = 3750;
    design.clientHeight = 2535;
    design.iconResource = kIconResource;
    MenuItem previous = entry(mnuPrev, L"&<");
    previous.accessibleName = L"Previous page";
    MenuItem next = entry(mnuNext, L"&>");
    next.accessibleName = L"Next page";
    design.menuBar = {fileMenu(), editMenu(), goMenu(), helpMenu(), previous, next};
    design.textBoxCount = kPageCount;
    design.textBoxRect = {0, 0, kEditorDesignWidth, kEditorDesignHeight};
    design.textBoxBackColor = kNoteColour;
    return design;
}

}  // namespace notes
