#pragma once
// The class of one reader message, as classification decides it and input assembly dispatches on.

#include <cstdint>
#include <string>

namespace korvex {

enum class InputClass : int32_t {
    Unidentified = 0,
    RegularCheque = 1,
    MagneticCard = 2,
    NoMicrDocument = 3,  // a document without magnetic ink
    PostalBankCheque = 4,
    UnparsedUsCheque = 5,
    NonusCheque = 6,
};

// The name the details window shows for a class (Windows-1255); class 5 has none ("").
std::string InputClassDisplayName(InputClass inputClass);

}  // namespace korvex
