// Measures tøøfel beside a baseline run in the same session and prints a table
// of figures (median and spread over several runs) against their goals, then
// one summary line. Times are ratios against the baseline or a nominal value,
// because absolute times drift from machine to machine.
#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "chat_link/chat_link.h"
#include "driver.h"
#include "platform/clock.h"

namespace {

constexpr int kRuns = 5;
constexpr int kPresses = 10;
constexpr int kSendsPerFigure = 20;
constexpr double kNominalDelayMs = 500;
constexpr char kSettings[] = "[toofel]\r\nHANDLE=bench\r\nDIR=C:\\music\r\n";

struct Spread {
  double median, low, high;
};

Spread SpreadOf(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return {values[values.size() / 2], values.front(), values.back()};
}

int goalsMet = 0;
int goalsTotal = 0;

void Row(const char* figure, const Spread& value, const char* unit, const char* goal, bool met) {
  std::printf("%-44s %10.3f %10.3f-%-10.3f %-6s %-18s %s\n", figure, value.median, value.low, value.high, unit, goal,
              met ? "met" : "NOT MET");
  ++goalsTotal;
  goalsMet += met;
}

void Info(const char* figure, const Spread& value, const char* unit, const char* note) {
  std::printf("%-44s %10.3f %10.3f-%-10.3f %-6s %s\n", figure, value.median, value.low, value.high, unit, note);
}

double Seconds() {
  return Platform::ClockSeconds();
}

void MakeMp3Files(const TempFolder& folder, int count) {
  for (int i = 0; i < count; ++i) WriteBytes(folder.File(L"song" + std::to_wstring(i) + L".mp3"), "");
}

// Starts the program and returns the seconds until its window of that class is
// shown; both programs show their window only once it is complete.
double StartUntilShown(const std::wstring& program, const TempFolder& folder, const wchar_t* className,
                       Process& process, HWND& window) {
  const double start = Seconds();
  process = StartProcess(program, L"", folder.path);
  while (!(window = FindProcessWindow(process.id, className)) &&
         WaitForSingleObject(process.handle, 1) == WAIT_TIMEOUT) {
  }
  return Seconds() - start;
}

double BaselineStart(const TempFolder& folder, DWORD& peakKiB) {
  Process baseline;
  HWND window = nullptr;
  const double seconds =
      StartUntilShown(BuiltProgram(L"bench\\bench-baseline.exe"), folder, L"toofel-baseline", baseline, window);
  peakKiB = WaitForExit(baseline);
  EndProcess(baseline);
  return window ? seconds : -1;
}

struct ToofelStart {
  double seconds;
  LRESULT listed;
  SIZE_T peakKiB;
};

ToofelStart StartAndClose(const TempFolder& program, const TempFolder& folder) {
  const std::wstring copy = CopyToofelInto(program.path);
  Process process;
  HWND window = nullptr;
  ToofelStart result{StartUntilShown(copy, folder, L"toofel", process, window), 0, 0};
  Toofel toofel = ToofelOf(process, window);
  result.listed = SendMessageW(toofel.file1, LB_GETCOUNT, 0, 0);
  WaitForInputIdle(toofel.process.handle, 5000);
  Sleep(300);
  PROCESS_MEMORY_COUNTERS memory{};
  memory.cb = sizeof memory;
  if (GetProcessMemoryInfo(toofel.process.handle, &memory, sizeof memory))
    result.peakKiB = memory.PeakWorkingSetSize / 1024;
  CloseLikeTheTaskbar(toofel.window);
  WaitForExit(toofel.process);
  EndProcess(toofel.process);
  return result;
}

void StartUpAndMemory() {
  TempFolder program, folder;
  MakeMp3Files(folder, 10);
  std::vector<double> baseline, toofel, baselineMemory, toofelMemory;
  for (int run = 0; run < kRuns; ++run) {
    DWORD peak = 0;
    baseline.push_back(BaselineStart(folder, peak));
    baselineMemory.push_back(peak);
    const ToofelStart start = StartAndClose(program, folder);
    toofel.push_back(start.seconds);
    toofelMemory.push_back(static_cast<double>(start.peakKiB));
  }
  std::vector<double> ratios;
  for (int run = 0; run < kRuns; ++run) ratios.push_back(toofel[run] / baseline[run]);
  Info("baseline start-up", SpreadOf(baseline), "s", "");
  Info("toofel start-up, 10 mp3 files", SpreadOf(toofel), "s", "");
  Row("start-up / baseline", SpreadOf(ratios), "x", "<= 1.3", SpreadOf(ratios).median <= 1.3);
  ratios.clear();
  for (int run = 0; run < kRuns; ++run) ratios.push_back(toofelMemory[run] / baselineMemory[run]);
  Info("baseline peak working set", SpreadOf(baselineMemory), "KiB", "");
  Info("toofel peak working set, idle", SpreadOf(toofelMemory), "KiB", "");
  Row("peak working set / baseline", SpreadOf(ratios), "x", "<= 1.3", SpreadOf(ratios).median <= 1.3);
}

void Size() {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  GetFileAttributesExW(BuiltProgram(L"toofel.exe").c_str(), GetFileExInfoStandard, &data);
  const double kib = data.nFileSizeLow / 1024.0;
  Row("size of toofel.exe", {kib, kib, kib}, "KiB", "<= 256", kib <= 256);
}

void IdLineDelay() {
  TempFolder program, folder;
  WriteBytes(program.File(L"info.ini"), kSettings);
  const std::wstring log = folder.File(L"chat.log");
  Process sim = StartChatSim(log, L"tcisr");
  Toofel toofel = StartToofel(program.path, folder.path);
  std::vector<double> late;
  for (int press = 0; press < kPresses; ++press) {
    PressAndRelease(toofel.label, Button::Left);
    std::vector<ChatRecord> lines;
    WaitUntil([&] { return (lines = ReadChatLog(log)).size() >= 2u * (press + 1); });
    if (lines.size() < 2u * (press + 1)) break;
    late.push_back(lines[2 * press + 1].ms - lines[2 * press].ms - kNominalDelayMs);
  }
  CloseLikeTheTaskbar(toofel.window);
  WaitForExit(toofel.process);
  EndProcess(toofel.process);
  EndProcess(sim);
  if (late.empty()) {
    std::printf("id line delay: no lines arrived\n");
    return;
  }
  const Spread spread = SpreadOf(late);
  Row("id line lateness after 500 ms, median", spread, "ms", "<= 2", spread.median <= 2);
  Row("id line lateness after 500 ms, worst", {spread.high, spread.low, spread.high}, "ms", "<= 10",
      spread.high <= 10);
  Info("id line delay / nominal 500 ms", {1 + spread.median / kNominalDelayMs, 1 + spread.low / kNominalDelayMs,
                                          1 + spread.high / kNominalDelayMs}, "x", "");
}

// Mean seconds of one SendChatLine with the given number of documents ahead of the room.
Spread SendCost(int documentsAhead) {
  TempFolder folder;
  std::wstring rooms;
  for (int i = 0; i < documentsAhead; ++i) rooms += L"tcs ";
  Process sim = StartChatSim(folder.File(L"chat.log"), rooms + L"tcisr");
  // One line off the clock, so that one-time costs stay out of the figure.
  Module1::SendChatLine(L"x");
  std::vector<double> means;
  for (int run = 0; run < kRuns; ++run) {
    const double start = Seconds();
    for (int send = 0; send < kSendsPerFigure; ++send) Module1::SendChatLine(L"x");
    means.push_back((Seconds() - start) / kSendsPerFigure);
  }
  PostMessageW(FindProcessWindow(sim.id, L"AOL Frame25"), WM_CLOSE, 0, 0);
  WaitForExit(sim);
  EndProcess(sim);
  return SpreadOf(means);
}

void SendScaling() {
  const Spread one = SendCost(1);
  const Spread hundred = SendCost(100);
  const Spread thousand = SendCost(1000);
  Info("SendChatLine, 1 document ahead", {one.median * 1e3, one.low * 1e3, one.high * 1e3}, "ms", "");
  Info("SendChatLine, 100 documents ahead", {hundred.median * 1e3, hundred.low * 1e3, hundred.high * 1e3}, "ms", "");
  Info("SendChatLine, 1000 documents ahead", {thousand.median * 1e3, thousand.low * 1e3, thousand.high * 1e3}, "ms",
       "");
  const double perWindow = (thousand.median - one.median) / 999 * 1e6;
  Info("cost per document window", {perWindow, perWindow, perWindow}, "us", "");
  // Linear growth: 1000 windows cost at most 1000 times one window, with headroom for the fixed part.
  const double growth = thousand.median / one.median;
  Row("SendChatLine 1000 ahead / 1 ahead", {growth, growth, growth}, "x", "<= 1000 (linear)", growth <= 1000);
}

void Mp3Scaling() {
  DWORD peak = 0;
  TempFolder empty;
  std::vector<double> baseline;
  for (int run = 0; run < kRuns; ++run) baseline.push_back(BaselineStart(empty, peak));
  const double baselineMedian = SpreadOf(baseline).median;
  for (const int count : {10, 1000, 20000}) {
    TempFolder program, folder;
    MakeMp3Files(folder, count);
    std::vector<double> ratios;
    bool exact = true;
    for (int run = 0; run < kRuns; ++run) {
      const ToofelStart start = StartAndClose(program, folder);
      ratios.push_back(start.seconds / baselineMedian);
      exact = exact && start.listed == count;
    }
    const std::string figure = "start-up / baseline, " + std::to_string(count) + " mp3 files";
    Info(figure.c_str(), SpreadOf(ratios), "x", "");
    const std::string shown = "count shown with " + std::to_string(count) + " files exact";
    Row(shown.c_str(), {static_cast<double>(exact), 0, 1}, "", "exact", exact);
  }
}

}  // namespace

// With a figure's name, only that figure runs: startup, size, delay, send or mp3.
int main(int argc, char** argv) {
  const std::string only = argc > 1 ? argv[1] : "";
  auto wanted = [&](const char* name) { return only.empty() || only == name; };
  std::printf("%-44s %10s %21s %-6s %-18s %s\n", "figure", "median", "spread", "unit", "goal", "");
  if (wanted("startup")) StartUpAndMemory();
  if (wanted("size")) Size();
  if (wanted("delay")) IdLineDelay();
  if (wanted("send")) SendScaling();
  if (wanted("mp3")) Mp3Scaling();
  std::printf("summary: %d of %d goals met\n", goalsMet, goalsTotal);
  return 0;
}
