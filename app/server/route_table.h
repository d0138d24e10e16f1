#pragma once

#include "http/route.h"

namespace tessel {

// The local URL space in lookup order.
RouteList buildRouteTable();

} // namespace tessel
