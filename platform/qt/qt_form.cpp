// Forms: the window made and destroyed for the model's life cycle, its geometry in
// twips, handles, the topmost band, and the window's input handed to the model.
#include "platform/qt/qt_form.h"

#include <QApplication>
#include <QEventLoop>
#include <QLayout>
#include <QPushButton>
#include <QWindow>

#include <utility>

#include "platform/qt/qt_common.h"

namespace plat::qt {
namespace {

// The dialog button face, as a system colour of the desktop's colour encoding.
constexpr std::uint32_t kButtonFace = 0x80000000u | 15u;

NativeHandle newHandle() {
    static NativeHandle next = 0x10000;
    next += 4;
    return next;
}

}  // namespace

QtForm::QtForm(std::shared_ptr<PlatformState> platform, const FormDesign& design, FormEvents& events)
    : FormModel(design, events, platform->forms, static_cast<FormView&>(*this)), m_platform(std::move(platform)) {
    if (design.iconResource != 0) {
        m_icon = applicationIcon();
    }
    if (design.pictureBox.width > 0 && design.pictureBox.height > 0) {
        m_pictureHandle = newHandle();
    }
    for (int i = 0; i < design.textBoxCount; ++i) {
        m_textBoxes.push_back(std::make_unique<QtTextBox>(&m_platform->twipsPerPixelX, &m_platform->twipsPerPixelY));
    }
    createWindow();
}

QtForm::~QtForm() {
    forget();
    destroyWindow();
}

// The window starts hidden, sized so that its client area has the design size, with
// the design's caption, menu, editors and controls. Its native window is made when it
// first shows: a position given before then is the frame's, which the window manager
// places by (a native window made earlier would take it for the client area's).
bool QtForm::createWindow() {
    const FormDesign& d = design();
    m_window = new TopWindow(this);
    m_handle = newHandle();
    m_placed = false;
    if (d.border == BorderStyle::FixedDialog) {
        m_window->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                 Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    }
    m_window->setWindowTitle(toQString(caption()));
    if (!m_icon.isNull()) {
        m_window->setWindowIcon(m_icon);
    }
    m_client = new ClientArea;
    m_window->setCentralWidget(m_client);
    buildMenuBar();
    const QRect boxRect(toPixelsX(d.textBoxRect.left), toPixelsY(d.textBoxRect.top), toPixelsX(d.textBoxRect.width),
                        toPixelsY(d.textBoxRect.height));
    for (std::size_t i = 0; i < m_textBoxes.size(); ++i) {
        m_textBoxes[i]->attach(m_client, boxRect, d.textBoxBackColor, [this, i] { textChanged(static_cast<int>(i)); });
    }
    buildControls();
    const int width = toPixelsX(d.clientWidth);
    const QWidget* bar = m_window->menuWidget();
    const int height = toPixelsY(d.clientHeight) + (bar != nullptr ? bar->heightForWidth(width) : 0);
    if (d.border == BorderStyle::FixedDialog) {
        m_window->setFixedSize(width, height);
    } else {
        m_window->resize(width, height);
    }
    return true;
}

// A window in the middle of handling its own input goes once that input is handled.
void QtForm::destroyWindow() {
    if (m_window == nullptr) {
        return;
    }
    TopWindow* window = std::exchange(m_window, nullptr);
    m_client = nullptr;
    window->detach();
    window->hide();
    for (auto& box : m_textBoxes) {
        box->detach();
    }
    m_actions.clear();
    m_dropDowns.clear();
    m_shortcutKeys.clear();
    m_labels.clear();
    m_buttons.clear();
    if (m_modalLoop) {
        m_modalLoop->quit();
    }
    if (m_busy > 0) {
        window->deleteLater();
    } else {
        delete window;
    }
}

// The first time, the focus goes to the first editor shown, else the first button,
// as a dialog would do.
void QtForm::showWindow(bool first) {
    m_window->show();
    if (first) {
        m_window->raise();
        m_window->activateWindow();
        focusFirstChild();
    }
}

void QtForm::focusFirstChild() {
    for (const auto& box : m_textBoxes) {
        if (box->visible() && box->edit() != nullptr) {
            box->edit()->setFocus();
            return;
        }
    }
    if (m_firstButton) {
        m_firstButton->setFocus();
    }
}

void QtForm::drawCaption(std::wstring_view caption) {
    m_window->setWindowTitle(toQString(caption));
}

// Without recreating the native window: a window whose widget flags are set anew is
// hidden by Qt. The widget keeps its record of the flags in step.
void QtForm::setStaysOnTop(bool on) {
    m_window->overrideWindowFlags(m_window->windowFlags().setFlag(Qt::WindowStaysOnTopHint, on));
    if (QWindow* native = m_window->windowHandle()) {
        native->setFlag(Qt::WindowStaysOnTopHint, on);
    }
}

void QtForm::place(bool topMost, int x, int y, int cx, int cy) {
    setStaysOnTop(topMost);
    setFrame(x, y, cx, cy);
    if (m_window->isVisible()) {
        m_window->raise();
        m_window->activateWindow();
    }
}

// The frame's position moves the window; its size less the frame's sizes the window.
void QtForm::setFrame(int x, int y, int cx, int cy) {
    m_placed = true;
    if (m_boundsSet && m_boundsSet->second != QRect(x, y, cx, cy)) {
        m_boundsSet.reset();
    }
    const QSize frame = outerRect(*m_window).size() - m_window->size();
    m_window->move(x, y);
    m_window->resize(std::max(cx - frame.width(), 1), std::max(cy - frame.height(), 1));
    m_sizeSet = m_window->size();
    m_wantedOuter.reset();
    if (frame == QSize(0, 0)) {
        m_wantedOuter = QSize(cx, cy);
    }
}

// A window's frame is unknown until the window manager has framed it, some time after
// it first shows: an outer size given before then is made good once the frame is there,
// unless the window was sized otherwise meanwhile.
void QtForm::correctFrame() {
    if (!m_wantedOuter || !m_window->isVisible()) {
        return;
    }
    if (m_window->size() != m_sizeSet) {
        m_wantedOuter.reset();
        return;
    }
    const QSize frame = outerRect(*m_window).size() - m_window->size();
    if (frame == QSize(0, 0)) {
        return;
    }
    const QSize outer = *m_wantedOuter;
    m_wantedOuter.reset();
    if (outer != m_sizeSet + frame) {
        m_window->resize(std::max(outer.width() - frame.width(), 1), std::max(outer.height() - frame.height(), 1));
    }
}

Rect QtForm::bounds() const {
    if (m_window == nullptr) {
        return {};
    }
    const QRect r = outerRect(*m_window);
    if (m_boundsSet && m_boundsSet->second == r) {
        return m_boundsSet->first;
    }
    return toTwips(r, m_platform->twipsPerPixelX, m_platform->twipsPerPixelY);
}

void QtForm::setBounds(const Rect& r) {
    if (m_window != nullptr) {
        const QRect pixels(toPixelsX(r.left), toPixelsY(r.top), toPixelsX(r.width), toPixelsY(r.height));
        setFrame(pixels.x(), pixels.y(), pixels.width(), pixels.height());
        m_boundsSet = std::make_pair(r, pixels);
    }
}

// Empty while minimized, as the layout of the program expects. A hidden window lays
// out its menu bar and client area on request.
Rect QtForm::clientArea() const {
    if (m_window == nullptr || m_window->isMinimized()) {
        return {};
    }
    if (!m_window->isVisible() && m_window->layout() != nullptr) {
        m_window->layout()->activate();
    }
    return {0, 0, static_cast<float>(m_client->width()) * m_platform->twipsPerPixelX,
            static_cast<float>(m_client->height()) * m_platform->twipsPerPixelY};
}

WindowState QtForm::windowState() const {
    if (m_window == nullptr) {
        return WindowState::Normal;
    }
    if (m_window->isMinimized()) {
        return WindowState::Minimized;
    }
    return m_window->isMaximized() ? WindowState::Maximized : WindowState::Normal;
}

std::uint32_t QtForm::backColor() const {
    return kButtonFace;
}

NativeHandle QtForm::iconHandle() const {
    return m_icon.isNull() ? 0 : reinterpret_cast<NativeHandle>(&m_icon);
}

TextBox& QtForm::textBox(int index) {
    return *m_textBoxes.at(static_cast<std::size_t>(index));
}

QtForm* QtForm::find(const FormList& forms, NativeHandle handle) {
    if (handle == 0) {
        return nullptr;
    }
    for (Form* model : forms.forms()) {
        auto* form = dynamic_cast<QtForm*>(model);
        if (form != nullptr && form->handle() == handle) {
            return form;
        }
    }
    return nullptr;
}

// Only while run() is in its loop: a request to end made outside it would stay
// behind and end the next modal loop at once.
void QtForm::lastFormUnloaded() {
    if (m_platform->running) {
        m_platform->quitting = true;
        QCoreApplication::exit(0);
    }
}

void QtForm::fromWindow(const std::function<void()>& act) {
    const std::shared_ptr<bool> alive = aliveToken();
    const std::shared_ptr<PlatformState> platform = m_platform;
    ++m_busy;
    try {
        act();
    } catch (...) {
        reportEventFailure(*platform);
    }
    if (*alive) {
        --m_busy;
    }
}

void QtForm::windowCloseRequested() {
    fromWindow([this] { closeRequested(CloseReason::User); });
}

void QtForm::windowActivated() {
    fromWindow([this] { activated(); });
}

void QtForm::windowResized() {
    fromWindow([this] {
        correctFrame();
        resized();
    });
}

int QtForm::toPixelsX(float twips) const {
    return twipsToPixels(twips, m_platform->twipsPerPixelX);
}

int QtForm::toPixelsY(float twips) const {
    return twipsToPixels(twips, m_platform->twipsPerPixelY);
}

}  // namespace plat::qt
