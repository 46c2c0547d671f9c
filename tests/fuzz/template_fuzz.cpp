// Templates: every kind expanded with every field code, the date codes and {User}; the typed
// cheque date. Input: the template, then field values and the {User} answer, each ended by 0x01.

#include "FuzzCheck.h"
#include "output/Template.h"

using namespace korvex;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    fuzz::Input in(data, size);
    const std::string text = in.text();
    TemplateFields f;
    std::size_t values = 0;
    for (std::string* v : {&f.ChequeNum, &f.BankNum, &f.BranchNum, &f.BranchCode, &f.AccountNum,
                           &f.Amount, &f.FileName, &f.MICR, &f.Name, &f.Account, &f.DateMM,
                           &f.DateYY, &f.MagPart1, &f.MagPart2}) {
        *v = in.text().substr(0, 64);
        values += v->size();
    }
    const std::string answer = in.text().substr(0, 64);
    const std::string typedDate = in.rest();
    f.ChequeDate = ParseChequeDate(typedDate);
    if (f.ChequeDate) {
        KORVEX_FUZZ_CHECK(ParseChequeDate(FormatDayMonthYear(*f.ChequeDate)) == f.ChequeDate,
                          "a cheque date reads back");
    }
    int asked = 0;
    UserFileName user([&](const std::string&) {
        ++asked;
        return answer;
    });
    const LocalDateTime moment{2026, 12, 7, 5, 9, 3};
    for (int k = 0; k <= static_cast<int>(TemplateKind::CSVRen); ++k) {
        const std::string out =
            ExpandTemplate(static_cast<TemplateKind>(k), text, f, moment, &user);
        // A code's value may hold another code, so a few passes may grow it again; the result
        // must stay within reach of its parts all the same.
        KORVEX_FUZZ_CHECK(out.size() <= (text.size() + 1) * (values + answer.size() + 16),
                          "an expansion is bounded");
    }
    KORVEX_FUZZ_CHECK(asked <= 1, "the user is asked once for a document");
    return 0;
}
