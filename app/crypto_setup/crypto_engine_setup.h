#pragma once

#include <QSharedPointer>
#include <QString>

#include <boost/optional.hpp>
#include <boost/tuple/tuple.hpp>

namespace nxcrypto {
class CryptoEngine;
}

namespace tessel {

// The engine (never null) and the error text when initializing it failed.
using EngineSetup = boost::tuple<QSharedPointer<nxcrypto::CryptoEngine>, boost::optional<QString>>;

// A new engine for the configured key, or the first container when none is configured.
EngineSetup createEngine();

// The process-wide engine, created on first use.
QSharedPointer<nxcrypto::CryptoEngine> engine();

// Replaces the process-wide engine after a pause that lets the platform release the old key.
EngineSetup reinitEngine();

} // namespace tessel
