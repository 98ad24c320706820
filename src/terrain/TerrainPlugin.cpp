// The terrain module that the desktop program loads when it first needs elevation tiles.
#include "CTileTerrainService.h"

extern "C" __attribute__((visibility("default"))) CTerrainService* VorlanCreateTerrainService() {
    return new CTileTerrainService();
}
