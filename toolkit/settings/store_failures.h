#pragma once

#include "platform/settings_store.h"

#include <cstdint>
#include <string>

namespace vemlo {

// A point in the run of the registry routines' reads. A read that fails for another reason than
// an absent key or value (a hive locked past the wait, an I/O error, a file that is not a store)
// still gives "", but it is counted: code that would act on an empty result, such as ending a
// list or deleting what lies beyond it, marks a point and asks afterwards:
//
//     vemlo::ReadFailureMark mark;
//     ... RegReadString calls ...
//     if (mark.failed()) { /* keep what was read, write nothing, show mark.message() */ }
class ReadFailureMark {
public:
    ReadFailureMark();

    // Whether a read failed since the mark was made.
    bool failed() const;
    // The most recent such failure for the user: Swedish, naming the file; "" when none.
    std::string message() const;
    // The same in the store's own English words, for the command line; "" when none.
    std::string detail() const;

private:
    std::uint64_t at_;
};

// Whether a status that a store read returned is a failure rather than an absent key or value.
bool IsReadFailure(platform::Status status);

// Records a failed read of the toolkit's store; the registry routines call it.
void NoteReadFailure(platform::Status status);

// Why the most recent RegWriteString that returned false did not store its value, in the store's
// English words; "" before any such failure.
const std::string& LastWriteFailure();
void NoteWriteFailure(std::string message);

} // namespace vemlo
