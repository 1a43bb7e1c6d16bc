#pragma once
// The standard colour names the colour pickers offer and the lab's instrument file accepts,
// with their ARGB values.
#include <QString>
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
