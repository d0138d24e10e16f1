#pragma once

#include "route_table.h"

namespace standin {

// Every page the stand-in portal serves.
RouteTable portalRoutes();

} // namespace standin
