#include "reader/SerialSettings.h"

#include <gtest/gtest.h>

namespace korvex {
namespace {

TEST(SerialSettings, AcceptedTexts) {
    using P = LineSettings::Parity;
    using S = LineSettings::StopBits;
    struct Case {
        std::string text;
        int32_t baud;
        P parity;
        int dataBits;
        S stopBits;
    };
    for (const auto& c :
         std::vector<Case>{{"9600,n,8,1", 9600, P::None, 8, S::One},
                           {"115200,E,7,2", 115200, P::Even, 7, S::Two},
                           {" 19200 , o , 8 , 1.5 ", 19200, P::Odd, 8, S::OneAndHalf},
                           {"1200,m,7,1", 1200, P::Mark, 7, S::One},
                           {"300,S,8,2", 300, P::Space, 8, S::Two}}) {
        SCOPED_TRACE(c.text);
        const auto s = parseLineSettings(c.text);
        ASSERT_TRUE(s.has_value());
        EXPECT_EQ(std::tuple(s->baud, s->parity, s->dataBits, s->stopBits),
                  std::tuple(c.baud, c.parity, c.dataBits, c.stopBits));
        // The text the port shows in its messages reads back as the same settings.
        EXPECT_EQ(parseLineSettings(lineSettingsText(*s)), s);
    }
}

TEST(SerialSettings, RefusedTextsSayWhy) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"", "four parts"},
        {"9600,n,8", "four parts"},
        {"9600,n,8,1,x", "four parts"},
        {"fast,n,8,1", "baud rate"},
        {"0,n,8,1", "baud rate"},
        {"-9600,n,8,1", "baud rate"},
        {"9600,x,8,1", "parity"},
        {"9600,no,8,1", "parity"},
        {"9600,n,6,1", "data bits"},
        {"9600,n,8,3", "stop bits"},
        {std::string("9600,n,8\0,1", 11), "data bits"},
        {std::string(100000, '9') + ",n,8,1", "baud rate"}};
    for (const auto& [text, reason] : cases) {
        std::string why;
        EXPECT_FALSE(parseLineSettings(text, &why).has_value()) << text.substr(0, 40);
        EXPECT_NE(why.find(reason), std::string::npos) << why.substr(0, 200);
        EXPECT_NE(why.find("9600,n,8,1"), std::string::npos);
    }
}

TEST(SerialSettings, DeviceNames) {
    EXPECT_EQ(serialDeviceName(4, "", false), "/dev/ttyS3");
    EXPECT_EQ(serialDeviceName(12, "", true), "COM12");
    EXPECT_EQ(serialDeviceName(1, "/dev/ttyUSB0", false), "/dev/ttyUSB0");
    EXPECT_EQ(serialDeviceName(0, "", false), "");
    EXPECT_EQ(serialDeviceName(-3, "", true), "");
}

}  // namespace
}  // namespace korvex
