// A settings file held as its physical lines, edited section by section so
// that every line the edit does not touch keeps its bytes, line ends
// included. The reading rules (what is a header, what is a key line) are
// those of CSettingsFile; the catalogue layer reads every edited text back
// through CSettingsFile before it accepts it.
#pragma once

#include <string>
#include <utility>
#include <vector>

class CCatalogueText {
public:
    using CKeyValues = std::vector<std::pair<std::string, std::string>>;

    explicit CCatalogueText(const std::string& strText = std::string());

    // The whole text, every line with its own line end.
    std::string GetText() const;

    // Physical index of the first line that reads as the header "[name]", or -1.
    int FindSection(const std::string& strName) const;

    // Sets the first key line "key = ..." of the section; without one, a key
    // line goes right after the header; without the section, the section is
    // added at the end.
    void SetValue(const std::string& strSection, const std::string& strKey, const std::string& strValue);

    // Adds a section with its key lines behind the last key line of section
    // `strAfter`, or at the end when that section is not there.
    void InsertSection(const std::string& strName, const CKeyValues& keys, const std::string& strAfter);

    // Removes the header, the section's lines up to its last key line and the
    // blank lines in front of the header; comments behind the last key line
    // stay with whatever follows. False when the section is not there.
    bool RemoveSection(const std::string& strName);

    // Rewrites the header of the section. False when it is not there.
    bool RenameSection(const std::string& strOld, const std::string& strNew);

private:
    struct CLine {
        std::string m_strText;
        std::string m_strEnd;  // "\r\n", "\n", or empty for a last line without one
    };

    // One past the last line of the section that starts at `nHeader`.
    std::size_t SectionEnd(std::size_t nHeader) const;
    // One past the last line in [nHeader, end) that is neither blank nor a comment.
    std::size_t LastContentEnd(std::size_t nHeader) const;
    void InsertLines(std::size_t nAt, const std::vector<std::string>& arrTexts);

    std::vector<CLine> m_arrLines;
    std::string m_strEol;  // for new lines: the file's first line end, else CR LF
};
