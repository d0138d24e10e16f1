#pragma once

#include <QString>

// Points the client of this test process at a proxy under test.
void pointClientAt(unsigned short proxyPort, const QString& listenInterface = QStringLiteral("127.0.0.1"));
