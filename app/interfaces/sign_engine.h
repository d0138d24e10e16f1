#pragma once

#include "tessel/singleton.h"

#include "interfaces/sign_result.h"

#include "crypto/records/sign_info.h"

#include <QDateTime>
#include <QFileInfo>
#include <QString>
#include <QVector>

#include <functional>

namespace tessel::docs {

// Signs a document's data files with the user's key and verifies them against their
// detached signatures, always with the current process-wide crypto engine.
class SignEngine
{
public:
    virtual ~SignEngine() = default;

    // Signs as the overload below and hands the result to done.
    virtual void sign(const QString& password, const QVector<QFileInfo>& files,
                      std::function<void(const SignResult&)> done) = 0;
    virtual SignResult sign(const QString& password, const QVector<QFileInfo>& files) = 0;
    // signFiles pair with dataFiles by position; a null checkTime means now. flag is not used.
    virtual nxcrypto::SignInfoPtr verify(bool flag, const QVector<QFileInfo>& dataFiles,
                                         const QVector<QFileInfo>& signFiles, const QDateTime& checkTime) = 0;
    // The verification report of a check as HTML.
    virtual QString report(const nxcrypto::SignInfoPtr& info) = 0;

    static SignEngine* instance() { return holder().instance(); }
    // The holder behind instance(): the composition root installs its factory, tests their doubles.
    static Singleton<SignEngine>& holder()
    {
        static Singleton<SignEngine> object;
        return object;
    }
};

} // namespace tessel::docs
