#pragma once

// A port on 127.0.0.1 that nothing listened on a moment ago.
unsigned short freeLocalPort();

// Whether something accepts connections on 127.0.0.1 at port.
bool acceptsConnections(unsigned short port);
