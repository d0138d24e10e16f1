namespace vpp {
  /**
   * Import of a certificate file: the file goes to the proxy's temporary storage, the proxy reads
   * it for a preview, and only the user's confirmation adds it to the chosen store.
   */
  export class CertificateImportWindow {
    private readonly window = new qx.ui.window.Window("Импорт сертификата", "resource/icon/16/actions/add.png");
    private readonly trustedStore = new qx.ui.form.RadioButton("Доверенные сертификаты");
    private readonly caStore = new qx.ui.form.RadioButton("Сертификаты удостоверяющих центров");
    private readonly progress = new qx.ui.indicator.ProgressBar(0, 100);
    private readonly preview = new qx.ui.container.Composite(new qx.ui.layout.Grid(10, 6));
    private readonly previewValues: qx.ui.basic.Label[] = [];
    private readonly addButton = new qx.ui.form.Button("Добавить", "resource/icon/16/actions/add.png");
    private fileId: string | null = null;

    constructor(private readonly api: RestClient, toCaStore: boolean, private readonly onAdded: () => void) {
      this.window.set({ modal: true, showMinimize: false, showMaximize: false, width: 560 });
      this.window.setLayout(new qx.ui.layout.VBox(10));

      const stores = new qx.ui.groupbox.GroupBox("Хранилище");
      stores.setLayout(new qx.ui.layout.VBox(4));
      stores.add(this.trustedStore);
      stores.add(this.caStore);
      const group = new qx.ui.form.RadioGroup();
      group.add(this.trustedStore);
      group.add(this.caStore);
      group.setSelection([toCaStore ? this.caStore : this.trustedStore]);
      this.window.add(stores);

      this.window.add(new qx.ui.basic.Label("Файл сертификата (.cer, .crt, .pem) или цепочки сертификатов PKCS#7 (.p7b)."));
      // With a chain in the file the proxy puts the certification authorities into their own
      // store whatever is chosen here.
      const file = new FileChooserRow(".cer,.crt,.der,.pem,.p7b,.p7c,application/pkix-cert,application/x-x509-ca-cert,application/pkcs7-mime",
        (chosen) => this.upload(chosen));
      this.window.add(file.row);
      this.progress.exclude();
      this.window.add(this.progress);

      ["Владелец:", "Издатель:", "Действителен:", "Серийный номер:"].forEach((caption, row) => {
        this.preview.add(new qx.ui.basic.Label(caption).set({ font: "bold" }), { row, column: 0 });
        const value = new qx.ui.basic.Label().set({ rich: true, wrap: true, selectable: true });
        this.previewValues.push(value);
        this.preview.add(value, { row, column: 1 });
      });
      (this.preview.getLayout() as qx.ui.layout.Grid).setColumnFlex(1, 1);
      this.preview.exclude();
      this.window.add(this.preview);

      this.addButton.setEnabled(false);
      this.addButton.addListener("execute", () => this.add());
      const cancel = new qx.ui.form.Button("Отмена");
      cancel.addListener("execute", () => this.window.close());
      const buttons = new qx.ui.container.Composite(new qx.ui.layout.HBox(8, "right"));
      buttons.add(this.addButton);
      buttons.add(cancel);
      this.window.add(buttons);

      this.window.addListener("close", () => {
        this.discardFile();
        this.window.destroy();
      });
    }

    open(): void {
      this.window.center();
      this.window.open();
    }

    private upload(file: File): void {
      this.discardFile();
      this.addButton.setEnabled(false);
      this.preview.exclude();
      this.progress.setValue(0);
      this.progress.show();
      CertificateFile.toPkcs7(file)
        .then((content) => this.api.upload("certificate", content, file.name,
          (fraction) => this.progress.setValue(Math.round(fraction * 100))))
        .then((id) => {
          this.fileId = id;
          return this.api.postText<Certificate>("crypto/certificates/blob", id);
        })
        .then((certificate) => {
          if (certificate) {
            this.showPreview(certificate);
            this.addButton.setEnabled(true);
          }
        })
        .catch((error) => MessageBox.failure("Не удалось прочитать сертификат из файла.", error))
        .then(() => this.progress.exclude());
    }

    private showPreview(certificate: Certificate): void {
      [
        certificate.subjectName,
        certificate.issuerName,
        CertificateText.validity(certificate),
        certificate.serialNumber
      ].forEach((text, index) => this.previewValues[index].setValue(qx.bom.String.escape(text)));
      this.preview.show();
    }

    private add(): void {
      const request = { id: this.fileId, ca: this.caStore.getValue() };
      ProgressDialog.during("Добавление сертификата…", this.api.postJson("crypto/certificates/add", request))
        .then(() => {
          this.window.close();
          this.onAdded();
          return MessageBox.information("Сертификат добавлен.");
        })
        .catch((error) => MessageBox.failure("Не удалось добавить сертификат.", error));
    }

    /** The uploaded file is only needed until it is added or given up. */
    private discardFile(): void {
      if (this.fileId) {
        // Best effort: the proxy drops its temporary files at exit anyway.
        this.api.deleteText("storage?type=certificate", this.fileId).catch(() => undefined);
        this.fileId = null;
      }
    }
  }
}
