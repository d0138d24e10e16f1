namespace vpp {
  /** A certificate with its chain: the chain as a tree from the root, the chosen link's fields below. */
  export class CertificateDetailsWindow {
    private readonly window = new qx.ui.window.Window("Сертификат", "resource/icon/16/actions/view.png");
    private readonly tree = new qx.ui.tree.Tree();
    private readonly fields = new qx.ui.container.Composite(new qx.ui.layout.Grid(10, 6));
    private readonly values: qx.ui.basic.Label[] = [];

    constructor() {
      this.window.set({ modal: true, showMinimize: false, width: 620, height: 480 });
      this.window.setLayout(new qx.ui.layout.VBox(10));
      this.window.add(new qx.ui.basic.Label("Путь сертификации").set({ font: "bold" }));
      this.tree.set({ openMode: "none", minHeight: 120 });
      this.tree.addListener("changeSelection", () => {
        const item = this.tree.getSelection()[0] as qx.ui.tree.TreeFolder | undefined;
        if (item) {
          this.showFields(item.getModel() as Certificate);
        }
      });
      this.window.add(this.tree, { flex: 1 });

      ["Владелец:", "Издатель:", "Действителен с:", "Действителен по:", "Серийный номер:", "Серийный номер (hex):"]
        .forEach((caption, row) => {
          this.fields.add(new qx.ui.basic.Label(caption).set({ font: "bold" }), { row, column: 0 });
          const value = new qx.ui.basic.Label().set({ rich: true, wrap: true, selectable: true });
          this.values.push(value);
          this.fields.add(value, { row, column: 1 });
        });
      (this.fields.getLayout() as qx.ui.layout.Grid).setColumnFlex(1, 1);
      this.window.add(this.fields);

      const close = new qx.ui.form.Button("Закрыть");
      close.addListener("execute", () => this.window.close());
      const row = new qx.ui.container.Composite(new qx.ui.layout.HBox(8, "right"));
      row.add(close);
      this.window.add(row);
      this.window.addListener("close", () => this.window.destroy());
    }

    open(leaf: Certificate): void {
      let parent: qx.ui.tree.core.AbstractTreeItem | null = null;
      let item: qx.ui.tree.TreeFolder | null = null;
      for (const certificate of CertificateText.chainFromRoot(leaf)) {
        item = new qx.ui.tree.TreeFolder(CertificateText.commonName(certificate.subjectName));
        item.set({ open: true, icon: "resource/icon/16/actions/view.png" });
        item.setModel(certificate);
        if (parent) {
          parent.add(item);
        } else {
          this.tree.setRoot(item);
        }
        parent = item;
      }
      this.window.center();
      this.window.open();
      if (item) {
        this.tree.setSelection([item]);
      }
    }

    private showFields(certificate: Certificate): void {
      [
        certificate.subjectName,
        certificate.issuerName,
        CertificateText.date(certificate.validFrom),
        CertificateText.date(certificate.validTo),
        certificate.serialNumber,
        certificate.serialNumberHex
      ].forEach((text, index) => this.values[index].setValue(qx.bom.String.escape(text)));
    }
  }
}
