// test-runner: runs tøøfel's test programs on the Windows it runs on, each
// test in a process of its own with a time limit, as CTest does on Linux, and
// writes down what came of them.
//
//   test-runner.exe FOLDER
//
// FOLDER holds the 64-bit build (toofel.exe, chat-sim.exe, tests\) and the
// 32-bit one under x86\, as the test kit and the build's out\ folder do. The
// 32-bit suites run on every Windows, the 64-bit ones on 64-bit Windows.
// Each test's output goes to FOLDER\reports\; the Windows
// version, whether Wine stands in for it, a line a suite and the total go to
// FOLDER\results.txt, or where FOLDER cannot be written, to a folder under
// %TEMP% that the runner names. After every test the runner puts back what
// the test recorded changing. Exits 0 only when no test failed.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <map>
#include <string>
#include <vector>

#include "driver.h"
#include "commit.h"
#include "put_back.h"
#include "report.h"

namespace {

constexpr DWORD kTestTimeLimitMs = 120000;  // what CTest allows each test here
constexpr int kExitBadArguments = 2;

struct Suite {
  const char* name;
  const wchar_t* program;  // within the folder
  const wchar_t* reports;  // within FOLDER\reports
  bool is64Bit;
};

constexpr Suite kSuites[] = {
    {"32-bit unit", L"x86\\tests\\toofel_tests.exe", L"x86-unit", false},
    {"32-bit desktop", L"x86\\tests\\desktop_tests.exe", L"x86-desktop", false},
    {"64-bit unit", L"tests\\toofel_tests.exe", L"x64-unit", true},
    {"64-bit desktop", L"tests\\desktop_tests.exe", L"x64-desktop", true},
};

std::string Utf8(const std::wstring& text) {
  std::string bytes(text.size() * 3, '\0');
  bytes.resize(static_cast<size_t>(WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                                       &bytes[0], static_cast<int>(bytes.size()), nullptr, nullptr)));
  return bytes;
}

std::wstring Wide(const std::string& ascii) {
  return std::wstring(ascii.begin(), ascii.end());
}

struct Run {
  bool started = false, timedOut = false;
  DWORD exitCode = 0;
};

// How the test processes are held to the time limit with all they start. Before
// Windows 8 a process already in a job (Task Scheduler, Remote Desktop and some
// consoles start programs in one) cannot put another in a job of its own;
// there a child may break away from it if the job allows that, or else the
// runner ends the test and what its record names itself.
struct Confinement {
  bool breakAway = false;
  int inJobs = 0, byRecord = 0;
};

Confinement& ConfinementOfThisRun() {
  static Confinement confinement = [] {
    Confinement here;
    BOOL inJob = FALSE;
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    if (IsProcessInJob(GetCurrentProcess(), nullptr, &inJob) && inJob &&
        QueryInformationJobObject(nullptr, JobObjectExtendedLimitInformation, &limits, sizeof limits, nullptr))
      here.breakAway = (limits.BasicLimitInformation.LimitFlags & JOB_OBJECT_LIMIT_BREAKAWAY_OK) != 0;
    return here;
  }();
  return confinement;
}

std::string ConfinementLine(const Confinement& confinement) {
  if (confinement.byRecord)
    return "Time limit: " + std::to_string(confinement.byRecord) +
           " test runs could join no job of their own; the runner ended each itself, with the programs it recorded";
  return confinement.breakAway ? "Time limit: each test left the runner's job for one of its own, ended with it"
                               : "Time limit: each test ran in a job of its own, ended with it";
}

// Where each test writes down how to put back what it changes; the runner does so after it.
const std::wstring& PutBackRecord() {
  static const std::wstring record = [] {
    wchar_t base[MAX_PATH];
    GetTempPathW(MAX_PATH, base);
    return std::wstring(base) + L"toofel-put-back-" + std::to_wstring(GetCurrentProcessId()) + L".txt";
  }();
  return record;
}

bool JobStillRuns(HANDLE job) {
  JOBOBJECT_BASIC_ACCOUNTING_INFORMATION accounting{};
  return QueryInformationJobObject(job, JobObjectBasicAccountingInformation, &accounting, sizeof accounting, nullptr) &&
         accounting.ActiveProcesses > 0;
}

// Runs the program in its own folder with its output in the file, in a job of
// its own: whatever the program starts ends with it, also after a time-out.
// Then puts back what the test changed, however it ended.
Run RunProgram(const std::wstring& program, const std::wstring& arguments, const std::wstring& output) {
  constexpr UINT kEndedAtTheLimit = 0xE0DE;
  constexpr DWORD kEndingMs = 10000;
  SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
  const HANDLE out =
      CreateFileW(output.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inheritable, CREATE_ALWAYS, 0, nullptr);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = startup.hStdError = out;
  std::wstring commandLine = L"\"" + program + L"\" " + arguments;
  const std::wstring folder = program.substr(0, program.find_last_of(L'\\'));
  const HANDLE job = CreateJobObjectW(nullptr, nullptr);
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
  limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
  SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits);
  Confinement& confinement = ConfinementOfThisRun();
  const DWORD flags = CREATE_SUSPENDED | (confinement.breakAway ? CREATE_BREAKAWAY_FROM_JOB : 0);
  Run run;
  PROCESS_INFORMATION process{};
  if (CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, TRUE, flags, nullptr, folder.c_str(),
                     &startup, &process)) {
    run.started = true;
    const bool inJob = AssignProcessToJobObject(job, process.hProcess) != FALSE;
    ++(inJob ? confinement.inJobs : confinement.byRecord);
    ResumeThread(process.hThread);
    CloseHandle(process.hThread);
    run.timedOut = WaitForSingleObject(process.hProcess, kTestTimeLimitMs) != WAIT_OBJECT_0;
    // Also what a test that ended left running.
    if (inJob) {
      TerminateJobObject(job, kEndedAtTheLimit);
      WaitUntil([&] { return !JobStillRuns(job); }, kEndingMs);
    } else {
      TerminateProcess(process.hProcess, kEndedAtTheLimit);
      WaitForSingleObject(process.hProcess, kEndingMs);
    }
    GetExitCodeProcess(process.hProcess, &run.exitCode);
    CloseHandle(process.hProcess);
  }
  CloseHandle(job);
  CloseHandle(out);
  PutBack(PutBackRecord());
  return run;
}

Outcome OutcomeOf(const Run& run, const std::wstring& output, const std::string& test) {
  if (!run.started) return {Outcome::Failed, "could not be started"};
  if (run.timedOut) return {Outcome::Failed, "still ran after the time limit of 120 s, and was ended"};
  const Outcome reported = OutcomeOfOutput(ReadBytes(output), test);
  char ending[64];
  std::snprintf(ending, sizeof ending, "ended with exit code 0x%08lX", run.exitCode);
  if (reported.kind != Outcome::Failed && run.exitCode != 0) return {Outcome::Failed, ending};
  if (reported.why == kNoOutcome) return {Outcome::Failed, reported.why + ", and " + ending};
  return reported;
}

// The outcomes of one suite, and each reason given for a skip with how many gave it.
struct Tally {
  int passed = 0, failed = 0, skipped = 0;
  std::map<std::string, int> skipReasons;
  std::vector<std::string> failures;
  std::string notRun;  // why the suite did not run at all

  void Add(const std::string& test, const Outcome& outcome) {
    if (outcome.kind == Outcome::Passed) ++passed;
    if (outcome.kind == Outcome::Skipped) {
      ++skipped;
      ++skipReasons[outcome.why];
    }
    if (outcome.kind == Outcome::Failed) {
      ++failed;
      failures.push_back(test + ": " + outcome.why);
    }
  }

  std::string Line(const char* suite) const {
    if (!notRun.empty()) return std::string(suite) + " suite: not run, " + notRun;
    std::string line = std::string(suite) + " suite: " + std::to_string(passed) + " passed, " + std::to_string(failed) +
                       " failed, " + std::to_string(skipped) + " skipped";
    std::string reasons;
    for (const auto& [reason, count] : skipReasons)
      reasons += (reasons.empty() ? "" : "; ") + std::to_string(count) + " skipped: " + reason;
    return reasons.empty() ? line : line + " (" + reasons + ")";
  }
};

// The version of Wine that runs the program; called only under Wine.
std::string WineVersion() {
  using WineGetVersion = const char*(CDECL*)();
  const auto getVersion = reinterpret_cast<WineGetVersion>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version")));
  return getVersion ? getVersion() : "unknown";
}

bool WindowsIs64Bit() {
  using IsWow64 = BOOL(WINAPI*)(HANDLE, BOOL*);
  const auto isWow64 = reinterpret_cast<IsWow64>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "IsWow64Process")));
  BOOL wow64 = FALSE;
  return sizeof(void*) == 8 || (isWow64 && isWow64(GetCurrentProcess(), &wow64) && wow64);
}

// The version Windows gives itself, from ntdll: the one GetVersionEx gives
// depends on the program's manifest from Windows 8.1 on.
std::string WindowsVersion() {
  using RtlGetVersion = LONG(WINAPI*)(OSVERSIONINFOEXW*);
  const auto getVersion = reinterpret_cast<RtlGetVersion>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "RtlGetVersion")));
  OSVERSIONINFOEXW version{};
  version.dwOSVersionInfoSize = sizeof version;
  if (!getVersion || getVersion(&version) != 0) GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&version));
  char text[64];
  std::snprintf(text, sizeof text, "%lu.%lu.%lu", version.dwMajorVersion, version.dwMinorVersion,
                version.dwBuildNumber);
  std::string line = std::string("Windows ") + text;
  if (version.szCSDVersion[0]) line += " " + Utf8(version.szCSDVersion);
  if (version.wProductType != VER_NT_WORKSTATION) line += " (server)";
  // The tests expect the chat lines and settings in the bytes of this code page.
  return line + (WindowsIs64Bit() ? ", 64-bit" : ", 32-bit") + ", code page " + std::to_string(GetACP());
}

void Say(const std::string& line) {
  std::printf("%s\n", line.c_str());
  std::fflush(stdout);
}

// Runs every test of one suite; tests that cross to the other build find it
// through the environment, and whether its programs run here.
Tally RunSuite(const Suite& suite, const std::wstring& folder, const std::wstring& output, bool otherBuildRuns,
               bool underWine) {
  const std::wstring program = folder + L"\\" + suite.program;
  const std::wstring reports = output + L"\\reports\\" + suite.reports;
  CreateDirectoryW((output + L"\\reports").c_str(), nullptr);
  CreateDirectoryW(reports.c_str(), nullptr);
  SetEnvironmentVariableW(L"TOOFEL_OTHER_BUILD", (suite.is64Bit ? folder + L"\\x86" : folder).c_str());
  SetEnvironmentVariableW(L"TOOFEL_OTHER_BUILD_RUNS", otherBuildRuns ? L"yes" : L"no");
  Tally tally;
  const std::wstring listing = reports + L"\\list.txt";
  const Run listed = RunProgram(program, L"--gtest_list_tests", listing);
  const std::vector<std::string> tests = TestsOfListing(ReadBytes(listing));
  if (tests.empty() || listed.exitCode != 0) {
    // Some Linux hosts refuse 32-bit programs; every Windows the kit is for runs them.
    if (underWine && !suite.is64Bit) {
      tally.notRun = "for this host cannot run 32-bit programs";
    } else {
      tally.Add("listing its tests", {Outcome::Failed, "the program did not list its tests"});
    }
    return tally;
  }
  for (const std::string& test : tests) {
    const std::wstring output = reports + L"\\" + Wide(test) + L".txt";
    const DWORD start = GetTickCount();
    const Run run = RunProgram(program, L"--gtest_filter=" + Wide(test), output);
    const Outcome outcome = OutcomeOf(run, output, test);
    tally.Add(test, outcome);
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, " (%.1f s)", (GetTickCount() - start) / 1000.0);
    const char* kinds[] = {"passed", "FAILED", "skipped"};
    Say(std::string("  ") + suite.name + " " + test + ": " + kinds[outcome.kind] +
        (outcome.why.empty() ? "" : ": " + outcome.why) + seconds);
  }
  return tally;
}

// Whether the console closes once the runner ends: Explorer starts a script
// that is double-clicked as cmd /c with the script's full path, in a console
// of its own, which the tester would then not see the results in.
bool ConsoleClosesAtTheEnd() {
  wchar_t commandLine[4096] = L"", script[MAX_PATH] = L"";
  GetEnvironmentVariableW(L"TOOFEL_CMD_LINE", commandLine, 4096);
  GetEnvironmentVariableW(L"TOOFEL_SCRIPT", script, MAX_PATH);
  CharLowerW(commandLine);
  CharLowerW(script);
  return script[0] && wcsstr(commandLine, L" /c ") && wcsstr(commandLine, script);
}

// Where results.txt and reports\ go: the kit's folder where it takes them, else
// (Program Files, a read-only share) a folder under %TEMP%. An earlier run's
// results.txt is removed first, so that none is taken for this run's.
std::wstring OutputFolder(const std::wstring& folder) {
  const std::wstring results = folder + L"\\results.txt", reports = folder + L"\\reports";
  DeleteFileW(results.c_str());
  CreateDirectoryW(reports.c_str(), nullptr);
  const HANDLE probe = CreateFileW((reports + L"\\written.tmp").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                   FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  const bool writable = probe != INVALID_HANDLE_VALUE && !Exists(results);
  if (probe != INVALID_HANDLE_VALUE) CloseHandle(probe);
  if (writable) return folder;
  wchar_t base[MAX_PATH];
  GetTempPathW(MAX_PATH, base);
  const std::wstring elsewhere = std::wstring(base) + L"toofel-test-kit-results";
  CreateDirectoryW(elsewhere.c_str(), nullptr);
  DeleteFileW((elsewhere + L"\\results.txt").c_str());
  return elsewhere;
}

void WriteResults(const std::wstring& file, const std::vector<std::string>& lines) {
  std::string text = "\xEF\xBB\xBF";  // UTF-8, as Notepad on Windows XP knows it
  for (const std::string& line : lines) text += line + "\r\n";
  const HANDLE out = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(out, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(out);
}

}  // namespace

int wmain(int count, wchar_t** arguments) {
  if (count != 2) {
    std::fprintf(stderr, "usage: test-runner FOLDER\n");
    return kExitBadArguments;
  }
  wchar_t full[MAX_PATH];
  if (!GetFullPathNameW(arguments[1], MAX_PATH, full, nullptr)) return kExitBadArguments;
  const std::wstring folder = full;
  const std::wstring output = OutputFolder(folder);
  DeleteFileW(PutBackRecord().c_str());
  SetEnvironmentVariableW(L"TOOFEL_PUT_BACK", PutBackRecord().c_str());
  const bool underWine = RunsUnderWine();
  const bool is64BitWindows = WindowsIs64Bit();
  std::vector<std::string> lines = {
      "t\xC3\xB8\xC3\xB8"
      "fel " TOOFEL_PRODUCT_VERSION " test kit",
      WindowsVersion(), underWine ? "Under Wine: yes, Wine " + WineVersion() : "Under Wine: no"};
  Say("toofel " TOOFEL_PRODUCT_VERSION " test kit");  // the console's code page may lack the o-slash
  Say(lines[1]);
  Say(lines[2]);
  if (output != folder) Say("The kit's folder cannot be written: the results and reports go to " + Utf8(output) + ".");
  int passed = 0, failed = 0, skipped = 0;
  bool thirtyTwoBitRuns = true;  // until a 32-bit suite does not start
  std::vector<std::string> failures;
  for (const Suite& suite : kSuites) {
    if (suite.is64Bit && !is64BitWindows) {
      lines.push_back(std::string(suite.name) + " suite: not run, for 32-bit Windows runs no 64-bit programs");
      continue;
    }
    Say(std::string("== ") + suite.name + " suite");
    const bool otherBuildRuns = suite.is64Bit ? thirtyTwoBitRuns : is64BitWindows;
    const Tally tally = RunSuite(suite, folder, output, otherBuildRuns, underWine);
    if (!suite.is64Bit && !tally.notRun.empty()) thirtyTwoBitRuns = false;
    passed += tally.passed;
    failed += tally.failed;
    skipped += tally.skipped;
    for (const std::string& failure : tally.failures) failures.push_back(std::string(suite.name) + " " + failure);
    lines.push_back(tally.Line(suite.name));
  }
  lines.push_back(ConfinementLine(ConfinementOfThisRun()));
  for (const std::string& failure : failures) lines.push_back("Failed: " + failure);
  lines.push_back(std::to_string(passed) + " passed, " + std::to_string(failed) + " failed, " +
                  std::to_string(skipped) + " skipped");
  WriteResults(output + L"\\results.txt", lines);
  Say("");
  for (size_t line = 3; line < lines.size(); ++line) Say(lines[line]);
  Say("The results are in " + Utf8(output) + "\\results.txt.");
  if (ConsoleClosesAtTheEnd()) {
    Say("Press Enter to close this window.");
    std::getchar();
  }
  return failed == 0 ? 0 : 1;
}
