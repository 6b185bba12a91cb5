// FormEvents behind a guard: an exception that escapes a handler raised by the
// desktop goes to `report` and no further, as a window procedure must not let one
// unwind through the system's code. onLoad and onUnload run inside the program's own
// calls (Form::show, Form::unload) and are passed on unguarded.
#pragma once

#include <exception>
#include <functional>
#include <utility>

#include "platform/services/form.h"

namespace plat {

class GuardedEvents final : public FormEvents {
public:
    using Report = std::function<void(std::exception_ptr)>;
    GuardedEvents(FormEvents& events, Report report) : m_events(events), m_report(std::move(report)) {}

    void onLoad() override { m_events.onLoad(); }
    void onUnload(std::int16_t& cancel) override { m_events.onUnload(cancel); }
    void onResize() override {
        guard([&] { m_events.onResize(); });
    }
    void onMenuClick(int id) override {
        guard([&] { m_events.onMenuClick(id); });
    }
    void onMenuOpen(int id) override {
        guard([&] { m_events.onMenuOpen(id); });
    }
    void onCloseRequest(CloseReason reason) override {
        guard([&] { m_events.onCloseRequest(reason); });
    }
    void onPictureMouseMove(int button, int shift, float x, float y) override {
        guard([&] { m_events.onPictureMouseMove(button, shift, x, y); });
    }
    void onTaskbarCreated() override {
        guard([&] { m_events.onTaskbarCreated(); });
    }
    void onButtonClick(int id) override {
        guard([&] { m_events.onButtonClick(id); });
    }
    void onActivate() override {
        guard([&] { m_events.onActivate(); });
    }
    void onTextChange(int index) override {
        guard([&] { m_events.onTextChange(index); });
    }
    void onSessionEnd() override {
        guard([&] { m_events.onSessionEnd(); });
    }

private:
    template <class Event>
    void guard(const Event& event) {
        try {
            event();
        } catch (...) {
            m_report(std::current_exception());
        }
    }

    FormEvents& m_events;
    Report m_report;
};

}  // namespace plat
