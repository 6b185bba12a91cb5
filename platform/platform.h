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

#include "platform/form.h"
#include "platform/geometry.h"

namespace plat {

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
