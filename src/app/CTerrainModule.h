// The terrain module (the shared library with GDAL behind CTerrainService), loaded the first
// time the desktop program needs elevation tiles: GDAL and the libraries it pulls in take longer
// to load than the program takes to start.
#pragma once

#include "CTerrainService.h"

#include <QLibrary>
#include <QString>

#include <memory>

class CTerrainModule {
public:
    CTerrainModule() = default;
    CTerrainModule(const CTerrainModule&) = delete;
    CTerrainModule& operator=(const CTerrainModule&) = delete;
    ~CTerrainModule();

    // The service, the module loaded on the first call; nullptr when it cannot be loaded, with
    // the reason in Error().
    CTerrainService* Service();
    const QString& Error() const { return m_strError; }

private:
    // Installed: lib/vorlan beside bin; in the build tree, where the build put it.
    static QString ModulePath();

    QLibrary m_library;
    std::unique_ptr<CTerrainService> m_pService;
    bool m_bTried = false;
    QString m_strError;
};
