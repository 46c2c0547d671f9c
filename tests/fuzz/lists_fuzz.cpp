// The branch table and the restricted-account lists: the local list file and the query page.
// Input: the account (ended by 0x01), then the text every loader reads.

#include "FuzzCheck.h"
#include "accounts/RestrictedAccounts.h"
#include "interpret/BranchTable.h"
#include "support/FakeHttpClient.h"
#include "support/ScriptedOperatorUi.h"
#include "support/TempFolder.h"

using namespace korvex;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    fuzz::Input in(data, size);
    const std::string account = in.text();
    const std::string text = in.rest();

    BranchTable table;
    const BranchTableLoad load = table.parse(text);
    KORVEX_FUZZ_CHECK(load.ok || table.count() == 0, "a failed load leaves the table empty");
    for (const BranchRecord& r : table.records()) {
        KORVEX_FUZZ_CHECK(r.FirstBranch > r.LastBranch || table.covers(r.Bank, r.LastBranch),
                          "a record covers its own range");
    }

    static const test::TempFolder folder;
    folder.write("lists/" + RestrictedListFileName("123", "12"), text);
    test::ScriptedOperatorUi ui;
    const bool local = CheckRestrictedLocal(account, "123", "12", folder.path(), "lists", ui);
    KORVEX_FUZZ_CHECK(ui.messageBoxes.size() == (local ? 1u : 0u), "a hit, and only a hit, shows");

    test::FakeHttpClient http;
    http.answers.push_back(test::FakeHttpClient::page(text));
    ui.messageBoxes.clear();
    const bool online = CheckRestrictedOnline(http, "http://x/q", 5, account, "123", "12", ui, {});
    KORVEX_FUZZ_CHECK(ui.messageBoxes.size() <= 1, "at most one box for an answer");
    KORVEX_FUZZ_CHECK(!online || ui.messageBoxes.at(0).title == restrictedAccountTitle(),
                      "a restricted answer is announced as such");
    return 0;
}
