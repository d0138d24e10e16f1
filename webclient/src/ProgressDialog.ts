namespace vpp {
  /**
   * A modal window that shows that a long operation runs; its bar sweeps, so that the user sees
   * the page is not stuck. (Uploads, whose progress is known, show it in their own window.)
   */
  export class ProgressDialog {
    private readonly window: qx.ui.window.Window;
    private readonly bar: qx.ui.indicator.ProgressBar;
    private sweep: number | undefined;

    constructor(text: string) {
      this.window = new qx.ui.window.Window("Пожалуйста, подождите");
      this.window.set({
        modal: true, showClose: false, showMinimize: false, showMaximize: false,
        allowClose: false, allowMaximize: false, resizable: false
      });
      this.window.setLayout(new qx.ui.layout.VBox(10));
      this.window.add(new qx.ui.basic.Label(text));
      this.bar = new qx.ui.indicator.ProgressBar(0, 100);
      this.bar.setWidth(320);
      this.window.add(this.bar);
    }

    /** Shows the window while the work runs; the work's result or error passes through. */
    static during<T>(text: string, work: Promise<T>): Promise<T> {
      const dialog = new ProgressDialog(text);
      dialog.open();
      return work.then(
        (result) => {
          dialog.close();
          return result;
        },
        (error) => {
          dialog.close();
          throw error;
        }
      );
    }

    open(): void {
      this.window.center();
      this.window.open();
      this.sweep = window.setInterval(() => this.bar.setValue((this.bar.getValue() + 5) % 105), 100);
    }

    close(): void {
      window.clearInterval(this.sweep);
      this.window.close();
      this.window.destroy();
    }
  }
}
