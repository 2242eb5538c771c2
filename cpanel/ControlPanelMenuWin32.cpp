#include "ControlPanelMenu.h"

#include "ChildControls.h"
#include "ControlPanelResource.h"
#include "ControlPanelTexts.h"

namespace {

// The bar's menus, in bar order; the Languages menu sits inside View.
enum EPopup : int { kPopupTools, kPopupView, kPopupHelp, kPopupLanguages };

struct CMenuItem {
    EPopup nPopup;
    int nLine;  // label line; -1 for a separator
    UINT nId;   // command; 0 for the Languages submenu
};

const CMenuItem kMenuItems[] = {
    {kPopupTools, kMenuLineWizard, ID_TOOLS_WIZARD},
    {kPopupTools, -1, 0},
    {kPopupTools, kMenuLineEditor, ID_TOOLS_EDITOR},
    {kPopupTools, -1, 0},
    {kPopupTools, kMenuLineRunLumbra, ID_TOOLS_RUN_LUMBRA},
    {kPopupTools, -1, 0},
    {kPopupTools, kMenuLineRegister, ID_TOOLS_REGISTER},
    {kPopupTools, kMenuLineUnregister, ID_TOOLS_UNREGISTER},
    {kPopupView, kMenuLineLanguages, 0},
    {kPopupLanguages, kMenuLineEnglish, ID_VIEW_ENGLISH},
    {kPopupLanguages, kMenuLineSimplified, ID_VIEW_SIMPLIFIED},
    {kPopupLanguages, kMenuLineTraditional, ID_VIEW_TRADITIONAL},
    {kPopupHelp, kMenuLineHelp, ID_HELP_HELP},
    {kPopupHelp, kMenuLineAbout, ID_HELP_ABOUT},
};

const int kBarLines[] = {kMenuLineTools, kMenuLineView, kMenuLineHelpMenu};

std::wstring Label(const std::vector<std::string>& arrLabels, int nLine, UINT nCodePage)
{
    std::wstring wstrLabel;
    if (nLine >= 0 && static_cast<size_t>(nLine) < arrLabels.size())
        MultiByteToWideString(arrLabels[static_cast<size_t>(nLine)], nCodePage, wstrLabel);
    return wstrLabel;
}

bool IsEnabled(UINT nId, const CMenuState& state)
{
    switch (nId) {
    case ID_TOOLS_WIZARD:
        return state.bWizard;
    case ID_TOOLS_EDITOR:
        return state.bEditor;
    case ID_TOOLS_RUN_LUMBRA:
        return state.bRunLumbra;
    default:
        return true;
    }
}

bool IsShown(UINT nId, const CMenuState& state)
{
    return !state.bSimplifiedOnly || nId == ID_VIEW_SIMPLIFIED || nId < ID_VIEW_ENGLISH || nId > ID_VIEW_TRADITIONAL;
}

HMENU LanguagesMenuOf(HMENU hView)
{
    return ::GetSubMenu(hView, 0);
}

// Empties `hPopup` and fills it with the items of `nPopup`. A submenu entry
// is taken out, not destroyed, and put back with its new label.
void Fill(HMENU hPopup, EPopup nPopup, HMENU hSubmenu, const std::vector<std::string>& arrLabels, UINT nCodePage,
          const CMenuState& state)
{
    while (::GetMenuItemCount(hPopup) > 0)
        ::RemoveMenu(hPopup, 0, MF_BYPOSITION);
    for (const CMenuItem& item : kMenuItems) {
        if (item.nPopup != nPopup || !IsShown(item.nId, state))
            continue;
        if (item.nLine < 0) {
            ::AppendMenuW(hPopup, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        const std::wstring wstrLabel = Label(arrLabels, item.nLine, nCodePage);
        if (item.nId == 0) {
            ::AppendMenuW(hPopup, MF_POPUP, reinterpret_cast<UINT_PTR>(hSubmenu), wstrLabel.c_str());
            continue;
        }
        ::AppendMenuW(hPopup, MF_STRING | (IsEnabled(item.nId, state) ? MF_ENABLED : MF_GRAYED), item.nId,
                      wstrLabel.c_str());
    }
    if (nPopup == kPopupLanguages)
        ::CheckMenuRadioItem(hPopup, ID_VIEW_ENGLISH, ID_VIEW_TRADITIONAL,
                             ID_VIEW_ENGLISH + static_cast<UINT>(state.nLanguage), MF_BYCOMMAND);
}

} // namespace

bool CControlPanelMenu::Install(HWND hWindow, const std::vector<std::string>& arrLabels, UINT nCodePage,
                                const CMenuState& state)
{
    const HMENU hBar = ::CreateMenu();
    if (!hBar)
        return false;
    const HMENU hLanguages = ::CreatePopupMenu();
    Fill(hLanguages, kPopupLanguages, nullptr, arrLabels, nCodePage, state);
    for (int nPopup = kPopupTools; nPopup <= kPopupHelp; ++nPopup) {
        const HMENU hPopup = ::CreatePopupMenu();
        Fill(hPopup, static_cast<EPopup>(nPopup), hLanguages, arrLabels, nCodePage, state);
        const std::wstring wstrLabel = Label(arrLabels, kBarLines[nPopup], nCodePage);
        ::AppendMenuW(hBar, MF_POPUP, reinterpret_cast<UINT_PTR>(hPopup), wstrLabel.c_str());
    }
    const HMENU hOld = ::GetMenu(hWindow);
    ::SetMenu(hWindow, hBar);
    if (hOld)
        ::DestroyMenu(hOld);
    ::DrawMenuBar(hWindow);
    return true;
}

void CControlPanelMenu::Refill(HWND hWindow, HMENU hPopup, const std::vector<std::string>& arrLabels,
                               UINT nCodePage, const CMenuState& state)
{
    const HMENU hBar = ::GetMenu(hWindow);
    if (!hBar)
        return;
    const HMENU hView = ::GetSubMenu(hBar, kPopupView);
    const HMENU hLanguages = hView ? LanguagesMenuOf(hView) : nullptr;
    if (hPopup == hLanguages) {
        Fill(hPopup, kPopupLanguages, nullptr, arrLabels, nCodePage, state);
        return;
    }
    for (int nPopup = kPopupTools; nPopup <= kPopupHelp; ++nPopup)
        if (::GetSubMenu(hBar, nPopup) == hPopup)
            Fill(hPopup, static_cast<EPopup>(nPopup), hLanguages, arrLabels, nCodePage, state);
}
