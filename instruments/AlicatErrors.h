#pragma once
// The status codes a mass flow controller appends to its status line, as a 16-bit set.
#include <QString>
#include <cstdint>

enum class TAlicatError : std::uint8_t { ADC, EXH, HLD, LCK, MOV, OPL, OVR, POV, TMF, TOV, VOV };

inline constexpr int AlicatErrorCount = 11;

// A set of status codes, bit n for code n.
struct TAlicatErrors {
    std::uint16_t Bits = 0;

    bool Contains(TAlicatError code) const { return Bits & Bit(code); }
    void Include(TAlicatError code) { Bits |= Bit(code); }
    bool IsEmpty() const { return Bits == 0; }
    bool operator==(const TAlicatErrors&) const = default;

private:
    static std::uint16_t Bit(TAlicatError code) { return std::uint16_t(1u << unsigned(code)); }
};

// The code as the controller writes it ("MOV").
QString AlicatErrorName(TAlicatError code);
// What the code means, for the operator.
QString AlicatErrorDescription(TAlicatError code);
// The code written exactly (case-sensitive) as name, or false.
bool TryAlicatErrorFromName(const QString& name, TAlicatError& code);
