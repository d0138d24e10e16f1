// The key unlock page that the proxy opens when the portal asks for the client certificate.
"use strict";

const { describe, it, before, after } = require("node:test");
const assert = require("node:assert/strict");
const DemoWorkstation = require("./support/demo-workstation");
const StandInPortal = require("./support/stand-in-portal");
const Proxy = require("./support/proxy");
const Browser = require("./support/browser");
const WebClientPage = require("./support/web-client-page");
const teardown = require("./support/teardown");
const { freePort } = require("./support/free-port");

describe("#auth", () => {
  let workstation;
  let portal;
  let proxy;
  let browser;
  let ui;

  before(async () => {
    workstation = new DemoWorkstation();
    portal = new StandInPortal(workstation);
    await portal.start();
    proxy = new Proxy(workstation, Proxy.configFor(workstation, portal, await freePort()));
    await proxy.start();
    browser = new Browser(proxy.url, ["/local/", "/webclient/"]);
    ui = new WebClientPage(await browser.open("/webclient/"));
  });

  after(() => teardown(() => browser?.close(), () => proxy?.stop(), () => portal?.stop(), () => workstation?.remove()));

  it("is where the portal's page sends the browser while the key is locked", async () => {
    await browser.page.waitForURL(`${proxy.url}/local/#auth`, { timeout: 20000 });
    await ui.waitForText(`«${DemoWorkstation.KEY_NAME}»`, { exact: false });
    await ui.waitForText(`CN=${DemoWorkstation.USER}`, { exact: false });
    await ui.waitForText("CN=Velmar Test Issuing CA 2012", { exact: false });
    await ui.waitForText(/^с \d\d\.\d\d\.\d{4} по \d\d\.\d\d\.\d{4}$/);
    await browser.screenshot("auth");
  });

  it("reports a wrong password with the server's message and lets the user try again", async () => {
    await ui.fill("password", "not the pin");
    const answer = browser.page.waitForResponse((r) => r.url().endsWith("/crypto/setkp"));
    await ui.click("Продолжить");
    const response = await answer;
    assert.equal(response.status(), 403);
    assert.equal(await ui.message("alert"), `Пароль ключа не принят.\n${(await response.text()).trim()}`);
    await browser.screenshot("auth-wrong-password");
    await ui.answer("alert", "ОК");
    assert.equal(await ui.value("password"), "");
    assert.equal(browser.page.url(), `${proxy.url}/local/#auth`);
  });

  it("returns the browser to the portal once the right password unlocks the key", async () => {
    await ui.fill("password", DemoWorkstation.PIN);
    await ui.click("Продолжить");
    await browser.page.waitForURL(`${proxy.url}/webclient/`, { timeout: 30000 });
    // The stand-in portal's page names the user of the client certificate it was shown.
    await browser.page.getByText(DemoWorkstation.USER, { exact: false }).first().waitFor({ timeout: 20000 });
    await browser.screenshot("auth-portal");
    assert.deepEqual(browser.outsideRequests, []);
    assert.deepEqual(browser.pageErrors, []);
  });
});
