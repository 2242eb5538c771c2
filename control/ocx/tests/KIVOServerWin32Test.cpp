// kivo.ocx as an automation host uses it: self-registration and its keys,
// creation by ProgID and CLSID, and the _DKIVO members through Invoke, with
// the bad calls a host can make.
#include "OcxTestSupport.h"

#include "GuiScript.h"

#include <objsafe.h>
#include <shellapi.h>

#include <algorithm>

namespace {

using namespace ocxtest;


const std::string kClassKey = std::string("CLSID\\") + kClsidKIVOCtrlText;

TEST_F(KIVOServerTest, RegistrationWritesTheClassKeysAndUnregistrationRemovesThem)
{
    EXPECT_EQ(CallExport("DllRegisterServer"), S_OK);  // a second time overwrites
    EXPECT_EQ(KeyValue(kClassKey + "\\InprocServer32", "ThreadingModel"), "Apartment");
    EXPECT_NE(KeyValue(kClassKey + "\\InprocServer32", nullptr).find("kivo.ocx"), std::string::npos);
    EXPECT_EQ(KeyValue(kClassKey + "\\ProgID", nullptr), "KIVO.KIVOCtrl.1");
    EXPECT_EQ(KeyValue(kClassKey + "\\VersionIndependentProgID", nullptr), "KIVO.KIVOCtrl");
    EXPECT_EQ(KeyValue(kClassKey + "\\TypeLib", nullptr), kLibidKIVOLibText);
    EXPECT_EQ(KeyValue(kClassKey + "\\Version", nullptr), "1.0");
    EXPECT_EQ(KeyValue(kClassKey + "\\MiscStatus\\1", nullptr), "132497");
    EXPECT_TRUE(KeyExists(kClassKey + "\\Control"));
    EXPECT_TRUE(KeyExists(kClassKey + "\\Insertable"));
    EXPECT_NE(KeyValue(kClassKey + "\\ToolboxBitmap32", nullptr).find(", 1"), std::string::npos);
    EXPECT_EQ(KeyValue("KIVO.KIVOCtrl.1\\CLSID", nullptr), kClsidKIVOCtrlText);
    EXPECT_TRUE(KeyExists(std::string("TypeLib\\") + kLibidKIVOLibText + "\\1.0"));

    // The type library registers under its own platform, which is the module's.
    const std::string platform = sizeof(void*) == 8 ? "win64" : "win32";
    EXPECT_TRUE(KeyExists(std::string("TypeLib\\") + kLibidKIVOLibText + "\\1.0\\0\\" + platform));

    EXPECT_EQ(CallExport("DllUnregisterServer"), S_OK);
    // Nothing of ours is left in either registry view.
    for (REGSAM view : {REGSAM(KEY_WOW64_32KEY), REGSAM(KEY_WOW64_64KEY)}) {
        for (const std::string& key :
             {kClassKey, std::string("CLSID\\") + kClsidKIVOPropPageText, std::string("KIVO.KIVOCtrl.1"),
              std::string("KIVO.KIVOCtrl"), std::string("KIVO.KIVOPropPage.1"),
              std::string("TypeLib\\") + kLibidKIVOLibText})
            EXPECT_FALSE(settingstest::KeyExistsIn(HKEY_CLASSES_ROOT, key, view)) << key << " in view " << view;
    }
    EXPECT_EQ(CallExport("DllUnregisterServer"), S_OK);  // nothing left to remove
}

TEST_F(KIVOServerTest, CreatedByProgIdAndByClsidWithClassInformation)
{
    CScopedComPtr<IDispatch> byProgId = CreateByProgId();
    ASSERT_TRUE(byProgId);
    CScopedComPtr<IDispatch> byClsid;
    ASSERT_EQ(CoCreateInstance(CLSID_KIVOCtrl, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, byClsid.ReceiveVoid()),
              S_OK);

    CScopedComPtr<IProvideClassInfo2> classInfo;
    ASSERT_EQ(byClsid->QueryInterface(IID_IProvideClassInfo2, classInfo.ReceiveVoid()), S_OK);
    GUID events = {};
    EXPECT_EQ(classInfo->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &events), S_OK);
    EXPECT_TRUE(IsEqualGUID(events, DIID_DKIVOEvents));
    CScopedComPtr<ITypeInfo> coclass;
    ASSERT_EQ(classInfo->GetClassInfo(reinterpret_cast<ITypeInfo**>(coclass.ReceiveVoid())), S_OK);
    TYPEATTR* attributes = nullptr;
    ASSERT_EQ(coclass->GetTypeAttr(&attributes), S_OK);
    EXPECT_TRUE(IsEqualGUID(attributes->guid, CLSID_KIVOCtrl));
    EXPECT_EQ(attributes->typekind, TKIND_COCLASS);
    coclass->ReleaseTypeAttr(attributes);
}

TEST_F(KIVOServerTest, NamesGiveTheFixedDispatchNumbers)
{
    CScopedComPtr<IDispatch> control = CreateByProgId();
    ASSERT_TRUE(control);
    const struct {
        const wchar_t* name;
        DISPID id;
    } cases[] = {{L"KIVOCaption", 1}, {L"Management", 2}, {L"CodeTransfer", 3}, {L"convertTEXT", 4}};
    for (const auto& c : cases) {
        LPOLESTR name = const_cast<LPOLESTR>(c.name);
        DISPID id = 0;
        EXPECT_EQ(control->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id), S_OK);
        EXPECT_EQ(id, c.id);
    }
    LPOLESTR unknown = const_cast<LPOLESTR>(L"Transfer");
    DISPID id = 0;
    EXPECT_EQ(control->GetIDsOfNames(IID_NULL, &unknown, 1, LOCALE_USER_DEFAULT, &id), DISP_E_UNKNOWNNAME);
    EXPECT_EQ(id, DISPID_UNKNOWN);

    // The type information the control hands out describes the same members.
    CScopedComPtr<ITypeInfo> typeInfo;
    ASSERT_EQ(control->GetTypeInfo(0, LOCALE_USER_DEFAULT, reinterpret_cast<ITypeInfo**>(typeInfo.ReceiveVoid())),
              S_OK);
    LPOLESTR convert = const_cast<LPOLESTR>(L"ConvertText");
    EXPECT_EQ(typeInfo->GetIDsOfNames(&convert, 1, &id), S_OK);
    EXPECT_EQ(id, 4);
}

TEST_F(KIVOServerTest, CodeTransferThroughInvokeTurnsGbkIntoBig5)
{
    CScopedComPtr<IDispatch> control = CreateByProgId();
    ASSERT_TRUE(control);
    std::vector<short> text(32767, 0);
    const unsigned char gbk[] = {0xD6, 0xD0, 0xB9, 0xFA};  // "zhong guo", simplified
    for (size_t i = 0; i < sizeof(gbk); ++i)
        text[i] = static_cast<signed char>(gbk[i]);
    short codes[3] = {0, 1, 4};
    VARIANT result;
    ASSERT_EQ(Call(control.Get(), DispIdCodeTransfer, {ShortsRef(text.data()), ShortsRef(codes)}, &result), S_OK);
    ASSERT_EQ(result.vt, VT_I2);
    ASSERT_EQ(result.iVal, 4);
    const unsigned char big5[] = {0xA4, 0xA4, 0xB0, 0xEA};
    for (size_t i = 0; i < sizeof(big5); ++i)
        EXPECT_EQ(static_cast<unsigned char>(text[i]), big5[i]) << i;

    short badCodes[3] = {0, 6, 4};
    ASSERT_EQ(Call(control.Get(), DispIdCodeTransfer, {ShortsRef(text.data()), ShortsRef(badCodes)}, &result), S_OK);
    EXPECT_EQ(result.iVal, -1);
}

TEST_F(KIVOServerTest, ConvertTextConvertsWholeTextsOfEveryLength)
{
    CScopedComPtr<IDispatch> control = CreateByProgId();
    ASSERT_TRUE(control);
    std::wstring out;
    EXPECT_EQ(ConvertText(control.Get(), L"\u4E2D\u56FD", 0, 1, out), S_OK);
    EXPECT_EQ(out, L"\u4E2D\u570B");
    EXPECT_EQ(ConvertText(control.Get(), L"\u4E2D\u56FD", 3, 4, out), S_OK);
    EXPECT_EQ(out, L"\u4E2D\u570B");
    EXPECT_EQ(ConvertText(control.Get(), L"\u4E2D\u570B", 1, 0, out), S_OK);
    EXPECT_EQ(out, L"\u4E2D\u56FD");
    out = L"x";
    EXPECT_EQ(ConvertText(control.Get(), L"", 0, 1, out), S_OK);
    EXPECT_EQ(out, L"");

    // Far beyond one CodeTransfer call: cut at line feeds and joined again.
    std::wstring longText, expected;
    for (int i = 0; i < 20000; ++i) {
        longText += L"\u4E2D\u56FD\n";
        expected += L"\u4E2D\u570B\n";
    }
    EXPECT_EQ(ConvertText(control.Get(), longText, 0, 1, out), S_OK);
    EXPECT_EQ(out == expected, true);
}

TEST_F(KIVOServerTest, BadCallsGiveAutomationErrors)
{
    CScopedComPtr<IDispatch> control = CreateByProgId();
    ASSERT_TRUE(control);
    std::wstring out;
    for (const auto& codes : {std::pair<short, short>{-1, 0}, {0, 6}, {6, 1}, {100, -100}})
        EXPECT_EQ(ConvertText(control.Get(), L"\u4E2D", codes.first, codes.second, out), E_INVALIDARG);
    EXPECT_EQ(ConvertText(control.Get(), std::wstring(L"a\0b", 3), 0, 1, out), E_INVALIDARG);

    CBstr text(L"abc");
    short values[3] = {0, 1, 3};
    VARIANT nothing;
    VariantInit(&nothing);
    nothing.vt = VT_NULL;
    VARIANT result;
    EXPECT_EQ(Call(control.Get(), DispIdConvertText, {Text(text.Get()), Short(0)}, &result), DISP_E_BADPARAMCOUNT);
    EXPECT_EQ(Call(control.Get(), DispIdConvertText, {nothing, Short(0), Short(1)}, &result), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(Call(control.Get(), DispIdCodeTransfer, {ShortsRef(values)}, &result), DISP_E_BADPARAMCOUNT);
    EXPECT_EQ(Call(control.Get(), DispIdCodeTransfer, {Short(0), ShortsRef(values)}, &result), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(Call(control.Get(), DispIdCodeTransfer, {ShortsRef(values), ShortsRef(nullptr)}, &result),
              DISP_E_TYPEMISMATCH);
    EXPECT_EQ(Call(control.Get(), DispIdManagement, {Short(2)}, &result), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(Call(control.Get(), DispIdManagement, {}, &result), DISP_E_BADPARAMCOUNT);
    EXPECT_EQ(Call(control.Get(), 99, {}, &result), DISP_E_MEMBERNOTFOUND);
    DISPPARAMS none = {nullptr, nullptr, 1, 0};
    EXPECT_EQ(control->Invoke(DispIdManagement, IID_NULL, 0, DISPATCH_METHOD, &none, &result, nullptr, nullptr),
              E_INVALIDARG);
}

TEST_F(KIVOServerTest, ManagementAnswersPresenceAndRefusesUnknownCommands)
{
    CScopedComPtr<IDispatch> control = CreateByProgId();
    ASSERT_TRUE(control);
    const struct {
        short command[2];
        short expected;
    } cases[] = {{{2, 0}, 1}, {{0, 3}, 0}, {{0, -1}, 0}, {{3, 0}, 0}, {{-5, 0}, 0}, {{1, 0}, 1}};
    for (const auto& c : cases) {
        short command[2] = {c.command[0], c.command[1]};
        VARIANT result;
        ASSERT_EQ(Call(control.Get(), DispIdManagement, {ShortsRef(command)}, &result), S_OK);
        EXPECT_EQ(result.iVal, c.expected) << c.command[0] << "," << c.command[1];
    }
}

TEST_F(KIVOServerTest, CaptionIsReadAndWritten)
{
    CScopedComPtr<IDispatch> control = CreateByProgId();
    ASSERT_TRUE(control);
    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    VARIANT result;
    VariantInit(&result);
    ASSERT_EQ(control->Invoke(1, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &result, nullptr, nullptr), S_OK);
    ASSERT_EQ(result.vt, VT_BSTR);
    EXPECT_EQ(std::wstring(result.bstrVal), L"KIVO \u7B80\u7E41\u8F6C\u6362");
    VariantClear(&result);

    CBstr caption(L"Converter");
    VARIANT value = Text(caption.Get());
    DISPID put = DISPID_PROPERTYPUT;
    DISPPARAMS params = {&value, &put, 1, 1};
    ASSERT_EQ(control->Invoke(1, IID_NULL, 0, DISPATCH_PROPERTYPUT, &params, nullptr, nullptr, nullptr), S_OK);
    ASSERT_EQ(control->Invoke(1, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &result, nullptr, nullptr), S_OK);
    EXPECT_EQ(std::wstring(result.bstrVal), L"Converter");
    VariantClear(&result);
}

// The control's own settings, read and written around it.
const std::string kShellKey = std::string(kSettingsKey) + "\\Shell";

DWORD ShellLcid(REGSAM view = kSettingsRegistryView)
{
    return settingstest::GetDWORD(HKEY_LOCAL_MACHINE, kShellKey, "LCID", 0, view);
}

void SetShellLcid(DWORD value)
{
    ASSERT_TRUE(settingstest::PutDWORD(HKEY_LOCAL_MACHINE, kShellKey, "LCID", value));
}

void SetLumbraRoot(const std::string& folder, REGSAM view = kSettingsRegistryView)
{
    ASSERT_TRUE(settingstest::PutString(HKEY_LOCAL_MACHINE, kLumbraKey, "Lumbra Root Folder", folder, view));
}

TEST_F(KIVOServerTest, CodeTransferThroughInvokeKeepsItsContract)
{
    CScopedComPtr<IDispatch> control = CreateByProgId();
    ASSERT_TRUE(control);
    const struct {
        short source, destination;
        std::vector<short> input;
        short count;  // ControlCodes[2]
        short expected;
        std::vector<short> output;  // the first elements afterwards
    } cases[] = {
        {0, 0, {1, 2, 3, 4, 5, 6, 7}, 7, 7, {1, 2, 3, 4, 5, 6, 7}},              // unchanged, untouched
        {6, 1, {1, 2}, 2, -1, {1, 2}},                                           // code out of range
        {0, -1, {1, 2}, 2, -1, {1, 2}},
        {0, 1, {-73, -94}, 2, 2, {-75, 111}},                                    // GB B7A2 to Big5 B56F
        {1, 2, {-59, -23}, 2, 2, {-13, 119}},                                    // Big5 C5E9 to GBK F377
        {0, 3, {-42, -48}, 2, 4, {0x2D, 0x4E, 0, 0}},                            // U+4E2D and the zero unit
        {0, 3, {}, 0, 2, {0, 0}},                                                // only the zero unit
        {3, 0, {}, 0, 0, {}},                                                    // an empty Unicode source
        {4, 5, {0xEC, 0x4E}, 2, 4, {'?', 0, 0, 0}},                              // U+4EEC has no Big5 form
        {3, 0, {0x2D, 0x4E, 0x41}, 3, 2, {-42, -48}},                            // the odd last byte is ignored
    };
    for (const auto& c : cases) {
        std::vector<short> text(32767, 0x55);
        std::copy(c.input.begin(), c.input.end(), text.begin());
        short codes[3] = {c.source, c.destination, c.count};
        VARIANT result;
        ASSERT_EQ(Call(control.Get(), DispIdCodeTransfer, {ShortsRef(text.data()), ShortsRef(codes)}, &result), S_OK);
        EXPECT_EQ(result.iVal, c.expected) << c.source << "->" << c.destination;
        EXPECT_EQ(std::vector<short>(text.begin(), text.begin() + c.output.size()), c.output)
            << c.source << "->" << c.destination;
        EXPECT_EQ(codes[2], c.count);  // the control codes are never written
    }
}

TEST_F(KIVOServerTest, ConvertTextTakesTenMegabytes)
{
    CScopedComPtr<IDispatch> control = CreateByProgId();
    ASSERT_TRUE(control);
    // 10 MB of UTF-16 without a single line feed: cut between characters.
    const std::size_t units = 10u * 1024 * 1024 / 2;
    std::wstring text, expected;
    text.reserve(units);
    expected.reserve(units);
    while (text.size() < units) {
        text += L"\u4E2D\u56FD";
        expected += L"\u4E2D\u570B";
    }
    std::wstring out;
    ASSERT_EQ(ConvertText(control.Get(), text, 3, 4, out), S_OK);
    EXPECT_EQ(out.size(), expected.size());
    EXPECT_TRUE(out == expected);
}

TEST_F(KIVOServerTest, ManagementSwitchesTheLanguageAndWritesTheRegistryOnlyOnChange)
{
    CScopedComPtr<IDispatch> control = CreateByProgId();
    ASSERT_TRUE(control);
    EXPECT_EQ(Management(control.Get(), 0, 1), 1);  // Simplified Chinese
    EXPECT_EQ(ShellLcid(), 2052u);
    SetShellLcid(12345);  // marks whether the next call writes
    EXPECT_EQ(Management(control.Get(), 0, 1), 1);  // already current
    EXPECT_EQ(ShellLcid(), 12345u);
    EXPECT_EQ(Management(control.Get(), 0, 3), 0);  // no such entry
    EXPECT_EQ(ShellLcid(), 12345u);
    EXPECT_EQ(Management(control.Get(), 0, 2), 1);  // Traditional Chinese
    EXPECT_EQ(ShellLcid(), 1028u);
    EXPECT_EQ(Management(control.Get(), 0, 0), 1);  // English again
    EXPECT_EQ(ShellLcid(), 1033u);
    EXPECT_EQ(Management(control.Get(), 2, 0), 1);
    EXPECT_EQ(ShellLcid(), 1033u);
}

// On 64-bit Windows both controls, the control panel and the tester share
// one configuration: the 32-bit view's. What the other view holds is never
// read, and nothing is written there.
TEST_F(KIVOServerTest, SettingsAreReadAndWrittenInThe32BitView)
{
    if (!settingstest::HasTwoRegistryViews())
        GTEST_SKIP() << "this system has one registry view";
    CScopedComPtr<IDispatch> control = CreateByProgId();
    ASSERT_TRUE(control);
    settingstest::DeleteTree(HKEY_LOCAL_MACHINE, "software\\Perdix", settingstest::kOtherRegistryView);
    SetLumbraRoot("C:\\no\\such\\Lumbra", settingstest::kOtherRegistryView);

    // A reload reads the 32-bit view's folder: no integration message.
    int nMessages = 0;
    std::vector<lumbratest::CGuiScript::Step> steps(400, [&](HWND hDialog) {
        if (FindWindowExA(hDialog, nullptr, "msctls_progress32", nullptr))
            return;  // the loading window
        ++nMessages;
        PostMessageA(hDialog, WM_COMMAND, IDOK, 0);
    });
    {
        lumbratest::CGuiScript script(steps);
        EXPECT_EQ(Management(control.Get(), 1, 0), 1);
    }
    EXPECT_EQ(nMessages, 0);

    EXPECT_EQ(Management(control.Get(), 0, 2), 1);  // Traditional Chinese
    EXPECT_EQ(ShellLcid(), 1028u);
    EXPECT_EQ(ShellLcid(settingstest::kOtherRegistryView), 0u);
    EXPECT_EQ(Management(control.Get(), 0, 0), 1);
    EXPECT_EQ(ShellLcid(), 1033u);
    settingstest::DeleteTree(HKEY_LOCAL_MACHINE, "software\\Perdix", settingstest::kOtherRegistryView);
}

TEST_F(KIVOServerTest, ReloadWithoutLumbraWarnsAndKeepsTheLoadedLibraries)
{
    CScopedComPtr<IDispatch> control = CreateByProgId();
    ASSERT_TRUE(control);
    // A copy of Lumbra that can be taken away.
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    const std::string copy = std::string(temp) + "kivo-lumbra-" + std::to_string(GetCurrentProcessId());
    ASSERT_TRUE(lumbratest::CopyTree(lumbratest::LumbraData(), copy));
    SetLumbraRoot(copy);
    EXPECT_EQ(Management(control.Get(), 1, 0), 1);

    const std::wstring hair = L"\u5934\u53D1";        // simplified "hair"
    const std::wstring adjusted = L"\u982D\u9AEE";    // its traditional word, not character by character
    std::wstring out;
    ASSERT_EQ(ConvertText(control.Get(), hair, 3, 4, out), S_OK);
    EXPECT_EQ(out, adjusted);

    SHFILEOPSTRUCTA remove = {};
    const std::string from = copy + std::string(1, '\0');
    remove.wFunc = FO_DELETE;
    remove.pFrom = from.c_str();
    remove.fFlags = FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI;
    ASSERT_EQ(SHFileOperationA(&remove), 0);

    std::string message;
    lumbratest::CGuiScript script({[&](HWND hBox) {
        char text[1024] = {};
        for (HWND h = GetWindow(hBox, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT)) {
            GetWindowTextA(h, text, sizeof text);
            message += text;
            message += '\n';
        }
        PostMessageA(hBox, WM_COMMAND, IDOK, 0);
    }});
    EXPECT_EQ(Management(control.Get(), 1, 0), 0);
    EXPECT_TRUE(script.Finished());
    EXPECT_FALSE(script.Forced());
    EXPECT_NE(message.find(copy), std::string::npos) << message;  // the message names the folder checked

    // The libraries loaded before stay in use.
    ASSERT_EQ(ConvertText(control.Get(), hair, 3, 4, out), S_OK);
    EXPECT_EQ(out, adjusted);

    SetLumbraRoot(lumbratest::LumbraData());
    EXPECT_EQ(Management(control.Get(), 1, 0), 1);
}

TEST_F(KIVOServerTest, TypeLibraryDescribesItsTypes)
{
    CScopedComPtr<ITypeLib> library;
    ASSERT_EQ(LoadRegTypeLib(LIBID_KIVOLib, 1, 0, LOCALE_NEUTRAL, reinterpret_cast<ITypeLib**>(library.ReceiveVoid())),
              S_OK);
    BSTR name = nullptr, doc = nullptr, helpFile = nullptr;
    ASSERT_EQ(library->GetDocumentation(-1, &name, &doc, nullptr, &helpFile), S_OK);
    EXPECT_EQ(std::wstring(name), L"KIVOLib");
    EXPECT_EQ(std::wstring(doc), L"KIVO ActiveX Control module");
    EXPECT_NE(std::wstring(helpFile).find(L"KIVO.hlp"), std::wstring::npos);
    SysFreeString(name);
    SysFreeString(doc);
    SysFreeString(helpFile);

    const struct {
        GUID guid;
        const wchar_t* name;
        const wchar_t* doc;
        TYPEKIND kind;
    } types[] = {
        {DIID_DKIVO, L"_DKIVO", L"Dispatch interface for KIVO Control", TKIND_DISPATCH},
        {DIID_DKIVOEvents, L"_DKIVOEvents", L"Event interface for KIVO Control", TKIND_DISPATCH},
        {CLSID_KIVOCtrl, L"KIVO", L"KIVO Control", TKIND_COCLASS},
        {DIID_IDlgKIVO, L"IDlgKIVO", nullptr, TKIND_DISPATCH},
        {CLSID_DlgKIVO, L"DlgKIVO", nullptr, TKIND_COCLASS},
    };
    for (const auto& type : types) {
        CScopedComPtr<ITypeInfo> info;
        ASSERT_EQ(library->GetTypeInfoOfGuid(type.guid, reinterpret_cast<ITypeInfo**>(info.ReceiveVoid())), S_OK)
            << type.name;
        ASSERT_EQ(info->GetDocumentation(MEMBERID_NIL, &name, &doc, nullptr, nullptr), S_OK);
        EXPECT_EQ(std::wstring(name), type.name);
        EXPECT_EQ(std::wstring(doc ? doc : L""), type.doc ? type.doc : L"") << type.name;
        SysFreeString(name);
        SysFreeString(doc);
        TYPEATTR* attributes = nullptr;
        ASSERT_EQ(info->GetTypeAttr(&attributes), S_OK);
        EXPECT_EQ(attributes->typekind, type.kind) << type.name;
        info->ReleaseTypeAttr(attributes);
    }
}

TEST_F(KIVOServerTest, TransferCodesAreNamedInTheTypeLibrary)
{
    CScopedComPtr<ITypeLib> library;
    ASSERT_EQ(LoadRegTypeLib(LIBID_KIVOLib, 1, 0, LOCALE_NEUTRAL, reinterpret_cast<ITypeLib**>(library.ReceiveVoid())),
              S_OK);
    CScopedComPtr<ITypeInfo> info;
    ASSERT_EQ(library->GetTypeInfoOfGuid(GUID_KIVOTransferCode, reinterpret_cast<ITypeInfo**>(info.ReceiveVoid())),
              S_OK);
    BSTR name = nullptr;
    ASSERT_EQ(info->GetDocumentation(MEMBERID_NIL, &name, nullptr, nullptr, nullptr), S_OK);
    EXPECT_EQ(std::wstring(name), L"KIVOTransferCode");
    SysFreeString(name);
    TYPEATTR* attributes = nullptr;
    ASSERT_EQ(info->GetTypeAttr(&attributes), S_OK);
    EXPECT_EQ(attributes->typekind, TKIND_ENUM);
    const WORD count = attributes->cVars;
    info->ReleaseTypeAttr(attributes);
    const wchar_t* const names[] = {L"GbkSimplified",      L"Big5Traditional",    L"GbkTraditional",
                                    L"UnicodeSimplified", L"UnicodeTraditional", L"UnicodeTraditional2"};
    ASSERT_EQ(count, 6);
    for (UINT i = 0; i < count; ++i) {
        VARDESC* pVar = nullptr;
        ASSERT_EQ(info->GetVarDesc(i, &pVar), S_OK);
        ASSERT_EQ(pVar->varkind, VAR_CONST);
        VARIANT value;
        VariantInit(&value);
        ASSERT_EQ(VariantChangeType(&value, pVar->lpvarValue, 0, VT_I4), S_OK);
        BSTR memberName = nullptr;
        UINT got = 0;
        ASSERT_EQ(info->GetNames(pVar->memid, &memberName, 1, &got), S_OK);
        ASSERT_GE(value.lVal, 0);
        ASSERT_LT(value.lVal, 6);
        EXPECT_EQ(std::wstring(memberName), names[value.lVal]) << value.lVal;
        SysFreeString(memberName);
        info->ReleaseVarDesc(pVar);
    }
    // A script host binds the names through the library as well.
    MEMBERID id = MEMBERID_NIL;
    ITypeInfo* found = nullptr;
    USHORT nFound = 1;
    wchar_t big5[] = L"Big5Traditional";
    ASSERT_EQ(library->FindName(big5, 0, &found, &id, &nFound), S_OK);
    ASSERT_EQ(nFound, 1);
    found->Release();
}

// What a browser that hosts ActiveX asks before it lets a page's script at
// the control, and what the script can then do.
TEST_F(KIVOServerTest, AnUntrustedCallerConvertsButCannotManage)
{
    CScopedComPtr<IDispatch> control = CreateByProgId();
    ASSERT_TRUE(control);
    CScopedComPtr<IObjectSafety> safety;
    ASSERT_EQ(control->QueryInterface(IID_IObjectSafety, safety.ReceiveVoid()), S_OK);
    const DWORD both = INTERFACESAFE_FOR_UNTRUSTED_CALLER | INTERFACESAFE_FOR_UNTRUSTED_DATA;
    DWORD supported = 0, enabled = 0;
    ASSERT_EQ(safety->GetInterfaceSafetyOptions(IID_IDispatch, &supported, &enabled), S_OK);
    EXPECT_EQ(supported, both);
    EXPECT_EQ(enabled, 0u);
    EXPECT_EQ(safety->GetInterfaceSafetyOptions(IID_IOleObject, &supported, &enabled), E_NOINTERFACE);
    // Script safety on the automation interface, data safety on the
    // persistence the page's PARAM tags go through.
    ASSERT_EQ(safety->SetInterfaceSafetyOptions(IID_IDispatch, INTERFACESAFE_FOR_UNTRUSTED_CALLER,
                                                INTERFACESAFE_FOR_UNTRUSTED_CALLER),
              S_OK);
    ASSERT_EQ(safety->SetInterfaceSafetyOptions(IID_IPersistPropertyBag, INTERFACESAFE_FOR_UNTRUSTED_DATA,
                                                INTERFACESAFE_FOR_UNTRUSTED_DATA),
              S_OK);
    EXPECT_EQ(safety->SetInterfaceSafetyOptions(IID_IPersistPropertyBag, INTERFACESAFE_FOR_UNTRUSTED_CALLER,
                                                INTERFACESAFE_FOR_UNTRUSTED_CALLER),
              E_FAIL);
    ASSERT_EQ(safety->GetInterfaceSafetyOptions(IID_IDispatch, &supported, &enabled), S_OK);
    EXPECT_EQ(enabled & INTERFACESAFE_FOR_UNTRUSTED_CALLER, DWORD(INTERFACESAFE_FOR_UNTRUSTED_CALLER));

    // Management is refused with an automation error and does nothing: the
    // language stays, and not even the presence test answers.
    const DWORD lcid = ShellLcid();
    SetShellLcid(12345);  // marks whether a call writes
    for (const short command : {0, 1, 2}) {
        short values[2] = {command, 2};
        VARIANT result;
        EXCEPINFO exception = {};
        EXPECT_EQ(Call(control.Get(), DispIdManagement, {ShortsRef(values)}, &result, &exception), DISP_E_EXCEPTION);
        EXPECT_EQ(exception.scode, E_ACCESSDENIED);
        EXPECT_NE(std::wstring(exception.bstrDescription ? exception.bstrDescription : L""), L"");
        SysFreeString(exception.bstrSource);
        SysFreeString(exception.bstrDescription);
        EXPECT_EQ(result.vt, VT_EMPTY);
    }
    EXPECT_EQ(ShellLcid(), 12345u);
    SetShellLcid(lcid);

    // Conversions and reading the caption work as before.
    std::wstring out;
    ASSERT_EQ(ConvertText(control.Get(), L"\u5934\u53D1", 3, 4, out), S_OK);
    EXPECT_EQ(out, L"\u982D\u9AEE");
    std::vector<short> charCode(32767, 0);
    charCode[0] = static_cast<signed char>(0xB7);  // GBK of "fa"
    charCode[1] = static_cast<signed char>(0xA2);
    short codes[3] = {0, 1, 2};
    VARIANT result;
    ASSERT_EQ(Call(control.Get(), DispIdCodeTransfer, {ShortsRef(charCode.data()), ShortsRef(codes)}, &result), S_OK);
    EXPECT_EQ(result.iVal, 2);
    EXPECT_EQ(charCode[0] & 0xFF, 0xB5);
    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    ASSERT_EQ(control->Invoke(DispIdKIVOCaption, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &result, nullptr, nullptr),
              S_OK);
    EXPECT_EQ(result.vt, VT_BSTR);
    VariantClear(&result);

    // Another instance, not asked for safety, manages as always.
    CScopedComPtr<IDispatch> trusted = CreateByProgId();
    ASSERT_TRUE(trusted);
    EXPECT_EQ(Management(trusted.Get(), 2, 0), 1);
}

// DllInstall as "regsvr32 /n /i:user" calls it: the registration lands under
// the user's classes and nowhere else, and goes again with "/u".
TEST_F(KIVOServerTest, RegistrationForTheUserStaysInTheUsersClasses)
{
    using InstallFunction = HRESULT(STDAPICALLTYPE*)(BOOL, LPCWSTR);
    const auto install = ModuleExport<InstallFunction>(s_hModule, "DllInstall");
    ASSERT_NE(install, nullptr);
    ASSERT_EQ(CallExport("DllUnregisterServer"), S_OK);
    EXPECT_EQ(install(TRUE, L"machine"), E_INVALIDARG);
    EXPECT_EQ(install(TRUE, nullptr), E_INVALIDARG);
    ASSERT_EQ(install(TRUE, L"user"), S_OK);

    auto userKey = [](const std::string& subKey) {
        CScopedRegKey key;
        return RegOpenKeyExA(HKEY_CURRENT_USER, ("Software\\Classes\\" + subKey).c_str(), 0, KEY_READ,
                             key.Receive()) == ERROR_SUCCESS;
    };
    const std::string clsid = std::string("CLSID\\") + kClsidKIVOCtrlText;
    const std::string keys[] = {clsid + "\\InprocServer32", clsid + "\\TypeLib", "KIVO.KIVOCtrl.1\\CLSID",
                                "KIVO.KIVOCtrl\\CurVer", std::string("CLSID\\") + kClsidKIVOPropPageText,
                                "KIVO.KIVOPropPage.1\\CLSID", std::string("TypeLib\\") + kLibidKIVOLibText + "\\1.0",
                                "Interface\\{A2BEAFEE-52CF-42CA-9BEA-C08B1F2D4171}\\TypeLib"};
    for (const std::string& key : keys)
        EXPECT_TRUE(userKey(key)) << key;
    EXPECT_FALSE(KeyExists(clsid)) << "nothing is written for the machine";
    EXPECT_FALSE(KeyExists("KIVO.KIVOCtrl.1"));
    EXPECT_FALSE(KeyExists(std::string("TypeLib\\") + kLibidKIVOLibText));

    // The type library registered for the user opens by its path.
    const std::string library = std::string("TypeLib\\") + kLibidKIVOLibText + "\\1.0\\0\\" +
                                (sizeof(void*) == 8 ? "win64" : "win32");
    CScopedRegKey key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, ("Software\\Classes\\" + library).c_str(), 0, KEY_READ, key.Receive()),
              ERROR_SUCCESS);
    wchar_t path[MAX_PATH] = {};
    DWORD size = sizeof(path) - sizeof(wchar_t);
    ASSERT_EQ(RegQueryValueExW(key.Get(), nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(path), &size),
              ERROR_SUCCESS);
    CScopedComPtr<ITypeLib> typeLib;
    EXPECT_EQ(LoadTypeLibEx(path, REGKIND_NONE, reinterpret_cast<ITypeLib**>(typeLib.ReceiveVoid())), S_OK);

    ASSERT_EQ(install(FALSE, L"user"), S_OK);
    for (const std::string& k : keys)
        EXPECT_FALSE(userKey(k)) << k;
    EXPECT_FALSE(userKey(std::string("TypeLib\\") + kLibidKIVOLibText));
    EXPECT_EQ(install(FALSE, L"user"), S_OK) << "nothing registered is no failure";
}

} // namespace
