// The headless backend: a real desktop without a display. A fixed screen (15 twips
// per pixel, 1280 x 1024 pixels), message-box answers queued by the test, a printer
// that records what it was given, settings in memory, and real files on disk with
// injectable write faults. Forms raise the same events as on a real desktop.
#pragma once

#include <functional>
#include <map>
#include <optional>

#include "platform/forms/form_model.h"
#include "platform/platform.h"
#include "platform/services/form.h"
#include "platform/services/geometry.h"
#include "platform/services/help.h"
#include "platform/services/notify_record.h"
#include "platform/services/registry.h"
#include "platform/services/shell.h"

namespace plat::headless {

class HeadlessForm;

// One line drawn by a print job, and one finished document.
struct PrintedLine {
    int sheet = 0;  // 0 for the first sheet
    float x = 0;
    float y = 0;
    std::wstring text;
};
struct PrintedDocument {
    std::wstring name;
    std::vector<PrintedLine> lines;
    int sheets = 1;
    bool ended = false;
    bool aborted = false;
    float fontPoints = 0;  // the last type size asked for; 0: the device's own
};

// What the last setWindowPos was given.
struct WindowPosCall {
    ZOrder z = ZOrder::NoTopMost;
    int x = 0, y = 0, cx = 0, cy = 0;
};

class HeadlessPlatform : public Platform {
public:
    // `appFolder` is a real folder on disk: the program's folder for page files.
    explicit HeadlessPlatform(std::wstring appFolder);
    ~HeadlessPlatform() override;

    // --- Platform ---
    void createAppWindow(std::wstring_view title, AppWindowEvents& events) override;
    std::unique_ptr<Form> createForm(const FormDesign& design, FormEvents& events) override;
    void setWindowPos(Form& form, ZOrder z, int x, int y, int cx, int cy) override;
    int run() override;
    void wait(int milliseconds) override;
    void pause(int milliseconds) override;  // counted with the waits; returns at once

    // --- Test side: message boxes ---
    // Queues the answer to the next message box; `whileOpen` runs while that box is
    // open, before it is answered (a close request arriving meanwhile, say).
    void queueAnswer(MsgAnswer answer, std::function<void()> whileOpen = {});
    // Every box shown so far, in order.
    const std::vector<MessageBoxRequest>& messageBoxes() const;
    // Called when a box appears with no queued answer (the box then answers with
    // its default button). Tests install a handler that fails the test.
    void onUnexpectedBox(std::function<void(const MessageBoxRequest&)> handler);
    std::size_t queuedAnswers() const;
    // Called when the platform goes while queued answers, modal actions or pop-up
    // choices are left unused: a test whose box or dialog never appeared. Tests
    // install a handler that fails the test.
    void onUnusedScript(std::function<void(const std::string& what)> handler);

    // --- Test side: settings ("app\section\key" -> value) ---
    std::map<std::wstring, std::wstring>& storedSettings();
    // Makes every Settings::saveAll fail from now on (or succeed again); it then
    // stores nothing.
    void failSettingWrites(bool fail);
    // How many writes of the settings store were made so far, failed ones too.
    int settingWrites() const;

    // --- Test side: files ---
    // writeFileAtomic of a path whose file name equals `name` fails with `error`;
    // an empty name makes every write fail. The old file stays as it was.
    void failWrites(std::wstring name, std::wstring error);
    void clearWriteFaults();
    // writeFileAtomic of a file named `name` ("" = every file) throws std::bad_alloc,
    // as it would with no memory left; clearWriteFaults ends it.
    void throwOnWrites(std::wstring name);
    // readFile of a path whose file name equals `name` fails with `error` (an empty
    // name: every read); the file itself is left as it is.
    void failReads(std::wstring name, std::wstring error);
    void clearReadFaults();
    // The flush of a folder's entries fails from now on (as on a failing disk), after
    // the write it follows has put its file in place.
    void failFolderFlushes(bool fail);
    // Number of writeFileAtomic calls that reached the disk, per file name.
    int writeCount(std::wstring_view name) const;

    // --- Test side: printer ---
    void setPrinterAvailable(bool available);
    // Makes the next job's drawText fail after `lines` lines with `error`.
    void failPrintingAfter(int lines, std::wstring error);
    const std::vector<PrintedDocument>& printed() const;
    // Printable area of a sheet and character metrics: every character is
    // `charWidth` twips wide, lines are `lineHeight` twips apart.
    void setPaper(Rect printable, float charWidth, float lineHeight);

    // Marks a file as hidden, so that isOrdinaryFile is false for it.
    void markHidden(std::wstring path);

    // --- Test side: screen ---
    void setWorkAreas(std::vector<Rect> areas);

    // --- Test side: forms and the application window ---
    // Loaded forms in load order.
    HeadlessForm& form(int index);
    bool appWindowExists() const;
    std::wstring appWindowTitle() const;
    void sendAppClose();
    bool queryEndSession();
    // The session ends: the application window, then every loaded form, hears of it.
    void endSession();
    const std::optional<WindowPosCall>& lastWindowPos() const;

    // --- Test side: notification area ---
    struct NotifyCall {
        NotifyOp op = NotifyOp::Add;
        NotifyRecord record;
        bool accepted = false;
    };
    const std::vector<NotifyCall>& notifyCalls() const;
    // The next `count` adds fail, as they do while the shell is not ready yet.
    void failNotifyAdds(int count);
    // Icons now in the notification area.
    int iconCount() const;
    // Empties the notification area, as a restarting shell does.
    void restartShell();

    // --- Test side: programs and windows ---
    // The user's data folder, where it is not the program's folder (it need not exist).
    void setDataFolder(std::wstring folder);
    // The desktop's system-information program that findSystemInfoTool finds.
    void setSystemInfoTool(std::wstring path);
    const std::vector<std::wstring>& startedPrograms() const;
    // startProgram fails with `error` from now on; an empty error makes it succeed again.
    void failProgramStarts(std::wstring error);
    // A top-level window of another program, found by findWindow.
    NativeHandle addWindow(std::wstring title, std::wstring windowClass = {});
    void removeWindow(NativeHandle window);
    // The windows asked to close by Shell::requestClose, in order.
    const std::vector<NativeHandle>& closeRequests() const;
    // Runs when a window is asked to close (a window that closes at once, for example).
    void onCloseRequest(std::function<void(NativeHandle window)> handler);
    int waitedMilliseconds() const;

    // --- Test side: timers ---
    // Moves the clock on by `milliseconds`, firing every timer that falls due on the
    // way, in the order they fall due (a wait does the same).
    void advanceClock(int milliseconds);
    // Timers started and not yet fired or stopped.
    int runningTimers() const;
    // Pieces of background work run so far.
    int backgroundTasks() const;

    // --- Test side: folder watches ---
    // Another program changed files in `folder`: each watch of that folder is called
    // now, as the desktop would call it once the program handles its events.
    void changeFolder(std::wstring_view folder);
    // Watches made and not yet ended.
    int folderWatches() const;

    // --- Test side: modal forms ---
    // Runs, in order, when a form is shown modally: the action plays the user (clicks
    // a button, say). A form still open after its action is reported to the handler
    // of onUnexpectedModal and then unloaded, so that showModal always returns.
    void queueModalAction(std::function<void(HeadlessForm&)> action);
    void onUnexpectedModal(std::function<void(HeadlessForm&)> handler);
    std::size_t queuedModalActions() const;

    // --- Test side: clipboard ---
    // The clipboard's text; nullopt when it holds no text.
    std::optional<std::wstring>& clipboardContent();
    // Another program holds the clipboard for the next `attempts` opens (-1: until
    // released with 0).
    void holdClipboard(int attempts);
    int clipboardOpens() const;

    // --- Test side: registry ---
    // Creates the machine key `path` (and the value, when `name` is given) with the raw
    // `data` bytes.
    void setRegistryValue(std::string path, std::string name, RegValueKind kind, std::string data);
    void addRegistryKey(std::string path);
    // Opening the key fails from now on, as for a user who may not read it.
    void denyRegistryKey(std::string path);
    // Keys opened and not closed yet.
    int openRegistryKeys() const;
    // The paths of the keys opened, in order, in lower case.
    const std::vector<std::string>& registryOpens() const;

    // --- Test side: help engine ---
    void setHelpFile(std::wstring path);
    struct HelpCall {
        NativeHandle owner = 0;
        std::wstring file;
        HelpCommand command = HelpCommand::Contents;
    };
    const std::vector<HelpCall>& helpCalls() const;
    // The help engine cannot be reached: Help::show fails with `error` (empty: works).
    void failHelp(std::wstring error);

    // --- Test side: pop-up menus ---
    // The entry chosen in the next pop-up menu; 0 dismisses it.
    void queuePopupChoice(int id);
    // Runs while the next pop-up menu is open (before the choice is made).
    void duringPopup(std::function<void()> action);
    // The drop-downs shown as pop-up menus, in order.
    const std::vector<int>& popups() const;

    struct State;  // everything the backend holds, shared with its forms

protected:
    MsgAnswer showMessageBox(const MessageBoxRequest& request) override;

private:
    struct ServiceSet;  // one object per service, on m_state

    std::unique_ptr<State> m_state;
    std::unique_ptr<ServiceSet> m_services;
};

// A form of the headless desktop. The test drives it as a user would; each action
// reaches the same model as a real window's input does.
class HeadlessForm : public FormModel {
public:
    // Chooses a menu entry as a click would: nothing happens (false) when the entry or
    // one of its parents is disabled or hidden. Opening a drop-down raises onMenuOpen
    // of each parent first, as a real menu does.
    virtual bool clickMenu(int id) = 0;
    // Presses Ctrl+key: finds the entry with that shortcut; raises onMenuOpen of its
    // drop-down first, then the click if the entry is enabled and visible.
    virtual bool pressShortcut(Shortcut shortcut) = 0;
    // A menu command that another program sends to the window: no drop-down opens,
    // and the entry's state decides, as for every other way in. True when it acted.
    virtual bool receiveCommand(int id) = 0;
    // Opens the drop-down `id` without choosing anything.
    virtual void openMenu(int id) = 0;
    // The window's own close command.
    virtual void requestClose() = 0;
    // The user comes back to the window (a click on it, Alt+Tab).
    virtual void activate() = 0;
    // The user drags or sizes the window (raises onResize when the size changes).
    virtual void userSetBounds(const Rect& r) = 0;
    // Minimize, maximize, restore (raises onResize).
    virtual void setWindowState(WindowState state) = 0;
    virtual bool visible() const = 0;
    // Current menu tree with enabled and visible states.
    virtual std::vector<MenuItem> menuBar() const = 0;
    // Types text into the editor at `index` as a user would (replaces the selection).
    virtual void type(int index, std::wstring_view text) = 0;
    // How often the whole text of the editor at `index` has been read.
    virtual int textReads(int index) const = 0;
    // A mouse message numbered `code` reached the picture box (as the notification
    // area reports mouse events on an icon): raises onPictureMouseMove with x in twips.
    virtual void notifyPicture(int code) = 0;
    // The shell broadcast "TaskbarCreated".
    virtual void broadcastTaskbarCreated() = 0;
    // Clicks a button of the design; false when there is none or the form is not loaded.
    virtual bool clickButton(int id) = 0;
    // Enter and Esc: press the default or the cancel button.
    virtual bool pressEnter() = 0;
    virtual bool pressEscape() = 0;
    // False while a modal form is shown over this one: it then takes no input, and
    // clickMenu, pressShortcut and requestClose do nothing.
    virtual bool enabled() const = 0;
    // The window that owns this form while it is shown modally, 0 otherwise.
    virtual NativeHandle modalOwner() const = 0;

protected:
    using FormModel::FormModel;
};

}  // namespace plat::headless
