/**
 * The framework starts the page through this class.
 *
 * @asset(qx/icon/Tango/16/categories/system.png)
 * @asset(qx/icon/Tango/16/apps/preferences-security.png)
 * @asset(qx/icon/Tango/16/apps/utilities-system-monitor.png)
 * @asset(qx/icon/Tango/16/actions/document-save.png)
 * @asset(qx/icon/Tango/16/actions/edit-undo.png)
 * @asset(qx/icon/Tango/16/actions/dialog-ok.png)
 * @asset(qx/icon/Tango/16/actions/document-open.png)
 * @asset(qx/icon/Tango/22/actions/view-refresh.png)
 * @asset(qx/icon/Tango/22/actions/edit-clear.png)
 * @asset(qx/icon/Tango/32/status/dialog-password.png)
 * @asset(qx/icon/Tango/32/apps/preferences-network.png)
 * @ignore(Big)
 * @ignore(fetch)
 * @ignore(TextDecoder)
 */
qx.Class.define("vpp.Application", {
  extend: qx.application.Standalone,
  members: {
    main(this: qx.application.Standalone) {
      qx.application.Standalone.prototype.main.call(this);
      qx.locale.Manager.getInstance().setLocale("ru");
      new vpp.WebClient(this.getRoot() as qx.ui.root.Application).start();
    }
  }
});
