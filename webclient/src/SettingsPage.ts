namespace vpp {
  /** The proxy's settings: where it listens, the portal, the key container and the storage. */
  export class SettingsPage {
    readonly page: qx.ui.tabview.Page;

    private readonly firstStartHint = new qx.ui.basic.Label(
      "Прокси-сервер запущен впервые. Проверьте параметры подключения, выберите ключевой контейнер и сохраните настройки."
    );
    private readonly listenInterface = new qx.ui.form.TextField();
    private readonly listenPort = new qx.ui.form.TextField();
    private readonly appUrl = new qx.ui.form.TextField();
    private readonly keyName = new qx.ui.form.SelectBox();
    private readonly keysProblem = new qx.ui.basic.Label();
    private readonly storageDir = new qx.ui.form.TextField();
    private readonly form = new qx.ui.form.Form();
    private saved: Settings | undefined;

    constructor(private readonly api: RestClient) {
      this.page = new qx.ui.tabview.Page("Настройки", "icon/16/categories/system.png");
      this.page.setLayout(new qx.ui.layout.VBox(12));
      this.page.setPadding(16);

      this.firstStartHint.set({ rich: true, wrap: true, textColor: "text-selected", backgroundColor: "background-selected", padding: 8 });
      this.firstStartHint.exclude();
      this.page.add(this.firstStartHint);

      this.listenInterface.setRequired(true);
      this.listenPort.setRequired(true);
      this.appUrl.setRequired(true);
      this.appUrl.setPlaceholder("https://адрес-портала:порт");
      this.storageDir.setPlaceholder("по умолчанию: каталог storage рядом с файлом настроек");
      [this.listenInterface, this.listenPort, this.appUrl].forEach((field) => field.setRequiredInvalidMessage("Заполните это поле"));
      this.listenPort.setInvalidMessage("Порт: целое число от 1 до 65535");
      this.appUrl.setInvalidMessage("Адрес портала: http:// или https:// и имя сервера");
      nameInput(this.listenInterface, "listenInterface");
      nameInput(this.listenPort, "listenPort");
      nameInput(this.appUrl, "appUrl");
      nameInput(this.storageDir, "storageDir");

      this.form.addGroupHeader("Локальный сервер");
      this.form.add(this.listenInterface, "Интерфейс", undefined, "listenInterface");
      this.form.add(this.listenPort, "Порт", SettingsPage.validatePort, "listenPort");
      this.form.addGroupHeader("Портал");
      this.form.add(this.appUrl, "Адрес портала", SettingsPage.validateUrl, "appUrl");
      this.form.addGroupHeader("Ключ и хранилище");
      this.form.add(this.keyName, "Ключевой контейнер", undefined, "keyName");
      this.form.add(this.storageDir, "Каталог хранилища", undefined, "storageDir");
      const renderer = new qx.ui.form.renderer.Single(this.form);
      renderer.setMaxWidth(640);
      this.page.add(renderer);

      this.keysProblem.set({ rich: true, wrap: true, textColor: "invalid", maxWidth: 640 });
      this.keysProblem.exclude();
      this.page.add(this.keysProblem);

      const importKey = new qx.ui.form.Button("Импорт ключа из файла PKCS#12…", "icon/16/actions/document-open.png");
      importKey.setAllowGrowX(false);
      importKey.addListener("execute", () => new KeyImportWindow(this.api, (name) => this.showImportedKey(name)).open());
      this.page.add(importKey);

      const buttons = new qx.ui.container.Composite(new qx.ui.layout.HBox(8));
      const save = new qx.ui.form.Button("Сохранить", "icon/16/actions/document-save.png");
      save.addListener("execute", () => this.save());
      const revert = new qx.ui.form.Button("Отменить изменения", "icon/16/actions/edit-undo.png");
      revert.addListener("execute", () => this.reload());
      buttons.add(save);
      buttons.add(revert);
      this.page.add(buttons);
    }

    /** Loads the settings and the key list; resolves whether the proxy runs with no saved settings yet. */
    load(): Promise<boolean> {
      const keys = this.api.getJson<KeyContainer[]>("crypto/keys").then(
        (list) => {
          this.keysProblem.exclude();
          return list;
        },
        (error) => {
          this.keysProblem.setValue(qx.bom.String.escape(`Не удалось получить список ключевых контейнеров: ${errorText(error)}`));
          this.keysProblem.show();
          return [] as KeyContainer[];
        }
      );
      return Promise.all([this.api.getJson<SettingsAnswer>("settings"), keys]).then(([answer, list]) => {
        this.show(answer.settings, list);
        this.firstStartHint.setVisibility(answer.initial ? "visible" : "excluded");
        return answer.initial;
      });
    }

    private reload(): void {
      this.load().catch((error) => MessageBox.failure("Не удалось загрузить настройки.", error));
    }

    private show(settings: Settings, keys: KeyContainer[]): void {
      this.saved = settings;
      this.listenInterface.setValue(settings.listenInterface);
      this.listenPort.setValue(String(settings.listenPort));
      this.appUrl.setValue(settings.appUrl);
      this.storageDir.setValue(settings.storageDir || "");

      this.showKeys(keys, settings.crypto ? settings.crypto.keyName : "");
      [this.listenInterface, this.listenPort, this.appUrl].forEach((field) => field.setValid(true));
    }

    private showKeys(keys: KeyContainer[], chosen: string): void {
      const configured = this.saved && this.saved.crypto ? this.saved.crypto.keyName : "";
      this.keyName.removeAll();
      this.keyName.add(new qx.ui.form.ListItem("(первый найденный)", null, ""));
      keys.forEach((key) => this.keyName.add(new qx.ui.form.ListItem(key.name, null, key.id)));
      // A configured container that is not on this workstation stays selectable, so saving
      // other settings does not silently drop it.
      if (configured && !keys.some((key) => key.id === configured)) {
        this.keyName.add(new qx.ui.form.ListItem(`${configured} (не найден)`, null, configured));
      }
      this.keyName.setModelSelection([chosen]);
    }

    /** The list gets the new container, which becomes the choice; the rest of the form stays as edited. */
    private showImportedKey(name: string): void {
      this.api.getJson<KeyContainer[]>("crypto/keys")
        .then((keys) => this.showKeys(keys, name))
        .catch((error) => MessageBox.failure("Не удалось получить список ключевых контейнеров.", error));
    }

    private save(): void {
      if (!this.form.validate()) {
        MessageBox.error("Исправьте отмеченные поля.");
        return;
      }
      const settings = this.edited();
      const before = this.saved;
      const restartNeeded = !!before &&
        (before.listenInterface !== settings.listenInterface || before.listenPort !== settings.listenPort);
      ProgressDialog.during("Сохранение настроек…", this.api.postJson("settings", settings))
        .then(() => this.load())
        .then(() => MessageBox.information(restartNeeded
          ? "Настройки сохранены. Новые интерфейс и порт начнут действовать после перезапуска прокси-сервера."
          : "Настройки сохранены."))
        .catch((error) => {
          // A failed engine start still leaves the settings saved, so the form shows what is stored now.
          MessageBox.failure("Не удалось сохранить настройки.", error).then(() => this.reload());
        });
    }

    private edited(): Settings {
      const selected = this.keyName.getModelSelection().getItem(0);
      const settings: Settings = {
        listenInterface: this.listenInterface.getValue().trim(),
        listenPort: Number(this.listenPort.getValue().trim()),
        appUrl: this.appUrl.getValue().trim(),
        crypto: { keyName: selected || "" }
      };
      const storageDir = (this.storageDir.getValue() || "").trim();
      if (storageDir) {
        settings.storageDir = storageDir;
      }
      return settings;
    }

    private static validatePort(value: string): boolean {
      const text = (value || "").trim();
      const port = Number(text);
      return /^\d+$/.test(text) && port >= 1 && port <= 65535;
    }

    private static validateUrl(value: string): boolean {
      return /^https?:\/\/[^\s/]+/i.test((value || "").trim());
    }
  }
}
