#include "CliDocument.h"

#include "CArchive.h"
#include "CPlot.h"
#include "CTrack.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace {
std::string Reason() {
    return std::strerror(errno);
}

bool ViewValuesValid(const CPlot& plot) {
    return std::isfinite(plot.m_fZoom) && plot.m_fZoom > 0.0f && plot.m_fZoom <= 16.0f &&
           std::isfinite(plot.m_fAzimuth) && std::isfinite(plot.m_fElevation);
}
} // namespace

bool IsDocumentPath(const std::string& path) {
    if (path.size() < 4)
        return false;
    std::string ext = path.substr(path.size() - 4);
    for (char& c : ext)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext == ".vrl";
}

bool ImportTrack(const std::string& path, CTrack& track, std::string& error) {
    errno = 0;
    if (!track.ImportFile(path.c_str())) {
        error = path + ": cannot open file: " + Reason();
        return false;
    }
    return true;
}

bool LoadDocument(const std::string& path, CTrack& track, CPlot& plot, std::string& error) {
    std::FILE* fp = std::fopen(path.c_str(), "rb");
    if (!fp) {
        error = path + ": cannot open file: " + Reason();
        return false;
    }
    // A rejected track leaves the arguments as they were; the view values are checked before
    // they are taken.
    CArchive ar(fp, CArchive::load);
    CPlot view;
    const bool ok = track.Load(ar);
    if (ok)
        view.LoadView(ar);
    std::fclose(fp);
    if (!ok || !ViewValuesValid(view)) {
        error = path + ": not a Vorlan document (unexpected size or values)";
        return false;
    }
    plot.m_fZoom = view.m_fZoom;
    plot.m_fAzimuth = view.m_fAzimuth;
    plot.m_fElevation = view.m_fElevation;
    return true;
}

bool WriteFileAtomically(const std::string& path, const std::string& data, std::string& error) {
    std::string tmp = path + ".XXXXXX";
    const int fd = mkstemp(tmp.data());
    if (fd < 0) {
        error = path + ": cannot write file: " + Reason();
        return false;
    }
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);
    std::FILE* fp = fdopen(fd, "wb");
    if (!fp) {
        error = path + ": cannot write file: " + Reason();
        close(fd);
        std::remove(tmp.c_str());
        return false;
    }
    errno = 0;
    const bool written = std::fwrite(data.data(), 1, data.size(), fp) == data.size();
    const bool closed = std::fclose(fp) == 0;
    if (!written || !closed || std::rename(tmp.c_str(), path.c_str()) != 0) {
        error = path + ": cannot write file: " + (errno ? Reason() : std::string("write failed"));
        std::remove(tmp.c_str());
        return false;
    }
    return true;
}

bool SaveDocument(const std::string& path, const CTrack& track, const CPlot& plot,
                  std::string& error) {
    char* pBytes = nullptr;
    std::size_t nBytes = 0;
    std::FILE* fp = open_memstream(&pBytes, &nBytes);
    if (!fp) {
        error = path + ": cannot write file: " + Reason();
        return false;
    }
    CArchive ar(fp, CArchive::store);
    track.Save(ar);
    plot.SaveView(ar);
    const bool stored = ar.Flush();
    std::fclose(fp);
    const std::string data(pBytes, nBytes);
    std::free(pBytes);
    if (!stored) {
        error = path + ": cannot write file: out of memory";
        return false;
    }
    return WriteFileAtomically(path, data, error);
}
