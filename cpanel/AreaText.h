// The text of the sample text editor's areas as bytes of the area's display
// language (GBK or Big5), whatever the system's code page.
//
// An area holds the bytes of a file or of the clipboard unchanged; its
// language only decides how they show. On the NT family the edit control
// keeps UTF-16, so the bytes go in decoded with the language's code page and
// come out encoded with it again. Bytes that code page cannot decode (a
// GBK-only sequence shown as Big5, a stray lead byte, a zero byte) travel as
// the private characters U+F0000 + byte, which no decoded character is, so
// that any byte string comes back exactly as it went in, across a switch of
// language too.
// The Windows 95 family has no wide edit controls: there the bytes go
// through the ANSI messages as they are.
#pragma once

#include <windows.h>

#include <string>

// `bytes` as the area's UTF-16 in `nCodePage`, undecodable bytes escaped.
std::wstring DecodeAreaBytes(const std::string& bytes, UINT nCodePage);
// The inverse: escapes back to their bytes, every other character in
// `nCodePage` ("?" for one the code page lacks).
std::string EncodeAreaText(const std::wstring& text, UINT nCodePage);

// The whole text and the selection of an edit control as bytes.
std::string GetAreaBytes(HWND hEdit, UINT nCodePage);
// False unless the edit holds the whole text afterwards.
bool SetAreaBytes(HWND hEdit, const std::string& bytes, UINT nCodePage);
std::string GetAreaSelectionBytes(HWND hEdit, UINT nCodePage);
// The bytes of the edit's units `nStart` up to `nEnd` (its selection's units).
std::string GetAreaRangeBytes(HWND hEdit, int nStart, int nEnd, UINT nCodePage);
// Replaces the selection by `bytes` as typing would (undoable, EN_CHANGE sent).
void ReplaceAreaSelection(HWND hEdit, const std::string& bytes, UINT nCodePage);
// The length of the text, in the units the edit's selection counts.
int GetAreaLength(HWND hEdit);

// Puts `bytes` on the clipboard as CF_TEXT, with their UTF-16 in
// `nCodePage` beside them as CF_UNICODETEXT so that other programs read
// the same characters whatever the system's code page; the blocks are made
// before the clipboard is emptied. False when the clipboard cannot be opened.
bool WriteAreaClipboard(HWND hOwner, const std::string& bytes, UINT nCodePage);

// How many characters of `text` `nCodePage` cannot write: encoded, each of
// them would come out as "?" or as another character, and be lost. A
// surrogate pair counts once; escaped bytes go back as they came and are
// not counted.
size_t CountUnencodableCharacters(const std::wstring& text, UINT nCodePage);
// The same for an edit control's text (none on the Windows 95 family, whose
// areas hold the bytes themselves).
size_t CountAreaUnencodable(HWND hEdit, UINT nCodePage);
