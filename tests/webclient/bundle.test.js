// The executable serves the web client from its embedded resources, and the page needs nothing else.
"use strict";

const { describe, it, before, after } = require("node:test");
const assert = require("node:assert/strict");
const fs = require("fs");
const path = require("path");
const DemoWorkstation = require("./support/demo-workstation");
const Proxy = require("./support/proxy");
const Browser = require("./support/browser");
const WebClientPage = require("./support/web-client-page");
const teardown = require("./support/teardown");
const { freePort } = require("./support/free-port");
const { request } = require("./support/http");

const BUNDLE = process.env.VPP_WEBCLIENT_BUNDLE;

describe("embedded bundle", () => {
  let workstation;
  let proxy;

  before(async () => {
    workstation = new DemoWorkstation();
    proxy = new Proxy(workstation, Proxy.configFor(workstation, null, await freePort()));
    await proxy.start();
  });

  after(() => teardown(() => proxy?.stop(), () => workstation?.remove()));

  const files = [
    ["index.html", /^text\/html\b/],
    ["qooxdoo.min.js", /^(application|text)\/javascript\b/],
    ["app.min.js", /^(application|text)\/javascript\b/],
    ["tslib.min.js", /^(application|text)\/javascript\b/],
    ["resource/qx/icon/Tango/16/apps/preferences-security.png", /^image\/png$/],
    ["resource/icon/16/dialog/error.png", /^image\/png$/]
  ];
  for (const [file, type] of files) {
    it(`serves ${file} as built, with its content type`, async () => {
      const answer = await request("GET", `${proxy.url}/local/${file}`);
      assert.equal(answer.status, 200);
      assert.match(answer.headers["content-type"], type);
      assert.ok(answer.body.equals(fs.readFileSync(path.join(BUNDLE, file))), "the served bytes are the bundle's");
    });
  }

  it("has a page that loads its four scripts in order", async () => {
    const page = (await request("GET", `${proxy.url}/local/index.html`)).body.toString("utf8");
    const scripts = [...page.matchAll(/<script[^>]*src="([^"]+)"/g)].map((m) => m[1]);
    assert.deepEqual(scripts, ["qooxdoo.min.js", "big.min.js", "tslib.min.js", "app.min.js"]);
    assert.match(page, /<title>Настройки клиента портала<\/title>/);
    assert.match(page, /<body>\s*<\/body>/);
  });

  it("loads with no request leaving /local/", async () => {
    const browser = new Browser(proxy.url);
    try {
      const ui = new WebClientPage(await browser.open("/local/"));
      await ui.waitForText("Настройки клиента портала");
      for (const tab of ["Сертификаты", "Фоновые операции", "Настройки"]) {
        await ui.openTab(tab);
      }
      await ui.field("listenInterface").waitFor({ state: "visible" });
      await browser.page.waitForLoadState("networkidle");
      await browser.screenshot("page");
      assert.deepEqual(browser.outsideRequests, []);
      assert.deepEqual(browser.pageErrors, []);
    } finally {
      await browser.close();
    }
  });
});
