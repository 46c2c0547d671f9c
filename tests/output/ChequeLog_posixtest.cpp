// Disk-full behaviour of the cheque log, provoked by a file-size limit.

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <string>

#include "output/ChequeLog.h"
#include "support/TempFolder.h"

namespace korvex {
namespace {

// Lowers the file-size limit while it lives; a write past it fails with EFBIG after the bytes
// that still fit, which is exactly a disk filling up mid-line.
struct FileSizeLimit {
    rlimit saved{};
    void (*previousHandler)(int) = std::signal(SIGXFSZ, SIG_IGN);
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &saved);
        rlimit limit = saved;
        limit.rlim_cur = bytes;
        EXPECT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previousHandler);
    }
};

TEST(AppendChequeLogPosix, ALineThatDoesNotFitIsTakenBackWhole) {
    test::TempFolder folder;
    const std::string line = "1234567,12,345,000123456,09:07:05,01/02/2006,,,\"\"\r\n";
    ASSERT_FALSE(AppendChequeLog(folder.path(), "Log.CSV", line).has_value());
    ASSERT_FALSE(AppendChequeLog(folder.path(), "Log.CSV", line).has_value());
    {
        FileSizeLimit limit(2 * line.size() + line.size() / 2);  // room for half a line
        const auto failure = AppendChequeLog(folder.path(), "Log.CSV", line);
        ASSERT_TRUE(failure.has_value());
        EXPECT_EQ(failure->number, kErrorLogWriteFailed);
        EXPECT_EQ(folder.read("Log.CSV"), line + line);
    }
    // With room again the log goes on with whole lines.
    ASSERT_FALSE(AppendChequeLog(folder.path(), "Log.CSV", line).has_value());
    EXPECT_EQ(folder.read("Log.CSV"), line + line + line);
}

}  // namespace
}  // namespace korvex
