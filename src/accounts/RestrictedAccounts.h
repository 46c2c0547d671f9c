#pragma once
// Restricted bank accounts: the local list files ("ACC" + bank + branch + ".TXT") and the online
// query page. A restricted account is announced to the operator; a failing check never stops a
// cheque, it only counts as "not restricted".

#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Clock.h"

namespace korvex {

class HttpClient;
class OperatorUi;

// The text between the first `open` found from the 1-based position `start` of `text` and the
// next `close` after it; empty when either is missing. Exact, case-sensitive comparison.
std::string TextBetween(std::size_t start, std::string_view text, std::string_view open,
                        std::string_view close);

// "ACC" + the last two characters of "00" + bank + the last three of "000" + branch + ".TXT".
std::string RestrictedListFileName(std::string_view branch, std::string_view bank);

// The local check. `accountListPath` is the profile's AccountListPath (relative paths are taken
// from `programFolder`). The account is compared on its last eight characters, zero-padded; list
// lines shorter than 34 characters are skipped; the first line whose characters 11 to 18 equal
// the account is a hit, announced in a stop box with the dates of the line and the list's
// modification time. Any failure reading the list counts as not restricted, silently.
bool CheckRestrictedLocal(std::string_view account, std::string_view branch, std::string_view bank,
                          const std::filesystem::path& programFolder,
                          std::string_view accountListPath, OperatorUi& ui);

// The query address: `baseUrl` + "?bank=" + bank + "&snif=" + branch + "&acct=" + account, the
// account zero-padded to nine digits for banks 14, 31, 46, 52 and 54 and to eight for the others.
// Characters other than letters, digits and - . _ ~ in the three values are percent-encoded so
// that a value can never change the query.
std::string RestrictedQueryUrl(std::string_view baseUrl, std::string_view account,
                               std::string_view branch, std::string_view bank);

// The online check: fetches the query page and reads the answer from its title. A restricted
// answer is announced in a stop box; a page that gives no answer, or a failed request, shows the
// connection warning (a failed request is also logged through `debugLog` as "Error #" number
// " - " description) and counts as not restricted.
bool CheckRestrictedOnline(HttpClient& http, std::string_view baseUrl, int timeoutSeconds,
                           std::string_view account, std::string_view branch, std::string_view bank,
                           OperatorUi& ui, const std::function<void(const std::string&)>& debugLog);

// The cheque's restriction as the cheque pipeline decides it from the raw MICR groups: the local
// lists when `accountListPath` is set (whole account group, first three characters of the branch
// group), then the query page when `limitedAccountUrl` is set (last nine characters of the
// account group); when both are set the page's answer is the one that counts.
bool CheckRestrictedAccount(std::string_view accountGroup, std::string_view branchGroup,
                            std::string_view bankGroup, const std::filesystem::path& programFolder,
                            std::string_view accountListPath, std::string_view limitedAccountUrl,
                            int timeoutSeconds, HttpClient& http, OperatorUi& ui,
                            const std::function<void(const std::string&)>& debugLog);

// A file's last-modified moment in local time; nullopt when it cannot be read.
std::optional<LocalDateTime> fileModifiedLocal(const std::filesystem::path& file);

// Box titles and the connection warning text, Windows-1255.
std::string restrictedAccountTitle();
std::string connectionWarningTitle();
std::string connectionWarningText();

}  // namespace korvex
