#pragma once

#include "catalogue/Failure.h"

// Shows the failure in the message box (style 0, caption "Notice") and returns when the user has read it.
void ReportError(const Failure& failure);

// A guarded routine: a failure anywhere in fn abandons the rest of it, is reported, and the routine returns
// normally. Any other exception (no memory, a library's own) is reported the same way, so none reaches the event
// loop. Nothing is undone here; commands that must not leave half their work behind use a transaction.
// afterwards(failure) runs once the failure has been reported.
template <class Fn, class After> void guarded(Fn&& fn, After&& afterwards) {
    try {
        fn();
    } catch (const std::exception& exception) {
        const Failure failure = failure::fromException(exception);
        ReportError(failure);
        afterwards(failure);
    }
}
template <class Fn> void guarded(Fn&& fn) {
    guarded(std::forward<Fn>(fn), [](const Failure&) {});
}

// The same for the commands with a file dialog, whose cancel ends them without a word.
template <class Fn, class After> void guardedFileCommand(Fn&& fn, After&& afterwards) {
    try {
        fn();
    } catch (const std::exception& exception) {
        const Failure failure = failure::fromException(exception);
        if (failure.is(failure::Cancelled))
            return;
        ReportError(failure);
        afterwards(failure);
    }
}
template <class Fn> void guardedFileCommand(Fn&& fn) {
    guardedFileCommand(std::forward<Fn>(fn), [](const Failure&) {});
}

// True for a refusal because another program changed the catalogue: a row the command was given is gone or no
// longer alone under its identifier, or an Access catalogue had to be read again. Lists read before it no longer
// show the catalogue as it is.
inline bool listsOutOfDate(const Failure& failure) {
    return failure.is(failure::NoCurrentRecord) || failure.is(failure::IdentifierNotUnique) ||
           failure.is(failure::ChangedByAnotherProgram);
}
