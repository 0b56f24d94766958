// Drives morvane.exe as a user would, from outside its process: run in a folder holding the
// program and the examples, it starts the program, converts slot 1 Binary => Text by the button's
// command, answers the question, checks the text file and closes the program. Before the
// conversion it waits for a screenshot of the window (see ShowForScreenshot).
// Usage: smoke_driver EXPECTED_TEXT_FILE WINDOW_PLACE_FILE
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

namespace {
// Every wait polls this often, and gives up after this many polls: a hung program fails the test
// rather than hanging it.
constexpr DWORD kPollMs = 100;
constexpr int kPolls = 600;

// The program under test, ended with a failure so that nothing waits for it.
HANDLE g_program = nullptr;

[[noreturn]] void Fail(const std::string& what) {
    std::fprintf(stderr, "FAILED: %s\n", what.c_str());
    std::fflush(stderr);
    if (g_program) TerminateProcess(g_program, 1);
    ExitProcess(1);
}

template <typename Found> auto WaitFor(const std::string& what, Found found) {
    for (int i = 0; i < kPolls; ++i) {
        if (auto result = found()) return result;
        Sleep(kPollMs);
    }
    Fail("no " + what);
}

std::string Text(HWND window) {
    char text[4096] = "";
    SendMessageA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) Fail("file " + path);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The first dialog of the process other than the main window: a message box.
struct CBoxSearch {
    DWORD process;
    HWND main;
    HWND box = nullptr;
};

BOOL CALLBACK FindBox(HWND window, LPARAM search) {
    auto& s = *reinterpret_cast<CBoxSearch*>(search);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    char name[16] = "";
    GetClassNameA(window, name, sizeof name);
    if (process != s.process || window == s.main || std::string(name) != "#32770" || !IsWindowVisible(window))
        return TRUE;
    s.box = window;
    return FALSE;
}

// Tells where the window lies in the file, for the display's own screenshot, and waits until the
// shot is taken: the file is removed then.
void ShowForScreenshot(HWND window, const std::string& path) {
    RECT area;
    GetWindowRect(window, &area);
    {
        std::ofstream out(path);
        out << area.left << ' ' << area.top << ' ' << area.right - area.left << ' ' << area.bottom - area.top << '\n';
        if (!out) Fail("window place written to " + path);
    }
    WaitFor("screenshot", [&] { return GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES; });
}
}

int main(int argc, char** argv) {
    if (argc != 3) Fail("arguments: EXPECTED_TEXT_FILE WINDOW_PLACE_FILE");
    const std::string expected = ReadFile(argv[1]);
    if (GetFileAttributesA("data\\items.csv") != INVALID_FILE_ATTRIBUTES)
        Fail("a fresh folder without data\\items.csv");

    STARTUPINFOA startup {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION program {};
    char command[] = "morvane.exe";
    if (!CreateProcessA(nullptr, command, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &program))
        Fail("morvane.exe started");
    g_program = program.hProcess;

    HWND main = WaitFor("main window", [&] {
        HWND window = FindWindowA("#32770", "Morvane");
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        return process == program.dwProcessId && IsWindowVisible(window) ? window : nullptr;
    });
    // The settings beside the program were read: slot 1 shows its target's label.
    WaitFor("slot 1 loaded", [&] { return Text(GetDlgItem(main, 1038)) == "Item table"; });
    if (!Text(GetDlgItem(main, 1001)).empty()) Fail("an empty message area, not: " + Text(GetDlgItem(main, 1001)));
    if (Text(GetDlgItem(main, 1004)) != "data/items.dat")
        Fail("the binary file's path, not " + Text(GetDlgItem(main, 1004)));
    // Idle once more, so that the window has painted before it is drawn.
    DWORD_PTR ignored;
    SendMessageTimeoutA(main, WM_NULL, 0, 0, SMTO_BLOCK, 10000, &ignored);
    Sleep(500);
    ShowForScreenshot(main, argv[2]);

    PostMessageA(main, WM_COMMAND, MAKEWPARAM(1009, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(main, 1009)));
    CBoxSearch search {program.dwProcessId, main};
    HWND box = WaitFor("question", [&] {
        EnumWindows(FindBox, reinterpret_cast<LPARAM>(&search));
        return search.box;
    });
    if (Text(GetDlgItem(box, IDYES)) != "Yes" || Text(GetDlgItem(box, IDNO)) != "No")
        Fail("a Yes/No question, not " + Text(GetDlgItem(box, IDYES)) + "/" + Text(GetDlgItem(box, IDNO)));
    if ((GetWindowLongA(GetDlgItem(box, IDNO), GWL_STYLE) & BS_TYPEMASK) != BS_DEFPUSHBUTTON)
        Fail("No as the question's default");
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDYES, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, IDYES)));

    WaitFor("end of the conversion", [&] { return Text(GetDlgItem(main, 1001)).rfind("End", 0) == 0; });
    if (Text(GetDlgItem(main, 1001)) != "End [ Binary => Text ]") Fail("message " + Text(GetDlgItem(main, 1001)));
    if (ReadFile("data\\items.csv") != expected) Fail("data\\items.csv as expected");

    // Escape closes the window, and the program ends with it.
    PostMessageA(main, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    if (WaitForSingleObject(program.hProcess, kPollMs * kPolls) != WAIT_OBJECT_0) Fail("the program's end");
    DWORD exitCode = 1;
    GetExitCodeProcess(program.hProcess, &exitCode);
    if (exitCode != 0) Fail("exit code 0, not " + std::to_string(exitCode));
    std::printf("morvane.exe converted slot 1 Binary => Text and closed\n");
    return 0;
}
