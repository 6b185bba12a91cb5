// The small widget classes a form is made of. They draw and report input, nothing
// more: what the input means is the form's business (qt_form.h), reached through
// WindowEvents while the window belongs to a form.
#pragma once

#include <QMainWindow>
#include <QMenuBar>
#include <QPlainTextEdit>

#include <cstdint>
#include <vector>

namespace plat::qt {

// What a form's window reports to the form that owns it.
class WindowEvents {
public:
    virtual ~WindowEvents() = default;
    virtual void windowCloseRequested() = 0;
    // Size or window state changed.
    virtual void windowResized() = 0;
    // The window became the active one.
    virtual void windowActivated() = 0;
    // A key that no control took (Enter and Esc of a dialog); true when used.
    virtual bool windowKey(const QKeyEvent& key) = 0;
    // Ctrl+key of a menu entry: it goes to the menu before any editor sees it.
    virtual bool isMenuShortcut(const QKeyEvent& key) const = 0;
};

// A top-level window of a form. Once the form lets go of it (detach), it reports
// nothing more: a window destroyed later (deleteLater) cannot reach a form that is gone.
class TopWindow final : public QMainWindow {
public:
    explicit TopWindow(WindowEvents* events) : m_events(events) {}
    WindowEvents* events() const { return m_events; }
    void detach() { m_events = nullptr; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void reportResize();

    WindowEvents* m_events;
    QSize m_reportedFrame;  // the outer size last reported
};

// A form's menu bar. Once Alt has put the keyboard in it, a marked character chooses
// its entry, one typed with Shift too ("&>" by ">").
class FormMenuBar final : public QMenuBar {
public:
    using QMenuBar::QMenuBar;

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

// A straight line of a dialog, in client pixels.
struct DrawnLine {
    int x0, y0, x1, y1;
    int width;
    std::uint32_t colour;  // 0x00BBGGRR
};

// The client area (under the menu bar): the parent of editors and controls, and the
// painter of a dialog's lines.
class ClientArea final : public QWidget {
public:
    std::vector<DrawnLine> lines;

protected:
    void paintEvent(QPaintEvent* event) override;
};

// A dialog's icon: the window icon centred in a box of its own colour.
class IconBox final : public QWidget {
public:
    IconBox(QWidget* parent, const QIcon& icon, std::uint32_t colour);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QIcon m_icon;
    QColor m_colour;
};

// A page editor: a plain-text editor that leaves the form's menu shortcuts (Ctrl+Z,
// Ctrl+X, ...) to the menu, as the program's own commands stand behind them, and
// breaks lines only as the page files can hold them.
class NoteEdit final : public QPlainTextEdit {
public:
    explicit NoteEdit(QWidget* parent) : QPlainTextEdit(parent) {}

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

// The outer frame of a top-level widget, as far as the desktop has told: the frame
// of a hidden window too, where the desktop knows it.
QRect outerRect(const QWidget& window);

// 0x00BBGGRR as a colour.
QColor fromColourWord(std::uint32_t colour);

}  // namespace plat::qt
