#pragma once
// How the three document pipelines (cheque, card, unparsed cheque) give up on a document: a
// failure anywhere inside unwinds to the pipeline's single error path, which writes
// "Error #<number> - <description>" to the diagnostics log. Steps already done stay done; the
// operator is not told.
//
// PipelineAbort never leaves a pipeline: the pipeline's own top level catches it.

#include <cstdint>
#include <exception>
#include <new>
#include <string>
#include <utility>

#include "interpret/InterpretFailure.h"

namespace korvex {

// Failure numbers of the pipelines' own steps. The numbers of the building blocks they call
// (field rules, the cheque log, the cheque date) are those blocks' own.
// A failure nobody foresaw (a library refusing an operation); the text says what it was.
inline constexpr int32_t kErrPipelineInternal = 51;
// The preview image fetched for the full-details dialog could not be copied to the image name.
inline constexpr int32_t kErrImageCopyFailed = 1101;

class PipelineAbort : public std::exception {
public:
    PipelineAbort(int32_t number, std::string description)
        : number_(number), description_(std::move(description)) {}
    int32_t number() const { return number_; }
    const std::string& description() const { return description_; }
    const char* what() const noexcept override { return description_.c_str(); }

private:
    int32_t number_;
    std::string description_;
};

// The diagnostics line of the error path.
inline std::string pipelineErrorLine(int32_t number, const std::string& description) {
    return "Error #" + std::to_string(number) + " - " + description;
}

// Runs one document through `body`. When it fails, `cleanUp` runs first (it puts back what the
// pipeline changed for the document, such as a bank profile; its own failures are ignored) and
// then `log` gets the error line. Nothing escapes.
template <typename Body, typename CleanUp, typename Log>
void runPipeline(Body&& body, CleanUp&& cleanUp, Log&& log) noexcept {
    int32_t number = 0;
    std::string description;
    try {
        body();
        return;
    } catch (const PipelineAbort& abort) {
        number = abort.number();
        description = abort.description();
    } catch (const std::bad_alloc&) {
        number = kErrOutOfMemory;
        description = "Out of memory";
    } catch (const std::exception& e) {
        number = kErrPipelineInternal;
        description = std::string("Internal error: ") + e.what();
    } catch (...) {
        number = kErrPipelineInternal;
        description = "Internal error";
    }
    try {
        cleanUp();
    } catch (...) {
    }
    try {
        log(pipelineErrorLine(number, description));
    } catch (...) {
    }
}

}  // namespace korvex
