#include "catalogue/NameCollation.h"

#include "catalogue/EngineFailure.h"
#include "catalogue/Failure.h"

#include <algorithm>
#include <sqlite3.h>
#include <unicode/ucol.h>

namespace collation {
namespace {
// Secondary strength: letter case is a tertiary difference and so ignored; accents are secondary and count.
UCollator* openCollator() {
    UErrorCode status = U_ZERO_ERROR;
    UCollator* collator = ucol_open("", &status);
    if (U_SUCCESS(status))
        ucol_setStrength(collator, UCOL_SECONDARY);
    if (U_FAILURE(status)) {
        ucol_close(collator);
        throw Failure(
            failure::InternalError,
            QStringLiteral("Internal error: no collator for names (%1)").arg(QLatin1String(u_errorName(status))));
    }
    return collator;
}

// Space, digits and letters of plain ASCII come in the root order in the order of their lowercase codes, and
// none is ignorable or part of a contraction. Most names are made of them alone, and deciding those here keeps
// the lists as quick to sort as with the engine's own NOCASE. 0 marks anything else.
constexpr unsigned char plain(unsigned char c) {
    if (c >= 'A' && c <= 'Z')
        return c + ('a' - 'A');
    return (c == ' ' || (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z')) ? c : 0;
}

bool allPlain(const unsigned char* s, int from, int to) {
    return std::all_of(s + from, s + to, [](unsigned char c) { return plain(c) != 0; });
}

// -1, 0 or 1 when the plain characters decide, 2 when the collator must.
int comparePlain(const unsigned char* a, int aLength, const unsigned char* b, int bLength) {
    const int common = std::min(aLength, bLength);
    for (int i = 0; i < common; ++i) {
        const unsigned char x = plain(a[i]);
        const unsigned char y = plain(b[i]);
        if (x == 0 || y == 0)
            return 2;
        if (x != y)
            return x < y ? -1 : 1;
    }
    if (aLength == bLength)
        return 0;
    // What remains of the longer one may be ignorable (a control character): then they are equal.
    return aLength < bLength ? (allPlain(b, common, bLength) ? -1 : 2) : (allPlain(a, common, aLength) ? 1 : 2);
}

int compareWith(UCollator* collator, const char* a, int aLength, const char* b, int bLength) {
    const int quick = comparePlain(reinterpret_cast<const unsigned char*>(a), aLength,
                                   reinterpret_cast<const unsigned char*>(b), bLength);
    if (quick != 2)
        return quick;
    UErrorCode status = U_ZERO_ERROR;
    const UCollationResult result = ucol_strcollUTF8(collator, a, aLength, b, bLength, &status);
    return result == UCOL_LESS ? -1 : result == UCOL_GREATER ? 1 : 0;
}

int compareOnConnection(void* collator, int aLength, const void* a, int bLength, const void* b) {
    return compareWith(static_cast<UCollator*>(collator), static_cast<const char*>(a), aLength,
                       static_cast<const char*>(b), bLength);
}

void closeCollator(void* collator) {
    ucol_close(static_cast<UCollator*>(collator));
}
} // namespace

void registerNames(sqlite3* handle) {
    // A collator of its own for each connection: a connection is used from one thread at a time, a collator
    // shared between threads might not be.
    UCollator* collator = openCollator();
    const int code =
        sqlite3_create_collation_v2(handle, names, SQLITE_UTF8, collator, compareOnConnection, closeCollator);
    if (code != SQLITE_OK) {
        ucol_close(collator); // not handed over when the engine refuses
        throw engineFailure(handle, code);
    }
}

} // namespace collation
