namespace vpp {
  /**
   * Import of a key from a PKCS#12 file exported on another workstation: the file with its
   * password becomes a new key container under a PIN of the user's choice. The password and the
   * PIN go only into the one request and are gone with the window.
   */
  export class KeyImportWindow {
    /** The refusals of the proxy, by the code its answer names them with. */
    private static readonly REFUSALS: { [code: string]: string } = {
      "not-pkcs12": "Файл не является файлом PKCS#12 или повреждён.",
      "wrong-password": "Неверный пароль файла.",
      "no-key": "В файле нет закрытого ключа.",
      "not-gost-key": "Ключ в файле не является ключом ГОСТ Р 34.10-2001 или ГОСТ Р 34.10-2012.",
      "no-key-certificate": "В файле нет сертификата ключа.",
      "container-exists": "Ключевой контейнер с таким именем уже есть. Укажите другое имя."
    };

    private readonly window = new qx.ui.window.Window("Импорт ключа из файла PKCS#12", "icon/16/actions/document-open.png");
    private readonly password = new qx.ui.form.PasswordField();
    private readonly containerName = new qx.ui.form.TextField();
    private readonly pin = new qx.ui.form.PasswordField();
    private readonly pinRepeat = new qx.ui.form.PasswordField();
    private file: File | null = null;

    constructor(private readonly api: RestClient, private readonly onImported: (name: string) => void) {
      this.window.set({ modal: true, showMinimize: false, showMaximize: false, width: 560 });
      this.window.setLayout(new qx.ui.layout.VBox(10));

      const hint = new qx.ui.basic.Label("Файл ключа PKCS#12 (.pfx, .p12), выгруженный на другом рабочем месте, с его паролем. " +
        "Ключ будет сохранён в новом ключевом контейнере под PIN-кодом, который вы зададите здесь.");
      hint.set({ rich: true, wrap: true });
      this.window.add(hint);

      this.window.add(new FileChooserRow(".pfx,.p12,application/x-pkcs12", (chosen) => this.choose(chosen)).row);

      nameInput(this.password, "pfxPassword");
      nameInput(this.containerName, "keyContainerName");
      nameInput(this.pin, "newPin");
      nameInput(this.pinRepeat, "newPinRepeat");
      const form = new qx.ui.form.Form();
      form.add(this.password, "Пароль файла");
      form.add(this.containerName, "Имя контейнера");
      form.add(this.pin, "Новый PIN-код");
      form.add(this.pinRepeat, "PIN-код ещё раз");
      this.window.add(new qx.ui.form.renderer.Single(form));

      const importButton = new qx.ui.form.Button("Импортировать", "resource/icon/16/actions/add.png");
      importButton.addListener("execute", () => this.submit());
      const cancel = new qx.ui.form.Button("Отмена");
      cancel.addListener("execute", () => this.window.close());
      const buttons = new qx.ui.container.Composite(new qx.ui.layout.HBox(8, "right"));
      buttons.add(importButton);
      buttons.add(cancel);
      this.window.add(buttons);

      this.window.addListener("close", () => {
        [this.password, this.pin, this.pinRepeat].forEach((field) => field.setValue(""));
        this.window.destroy();
      });
    }

    open(): void {
      this.window.center();
      this.window.open();
    }

    private choose(file: File): void {
      this.file = file;
      // The file's name is a good name for its container until the user gives another.
      if (!(this.containerName.getValue() || "").trim()) {
        this.containerName.setValue(file.name.replace(/\.(pfx|p12)$/i, ""));
      }
    }

    /** What keeps the form from being sent, or null when nothing does. */
    private problem(): string | null {
      if (!this.file) {
        return "Выберите файл ключа.";
      }
      if (!(this.containerName.getValue() || "").trim()) {
        return "Укажите имя ключевого контейнера.";
      }
      if (!this.pin.getValue()) {
        return "Задайте PIN-код ключа.";
      }
      if (this.pin.getValue() !== this.pinRepeat.getValue()) {
        return "PIN-коды не совпадают.";
      }
      return null;
    }

    private submit(): void {
      const problem = this.problem();
      if (problem) {
        MessageBox.error(problem);
        return;
      }
      const name = (this.containerName.getValue() || "").trim();
      const form = new FormData();
      form.append("file", this.file as File);
      form.append("password", this.password.getValue() || "");
      form.append("name", name);
      form.append("pin", this.pin.getValue() || "");
      ProgressDialog.during("Импорт ключа…", this.api.postForm<ImportedKey>("crypto/keys/import", form))
        .then((key) => {
          this.window.close();
          this.onImported(key.name);
          return MessageBox.information(`Ключ «${CertificateText.commonName(key.certificate.subjectName)}» импортирован ` +
            `в контейнер «${key.name}». Контейнер выбран в настройках: сохраните их, чтобы прокси-сервер работал с этим ключом.`);
        })
        .catch((error) => this.refused(error));
    }

    private refused(error: unknown): Promise<void> {
      const refusal = error instanceof RestError && error.code ? KeyImportWindow.REFUSALS[error.code] : undefined;
      if (!refusal) {
        return MessageBox.failure("Не удалось импортировать ключ.", error);
      }
      if (error instanceof RestError && error.code === "wrong-password") {
        this.password.setValue("");
      }
      return MessageBox.error(`Не удалось импортировать ключ.\n${refusal}`);
    }
  }
}
