// Shapes of the local REST API's answers and bodies.
namespace vpp {
  export interface Certificate {
    serialNumber: string;
    serialNumberHex: string;
    subjectName: string;
    issuerName: string;
    validFrom: string;
    validTo: string;
    issuerCertificate?: Certificate;
  }

  export interface CertificateLists {
    reg: Certificate[];
    ca: Certificate[];
  }

  export interface KeyContainer {
    id: string;
    name: string;
  }

  /** The answer of crypto/keys/import: the new container with the certificate of its key. */
  export interface ImportedKey extends KeyContainer {
    certificate: Certificate;
  }

  export interface Settings {
    listenInterface: string;
    listenPort: number;
    appUrl: string;
    crypto: { keyName: string };
    storageDir?: string;
  }

  export interface SettingsAnswer {
    initial: boolean;
    settings: Settings;
  }

  export interface ProcessInfo {
    processId: string;
    desc: string;
    state: number;
    stage: string;
    errorMsg?: string;
    documentId: string;
  }
}
