// The parts of the desktop layer that are the same for every backend: counting the
// open message boxes, the common kinds of box, and telling the user about a command that failed with an
// exception. Compiled into each backend.
#include <chrono>
#include <exception>
#include <new>
#include <stdexcept>
#include <thread>

#include "platform/forms/form_model.h"
#include "platform/platform.h"
#include "platform/services/form.h"
#include "platform/services/geometry.h"
#include "platform/services/shell.h"

namespace plat {
namespace {

constexpr wchar_t kCommandFailed[] = L"The command could not be completed";
constexpr wchar_t kUnknownReason[] = L"an unexpected error occurred";

// Words for the user on why an event handler failed: "out of memory" for
// std::bad_alloc, the text of another exception, else a generic reason.
// Exception texts are plain ASCII in practice; each byte becomes one character.
std::wstring failureReason(std::exception_ptr error) {
    try {
        if (error) {
            std::rethrow_exception(error);
        }
    } catch (const std::bad_alloc&) {
        return L"out of memory";
    } catch (const std::exception& e) {
        std::wstring text;
        for (const char* c = e.what(); *c != '\0'; ++c) {
            text += static_cast<wchar_t>(static_cast<unsigned char>(*c));
        }
        return text.empty() ? std::wstring(kUnknownReason) : text;
    } catch (...) {
    }
    return kUnknownReason;
}

}  // namespace

Platform::~Platform() {
    if (m_forms) {
        m_forms->setReporter(nullptr);
    }
}

void Platform::attach(const Services& services, std::shared_ptr<FormList> forms) {
    m_services = services;
    m_forms = std::move(forms);
    m_forms->setReporter([this](std::exception_ptr error) { reportFailure(error); });
}

void Platform::pause(int milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

int Platform::openFormCount() const {
    return m_forms->count();
}

void Platform::unloadForm(int index) {
    if (Form* form = m_forms->at(index)) {
        form->unload();
    }
}

void Platform::setWindowPos(Form& form, ZOrder z, int x, int y, int cx, int cy) {
    if (FormModel* model = FormModel::of(form)) {
        model->place(z == ZOrder::TopMost, x, y, cx, cy);
    }
}

bool Platform::isTopMost(const Form& form) const {
    const FormModel* model = FormModel::of(form);
    return model != nullptr && model->topMost();
}

MsgAnswer Platform::messageBox(const MessageBoxRequest& request) {
    ++m_openBoxes;
    try {
        const MsgAnswer answer = showMessageBox(request);
        --m_openBoxes;
        return answer;
    } catch (...) {
        --m_openBoxes;
        throw;
    }
}

void Platform::inform(std::wstring text, std::wstring caption, MsgIcon icon, NativeHandle owner) {
    messageBox({std::move(text), std::move(caption), MsgButtons::Ok, icon, 1, owner});
}

bool Platform::confirm(std::wstring text, std::wstring caption, MsgIcon icon, MsgAnswer enterGives,
                       NativeHandle owner) {
    const int defaultButton = enterGives == MsgAnswer::No ? 2 : 1;
    return messageBox({std::move(text), std::move(caption), MsgButtons::YesNo, icon, defaultButton, owner}) ==
           MsgAnswer::Yes;
}

// The message is built before anything is shown; if even that fails (no memory
// left at all), nothing is shown and the program goes on.
void Platform::reportFailure(std::exception_ptr error) noexcept {
    try {
        const std::wstring what = m_command.empty() ? std::wstring(kCommandFailed) : m_command;
        m_command.clear();
        inform(what + L": " + failureReason(error), m_failureCaption, MsgIcon::Exclamation);
    } catch (...) {
        m_command.clear();
    }
}

Command::Command(Platform& platform, std::wstring_view couldNot)
    : m_platform(platform), m_outer(platform.m_command), m_exceptions(std::uncaught_exceptions()) {
    m_platform.m_command = couldNot;
}

Command::~Command() {
    if (std::uncaught_exceptions() == m_exceptions) {
        m_platform.m_command = std::move(m_outer);
    }
}

}  // namespace plat
