#include "rest_client.h"

#include "rest_client_impl.h"

namespace tessel {

RestClient* RestClient::instance()
{
    return holder().instance();
}

Singleton<RestClient>& RestClient::holder()
{
    static Singleton<RestClient> holder([] { return new RestClientImpl; });
    return holder;
}

} // namespace tessel
