#include "interpret/MicrRecognition.h"

#include <algorithm>
#include <new>

#include "interpret/RegExp.h"
#include "text/Cp1255.h"

namespace korvex {

namespace {

std::string withoutSpaces(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (c != ' ') out += c;
    }
    return out;
}

// The four patterns, compiled once; matching is const and keeps no state between calls.
const RegExp& magtekPattern() {
    static const RegExp re(kMagtekChequePattern);
    return re;
}
const RegExp& usPattern() {
    static const RegExp re(kUsChequePattern);
    return re;
}
const RegExp& nonusClassifyPattern() {
    static const RegExp re(kNonusClassifyPattern);
    return re;
}
const RegExp& nonusExtractPattern() {
    static const RegExp re(kNonusExtractPattern);
    return re;
}

// A document without magnetic ink: the reader reports it as "NO MICR" or as a line of 28
// characters of blanks, dashes and question marks.
bool isNoMicrLine(std::string_view message) {
    if (message == "NO MICR") return true;
    if (message.size() != 28) return false;
    return std::all_of(message.begin(), message.end(),
                       [](char c) { return c == ' ' || c == '-' || c == '?'; });
}

InputClass classifyMagtek(std::string_view message, int32_t minUnread) {
    if (!message.empty()) {
        const char first = message.front(), last = message.back();
        if ((first == ';' || first == '%') && last == '?') return InputClass::MagneticCard;
        if (first == 'A' && last == 'C') return InputClass::RegularCheque;
        if (first == 'A' && last == 'B') return InputClass::PostalBankCheque;
    }
    if (isNoMicrLine(message)) return InputClass::NoMicrDocument;
    if (minUnread >= 1) {
        const std::string_view head = message.substr(0, std::min<size_t>(message.size(), 34));
        const auto unread = std::count(head.begin(), head.end(), '?');
        if (unread >= minUnread) return InputClass::NoMicrDocument;
    }
    const std::string s = withoutSpaces(message);
    if (magtekPattern().test(s)) return InputClass::RegularCheque;
    if (usPattern().test(s)) return InputClass::UnparsedUsCheque;
    return InputClass::Unidentified;
}

MicrGroups splitFailure(const std::string& why) {
    MicrGroups g;
    g.outcome = MicrOutcome::Failed;
    g.failure = {kErrInvalidArgument, "Invalid procedure call or argument: " + why};
    return g;
}

std::string trimSpaces(std::string_view text) {
    const size_t b = text.find_first_not_of(' ');
    if (b == std::string_view::npos) return {};
    const size_t e = text.find_last_not_of(' ');
    return std::string(text.substr(b, e - b + 1));
}

}  // namespace

std::string InputClassDisplayName(InputClass inputClass) {
    switch (inputClass) {
        case InputClass::Unidentified: return cp1255::fromUtf8("לא מזוהה");
        case InputClass::RegularCheque: return cp1255::fromUtf8("צ'ק רגיל");
        case InputClass::MagneticCard: return cp1255::fromUtf8("כרטיס מגנטי");
        case InputClass::NoMicrDocument: return cp1255::fromUtf8("מסמך ללא דיו מגנטית");
        case InputClass::PostalBankCheque: return cp1255::fromUtf8("צ'ק של בנק הדואר");
        case InputClass::UnparsedUsCheque: return {};
        case InputClass::NonusCheque: return cp1255::fromUtf8("צ'ק של נונוס");
    }
    return {};
}

InputClass ClassifyInput(std::string_view message, bool nonus, int32_t minUnreadCharsForNoMicr) {
    try {
        if (nonus) {
            return nonusClassifyPattern().test(withoutSpaces(message)) ? InputClass::NonusCheque
                                                                       : InputClass::Unidentified;
        }
        return classifyMagtek(message, minUnreadCharsForNoMicr);
    } catch (...) {
        // Classification never fails towards input assembly (e.g. no memory for a huge line).
        return InputClass::Unidentified;
    }
}

std::string PostalBankChequeLine(std::string_view message) {
    const size_t lastC = message.rfind('C');
    if (lastC == std::string_view::npos) return {};
    return std::string(message.substr(0, lastC + 1));
}

void MicrGroups::fill(ChequeRecord& cheque) const {
    cheque.ChequeNum = group1;
    cheque.BankNum = group2;
    cheque.BranchNum = group3;
    cheque.BranchCode = group3;
    cheque.AccountNum = group4;
}

MicrGroups SplitMicrByPosition(std::string_view message) {
    // The line as received, spaces included, without its first and last character (the
    // symbols around the whole line) and without an "A" that then leads.
    if (message.size() < 2) {
        MicrGroups g = splitFailure("the MICR line is too short to split");
        g.partlyRead = true;
        g.group1 = g.group2 = g.group3 = g.group4 = "?";
        return g;
    }
    std::string_view inner = message.substr(1, message.size() - 2);
    if (!inner.empty() && inner.front() == 'A') inner.remove_prefix(1);
    // One pass that turns every double blank into one, as a single left-to-right replace does
    // (so four blanks become two).
    std::string t;
    t.reserve(inner.size());
    for (size_t i = 0; i < inner.size(); ++i) {
        t += inner[i];
        if (inner[i] == ' ' && i + 1 < inner.size() && inner[i + 1] == ' ') ++i;
    }
    // Every separator counts at its first occurrence in the whole text; a missing one, or one
    // out of order, refuses the split rather than take a wrong piece of the line. The pieces
    // whose own separators are sound are kept for the operator, "?" stands for the others.
    constexpr size_t npos = std::string::npos;
    const size_t space = t.find(' ');
    const size_t c = t.find('C');
    const size_t a = t.find('A');
    const size_t e = t.find('E');
    const size_t eSpace = t.find("E ");
    const bool inOrder = !(c != npos && a != npos && a < c) && !(a != npos && e != npos && e < a) &&
                         !(c != npos && e != npos && e < c);
    const bool chequeCut = space != npos && (c == npos || space < c);
    const bool bankCut = inOrder && c != npos && a != npos;
    const bool branchCut = inOrder && a != npos && e != npos;
    const bool accountCut = inOrder && eSpace != npos;

    std::string why;
    if (space == npos) {
        why = "no blank after the cheque number";
    } else if (c == npos) {
        why = "no \"C\" before the bank number";
    } else if (a == npos) {
        why = "no \"A\" after the bank number";
    } else if (a < c) {
        why = "the first \"A\" comes before the first \"C\"";
    } else if (e == npos) {
        why = "no \"E\" after the branch number";
    } else if (e < a) {
        why = "the first \"E\" comes before the first \"A\"";
    } else if (eSpace == npos) {
        why = "no \"E \" before the account number";
    }

    if (why.empty()) {
        MicrGroups g;
        g.outcome = MicrOutcome::ByPosition;
        g.group1 = t.substr(0, space);
        g.group2 = t.substr(c + 1, a - c - 1);
        g.group3 = t.substr(a + 1, e - a - 1);
        g.group4 = trimSpaces(std::string_view(t).substr(eSpace + 2));
        return g;
    }
    MicrGroups g = splitFailure(why);
    g.partlyRead = true;
    g.group1 = chequeCut ? t.substr(0, space) : "?";
    g.group2 = bankCut ? t.substr(c + 1, a - c - 1) : "?";
    g.group3 = branchCut ? t.substr(a + 1, e - a - 1) : "?";
    g.group4 = accountCut ? trimSpaces(std::string_view(t).substr(eSpace + 2)) : "?";
    return g;
}

MicrGroups ExtractMicrGroups(std::string_view message, bool nonus,
                             const DebugWindowQuery& debugWindow) {
    try {
        if (message == "DEBUG") {
            if (!debugWindow) {
                MicrGroups g;
                g.failure = {kErrNoDebugWindow, "the DEBUG line needs the bank-selection window"};
                return g;
            }
            const DebugWindowResult chosen = debugWindow();
            MicrGroups g;
            g.outcome = MicrOutcome::FromDebugWindow;
            g.group2 = chosen.bank;
            g.group3 = chosen.branch;
            g.group4 = chosen.account;
            return g;
        }
        const std::string s = withoutSpaces(message);
        const RegExp& re = nonus ? nonusExtractPattern() : magtekPattern();
        if (const auto m = re.search(s)) {
            // The groups are the captured texts alone: whatever stands before an unanchored
            // match is not part of any field.
            MicrGroups g;
            g.outcome = MicrOutcome::Recognised;
            g.group1 = std::string(m->group(1, s));
            g.group2 = std::string(m->group(2, s));
            g.group3 = std::string(m->group(3, s));
            g.group4 = std::string(m->group(4, s));
            return g;
        }
        const std::string diagnostic = "Regexp failed for " + std::string(message);
        MicrGroups g;
        if (nonus) {
            g.outcome = MicrOutcome::Dropped;
        } else {
            g = SplitMicrByPosition(message);
        }
        g.diagnostic = diagnostic;
        return g;
    } catch (const std::bad_alloc&) {
        MicrGroups g;
        g.failure = {kErrOutOfMemory, "Out of memory recognising the MICR line"};
        return g;
    }
}

MicrGroups ExtractMicrGroups(std::string_view message, bool nonus, OperatorUi& ui) {
    return ExtractMicrGroups(message, nonus, [&ui] { return ui.showManualDebug(); });
}

}  // namespace korvex
