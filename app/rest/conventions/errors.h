#pragma once

#include "tessel/exception.h"

namespace tessel::rest {

// Each type selects the status that handle_exception answers with.
class bad_request : public utils::exception
{
public:
    bad_request() : utils::exception(QStringLiteral("Bad request!")) {}
    explicit bad_request(const QString& text) : utils::exception(text) {}
};

class not_found : public utils::exception
{
public:
    not_found() : utils::exception(QStringLiteral("Not found!")) {}
    explicit not_found(const QString& text) : utils::exception(text) {}
};

class forbidden : public utils::exception
{
public:
    using utils::exception::exception;
};

class server_error : public utils::exception
{
public:
    using utils::exception::exception;
};

class parse_param_exception : public utils::exception
{
public:
    using utils::exception::exception;
};

} // namespace tessel::rest
