#include "DialogTemplate.h"

#include "ChildControls.h"

#include <cstring>

namespace {

// The template is a run of 16-bit words; each item starts on a DWORD boundary.
class CWordWriter {
public:
    void Word(WORD w) { m_arrWords.push_back(w); }
    void Dword(DWORD d)
    {
        Word(LOWORD(d));
        Word(HIWORD(d));
    }
    void Short(short s) { Word(static_cast<WORD>(s)); }
    void String(const std::wstring& text)
    {
        for (wchar_t c : text)
            Word(static_cast<WORD>(c));
        Word(0);
    }
    void AlignDword()
    {
        if (m_arrWords.size() % 2)
            Word(0);
    }
    std::vector<DWORD> Result()
    {
        AlignDword();
        std::vector<DWORD> out(m_arrWords.size() / 2);
        std::memcpy(out.data(), m_arrWords.data(), m_arrWords.size() * sizeof(WORD));
        return out;
    }

private:
    std::vector<WORD> m_arrWords;
};

} // namespace

CDialogTemplate::CDialogTemplate(const std::string& caption, DWORD style, short x, short y, short cx, short cy,
                                 const std::string& faceName, WORD pointSize, UINT codePage)
    : m_dwStyle(style), m_x(x), m_y(y), m_cx(cx), m_cy(cy), m_nPointSize(pointSize), m_nCodePage(codePage)
{
    m_strCaption = ToWide(caption);
    m_strFace = ToWide(faceName);
    if (!m_strFace.empty())
        m_dwStyle |= DS_SETFONT;
    else
        m_dwStyle &= ~static_cast<DWORD>(DS_SETFONT);
}

void CDialogTemplate::SetWindowClass(const std::string& className)
{
    m_strClass = ToWide(className);
}

bool CDialogTemplate::AddControl(EClass controlClass, const std::string& text, WORD id, DWORD style,
                                 short x, short y, short cx, short cy, DWORD exStyle)
{
    if (m_arrControls.size() >= 0xFFFF)
        return false;
    m_arrControls.push_back({style | WS_CHILD | WS_VISIBLE, exStyle, x, y, cx, cy, id,
                             static_cast<WORD>(controlClass), std::wstring(), ToWide(text)});
    return true;
}

bool CDialogTemplate::AddControl(const std::string& className, const std::string& text, WORD id, DWORD style,
                                 short x, short y, short cx, short cy, DWORD exStyle)
{
    if (m_arrControls.size() >= 0xFFFF || className.empty())
        return false;
    m_arrControls.push_back({style | WS_CHILD | WS_VISIBLE, exStyle, x, y, cx, cy, id, 0,
                             ToWide(className), ToWide(text)});
    return true;
}

std::vector<DWORD> CDialogTemplate::Build() const
{
    CWordWriter out;
    // DLGTEMPLATE
    out.Dword(m_dwStyle);
    out.Dword(0);
    out.Word(static_cast<WORD>(m_arrControls.size()));
    out.Short(m_x);
    out.Short(m_y);
    out.Short(m_cx);
    out.Short(m_cy);
    out.Word(0);  // no menu
    if (m_strClass.empty())
        out.Word(0);
    else
        out.String(m_strClass);
    out.String(m_strCaption);
    if (m_dwStyle & DS_SETFONT) {
        out.Word(m_nPointSize);
        out.String(m_strFace);
    }
    for (const CControl& control : m_arrControls) {
        // DLGITEMTEMPLATE
        out.AlignDword();
        out.Dword(control.style);
        out.Dword(control.exStyle);
        out.Short(control.x);
        out.Short(control.y);
        out.Short(control.cx);
        out.Short(control.cy);
        out.Word(control.id);
        if (control.atom) {
            out.Word(0xFFFF);
            out.Word(control.atom);
        } else {
            out.String(control.className);
        }
        out.String(control.text);
        out.Word(0);  // no creation data
    }
    return out.Result();
}

std::wstring CDialogTemplate::ToWide(const std::string& text) const
{
    std::wstring wide;
    if (!MultiByteToWideString(text, m_nCodePage, wide))
        return std::wstring();
    // A zero unit would end the string early and shift everything after it.
    for (wchar_t& c : wide)
        if (c == L'\0')
            c = L' ';
    return wide;
}
