// The widgets of a form: window events handed to the form, lines and the icon box
// painted, editors that give way to the menu's shortcuts.
#include "platform/qt/qt_widgets.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QWindow>

#include <algorithm>

namespace plat::qt {

QColor fromColourWord(std::uint32_t colour) {
    return {static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
            static_cast<int>((colour >> 16) & 0xFF)};
}

QRect outerRect(const QWidget& window) {
    const QWindow* native = window.windowHandle();
    return native != nullptr ? window.geometry().marginsAdded(native->frameMargins()) : window.frameGeometry();
}

// The form decides: it unloads the window itself, or leaves it open.
void TopWindow::closeEvent(QCloseEvent* event) {
    event->ignore();
    if (m_events != nullptr) {
        m_events->windowCloseRequested();
    }
}

void TopWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    reportResize();
}

// The window manager adds its frame after the window appears, which moves the window
// without resizing it: the outer size the program lays out by has changed all the same.
// (The first size is reported by the resize that follows the first move.)
void TopWindow::moveEvent(QMoveEvent* event) {
    QMainWindow::moveEvent(event);
    if (m_reportedFrame.isValid() && outerRect(*this).size() != m_reportedFrame) {
        reportResize();
    }
}

void TopWindow::reportResize() {
    m_reportedFrame = outerRect(*this).size();
    if (m_events != nullptr) {
        m_events->windowResized();
    }
}

void TopWindow::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && m_events != nullptr) {
        m_events->windowResized();
    }
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && m_events != nullptr) {
        m_events->windowActivated();
    }
}

void TopWindow::keyPressEvent(QKeyEvent* event) {
    if (m_events != nullptr && m_events->windowKey(*event)) {
        event->accept();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

namespace {

// The character after a single "&" of a caption; none when there is no such mark.
QChar mnemonicOf(const QString& text) {
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i] == u'&') {
            if (text[i + 1] != u'&') {
                return text[i + 1].toUpper();
            }
            ++i;
        }
    }
    return {};
}

}  // namespace

// An entry of the bar itself, without a drop-down, acts at once when its character is
// typed, as a drop-down opens: the bar would only mark it.
void FormMenuBar::keyPressEvent(QKeyEvent* event) {
    const bool shifted = event->modifiers() == Qt::ShiftModifier && event->text().size() == 1;
    QKeyEvent plain(event->type(), event->key(), Qt::NoModifier, event->text());
    QKeyEvent& key = shifted ? plain : *event;
    QMenuBar::keyPressEvent(&key);
    event->setAccepted(key.isAccepted());
    const QAction* chosen = activeAction();
    if (key.text().size() == 1 && (key.modifiers() & ~Qt::ShiftModifier) == 0 && chosen != nullptr &&
        chosen->menu() == nullptr && mnemonicOf(chosen->text()) == key.text()[0].toUpper()) {
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QMenuBar::keyPressEvent(&enter);
    }
}

void ClientArea::paintEvent(QPaintEvent*) {
    if (lines.empty()) {
        return;
    }
    QPainter painter(this);
    for (const DrawnLine& line : lines) {
        painter.setPen(QPen(fromColourWord(line.colour), line.width, Qt::SolidLine, Qt::FlatCap));
        painter.drawLine(line.x0, line.y0, line.x1, line.y1);
    }
}

IconBox::IconBox(QWidget* parent, const QIcon& icon, std::uint32_t colour)
    : QWidget(parent), m_icon(icon), m_colour(fromColourWord(colour)) {}

void IconBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), m_colour);
    const int side = std::min({32, width(), height()});
    m_icon.paint(&painter, (width() - side) / 2, (height() - side) / 2, side, side);
}

// The editor claims Ctrl+Z, Ctrl+X, Ctrl+C and Ctrl+V for itself unless told that
// the key belongs to a menu entry of its window.
bool NoteEdit::event(QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride) {
        const auto* form = dynamic_cast<TopWindow*>(window());
        if (form != nullptr && form->events() != nullptr &&
            form->events()->isMenuShortcut(*static_cast<QKeyEvent*>(event))) {
            event->ignore();
            return true;
        }
    }
    return QPlainTextEdit::event(event);
}

// Every way of breaking a line gives a line break (CR LF in the page): Shift+Enter
// would otherwise put in a Unicode line separator, which a page read on Windows does
// not break at, and a line-feed key would put in nothing.
void NoteEdit::keyPressEvent(QKeyEvent* event) {
    const bool lineBreak = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter ||
                           event->text() == QStringLiteral("\n") || event->text() == QStringLiteral("\r");
    if (lineBreak && (event->modifiers() & (Qt::AltModifier | Qt::MetaModifier)) == 0) {
        QKeyEvent plain(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
        QPlainTextEdit::keyPressEvent(&plain);
        event->setAccepted(plain.isAccepted());
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

}  // namespace plat::qt
