// Runs a long job (an import) on a thread of its own while the program's windows go on painting,
// and shows its progress with a Cancel button once it has taken longer than half a second.
// Until then the user's input waits; then the progress dialog is modal. Used by the document's
// import.
#pragma once

#include <QString>

#include <atomic>
#include <cstdint>
#include <functional>

class QWidget;

class CProgressJob {
public:
    // The progress dialog shows once a job has run this long.
    static constexpr int kShowAfterMs = 500;
    // How often the dialog follows the job.
    static constexpr int kRefreshMs = 50;

    // What the job calls with how far it is (nDone of nTotal; nTotal 0 when not known): false
    // once the user has cancelled, and the job should stop.
    using Progress = std::function<bool(std::uint64_t nDone, std::uint64_t nTotal)>;

    // strLabel is the dialog's text ("Importing ride.gpx...").
    CProgressJob(QString strLabel, QWidget* pParent, int nShowAfterMs = kShowAfterMs);

    // Runs job on a thread of its own and returns once it has ended.
    void Run(const std::function<void(const Progress&)>& job);
    bool WasCancelled() const { return m_bCancelled; }

private:
    QString m_strLabel;
    QWidget* m_pParent;
    int m_nShowAfterMs;
    std::atomic<std::uint64_t> m_nDone{0};
    std::atomic<std::uint64_t> m_nTotal{0};
    std::atomic<bool> m_bCancelled{false};
};
