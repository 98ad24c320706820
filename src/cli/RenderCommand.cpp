// vorlan-cli render: draws the elevation chart or the 3D view of a track as an SVG document,
// laid out for a window of a given client size or for a printed page, or makes a 3D-printable
// model of the ground under it (--plot stl, in the companion program that reads the tiles).
#include "CliCommands.h"

#include "CAtomicFile.h"
#include "CDrawTools.h"
#include "CPlot.h"
#include "CSvgDC.h"
#include "CTerrainModel.h"
#include "CTrack.h"
#include "CTrackRecord.h"
#include "CViewValues.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>

namespace {
const char kRenderUsage[] =
    "render IN -o OUT.svg --plot elevation|3d [--size WxH] [--dpi N] [--zoom Z] "
    "[--azimuth A] [--elevation E] [--printer] [--units metric|imperial] [--dem DIR]\n"
    "       vorlan-cli render IN -o OUT.stl --plot stl [--dem DIR] [--exaggeration N] [--base MM]";
const char kStlPlot[] = "stl";
// "-o -" writes the drawing to standard output.
const char kStdout[] = "-";

// --zoom takes what the zoom commands can reach.
static_assert(CViewValues::kMinZoom == CPlot::kMinZoomOut / CPlot::kZoomStep);

constexpr long kMaxSize = 20000;
constexpr long kMaxDpi = 10000;

struct RenderOptions {
    std::string in;
    std::string out;
    std::string plot;
    int cx = 800;
    int cy = 600;
    int dpi = 96;
    bool printer = false;
    std::optional<float> zoom;
    std::optional<float> azimuth;
    std::optional<float> elevation;
    Units units = Units::imperial;
    // --plot stl only
    std::string demFolder;
    std::optional<double> exaggeration;
    std::optional<double> baseMm;
};

int Usage(const std::string& problem) {
    if (!problem.empty())
        std::fprintf(stderr, "vorlan-cli: render: %s\n", problem.c_str());
    std::fprintf(stderr, "Usage: vorlan-cli %s\n", kRenderUsage);
    return 2;
}

bool ParseLong(const std::string& text, long lo, long hi, long& value) {
    if (text.empty())
        return false;
    char* end = nullptr;
    errno = 0;
    value = std::strtol(text.c_str(), &end, 10);
    return errno == 0 && *end == '\0' && value >= lo && value <= hi;
}

bool ParseFloat(const std::string& text, float& value) {
    if (text.empty())
        return false;
    char* end = nullptr;
    const double v = std::strtod(text.c_str(), &end);
    value = static_cast<float>(v);
    return *end == '\0' && std::isfinite(value);
}

// "0.1" for the limits in messages.
std::string Decimal(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

// A number from lo to hi into value; false for anything else.
bool ParseWithin(const std::string& text, double lo, double hi, std::optional<double>& value) {
    float f = 0;
    if (!ParseFloat(text, f) || f < lo || f > hi)
        return false;
    value = f;
    return true;
}

// The model's folder: --dem, else $VORLAN_DEM. Its options make no sense for a drawing.
std::string CheckModelOptions(RenderOptions& opt) {
    if (opt.plot == "3d" && !opt.exaggeration && !opt.baseMm)
        return std::string();
    if (opt.plot != kStlPlot)
        return opt.demFolder.empty() && !opt.exaggeration && !opt.baseMm
                   ? std::string()
                   : "--dem is for --plot 3d and stl, --exaggeration and --base for stl only";
    if (const char* pszEnv = std::getenv("VORLAN_DEM"); opt.demFolder.empty() && pszEnv)
        opt.demFolder = pszEnv;
    return opt.demFolder.empty()
               ? "--plot stl needs the folder of the elevation tiles (--dem DIR or $VORLAN_DEM)"
               : std::string();
}

// "800x600": both sides from 1 to kMaxSize.
bool ParseSize(const std::string& text, int& cx, int& cy) {
    const std::size_t x = text.find_first_of("xX");
    long w, h;
    if (x == std::string::npos || !ParseLong(text.substr(0, x), 1, kMaxSize, w) ||
        !ParseLong(text.substr(x + 1), 1, kMaxSize, h))
        return false;
    cx = static_cast<int>(w);
    cy = static_cast<int>(h);
    return true;
}

// Returns an empty string when the arguments are complete and valid, else what is wrong.
std::string ParseOptions(const std::vector<std::string>& args, RenderOptions& opt) {
    bool bOptionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (!bOptionsEnded && a == kOptionsEnd) {
            bOptionsEnded = true;
            continue;
        }
        if (bOptionsEnded || a.size() < 2 || a[0] != '-') {
            if (!opt.in.empty())
                return "more than one input file";
            opt.in = a;
            continue;
        }
        const bool takesValue = a == "-o" || a == "--plot" || a == "--size" || a == "--dpi" ||
                                a == "--zoom" || a == "--azimuth" || a == "--elevation" ||
                                a == "--units" || a == "--dem" || a == "--exaggeration" ||
                                a == "--base";
        if (takesValue && i + 1 >= args.size())
            return a + " needs a value";
        const std::string value = takesValue ? args[++i] : std::string();
        float f = 0;
        long n = 0;
        if (a == "-o") {
            opt.out = value;
        } else if (a == "--plot") {
            if (value != "elevation" && value != "3d" && value != kStlPlot)
                return "--plot must be elevation, 3d or stl";
            opt.plot = value;
        } else if (a == "--size") {
            if (!ParseSize(value, opt.cx, opt.cy))
                return "--size must be WxH with W and H from 1 to " + std::to_string(kMaxSize);
        } else if (a == "--dpi") {
            if (!ParseLong(value, 1, kMaxDpi, n))
                return "--dpi must be a whole number from 1 to " + std::to_string(kMaxDpi);
            opt.dpi = static_cast<int>(n);
        } else if (a == "--zoom") {
            if (!ParseFloat(value, f) || f < CViewValues::kMinZoom || f > CViewValues::kMaxZoom)
                return "--zoom must be a number from 0.505 to 16";
            opt.zoom = f;
        } else if (a == "--azimuth" || a == "--elevation") {
            if (!ParseFloat(value, f))
                return a + " must be a number of degrees";
            (a == "--azimuth" ? opt.azimuth : opt.elevation) = f;
        } else if (a == "--units") {
            if (!ParseUnits(value, opt.units))
                return "--units must be metric or imperial";
        } else if (a == "--dem") {
            opt.demFolder = value;
        } else if (a == "--exaggeration") {
            if (!ParseWithin(value, CTerrainModel::kMinExaggeration,
                             CTerrainModel::kMaxExaggeration, opt.exaggeration))
                return "--exaggeration must be a number from " +
                       Decimal(CTerrainModel::kMinExaggeration) + " to " +
                       Decimal(CTerrainModel::kMaxExaggeration);
        } else if (a == "--base") {
            if (!ParseWithin(value, CTerrainModel::kMinBaseMm, CTerrainModel::kMaxBaseMm,
                             opt.baseMm))
                return "--base must be a number of millimetres from " +
                       Decimal(CTerrainModel::kMinBaseMm) + " to " +
                       Decimal(CTerrainModel::kMaxBaseMm);
        } else if (a == "--printer") {
            opt.printer = true;
        } else {
            return UnknownOption(a);
        }
    }
    if (opt.in.empty())
        return "no input file";
    if (opt.out.empty())
        return "no output file (-o OUT.svg)";
    if (opt.plot.empty())
        return "no plot (--plot elevation, 3d or stl)";
    return CheckModelOptions(opt);
}

// A document file brings its zoom and view angles; the options given override them.
CFileResult ReadInput(const RenderOptions& opt, CTrack& track, CPlot& plot,
                      CMapSourceFormat& format) {
    CViewValues view;
    CFileResult r = ReadTrackOrDocument(opt.in, track, view, format);
    plot.m_units = opt.units;
    plot.m_fZoom = opt.zoom.value_or(view.m_fZoom);
    plot.m_fAzimuth = opt.azimuth.value_or(view.m_fAzimuth);
    plot.m_fElevation = opt.elevation.value_or(view.m_fElevation);
    return r;
}

CFileResult WriteOutput(const std::string& out, const std::string& svg) {
    if (out != kStdout)
        return CAtomicFile::Replace(out, svg);
    if (std::fwrite(svg.data(), 1, svg.size(), stdout) != svg.size() || std::fflush(stdout) != 0)
        return CFileResult::SystemFailure(CFileResult::Fault::write, "standard output", errno);
    return CFileResult();
}

std::string Render(const RenderOptions& opt, const CTrack& track, CPlot& plot,
                   const CDrawTools& tools) {
    const RECT client{0, 0, opt.cx, opt.cy};
    CSvgDC dc(opt.dpi, opt.dpi, opt.cx, opt.cy, opt.printer ? 1 : 0,
              opt.printer ? nullptr : &client);
    if (opt.plot == "3d") {
        plot.Fill3D(track);
        plot.Draw3D(&dc, tools);
    } else {
        plot.FillElevation(track);
        plot.Draw2D(&dc, tools);
    }
    return dc.Document(plot.m_sizeTotal);
}

// The terrain model is made in the companion program; vorlan-cli itself hands the run over.
int RenderModel(const RenderOptions& opt, CMapSourceFormat& format) {
    const auto pTrack = std::make_unique<CTrack>();
    CTrackRecord record;
    CViewValues view;
    if (Report(ReadTrackOrDocument(opt.in, *pTrack, record, view, format)) != 0)
        return 1;
    if (record.Size() == 0)
        return Report(CFileResult::Failure(CFileResult::Fault::track, opt.in,
                                           opt.in + ": no track points to make a model of"));
    const CTerrainModel::Options defaults;
    std::string stl;
    if (Report(MakeTerrainModel(opt.demFolder, record,
                                opt.exaggeration.value_or(defaults.exaggeration),
                                opt.baseMm.value_or(defaults.baseMm), stl)) != 0)
        return 1;
    return Report(WriteOutput(opt.out, stl));
}

} // namespace

int RunRender(const std::vector<std::string>& args, CMapSourceFormat& format) {
    RenderOptions opt;
    const std::string problem = ParseOptions(args, opt);
    if (!problem.empty())
        return Usage(problem);
    if (opt.out != kStdout && (Report(CAtomicFile::CheckNotInput(opt.in, opt.out)) != 0 ||
                               Report(CAtomicFile::CheckNotReadOnly(opt.out)) != 0))
        return 1;
    if (opt.plot == kStlPlot)
        return RenderModel(opt, format);

    const CDrawTools tools;
    const auto pTrack = std::make_unique<CTrack>(); // 320 KB of arrays: never on the stack
    CPlot plot;
    if (Report(ReadInput(opt, *pTrack, plot, format)) != 0)
        return 1;
    // The 3D view with the ground from the tiles (in the companion program).
    std::unique_ptr<CTerrainService> pTerrain;
    std::unique_ptr<CGroundHeights> pGround;
    if (!opt.demFolder.empty()) {
        std::string reason;
        pTerrain = OpenTerrain(opt.demFolder, reason);
        if (!pTerrain) {
            std::fprintf(stderr, "vorlan-cli: render: %s\n", reason.c_str());
            return 1;
        }
        pGround = pTerrain->TrackGround(*pTrack);
        plot.m_pGround = pGround.get();
    }
    return Report(WriteOutput(opt.out, Render(opt, *pTrack, plot, tools)));
}
