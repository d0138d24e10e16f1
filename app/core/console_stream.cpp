#include "core/console_stream.h"

#include <QLocale>
#include <QTextCodec>
#include <QTextStream>

#include <cstdio>

namespace tessel {

QTextCodec* russianConsoleCodec()
{
    return QLocale::system().country() == QLocale::RussianFederation ? QTextCodec::codecForName("CP866") : nullptr;
}

QTextStream& consoleStream()
{
    static QTextStream stream(stdout, QIODevice::WriteOnly);
    QTextCodec* codec = russianConsoleCodec();
    stream.setCodec(codec ? codec : QTextCodec::codecForLocale());
    return stream;
}

} // namespace tessel
