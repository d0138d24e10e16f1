// A key brought as a PKCS#12 file: imported on the settings page, chosen, unlocked at #auth and
// shown to the portal.
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

const PFX_PASSWORD = "пароль файла";
const PIN = "новый PIN";
const CONTAINER = "Петров 2012-512";
const OWNER = "Петров Пётр Петрович (2012-512)";

describe("key import", () => {
  let workstation;
  let portal;
  let proxy;
  let browser;
  let ui;
  let pfx;

  before(async () => {
    workstation = new DemoWorkstation();
    pfx = workstation.pkcs12("user512", PFX_PASSWORD);
    portal = new StandInPortal(workstation);
    await portal.start();
    proxy = new Proxy(workstation, Proxy.configFor(workstation, portal, await freePort()));
    await proxy.start();
    browser = new Browser(proxy.url, ["/local/", "/webclient/"]);
    ui = new WebClientPage(await browser.open("/local/"));
    await ui.openTab("Настройки");
  });

  after(() => teardown(() => browser?.close(), () => proxy?.stop(), () => portal?.stop(), () => workstation?.remove()));

  function containerNames() {
    return workstation.admin(["container", "list"]).split("\n").filter((line) => line).map((line) => line.split("\t")[0]);
  }

  async function fillImportForm(password) {
    await ui.fill("pfxPassword", password);
    await ui.fill("keyContainerName", CONTAINER);
    await ui.fill("newPin", PIN);
    await ui.fill("newPinRepeat", PIN);
  }

  it("names a refusal in Russian and lets the user type the password again", async () => {
    await ui.click("Импорт ключа из файла PKCS#12…");
    await browser.page.locator("input[type=file]").last().setInputFiles(pfx);
    await ui.waitForText("user512.pfx");
    assert.equal(await ui.value("keyContainerName"), "user512");
    await fillImportForm("не тот пароль");
    const answer = browser.page.waitForResponse((r) => r.url().endsWith("/local/rest/v1/crypto/keys/import"));
    await ui.click("Импортировать");
    assert.equal((await answer).status(), 400);
    assert.equal(await ui.message("alert"), "Не удалось импортировать ключ.\nНеверный пароль файла.");
    await browser.screenshot("key-import-wrong-password");
    await ui.answer("alert", "ОК");
    assert.equal(await ui.value("pfxPassword"), "");
    assert.deepEqual(containerNames(), [DemoWorkstation.KEY_NAME]);
  });

  it("imports the key into a new container, which the key list shows chosen at once", async () => {
    await fillImportForm(PFX_PASSWORD);
    await ui.click("Импортировать");
    const message = await ui.message("status");
    assert.match(message, new RegExp(`^Ключ «${OWNER.replace(/[()]/g, "\\$&")}» импортирован в контейнер «${CONTAINER}»`));
    await ui.answer("status", "ОК");
    await ui.waitForText(CONTAINER);
    await browser.screenshot("key-import-done");
    assert.deepEqual(containerNames(), [DemoWorkstation.KEY_NAME, CONTAINER].sort());
  });

  it("works with the portal once saved and unlocked at #auth", async () => {
    await ui.click("Сохранить");
    assert.equal(await ui.message("status"), "Настройки сохранены.");
    await ui.answer("status", "ОК");
    assert.equal(proxy.savedConfig().crypto.keyName, CONTAINER);

    await browser.page.goto(`${proxy.url}/webclient/`);
    await browser.page.waitForURL(`${proxy.url}/local/#auth`, { timeout: 20000 });
    await ui.waitForText(`«${CONTAINER}»`, { exact: false });
    await ui.waitForText(`CN=${OWNER}`, { exact: false });
    await ui.fill("password", PIN);
    await ui.click("Продолжить");
    await browser.page.waitForURL(`${proxy.url}/webclient/`, { timeout: 30000 });
    // The stand-in portal's page names the user of the client certificate it was shown.
    await browser.page.getByText(OWNER, { exact: false }).first().waitFor({ timeout: 20000 });
    await browser.screenshot("key-import-portal");
    assert.equal(proxy.log().includes(PIN), false);
    assert.equal(proxy.log().includes(PFX_PASSWORD), false);
    assert.deepEqual(browser.outsideRequests, []);
    assert.deepEqual(browser.pageErrors, []);
  });
});
