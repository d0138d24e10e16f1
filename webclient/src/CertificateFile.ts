namespace vpp {
  /**
   * The proxy reads certificates only from PKCS#7 containers, while certificate files are as
   * often a bare certificate, DER or PEM. Such a certificate is wrapped here into a
   * certificates-only PKCS#7 (SignedData without signers); PKCS#7 files pass as they are.
   */
  export class CertificateFile {
    private static readonly SIGNED_DATA_OID = [0x06, 0x09, 0x2a, 0x86, 0x48, 0x86, 0xf7, 0x0d, 0x01, 0x07, 0x02];
    private static readonly DATA_OID = [0x06, 0x09, 0x2a, 0x86, 0x48, 0x86, 0xf7, 0x0d, 0x01, 0x07, 0x01];
    private static readonly SEQUENCE = 0x30;
    private static readonly SET = 0x31;

    static toPkcs7(file: File): Promise<Blob> {
      return file.arrayBuffer().then((content) => {
        const der = CertificateFile.fromPem(new Uint8Array(content));
        return CertificateFile.isBareCertificate(der)
          ? new Blob([CertificateFile.wrap(der)], { type: "application/pkcs7-mime" })
          : file;
      });
    }

    /** The DER inside a PEM text ("-----BEGIN ...-----"), or the bytes as they are. */
    private static fromPem(bytes: Uint8Array): Uint8Array {
      const text = new TextDecoder("ascii").decode(bytes.subarray(0, Math.min(bytes.length, 1 << 20)));
      const pem = /-----BEGIN [A-Z0-9 ]+-----([A-Za-z0-9+/=\s]+)-----END [A-Z0-9 ]+-----/.exec(text);
      if (!pem) {
        return bytes;
      }
      const binary = atob(pem[1].replace(/\s+/g, ""));
      return Uint8Array.from(binary, (c) => c.charCodeAt(0));
    }

    /** A certificate is a SEQUENCE whose first element is a SEQUENCE; PKCS#7 starts with an OID. */
    private static isBareCertificate(der: Uint8Array): boolean {
      if (der.length < 4 || der[0] !== CertificateFile.SEQUENCE) {
        return false;
      }
      const lengthBytes = der[1] & 0x80 ? der[1] & 0x7f : 0;
      const inner = 2 + lengthBytes;
      return inner < der.length && der[inner] === CertificateFile.SEQUENCE;
    }

    private static wrap(certificate: Uint8Array): Uint8Array<ArrayBuffer> {
      const t = CertificateFile;
      const signedData = t.tlv(t.SEQUENCE, [
        t.tlv(0x02, [Uint8Array.of(1)]), // version 1
        t.tlv(t.SET, []), // no digest algorithms
        t.tlv(t.SEQUENCE, [Uint8Array.from(t.DATA_OID)]), // no content
        t.tlv(0xa0, [certificate]), // [0] IMPLICIT SET OF Certificate
        t.tlv(t.SET, []) // no signers
      ]);
      return t.tlv(t.SEQUENCE, [Uint8Array.from(t.SIGNED_DATA_OID), t.tlv(0xa0, [signedData])]);
    }

    /** One DER element: tag, definite length, then the parts as its content. */
    private static tlv(tag: number, parts: Uint8Array[]): Uint8Array<ArrayBuffer> {
      const length = parts.reduce((sum, part) => sum + part.length, 0);
      const lengthBytes: number[] = [];
      for (let rest = length; rest > 0; rest = Math.floor(rest / 256)) {
        lengthBytes.unshift(rest % 256);
      }
      const header = length < 0x80 ? [tag, length] : [tag, 0x80 | lengthBytes.length, ...lengthBytes];
      const element = new Uint8Array(header.length + length);
      element.set(header, 0);
      let offset = header.length;
      for (const part of parts) {
        element.set(part, offset);
        offset += part.length;
      }
      return element;
    }
  }
}
