// Debug lines as a viewer of debug output receives them: through the DBWIN buffer that
// OutputDebugStringA fills when no debugger is attached.
#include "platform/win32/DebugSinkWin32.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>

#include "text/Cp1255.h"

namespace korvex {
namespace {

// Plays the viewer: owns the buffer and the two events of the DBWIN protocol.
class DebugViewer {
public:
    DebugViewer() {
        bufferReady_ = ::CreateEventA(nullptr, FALSE, FALSE, "DBWIN_BUFFER_READY");
        dataReady_ = ::CreateEventA(nullptr, FALSE, FALSE, "DBWIN_DATA_READY");
        mapping_ = ::CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 4096,
                                        "DBWIN_BUFFER");
        if (mapping_ != nullptr)
            view_ = static_cast<char*>(::MapViewOfFile(mapping_, FILE_MAP_READ, 0, 0, 4096));
    }
    ~DebugViewer() {
        if (view_ != nullptr) ::UnmapViewOfFile(view_);
        for (HANDLE h : {mapping_, dataReady_, bufferReady_}) {
            if (h != nullptr) ::CloseHandle(h);
        }
    }
    bool ok() const { return view_ != nullptr && bufferReady_ != nullptr && dataReady_ != nullptr; }
    void expectLine() { ::SetEvent(bufferReady_); }
    // The text of the next message of this process; nullopt when none came.
    std::optional<std::string> take() {
        if (::WaitForSingleObject(dataReady_, 3000) != WAIT_OBJECT_0) return std::nullopt;
        DWORD pid = 0;
        std::memcpy(&pid, view_, sizeof pid);
        if (pid != ::GetCurrentProcessId()) return std::nullopt;
        return std::string(view_ + sizeof pid, ::strnlen(view_ + sizeof pid, 4096 - sizeof pid));
    }

private:
    HANDLE bufferReady_ = nullptr, dataReady_ = nullptr, mapping_ = nullptr;
    char* view_ = nullptr;
};

TEST(DebugSinkWin32, LinesReachTheDebugOutputUnchanged) {
    DebugViewer viewer;
    ASSERT_TRUE(viewer.ok());
    DebugSinkWin32 sink;
    struct Case {
        std::string line, expected;
    };
    const Case cases[] = {
        {"06/12/2026 10:00:00 Port opened\r\n", "06/12/2026 10:00:00 Port opened\r\n"},
        {cp1255::fromUtf8("שגיאה 12\r\n"), cp1255::fromUtf8("שגיאה 12\r\n")},
        {std::string("before\0after\r\n", 14), "before after\r\n"},  // a NUL would end the line
    };
    for (const Case& c : cases) {
        viewer.expectLine();
        sink.write(c.line);
        EXPECT_EQ(viewer.take(), c.expected);
    }
}

}  // namespace
}  // namespace korvex
