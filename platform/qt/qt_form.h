// A form of the Qt backend.
#pragma once

#include <memory>
#include <vector>

#include "platform/form_model.h"
#include "platform/qt/qt_platform.h"

namespace plat::qt {

class QtForm final : public FormModel, private FormView {
public:
    QtForm(std::shared_ptr<PlatformState> platform, const FormDesign& design, FormEvents& events);
    ~QtForm() override;
    QtForm(const QtForm&) = delete;
    QtForm& operator=(const QtForm&) = delete;

    Rect bounds() const override;
    void setBounds(const Rect& r) override;
    Rect clientArea() const override;
    WindowState windowState() const override;
    std::uint32_t backColor() const override;
    NativeHandle handle() const override;
    TextBox& textBox(int index) override;
    NativeHandle pictureHandle() const override;
    NativeHandle iconHandle() const override;

private:
    bool createWindow() override;
    void destroyWindow() override;
    bool hasWindow() const override;
    void showWindow(bool first) override;
    void drawCaption(std::wstring_view caption) override;
    void drawMenuEnabled(int id, bool enabled) override;
    void drawControlText(int id, std::wstring_view text) override;
    void drawInputEnabled(bool enabled) override;
    void attachOwner(NativeHandle owner) override;
    void runModal() override;
    void activateOwner(NativeHandle owner) override;
    void place(bool topMost, int x, int y, int cx, int cy) override;
    int trackPopupMenu(int id) override;

    std::shared_ptr<PlatformState> m_platform;
    bool m_window = false;
};

}  // namespace plat::qt
