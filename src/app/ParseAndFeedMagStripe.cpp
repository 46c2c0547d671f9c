// frmKorvex::ParseAndFeedMagStripe: a card swipe typed into the target through the profile's
// card templates. Nothing is logged, verified or saved for cards.
#include <string>

#include "app/frmKorvex.h"
#include "interpret/MagStripe.h"
#include "interpret/PipelineFailure.h"

namespace korvex {

void frmKorvex::ParseAndFeedMagStripe(const std::string& message) {
    runPipeline(
        [&] {
            // An empty template still goes out: the feeding route decides what an empty text does.
            FeedStringToApp(magStripeKeys(message, profile_));
        },
        [] {}, [this](const std::string& line) { DebugLog(line); });
}

}  // namespace korvex
