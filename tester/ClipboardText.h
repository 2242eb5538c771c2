// Texts on the clipboard in the two forms the tester moves: CF_TEXT for a
// byte text, CF_UNICODETEXT for a UTF-16 text. Each call opens the clipboard
// (owner `hOwner`) and closes it before it returns.
#pragma once

#include "TesterTransfer.h"

#include <windows.h>

// Reads the clipboard's text in the form `bUnicode` names into `text`. A
// byte text ends at its first zero byte (or the end of the block when it has
// none); a UTF-16 text is the block's units up to and including the first
// zero unit, the terminator counted as the control expects it. False, with
// `text` untouched, when the clipboard cannot be opened or holds no data in
// that form.
bool ReadClipboardText(HWND hOwner, bool bUnicode, CTesterText& text);

// Replaces the clipboard's content with `text` in its form: a shareable
// block of the text's size plus 2 bytes holding the text and zeros after it.
// The block is made before the clipboard is emptied, so a failure leaves the
// old content in place. False when any step failed.
bool WriteClipboardText(HWND hOwner, const CTesterText& text);
