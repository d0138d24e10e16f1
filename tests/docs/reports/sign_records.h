#pragma once

#include "crypto/records/sign_info.h"

#include <QString>

// Check results as the crypto engine hands them out, made up for the reports.
nxcrypto::CertificateDescriptionPtr certificateOf(const QString& subject);
nxcrypto::DataSignInfoPtr signOf(nxcrypto::SignState state, const nxcrypto::CertificateDescriptionPtr& certificate,
                                 const QByteArray& digest = QByteArray(32, '\xab'));
nxcrypto::SignInfoPtr checkOf(nxcrypto::SignState state, nxcrypto::CertificateState certificateState,
                              const nxcrypto::DataSignInfoList& signs = {},
                              const nxcrypto::CertificateDescriptionPtr& certificate = {});
