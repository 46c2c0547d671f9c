#pragma once
// The one place that picks the platform back ends for the running system and owns them.

#include <filesystem>
#include <memory>
#include <string>

#include "platform/Services.h"

namespace korvex {

class PlatformServices {
public:
    // Creates every back end the system offers; `log` receives one line per service that had to
    // fall back (no X display, for example).
    explicit PlatformServices(const std::filesystem::path& programFolder);
    ~PlatformServices();
    PlatformServices(const PlatformServices&) = delete;
    PlatformServices& operator=(const PlatformServices&) = delete;

    // Every service, with the shell's OperatorUi.
    Services services(OperatorUi& ui) const;
    // What could not be had, for the diagnostics log ("" when everything is there).
    const std::string& shortcomings() const { return shortcomings_; }

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
    std::string shortcomings_;
};

}  // namespace korvex
