namespace vpp {
  /** A failed call of the local REST API, carrying the text to show to the user. */
  export class RestError extends Error {
    /** HTTP status, or 0 when the proxy could not be reached at all. */
    readonly status: number;
    /** What went wrong, for the answers that say it as {"error": ..., "message": ...}. */
    readonly code: string | undefined;

    constructor(message: string, status: number, code?: string) {
      super(message);
      this.name = "RestError";
      this.status = status;
      this.code = code;
    }
  }
}
