// The memory of a top-level window's picture, faulted in on two threads. Each time the window
// grows, Qt's backing store takes a new shared memory segment, and the first touch of each of
// its pages costs a page fault in the kernel: about 2000 of them, 5 ms on a small machine, at
// 1920x1080, all on the thread that paints. A window calls Prepare at the start of its paint
// event, which Qt sends it before its children paint: a new segment is read a page at a time,
// half of it on a second thread, and the painting after it finds its pages in place.
#pragma once

#include <QtGlobal>

class QWidget;

class CBackingStoreWarmup {
public:
    void Prepare(QWidget* pWindow);

private:
    // Below this a second thread costs more than it saves.
    static constexpr qsizetype kMinBytes = 1 << 20;
    // Reading one byte in each run of this many faults a page in; pages are at least as large.
    static constexpr qsizetype kPageBytes = 4096;

    static void Touch(const uchar* pBytes, qsizetype nBytes);

    const uchar* m_pBits = nullptr;
    qsizetype m_nBytes = 0;
};
