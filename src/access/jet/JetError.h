#pragma once

// Every failure of the page code: what kind it is (callers decide on the kind: a damaged file is reported, a full
// disk offers to retry) and one sentence for the user naming the table, the page and what is wrong.

#include <QString>
#include <exception>

namespace jet {

class Error : public std::exception {
public:
    enum class Kind { Damaged, Unsupported, Io, DiskFull, Constraint, ReadOnly };
    Error(Kind kind, QString message) : kind_(kind), message_(std::move(message)), utf8_(message_.toUtf8()) {}
    Kind kind() const { return kind_; }
    const QString& message() const { return message_; }
    const char* what() const noexcept override { return utf8_.constData(); }

private:
    Kind kind_;
    QString message_;
    QByteArray utf8_;
};

[[noreturn]] inline void damaged(const QString& message) {
    throw Error(Error::Kind::Damaged, message);
}
[[noreturn]] inline void unsupported(const QString& message) {
    throw Error(Error::Kind::Unsupported, message);
}

} // namespace jet
