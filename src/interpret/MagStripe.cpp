#include "interpret/MagStripe.h"

#include <string_view>

#include "interpret/FieldRules.h"
#include "interpret/PipelineFailure.h"
#include "output/Template.h"
#include "platform/Clock.h"

namespace korvex {
namespace {

// Characters from the 1-based position `start`, at most `length` of them; fewer (or none) when
// the text ends first, as a card read may be short.
std::string middle(std::string_view text, std::size_t start,
                   std::size_t length = std::string_view::npos) {
    if (start < 1 || start > text.size()) return {};
    return std::string(text.substr(start - 1, length));
}

// Card numbers beginning with 59 carry three more characters before the expiry.
void takeExpiry(std::string_view from, const std::string& account, TemplateFields& fields) {
    const std::size_t at = account.rfind("59", 0) == 0 ? 4 : 1;
    fields.DateYY = middle(from, at, 2);
    fields.DateMM = middle(from, at + 2, 2);
}

// Track 1: "%B" + card number "^" holder "^" expiry and the rest.
std::string trackOneKeys(const std::string& message, const ProfileSettings& profile) {
    TemplateFields fields;
    const std::size_t first = message.find('^');
    const std::size_t second = message.find('^', first + 1);
    fields.MagPart1 = message.substr(0, first);
    if (second != std::string::npos)
        fields.MagPart2 = message.substr(first + 1, second - first - 1);
    // Without a second separator the expiry is looked for from the message's start.
    const std::string rest = second == std::string::npos ? message : message.substr(second + 1);
    fields.Account = middle(fields.MagPart1, 3);
    fields.Name = fields.MagPart2;
    for (char& c : fields.Name) {
        if (c == '/') c = ' ';
    }
    takeExpiry(rest, fields.Account, fields);
    return ExpandTemplate(TemplateKind::MagStripe1, profile.MagStripe1Template, fields,
                          LocalDateTime{}, nullptr);
}

std::string orAbort(FieldResult result) {
    if (!result.ok()) throw PipelineAbort(result.failure->number, result.failure->description);
    return std::move(result.text);
}

// Cut, leading zeros, flip. A card part has no padding length: leading-zero rule -2 leaves it
// as it is, where a cheque field would be padded to its length.
std::string cutPart(const std::string& text, const FieldRule& rule) {
    const std::string cut = orAbort(CutField(text, rule.start, rule.length));
    return FlipField(orAbort(ApplyLeadingZeros(cut, rule.leadingZeros, 0)), rule.flip);
}

// Track 2: ";" + card number "=" expiry and the rest "?".
std::string trackTwoKeys(const std::string& message, const ProfileSettings& profile) {
    const std::string inner =
        message.size() >= 2 ? message.substr(1, message.size() - 2) : std::string();
    const std::size_t equals = inner.find('=');
    TemplateFields fields;
    fields.MagPart1 = cutPart(inner.substr(0, equals), MagStripe2Part1Rule(profile));
    fields.MagPart2 =
        cutPart(equals == std::string::npos ? std::string() : inner.substr(equals + 1),
                MagStripe2Part2Rule(profile));
    fields.Account = fields.MagPart1;
    takeExpiry(fields.MagPart2, fields.Account, fields);
    return ExpandTemplate(TemplateKind::MagStripe2, profile.MagStripe2Template, fields,
                          LocalDateTime{}, nullptr);
}

}  // namespace

std::string magStripeKeys(const std::string& message, const ProfileSettings& profile) {
    if (message.find('=') != std::string::npos) return trackTwoKeys(message, profile);
    if (message.find('^') != std::string::npos) return trackOneKeys(message, profile);
    return (message.size() >= 2 ? message.substr(1, message.size() - 2) : std::string()) +
           "{ENTER}";
}

}  // namespace korvex
