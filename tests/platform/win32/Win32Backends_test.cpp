// The Win32 back ends against the real system functions (under Wine on Linux). The serial port's
// reader test runs under SerialUnderWine, and is skipped without it.
#include <winsock2.h>  // before windows.h

#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/Startup.h"
#include "platform/posix/SystemClock.h"
#include "platform/win32/HttpClientWin32.h"
#include "platform/win32/ProcessLauncherWin32.h"
#include "platform/win32/SerialPortWin32.h"
#include "platform/win32/Win32Clipboard.h"
#include "platform/win32/Win32KeyInjector.h"
#include "platform/win32/Win32WindowActivator.h"
#include "reader/ReaderSetup.h"
#include "resources/Resources.h"
#include "support/ScriptedOperatorUi.h"
#include "support/TempFolder.h"
#include "text/Cp1255.h"

namespace korvex {
namespace {

void pump() {
    for (MSG message; ::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE);) {
        ::TranslateMessage(&message);  // key messages become characters
        ::DispatchMessageW(&message);
    }
}

std::vector<WPARAM> systemCommands;  // the paste commands a target got, recorded, not acted on

LRESULT CALLBACK targetProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_SYSCOMMAND || (wParam & 0xFFFF) >= 0xF000)
        return ::DefWindowProcW(window, message, wParam, lParam);
    systemCommands.push_back(wParam);
    return 0;
}

// A window of the test's own: its edit control holds what it received.
struct TargetWindow {
    HWND frame, edit;
    explicit TargetWindow(const std::wstring& title) {
        static const WNDCLASSW windowClass{
            0,       &targetProcedure, 0,       0,       ::GetModuleHandleW(nullptr),
            nullptr, nullptr,          nullptr, nullptr, L"KorvexTarget"};
        static const ATOM registered = ::RegisterClassW(&windowClass);
        frame = ::CreateWindowExW(0, reinterpret_cast<LPCWSTR>(uintptr_t{registered}),
                                  title.c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 400, 200,
                                  nullptr, nullptr, nullptr, nullptr);
        edit = ::CreateWindowExW(0, L"EDIT", L"",
                                 WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_AUTOHSCROLL, 0, 0, 380,
                                 150, frame, nullptr, nullptr, nullptr);
    }
    ~TargetWindow() { ::DestroyWindow(frame), pump(); }
    bool focus() const {
        ::SetForegroundWindow(frame);
        ::SetFocus(edit);
        pump();
        return ::GetForegroundWindow() == frame && ::GetFocus() == edit;
    }
    std::wstring text() const {
        wchar_t buffer[4096] = {};
        return std::wstring(buffer, std::size_t(::GetWindowTextW(edit, buffer, 4096)));
    }
};

TEST(Win32WindowActivator, BringsTheMatchingVisibleWindowToTheFront) {
    const TargetWindow first(L"Korvex Activation Ledger 4711"), other(L"Other window"),
        second(L"\u05D4\u05E0\u05D4\u05DC\u05EA Korvex 4711"), hidden(L"Korvex hidden 5150");
    ::ShowWindow(hidden.frame, SW_HIDE);
    ASSERT_TRUE(other.focus());
    ::ShowWindow(first.frame, SW_MINIMIZE);  // a minimised window comes back
    pump();
    Win32WindowActivator activator;
    // No match leaves the front window alone; a text cut at its NUL would match "Korvex".
    const std::pair<std::string, HWND> cases[] = {
        {"Korvex hidden 5150", nullptr},
        {std::string("Korvex\0odd", 10), nullptr},
        {"korvex activation ledger", first.frame},
        {cp1255::fromUtf8("הנהלת"), second.frame},
        {"Ledger 4711", first.frame},
    };
    HWND front = other.frame;
    for (const auto& [text, window] : cases) {
        SCOPED_TRACE(text.substr(0, 40));
        const PlatformResult result = activator.appActivate(text);
        EXPECT_EQ(result.kind, window ? PlatformResult::Kind::Ok : PlatformResult::Kind::NotFound);
        EXPECT_EQ(activator.lastError(), window ? 0u : uint32_t{ERROR_INVALID_WINDOW_HANDLE});
        front = window ? window : front;
        EXPECT_EQ(activator.foregroundWindow(), reinterpret_cast<uintptr_t>(front));
    }
    EXPECT_FALSE(::IsIconic(first.frame));
}

void press(std::vector<KeyEvent>& events, KeyEvent event) {
    events.push_back(event);
    event.keyUp = true;
    events.push_back(event);
}

// A long batch arrives whole and in order: keys, surrogate pairs, U+FFFD for code points that are
// no characters; then keybd_event types one key at a time.
TEST(Win32KeyInjector, TypesIntoTheFocusedWindow) {
    const TargetWindow target(L"Korvex typing target");
    ASSERT_TRUE(target.focus());
    std::vector<KeyEvent> events = {KeyEvent::key(VK_SHIFT, 0x2A, false)};
    press(events, KeyEvent::key('K', 0x25, false));
    events.push_back(KeyEvent::key(VK_SHIFT, 0x2A, true));
    for (const char32_t c : {U'\U0001F600', char32_t{0xD800}, char32_t{0x110000}})
        press(events, KeyEvent::unicode(c, false));
    std::wstring expected = L"K\U0001F600\uFFFD\uFFFD";
    for (int i = 0; i < 500; ++i) {
        press(events, KeyEvent::key(static_cast<uint8_t>('A' + i % 26), 0, false));
        press(events, KeyEvent::unicode(U'\u05D0' + static_cast<char32_t>(i % 27), false));
        expected += {static_cast<wchar_t>('a' + i % 26), static_cast<wchar_t>(0x5D0 + i % 27)};
    }
    Win32KeyInjector keys;
    ASSERT_TRUE(keys.sendBatch(events));
    EXPECT_EQ(keys.lastError(), 0u);
    events.clear();
    press(events, KeyEvent::key('Q', 0x10, false));
    press(events, KeyEvent::unicode(U'\u20AA', false));
    for (const KeyEvent& e : events) keys.sendKey(e);
    expected += L"q\u20AA";
    for (int i = 0; i < 2000 && target.text().size() < expected.size(); ++i) pump(), ::Sleep(5);
    EXPECT_EQ(target.text(), expected);
}

// The text as other programs read it, and the paste command as the window gets it (-8191).
TEST(Win32Clipboard, PutsTheTextOnAsUnicodeAndSendsThePasteCommand) {
    Win32Clipboard clipboard;
    const std::pair<std::string, std::wstring> cases[] = {
        {cp1255::fromUtf8("שלום 12 ₪\r\n"), L"\u05E9\u05DC\u05D5\u05DD 12 \u20AA\r\n"},
        {std::string("a\0b", 3), L"ab"},  // a NUL would cut the text short
    };
    for (const auto& [text, expected] : cases) {
        ASSERT_TRUE(clipboard.setText(text));
        ASSERT_TRUE(::OpenClipboard(nullptr));
        HANDLE data = ::GetClipboardData(CF_UNICODETEXT);
        const auto* chars = static_cast<const wchar_t*>(data ? ::GlobalLock(data) : nullptr);
        EXPECT_EQ(std::wstring(chars ? chars : L"<none>"), expected);
        if (chars) ::GlobalUnlock(data);
        ::CloseClipboard();
    }
    const TargetWindow target(L"Korvex paste target");
    EXPECT_TRUE(clipboard.paste(reinterpret_cast<uintptr_t>(target.frame)));
    ASSERT_EQ(systemCommands.size(), 1u);
    EXPECT_EQ(static_cast<uint32_t>(systemCommands[0]), 0xFFFFE001u);
}

using std::chrono::milliseconds;
using test::TempFolder;

bool waitForFile(const TempFolder& folder, const std::string& name) {
    for (int i = 0; i < 400 && folder.read(name).empty(); ++i) ::Sleep(25);
    return !folder.read(name).empty();
}

TEST(ProcessLauncherWin32, RunsABatchFileWaitedForOrNot) {
    TempFolder folder;
    // Writes its first argument into the file named by its second and ends with status 7.
    folder.write("netpbm\\echo.bat", "@echo off\r\necho %~1>\"%~2\"\r\nexit /b 7\r\n");
    std::filesystem::create_directories(folder / "out dir");
    ProcessLauncherWin32 launcher(folder.path());
    LaunchResult r = launcher.runScript("netpbm\\echo", {"hello world", "out dir\\result.txt"},
                                        milliseconds(30000));
    ASSERT_TRUE(r.started) << r.error;
    EXPECT_EQ(r.exitCode, 7);
    EXPECT_EQ(folder.read("out dir\\result.txt"), "hello world\r\n");
    r = launcher.runScript("netpbm\\echo", {"later", "later.txt"}, std::nullopt);
    ASSERT_TRUE(r.started) << r.error;
    EXPECT_EQ(r.exitCode, -1);
    // Not waited for: the file may be read while it is being written.
    for (int i = 0; i < 400 && folder.read("later.txt") != "later\r\n"; ++i) ::Sleep(25);
    EXPECT_EQ(folder.read("later.txt"), "later\r\n");
}

TEST(ProcessLauncherWin32, AWaitedScriptPastItsTimeLimitIsEndedWithWhatItStarted) {
    TempFolder folder;
    // The batch file hangs in a second interpreter that it started, which writes while it runs.
    folder.write("netpbm\\hang.bat", "@cmd /c netpbm\\spin.bat\r\n");
    folder.write("netpbm\\spin.bat", "@echo off\r\n:again\r\necho x>>ticks.txt\r\ngoto again\r\n");
    ProcessLauncherWin32 launcher(folder.path());
    const auto before = std::chrono::steady_clock::now();
    const LaunchResult r = launcher.runScript("netpbm\\hang", {}, milliseconds(1500));
    EXPECT_LT(std::chrono::steady_clock::now() - before, milliseconds(10000));
    ASSERT_TRUE(r.started) << r.error;
    EXPECT_TRUE(r.timedOut);
    ASSERT_TRUE(waitForFile(folder, "ticks.txt"));
    ::Sleep(300);
    const auto size = std::filesystem::file_size(folder / "ticks.txt");
    ::Sleep(1000);
    EXPECT_EQ(std::filesystem::file_size(folder / "ticks.txt"), size) << "still running";
}

TEST(ProcessLauncherWin32, WatchdogRunsUnderTheScriptHost) {
    TempFolder folder;
    // The last two arguments: Wine's wscript.exe passes its "//" options on to the script.
    folder.write("watch.vbs",
                 "n = WScript.Arguments.Count\r\n"
                 "Set fso = CreateObject(\"Scripting.FileSystemObject\")\r\n"
                 "Set f = fso.CreateTextFile(WScript.Arguments(n - 1), True)\r\n"
                 "f.Write WScript.Arguments(n - 2) & \"|\" & WScript.Arguments(n - 1)\r\n"
                 "f.Close\r\n");
    ProcessLauncherWin32 launcher(folder.path(), &windowsWatchdogCommand);
    EXPECT_EQ(launcher.watchdogHost(), ProcessLauncher::WatchdogHost::WindowsScriptHost);
    const LaunchResult r =
        launcher.startWatchdog(folder / "watch.vbs", folder / "Korvex.exe", folder / "Korvex.sem");
    ASSERT_TRUE(r.started) << r.error;
    ASSERT_TRUE(waitForFile(folder, "Korvex.sem"));
    EXPECT_EQ(folder.read("Korvex.sem"),
              (folder / "Korvex.exe").string() + "|" + (folder / "Korvex.sem").string());
}

// The shipped watchdog restarts the program until the program leaves the shutdown file, then
// removes that file. Named .vbs and started without the "//" options, which Wine's wscript.exe
// would hand on to the script.
TEST(ProcessLauncherWin32, TheWatchdogRestartsTheProgramUntilItsShutdownFile) {
    TempFolder folder;
    // One that does not stop must not outlive the test.
    const std::shared_ptr<void> endWatchdog(
        nullptr, [](void*) { std::system("taskkill /f /im wscript.exe >nul 2>&1"); });
    folder.write("watch.vbs", resources::watchdogVbScript());
    folder.write("program.bat", "@echo x>>\"%~dp0runs.txt\"\r\n");
    folder.write("Korvex.shutdown", "");  // an earlier run's: the watchdog removes it first
    ProcessLauncherWin32 launcher(folder.path(), [](auto& script, auto& program, auto& file) {
        return "wscript.exe \"" + script + "\" \"" + program + "\" \"" + file + "\"";
    });
    ASSERT_TRUE(
        launcher
            .startWatchdog(folder / "watch.vbs", folder / "program.bat", folder / "Korvex.shutdown")
            .started);
    for (int i = 0; i < 400 && folder.read("runs.txt").size() < 6; ++i) ::Sleep(25);
    ASSERT_GE(folder.read("runs.txt").size(), 6u) << "not started twice";
    folder.write("Korvex.shutdown", "");
    for (int i = 0; i < 400 && folder.exists("Korvex.shutdown"); ++i) ::Sleep(25);
    EXPECT_FALSE(folder.exists("Korvex.shutdown")) << "the watchdog did not stop";
    const std::size_t runs = folder.read("runs.txt").size();
    ::Sleep(1500);
    EXPECT_EQ(folder.read("runs.txt").size(), runs) << "still restarting";
}

// A one-page server: each connection gets the present answer; the request line is kept.
struct Answer {
    std::string status = "200 OK", contentType = "text/html", body = {};
    bool silent = false;
};
struct TestHttpServer {
    WSADATA data;
    int started = ::WSAStartup(MAKEWORD(2, 2), &data);
    SOCKET listener = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    int port = 0;
    Answer answer;
    std::string requestLine;
    std::mutex mutex;  // over the two above
    std::thread thread;

    TestHttpServer() {
        sockaddr_in address{AF_INET, 0, {}, {}};
        address.sin_addr.s_addr = ::htonl(INADDR_LOOPBACK);
        int size = sizeof address;
        if (::bind(listener, reinterpret_cast<sockaddr*>(&address), size) == 0 &&
            ::listen(listener, 4) == 0 &&
            ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &size) == 0)
            port = ::ntohs(address.sin_port);
        thread = std::thread([this] {
            for (SOCKET client; (client = ::accept(listener, nullptr, nullptr)) != INVALID_SOCKET;
                 ::closesocket(client)) {
                std::string request, reply = "HTTP/1.1 ";
                char buffer[4096];
                for (int got = 0; request.find("\r\n\r\n") == std::string::npos &&
                                  (got = ::recv(client, buffer, sizeof buffer, 0)) > 0;)
                    request.append(buffer, std::size_t(got));
                std::unique_lock lock(mutex);
                requestLine = request.substr(0, request.find("\r\n"));
                const Answer a = answer;
                lock.unlock();
                // Silent until the client gives up; a client that never does fails in 6 s.
                const DWORD limitMs = 6000;
                ::setsockopt(client, SOL_SOCKET, SO_RCVTIMEO,
                             reinterpret_cast<const char*>(&limitMs), sizeof limitMs);
                while (a.silent && ::recv(client, buffer, sizeof buffer, 0) > 0) {
                }
                if (a.silent) continue;
                reply += a.status + "\r\nConnection: close\r\nContent-Type: " + a.contentType +
                         "\r\n\r\n" + a.body;  // no length: the client reads to the end
                for (int sent = 0, n = 1; sent < int(reply.size()) && n > 0; sent += n)
                    n = ::send(client, reply.data() + sent, int(reply.size()) - sent, 0);
            }
        });
    }
    ~TestHttpServer() {
        ::closesocket(listener);  // ends the accept
        thread.join();
        ::WSACleanup();
    }
};

// The decoding is the core's: here the page must reach it, and each failure come back in time.
TEST(HttpClientWin32, AnswersAsTheQtClientDoes) {
    TestHttpServer server;
    HttpClientWin32 client;
    const std::string url = "http://127.0.0.1:" + std::to_string(server.port) + "/q?a=1&b=2";
    const std::string title = cp1255::fromUtf8("חשבון לא מוגבל");
    const Answer page{.contentType = "text/html; charset=utf-8", .body = cp1255::toUtf8(title)};
    const Answer big{.body = std::string(std::size_t(kHttpMaxPageBytes) + 1024, 'x')};
    const struct {
        Answer answer;
        std::string url;       // empty: the server's
        int timeout, error;    // error 0: the page
        std::string expected;  // the page, or a part of the description
    } cases[] = {
        {page, "", 5, 0, title},
        {{.status = "404 Not Found", .body = "gone"}, "", 5, kHttpErrorStatus, "404 Not Found"},
        {{.silent = true}, "", 1, kHttpErrorTimeout, "1 seconds"},
        {big, "", 10, kHttpErrorTooLarge, ""},
        {{}, "http://127.0.0.1:1/", 5, kHttpErrorConnect, ""},  // nobody listens on port 1
        {{}, "ftp://127.0.0.1/x", 5, kHttpErrorBadUrl, "ftp://"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.url + " error " + std::to_string(c.error));
        std::unique_lock lock(server.mutex);
        server.answer = c.answer;
        lock.unlock();
        const auto start = std::chrono::steady_clock::now();
        const HttpResult result = client.get(c.url.empty() ? url : c.url, c.timeout);
        const auto took = std::chrono::steady_clock::now() - start;
        EXPECT_EQ(result.errorNumber, c.error) << result.errorDescription;
        EXPECT_EQ(result.page, c.error == 0 ? c.expected : "");
        lock.lock();
        EXPECT_TRUE(c.error != 0 || server.requestLine == "GET /q?a=1&b=2 HTTP/1.1");
        EXPECT_NE(result.errorDescription.find(c.error != 0 ? c.expected : ""), std::string::npos)
            << result.errorDescription;
        EXPECT_GE(took, std::chrono::milliseconds(c.error == kHttpErrorTimeout ? 900 : 0));
        EXPECT_LT(took, std::chrono::seconds(5));
    }
}

// While the request waits, the caller's windows keep answering: here a timer of its thread.
TEST(HttpClientWin32, TheCallersMessagesAreHandledWhileItWaits) {
    TestHttpServer server;
    server.answer.silent = true;
    static int ticks = 0;
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR, DWORD) { ++ticks; });
    const HttpResult result =
        HttpClientWin32().get("http://127.0.0.1:" + std::to_string(server.port) + "/", 1);
    ::KillTimer(nullptr, timer);
    EXPECT_EQ(result.errorNumber, kHttpErrorTimeout);
    EXPECT_GT(ticks, 0);
}

TEST(SerialPortWin32, AMissingPortFailsWithItsNameAndPortsAboveNineOpenByDeviceName) {
    SerialPortWin32 port;
    port.setPortName("COM77");
    EXPECT_FALSE(port.open());
    EXPECT_EQ(port.lastError().number, 8002);
    EXPECT_NE(port.lastError().description.find("\\\\.\\COM77"), std::string::npos);
    port.setPortName("");
    EXPECT_TRUE(port.setCommPort(12));
    EXPECT_EQ(port.deviceName(), "\\\\.\\COM12");
}

TEST(SerialPortWin32UnderSim, IdentifiesLosesTheReaderOnceAndReachesItAgain) {
    const char* com = std::getenv("KORVEX_SIM_PORT");
    if (com == nullptr) GTEST_SKIP() << "KORVEX_SIM_PORT is not set";
    SerialPortWin32 port;
    std::vector<int> events;
    port.setCommEventHandler([&](int code) { events.push_back(code); });
    port.setPortName(com);
    ASSERT_TRUE(port.setSettings(LineSettings{}));
    ASSERT_TRUE(port.open()) << port.lastError().description;
    SystemClock clock;
    test::ScriptedOperatorUi ui;
    ReaderIo io{port, clock, ui, [](const std::string&) {}, "\r", {}, {}};

    // The reader runs at 115200: 9600 hears nothing, and the other rate answers.
    ASSERT_TRUE(CheckIsMagtek(io)) << port.lastError().description;
    EXPECT_EQ(port.settings().baud, 115200);

    // The reader's program dies: a read finds the device gone, and says so once.
    std::ofstream(std::filesystem::path(std::getenv("KORVEX_SIM_SIGNALS")) / "kill") << "kill";
    for (int i = 0; i < 200 && port.isOpen(); ++i) {
        EXPECT_EQ(port.input(), "");
        clock.sleep(std::chrono::milliseconds(50));
    }
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(port.lastError().number, 8010) << port.lastError().description;
    for (int i = 0; i < 3; ++i) port.input();
    EXPECT_EQ(events, std::vector<int>{8010});

    // It comes back at 9600 behind the same port: a close and an open reach it.
    bool reopened = false;
    for (int i = 0; i < 100 && !reopened; ++i) {
        port.close();
        reopened = port.open();
        if (!reopened) clock.sleep(std::chrono::milliseconds(100));
    }
    ASSERT_TRUE(reopened) << port.lastError().description;
    ASSERT_TRUE(port.setSettings(LineSettings{})) << port.lastError().description;
    EXPECT_TRUE(CheckIsMagtek(io, true));
    EXPECT_EQ(port.settings().baud, 9600);
    EXPECT_TRUE(ui.messageBoxes.empty());
}

}  // namespace
}  // namespace korvex
