#pragma once

#include <QString>
#include <QVariant>

// Names are stored as given and only shown or exported without their surrounding blanks. Only the blank
// (character 32) counts: a tab or other white space is part of the name.
QString trimBlanks(const QString& text);
QStringView trimBlanks(QStringView text);

// A column value that must be there: null fails as "Invalid use of Null", as it would when put in a list.
QString requireText(const QVariant& value);
qint32 requireWhole(const QVariant& value);
// An identifier read from column in the row that row names ("the row 'Horse'"). A fraction is never rounded to
// some other row's identifier: it fails, as any value that is no whole number does, saying where it lies.
qint32 requireIdentifier(const QVariant& value, const QString& column, const QString& row);
// How a row is named in such a failure: by its name as the lists show it.
QString rowNamed(const QString& name);

// A column value where null simply means no text.
QString textOrEmpty(const QVariant& value);

// Whole numbers of any of Qt's integer types, which the engine and the transfer file both hold as digits.
bool isWholeNumber(const QVariant& value);
