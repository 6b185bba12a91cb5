// The Linux goals bench's X display driver (Xlib).
#include "bench/linux/x_driver.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace bench {
namespace {

Display* display(void* d) {
    return static_cast<Display*>(d);
}

// Waits up to `ms` for the display's next event; false on time-out.
bool nextEvent(Display* d, XEvent& event, double deadline) {
    while (XPending(d) == 0) {
        if (nowMs() > deadline) {
            return false;
        }
        usleep(200);
    }
    XNextEvent(d, &event);
    return true;
}

}  // namespace

double nowMs() {
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

XDriver::XDriver() : m_display(XOpenDisplay(nullptr)) {
    if (m_display == nullptr) {
        throw std::runtime_error("cannot open the X display");
    }
    m_root = DefaultRootWindow(display(m_display));
    XSelectInput(display(m_display), m_root, SubstructureNotifyMask | StructureNotifyMask);
}

XDriver::~XDriver() {
    XCloseDisplay(display(m_display));
}

pid_t XDriver::spawn(const std::vector<std::string>& argv, const std::vector<std::string>& env) {
    const pid_t pid = fork();
    if (pid == 0) {
        for (const std::string& setting : env) {
            putenv(const_cast<char*>(setting.c_str()));
        }
        std::vector<char*> args;
        for (const std::string& a : argv) {
            args.push_back(const_cast<char*>(a.c_str()));
        }
        args.push_back(nullptr);
        execv(args[0], args.data());
        _exit(127);
    }
    return pid;
}

bool XDriver::windowOf(unsigned long window, pid_t pid) {
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    const Atom property = XInternAtom(display(m_display), "_NET_WM_PID", False);
    const bool found = XGetWindowProperty(display(m_display), window, property, 0, 1, False, XA_CARDINAL, &type,
                                          &format, &count, &after, &data) == Success &&
                       data != nullptr && count == 1 && static_cast<pid_t>(*reinterpret_cast<long*>(data)) == pid;
    if (data != nullptr) {
        XFree(data);
    }
    return found;
}

unsigned long XDriver::waitMapped(pid_t pid, double timeoutMs) {
    const double deadline = nowMs() + timeoutMs;
    XEvent event;
    while (nextEvent(display(m_display), event, deadline)) {
        if (event.type == MapNotify && !event.xmap.override_redirect && windowOf(event.xmap.window, pid)) {
            return event.xmap.window;
        }
    }
    return 0;
}

bool XDriver::ping(unsigned long window, double timeoutMs) {
    Display* d = display(m_display);
    XEvent ping{};
    ping.xclient.type = ClientMessage;
    ping.xclient.window = window;
    ping.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
    ping.xclient.format = 32;
    ping.xclient.data.l[0] = static_cast<long>(XInternAtom(d, "_NET_WM_PING", False));
    ping.xclient.data.l[1] = CurrentTime;
    ping.xclient.data.l[2] = static_cast<long>(window);
    XSendEvent(d, window, False, NoEventMask, &ping);
    XFlush(d);
    const double deadline = nowMs() + timeoutMs;
    XEvent event;
    while (nextEvent(d, event, deadline)) {
        if (event.type == ClientMessage && event.xclient.data.l[0] == ping.xclient.data.l[0] &&
            static_cast<unsigned long>(event.xclient.data.l[2]) == window) {
            return true;
        }
    }
    return false;
}

void XDriver::key(unsigned long window, unsigned long keysym, bool ctrl) {
    Display* d = display(m_display);
    XEvent event{};
    event.xkey.display = d;
    event.xkey.window = window;
    event.xkey.root = m_root;
    event.xkey.same_screen = True;
    event.xkey.state = ctrl ? ControlMask : 0;
    event.xkey.keycode = XKeysymToKeycode(d, keysym);
    event.xkey.time = CurrentTime;
    event.type = KeyPress;
    XSendEvent(d, window, True, KeyPressMask, &event);
    event.type = KeyRelease;
    XSendEvent(d, window, True, KeyReleaseMask, &event);
    XFlush(d);
}

namespace {

// The number after `field` in a /proc status file, 0 when there is none.
double statusField(const std::string& path, const std::string& field) {
    std::ifstream status(path);
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(field, 0) == 0) {
            return std::strtod(line.c_str() + field.size(), nullptr);
        }
    }
    return 0;
}

}  // namespace

double XDriver::peakMiB(pid_t pid) {
    return statusField("/proc/" + std::to_string(pid) + "/status", "VmHWM:") / 1024.0;
}

double XDriver::residentMiB(pid_t pid) {
    return statusField("/proc/" + std::to_string(pid) + "/status", "VmRSS:") / 1024.0;
}

long long XDriver::wakeUps(pid_t pid) {
    long long count = 0;
    std::error_code error;
    for (const auto& task : std::filesystem::directory_iterator("/proc/" + std::to_string(pid) + "/task", error)) {
        const std::string status = (task.path() / "status").string();
        count += static_cast<long long>(statusField(status, "voluntary_ctxt_switches:") +
                                        statusField(status, "nonvoluntary_ctxt_switches:"));
    }
    return count;
}

void XDriver::kill(pid_t pid) {
    ::kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

}  // namespace bench
