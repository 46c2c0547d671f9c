#include "platform/SerialLine.h"

namespace korvex {

std::string lineSettingsText(const LineSettings& settings) {
    static constexpr char kParity[] = {'n', 'e', 'o', 'm', 's'};
    const char* stopBits = settings.stopBits == LineSettings::StopBits::One          ? "1"
                           : settings.stopBits == LineSettings::StopBits::OneAndHalf ? "1.5"
                                                                                     : "2";
    return std::to_string(settings.baud) + "," + kParity[static_cast<int>(settings.parity)] + "," +
           std::to_string(settings.dataBits) + "," + stopBits;
}

std::string serialDeviceName(int16_t commPort, const std::string& portName, bool windows) {
    if (!portName.empty()) return portName;
    if (commPort < 1) return {};
    return windows ? "COM" + std::to_string(commPort) : "/dev/ttyS" + std::to_string(commPort - 1);
}

}  // namespace korvex
