namespace vpp {
  /**
   * The page the proxy sends the browser to when the portal asks for the client certificate
   * before the key is unlocked: it shows the key's certificate and takes the key's password.
   */
  export class AuthPage {
    static readonly PORTAL_PAGE = "/webclient/";

    readonly widget: qx.ui.container.Composite;

    private readonly prompt = new qx.ui.basic.Label();
    private readonly owner = new qx.ui.basic.Label();
    private readonly issuer = new qx.ui.basic.Label();
    private readonly validity = new qx.ui.basic.Label();
    private readonly password = new qx.ui.form.PasswordField();
    private readonly submit = new qx.ui.form.Button("Продолжить", "icon/16/actions/dialog-ok.png");

    constructor(private readonly api: RestClient, openSettings: () => void) {
      this.widget = new qx.ui.container.Composite(new qx.ui.layout.HBox(0, "center"));
      this.widget.setPaddingTop(40);
      const box = new qx.ui.groupbox.GroupBox("Вход на портал по сертификату", "icon/16/apps/preferences-security.png");
      box.setLayout(new qx.ui.layout.VBox(10));
      box.set({ width: 560, allowGrowY: false });

      const head = new qx.ui.container.Composite(new qx.ui.layout.HBox(12));
      head.add(new qx.ui.basic.Image("icon/32/status/dialog-password.png"));
      this.prompt.set({ rich: true, wrap: true });
      head.add(this.prompt, { flex: 1 });
      box.add(head);

      const details = new qx.ui.container.Composite(new qx.ui.layout.Grid(10, 6));
      [["Владелец:", this.owner], ["Издатель:", this.issuer], ["Действителен:", this.validity]].forEach(([caption, value], row) => {
        details.add(new qx.ui.basic.Label(caption as string).set({ font: "bold" }), { row, column: 0 });
        (value as qx.ui.basic.Label).set({ rich: true, wrap: true, selectable: true });
        details.add(value as qx.ui.basic.Label, { row, column: 1 });
      });
      (details.getLayout() as qx.ui.layout.Grid).setColumnFlex(1, 1);
      box.add(details);

      const entry = new qx.ui.container.Composite(new qx.ui.layout.HBox(8));
      entry.add(new qx.ui.basic.Label("Пароль ключа:").set({ alignY: "middle" }));
      nameInput(this.password, "password");
      this.password.addListener("keypress", (e: qx.event.type.KeySequence) => {
        if (e.getKeyIdentifier() === "Enter") {
          this.unlock();
        }
      });
      entry.add(this.password, { flex: 1 });
      this.submit.addListener("execute", () => this.unlock());
      entry.add(this.submit);
      box.add(entry);

      const settings = new qx.ui.form.Button("Настройки", "icon/16/categories/system.png");
      settings.addListener("execute", openSettings);
      const foot = new qx.ui.container.Composite(new qx.ui.layout.HBox(8, "right"));
      foot.add(settings);
      box.add(foot);

      this.widget.add(box);
    }

    load(): Promise<void> {
      this.password.setValue("");
      this.showCertificate(null);
      return this.chosenKey().then((keyName) => {
        if (!keyName) {
          this.prompt.setValue("Ключевой контейнер не найден. Выберите его на странице настроек.");
          this.submit.setEnabled(false);
          return;
        }
        this.prompt.setValue(qx.bom.String.escape(`Портал запрашивает сертификат. Введите пароль ключевого контейнера «${keyName}».`));
        this.submit.setEnabled(true);
        return this.api.postText<Certificate>("crypto/keys/certificate", keyName).then((certificate) => {
          this.showCertificate(certificate);
          this.password.focus();
        });
      });
    }

    /** The configured container, or the first one found, as the proxy itself chooses. */
    private chosenKey(): Promise<string> {
      return this.api.getJson<SettingsAnswer>("settings").then((answer) => {
        const configured = answer.settings.crypto ? answer.settings.crypto.keyName : "";
        if (configured) {
          return configured;
        }
        return this.api.getJson<KeyContainer[]>("crypto/keys").then((keys) => (keys.length ? keys[0].id : ""));
      });
    }

    private showCertificate(certificate: Certificate | null): void {
      const text = (value: string) => qx.bom.String.escape(value);
      this.owner.setValue(certificate ? text(certificate.subjectName) : "");
      this.issuer.setValue(certificate ? text(certificate.issuerName) : "");
      this.validity.setValue(certificate ? CertificateText.validity(certificate) : "");
    }

    private unlock(): void {
      if (!this.submit.getEnabled()) {
        return;
      }
      ProgressDialog.during("Проверка пароля…", this.api.postText("crypto/setkp", this.password.getValue() || ""))
        .then(() => window.location.assign(AuthPage.PORTAL_PAGE))
        .catch((error) => MessageBox.failure("Пароль ключа не принят.", error).then(() => {
          this.password.setValue("");
          this.password.focus();
        }));
    }
  }
}
