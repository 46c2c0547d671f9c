#pragma once
// The keys of the configuration file, each once: name, default text, what converts and where the
// value goes. LoadProfile and ReadConfig read through these tables, and the configuration checker
// judges a file by the same entries, so the two cannot disagree.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "config/Settings.h"

namespace korvex {

// What LoadProfile fills.
struct ProfileTarget {
    ProfileSettings& profile;
    IconAppearance& icon;
    GlobalSettings& global;
};

struct ProfileKey {
    std::string name;
    std::string defaultText;  // Windows-1255
    // What converts, for messages; empty for text keys, which always convert.
    std::string accepts;
    // Converts the value read and stores or applies it. Returns false, changing nothing, when the
    // value does not convert (the field then keeps the previous profile's value).
    bool (*apply)(const std::string& value, ProfileTarget& target);
};

// The profile keys in the order LoadProfile reads them.
const std::vector<ProfileKey>& profileKeys();
const ProfileKey* findProfileKey(std::string_view name);  // letter case ignored

struct ConfigKey {
    std::string name;
    std::string defaultText;
    std::string accepts;  // empty for text keys
    bool (*converts)(const std::string& value);
};

// The [Config] keys in the order ReadConfig reads them.
const std::vector<ConfigKey>& configKeys();
const ConfigKey* findConfigKey(std::string_view name);  // letter case ignored

// The [Config] conversions ReadConfig applies.
// SplashScreenTime: a 16-bit integer; a time below 750 ms becomes 750.
std::optional<int16_t> convertSplashScreenTime(std::string_view text);
// Port: a 16-bit integer that names a port, 1 or more.
std::optional<int16_t> convertPort(std::string_view text);
// FlowControl: 0 none, 1 XON/XOFF, 2 RTS, 3 both.
std::optional<int16_t> convertFlowControl(std::string_view text);
// DataTerminationChars: codes separated by ","; each piece's leading number, rounded half to
// even, is one character; "" gives "", an empty piece a NUL. Fails when a code is outside
// 0..255.
std::optional<std::string> convertTerminationChars(std::string_view text);

// The text LoadProfile reads for ActivateWindowTitle when the key is absent.
inline constexpr const char* kNoneRead = "**NONE READ**";

}  // namespace korvex
