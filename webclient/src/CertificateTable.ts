namespace vpp {
  /** One certificate store as a table: owner, issuer, validity and serial number. */
  export class CertificateTable {
    private static readonly SERIAL_COLUMN = 4;
    private static readonly CERTIFICATE_COLUMN = 5;

    readonly table: qx.ui.table.Table;
    private readonly model = new qx.ui.table.model.Simple();

    constructor(onOpen: () => void) {
      this.model.setColumns(
        ["Владелец", "Издатель", "Действует с", "Действует по", "Серийный номер", ""],
        ["owner", "issuer", "validFrom", "validTo", "serial", "certificate"]
      );
      this.model.setSortMethods(CertificateTable.SERIAL_COLUMN, (a: unknown[], b: unknown[]) =>
        CertificateText.compareSerials(a[CertificateTable.SERIAL_COLUMN] as string, b[CertificateTable.SERIAL_COLUMN] as string));
      this.table = new qx.ui.table.Table(this.model);
      this.table.set({ statusBarVisible: false, columnVisibilityButtonVisible: false, minHeight: 160 });
      this.table.getSelectionModel().setSelectionMode(qx.ui.table.selection.Model.SINGLE_SELECTION);
      const columns = this.table.getTableColumnModel() as qx.ui.table.columnmodel.Basic;
      columns.setColumnVisible(CertificateTable.CERTIFICATE_COLUMN, false);
      [210, 210, 120, 120, 320].forEach((width, column) => this.table.setColumnWidth(column, width));
      this.table.addListener("cellDbltap", onOpen);
    }

    show(certificates: Certificate[]): void {
      this.model.setData(certificates.map((c) => [
        CertificateText.commonName(c.subjectName),
        CertificateText.commonName(c.issuerName),
        CertificateText.date(c.validFrom),
        CertificateText.date(c.validTo),
        c.serialNumber,
        c
      ]), false);
      this.table.getSelectionModel().resetSelection();
    }

    selected(): Certificate | null {
      const ranges = this.table.getSelectionModel().getSelectedRanges();
      if (ranges.length === 0) {
        return null;
      }
      const row = this.model.getRowData(ranges[0].minIndex) as unknown[];
      return row ? (row[CertificateTable.CERTIFICATE_COLUMN] as Certificate) : null;
    }
  }
}
