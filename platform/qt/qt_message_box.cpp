// Message boxes: a modal box over the owner (or the active window) with the request's
// caption, plain text, icon and buttons. Keys as on Windows: Enter gives the default
// button, Esc gives Cancel, or OK in a box with only OK; a Yes/No box ignores Esc
// and its close button.
#include <QApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPointer>

#include <utility>
#include <vector>

#include "platform/qt/qt_common.h"
#include "platform/qt/qt_form.h"

namespace plat::qt {
namespace {

using Choice = std::pair<QMessageBox::StandardButton, MsgAnswer>;

std::vector<Choice> choices(MsgButtons buttons) {
    using B = QMessageBox;
    switch (buttons) {
        case MsgButtons::Ok: break;
        case MsgButtons::OkCancel: return {{B::Ok, MsgAnswer::Ok}, {B::Cancel, MsgAnswer::Cancel}};
        case MsgButtons::YesNo: return {{B::Yes, MsgAnswer::Yes}, {B::No, MsgAnswer::No}};
        case MsgButtons::YesNoCancel:
            return {{B::Yes, MsgAnswer::Yes}, {B::No, MsgAnswer::No}, {B::Cancel, MsgAnswer::Cancel}};
    }
    return {{B::Ok, MsgAnswer::Ok}};
}

QMessageBox::Icon iconOf(MsgIcon icon) {
    switch (icon) {
        case MsgIcon::None: break;
        case MsgIcon::Information: return QMessageBox::Information;
        case MsgIcon::Exclamation: return QMessageBox::Warning;
        case MsgIcon::Question: return QMessageBox::Question;
        case MsgIcon::Critical: return QMessageBox::Critical;
    }
    return QMessageBox::NoIcon;
}

// The box without a way out but its buttons (Yes/No).
class Box final : public QMessageBox {
public:
    using QMessageBox::QMessageBox;
    bool mustAnswer = false;

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (mustAnswer && event->key() == Qt::Key_Escape) {
            event->accept();
            return;
        }
        QMessageBox::keyPressEvent(event);
    }
    void closeEvent(QCloseEvent* event) override {
        if (mustAnswer) {
            event->ignore();
            return;
        }
        QMessageBox::closeEvent(event);
    }
};

QString plainText(const std::wstring& text) {
    QString shown = toQString(text);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return shown;
}

// A box closed without an answer (its owner went, or the program is ending) gives
// the answer that changes nothing: Cancel, else No.
MsgAnswer unanswered(const std::vector<Choice>& offered) {
    MsgAnswer answer = offered.front().second;
    for (const Choice& choice : offered) {
        if (choice.second == MsgAnswer::Cancel || (choice.second == MsgAnswer::No && answer != MsgAnswer::Cancel)) {
            answer = choice.second;
        }
    }
    return answer;
}

}  // namespace

// Held by a guarded pointer: the owner's window may go while the box is open, and
// takes the box with it.
MsgAnswer QtPlatform::showMessageBox(const MessageBoxRequest& request) {
    QWidget* owner = nullptr;
    bool topMost = false;
    if (QtForm* form = QtForm::find(*m_state->forms, request.owner)) {
        owner = form->window();
        topMost = form->topMost();
    }
    if (owner == nullptr) {
        owner = QApplication::activeWindow();
    }
    const std::vector<Choice> offered = choices(request.buttons);
    QPointer<Box> box = new Box(owner);
    box->setWindowTitle(request.caption.empty() ? QCoreApplication::applicationName() : toQString(request.caption));
    box->setTextFormat(Qt::PlainText);
    box->setText(plainText(request.text));
    box->setIcon(iconOf(request.icon));
    box->setWindowFlag(Qt::WindowStaysOnTopHint, topMost);
    for (const Choice& choice : offered) {
        box->addButton(choice.first);
    }
    const auto index = static_cast<std::size_t>(std::clamp(request.defaultButton, 1, static_cast<int>(offered.size())));
    box->setDefaultButton(offered[index - 1].first);
    if (offered.size() == 1) {
        box->setEscapeButton(offered.front().first);
    } else if (offered.back().second == MsgAnswer::Cancel) {
        box->setEscapeButton(QMessageBox::Cancel);
    } else {
        box->mustAnswer = true;
    }
    box->exec();
    if (!box) {
        return unanswered(offered);
    }
    const QMessageBox::StandardButton pressed = box->standardButton(box->clickedButton());
    delete box;
    for (const Choice& choice : offered) {
        if (choice.first == pressed) {
            return choice.second;
        }
    }
    return unanswered(offered);
}

}  // namespace plat::qt
