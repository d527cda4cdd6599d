// Times one installer run from inside Wine, so that the loader's own start-up
// is not counted and every installer is measured the same way.
//   install_timer wait COMMANDLINE      run, wait for the end
//   install_timer setup COMMANDLINE     run setup.exe -q: press Finish as soon as
//                                        it is usable, as the end-to-end driver does
//   install_timer firstpage COMMANDLINE time to the first wizard page, then end it
//   install_timer inflate ARCHIVE ROUNDS raw inflate of the archive's deflate
//                                        data from memory, fastest of ROUNDS
//   install_timer compare ROUNDS FOLDER SETUP.EXE [NSIS.EXE...]
//                                        interleaved rounds into new folders
//                                        under FOLDER, then medians
//                                        (bench/windows-bench.cmd)
// Prints key=value pairs on one line; exit status 0 when the run went as expected.
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>
#include <psapi.h>
#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "SetupWindows.h"

namespace {

constexpr DWORD kPollMs = 5;
constexpr double kTimeoutSeconds = 600;

class Clock {
public:
    Clock() {
        QueryPerformanceFrequency(&frequency_);
        QueryPerformanceCounter(&start_);
    }
    double Seconds() const {
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        return static_cast<double>(now.QuadPart - start_.QuadPart) / static_cast<double>(frequency_.QuadPart);
    }

private:
    LARGE_INTEGER frequency_, start_;
};

// The child's console output (xcopy's count) goes to NUL, so that standard
// output carries only the measurement.
bool Start(const char* commandLine, PROCESS_INFORMATION& process) {
    std::vector<char> writable(commandLine, commandLine + std::strlen(commandLine) + 1);
    SECURITY_ATTRIBUTES inheritable = {sizeof inheritable, nullptr, TRUE};
    HANDLE nul = CreateFileA("NUL", GENERIC_WRITE, FILE_SHARE_WRITE, &inheritable, OPEN_EXISTING, 0, nullptr);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = startup.hStdError = nul;
    bool started =
        CreateProcessA(nullptr, writable.data(), nullptr, nullptr, TRUE, 0, nullptr, "C:\\", &startup, &process);
    if (nul != INVALID_HANDLE_VALUE) CloseHandle(nul);
    if (started) return true;
    std::fprintf(stderr, "install_timer: cannot start %s (error %lu)\n", commandLine, GetLastError());
    return false;
}

DWORD ExitCode(HANDLE process) {
    DWORD code = 0;
    GetExitCodeProcess(process, &code);
    return code;
}

double PeakWorkingSetMB(HANDLE process) {
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(process, &counters, sizeof counters)) return -1;
    return counters.PeakWorkingSetSize / 1048576.0;
}

bool Running(HANDLE process) { return WaitForSingleObject(process, kPollMs) == WAIT_TIMEOUT; }

// The wizard's sheet once it shows a page, or null when the process ended first.
HWND WaitForFirstPage(const PROCESS_INFORMATION& process, const Clock& clock) {
    while (Running(process.hProcess) && clock.Seconds() < kTimeoutSeconds) {
        HWND sheet = FindSetupWindows(process.dwProcessId).sheet;
        if (sheet && IsWindowVisible(CurrentPage(sheet))) return sheet;
    }
    return nullptr;
}

// A message box means the install failed: report it instead of waiting on.
bool MessageBoxShown(DWORD processId) {
    SetupWindows windows = FindSetupWindows(processId);
    if (windows.messageBoxes.empty()) return false;
    std::fprintf(stderr, "install_timer: message box \"%s\"\n", ControlText(windows.messageBoxes.front(), 0xFFFF).c_str());
    return true;
}

// Each poll is one request to Wine's server (the button's style), not a walk
// over the sheet's children and parents: the poller shares the server with
// the installation it measures.
bool FinishUsable(HWND finish) {
    LONG style = GetWindowLongA(finish, GWL_STYLE);
    return (style & WS_VISIBLE) && !(style & WS_DISABLED);
}

bool WaitForFinish(const PROCESS_INFORMATION& process, HWND sheet, const Clock& clock) {
    HWND finish = GetDlgItem(sheet, kFinishButton);
    for (unsigned polls = 1; finish && Running(process.hProcess) && clock.Seconds() < kTimeoutSeconds; ++polls) {
        if (FinishUsable(finish) && ButtonUsable(sheet, kFinishButton)) return true;
        if (polls % 50 == 0 && MessageBoxShown(process.dwProcessId)) return false;
    }
    return false;
}

void Close(PROCESS_INFORMATION& process) {
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

struct Timing {
    bool ok = false;
    double total = 0;
    double peakMB = 0;
};

// The peak working set of a process that ends by itself: sampled while it runs
// (an ended process has no counters), so the figure is the last sample's peak.
Timing TimeAndWait(const char* commandLine) {
    Timing timing;
    PROCESS_INFORMATION process = {};
    Clock clock;
    if (!Start(commandLine, process)) return timing;
    do {
        double now = PeakWorkingSetMB(process.hProcess);
        if (now > timing.peakMB) timing.peakMB = now;
    } while (Running(process.hProcess));
    timing.total = clock.Seconds();
    DWORD code = ExitCode(process.hProcess);
    std::printf("total=%.4f peak_ws_mb=%.1f exit=%lu\n", timing.total, timing.peakMB, code);
    Close(process);
    timing.ok = code == 0;
    return timing;
}

Timing TimeSetup(const char* commandLine) {
    Timing timing;
    PROCESS_INFORMATION process = {};
    Clock clock;
    if (!Start(commandLine, process)) return timing;
    HWND sheet = WaitForFirstPage(process, clock);
    double firstPage = clock.Seconds();
    bool finished = sheet && WaitForFinish(process, sheet, clock);
    double finishUsable = clock.Seconds();
    timing.peakMB = PeakWorkingSetMB(process.hProcess);
    std::string result = finished ? ControlText(CurrentPage(sheet), 1010) : "";
    if (finished) PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_FINISH, 0);
    if (!finished || WaitForSingleObject(process.hProcess, 60000) != WAIT_OBJECT_0) {
        TerminateProcess(process.hProcess, 99);
        WaitForSingleObject(process.hProcess, 10000);
    }
    timing.total = clock.Seconds();
    DWORD code = ExitCode(process.hProcess);
    std::printf("total=%.4f first_page=%.4f finish_usable=%.4f peak_ws_mb=%.1f exit=%lu result=\"%s\"\n",
                timing.total, firstPage, finishUsable, timing.peakMB, code, result.c_str());
    Close(process);
    timing.ok = finished && code == 0 && result.find("successful") != std::string::npos;
    return timing;
}

int RunAndWait(const char* commandLine) { return TimeAndWait(commandLine).ok ? 0 : 1; }
int RunSetup(const char* commandLine) { return TimeSetup(commandLine).ok ? 0 : 1; }

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// compare ROUNDS FOLDER SETUP [INSTALLER...]: each round installs with every
// program once into a new folder under FOLDER, each round starting one program
// later; setup.exe with -q, the others (NSIS) with /S /D=. Then the medians.
int RunCompare(int rounds, const std::string& folder, const std::vector<std::string>& programs) {
    if (rounds < 1 || programs.empty()) return 2;
    std::vector<std::vector<double>> totals(programs.size()), peaks(programs.size());
    for (int round = 1; round <= rounds; ++round) {
        for (size_t k = 0; k < programs.size(); ++k) {
            size_t which = (k + static_cast<size_t>(round)) % programs.size();
            std::string target = folder + "\\run" + std::to_string(which) + "-" + std::to_string(round);
            std::string command = "\"" + programs[which] + "\" " + (which == 0 ? "-q " + target : "/S /D=" + target);
            std::printf("round %d, %s: ", round, programs[which].c_str());
            std::fflush(stdout);
            Timing timing = which == 0 ? TimeSetup(command.c_str()) : TimeAndWait(command.c_str());
            if (!timing.ok) {
                std::fprintf(stderr, "install_timer: %s failed\n", command.c_str());
                return 1;
            }
            totals[which].push_back(timing.total);
            peaks[which].push_back(timing.peakMB);
        }
    }
    double ours = Median(totals[0]);
    for (size_t which = 0; which < programs.size(); ++which) {
        double median = Median(totals[which]);
        std::printf("median %.2f s, peak working set %.1f MB, ours / this %.2f: %s\n", median, Median(peaks[which]),
                    ours / median, programs[which].c_str());
    }
    return 0;
}

int RunToFirstPage(const char* commandLine) {
    PROCESS_INFORMATION process = {};
    Clock clock;
    if (!Start(commandLine, process)) return 1;
    HWND sheet = WaitForFirstPage(process, clock);
    double firstPage = clock.Seconds();
    double peak = PeakWorkingSetMB(process.hProcess);
    TerminateProcess(process.hProcess, 99);
    WaitForSingleObject(process.hProcess, 10000);
    std::printf("first_page=%.4f peak_ws_mb=%.1f title=\"%s\"\n", firstPage, peak,
                sheet ? PageTitle(sheet).c_str() : "");
    Close(process);
    return sheet ? 0 : 1;
}

bool LoadFile(const char* path, std::vector<unsigned char>& data) {
    std::FILE* file = std::fopen(path, "rb");
    if (!file) return false;
    std::fseek(file, 0, SEEK_END);
    long size = std::ftell(file);
    std::fseek(file, 0, SEEK_SET);
    data.resize(size > 0 ? static_cast<size_t>(size) : 0);
    bool ok = size > 0 && std::fread(data.data(), 1, data.size(), file) == data.size();
    std::fclose(file);
    return ok;
}

uint32_t LittleEndian32(const unsigned char* at) {
    return at[0] | (at[1] << 8) | (at[2] << 16) | (static_cast<uint32_t>(at[3]) << 24);
}

// The deflate data of a packer-made archive: behind the 19-byte archive
// header and the 10-byte gzip header (the packer writes no optional fields).
bool DeflateData(const std::vector<unsigned char>& archive, const unsigned char*& data, size_t& length) {
    if (archive.size() < 4) return false;
    size_t header = LittleEndian32(archive.data() + archive.size() - 4);
    size_t start = header + 19 + 10;
    if (start + 8 + 4 > archive.size() || archive[header + 19] != 0x1F || archive[header + 22] != 0) return false;
    data = archive.data() + start;
    length = archive.size() - 4 - start;
    return true;
}

// Inflates into one 32 KB buffer, as the setup's transfer buffer is used.
double InflateOnce(const unsigned char* data, size_t length, uint64_t& produced) {
    static unsigned char output[32768];
    z_stream stream = {};
    Clock clock;
    if (inflateInit2(&stream, -MAX_WBITS) != Z_OK) return -1;
    stream.next_in = const_cast<unsigned char*>(data);
    stream.avail_in = static_cast<uInt>(length);
    int result = Z_OK;
    produced = 0;
    while (result == Z_OK) {
        stream.next_out = output;
        stream.avail_out = sizeof output;
        result = inflate(&stream, Z_NO_FLUSH);
        produced += sizeof output - stream.avail_out;
    }
    inflateEnd(&stream);
    return result == Z_STREAM_END ? clock.Seconds() : -1;
}

int RunInflate(const char* path, int rounds) {
    std::vector<unsigned char> archive;
    const unsigned char* data = nullptr;
    size_t length = 0;
    if (!LoadFile(path, archive) || !DeflateData(archive, data, length)) {
        std::fprintf(stderr, "install_timer: %s is not a readable archive\n", path);
        return 1;
    }
    double best = 1e30;
    uint64_t produced = 0;
    for (int round = 0; round < rounds; ++round) {
        double took = InflateOnce(data, length, produced);
        if (took < 0) {
            std::fprintf(stderr, "install_timer: inflate failed\n");
            return 1;
        }
        if (took < best) best = took;
    }
    std::printf("inflate=%.4f bytes=%llu compressed=%llu\n", best, static_cast<unsigned long long>(produced),
                static_cast<unsigned long long>(length));
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && !std::strcmp(argv[1], "wait")) return RunAndWait(argv[2]);
    if (argc == 3 && !std::strcmp(argv[1], "setup")) return RunSetup(argv[2]);
    if (argc == 3 && !std::strcmp(argv[1], "firstpage")) return RunToFirstPage(argv[2]);
    if (argc == 4 && !std::strcmp(argv[1], "inflate")) return RunInflate(argv[2], std::atoi(argv[3]));
    if (argc >= 5 && !std::strcmp(argv[1], "compare"))
        return RunCompare(std::atoi(argv[2]), argv[3], std::vector<std::string>(argv + 4, argv + argc));
    std::fputs("usage: install_timer (wait|setup|firstpage) COMMANDLINE | inflate ARCHIVE ROUNDS\n"
               "       install_timer compare ROUNDS FOLDER SETUP.EXE [NSIS.EXE...]\n", stderr);
    return 2;
}
