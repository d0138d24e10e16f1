#include "application/composition_root.h"

#include "core/app_config_impl.h"
#include "docs/scans/scan_manager_impl.h"
#include "docs/sign/sign_engine_impl.h"
#include "docs/store/draft_attachments.h"
#include "docs/store/drafts_storage_impl.h"
#include "portal/rest_client_impl.h"
#include "process/manager_impl.h"
#include "rest/temp_storage/temp_storage_impl.h"

namespace tessel {
namespace {

void installStores()
{
    using docs::StorageType;
    docs::Storage::holder(StorageType::Drafts).setFactory([] { return new docs::DraftsStorageImpl; });
    docs::Storage::holder(StorageType::Inbox).setFactory([] { return new docs::StorageImpl(StorageType::Inbox); });
    docs::Storage::holder(StorageType::Outbox).setFactory([] { return new docs::StorageImpl(StorageType::Outbox); });
}

QList<QFileInfo> currentDraftAttachments(const QString& sessionId, const QUuid& draftId)
{
    return docs::draftAttachmentFiles(*docs::DraftsStorage::instance(), sessionId, draftId);
}

} // namespace

void installApplicationObjects()
{
    AppConfig::holder().setFactory([] { return new AppConfigImpl; });
    installStores();
    RestClient::holder().setFactory([] { return new RestClientImpl(currentDraftAttachments); });
    docs::SignEngine::holder().setFactory([] { return new docs::SignEngineImpl; });
    docs::ScanManager::holder().setFactory([] { return new docs::ScanManagerImpl; });
    rest::TempStorage::holder().setFactory([] { return new rest::TempStorageImpl; });
    process::Manager::holder().setFactory([] { return new process::ManagerImpl; });
}

void destroyApplicationObjects()
{
    process::Manager::holder().destroy();
    rest::TempStorage::holder().destroy();
    docs::ScanManager::holder().destroy();
    docs::SignEngine::holder().destroy();
    RestClient::holder().destroy();
    for (const docs::StorageType kind : {docs::StorageType::Drafts, docs::StorageType::Inbox, docs::StorageType::Outbox})
        docs::Storage::holder(kind).destroy();
    AppConfig::holder().destroy();
}

} // namespace tessel
