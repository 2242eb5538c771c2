// One direction's word-adjustment catalogue (config\wag2b.ini or
// config\wab2g.ini) as Lumbra's word-adjustment dialog edits it: the "Apply"
// switches of the built-in libraries and the two numbered lists of user
// libraries, read the way the KIVO control reads them.
//
// Every edit is made on the file's own text (CCatalogueText), so that what
// the edit does not touch keeps its bytes, and is accepted only when the new
// text, read back, says exactly what was asked for and nothing else; a
// catalogue laid out in a way such an edit would misread is refused with the
// reason, and the text stays as it was.
#pragma once

#include <string>
#include <vector>

enum class EWADirection { G2B, B2G };

// User libraries ("CUSLIB_<dir><n>", n 1..64) apply between PDAF2 and
// FinalFix; user final-fix libraries ("CUS_FF_LIB_<dir><n>", n 1..3) last.
enum class EUserLibraryKind { Library = 0, FinalFix = 1 };

struct CUserLibrary {
    std::string m_strPath;  // as stored: "%%CTWA_FOLDER%%" kept
    bool m_bApply = false;

    bool operator==(const CUserLibrary& other) const
    {
        return m_strPath == other.m_strPath && m_bApply == other.m_bApply;
    }
};

class CWACatalogue {
public:
    // The switchable built-in libraries, in the order they apply: PDAF,
    // PDAF2, FinalFix, FinalFix2, FinalFix3 (Base always applies).
    static constexpr int kBuiltInSwitches = 5;
    static const char* BuiltInTitle(int nIndex);
    static int MaxUserLibraries(EUserLibraryKind kind);
    // The token a stored path uses for Lumbra's "ctwa" folder.
    static constexpr char kWAFolderToken[] = "%%CTWA_FOLDER%%";
    // The longest path value a catalogue line can carry and still be read whole.
    static constexpr std::size_t kMaxPathBytes = 1000;

    explicit CWACatalogue(EWADirection direction);

    // Takes the file's text (empty for a catalogue that does not exist yet).
    // False, with the reason, for a text that is no catalogue: a zero byte,
    // or larger than the settings reader takes.
    bool Parse(const std::string& strText, std::string& strError);

    EWADirection GetDirection() const { return m_direction; }
    const char* GetFileName() const;
    const std::string& GetText() const { return m_strText; }
    // The text as parsed, or as last marked saved.
    const std::string& GetOriginalText() const { return m_strOriginal; }
    bool IsChanged() const { return m_strText != m_strOriginal; }
    void MarkSaved() { m_strOriginal = m_strText; }

    bool GetBuiltInApply(int nIndex) const { return m_model.m_arrBuiltIn[nIndex]; }
    const std::vector<CUserLibrary>& GetUserLibraries(EUserLibraryKind kind) const
    {
        return m_model.m_arrUser[static_cast<int>(kind)];
    }

    // Each edit returns false with the reason, leaving everything as it was.
    bool SetBuiltInApply(int nIndex, bool bApply, std::string& strError);
    bool SetUserApply(EUserLibraryKind kind, int nIndex, bool bApply, std::string& strError);
    // `strPath` as it is to be stored (see StoredPath).
    bool AddUserLibrary(EUserLibraryKind kind, const std::string& strPath, bool bApply, std::string& strError);
    bool RemoveUserLibrary(EUserLibraryKind kind, int nIndex, std::string& strError);

    // A full path as a catalogue stores it: inside `strWAFolder` written with
    // the token, so that the installation can move.
    static std::string StoredPath(const std::string& strFullPath, const std::string& strWAFolder);
    // A stored path as a file path: the token replaced by `strWAFolder`.
    static std::string ExpandedPath(const std::string& strStored, const std::string& strWAFolder);

private:
    struct CModel {
        bool m_arrBuiltIn[kBuiltInSwitches] = {true, true, true, true, true};
        std::vector<CUserLibrary> m_arrUser[2];

        bool operator==(const CModel& other) const;
    };

    CModel Read(const std::string& strText) const;
    std::string SectionName(const char* pszPrefix, int nNumber = 0) const;
    std::string UserSection(EUserLibraryKind kind, int nNumber) const;
    // Takes `strNewText` when it reads as `expected`.
    bool Commit(const std::string& strNewText, const CModel& expected, std::string& strError);

    EWADirection m_direction;
    std::string m_strText;
    std::string m_strOriginal;
    CModel m_model;
};
