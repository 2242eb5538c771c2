// Word adjustment: ordered libraries of phrase pairs that rewrite whole words
// after the character mapping of a cross-script transfer.
#pragma once

#include <string>

enum class WADirection {
    G2B,  // GB to Big5; its libraries hold Big5 text
    B2G,  // Big5 to GB; its libraries hold GBK text
};

// The loaded library lists of both directions.
class CWordAdjustment {
public:
    virtual ~CWordAdjustment() = default;
    // Rewrites `text` (in the direction's target encoding) in place.
    virtual void Apply(WADirection direction, std::string& text) const = 0;
};

// Applies the libraries of the direction; without loaded libraries the text is left as it is.
void ApplyWordAdjustment(const CWordAdjustment* libraries, WADirection direction, std::string& text);
