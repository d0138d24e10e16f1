namespace vpp {
  /** A button that chooses one file and, beside it, the name of the file chosen. */
  export class FileChooserRow {
    readonly row = new qx.ui.container.Composite(new qx.ui.layout.HBox(8));
    private readonly fileName = new qx.ui.basic.Label("Файл не выбран");

    /** accept: the file types the browser offers, as for an input element. */
    constructor(accept: string, onChosen: (file: File) => void) {
      const chooser = new qx.ui.form.FileSelectorButton("Выбрать файл…", "icon/16/actions/document-open.png");
      chooser.setAccept(accept);
      chooser.addListener("changeFileSelection", (e: qx.event.type.Data) => {
        const files = e.getData() as FileList | null;
        if (files && files.length > 0) {
          this.fileName.setValue(files[0].name);
          onChosen(files[0]);
        }
      });
      this.row.add(chooser);
      this.fileName.setAlignY("middle");
      this.row.add(this.fileName, { flex: 1 });
    }
  }
}
