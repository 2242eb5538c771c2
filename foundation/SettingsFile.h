// CSettingsFile: the reader of the sectioned text settings files the system
// keeps (the word-adjustment catalogues under Lumbra's configuration folder,
// the "intl" section of win.ini). It loads a whole file as an array of
// logical lines, tidies that array once, and answers look-ups of a value by
// section and key. It never writes: files in this format are prepared
// elsewhere (shipped, or written by Lumbra).
//
// The format, in the process's ANSI code page, lines ended by CR LF or LF:
//
//   [Section]                 a section header
//   Key = Value               a key line (compact mode: "Key=Value")
//   Key = {{Block}}           a multi-line value: the lines up to "<B End>",
//   <B Start>                 joined by CR LF; the start marker is optional,
//   first line                and inside the block "<<" reads as "<" and
//   second line               ">>" as ">", so a value line "<B End>" is
//   <B End>                   written "<<B End>>"
//   ; comment                 a comment
//                             a blank line
//
// Names, keys and markers compare byte for byte, case-sensitively.
//
// A CSettingsFile is a short-lived local object: construct, load one file,
// look up, destroy.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

class CSettingsFile {
public:
    // A file larger than this loads as an unreadable file does: empty. The
    // system's settings files are a few kilobytes; the bound keeps a wrong or
    // runaway file from exhausting a 32-bit host's memory and keeps every line
    // index well inside an int.
    static constexpr std::size_t kMaxFileBytes = 4u * 1024u * 1024u;

    // Compact mode matches keys as "key=" instead of "key = " (win.ini).
    explicit CSettingsFile(bool bCompact = false);
    virtual ~CSettingsFile();

    CSettingsFile(const CSettingsFile&) = default;
    CSettingsFile& operator=(const CSettingsFile&) = default;

    bool IsCompact() const { return m_bCompact; }
    void SetCompact(bool bCompact) { m_bCompact = bCompact; }

    // Empties the lines, reads the file and tidies the lines. The path is
    // passed to the C++ library as it is (bytes of the process code page).
    // A missing, unreadable or oversized file leaves the object empty.
    // Always returns true: an absent file is a normal state for the callers,
    // whose look-ups then answer their defaults.
    bool Load(const std::string& strPath);

    // The same from a file image already in memory (`nSize` bytes, which may
    // include zero bytes). Always returns true.
    bool LoadFromMemory(const char* pData, std::size_t nSize);

    void RemoveAll();

    // The logical lines after tidying.
    const std::vector<std::string>& GetLines() const { return m_arrLines; }

    // Index of the first line "[name]" (CR LF in the name read as four blanks,
    // the name trimmed), or -1; a name holding "=" finds nothing, as no header
    // holds one. `nLineCount` receives the number of lines after the header up
    // to the next blank line or header (0 when not found).
    int FindSection(const std::string& strSection, int& nLineCount) const;

    // Searches from line `nStart` up to the next section header for the first
    // line that begins with the key (CR LF read as four blanks, not trimmed)
    // and the separator. Returns its index and the rest of the line in
    // `strValue`; otherwise -1 and an empty `strValue`. A start outside the
    // lines finds nothing.
    int FindKey(int nStart, const std::string& strKey, std::string& strValue) const;

    // True with the stored value when the key is in the section; otherwise
    // false with `strValue` set to the default. `strDefault` and `strValue`
    // may be the same object.
    bool GetString(const std::string& strSection, const std::string& strKey,
                   const std::string& strDefault, std::string& strValue) const;

    // True when found, `bValue` then telling whether the value contains
    // "true" (byte-exact, so "True" is false); otherwise false with the default.
    bool GetBool(const std::string& strSection, const std::string& strKey,
                 bool bDefault, bool& bValue) const;

    // After trimming: longer than one character, "[" first, "]" last, no "=".
    static bool IsSectionHeader(const std::string& strLine);
    // The first character is ";".
    static bool IsComment(const std::string& strLine);

protected:
    bool m_bCompact;
    std::vector<std::string> m_arrLines;
};
