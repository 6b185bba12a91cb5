// Dialog forms: labels, buttons, the icon box and lines made in tab order, Enter and
// Esc, and showing a form modally over its owner.
#include <QEventLoop>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QWindow>

#include <algorithm>

#include "platform/qt/qt_common.h"
#include "platform/qt/qt_form.h"

namespace plat::qt {
namespace {

// A label shows its text as a Windows static control does: "&&" is one ampersand, a
// single one only marks a letter (labels take no focus here, so no access key).
QString labelText(std::wstring_view text) {
    std::wstring shown;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'&' && i + 1 < text.size()) {
            ++i;
        }
        if (text[i] == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') {
            continue;
        }
        shown.push_back(text[i]);
    }
    return toQString(shown);
}

}  // namespace

void QtForm::buildControls() {
    m_firstButton = nullptr;
    const std::vector<ControlDesign> ordered = inTabOrder(design().controls);
    QWidget* previous = nullptr;
    for (const ControlDesign& control : ordered) {
        addControl(control, previous);
    }
}

void QtForm::addControl(const ControlDesign& c, QWidget*& previous) {
    const QRect r(toPixelsX(c.rect.left), toPixelsY(c.rect.top), toPixelsX(c.rect.width), toPixelsY(c.rect.height));
    switch (c.kind) {
        case ControlKind::Label: {
            auto* label = new QLabel(m_client);
            label->setTextFormat(Qt::PlainText);
            label->setWordWrap(true);
            label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            label->setText(labelText(controlText(c.id)));
            QPalette palette = label->palette();
            palette.setColor(QPalette::WindowText, fromColourWord(c.foreColor));
            label->setPalette(palette);
            label->setGeometry(r);
            m_labels[c.id] = label;
            break;
        }
        case ControlKind::Button: {
            auto* button = new QPushButton(toQString(controlText(c.id)), m_client);
            button->setAutoDefault(false);
            button->setDefault(c.isDefault);
            button->setFocusPolicy(Qt::StrongFocus);
            button->setGeometry(r);
            QObject::connect(button, &QPushButton::clicked, m_window, [window = QPointer(m_window), id = c.id] {
                dispatch(window, [id](QtForm& form) { form.buttonClicked(id); });
            });
            m_buttons[c.id] = button;
            if (previous != nullptr) {
                QWidget::setTabOrder(previous, button);
            } else {
                m_firstButton = button;
            }
            previous = button;
            break;
        }
        case ControlKind::Icon: (new IconBox(m_client, m_icon, c.backColor))->setGeometry(r); break;
        case ControlKind::Line: {
            // A level or upright line grows down or right from its position by its
            // width, so that a wide light line under a thin dark one looks etched.
            const int width = std::max(c.lineWidth, 1);
            const int x1 = toPixelsX(c.rect.left + c.rect.width);
            const int y1 = toPixelsY(c.rect.top + c.rect.height);
            const int dx = r.x() == x1 ? width / 2 : 0;
            const int dy = r.y() == y1 ? width / 2 : 0;
            m_client->lines.push_back({r.x() + dx, r.y() + dy, x1 + dx, y1 + dy, width, c.foreColor});
            break;
        }
    }
}

void QtForm::drawControlText(int id, std::wstring_view text) {
    if (const auto label = m_labels.find(id); label != m_labels.end()) {
        label->second->setText(labelText(text));
    } else if (const auto button = m_buttons.find(id); button != m_buttons.end()) {
        button->second->setText(toQString(text));
    }
}

// Enter presses the focused button, else the default one; Esc the cancel button.
bool QtForm::windowKey(const QKeyEvent& key) {
    if (design().border != BorderStyle::FixedDialog ||
        (key.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) != 0) {
        return false;
    }
    if (key.key() == Qt::Key_Escape) {
        fromWindow([this] { escapePressed(); });
        return true;
    }
    if (key.key() != Qt::Key_Return && key.key() != Qt::Key_Enter) {
        return false;
    }
    int focused = 0;
    for (const auto& [id, button] : m_buttons) {
        if (button->hasFocus()) {
            focused = id;
        }
    }
    fromWindow([this, focused] {
        focused != 0 ? static_cast<void>(buttonClicked(focused)) : static_cast<void>(enterPressed());
    });
    return true;
}

// The owner takes no input while this form is modal over it: the window is modal to
// its owner, which Qt then keeps from the user (the model refuses its buttons too).
void QtForm::drawInputEnabled(bool) {}

// The owner becomes the window's transient parent, which the window stays above and
// which takes no input while it shows. A window the program has not placed is centred
// on the owner, within the owner's screen.
void QtForm::attachOwner(NativeHandle owner) {
    QtForm* form = find(forms(), owner);
    if (form == nullptr || form == this || form->m_window == nullptr || m_window == nullptr) {
        return;
    }
    TopWindow* parent = form->m_window;
    m_window->winId();
    parent->winId();
    m_window->windowHandle()->setTransientParent(parent->windowHandle());
    if (!m_window->isVisible()) {
        m_window->setWindowModality(Qt::WindowModal);
    }
    if (form->topMost()) {
        setStaysOnTop(true);
    }
    if (!m_placed) {
        const QRect area = parent->screen()->availableGeometry();
        const QRect outer = parent->frameGeometry();
        const QSize size = m_window->frameGeometry().size();
        const int x = std::min(outer.center().x() - size.width() / 2, area.right() - size.width());
        const int y = std::min(outer.center().y() - size.height() / 2, area.bottom() - size.height());
        m_window->move(std::max(x, area.left()), std::max(y, area.top()));
    }
}

// Until the form is unloaded (destroyWindow ends the loop) or the program's loop is
// asked to end, which ends every loop.
void QtForm::runModal() {
    if (m_firstButton) {
        m_firstButton->setFocus();
    }
    if (m_platform->quitting || m_window == nullptr) {
        return;
    }
    QEventLoop loop;
    m_modalLoop = &loop;
    loop.exec();
}

void QtForm::activateOwner(NativeHandle owner) {
    QtForm* form = find(forms(), owner);
    if (form != nullptr && form->m_window != nullptr && form->m_window->isVisible()) {
        form->m_window->activateWindow();
    }
}

}  // namespace plat::qt
