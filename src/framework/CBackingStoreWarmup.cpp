#include "CBackingStoreWarmup.h"

#include <QBackingStore>
#include <QImage>
#include <QWidget>

#include <system_error>
#include <thread>

void CBackingStoreWarmup::Prepare(QWidget* pWindow) {
    QBackingStore* pStore = pWindow->backingStore();
    QPaintDevice* pDevice = pStore ? pStore->paintDevice() : nullptr;
    if (!pDevice || pDevice->devType() != QInternal::Image)
        return;
    const auto* pImage = static_cast<const QImage*>(pDevice);
    const uchar* pBits = pImage->constBits();
    const qsizetype nBytes = pImage->sizeInBytes();
    if (pBits == m_pBits && nBytes == m_nBytes)
        return;
    m_pBits = pBits;
    m_nBytes = nBytes;
    if (!pBits || nBytes < kMinBytes)
        return;
    const qsizetype nHalf = nBytes / 2;
    try {
        std::thread second(Touch, pBits + nHalf, nBytes - nHalf);
        Touch(pBits, nHalf);
        second.join();
    } catch (const std::system_error&) {
        // No thread to be had: the painting faults the pages in as it goes.
    }
}

void CBackingStoreWarmup::Touch(const uchar* pBytes, qsizetype nBytes) {
    const volatile uchar* p = pBytes;
    for (qsizetype i = 0; i < nBytes; i += kPageBytes)
        static_cast<void>(p[i]);
}
