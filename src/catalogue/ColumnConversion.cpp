#include "catalogue/ColumnConversion.h"

#include "catalogue/ValueForms.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace {
bool isBlank(unsigned char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// Blanks around a number never mattered; the no-break space is the only one beyond ASCII a transfer file can hold.
std::string_view trimmed(std::string_view text) {
    for (;;) {
        if (!text.empty() && isBlank(text.front()))
            text.remove_prefix(1);
        else if (text.starts_with("\xC2\xA0"))
            text.remove_prefix(2);
        else
            break;
    }
    for (;;) {
        if (!text.empty() && isBlank(text.back()))
            text.remove_suffix(1);
        else if (text.ends_with("\xC2\xA0"))
            text.remove_suffix(2);
        else
            break;
    }
    return text;
}

// A leading "+" is allowed, as it always was, but only before a digit or a point.
std::string_view withoutPlus(std::string_view text) {
    if (text.size() > 1 && text.front() == '+' && text[1] != '-' && text[1] != '+')
        text.remove_prefix(1);
    return text;
}

template <class Number> bool parseWhole(std::string_view text, Number& out) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), out);
    return error == std::errc() && end == text.data() + text.size();
}

// Digits alone, with or without a minus: a whole number even when it is beyond 64 bits. Read as a double,
// -9223372036854775809 would round into the range and be kept as a real.
bool looksWhole(std::string_view text) {
    if (text.starts_with('-'))
        text.remove_prefix(1);
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The engine's 64-bit range: the largest double below 2^63 and -2^63 itself fit, 2^63 does not.
constexpr double wholeLimit = 9223372036854775808.0;

// Shown in a refusal; a line may be megabytes long.
QString shownText(std::string_view utf8) {
    constexpr qsizetype shownBytes = 60;
    if (qsizetype(utf8.size()) <= shownBytes)
        return QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
    qsizetype cut = shownBytes;
    while (cut > 0 && (static_cast<unsigned char>(utf8[cut]) & 0xC0) == 0x80)
        --cut; // not inside a character
    return QString::fromUtf8(utf8.data(), cut) + QStringLiteral("...");
}

QString refusalText(const QString& column, ColumnKind kind, const QString& text, qint64 line) {
    const QString where = line > 0 ? QStringLiteral("line %1, ").arg(line) : QString();
    const QString expected = kind == ColumnKind::Date    ? QStringLiteral("a date")
                             : kind == ColumnKind::YesNo ? QStringLiteral("True or False")
                                                         : QStringLiteral("a number");
    return QStringLiteral("Data type conversion error: %1column '%2' expects %3, not '%4'.")
        .arg(where, column, expected, text);
}
} // namespace

ColumnKind columnKindOf(const QString& declaredType) {
    const QString t = declaredType.toUpper();
    if (t.contains(QLatin1String("INT")))
        return ColumnKind::Integer;
    if (t.contains(QLatin1String("DATE")) || t.contains(QLatin1String("TIME")))
        return ColumnKind::Date;
    if (t.contains(QLatin1String("BOOL")) || t == QLatin1String("BIT") || t == QLatin1String("YESNO"))
        return ColumnKind::YesNo;
    if (t.contains(QLatin1String("CHAR")) || t.contains(QLatin1String("CLOB")) || t.contains(QLatin1String("TEXT")) ||
        t.contains(QLatin1String("BLOB")) || t.isEmpty())
        return ColumnKind::Text;
    return ColumnKind::Real;
}

ConvertedText convertText(std::string_view utf8, ColumnKind kind) {
    ConvertedText result;
    if (kind == ColumnKind::Text)
        return result;
    const std::string_view text = withoutPlus(trimmed(utf8));
    if (text.empty()) {
        result.kind = ConvertedText::Kind::Null;
        return result;
    }
    if (kind == ColumnKind::Date || kind == ColumnKind::YesNo) {
        const QString words = QString::fromUtf8(text.data(), qsizetype(text.size()));
        if (kind == ColumnKind::Date) {
            const std::optional<QString> date = storedDate(words);
            result.kind = date ? ConvertedText::Kind::NewText : ConvertedText::Kind::Refused;
            result.newText = date.value_or(QString()).toUtf8();
        } else {
            const std::optional<int> yesNo = storedYesNo(words);
            result.kind = yesNo ? ConvertedText::Kind::Whole : ConvertedText::Kind::Refused;
            result.whole = yesNo.value_or(0);
        }
        return result;
    }
    if (kind == ColumnKind::Integer && parseWhole(text, result.whole)) {
        result.kind = ConvertedText::Kind::Whole;
        return result;
    }
    if (kind == ColumnKind::Integer && looksWhole(text)) {
        result.kind = ConvertedText::Kind::Refused;
        return result;
    }
    // from_chars also reads "nan" and "inf"; neither is a number a column can hold.
    double real = 0;
    if (!parseWhole(text, real) || !std::isfinite(real) ||
        (kind == ColumnKind::Integer && (real < -wholeLimit || real >= wholeLimit))) {
        result.kind = ConvertedText::Kind::Refused;
        return result;
    }
    result.kind = ConvertedText::Kind::Real;
    result.real = real;
    return result;
}

RefusedValue::RefusedValue(const QString& column, ColumnKind kind, std::string_view utf8, qint64 line)
    : RefusedValue(column, kind, shownText(utf8), line) {}

RefusedValue::RefusedValue(const QString& column, ColumnKind kind, const QString& shown, qint64 line)
    : Failure(failure::ConversionError, refusalText(column, kind, shown, line)), column(column), kind(kind),
      text(shown) {}
