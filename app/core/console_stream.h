#pragma once

class QTextCodec;
class QTextStream;

namespace tessel {

// Standard output for the banner, the help text and the version; never for log records.
QTextStream& consoleStream();

// The console's code page on Russian systems, else nothing (the locale's codec is used).
QTextCodec* russianConsoleCodec();

} // namespace tessel
