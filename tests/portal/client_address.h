#pragma once

#include <QString>

class ProxyUnderTest;

// Points the client of this test process at a proxy under test.
void pointClientAt(const ProxyUnderTest& proxy);
// Points the client at a port, without the access token of any proxy.
void pointClientAt(unsigned short proxyPort, const QString& listenInterface = QStringLiteral("127.0.0.1"));
