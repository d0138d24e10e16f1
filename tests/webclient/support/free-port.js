"use strict";

const net = require("net");

/** A TCP port on 127.0.0.1 that nothing listens on right now. */
function freePort() {
  return new Promise((resolve, reject) => {
    const server = net.createServer();
    server.on("error", reject);
    server.listen(0, "127.0.0.1", () => {
      const { port } = server.address();
      server.close(() => resolve(port));
    });
  });
}

/** Waits until nothing listens on the port (other tests may hold it for a while). */
async function waitUntilFree(port, ms) {
  const deadline = Date.now() + ms;
  for (;;) {
    const free = await new Promise((resolve) => {
      const server = net.createServer();
      server.once("error", () => resolve(false));
      server.listen(port, "0.0.0.0", () => server.close(() => resolve(true)));
    });
    if (free) {
      return;
    }
    if (Date.now() > deadline) {
      throw new Error(`port ${port} stays busy`);
    }
    await new Promise((r) => setTimeout(r, 500));
  }
}

module.exports = { freePort, waitUntilFree };
