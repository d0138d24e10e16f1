#pragma once

#include <string>

class Workstation;

// Points the client of this test process at a portal. For an https portal the workstation's
// provider holds the user's key and trusts the portal; the client's crypto engine is made anew
// from it, with the key locked.
void pointClientAt(const std::string& portalUrl, const Workstation* workstation = nullptr);
