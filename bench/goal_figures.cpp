// The goals table: each goal's median against its yardstick's median (or a fixed
// limit), the ratio, and whether the goal is met; then every figure's spread.
#include "bench/goal_figures.h"

#include <algorithm>
#include <cstdio>

#include "bench/bench_stats.h"

namespace bench {
namespace {

struct Goal {
    const char* name;
    Figure figure;
    Figure yardstick;  // Figure::Count: a fixed limit of `extra` alone
    double factor;     // allowed = factor x yardstick + extra
    double extra;
    const char* goalText;
};

constexpr Goal kGoals[] = {
    {"empty start", Figure::NotesStart, Figure::BareStart, 1.2, 0, "<= 1.2 x yard"},
    {"empty start, peak working set", Figure::NotesStartPeak, Figure::BareStartPeak, 1.2, 0, "<= 1.2 x yard"},
    {"10 x 1 MiB start, page 1 in editor", Figure::NotesPagesStart, Figure::BarePageStart, 1.3, 0, "<= 1.3 x yard"},
    {"10 x 1 MiB start, peak working set", Figure::NotesPagesPeak, Figure::BarePagePeak, 1.3, 0, "<= 1.3 x yard"},
    {"first show of a hidden 1 MiB page", Figure::FirstShow, Figure::BareSetText, 1.2, 0, "<= 1.2 x yard"},
    {"return to a page shown before", Figure::ReturnShow, Figure::Count, 0, 50, "<= 50 ms"},
    {"key typed at the end of a 1 MiB page", Figure::Typing, Figure::Count, 0, 16, "<= 16 ms"},
    {"slowest key while its copy is written", Figure::TypingCopied, Figure::Count, 0, 16, "<= 16 ms"},
    {"1 MiB recovery copy after a pause", Figure::CopyAfterPause, Figure::Count, 0, 1000, "<= 1000 ms"},
    {"Save, ten 1 MiB pages changed", Figure::SaveTen, Figure::FloorTen, 1.5, 0, "<= 1.5 x yard"},
    {"Save, one page of ten changed", Figure::SaveOne, Figure::FloorOne, 1.5, 0, "<= 1.5 x yard"},
    {"Save, nothing changed", Figure::SaveNone, Figure::Count, 0, 5, "<= 5 ms"},
};

constexpr const char* kFigureNames[] = {
    "bare window start, no page",
    "bare window start, peak working set",
    "notes.exe start, no page files",
    "notes.exe start, peak working set",
    "bare window start, 1 MiB page in editor",
    "bare window start, 1 MiB, peak w. set",
    "notes.exe start, 10 x 1 MiB, page 1",
    "notes.exe start, 10 x 1 MiB, peak w. set",
    "bare window sets 1 MiB into its editor",
    "notes.exe Go to a hidden page, first show",
    "notes.exe Go back to page 1",
    "notes.exe key at end of 1 MiB page",
    "notes.exe slowest key, copies written",
    "notes.exe recovery copy after a pause",
    "notes.exe Save, ten pages changed",
    "floor: ten pages temp+flush+rename",
    "notes.exe Save, one page changed",
    "floor: that page temp+flush+rename",
    "notes.exe Save, nothing changed",
};
static_assert(std::size(kFigureNames) == static_cast<size_t>(Figure::Count));

bool isMemory(Figure figure) {
    return figure == Figure::BareStartPeak || figure == Figure::NotesStartPeak || figure == Figure::BarePagePeak ||
           figure == Figure::NotesPagesPeak;
}

std::string format(Figure figure, double value) {
    char text[32];
    if (isMemory(figure)) {
        std::snprintf(text, sizeof(text), "%.1f MiB", value);
    } else if (value >= 1000) {
        std::snprintf(text, sizeof(text), "%.2f s", value / 1000);
    } else {
        std::snprintf(text, sizeof(text), "%.1f ms", value);
    }
    return text;
}

void printGoal(const Goal& goal, const Samples& samples) {
    const std::vector<double>& values = samples.values(goal.figure);
    const bool hasYardstick = goal.yardstick != Figure::Count;
    if (values.empty() || (hasYardstick && samples.values(goal.yardstick).empty())) {
        std::printf("%-37s %11s %11s %6s  %-21s %6s  %s\n", goal.name, "n/a", "", "", goal.goalText, "",
                    "not measured");
        return;
    }
    const double figure = median(values);
    const double yardstick = hasYardstick ? median(samples.values(goal.yardstick)) : 0;
    const double allowed = goal.factor * yardstick + goal.extra;
    char ratio[16] = "-";
    if (hasYardstick) {
        std::snprintf(ratio, sizeof(ratio), "%.2f", figure / yardstick);
    }
    std::printf("%-37s %11s %11s %6s  %-21s %6.2f  %s\n", goal.name, format(goal.figure, figure).c_str(),
                hasYardstick ? format(goal.yardstick, yardstick).c_str() : "-", ratio, goal.goalText, figure / allowed,
                figure <= allowed ? "met" : "not met");
}

void printSpread(const Samples& samples) {
    std::printf("%-41s %3s %11s %11s %11s\n", "figure", "n", "min", "median", "max");
    for (size_t i = 0; i < static_cast<size_t>(Figure::Count); ++i) {
        const auto figure = static_cast<Figure>(i);
        const std::vector<double>& values = samples.values(figure);
        if (values.empty()) {
            std::printf("%-41s %3d %11s\n", kFigureNames[i], 0, "n/a");
            continue;
        }
        const auto [low, high] = std::minmax_element(values.begin(), values.end());
        std::printf("%-41s %3zu %11s %11s %11s\n", kFigureNames[i], values.size(), format(figure, *low).c_str(),
                    format(figure, median(values)).c_str(), format(figure, *high).c_str());
    }
}

}  // namespace

void printReport(const Samples& samples, int runs) {
    std::printf(
        "\nGoals: medians over %d interleaved runs (samples per figure: n below). x yard: median / the\n"
        "yardstick's median; / goal: median / what the goal allows, met when <= 1.\n",
        runs);
    std::printf("%-37s %11s %11s %6s  %-21s %6s  %s\n", "goal", "median", "yardstick", "x yard", "goal", "/ goal",
                "verdict");
    for (const Goal& goal : kGoals) {
        printGoal(goal, samples);
    }
    std::printf(
        "\nYardsticks: start = bare window, no page; 10 x 1 MiB start = bare window loading one 1 MiB page;\n"
        "first show = bare window setting 1 MiB into its editor; Save = this process writing the same bytes\n"
        "to temporary files in the same folder, flushing them and renaming them over their targets.\n\n");
    printSpread(samples);
    for (const std::string& note : samples.notes()) {
        std::printf("note: %s\n", note.c_str());
    }
}

}  // namespace bench
