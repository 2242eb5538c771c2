#include "TesterDlg.h"

#include "ActiveXHost.h"
#include "KIVOGuids.h"
#include "PerUserClass.h"
#include "TransferCodeList.h"

#include "ClipboardText.h"

namespace {

constexpr bool SameText(const char* a, const char* b)
{
    for (; *a && *a == *b; ++a, ++b) {
    }
    return *a == *b;
}
static_assert(SameText(KIVO_CTRL_CLSID_TEXT, kClsidKIVOCtrlText), "the template must create the KIVO control");

constexpr char kTesterTitle[] = "KIVO Tester";

struct CCodeList {
    int nId;
    int nEntries;
    int nInitial;
};
const CCodeList kCodeLists[] = {
    {IDC_EDIT_FROM, kEditAreaCodeCount, kInitialEditFrom},
    {IDC_EDIT_TO, kEditAreaCodeCount, kInitialEditTo},
    {IDC_CLIPBOARD_FROM, kClipboardCodeCount, kInitialClipboardFrom},
    {IDC_CLIPBOARD_TO, kClipboardCodeCount, kInitialClipboardTo},
};

bool IsCodeList(int nId)
{
    for (const CCodeList& list : kCodeLists)
        if (list.nId == nId)
            return true;
    return false;
}

} // namespace

CTesterDlg::CTesterDlg() : CDialog(IDD) {}

bool CTesterDlg::OnInitDialog()
{
    CScopedComPtr<IDispatch> dispatch;
    if (FAILED(GetHostedControl(GetItem(IDC_KIVO), IID_IDispatch, dispatch.ReceiveVoid())) || !dispatch)
        HostPerUserControl(dispatch);
    if (!dispatch) {
        EndDialog(-1);
        return true;
    }
    m_control.Attach(dispatch.Get());
    FillCodeLists();
    // Pasted texts may be as long as the size check allows, and longer so
    // that the check has something to say.
    Edit(IDC_SOURCE_EDIT).LimitText(0);
    Edit(IDC_RESULT_EDIT).LimitText(0);
    UpdateButtons();
    return true;
}

// A control registered for this user only, where the platform's COM reads
// the machine's classes alone (the container is then left empty). It is
// sited in the container where the container takes it; Wine's does not,
// and as the control has no face at run time the tester then calls it
// unsited, as any script host does.
void CTesterDlg::HostPerUserControl(CScopedComPtr<IDispatch>& dispatch)
{
    CScopedComPtr<IUnknown> control;
    if (FAILED(CreatePerUserInstance(CLSID_KIVOCtrl, IID_IUnknown, control.ReceiveVoid())) || !control)
        return;
    if (SUCCEEDED(AttachHostedControl(GetItem(IDC_KIVO), control.Get())) &&
        SUCCEEDED(GetHostedControl(GetItem(IDC_KIVO), IID_IDispatch, dispatch.ReceiveVoid())) && dispatch)
        return;
    control->QueryInterface(IID_IDispatch, dispatch.ReceiveVoid());
}

void CTesterDlg::OnDestroy()
{
    m_control.Detach();
    CDialog::OnDestroy();
}

void CTesterDlg::FillCodeLists()
{
    for (const CCodeList& list : kCodeLists) {
        const CComboBoxRef combo = Combo(list.nId);
        combo.ResetContent();
        for (int i = 0; i < list.nEntries; ++i)
            combo.AddString(kTransferCodeEntries[i].pszText);
        combo.SetCurSel(list.nInitial);
    }
}

void CTesterDlg::UpdateButtons()
{
    const bool bEditLists = Combo(IDC_EDIT_FROM).GetCurSel() >= 0 && Combo(IDC_EDIT_TO).GetCurSel() >= 0;
    const bool bSourceText = ::GetWindowTextLengthW(GetItem(IDC_SOURCE_EDIT)) > 0;
    EnableItem(IDC_EDIT_TRANSFER, bEditLists && bSourceText);
    EnableItem(IDC_CLIPBOARD_TRANSFER,
               Combo(IDC_CLIPBOARD_FROM).GetCurSel() >= 0 && Combo(IDC_CLIPBOARD_TO).GetCurSel() >= 0);
}

bool CTesterDlg::OnCommand(int nId, int nCode, HWND hCtl)
{
    if (nId == IDC_SOURCE_EDIT && nCode == EN_CHANGE) {
        UpdateButtons();
        return true;
    }
    if (IsCodeList(nId) && (nCode == CBN_SELCHANGE || nCode == CBN_SELENDOK)) {
        UpdateButtons();
        return true;
    }
    if (nCode == BN_CLICKED) {
        switch (nId) {
        case IDC_EDIT_TRANSFER:
            OnEditAreaTransfer();
            return true;
        case IDC_CLIPBOARD_TRANSFER:
            OnClipboardTransfer();
            return true;
        case IDC_APPLY_PROFILE:
            m_control.Management(1);
            return true;
        default:
            break;
        }
    }
    return CDialog::OnCommand(nId, nCode, hCtl);
}

void CTesterDlg::OnEditAreaTransfer()
{
    const int nFrom = Combo(IDC_EDIT_FROM).GetCurSel();
    const int nTo = Combo(IDC_EDIT_TO).GetCurSel();
    if (nFrom < 0 || nTo < 0)
        return;
    // The old result goes first, so that nothing stale stays beside a
    // message or a failure.
    SetItemText(IDC_RESULT_EDIT, std::string());
    // The edits hold Unicode text; the control is given (and gives back) the
    // bytes of each list's code, so Chinese reads right whatever the
    // system's code page.
    const std::string strSource = GetItemText(IDC_SOURCE_EDIT, EditCodePageOf(nFrom));
    std::string strResult;
    const ETransferOutcome outcome =
        TransferBytesToBytes(strSource, static_cast<short>(nFrom), static_cast<short>(nTo), m_control, strResult);
    if (outcome == ETransferOutcome::TooLong)
        ShowTooLongMessage();
    SetItemText(IDC_RESULT_EDIT, strResult, EditCodePageOf(nTo));
}

void CTesterDlg::OnClipboardTransfer()
{
    const int nFrom = Combo(IDC_CLIPBOARD_FROM).GetCurSel();
    const int nTo = Combo(IDC_CLIPBOARD_TO).GetCurSel();
    if (nFrom < 0 || nTo < 0 || nFrom == nTo)
        return;
    CTesterText input;
    if (!ReadClipboardText(GetHwnd(), IsUnicodeTransferCode(nFrom), input))
        return;
    CTesterText output;
    const ETransferOutcome outcome =
        TransferText(input, static_cast<short>(nFrom), static_cast<short>(nTo), m_control, output);
    if (outcome == ETransferOutcome::TooLong)
        ShowTooLongMessage();
    // A refused or failed transfer still replaces the clipboard, with an empty text.
    WriteClipboardText(GetHwnd(), output);
}

void CTesterDlg::ShowTooLongMessage()
{
    // The tester speaks no interface language of its own: the system's box.
    ::MessageBoxA(GetHwnd(), TooLongMessage().c_str(), kTesterTitle, MB_OK);
}
