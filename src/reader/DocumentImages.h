#pragma once
// The two ways of saving a scanned image outside the cheque pipelines: every document under a
// date-and-time name (scan-override mode), and the back side of the last cheque.

#include <functional>
#include <string>

#include "config/Settings.h"
#include "reader/ReaderIo.h"

namespace korvex {

class ProcessLauncher;

// The temporary images of the netpbm folder.
inline constexpr const char* kBackImageTemp = "netpbm\\tmp-back.jpg";
inline constexpr const char* kFrontImageTemp = "netpbm\\tmp-front.jpg";
inline constexpr const char* kCombineScript = "netpbm\\CombinePics";
inline constexpr const char* kDontSaveMarker = "<<DONTSAVE>>";

// Scan-override mode: the image under `fileName`, the override template with its date codes
// already filled for the present moment.
void GetDocumentImage(ReaderIo& io, std::string fileName);

// A document without magnetic ink. It is the last cheque's back side when one is awaited
// (PendingBackImageFile) and ChequeBackTimeout allows it (not 0; -1 or at most that many seconds
// after FrontScanTime); then it is saved under the awaited name, or merged into the front image
// with CombineChequeImages (only into a front saved for that cheque, FrontImageFile not empty).
// Either way the document ends the wait: a late one too. Otherwise, with LetUserFillDetails, it
// is a cheque whose magnetic line could not be read: `unreadableCheque` lets the operator type it.
//
// Before a merge the earlier temporary images are removed, so a back side the reader did not
// deliver is never replaced by an old one; the merge starts only when both the new back image
// and the copy of the front image are there.
void GetBacksideImage(ReaderIo& io, RunState& run, const ProfileSettings& profile,
                      ProcessLauncher& launcher, const std::function<void()>& unreadableCheque);

}  // namespace korvex
