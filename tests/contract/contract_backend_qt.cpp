// The contract suite on the Qt backend: its start, and its driver. The user's
// actions are real Qt input: key events through the shortcut map and the focused
// widget, drop-downs opened and entries triggered through the menu bar, close
// events, window resizes; pumped with the platform's own wait(). The suite runs
// with its own settings and data folders, removed at the end.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QTest>

#include <cstdlib>
#include <memory>
#include <vector>

#include "platform/forms/form_model.h"
#include "platform/qt/qt_common.h"
#include "platform/qt/qt_form.h"
#include "platform/qt/qt_platform.h"
#include "platform/services/screen.h"
#include "tests/contract/contract_backend.h"

namespace contract {
namespace {

QMainWindow* windowOf(const plat::Form& form) {
    auto* qtForm = dynamic_cast<const plat::qt::QtForm*>(&form);
    return qtForm != nullptr ? dynamic_cast<QMainWindow*>(qtForm->window()) : nullptr;
}

// The actions from the menu bar down to the entry with `id` (its text's caption
// ends in the action); empty when the bar shows no such entry.
bool findEntry(const QList<QAction*>& actions, const QAction* target, std::vector<QAction*>& path) {
    for (QAction* action : actions) {
        path.push_back(action);
        if (action == target || (action->menu() != nullptr && findEntry(action->menu()->actions(), target, path))) {
            return true;
        }
        path.pop_back();
    }
    return false;
}

// The entry's action is found by the click it makes: the one whose trigger the form
// reports as `id`. The form's actions are looked up through its window's children.
QAction* actionFor(QMainWindow& window, plat::Form& form, int id) {
    for (QAction* action : window.findChildren<QAction*>()) {
        if (action->isSeparator() || action->menu() != nullptr) {
            continue;
        }
        if (action->text() == plat::qt::toQString(form.menuCaption(id))) {
            return action;
        }
    }
    return nullptr;
}

class QtBackend final : public ContractBackend {
public:
    QtBackend() : m_platform(std::make_unique<plat::qt::QtPlatform>()) {}
    ~QtBackend() override;
    QtBackend(const QtBackend&) = delete;
    QtBackend& operator=(const QtBackend&) = delete;

    plat::Platform& platform() override { return *m_platform; }
    bool isHeadless() const override { return false; }
    void settle() override { m_platform->wait(20); }

    bool clickMenu(plat::Form& form, int id) override;
    void pressShortcut(plat::Form& form, plat::Shortcut key) override;
    void requestClose(plat::Form& form) override {
        windowOf(form)->close();
        settle();
    }
    void resize(plat::Form& form, float width, float height) override;
    void pressEnter(plat::Form& form) override { pressKey(form, Qt::Key_Return, Qt::NoModifier); }
    void pressEscape(plat::Form& form) override { pressKey(form, Qt::Key_Escape, Qt::NoModifier); }
    bool visible(const plat::Form& form) const override {
        const QMainWindow* window = windowOf(form);
        return window != nullptr && window->isVisible();
    }
    bool hasFileLocksAndHiddenFiles() const override { return false; }

    // Only the menu's own command can come from elsewhere here: the model's input.
    void sendCommand(plat::Form& form, int id) override {
        plat::FormModel::of(form)->menuCommand(id, plat::MenuSource::Menu);
        settle();
    }
    void putClipboardText(std::wstring_view text) override {
        QGuiApplication::clipboard()->setText(plat::qt::toQString(text));
    }
    void emptyClipboard() override { QGuiApplication::clipboard()->clear(); }
    void hideFile(const std::wstring&) override { ADD_FAILURE() << "no hidden files here"; }
    void holdOpen(const std::wstring&) override { ADD_FAILURE() << "no sharing locks here"; }

private:
    void pressKey(plat::Form& form, Qt::Key key, Qt::KeyboardModifiers modifiers);

    std::unique_ptr<plat::qt::QtPlatform> m_platform;
};

QtBackend::~QtBackend() {
    m_platform.reset();
    const QString app = plat::qt::toQString(kSettingsApp);
    QDir config(QString::fromLocal8Bit(qgetenv("XDG_CONFIG_HOME")));
    QDir(config.filePath(app)).removeRecursively();
    config.remove(app + QStringLiteral(".conf"));
}

// As the menu loop: each drop-down on the way opens (its handler may change what it
// holds) and a disabled entry cannot be clicked.
bool QtBackend::clickMenu(plat::Form& form, int id) {
    QMainWindow* window = windowOf(form);
    QAction* target = window != nullptr ? actionFor(*window, form, id) : nullptr;
    std::vector<QAction*> path;
    if (target == nullptr || window->menuWidget() == nullptr ||
        !findEntry(window->menuWidget()->actions(), target, path)) {
        return false;
    }
    for (QAction* step : path) {
        if (!step->isEnabled()) {
            return false;
        }
        if (QMenu* dropDown = step->menu()) {
            emit dropDown->aboutToShow();
        }
    }
    if (!target->isEnabled()) {
        return false;
    }
    target->trigger();
    settle();
    return true;
}

void QtBackend::pressShortcut(plat::Form& form, plat::Shortcut key) {
    const int code =
        key.key == plat::Shortcut::Key::F ? Qt::Key_F1 + key.function - 1 : Qt::Key_A + (key.letter - L'A');
    pressKey(form, static_cast<Qt::Key>(code), Qt::ControlModifier);
}

// To the focused widget of the active form, as the keyboard delivers keys.
void QtBackend::pressKey(plat::Form& form, Qt::Key key, Qt::KeyboardModifiers modifiers) {
    QMainWindow* window = windowOf(form);
    window->activateWindow();
    settle();
    QWidget* focus = QApplication::focusWidget();
    QTest::keyClick(focus != nullptr && focus->window() == window ? focus : window, key, modifiers);
    settle();
}

// The frame to `width` x `height` twips, as the user's drag would.
void QtBackend::resize(plat::Form& form, float width, float height) {
    QMainWindow* window = windowOf(form);
    const QSize frame = window->frameGeometry().size() - window->size();
    const float x = m_platform->screen().twipsPerPixelX();
    const float y = m_platform->screen().twipsPerPixelY();
    window->resize(static_cast<int>(width / x) - frame.width(), static_cast<int>(height / y) - frame.height());
    settle();
}

}  // namespace

std::unique_ptr<ContractBackend> makeContractBackend(const std::wstring&) {
    return std::make_unique<QtBackend>();
}

}  // namespace contract

// Settings and data of this run only; offscreen unless a display is asked for.
int main(int argc, char** argv) {
    const QTemporaryDir home;
    if (!home.isValid()) {
        return 1;
    }
    setenv("XDG_CONFIG_HOME", QDir(home.path()).filePath(QStringLiteral("config")).toLocal8Bit().constData(), 1);
    setenv("XDG_DATA_HOME", QDir(home.path()).filePath(QStringLiteral("data")).toLocal8Bit().constData(), 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    // The offscreen display cannot raise windows or pass on size hints, and says so
    // for every window.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext& context, const QString& message) {
        if (!message.startsWith(QStringLiteral("This plugin does not support"))) {
            qt_message_output(type, context, message);
        }
    });
    const QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
