// First start, saving the settings, a server error while saving, and a proxy restart under the page.
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

const FIRST_START_HINT = "Прокси-сервер запущен впервые";

describe("settings", () => {
  let workstation;
  let proxy;
  let browser;
  let ui;

  before(async () => {
    workstation = new DemoWorkstation();
    // Without a configuration file the proxy listens on its default port.
    proxy = new Proxy(workstation, null);
    await proxy.startWhenPortFree();
    browser = new Browser(proxy.url);
    await browser.open("/local/");
    ui = new WebClientPage(browser.page);
  });

  after(() => teardown(() => browser?.close(), () => proxy?.stop(), () => workstation?.remove()));

  it("leads a first start to the settings form with the defaults", async () => {
    await ui.waitForText(FIRST_START_HINT, { exact: false });
    assert.equal(await ui.value("listenInterface"), "localhost");
    assert.equal(await ui.value("listenPort"), String(Proxy.DEFAULT_PORT));
    assert.equal(await ui.value("appUrl"), "https://localhost:8443");
    await ui.waitForText("(первый найденный)");
    await browser.screenshot("settings-first-start");
  });

  it("saves the edited settings, which a reload shows again", async () => {
    const storage = path.join(workstation.dir, "documents");
    await ui.fill("appUrl", "https://localhost:9443/");
    await ui.fill("storageDir", storage);
    await ui.click("(первый найденный)");
    await ui.click(DemoWorkstation.KEY_NAME);
    await ui.click("Сохранить");
    await ui.waitForText("Сохранение настроек…");
    assert.equal(await ui.message("status"), "Настройки сохранены.");
    await ui.answer("status", "ОК");

    assert.deepEqual(proxy.savedConfig(), {
      appUrl: "https://localhost:9443",
      crypto: { keyName: DemoWorkstation.KEY_NAME },
      listenInterface: "localhost",
      listenPort: Proxy.DEFAULT_PORT,
      storageDir: storage
    });

    await browser.page.reload();
    await ui.waitForText(DemoWorkstation.KEY_NAME);
    assert.equal(await ui.value("appUrl"), "https://localhost:9443");
    assert.equal(await ui.value("storageDir"), storage);
    assert.equal(await ui.text(FIRST_START_HINT, { exact: false }).count(), 0);
    await browser.screenshot("settings-saved");
  });

  it("shows the server's own message when the settings cannot be saved", async () => {
    // A directory in place of the file makes writing it fail on the server.
    fs.rmSync(proxy.configFile);
    fs.mkdirSync(proxy.configFile);
    try {
      const answer = browser.page.waitForResponse((r) => r.url().endsWith("/local/rest/v1/settings") && r.request().method() === "POST");
      await ui.click("Сохранить");
      const response = await answer;
      assert.equal(response.status(), 500);
      const serverMessage = (await response.text()).trim();
      assert.notEqual(serverMessage, "");
      assert.equal(await ui.message("alert"), `Не удалось сохранить настройки.\n${serverMessage}`);
      await browser.screenshot("settings-error");
      await ui.answer("alert", "ОК");
    } finally {
      fs.rmSync(proxy.configFile, { recursive: true });
    }
  });

  it("notices a restart of the proxy and reloads what it shows", async () => {
    await proxy.stop();
    await ui.click("Отменить изменения");
    await ui.waitForText("Нет связи с прокси-сервером", { exact: false });
    await ui.answer("alert", "ОК");

    // The proxy comes back with settings changed behind the page's back.
    const moved = path.join(workstation.dir, "moved");
    fs.writeFileSync(proxy.configFile, JSON.stringify({
      listenInterface: "localhost", listenPort: Proxy.DEFAULT_PORT, appUrl: "https://localhost:9443",
      crypto: { keyName: DemoWorkstation.KEY_NAME }, storageDir: moved
    }));
    await proxy.startWhenPortFree();
    await ui.waitForNoText("Нет связи с прокси-сервером", { exact: false });
    await browser.page.waitForFunction((dir) => {
      const input = document.querySelector('input[name="storageDir"]');
      return input && input.value === dir;
    }, moved, { timeout: 20000 });
    assert.deepEqual(browser.outsideRequests, []);
    assert.deepEqual(browser.pageErrors, []);
  });
});
