#pragma once
// Shared ground of the fuzz targets: turning the fuzzer's bytes into the texts the program
// reads, a property check that stops the run with the failing input, and silence for the
// operator messages the parsers show.
#include "core/UserMessages.h"

#include <QLocale>
#include <QString>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

// A failed property is a finding like a crash: libFuzzer keeps the input that caused it.
#define FUZZ_CHECK(condition, detail)                                                               \
    do {                                                                                            \
        if (!(condition)) {                                                                         \
            std::fprintf(stderr, "property failed: %s (%s:%d): %s\n", #condition, __FILE__, __LINE__, \
                         QString(detail).toUtf8().constData());                                     \
            std::abort();                                                                           \
        }                                                                                           \
    } while (false)

// Bytes as the text of a file the operator wrote (UTF-8, invalid sequences replaced).
inline QString Utf8Text(const std::uint8_t* data, std::size_t size)
{
    return QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
}

inline QByteArray Bytes(const std::uint8_t* data, std::size_t size)
{
    return QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
}

// Message boxes the parsers raise go nowhere while a target runs; the dialog seam would
// otherwise fall back to the diagnostic log, which has no sink here either.
inline void SilenceMessages()
{
    static const bool once = [] {
        SetMessageHandler([](const QString&) {});
        return true;
    }();
    (void)once;
}

// Takes the first input byte, which a target spends on its options (which locale, which
// faults); false for an empty input.
inline bool TakeOptionsByte(const std::uint8_t*& data, std::size_t& size, std::uint8_t& options)
{
    if (size == 0)
        return false;
    options = data[0];
    ++data;
    --size;
    return true;
}

// The user's locale as the operator may have it: a point (English) or a comma (German).
inline void UseLocale(bool comma)
{
    QLocale::setDefault(comma ? QLocale(QLocale::German, QLocale::Germany)
                              : QLocale(QLocale::English, QLocale::UnitedStates));
}
