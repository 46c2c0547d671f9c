#pragma once
// Where the polling tick sends complete reader messages. The main window implements it with its
// classification and its pipelines; tests record the calls.

#include <string>

namespace korvex {

class MessageDispatch {
public:
    virtual ~MessageDispatch() = default;

    // The class number of a message (0 unidentified, 1 cheque, 2 magnetic card, 3 document
    // without magnetic ink, 4 postal-bank cheque, 5 unparsed US cheque, 6 Nonus cheque).
    virtual int classify(const std::string& message) = 0;

    // ParseAndFeedCheque(line, false, "", "").
    virtual void cheque(const std::string& line) = 0;
    virtual void magStripe(const std::string& message) = 0;
    virtual void genUSCheque(const std::string& message) = 0;
    virtual void backsideImage() = 0;
    virtual void documentImage() = 0;

    // True once the program is ending; the tick stops dispatching then.
    virtual bool ended() const { return false; }
};

}  // namespace korvex
