namespace vpp {
  /** Background processes of the proxy; the list refreshes by itself while any of them waits or runs. */
  export class ProcessesPage {
    private static readonly POLL_MS = 1000;
    private static readonly STATE_TEXTS = ["Ожидает", "Выполняется", "Ошибка", "Завершён"];

    readonly page: qx.ui.tabview.Page;

    private readonly model = new qx.ui.table.model.Simple();
    private readonly table: qx.ui.table.Table;
    private readonly summary = new qx.ui.basic.Label();
    private poll: number | undefined;

    constructor(private readonly api: RestClient) {
      this.page = new qx.ui.tabview.Page("Фоновые операции", "icon/16/apps/utilities-system-monitor.png");
      this.page.setLayout(new qx.ui.layout.VBox(8));
      this.page.setPadding(8);

      const toolbar = new qx.ui.toolbar.ToolBar();
      const refresh = new qx.ui.toolbar.Button("Обновить", "icon/22/actions/view-refresh.png");
      refresh.addListener("execute", () => this.reload());
      const clear = new qx.ui.toolbar.Button("Очистить завершённые", "icon/22/actions/edit-clear.png");
      clear.addListener("execute", () => this.clearFinished());
      toolbar.add(refresh);
      toolbar.add(clear);
      this.page.add(toolbar);

      this.model.setColumns(["Описание", "Этап", "Состояние", "Ошибка"], ["desc", "stage", "state", "error"]);
      this.table = new qx.ui.table.Table(this.model);
      this.table.set({ statusBarVisible: false, columnVisibilityButtonVisible: false });
      [320, 220, 110, 300].forEach((width, column) => this.table.setColumnWidth(column, width));
      this.page.add(this.table, { flex: 1 });
      this.page.add(this.summary);
    }

    load(): Promise<void> {
      window.clearTimeout(this.poll);
      this.poll = undefined;
      return this.api.getJson<ProcessInfo[]>("processes").then((processes) => {
        this.model.setData(processes.map((p) => [
          p.desc,
          p.stage,
          ProcessesPage.STATE_TEXTS[p.state] || String(p.state),
          p.state === 2 ? p.errorMsg || "" : ""
        ]));
        const active = processes.filter((p) => p.state === 0 || p.state === 1).length;
        this.summary.setValue(processes.length === 0
          ? "Фоновых операций нет."
          : `Всего операций: ${processes.length}, выполняется или ожидает: ${active}.`);
        if (active > 0) {
          this.poll = window.setTimeout(() => this.reload(), ProcessesPage.POLL_MS);
        }
      });
    }

    reload(): void {
      this.load().catch((error) => MessageBox.failure("Не удалось получить список фоновых операций.", error));
    }

    private clearFinished(): void {
      this.api.postJson("processes/clear", null)
        .then(() => this.load())
        .catch((error) => MessageBox.failure("Не удалось очистить список фоновых операций.", error));
    }
  }
}
