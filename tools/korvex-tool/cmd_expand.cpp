// korvex-tool expand: a template expanded as the program would expand it for one kind of output.

#include <cstdio>
#include <iostream>
#include <map>
#include <optional>
#include <string>

#include "Command.h"
#include "output/Template.h"
#include "platform/posix/SystemClock.h"
#include "text/Cp1255.h"

namespace korvex::tool {
namespace {

const char* const kUsage =
    "expand [--kind cheque|front|back|card1|card2|us|usfront|usback|override|csvren] "
    "[--at \"YYYY-MM-DD HH:MM:SS\"] [--set CODE=VALUE]... TEMPLATE";

const std::map<std::string, TemplateKind>& kinds() {
    static const std::map<std::string, TemplateKind> table = {
        {"cheque", TemplateKind::Cheque},         {"front", TemplateKind::FrontImage},
        {"back", TemplateKind::BackImage},        {"card1", TemplateKind::MagStripe1},
        {"card2", TemplateKind::MagStripe2},      {"us", TemplateKind::GenUS},
        {"usfront", TemplateKind::GenUSFileName}, {"usback", TemplateKind::GenUSBackFileName},
        {"override", TemplateKind::ScanOverride}, {"csvren", TemplateKind::CSVRen},
    };
    return table;
}

// The field a --set code fills; null for an unknown code.
std::string* fieldFor(TemplateFields& fields, const std::string& code) {
    const std::map<std::string, std::string TemplateFields::*> table = {
        {"ChequeNum", &TemplateFields::ChequeNum},
        {"BankNum", &TemplateFields::BankNum},
        {"BranchNum", &TemplateFields::BranchNum},
        {"BranchCode", &TemplateFields::BranchCode},
        {"AccountNum", &TemplateFields::AccountNum},
        {"Amount", &TemplateFields::Amount},
        {"FileName", &TemplateFields::FileName},
        {"MICR", &TemplateFields::MICR},
        {"Name", &TemplateFields::Name},
        {"Account", &TemplateFields::Account},
        {"DateMM", &TemplateFields::DateMM},
        {"DateYY", &TemplateFields::DateYY},
        {"MagPart1", &TemplateFields::MagPart1},
        {"MagPart2", &TemplateFields::MagPart2},
    };
    const auto it = table.find(code);
    return it == table.end() ? nullptr : &(fields.*(it->second));
}

// Exactly "YYYY-MM-DD HH:MM:SS", a real calendar moment.
std::optional<LocalDateTime> parseMoment(const std::string& text) {
    if (text.size() != 19 || text[4] != '-' || text[7] != '-' || text[10] != ' ' ||
        text[13] != ':' || text[16] != ':') {
        return std::nullopt;
    }
    auto number = [&](size_t at, size_t length) -> std::optional<int> {
        int value = 0;
        for (size_t i = at; i < at + length; ++i) {
            if (text[i] < '0' || text[i] > '9') return std::nullopt;
            value = value * 10 + (text[i] - '0');
        }
        return value;
    };
    const auto year = number(0, 4), month = number(5, 2), day = number(8, 2);
    const auto hour = number(11, 2), minute = number(14, 2), second = number(17, 2);
    if (!year || !month || !day || !hour || !minute || !second) return std::nullopt;
    char date[40];  // room for any int, as the compiler cannot see the digit limit
    std::snprintf(date, sizeof date, "%02d/%02d/%04d", *day, *month, *year);
    auto moment = ParseChequeDate(date);  // checks the calendar
    if (!moment || *hour > 23 || *minute > 59 || *second > 59) return std::nullopt;
    moment->hour = *hour;
    moment->minute = *minute;
    moment->second = *second;
    return moment;
}

int runExpand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const ArgParser parser(args, {}, {"--kind", "--at", "--set"});
    if (!parser.ok()) return usageError(err, kUsage, parser.error());
    if (parser.operands().size() != 1) return usageError(err, kUsage, "expected one TEMPLATE");

    const std::string kindName = parser.value("--kind").value_or("cheque");
    const auto kind = kinds().find(kindName);
    if (kind == kinds().end()) return usageError(err, kUsage, "unknown kind " + kindName);

    LocalDateTime moment;
    if (const auto at = parser.value("--at")) {
        const auto parsed = parseMoment(*at);
        if (!parsed)
            return usageError(err, kUsage, "--at wants \"YYYY-MM-DD HH:MM:SS\", not " + *at);
        moment = *parsed;
    } else {
        SystemClock clock;
        moment = clock.now();
    }

    TemplateFields fields;
    for (const std::string& assignment : parser.values("--set")) {
        const size_t equals = assignment.find('=');
        if (equals == std::string::npos)
            return usageError(err, kUsage, "--set wants CODE=VALUE, not " + assignment);
        const std::string code = assignment.substr(0, equals);
        const std::string value = cp1255::fromUtf8(assignment.substr(equals + 1));
        if (code == "ChequeDate") {
            fields.ChequeDate = ParseChequeDate(value);
            if (!fields.ChequeDate)
                return usageError(err, kUsage,
                                  invalidChequeDateDescription(assignment.substr(equals + 1)));
        } else if (std::string* field = fieldFor(fields, code)) {
            *field = value;
        } else {
            return usageError(err, kUsage, "unknown code " + code);
        }
    }

    // {User}: the prompt goes to standard error, the answer comes from a line of standard input.
    UserFileName user([&err](const std::string& prompt) {
        err << cp1255::toUtf8(prompt) << ": " << std::flush;
        std::string line;
        if (!std::getline(std::cin, line)) return std::string();
        if (!line.empty() && line.back() == '\r') line.pop_back();
        return cp1255::fromUtf8(line);
    });
    const std::string templateText = cp1255::fromUtf8(parser.operands()[0]);
    out << cp1255::toUtf8(ExpandTemplate(kind->second, templateText, fields, moment, &user))
        << "\n";
    return 0;
}

}  // namespace

KORVEX_TOOL_COMMAND("expand", Command{kUsage, runExpand});

}  // namespace korvex::tool
