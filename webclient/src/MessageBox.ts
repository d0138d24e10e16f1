namespace vpp {
  type MessageKind = "error" | "warning" | "information";

  /** Modal message and question windows of the page. */
  export class MessageBox {
    static error(text: string): Promise<void> {
      return MessageBox.show("error", "Ошибка", text, ["ОК"]).then(() => undefined);
    }

    /** A failed operation: what did not work, then the server's own message. */
    static failure(what: string, error: unknown): Promise<void> {
      return MessageBox.error(`${what}\n${errorText(error)}`);
    }

    static information(text: string): Promise<void> {
      return MessageBox.show("information", "Сообщение", text, ["ОК"]).then(() => undefined);
    }

    /** Resolves true when the user answers yes; closing the window counts as no. */
    static confirm(text: string): Promise<boolean> {
      return MessageBox.show("warning", "Подтверждение", text, ["Да", "Нет"]).then((index) => index === 0);
    }

    /** Resolves with the index of the button pressed, or the last index when the window is closed. */
    private static show(kind: MessageKind, caption: string, text: string, buttons: string[]): Promise<number> {
      return new Promise<number>((resolve) => {
        const window = new qx.ui.window.Window(caption, `resource/icon/16/dialog/${kind}.png`);
        window.set({ modal: true, showMinimize: false, showMaximize: false, allowMaximize: false, resizable: false });
        window.setLayout(new qx.ui.layout.VBox(12));

        const body = new qx.ui.container.Composite(new qx.ui.layout.HBox(12));
        body.add(new qx.ui.basic.Image(`resource/icon/32/dialog/${kind}.png`));
        const message = new qx.ui.basic.Label(MessageBox.toHtml(text));
        message.set({ rich: true, wrap: true, maxWidth: 480, selectable: true });
        message.getContentElement().setAttribute("role", kind === "error" ? "alert" : "status");
        body.add(message, { flex: 1 });
        window.add(body);

        let answer = buttons.length - 1;
        const row = new qx.ui.container.Composite(new qx.ui.layout.HBox(8, "right"));
        buttons.forEach((label, index) => {
          const button = new qx.ui.form.Button(label);
          button.setMinWidth(80);
          button.addListener("execute", () => {
            answer = index;
            window.close();
          });
          row.add(button);
        });
        window.add(row);

        window.addListener("close", () => {
          resolve(answer);
          window.destroy();
        });
        window.center();
        window.open();
        (row.getChildren()[0] as qx.ui.form.Button).focus();
      });
    }

    private static toHtml(text: string): string {
      return qx.bom.String.escape(text).replace(/\r?\n/g, "<br>");
    }
  }
}
