#pragma once

#include <QList>
#include <QMutex>
#include <QMutexLocker>
#include <QQueue>
#include <optional>

// Answers a test gives a dialog ahead of time. Each showing takes the oldest one instead of opening the window,
// and records what it would have shown, so the test can check it.
//
// The message box, the text input and the file dialog each keep one of these for the whole process, in their
// own .cpp, behind their static setNext.../unused.../take... functions: the program calls the dialogs as free
// functions from anywhere, and threading a hook object through every command only for the tests would cost more
// than it shows. Empty, it lets every showing through to the real window, so the program never notices it. It
// is locked, so a test may give answers from another thread than the one that shows the dialogs.
template <class Answer, class Request> class UseOnceAnswers {
public:
    void give(Answer answer) {
        const QMutexLocker lock(&mutex);
        answers.enqueue(std::move(answer));
    }
    int unused() const {
        const QMutexLocker lock(&mutex);
        return int(answers.size());
    }
    QList<Request> takeRequests() {
        const QMutexLocker lock(&mutex);
        return std::exchange(requests, {});
    }

    std::optional<Answer> take(const Request& request) {
        const QMutexLocker lock(&mutex);
        if (answers.isEmpty())
            return std::nullopt;
        requests.append(request);
        return answers.dequeue();
    }

private:
    mutable QMutex mutex;
    QQueue<Answer> answers;
    QList<Request> requests;
};
