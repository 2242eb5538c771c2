// The tester's one window, "KIVO Tester": an edit-area transfer, a clipboard
// transfer and the re-application of the word-adjustment profile, all
// through the control hosted at the bottom of the dialog.
#pragma once

#include "ControlClient.h"
#include "Dialog.h"
#include "TesterResource.h"

class CTesterDlg : public CDialog {
public:
    enum { IDD = IDD_KIVOTESTER };
    CTesterDlg();

protected:
    // Ends the dialog with -1 when the container holds no control, so that
    // "the dialog could not be created" means the same on every platform.
    bool OnInitDialog() override;
    bool OnCommand(int nId, int nCode, HWND hCtl) override;
    void OnDestroy() override;

private:
    void HostPerUserControl(CScopedComPtr<IDispatch>& dispatch);
    void FillCodeLists();
    void UpdateButtons();
    void OnEditAreaTransfer();
    void OnClipboardTransfer();
    void ShowTooLongMessage();

    CControlClient m_control;
};
