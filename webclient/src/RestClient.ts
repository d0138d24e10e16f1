namespace vpp {
  /** Calls of the proxy's local REST API; every failure becomes a RestError with the server's message. */
  export class RestClient {
    static readonly BASE = "/local/rest/v1/";
    static readonly NULL_ID = "00000000-0000-0000-0000-000000000000";

    private readonly connectionLostListeners: Array<() => void> = [];

    onConnectionLost(listener: () => void): void {
      this.connectionLostListeners.push(listener);
    }

    getJson<T>(path: string): Promise<T> {
      return this.call("GET", path).then((text) => JSON.parse(text) as T);
    }

    /** GET of an answer that is a bare text, such as the version. */
    getText(path: string): Promise<string> {
      return this.call("GET", path);
    }

    /** POST of a JSON body; the parsed answer, or null for an answer without content. */
    postJson<T>(path: string, body: unknown): Promise<T | null> {
      return this.call("POST", path, JSON.stringify(body), "application/json")
        .then((text) => (text === "" ? null : (JSON.parse(text) as T)));
    }

    /** POST of a plain text body (a password, a key name, a file id). */
    postText<T>(path: string, body: string): Promise<T | null> {
      return this.call("POST", path, body, "text/plain; charset=utf-8")
        .then((text) => (text === "" ? null : (JSON.parse(text) as T)));
    }

    /** POST of a multipart form; the browser writes its boundary into the content type. */
    postForm<T>(path: string, form: FormData): Promise<T> {
      return this.call("POST", path, form).then((text) => JSON.parse(text) as T);
    }

    deleteText(path: string, body: string): Promise<void> {
      return this.call("DELETE", path, body, "text/plain; charset=utf-8").then(() => undefined);
    }

    /**
     * Uploads one file to the temporary storage and returns its id. XMLHttpRequest rather than
     * fetch, because only it reports the upload's progress.
     */
    upload(type: string, content: Blob, fileName: string, onProgress: (fraction: number) => void): Promise<string> {
      return new Promise<string>((resolve, reject) => {
        const request = new XMLHttpRequest();
        request.open("POST", `${RestClient.BASE}storage?type=${encodeURIComponent(type)}`);
        request.upload.onprogress = (e) => {
          if (e.lengthComputable && e.total > 0) {
            onProgress(e.loaded / e.total);
          }
        };
        request.onerror = () => reject(this.connectionLost());
        request.onload = () => {
          if (request.status !== 200) {
            reject(RestClient.errorOf(request.status, request.statusText, request.responseText));
            return;
          }
          const ids = JSON.parse(request.responseText) as string[];
          if (ids.length === 0 || ids[0] === RestClient.NULL_ID) {
            reject(new RestError("Прокси-сервер не принял файл", request.status));
            return;
          }
          resolve(ids[0]);
        };
        const form = new FormData();
        form.append("file", content, fileName);
        request.send(form);
      });
    }

    private call(method: string, path: string, body?: string | FormData, contentType?: string): Promise<string> {
      const init: RequestInit = { method, cache: "no-store", credentials: "same-origin" };
      if (body instanceof FormData) {
        init.body = body;
      } else if (body !== undefined) {
        init.body = body;
        init.headers = { "Content-Type": contentType || "text/plain" };
      }
      return fetch(RestClient.BASE + path, init).then(
        (response) => response.text().then((text) => {
          if (!response.ok) {
            throw RestClient.errorOf(response.status, response.statusText, text);
          }
          return text;
        }),
        () => {
          throw this.connectionLost();
        }
      );
    }

    private connectionLost(): RestError {
      this.connectionLostListeners.forEach((listener) => listener());
      return new RestError("Нет связи с прокси-сервером", 0);
    }

    /** The proxy puts its message into the body; the status line is the fallback. */
    private static errorOf(status: number, statusText: string, body: string): RestError {
      const described = RestClient.describedError(body);
      if (described) {
        return new RestError(described.message, status, described.error);
      }
      const message = body.trim() || statusText.trim() || `Ошибка HTTP ${status}`;
      return new RestError(message, status);
    }

    /** An error answer that names what went wrong as well as saying it. */
    private static describedError(body: string): { error: string; message: string } | null {
      if (!body.trim().startsWith("{")) {
        return null;
      }
      try {
        const parsed = JSON.parse(body) as { error?: unknown; message?: unknown };
        return typeof parsed.error === "string" && typeof parsed.message === "string"
          ? { error: parsed.error, message: parsed.message }
          : null;
      } catch (e) {
        return null;
      }
    }
  }
}
