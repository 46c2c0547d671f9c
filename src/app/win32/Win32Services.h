#pragma once
// The one place that picks the Windows back ends and owns them: the Win32 counterpart of the Qt
// shell's PlatformServices.

#include <filesystem>
#include <memory>

#include "platform/Services.h"

namespace korvex {

class Win32Services {
public:
    explicit Win32Services(const std::filesystem::path& programFolder);
    ~Win32Services();
    Win32Services(const Win32Services&) = delete;
    Win32Services& operator=(const Win32Services&) = delete;

    // Every service, with the shell's OperatorUi.
    Services services(OperatorUi& ui) const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace korvex
