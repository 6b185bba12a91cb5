// The Linux goals bench's hands on the X display: starting a program, seeing its
// first window mapped, asking it to answer (a _NET_WM_PING round trip, answered by
// its event loop once it has handled everything before), and keys.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace bench {

double nowMs();

class XDriver {
public:
    XDriver();
    ~XDriver();
    XDriver(const XDriver&) = delete;
    XDriver& operator=(const XDriver&) = delete;

    // Starts `argv` with `env` added; returns its pid.
    pid_t spawn(const std::vector<std::string>& argv, const std::vector<std::string>& env);
    // Waits until a top-level window of process `pid` is mapped; its id, 0 on time-out.
    unsigned long waitMapped(pid_t pid, double timeoutMs);
    // Sends a ping to `window` and waits for the answer; false on time-out. Qt answers
    // while reading the display's events and handles input it read with it after that,
    // so an answered ping followed by a second one means that input was handled.
    bool ping(unsigned long window, double timeoutMs);
    bool settled(unsigned long window, double timeoutMs) { return ping(window, timeoutMs) && ping(window, timeoutMs); }
    // A key press and release sent to `window`: `keysym` with Ctrl when `ctrl`.
    void key(unsigned long window, unsigned long keysym, bool ctrl);
    // The peak resident memory of process `pid` so far, and the resident memory now, MiB.
    static double peakMiB(pid_t pid);
    static double residentMiB(pid_t pid);
    // How often the threads of process `pid` have gone to sleep and woken, so far
    // (their context switches, the voluntary and the forced).
    static long long wakeUps(pid_t pid);
    // Ends the process at once and reaps it.
    static void kill(pid_t pid);

private:
    bool windowOf(unsigned long window, pid_t pid);
    void* m_display;
    unsigned long m_root;
};

}  // namespace bench
