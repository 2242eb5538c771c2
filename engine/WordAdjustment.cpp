#include "WordAdjustment.h"

void ApplyWordAdjustment(const CWordAdjustment* libraries, WADirection direction, std::string& text)
{
    if (!libraries || text.empty())
        return;
    libraries->Apply(direction, text);
}
