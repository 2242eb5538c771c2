// Text in OLE data transfer: a data object that offers one block of text as
// CF_TEXT, the drop source of a drag with the left button, and the reading
// of CF_TEXT from a data object someone else made.
//
// The text is bytes in whatever code page its owner uses (GBK or Big5 in the
// sample text editor); nothing here converts it.
//
//   CScopedComPtr<IDataObject> data = CreateTextDataObject(strSelected);
//   CScopedComPtr<IDropSource> source = CreateLeftButtonDropSource();
//   DWORD dwEffect = DROPEFFECT_NONE;
//   ::DoDragDrop(data.Get(), source.Get(), DROPEFFECT_COPY | DROPEFFECT_MOVE, &dwEffect);
#pragma once

#include "ScopedCom.h"

#include <ole2.h>
#include <windows.h>

#include <string>

// A data object holding a copy of `strText`. GetData hands out CF_TEXT in a
// new global block (the text and a terminating zero) each time; no other
// format, medium or aspect is offered. Null only when memory ran out.
CScopedComPtr<IDataObject> CreateTextDataObject(const std::string& strText);

// The drop source of a drag started with the left button: Escape or the
// right button cancels, releasing the left button drops, the system's
// cursors show the effect.
CScopedComPtr<IDropSource> CreateLeftButtonDropSource();

// True when `pData` says it has CF_TEXT in global memory.
bool HasTextData(IDataObject* pData);

// The CF_TEXT of `pData`. The block comes from another program: the text is
// read up to its first zero byte or the end of the block, whichever comes
// first, never past what GlobalSize reports. False when there is no such
// block or it cannot be read.
bool ReadTextData(IDataObject* pData, std::string& strText);
