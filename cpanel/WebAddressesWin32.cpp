#include "WebAddresses.h"

#include "Registry.h"

std::string VendorSite()
{
    return VendorSiteFromStored(GetRegString(kRegWeb, kRegVendorSite, ""));
}
