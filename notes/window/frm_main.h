// The notes window: ten page editors, one shown at a time, with the File, Edit,
// Go and Help menus and the "<" and ">" page steps.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "assets/resource_ids.h"
#include "notes/pagestore/page_files.h"
#include "notes/window/file_follower.h"
#include "notes/window/page_editor.h"
#include "notes/window/unsaved_copies.h"
#include "platform/platform.h"
#include "platform/services/form.h"
#include "platform/services/help.h"
#include "platform/services/status.h"

namespace notes {

inline constexpr wchar_t kCaptionPrefix[] = L"Quibbet - Page ";
inline constexpr std::uint32_t kNoteColour = 65535;  // yellow, 0x00BBGGRR

class FrmMain : public plat::FormEvents, public plat::AppWindowEvents, public PageSet {
public:
    explicit FrmMain(plat::Platform& platform);
    ~FrmMain() override;
    FrmMain(const FrmMain&) = delete;
    FrmMain& operator=(const FrmMain&) = delete;

    plat::Platform& platform() override { return m_platform; }
    plat::Form& form() { return *m_form; }
    PageEditor& rtbNote(int index) { return *m_editors[static_cast<std::size_t>(index)]; }
    // What each page held at its last load or save, for Save to compare with.
    PageBaselines& baselines() { return m_baselines; }
    // PageSet: the pages as the page store sees them.
    PageText& page(int index) override { return rtbNote(index); }
    PageBaseline& baseline(int index) override { return m_baselines[static_cast<std::size_t>(index)]; }
    // The page last shown (0 until one is): the page that Edit and Print act on.
    int currentPage() const { return m_currentPage; }

    // Load, layout and unload.
    void Form_Load();
    void Form_Resize();
    void Form_Unload(std::int16_t& cancel);

    // Page navigation.
    void ShowPage(std::int16_t k);
    void mnuNext_Click();
    void mnuPrev_Click();

    // File commands.
    void mnuFileSave_Click();
    void mnuFilePrint_Click();
    void mnuFileExit_Click();
    void mnuFileExitNoSave_Click();

    // Edit commands: a one-level undo snapshot, the plain-text clipboard, Clear All.
    void mnuEdit_Click();
    void mnuEditUndo_Click();
    void mnuEditCut_Click();
    void mnuEditCopy_Click();
    void mnuEditPaste_Click();
    void mnuEditClear_Click();
    // The text that Undo puts back: the whole current page as it was before the last
    // Cut, Copy or Paste.
    const std::wstring& UndoText() const { return m_undoText; }

    // Help commands.
    void mnuHelpContents_Click();
    void mnuHelpSearch_Click();
    void mnuHelpAbout_Click();

    // Runs the work of one event: `couldNot` says what could not be done should it fail
    // ("The pages could not be saved"). Afterwards a close request that came while a
    // message box was open is carried out.
    void handleEvent(std::wstring_view couldNot, const std::function<void()>& work);
    // Carries out a close request held back while a message box was open, once none is.
    void carryOutPendingClose();

    // Start-up: puts back the unsaved text that windows now gone left, and says so.
    void recoverUnsaved();
    // Says, once the event under way is over, that page files read late (when their
    // pages were first needed) could not be read.
    void reportLateProblem(const PageProblem& problem);
    // Start-up: pages without unsaved edits follow their files from now on.
    void followPageFiles() { m_follower.watch(); }

    // Enables the Go entries of pages that hold text, disables those of empty pages,
    // or both (Save runs both passes, start-up only the second).
    void updateGoEntries(bool enableNonEmpty, bool disableEmpty);

    // plat::FormEvents
    void onLoad() override { Form_Load(); }
    void onResize() override { Form_Resize(); }
    void onUnload(std::int16_t& cancel) override { Form_Unload(cancel); }
    void onMenuClick(int id) override;
    void onMenuOpen(int id) override;
    void onCloseRequest(plat::CloseReason reason) override;
    void onTextChange(int index) override { m_copies.pageChanged(index); }
    // Coming back to the window looks at the page files too: some folders (on a
    // network) cannot be watched.
    void onActivate() override { m_follower.look(); }

    // plat::AppWindowEvents
    void onAppCloseRequest() override;
    bool onQueryEndSession() override;
    void onEndSession() override;

private:
    void runMenuCommand(int id);
    // Gives page `index` its file's text, the shown page keeping its caret.
    void followFile(int index);
    // Saves every changed page, and lets the recovery copies of saved pages go;
    // `warnings` as for SavePages.
    PageProblems savePages(PageProblems* warnings = nullptr);
    // Saves every page; on a failure asks whether to close anyway. True to go on.
    bool saveBeforeClosing();
    void setMenuEnabled(int id, bool enabled);
    int pageShown();
    void applyEditorLayout();
    // Cut and Copy: the selection to the clipboard, then (Cut) out of the page.
    void copySelection(bool cut);
    // Runs a clipboard operation, retrying while another program holds the clipboard.
    bool useClipboard(const std::function<plat::FileStatus()>& attempt, const wchar_t* verb);
    void armUndo(const std::wstring& pageText);
    void showHelp(plat::HelpCommand command);

    plat::Platform& m_platform;
    std::unique_ptr<plat::Form> m_form;
    std::vector<std::unique_ptr<PageEditor>> m_editors;
    PageBaselines m_baselines;
    std::wstring m_undoText;
    int m_currentPage = 0;
    PageProblems m_lateProblems;  // files read late that could not be read, not yet reported
    int m_lateTimer = 0;
    std::string m_saveRoom;        // the bytes of the last page saved, its memory kept for the next save
    int m_undoPage = 0;            // the page UndoText was taken from
    bool m_closePending = false;   // a close request came while a message box was open
    bool m_sessionEnding = false;  // the session ends: no one is there to answer a box
    bool m_unattended = false;     // a close no one watches: a save asks no question
    UnsavedCopies m_copies;        // these two last: they go first, while the editors exist
    FileFollower m_follower;
};

// The program-wide window reference, set while the notes program runs.
FrmMain* frmMain();
void setFrmMain(FrmMain* form);

// The notes program after start-up: its window and everything it owns.
struct NotesProgram {
    std::unique_ptr<FrmMain> window;
    ~NotesProgram();
};

// Save and load the pages of the program-wide window.
PageProblems SavePages();
PageProblems LoadPages();

// Start-up: creates and shows the window, loads the pages, sets the Go entries and
// puts the window on top. The program then runs on the window's events.
std::unique_ptr<NotesProgram> Main(plat::Platform& platform);

// Puts the form into (or out of) the topmost band at its current place.
void SetAlwaysOnTop(plat::Platform& platform, plat::Form& form, bool onTop);

}  // namespace notes
