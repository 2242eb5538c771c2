// Hosting ActiveX controls on dialogs and windows through the platform's
// control container in atl.dll.
//
// After InitActiveXHosting, a child window of class kActiveXHostClass whose
// window text is a CLSID ("{...}") or a ProgID creates that control when the
// window is created, sites it, and activates it in place inside the window;
// the control lives as long as the window. This works for children of dialog
// templates too:
//
//   CONTROL "{945D922E-A5D1-4CB1-8D67-BED0263190A0}", IDC_KIVO, "AtlAxWin",
//           WS_CHILD | WS_VISIBLE, 10, 10, 42, 18
//
// A control that cannot be created (not registered, its start-up failed)
// leaves an empty container on some platforms and fails the window's
// creation on others; GetHostedControl tells which it was.
#pragma once

#include <objbase.h>
#include <windows.h>

constexpr wchar_t kActiveXHostClass[] = L"AtlAxWin";
constexpr char kActiveXHostClassName[] = "AtlAxWin";

// Loads the container once per process and registers its window class;
// false when the platform has no container. The threads that create
// container windows run OLE (CScopedOleInit) for the whole of their life.
bool InitActiveXHosting();

// The control hosted in `hContainer`, queried for `riid`; E_FAIL when the
// window hosts none (never created, or not a container window).
HRESULT GetHostedControl(HWND hContainer, REFIID riid, void** ppv);

// Makes `hContainer` host a new instance of `name` (CLSID text or ProgID),
// for containers created with an empty window text.
HRESULT CreateHostedControl(HWND hContainer, const wchar_t* name);

// Makes `hContainer` host `pControl`, an object created by other means (a
// class registered for one user where COM does not read those).
HRESULT AttachHostedControl(HWND hContainer, IUnknown* pControl);
