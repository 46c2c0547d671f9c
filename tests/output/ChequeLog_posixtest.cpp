// Disk-full behaviour of the cheque log, provoked the POSIX way: /dev/full and a file-size limit.

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <string>

#include "output/ChequeLog.h"
#include "support/TempFolder.h"

namespace korvex {
namespace {

TEST(AppendChequeLogPosix, DiskFullIsAWriteFailure) {
    const auto failure = AppendChequeLog({}, "/dev/full", "1,2,3,4,09:07:05,01/02/2006,,,\"\"\r\n");
    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(failure->number, kErrorLogWriteFailed);
    EXPECT_NE(failure->description.find("/dev/full"), std::string::npos);
}

// Lowers the file-size limit for the lifetime of the object; a write past it fails with EFBIG
// after the bytes that still fit, which is exactly a disk filling up mid-line.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &saved_);
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        ok_ = setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previousHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;
    bool ok() const { return ok_; }

private:
    rlimit saved_{};
    void (*previousHandler_)(int) = SIG_DFL;
    bool ok_ = false;
};

TEST(AppendChequeLogPosix, ALineThatDoesNotFitIsTakenBackWhole) {
    test::TempFolder folder;
    const std::string line =
        "1234567,12,345,000123456,09:07:05,01/02/2006,,,\"0206\\1234567_123456.tif\"\r\n";
    ASSERT_FALSE(AppendChequeLog(folder.path(), "Log.CSV", line).has_value());
    ASSERT_FALSE(AppendChequeLog(folder.path(), "Log.CSV", line).has_value());
    {
        // Room for half of the third line only.
        FileSizeLimit limit(2 * line.size() + line.size() / 2);
        ASSERT_TRUE(limit.ok());
        const auto failure = AppendChequeLog(folder.path(), "Log.CSV", line);
        ASSERT_TRUE(failure.has_value());
        EXPECT_EQ(failure->number, kErrorLogWriteFailed);
        EXPECT_EQ(folder.read("Log.CSV"), line + line);
    }
    // With room again the log goes on with whole lines.
    ASSERT_FALSE(AppendChequeLog(folder.path(), "Log.CSV", line).has_value());
    EXPECT_EQ(folder.read("Log.CSV"), line + line + line);
}

TEST(AppendChequeLogPosix, AFirstLineThatDoesNotFitLeavesAnEmptyLog) {
    test::TempFolder folder;
    const std::string line(300, 'x');
    FileSizeLimit limit(100);
    ASSERT_TRUE(limit.ok());
    ASSERT_TRUE(AppendChequeLog(folder.path(), "Log.CSV", line + "\r\n").has_value());
    EXPECT_EQ(folder.read("Log.CSV"), "");
}

}  // namespace
}  // namespace korvex
