// Save benchmark: notes.exe holding ten changed 1 MiB pages, timed from the Save
// command to the end of its handler, against the I/O floor of this process
// writing the same bytes itself (plain writes, and temp file + rename).
//
//   save_bench.exe [runs]
#include <cstdio>
#include <cstdlib>

#include "bench/bench_stats.h"
#include "tests/e2e/driver/notes_app.h"
#include "tests/e2e/driver/settings_registry.h"

namespace {

using namespace e2e;

// Page text of a run: a tag in front of the page's base text. Only the tag is
// replaced between runs: Wine's EDIT needs seconds per MiB for a whole new text,
// while the save still has every byte of every page to write.
std::string tagged(int run, const std::string& base) {
    std::string text = run % 2 ? "B" : "A";
    text += std::to_string(run % 10);
    text += ' ';
    return text + base;
}

void writeFlushed(const std::wstring& path, const std::string& bytes) {
    Handle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD wrote = 0;
    if (!file || !WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &wrote, nullptr) ||
        !FlushFileBuffers(file.get())) {
        fail("cannot write " + toUtf8(path));
    }
}

// The floor: ten files written and flushed, optionally each through a temp file
// renamed over the page file.
double ioFloorMs(const TestFolder& folder, const std::vector<std::string>& files, bool viaTemp) {
    const double start = bench::nowMs();
    for (size_t i = 0; i < files.size(); ++i) {
        const std::wstring target = folder.file(pageFileName(static_cast<int>(i) + 1));
        if (!viaTemp) {
            writeFlushed(target, files[i]);
            continue;
        }
        const std::wstring temp = target + L".floortmp";
        writeFlushed(temp, files[i]);
        if (!MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            fail("cannot rename " + toUtf8(temp));
        }
    }
    return bench::nowMs() - start;
}

// Changes every page to the run's text and times a synchronous Save.
double saveMs(NotesWindow& window, UINT saveId, const std::vector<std::string>& base, int run, int previous) {
    for (int page = 1; page <= kPageCount; ++page) {
        window.replaceStart(page, tagged(previous, base[page - 1]).find(' ') + 1, tagged(run, ""));
    }
    const double start = bench::nowMs();
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutW(window.handle(), WM_COMMAND, MAKEWPARAM(saveId, 0), 0, SMTO_NORMAL, 600000, &answer)) {
        fail("Save did not end");
    }
    return bench::nowMs() - start;
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
    try {
        clearSettings();
        TestFolder notesFolder = TestFolder::createTemporary();
        TestFolder floorFolder = TestFolder::createTemporary();
        std::vector<std::string> base;
        PageFiles pages;
        for (int page = 1; page <= kPageCount; ++page) {
            std::string text = bench::pageFile(1 << 20, page);
            text.resize(text.size() - 2);  // the page holds all but the final line end
            base.push_back(text);
            pages[page] = tagged(0, base.back()) + "\r\n";
        }
        std::unique_ptr<NotesApp> app = NotesApp::launch(notesFolder, pages);
        NotesWindow& window = app->window(kHugeWait);
        const UINT saveId = window.commandId({L"&File", L"&Save"});

        std::vector<double> saves, plain, viaTemp;
        for (int run = 1; run <= runs; ++run) {
            saves.push_back(saveMs(window, saveId, base, run, run - 1));
            std::vector<std::string> files;
            for (int page = 1; page <= kPageCount; ++page)
                files.push_back(tagged(run, base[page - 1]) + "\r\n");
            if (notesFolder.read(pageFileName(kPageCount)) != files.back()) {
                std::printf("warning: page%d.txt does not hold the saved text\n", kPageCount);
            }
            plain.push_back(ioFloorMs(floorFolder, files, false));
            viaTemp.push_back(ioFloorMs(floorFolder, files, true));
        }
        // Reference: what reading every editor's text costs (in-process WM_GETTEXT
        // through the probe, plus the copy to this process).
        std::vector<double> reads;
        for (int run = 1; run <= runs; ++run) {
            const double start = bench::nowMs();
            for (int page = 1; page <= kPageCount; ++page)
                window.text(page);
            reads.push_back(bench::nowMs() - start);
        }
        window.choose({L"&File", L"Exit &Without Save"});
        app->expectExit();

        std::printf("save of ten changed 1 MiB pages, %d runs\n", runs);
        std::printf("notes.exe Save                  median %8.1f ms   min %8.1f ms\n", bench::median(saves),
                    bench::minimum(saves));
        std::printf("floor: write + flush            median %8.1f ms   min %8.1f ms\n", bench::median(plain),
                    bench::minimum(plain));
        std::printf("floor: temp + flush + rename    median %8.1f ms   min %8.1f ms\n", bench::median(viaTemp),
                    bench::minimum(viaTemp));
        std::printf("read ten editors (reference)    median %8.1f ms   min %8.1f ms\n", bench::median(reads),
                    bench::minimum(reads));
        std::printf("ratio Save / write floor         %6.2f  (goal <= 1.5)\n",
                    bench::median(saves) / bench::median(plain));
        std::printf("ratio Save / temp+rename floor   %6.2f\n", bench::median(saves) / bench::median(viaTemp));
        clearSettings();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "save_bench: %s\n", error.what());
        return 1;
    }
    return 0;
}
