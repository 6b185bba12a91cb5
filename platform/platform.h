// The desktop layer: everything the notes program and the launcher need of the
// desktop goes through the interfaces here. Backends: win32 (the real one),
// headless (no display; the default for tests). No backend header leaks out.
#pragma once

#include <chrono>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace plat {

// Geometry is in twips (1/1440 inch), held as single-precision numbers.
struct Rect {
    float left = 0;
    float top = 0;
    float width = 0;
    float height = 0;
};

// An opaque native window handle (HWND on Windows), 0 when there is none.
using NativeHandle = std::uintptr_t;

enum class WindowState { Normal = 0, Minimized = 1, Maximized = 2 };

// Key of a menu shortcut: Ctrl plus a letter ('A'..'Z') or a function key.
struct Shortcut {
    enum class Key : std::uint8_t { None, Letter, F };
    Key key = Key::None;
    wchar_t letter = 0;  // for Letter
    int function = 0;    // 1..12 for F
    static Shortcut ctrl(wchar_t c) { return {Key::Letter, c, 0}; }
    static Shortcut ctrlF(int n) { return {Key::F, 0, n}; }
    bool operator==(const Shortcut&) const = default;
};

// One entry of a menu tree. A caption of "-" is a separator. An entry with
// children is a drop-down; a top-level entry without children acts when clicked.
struct MenuItem {
    int id = 0;
    std::wstring caption;
    Shortcut shortcut;
    bool enabled = true;
    bool visible = true;
    std::vector<MenuItem> items;
};

// Kinds of the fixed controls of a dialog form.
enum class ControlKind {
    Label,   // static text, wrapped within its box
    Button,  // push button; raises onButtonClick
    Icon,    // the form's icon drawn in a box of its own background colour
    Line,    // a straight line; rect holds its start (left, top) and extent (width, height)
};

// One control of a dialog form. Geometry in twips, relative to the client area.
struct ControlDesign {
    int id = 0;
    ControlKind kind = ControlKind::Label;
    Rect rect;
    std::wstring text;            // label or button text, with & for an access key
    int tabIndex = -1;            // focus order among the controls; -1: none
    std::uint32_t foreColor = 0;  // text or line colour, 0x00BBGGRR
    std::uint32_t backColor = 0;  // background of an Icon box, 0x00BBGGRR
    int lineWidth = 1;            // pixels, for a Line
    bool isDefault = false;       // Enter presses this button
    bool isCancel = false;        // Esc presses this button
};

enum class BorderStyle {
    Sizable,      // frame that can be sized, minimize and maximize buttons
    FixedDialog,  // fixed dialog frame, no minimize or maximize button
};

// Design of a form: its caption, icon, client size, menu bar and editors.
struct FormDesign {
    std::wstring caption;
    float clientWidth = 0;  // design client area, twips
    float clientHeight = 0;
    int iconResource = 0;  // resource id of the icon, 0 for none
    std::vector<MenuItem> menuBar;
    int textBoxCount = 0;                       // multi-line plain editors, indexed 0..n-1
    std::uint32_t textBoxBackColor = 0xFFFFFF;  // colour word 0x00BBGGRR
    // A picture box whose window receives mouse messages (the launcher's icon hook);
    // zero size for none.
    Rect pictureBox;
    BorderStyle border = BorderStyle::Sizable;
    bool showInTaskbar = true;
    std::vector<ControlDesign> controls;  // a dialog's labels, buttons, icon and lines
    Rect textBoxRect;                     // where each editor is created, client twips
};

// Why a form is asked to close.
enum class CloseReason {
    User,       // the window's own close command (title-bar button, system menu, Alt+F4)
    AppWindow,  // a close request that reached the hidden application window
};

// The events a form raises; a form's owner implements them. An exception thrown out of
// one is caught by the backend and handed to Platform::reportFailure.
class FormEvents {
public:
    virtual ~FormEvents() = default;
    // First show: runs to its end before the window becomes visible.
    virtual void onLoad() {}
    // After every change of size or window state, and once when first shown.
    virtual void onResize() {}
    // The form is being unloaded; the handler may set cancel (never done here).
    virtual void onUnload(std::int16_t& cancel) { (void)cancel; }
    // A menu entry (or its enabled shortcut) was chosen.
    virtual void onMenuClick(int id) { (void)id; }
    // The drop-down of menu `id` is about to open.
    virtual void onMenuOpen(int id) { (void)id; }
    // The user or the system asks the form to close; the default is to unload it.
    // The handler decides: it calls Form::unload() or leaves the form open.
    virtual void onCloseRequest(CloseReason reason) = 0;
    // A mouse-move message reached the picture box: x and y in twips (the message's
    // low and high words times twips per pixel), button and shift as the message says.
    virtual void onPictureMouseMove(int button, int shift, float x, float y) {
        (void)button, (void)shift, (void)x, (void)y;
    }
    // The shell (taskbar) was started again: notification icons must be added anew.
    virtual void onTaskbarCreated() {}
    // A button was clicked, or pressed by Enter (the default button) or Esc (the
    // cancel button).
    virtual void onButtonClick(int id) { (void)id; }
    // The user's session ends now; the process ends after this (a hidden form of a
    // program without an application window hears of it here).
    virtual void onSessionEnd() {}
};

// A multi-line plain text box: vertical scroll bar, long lines wrap.
class TextBox {
public:
    virtual ~TextBox() = default;
    virtual std::wstring text() const = 0;
    // Replaces the whole text; clears the changed flag.
    virtual void setText(std::wstring_view text) = 0;
    // Number of UTF-16 units of the text, without reading it.
    virtual std::size_t textLength() const = 0;
    // Hands the text to `reader` in place, without a copy where the desktop allows.
    // The view is valid only during the call.
    virtual void readText(const std::function<void(std::wstring_view)>& reader) const = 0;
    // The changed flag: set when the user (or setSelText) changes the text.
    virtual bool modified() const = 0;
    virtual void setModified(bool modified) = 0;
    // Selected text; writing replaces the selection, or inserts at the caret.
    virtual std::wstring selText() const = 0;
    // Sets the changed flag.
    virtual void setSelText(std::wstring_view text) = 0;
    virtual int selStart() const = 0;
    virtual int selLength() const = 0;
    virtual void select(int start, int length) = 0;
    virtual bool visible() const = 0;
    virtual void setVisible(bool visible) = 0;
    // Geometry relative to the form's client area, twips. A negative size is not applied.
    virtual Rect geometry() const = 0;
    // Moves and sizes the box in one step (a multi-line box lays out its text anew on
    // every change of size).
    virtual void setGeometry(const Rect& r) = 0;
    virtual void setLeft(float v) = 0;
    virtual void setTop(float v) = 0;
    virtual void setWidth(float v) = 0;
    virtual void setHeight(float v) = 0;
    virtual std::uint32_t backColor() const = 0;
    virtual void setBackColor(std::uint32_t colour) = 0;
    virtual void setFocus() = 0;
};

// A top-level window with a menu bar and text boxes.
class Form {
public:
    virtual ~Form() = default;
    // Loads the form without showing it (raising onLoad once).
    virtual void load() = 0;
    // Loads the form on the first call (raising onLoad), then shows it modeless.
    virtual void show() = 0;
    // Loads the form if need be and shows it modally over `owner`, which takes no
    // input meanwhile. Returns when the form has been unloaded.
    virtual void showModal(Form& owner) = 0;
    // Runs onUnload, destroys the window and removes the form from the open forms.
    virtual void unload() = 0;
    virtual bool loaded() const = 0;
    virtual std::wstring caption() const = 0;
    virtual void setCaption(std::wstring_view caption) = 0;
    // Outer bounds (frame, caption and menu bar included), twips.
    virtual Rect bounds() const = 0;
    virtual void setBounds(const Rect& r) = 0;
    // Size of the client area (inside frame, caption and menu bar), twips; empty while
    // the window is minimized.
    virtual Rect clientArea() const = 0;
    virtual WindowState windowState() const = 0;
    // The form's own background, in the desktop's colour encoding (system colours
    // carry the high bit, 0x80000000 | index).
    virtual std::uint32_t backColor() const = 0;
    // Free text owned by the form.
    virtual std::wstring tag() const = 0;
    virtual void setTag(std::wstring_view tag) = 0;
    virtual NativeHandle handle() const = 0;
    virtual TextBox& textBox(int index) = 0;
    virtual bool menuEnabled(int id) const = 0;
    virtual void setMenuEnabled(int id, bool enabled) = 0;
    virtual bool menuVisible(int id) const = 0;
    virtual std::wstring menuCaption(int id) const = 0;
    // Window of the picture box, and the form's icon (native handles).
    virtual NativeHandle pictureHandle() const = 0;
    virtual NativeHandle iconHandle() const = 0;
    // Text of a label or button of the design.
    virtual std::wstring controlText(int id) const = 0;
    virtual void setControlText(int id, std::wstring_view text) = 0;
    // Shows drop-down `id` (also a hidden one) as a pop-up menu at the pointer, the form
    // made foreground first so that the menu closes when the user clicks elsewhere.
    // Returns when the menu has closed; a chosen entry's onMenuClick has run by then.
    virtual void popupMenu(int id) = 0;
};

// Operations on a notification-area icon.
enum class NotifyOp { Add = 0, Modify = 1, Delete = 2 };

// Where a window goes in the z-order when placed with setWindowPos.
enum class ZOrder { TopMost, NoTopMost };

enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MsgIcon { None, Information, Exclamation, Question, Critical };
enum class MsgAnswer { Ok, Cancel, Yes, No };

struct MessageBoxRequest {
    std::wstring text;
    std::wstring caption;  // empty: the application title
    MsgButtons buttons = MsgButtons::Ok;
    MsgIcon icon = MsgIcon::None;
    int defaultButton = 1;  // 1-based
    NativeHandle owner = 0;
};

// Result of a file operation; `error` is a readable reason when `ok` is false.
struct FileStatus {
    bool ok = true;
    std::wstring error;
};

struct FileEntry {
    std::wstring name;
    double ageSeconds = 0;  // since the last write
};

// A sheet-by-sheet print target; all measures in twips.
class PrintJob {
public:
    virtual ~PrintJob() = default;
    virtual Rect printableArea() const = 0;  // relative to the sheet's printable origin
    virtual float lineHeight() const = 0;
    virtual float textWidth(std::wstring_view text) const = 0;
    // Text from here on: the device's default typeface (a plain fixed-pitch one where
    // it has none) at `points`. Measures above follow the new type.
    virtual void setFontSize(float points) = 0;
    virtual FileStatus drawText(float x, float y, std::wstring_view text) = 0;
    virtual FileStatus newSheet() = 0;
    // Ends the document so that the job goes to the printer at once.
    virtual FileStatus end() = 0;
    // Drops the document after a failure.
    virtual void abort() = 0;
};

// An open registry key (HKEY on Windows), and the root of the machine-wide keys.
using RegKey = std::uintptr_t;
inline constexpr std::uint32_t kHKeyLocalMachine = 0x80000002;
inline constexpr std::uint32_t kKeyRead = 0x20019;  // KEY_READ
inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegDword = 4;

// Commands of the help engine.
inline constexpr std::uint32_t kHelpContents = 3;
inline constexpr std::uint32_t kHelpPartialKey = 0x105;

// Events of the hidden application window.
class AppWindowEvents {
public:
    virtual ~AppWindowEvents() = default;
    // A close request (WM_CLOSE, whatever its parameters).
    virtual void onAppCloseRequest() = 0;
    // The user's session is ending; return false to ask the system not to end it.
    virtual bool onQueryEndSession() = 0;
    // The session ends now (after every program agreed); the process ends after this.
    virtual void onEndSession() = 0;
};

// The desktop services. One instance per program run.
class Platform {
public:
    virtual ~Platform() = default;

    // --- Application ---
    // Folder of the running program file, without a trailing separator.
    virtual std::wstring appFolder() const = 0;
    // Separator that joins a folder and a file name ("\" on Windows).
    virtual std::wstring_view pathSeparator() const = 0;
    // Major, minor and revision of the program's version resource.
    virtual void version(int& major, int& minor, int& revision) const = 0;
    // Creates the hidden top-level application window titled `title`; its
    // close request and end-of-session messages go to `events`.
    virtual void createAppWindow(std::wstring_view title, AppWindowEvents& events) = 0;

    // --- Forms ---
    // Creates a form from its design; nothing is shown until Form::show().
    virtual std::unique_ptr<Form> createForm(const FormDesign& design, FormEvents& events) = 0;
    // Number of loaded forms, and unloading one by its position in load order.
    virtual int openFormCount() const = 0;
    virtual void unloadForm(int index) = 0;
    // Places a window in the z-order and moves it to x, y, cx, cy pixels (flags 0:
    // also activates it). The result is not reported.
    virtual void setWindowPos(Form& form, ZOrder z, int x, int y, int cx, int cy) = 0;
    virtual bool isTopMost(const Form& form) const = 0;
    // Runs the event loop until no form is loaded; returns the exit code.
    virtual int run() = 0;

    // --- Screen ---
    virtual float twipsPerPixelX() const = 0;
    virtual float twipsPerPixelY() const = 0;
    // Work area (screen less taskbars) of the screen nearest to `r`, twips.
    virtual Rect workAreaNearest(const Rect& r) const = 0;

    // --- Message boxes ---
    // Shows a modal message box and returns the button pressed.
    MsgAnswer messageBox(const MessageBoxRequest& request);
    // True while a message box of this program is open (its own message loop runs).
    bool messageBoxOpen() const { return m_openBoxes > 0; }

    // --- Failures of event handlers ---
    // A backend never lets an exception unwind through the desktop's code: it catches
    // one that escapes an event handler and calls this. The user is told in one message
    // what could not be done (the running Command's description) and why; the windows
    // stay as they were. Never throws.
    void reportFailure(std::exception_ptr error) noexcept;
    // Caption of that message (the program's title).
    void setFailureCaption(std::wstring caption) { m_failureCaption = std::move(caption); }

    // --- Settings store (per user) ---
    // Reads a text value; `fallback` when the key is absent.
    virtual std::wstring getSetting(std::wstring_view app, std::wstring_view section, std::wstring_view key,
                                    std::wstring_view fallback) const = 0;
    virtual FileStatus saveSetting(std::wstring_view app, std::wstring_view section, std::wstring_view key,
                                   std::wstring_view value) = 0;

    // --- Text encoding ---
    // Converts to the 8-bit ANSI character set; false when a character has no
    // exact 8-bit form (nothing is ever replaced by '?').
    virtual bool toAnsi(std::wstring_view text, std::string& out) const = 0;
    virtual std::wstring fromAnsi(std::string_view bytes) const = 0;

    // --- Files ---
    // True for an existing ordinary file: not a folder, not hidden, not a system file.
    virtual bool isOrdinaryFile(std::wstring_view path) const = 0;
    virtual bool exists(std::wstring_view path) const = 0;
    virtual FileStatus readFile(std::wstring_view path, std::string& bytes) const = 0;
    // Writes `bytes` as the whole new content of `path`: a temporary file in the same
    // folder, flushed to disk, then renamed over the old file in one step. After a crash
    // the file holds either its old or its new content. The temporary file's name ends
    // in kTempSuffix.
    virtual FileStatus writeFileAtomic(std::wstring_view path, std::string_view bytes) = 0;
    virtual FileStatus removeFile(std::wstring_view path) = 0;
    // Names (not paths) of the ordinary files in a folder, with their age.
    virtual std::vector<FileEntry> listFiles(std::wstring_view folder) const = 0;
    // Whether a process with this id is running now (the caller's own included).
    virtual bool isProcessRunning(std::uint32_t processId) const = 0;

    // --- Clipboard (plain text only) ---
    // Empties the clipboard and puts `text` on it. Fails, changing nothing, when
    // another program holds the clipboard or it takes no data.
    virtual FileStatus setClipboardText(std::wstring_view text) = 0;
    // The clipboard's text, empty when it holds none. Fails when it cannot be opened.
    virtual FileStatus getClipboardText(std::wstring& text) = 0;

    // --- Registry (machine keys, read as an 8-bit program reads them) ---
    // Each returns 0 on success or the system's error code. Key paths and value names
    // are in the ANSI character set, data comes back as stored.
    virtual long regOpenKey(std::uint32_t root, std::string_view path, std::uint32_t access, RegKey& key) = 0;
    // Reads a value into data[0..size); on entry `size` is the buffer's size, on return
    // the value's size in bytes. A value larger than the buffer fails (234, more data).
    virtual long regQueryValue(RegKey key, std::string_view name, std::uint32_t& type, std::uint8_t* data,
                               std::uint32_t& size) = 0;
    virtual void regCloseKey(RegKey key) = 0;

    // --- Help ---
    // The application's help file; empty when it has none.
    virtual std::wstring helpFile() const = 0;
    // Hands the help file to the help engine with `command` and, as data, the address
    // of a 16-bit zero. The engine's own result is ignored; fails only when the engine
    // cannot be reached at all, with the reason as error.
    virtual FileStatus showHelp(NativeHandle owner, std::wstring_view helpFile, std::uint32_t command) = 0;

    // --- Printer ---
    // Starts a document on the default printer; null with `error` set when there is
    // no default printer or it cannot be opened. Never shows a system dialog.
    virtual std::unique_ptr<PrintJob> startPrintJob(std::wstring_view documentName, std::wstring& error) = 0;

    // --- Notification area, programs and other windows ---
    // Hands a notification-icon record (the bytes of the ANSI first-version record of
    // this build's pointer width) to the shell; true when the shell accepted it.
    virtual bool notifyIcon(NotifyOp op, const std::vector<std::uint8_t>& record) = 0;
    // Starts a program file as a new process with a normal, focused window, without
    // waiting for it; `error` is the reason when it cannot be started.
    virtual FileStatus startProgram(std::wstring_view path) = 0;
    // First top-level window of class `windowClass` (any class when empty) titled
    // exactly `title` (compared in the ANSI character set), 0 when there is none.
    virtual NativeHandle findWindow(std::wstring_view windowClass, std::wstring_view title) const = 0;
    // Queues a message to a window and returns at once.
    virtual bool postMessage(NativeHandle window, unsigned message, std::uintptr_t wParam, std::intptr_t lParam) = 0;
    virtual bool isWindow(NativeHandle window) const = 0;
    // Waits, handling the program's pending events meanwhile.
    virtual void wait(int milliseconds) = 0;
    // Waits without handling any event: the caller's state cannot change meanwhile.
    virtual void pause(int milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }

protected:
    // The backend's message box, behind messageBox.
    virtual MsgAnswer showMessageBox(const MessageBoxRequest& request) = 0;

private:
    friend class Command;
    int m_openBoxes = 0;
    std::wstring m_failureCaption;
    std::wstring m_command;  // what the running command does, for reportFailure
};

// Names what a command does ("The pages could not be saved") for the length of the
// command, so that a failure message can say what could not be done. When the command
// ends by an exception the name stays for reportFailure, which clears it.
class Command {
public:
    Command(Platform& platform, std::wstring_view couldNot);
    ~Command();
    Command(const Command&) = delete;
    Command& operator=(const Command&) = delete;

private:
    Platform& m_platform;
    std::wstring m_outer;
    int m_exceptions;
};

// Suffix of the temporary files of writeFileAtomic.
inline constexpr std::wstring_view kTempSuffix = L".quibtmp";

// Path of a temporary file of writeFileAtomic: the target, the writing process's id
// and a count ("page1.txt.4242-7.quibtmp"), so that a leftover can be traced to its
// writer.
inline std::wstring tempFilePath(std::wstring_view target, std::uint32_t processId, std::uint64_t count) {
    return std::wstring(target) + L"." + std::to_wstring(processId) + L"-" + std::to_wstring(count) +
           std::wstring(kTempSuffix);
}

}  // namespace plat

// Each program defines its start-up routine; the backend's entry point calls it.
int ProgramMain(plat::Platform& platform);
