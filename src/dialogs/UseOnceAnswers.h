#pragma once

#include <QList>
#include <QQueue>
#include <optional>

// Answers a test gives a dialog ahead of time. Each showing takes the oldest one instead of opening the window,
// and records what it would have shown, so the test can check it.
template <class Answer, class Request> class UseOnceAnswers {
public:
    void give(Answer answer) { answers.enqueue(std::move(answer)); }
    int unused() const { return int(answers.size()); }
    QList<Request> takeRequests() { return std::exchange(requests, {}); }

    std::optional<Answer> take(const Request& request) {
        if (answers.isEmpty())
            return std::nullopt;
        requests.append(request);
        return answers.dequeue();
    }

private:
    QQueue<Answer> answers;
    QList<Request> requests;
};
