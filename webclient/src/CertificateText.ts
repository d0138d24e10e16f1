namespace vpp {
  /** How certificate fields read on the page. */
  export class CertificateText {
    /** The common name of a distinguished name, or the whole name when it has none. */
    static commonName(distinguishedName: string): string {
      const match = /(?:^|[,;+]\s*)CN=("(?:[^"]|"")*"|[^,;+]*)/.exec(distinguishedName);
      if (!match) {
        return distinguishedName;
      }
      const value = match[1].trim();
      return value.startsWith('"') ? value.slice(1, -1).replace(/""/g, '"') : value;
    }

    /** An RFC 2822 date-time of the API as a Russian date; text that is no date stays as it is. */
    static date(text: string): string {
      const time = new Date(text);
      if (isNaN(time.getTime())) {
        return text;
      }
      const two = (n: number) => String(n).padStart(2, "0");
      return `${two(time.getDate())}.${two(time.getMonth() + 1)}.${time.getFullYear()}`;
    }

    static validity(certificate: Certificate): string {
      return `с ${CertificateText.date(certificate.validFrom)} по ${CertificateText.date(certificate.validTo)}`;
    }

    /** Serial numbers are decimal texts longer than a double holds, so they compare as decimals. */
    static compareSerials(a: string, b: string): number {
      try {
        return new Big(a).cmp(new Big(b));
      } catch (e) {
        return a < b ? -1 : a > b ? 1 : 0;
      }
    }

    /** The chain that the API nests from the leaf down, listed from the root to the leaf. */
    static chainFromRoot(leaf: Certificate): Certificate[] {
      const chain: Certificate[] = [];
      for (let c: Certificate | undefined = leaf; c; c = c.issuerCertificate) {
        chain.unshift(c);
      }
      return chain;
    }
  }
}
