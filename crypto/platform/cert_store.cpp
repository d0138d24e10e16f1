#include "crypto/platform/cert_store.h"

#include "crypto/platform/cert_store_p.h"
#include "crypto/platform/error_codes.h"
#include "crypto/platform/hex_text.h"
#include "crypto/platform/last_error.h"
#include "crypto/platform/openssl_access.h"
#include "crypto/platform/provider_files.h"

#include <openssl/bn.h>

#include <cerrno>
#include <map>
#include <mutex>
#include <sys/stat.h>

namespace nxcrypto {
namespace csp {

namespace {

bool endsWith(const std::string& text, const std::string& suffix)
{
    return text.size() > suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// Modification stamp of a directory: a change of its entries changes it.
struct Stamp
{
    bool exists = false;
    timespec modified = {};
    bool operator==(const Stamp& other) const
    {
        return exists == other.exists && modified.tv_sec == other.modified.tv_sec
            && modified.tv_nsec == other.modified.tv_nsec;
    }
};

Stamp stampOf(const std::string& path)
{
    Stamp stamp;
    struct stat info;
    if (::stat(path.c_str(), &info) == 0) {
        stamp.exists = true;
        stamp.modified = info.st_mtim;
    }
    return stamp;
}

// A persistent store: a directory of DER certificates and a crl/ directory of DER CRLs.
class FileStore : public StoreImpl
{
public:
    explicit FileStore(std::string directory) : directory_(std::move(directory)), crlDirectory_(directory_ + "/crl") {}

    bool certificates(std::shared_ptr<const CertSnapshot>* list) override
    {
        *list = current(certs_, certStamp_, directory_, ".cer", parseCertData);
        return true;
    }

    bool crls(std::shared_ptr<const CrlSnapshot>* list) override
    {
        *list = current(crls_, crlStamp_, crlDirectory_, ".crl", parseCrlData);
        return true;
    }

    bool addCertificate(const std::shared_ptr<const CertData>& data, uint32_t disposition, CertEntry* added) override
    {
        const std::string path = directory_ + "/" + hexText(data->sha1.data(), data->sha1.size(), false) + ".cer";
        if (!writeEntry(path, data->der, disposition))
            return false;
        if (added)
            *added = CertEntry{data, shared_from_this(), path};
        return true;
    }

    bool removeCertificate(const CertData& data, const std::string& path) override
    {
        return removeEntry(path.empty() ? directory_ + "/" + hexText(data.sha1.data(), data.sha1.size(), false) + ".cer"
                                        : path);
    }

    bool addCrl(const std::shared_ptr<const CrlData>& data, uint32_t disposition) override
    {
        if (!makeDirectories(crlDirectory_, 0755))
            return false;
        return writeEntry(crlDirectory_ + "/" + hexText(data->sha1.data(), data->sha1.size(), false) + ".crl",
                          data->der, disposition);
    }

    bool removeCrl(const CrlData& data, const std::string& path) override
    {
        return removeEntry(
            path.empty() ? crlDirectory_ + "/" + hexText(data.sha1.data(), data.sha1.size(), false) + ".crl" : path);
    }

private:
    bool writeEntry(const std::string& path, const std::vector<uint8_t>& der, uint32_t disposition)
    {
        struct stat info;
        const bool exists = ::stat(path.c_str(), &info) == 0;
        if (exists && disposition == kStoreAddNew)
            return fail(err::kCryptEExists);
        if (exists && disposition == kStoreAddUseExisting)
            return true;
        if (disposition < kStoreAddNew || disposition > kStoreAddAlways)
            return fail(err::kEInvalidArg);
        if (!writeFileAtomic(path, der, 0644))
            return false;
        invalidate();
        return true;
    }

    bool removeEntry(const std::string& path)
    {
        if (!removeFile(path)) {
            if (getLastError() == err::kFileNotFound)
                setLastError(err::kCryptENotFound);
            return false;
        }
        invalidate();
        return true;
    }

    void invalidate()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        certs_.reset();
        crls_.reset();
    }

    // The list, read again when the directory changed since it was read.
    template <typename Data>
    std::shared_ptr<const StoreSnapshot<Data>>
    current(std::shared_ptr<const StoreSnapshot<Data>>& cache, Stamp& cacheStamp, const std::string& directory,
            const char* suffix, std::shared_ptr<const Data> (*parse)(const uint8_t*, size_t))
    {
        std::lock_guard<std::mutex> lock(mutex_);
        const Stamp stamp = stampOf(directory);
        if (!cache || !(stamp == cacheStamp)) {
            cache = load(directory, suffix, parse);
            cacheStamp = stamp;
        }
        return cache;
    }

    template <typename Data>
    std::shared_ptr<const StoreSnapshot<Data>> load(const std::string& directory, const char* suffix,
                                                    std::shared_ptr<const Data> (*parse)(const uint8_t*, size_t))
    {
        auto list = std::make_shared<StoreSnapshot<Data>>();
        std::vector<std::string> names;
        listDirectory(directory, &names);
        for (const std::string& name : names) {
            if (!endsWith(name, suffix))
                continue;
            const std::string path = directory + "/" + name;
            std::vector<uint8_t> bytes;
            // A file that cannot be read or parsed is not part of the store.
            if (!readFile(path, &bytes))
                continue;
            if (auto data = parse(bytes.data(), bytes.size()))
                list->push_back(StoreEntry<Data>{data, weak_from_this(), path});
        }
        return list;
    }

    const std::string directory_;
    const std::string crlDirectory_;
    std::mutex mutex_;
    std::shared_ptr<const CertSnapshot> certs_;
    std::shared_ptr<const CrlSnapshot> crls_;
    Stamp certStamp_;
    Stamp crlStamp_;
};

class MemoryStore : public StoreImpl
{
public:
    bool certificates(std::shared_ptr<const CertSnapshot>* list) override
    {
        *list = snapshotOf(certs_);
        return true;
    }

    bool crls(std::shared_ptr<const CrlSnapshot>* list) override
    {
        *list = snapshotOf(crls_);
        return true;
    }

    bool addCertificate(const std::shared_ptr<const CertData>& data, uint32_t disposition, CertEntry* added) override
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!place(certs_, data, disposition))
            return false;
        if (added)
            *added = CertEntry{data, shared_from_this(), {}};
        return true;
    }

    bool removeCertificate(const CertData& data, const std::string&) override
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return erase(certs_, data.sha1);
    }

    bool addCrl(const std::shared_ptr<const CrlData>& data, uint32_t disposition) override
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return place(crls_, data, disposition);
    }

    bool removeCrl(const CrlData& data, const std::string&) override
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return erase(crls_, data.sha1);
    }

private:
    template <typename Data>
    std::shared_ptr<const StoreSnapshot<Data>> snapshotOf(const std::vector<std::shared_ptr<const Data>>& objects)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        auto snapshot = std::make_shared<StoreSnapshot<Data>>();
        for (const auto& data : objects)
            snapshot->push_back(StoreEntry<Data>{data, weak_from_this(), {}});
        return snapshot;
    }

    template <typename Data>
    static bool place(std::vector<std::shared_ptr<const Data>>& list, const std::shared_ptr<const Data>& data,
                      uint32_t disposition)
    {
        if (disposition < kStoreAddNew || disposition > kStoreAddAlways)
            return fail(err::kEInvalidArg);
        for (auto& existing : list) {
            if (existing->sha1 != data->sha1)
                continue;
            if (disposition == kStoreAddNew)
                return fail(err::kCryptEExists);
            if (disposition != kStoreAddUseExisting)
                existing = data;
            return true;
        }
        list.push_back(data);
        return true;
    }

    template <typename Data>
    static bool erase(std::vector<std::shared_ptr<const Data>>& list, const std::vector<uint8_t>& sha1)
    {
        for (auto it = list.begin(); it != list.end(); ++it) {
            if ((*it)->sha1 == sha1) {
                list.erase(it);
                return true;
            }
        }
        return fail(err::kCryptENotFound);
    }

    std::mutex mutex_;
    std::vector<std::shared_ptr<const CertData>> certs_;
    std::vector<std::shared_ptr<const CrlData>> crls_;
};

// A collection reads through to its members; it cannot be written to.
class CollectionStore : public StoreImpl
{
public:
    void add(const std::shared_ptr<StoreImpl>& member)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        members_.push_back(member);
    }

    bool certificates(std::shared_ptr<const CertSnapshot>* list) override
    {
        return gather(list, &StoreImpl::certificates);
    }

    bool crls(std::shared_ptr<const CrlSnapshot>* list) override { return gather(list, &StoreImpl::crls); }

    bool addCertificate(const std::shared_ptr<const CertData>&, uint32_t, CertEntry*) override
    {
        return fail(err::kEAccessDenied);
    }
    bool removeCertificate(const CertData&, const std::string&) override { return fail(err::kEAccessDenied); }
    bool addCrl(const std::shared_ptr<const CrlData>&, uint32_t) override { return fail(err::kEAccessDenied); }
    bool removeCrl(const CrlData&, const std::string&) override { return fail(err::kEAccessDenied); }

private:
    template <typename Data>
    bool gather(std::shared_ptr<const StoreSnapshot<Data>>* list,
                bool (StoreImpl::*part)(std::shared_ptr<const StoreSnapshot<Data>>*))
    {
        auto snapshot = std::make_shared<StoreSnapshot<Data>>();
        for (const auto& member : members()) {
            std::shared_ptr<const StoreSnapshot<Data>> entries;
            if (!((*member).*part)(&entries))
                return false;
            snapshot->insert(snapshot->end(), entries->begin(), entries->end());
        }
        *list = snapshot;
        return true;
    }

    std::vector<std::shared_ptr<StoreImpl>> members()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return members_;
    }

    std::mutex mutex_;
    std::vector<std::shared_ptr<StoreImpl>> members_;
};

// One FileStore object per directory in the process, so that every handle on a
// store sees its own writes at once.
std::shared_ptr<StoreImpl> fileStoreFor(const std::string& directory)
{
    static std::mutex mutex;
    static std::map<std::string, std::weak_ptr<StoreImpl>> stores;
    std::lock_guard<std::mutex> lock(mutex);
    for (auto it = stores.begin(); it != stores.end();)
        it = it->second.expired() ? stores.erase(it) : std::next(it);
    auto& slot = stores[directory];
    if (auto existing = slot.lock())
        return existing;
    auto store = std::make_shared<FileStore>(directory);
    slot = store;
    return store;
}

bool serialMatches(const CertData& data, const std::vector<uint8_t>& serial)
{
    OpenSslPtr<BIGNUM> wanted(BN_bin2bn(serial.data(), static_cast<int>(serial.size()), nullptr));
    OpenSslPtr<BIGNUM> actual(ASN1_INTEGER_to_BN(X509_get0_serialNumber(data.object.get()), nullptr));
    return wanted && actual && BN_cmp(wanted.get(), actual.get()) == 0;
}

bool matches(const CertData& data, const CertFindCriteria& criteria, const X509_NAME* issuer)
{
    switch (criteria.type) {
    case kFindExisting:
        return criteria.existing && data.der == certEncoded(criteria.existing);
    case kFindSha1Hash:
        return data.sha1 == criteria.sha1;
    case kFindCertIdIssuerSerial:
        return issuer && X509_NAME_cmp(X509_get_issuer_name(data.object.get()), issuer) == 0
            && serialMatches(data, criteria.serialNumber);
    default:
        return false;
    }
}

template <typename Context, typename Snapshot>
void startPosition(StoreImpl* store, const Context* previous, std::shared_ptr<const Snapshot>* snapshot,
                   size_t* position, bool (StoreImpl::*list)(std::shared_ptr<const Snapshot>*))
{
    if (previous && previous->snapshot) {
        *snapshot = previous->snapshot;
        *position = previous->position + 1;
    } else {
        (store->*list)(snapshot);
        *position = 0;
    }
}

} // namespace

CertStore* openSystemStore(const std::string& name)
{
    const std::string fileName = escapeName(name);
    if (fileName.empty())
        return fail(err::kInvalidName, nullptr);
    const std::string directory = providerRoot(false) + "/stores/" + fileName;
    if (!makeDirectories(directory, 0755))
        return nullptr;
    return new CertStore{fileStoreFor(directory)};
}

CertStore* openMemoryStore() { return new CertStore{std::make_shared<MemoryStore>()}; }

CertStore* openCollectionStore() { return new CertStore{std::make_shared<CollectionStore>()}; }

bool addStoreToCollection(CertStore* collection, CertStore* store)
{
    if (!collection || !store)
        return fail(err::kInvalidHandle);
    auto* members = dynamic_cast<CollectionStore*>(collection->impl.get());
    if (!members || store->impl == collection->impl)
        return fail(err::kEInvalidArg);
    members->add(store->impl);
    return true;
}

CertStore* duplicateStore(CertStore* store)
{
    if (!store)
        return fail(err::kInvalidHandle, nullptr);
    return new CertStore{store->impl};
}

bool closeStore(CertStore* store)
{
    delete store;
    return true;
}

bool addCertificateToStore(CertStore* store, const CertContext* certificate, uint32_t disposition, CertContext** added)
{
    if (!store || !certificate)
        return fail(err::kEInvalidArg);
    CertEntry entry;
    if (!store->impl->addCertificate(certificate->data, disposition, &entry))
        return false;
    if (added)
        *added = newCertContext(entry);
    return true;
}

CertContext* enumCertificatesInStore(CertStore* store, const CertContext* previous)
{
    return findCertificateInStore(store, CertFindCriteria{}, previous);
}

CertContext* findCertificateInStore(CertStore* store, const CertFindCriteria& criteria, const CertContext* previous)
{
    if (!store) {
        freeCertificateContext(previous);
        return fail(err::kInvalidHandle, nullptr);
    }
    std::shared_ptr<const CertSnapshot> snapshot;
    size_t position = 0;
    startPosition(store->impl.get(), previous, &snapshot, &position, &StoreImpl::certificates);
    freeCertificateContext(previous);
    X509NamePtr issuer;
    if (criteria.type == kFindCertIdIssuerSerial) {
        const unsigned char* cursor = criteria.issuerName.data();
        issuer.reset(d2i_X509_NAME(nullptr, &cursor, static_cast<long>(criteria.issuerName.size())));
        if (!issuer)
            return fail(err::kCryptEAsn1BadTag, nullptr);
    }
    for (; snapshot && position < snapshot->size(); ++position) {
        const CertEntry& entry = (*snapshot)[position];
        if (criteria.type != 0 && !matches(*entry.data, criteria, issuer.get()))
            continue;
        CertContext* context = newCertContext(entry);
        context->snapshot = snapshot;
        context->position = position;
        return context;
    }
    return fail(err::kCryptENotFound, nullptr);
}

bool deleteCertificateFromStore(const CertContext* certificate)
{
    if (!certificate)
        return fail(err::kEInvalidArg);
    const std::shared_ptr<StoreImpl> origin = certificate->origin;
    const std::shared_ptr<const CertData> data = certificate->data;
    const std::string path = certificate->path;
    freeCertificateContext(certificate);
    if (!origin)
        return fail(err::kCryptENotFound);
    return origin->removeCertificate(*data, path);
}

bool addCrlToStore(CertStore* store, const CrlContext* crl, uint32_t disposition)
{
    if (!store || !crl)
        return fail(err::kEInvalidArg);
    return store->impl->addCrl(crl->data, disposition);
}

CrlContext* enumCrlsInStore(CertStore* store, const CrlContext* previous)
{
    if (!store) {
        freeCrlContext(previous);
        return fail(err::kInvalidHandle, nullptr);
    }
    std::shared_ptr<const CrlSnapshot> snapshot;
    size_t position = 0;
    startPosition(store->impl.get(), previous, &snapshot, &position, &StoreImpl::crls);
    freeCrlContext(previous);
    if (!snapshot || position >= snapshot->size())
        return fail(err::kCryptENotFound, nullptr);
    CrlContext* context = newCrlContext((*snapshot)[position]);
    context->snapshot = snapshot;
    context->position = position;
    return context;
}

bool deleteCrlFromStore(const CrlContext* crl)
{
    if (!crl)
        return fail(err::kEInvalidArg);
    const std::shared_ptr<StoreImpl> origin = crl->origin;
    const std::shared_ptr<const CrlData> data = crl->data;
    const std::string path = crl->path;
    freeCrlContext(crl);
    if (!origin)
        return fail(err::kCryptENotFound);
    return origin->removeCrl(*data, path);
}

std::vector<X509Ptr> storeX509Certificates(CertStore* store)
{
    std::vector<X509Ptr> result;
    std::shared_ptr<const CertSnapshot> snapshot;
    if (!store || !store->impl->certificates(&snapshot))
        return result;
    for (const CertEntry& entry : *snapshot) {
        X509_up_ref(entry.data->object.get());
        result.emplace_back(entry.data->object.get());
    }
    return result;
}

std::vector<X509CrlPtr> storeX509Crls(CertStore* store)
{
    std::vector<X509CrlPtr> result;
    std::shared_ptr<const CrlSnapshot> snapshot;
    if (!store || !store->impl->crls(&snapshot))
        return result;
    for (const CrlEntry& entry : *snapshot) {
        X509_CRL_up_ref(entry.data->object.get());
        result.emplace_back(entry.data->object.get());
    }
    return result;
}

} // namespace csp
} // namespace nxcrypto
