// What the CF_TEXT reader makes of the blocks other programs hand over.
#include "BlockDataObject.h"
#include "TextDataObject.h"

#include <gtest/gtest.h>

#include <string>

TEST(TextDataObject, ReadsForeignBlocksNoFurtherThanTheirSizeOrFirstZero)
{
    const struct {
        const char* pszName;
        std::string strBlock;
        std::string strExpected;
    } cases[] = {
        {"no terminating zero", "abc", "abc"},
        {"a zero inside", std::string("ab\0cd", 5), "ab"},
        {"nothing before the zero", std::string("\0abc", 4), ""},
        {"a lead byte as the last byte", "\xB0\xA1\xB0", "\xB0\xA1\xB0"},
        {"a megabyte without a zero", std::string(1 << 20, 'x'), std::string(1 << 20, 'x')},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pszName);
        CBlockDataObject data(c.strBlock);
        EXPECT_TRUE(HasTextData(&data));
        std::string strRead = "left over";
        EXPECT_TRUE(ReadTextData(&data, strRead));
        EXPECT_EQ(strRead, c.strExpected);
    }

    // A data object that claims success and hands over no block.
    CBlockDataObject broken = CBlockDataObject::WithoutBlock();
    std::string strRead = "left over";
    EXPECT_FALSE(ReadTextData(&broken, strRead));
    EXPECT_EQ(strRead, "");
    EXPECT_FALSE(ReadTextData(nullptr, strRead));
    EXPECT_FALSE(HasTextData(nullptr));
}
