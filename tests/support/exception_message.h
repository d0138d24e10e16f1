#pragma once

#include "tessel/exception.h"

#include <string>

// The message of the application error that action throws, or "no error".
template <class Action>
std::string messageOf(Action action)
{
    try {
        action();
    } catch (const tessel::utils::exception& e) {
        return e.what();
    }
    return "no error";
}
