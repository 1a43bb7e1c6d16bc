#pragma once
// The standard colour names the colour pickers offer and the lab's instrument file accepts,
// with their ARGB values.
#include <QString>
#include <QtGui/qrgb.h> // the colour value alone (header only, no QtGui library)
#include <cstdint>
#include <span>

struct StandardColor {
    const char* Name;
    std::uint32_t Value; // ARGB, opaque
};

std::span<const StandardColor> StandardColors();

// A standard name (any letter case) or "#RRGGBB"; false for anything else.
bool ColorFromText(const QString& text, std::uint32_t& value);
// The standard name of an opaque colour when it has one, otherwise "#RRGGBB".
QString ColorText(std::uint32_t value);

// Colours of the built-in devices (ARGB, as the named colours of the colour pickers).
namespace NamedColor {
inline constexpr QRgb Purple = qRgb(0x80, 0x00, 0x80);
inline constexpr QRgb Green = qRgb(0x00, 0x80, 0x00);
inline constexpr QRgb Red = qRgb(0xFF, 0x00, 0x00);
inline constexpr QRgb Blue = qRgb(0x00, 0x00, 0xFF);
inline constexpr QRgb Brown = qRgb(0xA5, 0x2A, 0x2A);
inline constexpr QRgb Aqua = qRgb(0x00, 0xFF, 0xFF);
}
