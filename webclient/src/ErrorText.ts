namespace vpp {
  /** The text of a failure as the user reads it: the server's message where there is one. */
  export function errorText(error: unknown): string {
    if (error instanceof Error) {
      return error.message;
    }
    return String(error);
  }
}
