#include "reader/DocumentImages.h"

#include <filesystem>
#include <system_error>

#include "platform/Clock.h"
#include "platform/ProcessLauncher.h"
#include "reader/ImageTransfer.h"
#include "text/FilePath.h"

namespace korvex {
namespace {

bool nonEmptyFile(const std::filesystem::path& path) {
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    return !error && size > 0;
}

void mergeWithFront(ReaderIo& io, const std::string& frontImageFile, ProcessLauncher& launcher) {
    const auto back = resolveIn(io.programFolder, kBackImageTemp);
    const auto front = resolveIn(io.programFolder, kFrontImageTemp);
    std::error_code ignored;
    std::filesystem::remove(back, ignored);
    std::filesystem::remove(front, ignored);

    std::string backName = kBackImageTemp;
    ReceiveImage(io, backName, false);
    if (!nonEmptyFile(back)) return;

    std::error_code copyError;
    std::filesystem::copy_file(resolveIn(io.programFolder, frontImageFile), front,
                               std::filesystem::copy_options::overwrite_existing, copyError);
    if (copyError) {
        io.log("Cannot merge the back image: the front image " + frontImageFile +
               " could not be copied");
        return;
    }
    const LaunchResult started = launcher.runScript(kCombineScript, {frontImageFile}, std::nullopt);
    if (!started.started)
        io.log("Cannot start " + std::string(kCombineScript) + ": " + started.error);
}

}  // namespace

void GetDocumentImage(ReaderIo& io, std::string fileName) { ReceiveImage(io, fileName, false); }

void GetBacksideImage(ReaderIo& io, RunState& run, const ProfileSettings& profile,
                      ProcessLauncher& launcher, const std::function<void()>& unreadableCheque) {
    const int64_t seconds = io.clock.now().secondsSince(run.FrontScanTime);
    const int32_t timeout = profile.ChequeBackTimeout;
    const bool accepted =
        timeout != 0 && !run.PendingBackImageFile.empty() && (timeout == -1 || seconds <= timeout);
    // The awaited back side is consumed by this document whatever it turns out to be: one that
    // came too late must not leave the name waiting for a later document.
    std::string pending = run.PendingBackImageFile;
    run.PendingBackImageFile.clear();
    if (accepted) {
        if (profile.CombineChequeImages) {
            // A cheque whose front was not saved has nothing to merge into; the file named
            // last belongs to an earlier cheque and must keep its own back.
            if (run.FrontImageFile.empty()) {
                io.log("Back side not merged: the cheque's front image was not saved");
            } else {
                mergeWithFront(io, run.FrontImageFile, launcher);
            }
        } else if (pending.find(kDontSaveMarker) == std::string::npos) {
            ReceiveImage(io, pending, false);
        }
        return;
    }
    if (profile.LetUserFillDetails != 0 && unreadableCheque) unreadableCheque();
}

}  // namespace korvex
