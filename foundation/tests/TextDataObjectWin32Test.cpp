// Text in OLE data transfer: what our data object offers, and what the
// reader makes of blocks other programs hand over.
#include "BlockDataObject.h"
#include "ScopedCom.h"
#include "TextDataObject.h"

#include <gtest/gtest.h>

#include <string>

namespace {

FORMATETC Format(CLIPFORMAT cfFormat, DWORD tymed)
{
    FORMATETC format = {};
    format.cfFormat = cfFormat;
    format.dwAspect = DVASPECT_CONTENT;
    format.lindex = -1;
    format.tymed = tymed;
    return format;
}

} // namespace

TEST(TextDataObject, OffersItsBytesAsTerminatedCfTextAndNothingElse)
{
    // GBK bytes, a line break and a byte that is no character at all.
    const std::string strText("\xD6\xD0\xCE\xC4\r\nline two \x80", 16);
    const CScopedComPtr<IDataObject> data = CreateTextDataObject(strText);
    ASSERT_TRUE(data);
    EXPECT_TRUE(HasTextData(data.Get()));

    FORMATETC text = Format(CF_TEXT, TYMED_HGLOBAL);
    STGMEDIUM medium = {};
    ASSERT_EQ(data->GetData(&text, &medium), S_OK);
    ASSERT_EQ(medium.tymed, static_cast<DWORD>(TYMED_HGLOBAL));
    ASSERT_GE(::GlobalSize(medium.hGlobal), strText.size() + 1);
    const char* pBlock = static_cast<const char*>(::GlobalLock(medium.hGlobal));
    EXPECT_EQ(std::string(pBlock, strText.size()), strText);
    EXPECT_EQ(pBlock[strText.size()], '\0');
    ::GlobalUnlock(medium.hGlobal);
    ::ReleaseStgMedium(&medium);

    std::string strRead;
    EXPECT_TRUE(ReadTextData(data.Get(), strRead));
    EXPECT_EQ(strRead, strText);

    FORMATETC unicode = Format(CF_UNICODETEXT, TYMED_HGLOBAL), stream = Format(CF_TEXT, TYMED_ISTREAM);
    EXPECT_NE(data->QueryGetData(&unicode), S_OK);
    EXPECT_NE(data->QueryGetData(&stream), S_OK);
    EXPECT_NE(data->GetData(&unicode, &medium), S_OK);

    CScopedComPtr<IEnumFORMATETC> formats;
    ASSERT_EQ(data->EnumFormatEtc(DATADIR_GET, reinterpret_cast<IEnumFORMATETC**>(formats.ReceiveVoid())), S_OK);
    FORMATETC offered[3] = {};
    ULONG nOffered = 0;
    formats->Next(3, offered, &nOffered);
    ASSERT_EQ(nOffered, 1u);
    EXPECT_EQ(offered[0].cfFormat, CF_TEXT);
}

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
