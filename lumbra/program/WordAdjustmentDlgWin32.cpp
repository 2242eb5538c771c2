#include "WordAdjustmentDlg.h"

#include "CatalogueFile.h"

#include <commdlg.h>

#include <vector>

namespace {

// What one entry of a list stands for; kept as the entry's item data.
enum ERowKind { kRowBase = 0, kRowBuiltIn = 1, kRowLibrary = 2, kRowFinalFix = 3 };
constexpr LPARAM kRowStride = 1000;

struct CRow {
    ERowKind m_kind;
    int m_nIndex;

    LPARAM Data() const { return m_kind * kRowStride + m_nIndex; }
    static CRow FromData(LPARAM data)
    {
        return CRow{static_cast<ERowKind>(data / kRowStride), static_cast<int>(data % kRowStride)};
    }
    EUserLibraryKind UserKind() const
    {
        return m_kind == kRowFinalFix ? EUserLibraryKind::FinalFix : EUserLibraryKind::Library;
    }
    bool IsUser() const { return m_kind == kRowLibrary || m_kind == kRowFinalFix; }
};

// The libraries of a catalogue in the order the control applies them.
std::vector<CRow> RowsOf(const CWACatalogue& catalogue)
{
    std::vector<CRow> arrRows = {{kRowBase, 0}, {kRowBuiltIn, 0}, {kRowBuiltIn, 1}};
    for (std::size_t i = 0; i < catalogue.GetUserLibraries(EUserLibraryKind::Library).size(); ++i)
        arrRows.push_back({kRowLibrary, static_cast<int>(i)});
    for (int i = 2; i < CWACatalogue::kBuiltInSwitches; ++i)
        arrRows.push_back({kRowBuiltIn, i});
    for (std::size_t i = 0; i < catalogue.GetUserLibraries(EUserLibraryKind::FinalFix).size(); ++i)
        arrRows.push_back({kRowFinalFix, static_cast<int>(i)});
    return arrRows;
}

bool IsApplied(const CWACatalogue& catalogue, const CRow& row)
{
    if (row.m_kind == kRowBase)
        return true;
    if (row.m_kind == kRowBuiltIn)
        return catalogue.GetBuiltInApply(row.m_nIndex);
    return catalogue.GetUserLibraries(row.UserKind())[static_cast<std::size_t>(row.m_nIndex)].m_bApply;
}

// A stored path inside the libraries' folder reads as "ctwa\...".
std::string ShownPath(const std::string& strStored)
{
    const std::string strToken = CWACatalogue::kWAFolderToken;
    if (strStored.compare(0, strToken.size(), strToken) == 0)
        return "ctwa" + strStored.substr(strToken.size());
    return strStored;
}

std::string RowText(const CWACatalogue& catalogue, const CRow& row)
{
    std::string strText = IsApplied(catalogue, row) ? "[x] " : "[ ] ";
    switch (row.m_kind) {
    case kRowBase:
        return strText + "Base (always applied)";
    case kRowBuiltIn:
        return strText + CWACatalogue::BuiltInTitle(row.m_nIndex);
    case kRowLibrary:
    case kRowFinalFix:
        break;
    }
    const CUserLibrary& library = catalogue.GetUserLibraries(row.UserKind())[static_cast<std::size_t>(row.m_nIndex)];
    return strText + (row.m_kind == kRowLibrary ? "Library: " : "Final fix: ") + ShownPath(library.m_strPath);
}

// The folder a new library of a direction and kind is looked for in.
std::string UserFolder(const std::string& strWAFolder, EWADirection direction, EUserLibraryKind kind)
{
    static const char* const kFolders[2][2] = {{"custbig", "cfbig"}, {"custgb", "cfgb"}};
    return strWAFolder + "\\" + kFolders[direction == EWADirection::G2B ? 0 : 1][static_cast<int>(kind)];
}

// The selected entry of a list and the library it stands for; false when none is selected.
bool SelectedRow(const CListBoxRef& list, int& nEntry, CRow& row)
{
    nEntry = list.GetCurSel();
    if (nEntry < 0)
        return false;
    row = CRow::FromData(list.GetItemData(nEntry));
    return true;
}

}  // namespace

CWordAdjustmentDlg::CWordAdjustmentDlg(const CLumbraFolder& folder, CWACatalogue& g2b, CWACatalogue& b2g)
    : CDialog(IDD), m_folder(folder), m_arrCatalogues{&g2b, &b2g}
{
}

int CWordAdjustmentDlg::SideOf(int nId)
{
    return nId >= IDC_B2G_LIST && nId <= IDC_B2G_REMOVE ? 1 : 0;
}

bool CWordAdjustmentDlg::OnInitDialog()
{
    SetItemText(IDC_WA_FOLDER, "Installation: " + m_folder.m_strRoot);
    for (int nSide = 0; nSide < 2; ++nSide) {
        // Long paths scroll sideways.
        List(IdOf(nSide, IDC_G2B_LIST)).Send(LB_SETHORIZONTALEXTENT, 1200);
        FillList(nSide, 0);
    }
    return true;
}

void CWordAdjustmentDlg::FillList(int nSide, int nSelect)
{
    const CWACatalogue& catalogue = *m_arrCatalogues[nSide];
    const CListBoxRef list = List(IdOf(nSide, IDC_G2B_LIST));
    list.ResetContent();
    for (const CRow& row : RowsOf(catalogue)) {
        const int nEntry = list.AddString(RowText(catalogue, row));
        list.SetItemData(nEntry, row.Data());
    }
    if (nSelect >= list.GetCount())
        nSelect = list.GetCount() - 1;
    list.SetCurSel(nSelect);
    UpdateControls(nSide);
}

void CWordAdjustmentDlg::UpdateControls(int nSide)
{
    int nEntry = 0;
    CRow row{kRowBase, 0};
    const bool bSelected = SelectedRow(List(IdOf(nSide, IDC_G2B_LIST)), nEntry, row);
    SetCheck(IdOf(nSide, IDC_G2B_APPLY),
             bSelected && IsApplied(*m_arrCatalogues[nSide], row) ? BST_CHECKED : BST_UNCHECKED);
    EnableItem(IdOf(nSide, IDC_G2B_APPLY), bSelected && row.m_kind != kRowBase);
    EnableItem(IdOf(nSide, IDC_G2B_REMOVE), bSelected && row.IsUser());
}

bool CWordAdjustmentDlg::OnCommand(int nId, int nCode, HWND hCtl)
{
    const int nSide = SideOf(nId);
    const int nG2BId = nId - 100 * nSide;
    if (nG2BId == IDC_G2B_LIST && nCode == LBN_SELCHANGE) {
        UpdateControls(nSide);
        return true;
    }
    if (nCode == BN_CLICKED) {
        switch (nG2BId) {
        case IDC_G2B_APPLY:
            OnApplyClicked(nSide);
            return true;
        case IDC_G2B_ADD:
            OnAdd(nSide, EUserLibraryKind::Library);
            return true;
        case IDC_G2B_ADD_FINAL_FIX:
            OnAdd(nSide, EUserLibraryKind::FinalFix);
            return true;
        case IDC_G2B_REMOVE:
            OnRemove(nSide);
            return true;
        default:
            break;
        }
    }
    return CDialog::OnCommand(nId, nCode, hCtl);
}

void CWordAdjustmentDlg::OnApplyClicked(int nSide)
{
    int nEntry = 0;
    CRow row{kRowBase, 0};
    if (!SelectedRow(List(IdOf(nSide, IDC_G2B_LIST)), nEntry, row))
        return;
    const bool bApply = GetCheck(IdOf(nSide, IDC_G2B_APPLY)) == BST_CHECKED;
    CWACatalogue& catalogue = *m_arrCatalogues[nSide];
    std::string strError;
    bool bDone = true;
    if (row.m_kind == kRowBuiltIn)
        bDone = catalogue.SetBuiltInApply(row.m_nIndex, bApply, strError);
    else if (row.IsUser())
        bDone = catalogue.SetUserApply(row.UserKind(), row.m_nIndex, bApply, strError);
    if (!bDone)
        ShowError(strError);
    FillList(nSide, nEntry);
}

void CWordAdjustmentDlg::OnAdd(int nSide, EUserLibraryKind kind)
{
    CWACatalogue& catalogue = *m_arrCatalogues[nSide];
    const std::string strInitialFolder = UserFolder(m_folder.WAFolder(), catalogue.GetDirection(), kind);
    char szFile[MAX_PATH + 1] = {};
    OPENFILENAMEA open = {};
    open.lStructSize = sizeof open;
    open.hwndOwner = GetHwnd();
    open.lpstrFilter = "Libraries (*.txt)\0*.txt\0All files (*.*)\0*.*\0";
    open.lpstrFile = szFile;
    open.nMaxFile = sizeof szFile;
    open.lpstrInitialDir = strInitialFolder.c_str();
    open.lpstrTitle = kind == EUserLibraryKind::Library ? "Add User Library" : "Add User Final-Fix Library";
    open.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (!::GetOpenFileNameA(&open))
        return;
    std::string strError;
    if (!catalogue.AddUserLibrary(kind, CWACatalogue::StoredPath(szFile, m_folder.WAFolder()), true, strError)) {
        ShowError(strError);
        return;
    }
    // Select the new library: the last of its kind.
    const std::vector<CRow> arrRows = RowsOf(catalogue);
    const int nLast = static_cast<int>(catalogue.GetUserLibraries(kind).size()) - 1;
    int nSelect = 0;
    for (std::size_t i = 0; i < arrRows.size(); ++i)
        if (arrRows[i].IsUser() && arrRows[i].UserKind() == kind && arrRows[i].m_nIndex == nLast)
            nSelect = static_cast<int>(i);
    FillList(nSide, nSelect);
}

void CWordAdjustmentDlg::OnRemove(int nSide)
{
    int nEntry = 0;
    CRow row{kRowBase, 0};
    if (!SelectedRow(List(IdOf(nSide, IDC_G2B_LIST)), nEntry, row) || !row.IsUser())
        return;
    std::string strError;
    if (!m_arrCatalogues[nSide]->RemoveUserLibrary(row.UserKind(), row.m_nIndex, strError))
        ShowError(strError);
    FillList(nSide, nEntry);
}

void CWordAdjustmentDlg::OnOK()
{
    bool bWroteOne = false;
    for (CWACatalogue* pCatalogue : m_arrCatalogues) {
        const bool bChanged = pCatalogue->IsChanged();
        std::string strError;
        if (!SaveCatalogueFile(CataloguePath(m_folder.ConfigFolder(), *pCatalogue), *pCatalogue, strError)) {
            // Cancel cannot take back a catalogue already written: say so.
            if (bWroteOne)
                strError += "\n\nThe other direction's catalogue has been written.";
            ShowError(strError);
            return;
        }
        bWroteOne = bWroteOne || bChanged;
    }
    EndDialog(IDOK);
}

void CWordAdjustmentDlg::ShowError(const std::string& strText) const
{
    ::MessageBoxA(GetHwnd(), strText.c_str(), "Lumbra", MB_OK | MB_ICONEXCLAMATION);
}
