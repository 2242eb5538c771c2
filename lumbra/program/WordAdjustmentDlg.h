// Lumbra's word-adjustment dialog: the libraries of both directions in the
// order they apply, each with its "Apply" switch, and the user libraries to
// add and remove. It edits the two catalogues it is given; OK writes those
// that changed, Cancel leaves every file as it was.
#pragma once

#include "Dialog.h"
#include "LumbraFolder.h"
#include "LumbraResource.h"
#include "WACatalogue.h"

class CWordAdjustmentDlg : public CDialog {
public:
    enum { IDD = IDD_WORD_ADJUSTMENT };
    CWordAdjustmentDlg(const CLumbraFolder& folder, CWACatalogue& g2b, CWACatalogue& b2g);

protected:
    bool OnInitDialog() override;
    bool OnCommand(int nId, int nCode, HWND hCtl) override;
    // Writes the changed catalogues; on a failure the dialog stays open with
    // the reason shown, so that the user can try again or cancel.
    void OnOK() override;

private:
    // A side is 0 for G2B, 1 for B2G; its control ids are the G2B ones plus 100 times it.
    static int SideOf(int nId);
    static int IdOf(int nSide, int nG2BId) { return nG2BId + 100 * nSide; }

    void FillList(int nSide, int nSelect);
    void UpdateControls(int nSide);
    void OnApplyClicked(int nSide);
    void OnAdd(int nSide, EUserLibraryKind kind);
    void OnRemove(int nSide);
    void ShowError(const std::string& strText) const;

    const CLumbraFolder& m_folder;
    CWACatalogue* m_arrCatalogues[2];
};
