#include "TextTrim.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct TrimCase {
    std::string strInput;
    std::string strExpected;
};

TEST(TextTrim, RemovesBlankTabCrLfAtBothEndsOnly)
{
    const TrimCase cases[] = {
        {" \t\r\nvalue\n\r\t ", "value"},
        {"\r\n \r\n a b \t c \r\n \r\n", "a b \t c"},
        {"x", "x"},
        {" \t\r\n \t\r\n", ""},
        {"\va\f", "\va\f"},                  // only the four characters count
        {std::string("\0a", 2), std::string("\0a", 2)},
        {" \xA1\xA1 ", "\xA1\xA1"},          // a GBK full-width blank is text
    };
    for (const TrimCase& c : cases) {
        std::string strText = c.strInput;
        const bool bChanged = TrimBlank(strText);
        EXPECT_EQ(c.strExpected, strText);
        EXPECT_EQ(c.strExpected != c.strInput, bChanged) << '"' << c.strInput << '"';
        // Trimming is already complete after one call.
        EXPECT_FALSE(TrimBlank(strText));
        EXPECT_EQ(c.strExpected, strText);
    }
    std::string strEmpty;
    EXPECT_FALSE(TrimBlank(strEmpty));
    EXPECT_TRUE(strEmpty.empty());
}

}  // namespace
