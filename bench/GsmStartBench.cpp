// gsm-start-bench.exe: how long zorvik-gsm.exe takes to show its window, beside how long
// zorvik-cli.exe --version takes to end, both started the same way from one process (under Wine,
// one Wine start for all the runs), and the window's resident memory once shown. Prints figures;
// it judges nothing.
//
// Usage: gsm-start-bench.exe GSM_EXE CLI_EXE [runs]
#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

double Millis(const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) /
           static_cast<double>(frequency.QuadPart);
}

// Starts `command`; for a window, waits until it waits for input (its window shown), else until
// it ends. Returns the milliseconds, and the resident bytes of a window.
double Run(const std::wstring& command, bool window, SIZE_T& resident) {
    std::wstring line = command;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    LARGE_INTEGER start;
    LARGE_INTEGER end;
    QueryPerformanceCounter(&start);
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        std::fwprintf(stderr, L"cannot start %ls\n", command.c_str());
        std::exit(1);
    }
    if (window) {
        WaitForInputIdle(process.hProcess, 30000);
    } else {
        WaitForSingleObject(process.hProcess, 30000);
    }
    QueryPerformanceCounter(&end);
    if (window) {
        PROCESS_MEMORY_COUNTERS memory{};
        memory.cb = sizeof memory;
        GetProcessMemoryInfo(process.hProcess, &memory, sizeof memory);
        resident = memory.WorkingSetSize;
        TerminateProcess(process.hProcess, 0);
        WaitForSingleObject(process.hProcess, 30000);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return Millis(start, end);
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        std::fwprintf(stderr, L"usage: gsm-start-bench.exe GSM_EXE CLI_EXE [runs]\n");
        return 2;
    }
    const int runs = argc > 3 ? std::max(1, _wtoi(argv[3])) : 5;
    std::vector<double> gsm;
    std::vector<double> cli;
    SIZE_T resident = 0;
    for (int i = 0; i < runs; ++i) {
        gsm.push_back(Run(L"\"" + std::wstring(argv[1]) + L"\"", true, resident));
        SIZE_T unused = 0;
        cli.push_back(Run(L"\"" + std::wstring(argv[2]) + L"\" --version", false, unused));
    }
    const double shown = Median(gsm);
    const double version = Median(cli);
    std::printf("zorvik-gsm.exe window shown: %.0f ms (median of %d)\n", shown, runs);
    std::printf("zorvik-cli.exe --version:    %.0f ms\n", version);
    std::printf("ratio: %.2f\n", shown / version);
    std::printf("zorvik-gsm.exe resident once shown: %.1f MB\n",
                static_cast<double>(resident) / (1024.0 * 1024.0));
    return 0;
}
