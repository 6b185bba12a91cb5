// The Linux goals bench: the native notes program against a bare Qt Widgets window
// (bare_qt_window), every case interleaved run by run, medians printed beside each
// goal. Run by bench/linux/run.sh on a display without a window manager.
//
//   linux_goals_bench NOTES_PROGRAM BARE_PROGRAM [runs]
#include <X11/keysym.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>

#include "bench/bench_pages.h"
#include "bench/linux/x_driver.h"

namespace bench {
namespace {

namespace fs = std::filesystem;
constexpr std::size_t kMiB = 1 << 20;
constexpr double kTimeoutMs = 60000;

using Samples = std::map<std::string, std::vector<double>>;

struct Home {
    fs::path root = fs::temp_directory_path() / ("quibbets-bench-" + std::to_string(getpid()));
    fs::path data() const { return root / "data" / "quibbets"; }
    std::vector<std::string> env() const {
        return {"XDG_DATA_HOME=" + (root / "data").string(), "XDG_CONFIG_HOME=" + (root / "config").string(),
                "XDG_RUNTIME_DIR=" + (root / "run").string(), "QT_QPA_PLATFORM=xcb"};
    }
    void reset(int pages) const {
        fs::remove_all(root);
        fs::create_directories(data());
        fs::create_directories(root / "run");
        fs::permissions(root / "run", fs::perms::owner_all);
        for (int n = 1; n <= pages; ++n) {
            std::ofstream(data() / ("page" + std::to_string(n) + ".txt"), std::ios::binary) << pageFile(kMiB, n);
        }
    }
};

struct Started {
    pid_t pid = 0;
    unsigned long window = 0;
    double mappedMs = 0;
    double readyMs = 0;
};

Started start(XDriver& x, const std::string& program, const Home& home, const std::string& file = {}) {
    Started s;
    const double t0 = nowMs();
    s.pid =
        x.spawn(file.empty() ? std::vector<std::string>{program} : std::vector<std::string>{program, file}, home.env());
    s.window = x.waitMapped(s.pid, kTimeoutMs);
    s.mappedMs = nowMs() - t0;
    if (s.window == 0 || !x.settled(s.window, kTimeoutMs)) {
        throw std::runtime_error(program + " did not come up");
    }
    s.readyMs = nowMs() - t0;
    return s;
}

// Time from sending keys to the program's answer to the ping after them.
double timedKeys(XDriver& x, const Started& s, unsigned long keysym, bool ctrl) {
    const double t0 = nowMs();
    x.key(s.window, keysym, ctrl);
    x.settled(s.window, kTimeoutMs);
    return nowMs() - t0;
}

// Wake-ups per minute of a program left alone after it settled, over `seconds`.
double idleWakeUps(pid_t pid, int seconds) {
    usleep(500000);
    const long long before = XDriver::wakeUps(pid);
    sleep(static_cast<unsigned>(seconds));
    return static_cast<double>(XDriver::wakeUps(pid) - before) * 60.0 / seconds;
}

void startCases(XDriver& x, const std::string& notes, const std::string& bare, const Home& home, Samples& out) {
    home.reset(0);
    Started b = start(x, bare, home);
    out["bare: first window, ms"].push_back(b.mappedMs);
    out["bare: peak memory, MiB"].push_back(XDriver::peakMiB(b.pid));
    out["bare: idle wake-ups per minute"].push_back(idleWakeUps(b.pid, 3));
    XDriver::kill(b.pid);
    Started n = start(x, notes, home);
    out["empty start: first window, ms"].push_back(n.mappedMs);
    out["empty start: answering, ms"].push_back(n.readyMs);
    out["empty start: peak memory, MiB"].push_back(XDriver::peakMiB(n.pid));
    out["empty start: idle wake-ups per minute"].push_back(idleWakeUps(n.pid, 3));
    XDriver::kill(n.pid);
}

void writeFloor(const Home& home, Samples& out) {
    const double t0 = nowMs();
    for (int n = 1; n <= 10; ++n) {
        const std::string bytes = pageFile(kMiB, n) + "x";
        const fs::path temp = home.data() / ("floor" + std::to_string(n) + ".tmp");
        const int fd = open(temp.c_str(), O_CREAT | O_WRONLY | O_TRUNC, 0644);
        (void)!write(fd, bytes.data(), bytes.size());
        fsync(fd);
        close(fd);
        fs::rename(temp, home.data() / ("floor" + std::to_string(n) + ".txt"));
        const int dir = open(home.data().c_str(), O_RDONLY | O_DIRECTORY);
        fsync(dir);
        close(dir);
    }
    out["write-fsync-rename floor, ten 1 MiB, ms"].push_back(nowMs() - t0);
}

// Size of the recovery copy of page 1, -1 while there is none.
long long copySize(const Home& home) {
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(home.data() / "recovery", error)) {
        const std::string name = entry.path().filename().string();
        if (name.ends_with(".page1")) {
            return static_cast<long long>(entry.file_size(error));
        }
    }
    return -1;
}

// Keys every 50 ms for 2.5 s: page 1's recovery copy is written meanwhile (at least
// every 2 s while typing goes on), so the slowest key shows what a write costs the
// typist. Then the pause: from the last key's answer until its copy is on disk.
void recoveryCases(XDriver& x, const Started& n, const Home& home, Samples& out) {
    std::vector<double> keys;
    for (const double t0 = nowMs(); nowMs() - t0 < 2500;) {
        keys.push_back(timedKeys(x, n, XK_y, false));
        usleep(50000);
    }
    out["key while copies are written, slowest of 2.5 s, ms"].push_back(*std::max_element(keys.begin(), keys.end()));
    x.settled(n.window, kTimeoutMs);
    usleep(1500000);  // the copy of the last key
    const long long before = copySize(home);
    timedKeys(x, n, XK_z, false);
    const double paused = nowMs();
    while (copySize(home) == before && nowMs() - paused < kTimeoutMs) {
        usleep(2000);
    }
    out["copy of 1 MiB on disk after a pause, ms"].push_back(nowMs() - paused);
}

// A 16 MiB page: one key, then pings every few milliseconds until its recovery copy
// is on disk. The slowest answer is the longest the window stood still while the copy
// was taken and written.
void hugePageCase(XDriver& x, const std::string& notes, const Home& home, Samples& out) {
    home.reset(0);
    std::ofstream(home.data() / "page1.txt", std::ios::binary) << pageFile(16 * kMiB, 1);
    Started n = start(x, notes, home);
    timedKeys(x, n, XK_End, true);
    timedKeys(x, n, XK_x, false);
    double slowest = 0;
    for (const double t0 = nowMs(); copySize(home) < static_cast<long long>(16 * kMiB) && nowMs() - t0 < 10000;) {
        const double ping = nowMs();
        x.ping(n.window, kTimeoutMs);
        slowest = std::max(slowest, nowMs() - ping);
        usleep(2000);
    }
    out["16 MiB page: longest stall while its copy is written, ms"].push_back(slowest);
    XDriver::kill(n.pid);
}

void bigPageCases(XDriver& x, const std::string& notes, const std::string& bare, const Home& home, Samples& out) {
    home.reset(10);
    Started b = start(x, bare, home, (home.data() / "page1.txt").string());
    out["bare: one 1 MiB page, answering, ms"].push_back(b.readyMs);
    XDriver::kill(b.pid);
    Started n = start(x, notes, home);
    out["ten 1 MiB pages: answering, ms"].push_back(n.readyMs);
    out["ten 1 MiB pages: peak memory, MiB"].push_back(XDriver::peakMiB(n.pid));
    timedKeys(x, n, XK_End, true);
    std::vector<double> keys;
    for (int i = 0; i < 15; ++i) {
        keys.push_back(timedKeys(x, n, XK_x, false));
    }
    out["key at the end of 1 MiB, ms"].push_back(median(keys));
    recoveryCases(x, n, home, out);
    for (int page = 2; page <= 10; ++page) {
        timedKeys(x, n, page == 10 ? XK_F11 : XK_F1 + static_cast<unsigned long>(page - 1), true);
        timedKeys(x, n, XK_End, true);
        timedKeys(x, n, XK_x, false);
    }
    // Every page shown and changed: their recovery copies are written after the pause.
    const double withoutCopies = XDriver::residentMiB(n.pid);
    usleep(2000000);
    out["ten 1 MiB pages shown and changed: memory, MiB"].push_back(withoutCopies);
    out["the same with their recovery copies written: peak memory, MiB"].push_back(XDriver::peakMiB(n.pid));
    out["Save, ten changed 1 MiB pages, ms"].push_back(timedKeys(x, n, XK_s, true));
    out["Save, nothing changed, ms"].push_back(timedKeys(x, n, XK_s, true));
    XDriver::kill(n.pid);
    writeFloor(home, out);
}

double mid(const Samples& s, const std::string& key) {
    return median(s.at(key));
}

void printGoal(const char* what, double value, double yardstick, double goal) {
    const double ratio = yardstick > 0 ? value / yardstick : value;
    std::printf("%-58s %9.1f %9.1f %6.2f  goal %5.2f  %s\n", what, value, yardstick, ratio, goal,
                ratio <= goal ? "met" : "MISSED");
}

void report(const Samples& s) {
    std::printf("%-58s %9s\n", "figure (median)", "value");
    for (const auto& [name, values] : s) {
        std::printf("%-58s %9.1f\n", name.c_str(), median(values));
    }
    std::printf("\n%-58s %9s %9s %6s\n", "goal", "value", "yardstick", "ratio");
    printGoal("first window vs bare Qt window", mid(s, "empty start: first window, ms"),
              mid(s, "bare: first window, ms"), 1.2);
    printGoal("peak memory vs bare Qt window", mid(s, "empty start: peak memory, MiB"),
              mid(s, "bare: peak memory, MiB"), 1.2);
    printGoal("ten 1 MiB pages vs empty start", mid(s, "ten 1 MiB pages: answering, ms"),
              mid(s, "empty start: answering, ms"), 1.3);
    printGoal("ten 1 MiB pages vs bare Qt window holding one", mid(s, "ten 1 MiB pages: answering, ms"),
              mid(s, "bare: one 1 MiB page, answering, ms"), 1.1);
    printGoal("key at the end of 1 MiB (ms, goal 16)", mid(s, "key at the end of 1 MiB, ms"), 16, 1.0);
    printGoal("key while copies are written (ms, goal 16)",
              mid(s, "key while copies are written, slowest of 2.5 s, ms"), 16, 1.0);
    printGoal("copy of 1 MiB after a pause (ms, goal 1000)", mid(s, "copy of 1 MiB on disk after a pause, ms"), 1000,
              1.0);
    printGoal("Save ten changed vs floor", mid(s, "Save, ten changed 1 MiB pages, ms"),
              mid(s, "write-fsync-rename floor, ten 1 MiB, ms"), 1.5);
    printGoal("Save nothing changed (ms, goal 5)", mid(s, "Save, nothing changed, ms"), 5, 1.0);
    printGoal("16 MiB page: longest stall while copied (ms, goal 50)",
              mid(s, "16 MiB page: longest stall while its copy is written, ms"), 50, 1.0);
    printGoal("idle wake-ups per minute vs bare Qt window", mid(s, "empty start: idle wake-ups per minute"),
              mid(s, "bare: idle wake-ups per minute"), 1.0);
    printGoal("memory with ten recovery copies vs without",
              mid(s, "the same with their recovery copies written: peak memory, MiB"),
              mid(s, "ten 1 MiB pages shown and changed: memory, MiB"), 1.2);
}

}  // namespace
}  // namespace bench

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s NOTES_PROGRAM BARE_PROGRAM [runs]\n", argv[0]);
        return 2;
    }
    const int runs = argc > 3 ? std::atoi(argv[3]) : 5;
    try {
        bench::XDriver x;
        bench::Home home;
        bench::Samples samples;
        for (int run = 0; run < runs; ++run) {
            bench::startCases(x, argv[1], argv[2], home, samples);
            bench::bigPageCases(x, argv[1], argv[2], home, samples);
            bench::hugePageCase(x, argv[1], home, samples);
        }
        std::filesystem::remove_all(home.root);
        bench::report(samples);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench failed: %s\n", e.what());
        return 1;
    }
    return 0;
}
