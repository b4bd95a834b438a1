#pragma once

#include <QString>
#include <QVariant>
#include <QtGlobal>
#include <exception>
#include <optional>

// Every number the program raises itself, the companion tools' included; everything else a failure carries comes
// from the engine or the file system. The numbers are those the older program showed for the same situations.
enum class FailureNumber : qint32 {
    Overflow = 6,
    OutOfMemory = 7,
    SubscriptOutOfRange = 9,
    TypeMismatch = 13,
    InternalError = 51,
    FileNotFound = 53,
    FileAlreadyExists = 58,
    InputPastEndOfFile = 62,
    PathFileAccessError = 75,
    ObjectNotSet = 91,
    InvalidUseOfNull = 94,
    InvalidFileFormat = 321,
    InvalidPropertyArrayIndex = 381,
    KeyAlreadyTaken = 457, // a name given to more than one entry where one was meant
    UpdateWithoutAddNew = 3020,
    NoCurrentRecord = 3021,
    IdentifierNotUnique = 3022,
    CannotOpenCatalogue = 3024,
    CannotUpdate = 3027,
    FieldTooSmall = 3163,           // a text longer than its Access column holds
    ChangedByAnotherProgram = 3197, // an Access catalogue written by another program since it was read
    NoSuchTable = 3078,
    EngineWithoutCode = 3146,
    ItemNotFound = 3265,
    UnrecognizedFormat = 3343,
    ConversionError = 3421,
    Cancelled = 32755,
};

// A failure travels as an exception from where it happens to the nearest guarded routine, which shows it
// (number and description) in one sentence. No routine of the program passes result codes instead.
class Failure : public std::exception {
public:
    Failure(FailureNumber number, QString description) : number(qint32(number)), description(std::move(description)) {}
    // A number that is not the program's own: the engine's result code (marked as such) or one handed on as is.
    static Failure withNumber(qint32 number, QString description, bool fromEngine = false);

    const char* what() const noexcept override;
    // True when this is the program's own failure of that number (the engine's codes overlap the small ones).
    bool is(FailureNumber own) const { return !fromEngine && number == qint32(own); }

    qint32 number;
    QString description;
    // Set when the number is the engine's result code. Its small codes overlap the program's own numbers (6 is
    // an overflow here and a lock there), so only these are ever read as the engine's.
    bool fromEngine = false;

private:
    mutable QByteArray whatText;
};

// How a failure is shown; every window and terminal goes through one of these three.
// In a message box after a command: "An error, N: 'description' has occurred."
QString errorSentence(const Failure& failure);
// In the message box that ends or refuses start-up: the headline (when there is one), a blank line, then
// "Error N: description".
QString startupReport(const QString& headline, const Failure& failure);
// On a companion tool's standard error: "tool: " and the sentence of a message box, so that a script sees what
// the window would have said. Anything thrown becomes a failure first.
QString terminalReport(const QString& tool, const std::exception& exception);

namespace failure {
using enum FailureNumber;

Failure overflow();
Failure invalidUseOfNull();
Failure noCurrentRecord();
Failure invalidPropertyArrayIndex();
// A column asked for by name that the table does not have; the name tells the user which one.
Failure itemNotFound(const QString& column = {});
Failure typeMismatch();
// A file or folder that cannot be opened, made or written, with the system's reason.
Failure pathFileAccess(const QString& path, const QString& reason);
// A write the disk had no room for: said in plain words, as the user can do something about it; the system's
// or the engine's own reason follows in brackets.
Failure diskFull(const QString& path, const QString& reason);
// An identifier that is no whole number (11.5, 'zz'), as a catalogue made by hand or by another program may
// hold; named where it lies so that the user can correct that row. row says which one: "the row 'Horse'".
Failure notAnIdentifier(const QString& column, const QVariant& value, const QString& row);
// What stands in the way when a path leads to no file, in words that fit "'path' (...)": a loop of symbolic
// links, a file where a folder should be. Empty when the file is simply not there.
QString whyNoFile(const QString& path);
// 75 for a path that is there but is no regular file, saying what it is (a folder, a named pipe, a device): to be
// asked before opening it, as opening a named pipe waits for a writer and a device may never end. None for a
// regular file or a path that is not there, which each caller names in its own way.
std::optional<Failure> notRegularFile(const QString& path);
// A file that is never replaced without being asked; remedy says what to do instead.
Failure fileAlreadyExists(const QString& path, const QString& remedy);
// Anything else thrown on the way (no memory, a library's own exception) becomes a failure like the others, so
// that it is reported instead of ending the program.
Failure fromException(const std::exception& exception);
} // namespace failure

// Narrows a whole number to the 16 bits that some identifiers are held in, failing as an overflow.
qint16 toInt16(qint64 value);
// Narrows to 32 bits likewise.
qint32 toInt32(qint64 value);
