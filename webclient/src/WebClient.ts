namespace vpp {
  /**
   * The page as a whole: a header, the settings, certificates and processes tabs, and the key
   * unlock page that the proxy opens as "#auth".
   */
  export class WebClient {
    static readonly AUTH_HASH = "#auth";

    private readonly api = new RestClient();
    private readonly settings = new SettingsPage(this.api);
    private readonly certificates = new CertificatesPage(this.api);
    private readonly processes = new ProcessesPage(this.api);
    private readonly auth = new AuthPage(this.api, () => this.openSettings());
    private readonly tabs = new qx.ui.tabview.TabView();
    private readonly version = new qx.ui.basic.Label();
    private readonly banner = new qx.ui.basic.Label();
    private readonly monitor = new ConnectionMonitor(this.api, this.banner, () => this.reloadAll());

    constructor(root: qx.ui.root.Application) {
      const page = new qx.ui.container.Composite(new qx.ui.layout.VBox(0));
      page.add(this.header());
      this.banner.set({ rich: true, padding: 6, textColor: "text-selected", backgroundColor: "invalid" });
      this.banner.exclude();
      page.add(this.banner);

      this.tabs.setContentPadding(0);
      [this.settings.page, this.certificates.page, this.processes.page].forEach((p) => this.tabs.add(p));
      this.tabs.addListener("changeSelection", () => this.reloadSelected());
      page.add(this.tabs, { flex: 1 });
      this.auth.widget.exclude();
      page.add(this.auth.widget, { flex: 1 });
      root.add(page, { edge: 0 });

      window.addEventListener("hashchange", () => this.reloadAll());
    }

    start(): void {
      this.monitor.start();
      this.reloadAll();
    }

    private header(): qx.ui.container.Composite {
      const header = new qx.ui.container.Composite(new qx.ui.layout.HBox(10));
      header.set({ padding: [8, 12], backgroundColor: "background-selected" });
      header.add(new qx.ui.basic.Image("icon/32/apps/preferences-network.png"));
      header.add(new qx.ui.basic.Label("Настройки клиента портала").set({
        font: "headline", textColor: "text-selected", alignY: "middle"
      }));
      header.add(new qx.ui.core.Spacer(), { flex: 1 });
      this.version.set({ textColor: "text-selected", alignY: "middle" });
      header.add(this.version);
      return header;
    }

    private onAuthPage(): boolean {
      return window.location.hash === WebClient.AUTH_HASH;
    }

    private openSettings(): void {
      window.location.hash = "";
      this.tabs.setSelection([this.settings.page]);
    }

    /** Everything the page shows comes afresh from the proxy: after a start, a hash change or a reconnect. */
    private reloadAll(): void {
      this.api.getText("version").then((v) => this.version.setValue(`Версия ${v}`), () => undefined);
      const auth = this.onAuthPage();
      this.auth.widget.setVisibility(auth ? "visible" : "excluded");
      this.tabs.setVisibility(auth ? "excluded" : "visible");
      if (auth) {
        this.auth.load().catch((error) => MessageBox.failure("Не удалось получить сертификат ключа.", error));
        return;
      }
      this.settings.load()
        .then((initial) => {
          if (initial) {
            this.tabs.setSelection([this.settings.page]);
          }
          this.reloadSelected();
        })
        .catch((error) => MessageBox.failure("Не удалось загрузить настройки.", error));
    }

    private reloadSelected(): void {
      const selected = this.tabs.getSelection()[0];
      if (selected === this.certificates.page) {
        this.certificates.reload();
      } else if (selected === this.processes.page) {
        this.processes.reload();
      }
    }
  }
}
