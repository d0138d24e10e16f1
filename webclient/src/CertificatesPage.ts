namespace vpp {
  /** The workstation's certificate stores: trusted certificates and those of certification authorities. */
  export class CertificatesPage {
    readonly page: qx.ui.tabview.Page;

    private readonly stores = new qx.ui.tabview.TabView();
    private readonly trusted: CertificateTable;
    private readonly authorities: CertificateTable;
    private readonly trustedPage = new qx.ui.tabview.Page("Доверенные сертификаты");
    private readonly authoritiesPage = new qx.ui.tabview.Page("Удостоверяющие центры");

    constructor(private readonly api: RestClient) {
      this.page = new qx.ui.tabview.Page("Сертификаты", "icon/16/apps/preferences-security.png");
      this.page.setLayout(new qx.ui.layout.VBox(8));
      this.page.setPadding(8);

      const toolbar = new qx.ui.toolbar.ToolBar();
      const importButton = new qx.ui.toolbar.Button("Импорт…", "resource/icon/16/actions/add.png");
      importButton.addListener("execute", () => new CertificateImportWindow(this.api, this.caSelected(), () => this.reload()).open());
      const viewButton = new qx.ui.toolbar.Button("Просмотр", "resource/icon/16/actions/view.png");
      viewButton.addListener("execute", () => this.view());
      const deleteButton = new qx.ui.toolbar.Button("Удалить", "resource/icon/16/actions/del.png");
      deleteButton.addListener("execute", () => this.remove());
      const refreshButton = new qx.ui.toolbar.Button("Обновить", "icon/22/actions/view-refresh.png");
      refreshButton.addListener("execute", () => this.reload());
      [importButton, viewButton, deleteButton].forEach((button) => toolbar.add(button));
      toolbar.addSpacer();
      toolbar.add(refreshButton);
      this.page.add(toolbar);

      this.trusted = new CertificateTable(() => this.view());
      this.authorities = new CertificateTable(() => this.view());
      [[this.trustedPage, this.trusted], [this.authoritiesPage, this.authorities]].forEach(([page, table]) => {
        (page as qx.ui.tabview.Page).setLayout(new qx.ui.layout.Grow());
        (page as qx.ui.tabview.Page).add((table as CertificateTable).table);
        this.stores.add(page as qx.ui.tabview.Page);
      });
      this.page.add(this.stores, { flex: 1 });
    }

    load(): Promise<void> {
      return this.api.getJson<CertificateLists>("crypto/certificates").then((lists) => {
        this.trusted.show(lists.reg);
        this.authorities.show(lists.ca);
        this.trustedPage.setLabel(`Доверенные сертификаты (${lists.reg.length})`);
        this.authoritiesPage.setLabel(`Удостоверяющие центры (${lists.ca.length})`);
      });
    }

    reload(): void {
      this.load().catch((error) => MessageBox.failure("Не удалось получить список сертификатов.", error));
    }

    private caSelected(): boolean {
      return this.stores.getSelection()[0] === this.authoritiesPage;
    }

    private selectedTable(): CertificateTable {
      return this.caSelected() ? this.authorities : this.trusted;
    }

    private selectedCertificate(): Certificate | null {
      const certificate = this.selectedTable().selected();
      if (!certificate) {
        MessageBox.information("Выберите сертификат в списке.");
      }
      return certificate;
    }

    private view(): void {
      const certificate = this.selectedCertificate();
      if (!certificate) {
        return;
      }
      ProgressDialog.during("Построение цепочки сертификатов…",
        this.api.postJson<Certificate>("crypto/certificates/chain", { cert: certificate, ca: this.caSelected() }))
        .then((chain) => new CertificateDetailsWindow().open(chain || certificate))
        .catch((error) => MessageBox.failure("Не удалось построить цепочку сертификата.", error));
    }

    private remove(): void {
      const certificate = this.selectedCertificate();
      if (!certificate) {
        return;
      }
      const ca = this.caSelected();
      MessageBox.confirm(`Удалить сертификат «${CertificateText.commonName(certificate.subjectName)}» из хранилища?`)
        .then((yes) => {
          if (!yes) {
            return;
          }
          return ProgressDialog.during("Удаление сертификата…", this.api.postJson("crypto/certificates/delete", { ca, cert: certificate }))
            .then(() => this.load());
        })
        .catch((error) => MessageBox.failure("Не удалось удалить сертификат.", error).then(() => this.reload()));
    }
  }
}
