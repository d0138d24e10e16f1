namespace vpp {
  /**
   * Watches that the proxy answers. When it stops answering (it was stopped or restarted) the
   * page says so and probes until it is back, then has its state reloaded, since whatever the
   * page showed may no longer hold.
   */
  export class ConnectionMonitor {
    private static readonly HEARTBEAT_MS = 10000;
    private static readonly RETRY_MS = 2000;

    private lost = false;
    private timer: number | undefined;

    constructor(
      private readonly api: RestClient,
      private readonly banner: qx.ui.basic.Label,
      private readonly onRestored: () => void
    ) {
      api.onConnectionLost(() => this.markLost());
    }

    start(): void {
      this.schedule(ConnectionMonitor.HEARTBEAT_MS);
    }

    private markLost(): void {
      if (this.lost) {
        return;
      }
      this.lost = true;
      this.banner.setValue("Нет связи с прокси-сервером. Повторная попытка подключения…");
      this.banner.show();
      this.schedule(ConnectionMonitor.RETRY_MS);
    }

    private schedule(delay: number): void {
      window.clearTimeout(this.timer);
      this.timer = window.setTimeout(() => this.probe(), delay);
    }

    private probe(): void {
      this.api.getText("ping").then(
        () => {
          const wasLost = this.lost;
          this.lost = false;
          this.banner.exclude();
          this.schedule(ConnectionMonitor.HEARTBEAT_MS);
          if (wasLost) {
            this.onRestored();
          }
        },
        () => this.schedule(ConnectionMonitor.RETRY_MS)
      );
    }
  }
}
