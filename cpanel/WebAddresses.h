// The vendor's web site and the fixed pages on it: the product's and the
// vendor's home pages by interface language. The site's address is one
// constant; a registry value may point the programs at another host (a
// mirror, or a test server), and nothing else moves it.
#pragma once

#include <cstdint>
#include <string>

// The site the product ships with, without a trailing "/".
constexpr char kDefaultVendorSite[] = "http://www.perdix.com.cn";

// Registry subkey and value (under the product's root) that override it.
constexpr char kRegWeb[] = "Web";
constexpr char kRegVendorSite[] = "Vendor Site";

// The site base from a stored value: trailing "/" removed; an empty value,
// or one that is not a plain http or https address, gives kDefaultVendorSite.
// The base ends up on browser command lines and in the shell's "open", so a
// value with blanks, quotes or control characters, or one that names a
// program or a file instead of a web site, is not taken.
std::string VendorSiteFromStored(const std::string& strStored);

// Product home page: "/kivo/index_cht.html" for 1028, "/kivo/index_chs.html"
// for 2052, "/kivo" for any other language.
std::string ProductHomePage(const std::string& strSite, std::uint32_t nLCID);

// Vendor home page: "/index_cht.html" for 1028, the site root otherwise.
std::string VendorHomePage(const std::string& strSite, std::uint32_t nLCID);

#if defined(_WIN32)
// The site base as configured: "Web"/"Vendor Site" read through the
// registry functions, then VendorSiteFromStored.
std::string VendorSite();
#endif
