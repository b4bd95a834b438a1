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

// A column value where null simply means no text.
QString textOrEmpty(const QVariant& value);
