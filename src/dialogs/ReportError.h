#pragma once

#include "catalogue/Failure.h"

// Shows the failure in the message box (style 0, caption "Notice") and returns when the user has read it.
void ReportError(const Failure& failure);

// A guarded routine: a failure anywhere in fn abandons the rest of it, is reported, and the routine returns
// normally. Any other exception (no memory, a library's own) is reported the same way, so none reaches the event
// loop. Nothing is undone here; commands that must not leave half their work behind use a transaction.
template <class Fn> void guarded(Fn&& fn) {
    try {
        fn();
    } catch (const std::exception& exception) {
        ReportError(failure::fromException(exception));
    }
}

// The same for the commands with a file dialog, whose cancel ends them without a word.
template <class Fn> void guardedFileCommand(Fn&& fn) {
    try {
        fn();
    } catch (const std::exception& exception) {
        const Failure failure = failure::fromException(exception);
        if (!failure.is(failure::Cancelled))
            ReportError(failure);
    }
}
