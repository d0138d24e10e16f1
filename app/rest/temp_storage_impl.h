#pragma once

#include "temp_storage.h"

#include <QRecursiveMutex>

#include <map>

namespace Poco::Net {
class HTTPServerRequest;
class HTTPServerResponse;
}

namespace tessel::rest {

class TempStorageImpl : public TempStorage
{
public:
    enum class StorageType { Scans, Pdf, Certificate, Default, Invalid };

    RouteHandler handler() override;
    void remove(const QUuid& id) override;
    TempEntryPtr get(const QUuid& id) override;
    QUuid add(const TempEntryPtr& entry) override;

    static StorageType storageTypeOf(const Poco::Net::HTTPServerRequest& request);
    static bool isValid(StorageType type, const QString& path);

private:
    bool post(Poco::Net::HTTPServerRequest& request, Poco::Net::HTTPServerResponse& response);
    void download(Poco::Net::HTTPServerRequest& request, Poco::Net::HTTPServerResponse& response);
    void erase(Poco::Net::HTTPServerRequest& request, Poco::Net::HTTPServerResponse& response);
    TempEntryPtr find(const QUuid& id);

    QRecursiveMutex m_mutex;
    std::map<QUuid, TempEntryPtr> m_entries;
};

} // namespace tessel::rest
