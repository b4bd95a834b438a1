#pragma once

#include <QString>
#include <QtGlobal>
#include <exception>

// A failure travels as an exception from where it happens to the nearest guarded routine, which shows it
// (number and description) in one sentence. No routine of the program passes result codes instead.
class Failure : public std::exception {
public:
    Failure(qint32 number, QString description) : number(number), description(std::move(description)) {}

    const char* what() const noexcept override;

    qint32 number;
    QString description;
    // Set when the number is the engine's result code. Its small codes overlap the program's own numbers (6 is
    // an overflow here and a lock there), so only these are ever read as the engine's.
    bool fromEngine = false;

private:
    mutable QByteArray whatText;
};

// The one sentence in which every failure of a command reaches the user, in a window or on a terminal.
QString errorSentence(const Failure& failure);

// The numbers the program raises itself; everything else comes from the engine or the file system.
namespace failure {
constexpr qint32 Overflow = 6;
constexpr qint32 OutOfMemory = 7;
constexpr qint32 SubscriptOutOfRange = 9;
constexpr qint32 TypeMismatch = 13;
constexpr qint32 InternalError = 51;
constexpr qint32 FileNotFound = 53;
constexpr qint32 FileAlreadyExists = 58;
constexpr qint32 InputPastEndOfFile = 62;
constexpr qint32 PathFileAccessError = 75;
constexpr qint32 InvalidFileFormat = 321;
constexpr qint32 ObjectNotSet = 91;
constexpr qint32 InvalidUseOfNull = 94;
constexpr qint32 InvalidPropertyArrayIndex = 381;
constexpr qint32 UpdateWithoutAddNew = 3020;
constexpr qint32 NoCurrentRecord = 3021;
constexpr qint32 IdentifierNotUnique = 3022;
constexpr qint32 CannotOpenCatalogue = 3024;
constexpr qint32 CannotUpdate = 3027;
constexpr qint32 ChangedByAnotherProgram = 3197;
constexpr qint32 NoSuchTable = 3078;
constexpr qint32 EngineWithoutCode = 3146;
constexpr qint32 OperationNotSupported = 3251;
constexpr qint32 ItemNotFound = 3265;
constexpr qint32 UnrecognizedFormat = 3343;
constexpr qint32 ConversionError = 3421;
constexpr qint32 Cancelled = 32755;

Failure overflow();
Failure invalidUseOfNull();
Failure noCurrentRecord();
Failure invalidPropertyArrayIndex();
// A column asked for by name that the table does not have; the name tells the user which one.
Failure itemNotFound(const QString& column = {});
Failure typeMismatch();
// A file or folder that cannot be opened, made or written, with the system's reason.
Failure pathFileAccess(const QString& path, const QString& reason);
// Anything else thrown on the way (no memory, a library's own exception) becomes a failure like the others, so
// that it is reported instead of ending the program.
Failure fromException(const std::exception& exception);
} // namespace failure

// Narrows a whole number to the 16 bits that some identifiers are held in, failing as an overflow.
qint16 toInt16(qint64 value);
// Narrows to 32 bits likewise.
qint32 toInt32(qint64 value);
