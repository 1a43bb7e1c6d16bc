#pragma once
// Errors raised where no value can be produced at all (an unknown gas number, a zero molar
// mass, a malformed number). Everything else reports failure through a Boolean and a text.
#include <QString>
#include <stdexcept>

class TessalyError : public std::runtime_error {
public:
    explicit TessalyError(const QString& message) : std::runtime_error(message.toStdString()) {}
    QString Message() const { return QString::fromStdString(what()); }
};

// A text that does not read as a number.
class ConvertError : public TessalyError {
public:
    using TessalyError::TessalyError;
};
