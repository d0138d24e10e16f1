#pragma once

#include "interfaces/sign_engine.h"

namespace tessel::docs {

// Holds nothing between calls, so a replaced crypto engine is used from the next call on.
class SignEngineImpl : public SignEngine
{
public:
    void sign(const QString& password, const QVector<QFileInfo>& files,
              std::function<void(const SignResult&)> done) override;
    SignResult sign(const QString& password, const QVector<QFileInfo>& files) override;
    nxcrypto::SignInfoPtr verify(bool flag, const QVector<QFileInfo>& dataFiles, const QVector<QFileInfo>& signFiles,
                                 const QDateTime& checkTime) override;
    QString report(const nxcrypto::SignInfoPtr& info) override;
};

} // namespace tessel::docs
