#include "CTerrainModule.h"

#include <QCoreApplication>
#include <QFileInfo>

CTerrainModule::~CTerrainModule() {
    // The service's code lives in the module: it goes first.
    m_pService.reset();
}

CTerrainService* CTerrainModule::Service() {
    if (m_bTried)
        return m_pService.get();
    m_bTried = true;
    m_library.setFileName(ModulePath());
    if (!m_library.load()) {
        m_strError = m_library.errorString();
        return nullptr;
    }
    const auto create =
        reinterpret_cast<CreateTerrainServiceFn>(m_library.resolve(kCreateTerrainServiceName));
    if (!create) {
        m_strError = m_library.errorString();
        return nullptr;
    }
    m_pService.reset(create());
    return m_pService.get();
}

QString CTerrainModule::ModulePath() {
    const QString installed = QCoreApplication::applicationDirPath() +
                              QStringLiteral("/../lib/vorlan/libvorlan_terrain_plugin.so");
    if (QFileInfo::exists(installed))
        return installed;
    return QStringLiteral(VORLAN_TERRAIN_MODULE);
}
