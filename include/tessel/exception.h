#pragma once

#include <QString>

#include <stdexcept>

namespace tessel::utils {

// The application's general error; the text is kept as UTF-8.
class exception : public std::runtime_error
{
public:
    explicit exception(const QString& text) : std::runtime_error(text.toUtf8().toStdString()) {}
};

} // namespace tessel::utils
