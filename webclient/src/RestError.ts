namespace vpp {
  /** A failed call of the local REST API, carrying the text to show to the user. */
  export class RestError extends Error {
    /** HTTP status, or 0 when the proxy could not be reached at all. */
    readonly status: number;

    constructor(message: string, status: number) {
      super(message);
      this.name = "RestError";
      this.status = status;
    }
  }
}
