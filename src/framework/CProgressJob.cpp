#include "CProgressJob.h"

#include <QEventLoop>
#include <QProgressDialog>
#include <QTimer>

#include <algorithm>

#include <thread>
#include <utility>

namespace {
// The dialog's range: a job's bytes are scaled to it.
constexpr int kSteps = 1000;
} // namespace

CProgressJob::CProgressJob(QString strLabel, QWidget* pParent, int nShowAfterMs)
    : m_strLabel(std::move(strLabel)), m_pParent(pParent), m_nShowAfterMs(nShowAfterMs) {}

void CProgressJob::Run(const std::function<void(const Progress&)>& job) {
    QEventLoop loop;
    std::atomic<bool> bFinished{false};
    const Progress progress = [this](std::uint64_t nDone, std::uint64_t nTotal) {
        m_nDone = nDone;
        m_nTotal = nTotal;
        return !m_bCancelled;
    };
    std::thread worker([&] {
        job(progress);
        bFinished = true;
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });

    // First the job alone: the windows paint, the user's input waits.
    QTimer::singleShot(m_nShowAfterMs, &loop, &QEventLoop::quit);
    if (!bFinished)
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (!bFinished) {
        QProgressDialog dialog(m_strLabel, QStringLiteral("Cancel"), 0, kSteps, m_pParent);
        dialog.setWindowModality(Qt::ApplicationModal);
        dialog.setMinimumDuration(0);
        dialog.setAutoClose(false);
        dialog.setAutoReset(false);
        QObject::connect(&dialog, &QProgressDialog::canceled, &loop,
                         [this] { m_bCancelled = true; });
        QTimer refresh;
        QObject::connect(&refresh, &QTimer::timeout, &dialog, [this, &dialog] {
            // Escape and closing the dialog cancel too, without the button's signal.
            if (dialog.wasCanceled())
                m_bCancelled = true;
            // A job that cannot tell how much is left shows that it is busy.
            const std::uint64_t nTotal = m_nTotal;
            dialog.setRange(0, nTotal == 0 ? 0 : kSteps);
            if (nTotal != 0)
                dialog.setValue(static_cast<int>(m_nDone * std::uint64_t{kSteps} / nTotal));
        });
        refresh.start(kRefreshMs);
        dialog.show();
        while (!bFinished)
            loop.exec();
    }
    worker.join();
}
