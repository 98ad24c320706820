// One print job as the scroll view's printing runs it: the printer, whether the print dialog is
// skipped (the shell's print request) or the job is a preview, and the page being drawn.
// Passed from CScrollView to the view's printing overrides.
#pragma once

#include "WinDef.h"

class QPrinter;

struct CPrintInfo {
    QPrinter* m_pPrinter = nullptr;
    bool m_bDirect = false;  // print without a dialog
    bool m_bPreview = false; // drawing a preview page
    // No page count is set, so every job is the one page 1.
    UINT m_nCurPage = 1;
};
