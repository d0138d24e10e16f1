namespace vpp {
  /** Names an input of a form in the page's markup, as a plain HTML form would. */
  export function nameInput(field: qx.ui.form.AbstractField, name: string): void {
    field.getContentElement().setAttribute("name", name);
  }
}
