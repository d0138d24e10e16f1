// What a user does on the page and what they read there, in terms of its visible texts.
"use strict";

const TIMEOUT = 20000;

class WebClientPage {
  constructor(page) {
    this.page = page;
  }

  text(text, { exact = true } = {}) {
    return this.page.getByText(text, { exact }).filter({ visible: true }).first();
  }

  async waitForText(text, options) {
    await this.text(text, options).waitFor({ state: "visible", timeout: TIMEOUT });
  }

  async waitForNoText(text, { exact = true } = {}) {
    await this.page.getByText(text, { exact }).first().waitFor({ state: "hidden", timeout: TIMEOUT });
  }

  async click(label, options) {
    await this.text(label, options).click({ timeout: TIMEOUT });
  }

  /** Selects a table row by a cell's text. The table's focus frame lies over the focused cell and takes the click, as it does for a user. */
  async clickCell(text) {
    const cell = this.page.locator(".qooxdoo-table-cell").filter({ visible: true }).getByText(text, { exact: true }).first();
    await cell.click({ force: true, timeout: TIMEOUT });
  }

  /** The visible table row whose first cell reads exactly so. */
  row(firstCell) {
    const cell = this.page.locator(".qooxdoo-table-cell:first-child").getByText(firstCell, { exact: true });
    return this.page.locator("[role=row]").filter({ visible: true }).filter({ has: cell }).first();
  }

  async rowTexts(firstCell) {
    const row = this.row(firstCell);
    await row.waitFor({ state: "visible", timeout: TIMEOUT });
    return (await row.locator(".qooxdoo-table-cell").allInnerTexts()).map((t) => t.trim());
  }

  field(name) {
    return this.page.locator(`input[name="${name}"]`);
  }

  async value(name) {
    return this.field(name).inputValue({ timeout: TIMEOUT });
  }

  /** Types into a field and leaves it, which is when the form takes the value. */
  async fill(name, value) {
    await this.field(name).fill(value, { timeout: TIMEOUT });
    await this.field(name).press("Tab");
  }

  /** The text of the message window now open; role alert for errors, status for the rest. */
  async message(role) {
    const message = this.page.locator(`[role="${role}"]`).last();
    await message.waitFor({ state: "visible", timeout: TIMEOUT });
    return (await message.innerText()).trim();
  }

  /** Presses a button of the message window and waits for it to go. */
  async answer(role, button) {
    await this.message(role);
    const count = await this.page.locator(`[role="${role}"]`).count();
    await this.click(button);
    await this.page.waitForFunction(([r, n]) => document.querySelectorAll(`[role="${r}"]`).length < n,
      [role, count], { timeout: TIMEOUT });
  }

  /** A tab by its caption, which may end with a count such as " (2)". */
  async openTab(caption) {
    const escaped = caption.replace(/[.*+?^${}()|[\]\\]/g, "\\$&");
    await this.click(new RegExp(`^${escaped}( \\(\\d+\\))?$`));
  }
}

module.exports = WebClientPage;
