// Start to visible main window: the program against the server the caller started (the demo server
// or one that never answers), and a bare Win32 window as the floor Wine sets, in one run.
// Usage: startup_bench.exe PROGRAM BARE LABEL
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {
constexpr int kRounds = 9;

struct Search {
    DWORD processId;
    bool found = false;
};

BOOL CALLBACK FindVisible(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<Search*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->processId && IsWindowVisible(window) && !GetWindow(window, GW_OWNER)) {
        search->found = true;
        return FALSE;
    }
    return TRUE;
}

// Milliseconds from the process's creation to its first visible top-level window; -1 on failure.
double TimeToVisibleWindow(const std::wstring& program) {
    STARTUPINFOW startup{sizeof startup};
    PROCESS_INFORMATION process{};
    std::wstring commandLine = L"\"" + program + L"\"";
    const auto start = std::chrono::steady_clock::now();
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return -1;
    Search search{process.dwProcessId};
    const auto limit = start + std::chrono::seconds(60);
    while (!search.found && std::chrono::steady_clock::now() < limit) {
        EnumWindows(FindVisible, reinterpret_cast<LPARAM>(&search));
        if (!search.found)
            Sleep(2);
    }
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    TerminateProcess(process.hProcess, 0);
    WaitForSingleObject(process.hProcess, 10000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return search.found ? ms : -1;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}
}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: startup_bench PROGRAM BARE LABEL\n");
        return 2;
    }
    std::vector<double> program, bare;
    // Interleaved, so both see the same state of the machine.
    for (int round = 0; round < kRounds; ++round) {
        bare.push_back(TimeToVisibleWindow(argv[2]));
        program.push_back(TimeToVisibleWindow(argv[1]));
        if (bare.back() < 0 || program.back() < 0) {
            std::fprintf(stderr, "a window never showed\n");
            return 1;
        }
    }
    const double p = Median(program), b = Median(bare);
    std::printf("%-22ls program %7.0f ms   bare window %7.0f ms   ratio %.2fx (median of %d)\n", argv[3], p, b, p / b,
                kRounds);
    return 0;
}
