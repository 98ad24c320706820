#include "CElevationTiles.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>
#include <system_error>
#include <utility>

namespace fs = std::filesystem;

namespace {
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

int WestOf(int nLon) {
    return nLon == -180 ? 179 : nLon - 1;
}

// The squares a position (longitude normal) lies in: its own first, then those whose north or
// east edge it lies on. Returns how many.
int SquaresAt(double lat, double lon, TileSquare squares[4]) {
    const TileSquare own = TileSquare::Of(lat, lon);
    int n = 0;
    squares[n++] = own;
    const bool bSouthEdge = lat == own.nLat && own.nLat > -90;
    const bool bWestEdge = lon == own.nLon;
    if (bSouthEdge)
        squares[n++] = {own.nLat - 1, own.nLon};
    if (bWestEdge)
        squares[n++] = {own.nLat, WestOf(own.nLon)};
    if (bSouthEdge && bWestEdge)
        squares[n++] = {own.nLat - 1, WestOf(own.nLon)};
    return n;
}

bool IsPosition(double lat, double lon) {
    return lat >= -90 && lat <= 90 && std::isfinite(lon);
}

// n positions evenly from first to last, both included.
std::vector<double> Spread(double first, double last, int n) {
    std::vector<double> values(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i)
        values[i] = n == 1 ? first : first + (last - first) * i / (n - 1);
    return values;
}

// One past the last index from begin whose value lies in the same degree as values[begin].
std::size_t RunOfDegree(const std::vector<double>& values, std::size_t begin) {
    const double degree = std::floor(values[begin]);
    std::size_t end = begin + 1;
    while (end < values.size() && std::floor(values[end]) == degree)
        ++end;
    return end;
}
} // namespace

std::string CElevationTiles::FolderProblem(const std::string& folder) {
    std::error_code ec;
    return fs::is_directory(folder, ec)
               ? std::string()
               : "not a folder of elevation tiles (it does not exist or is no folder)";
}

CElevationTiles::CElevationTiles(std::string folder) : m_folder(std::move(folder)) {
    Index();
}

bool CElevationTiles::IsCurrent() const {
    return ReadState() == m_state;
}

bool CElevationTiles::Refresh() {
    if (IsCurrent())
        return false;
    Index();
    return true;
}

std::size_t CElevationTiles::CachedTiles() const {
    return static_cast<std::size_t>(std::count_if(
        m_entries.begin(), m_entries.end(), [](const Entry& e) { return e.grid != nullptr; }));
}

// The tile-like files by name, so that the index and its first-come choice between two files of
// the same square do not depend on the order the folder lists them in.
CElevationTiles::FolderState CElevationTiles::ReadState() const {
    FolderState state;
    std::error_code ec;
    state.time = fs::last_write_time(m_folder, ec);
    state.bExists = !ec && fs::is_directory(m_folder, ec);
    if (!state.bExists)
        return state;
    for (fs::directory_iterator it(m_folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (!CTileFile::KindOf(name) || !it->is_regular_file(ec))
            continue;
        const std::uintmax_t nBytes = it->file_size(ec);
        const fs::file_time_type time = it->last_write_time(ec);
        if (!ec)
            state.files.push_back({name, nBytes, time});
    }
    std::sort(state.files.begin(), state.files.end(),
              [](const FileState& a, const FileState& b) { return a.name < b.name; });
    return state;
}

void CElevationTiles::Index() {
    m_entries.clear();
    m_squares.clear();
    m_skipped.clear();
    m_state = ReadState();
    m_entries.reserve(m_state.files.size());
    for (const FileState& file : m_state.files)
        IndexFile(fs::path(m_folder) / file.name);
}

// A square goes to the first file (by name) that covers it.
void CElevationTiles::IndexFile(const fs::path& path) {
    Entry entry(CTileFile(path.string(), *CTileFile::KindOf(path.filename().string())));
    if (!entry.file.Reason().empty()) {
        m_skipped.push_back({entry.file.FileName(), entry.file.Reason()});
        return;
    }
    bool bCovers = false;
    for (const TileSquare& square : entry.file.Squares())
        bCovers |= m_squares.emplace(square.Key(), m_entries.size()).second;
    if (bCovers)
        m_entries.push_back(std::move(entry));
    else
        m_skipped.push_back({entry.file.FileName(), "its squares have tiles already"});
}

std::shared_ptr<const CTileGrid> CElevationTiles::GridFor(TileSquare square) {
    const auto it = m_squares.find(square.Key());
    if (it == m_squares.end())
        return nullptr;
    Entry& entry = m_entries[it->second];
    if (!entry.grid && !entry.bFailed)
        Load(entry);
    entry.nLastUse = ++m_nUseClock;
    return entry.grid;
}

void CElevationTiles::Load(Entry& entry) {
    entry.grid = entry.file.Read();
    if (!entry.grid) {
        entry.bFailed = true;
        m_skipped.push_back({entry.file.FileName(), entry.file.Reason()});
        return;
    }
    EvictBeyondLimits(entry);
}

// A caller still holding an evicted grid keeps it alive until it lets go.
void CElevationTiles::EvictBeyondLimits(const Entry& keep) {
    for (;;) {
        std::size_t nTiles = 0;
        std::size_t nBytes = 0;
        Entry* pOldest = nullptr;
        for (Entry& e : m_entries) {
            if (!e.grid)
                continue;
            ++nTiles;
            nBytes += e.grid->Bytes();
            if (&e != &keep && (!pOldest || e.nLastUse < pOldest->nLastUse))
                pOldest = &e;
        }
        if ((nTiles <= kMaxCachedTiles && nBytes <= kMaxCachedBytes) || !pOldest)
            return;
        pOldest->grid.reset();
    }
}

double CElevationTiles::HeightAt(double lat, double lon) {
    if (!IsPosition(lat, lon))
        return kNaN;
    lon = NormalLongitude(lon);
    TileSquare squares[4];
    const int n = SquaresAt(lat, lon, squares);
    for (int i = 0; i < n; ++i)
        if (const std::shared_ptr<const CTileGrid> grid = GridFor(squares[i]))
            if (const double h = HeightIn(*grid, lat, lon); !std::isnan(h))
                return h;
    return kNaN;
}

// The tile of the square before first: a track stays in one tile for thousands of points.
void CElevationTiles::HeightsAt(std::span<const double> lat, std::span<const double> lon,
                                std::span<double> heights) {
    if (lon.size() != lat.size() || heights.size() != lat.size())
        throw std::invalid_argument("CElevationTiles::HeightsAt: arrays of different sizes");
    std::shared_ptr<const CTileGrid> grid;
    TileSquare last{-1000, -1000};
    for (std::size_t i = 0; i < lat.size(); ++i) {
        if (!IsPosition(lat[i], lon[i])) {
            heights[i] = kNaN;
            continue;
        }
        const TileSquare square = TileSquare::Of(lat[i], lon[i]);
        if (square != last) {
            last = square;
            grid = GridFor(square);
        }
        heights[i] = HeightWith(grid.get(), lat[i], NormalLongitude(lon[i]));
    }
}

// Square by square, so that each tile is looked up once and a box wider than the tiles kept in
// memory still reads each tile only once.
void CElevationTiles::GridHeights(const Box& box, int nRows, int nCols, std::span<float> heights) {
    if (nRows < 1 || nCols < 1 || heights.size() < static_cast<std::size_t>(nRows) * nCols)
        throw std::invalid_argument("CElevationTiles::GridHeights: no room for the grid");
    const double fEast = box.fEast < box.fWest ? box.fEast + 360 : box.fEast; // across 180
    const std::vector<double> lats = Spread(box.fSouth, box.fNorth, nRows);
    std::vector<double> lons = Spread(box.fWest, fEast, nCols);
    for (double& lon : lons)
        lon = NormalLongitude(lon);
    for (std::size_t r0 = 0, r1 = 0; r0 < lats.size(); r0 = r1) {
        r1 = RunOfDegree(lats, r0);
        for (std::size_t c0 = 0, c1 = 0; c0 < lons.size(); c0 = c1) {
            c1 = RunOfDegree(lons, c0);
            const std::shared_ptr<const CTileGrid> grid =
                GridFor(TileSquare::Of(lats[r0], lons[c0]));
            for (std::size_t r = r0; r < r1; ++r)
                for (std::size_t c = c0; c < c1; ++c)
                    heights[r * nCols + c] =
                        IsPosition(lats[r], lons[c])
                            ? static_cast<float>(HeightWith(grid.get(), lats[r], lons[c]))
                            : std::numeric_limits<float>::quiet_NaN();
        }
    }
}

// pGrid: the tile of the position's own square, already looked up (or null).
double CElevationTiles::HeightWith(const CTileGrid* pGrid, double lat, double lon) {
    if (pGrid) {
        const double row = pGrid->RowOf(lat);
        const double col = pGrid->ColumnOf(lon);
        if (pGrid->Contains(row, col))
            if (const double h = pGrid->Interpolate(row, col); !std::isnan(h))
                return h;
    }
    return HeightAt(lat, lon);
}

double CElevationTiles::HeightIn(const CTileGrid& grid, double lat, double lon) {
    const double row = grid.RowOf(lat);
    const double col = grid.ColumnOf(lon);
    return grid.Contains(row, col) ? grid.Interpolate(row, col) : SeamHeight(grid, row, col);
}

// Between the tile's last samples and its square's edge, up to one cell beyond the samples;
// the corners the tile lacks come from the neighbour.
double CElevationTiles::SeamHeight(const CTileGrid& grid, double row, double col) {
    if (row < -1 || row > grid.Rows() || col < -1 || col > grid.Cols())
        return kNaN;
    const int r0 = static_cast<int>(std::floor(row));
    const int c0 = static_cast<int>(std::floor(col));
    const auto corner = [&](int r, int c) {
        return grid.Contains(r, c) ? grid.Sample(r, c) : NeighbourSample(grid, r, c);
    };
    return CTileGrid::Bilinear(corner(r0, c0), corner(r0, c0 + 1), corner(r0 + 1, c0),
                               corner(r0 + 1, c0 + 1), col - c0, row - r0);
}

// The height at the place of sample (row, col) of grid's lattice, which lies beyond its samples:
// from the tile there, or without one the grid's nearest sample.
double CElevationTiles::NeighbourSample(const CTileGrid& grid, int row, int col) {
    const double lat = grid.LatOfRow(row);
    const double lon = NormalLongitude(grid.LonOfColumn(col));
    TileSquare squares[4];
    const int n = IsPosition(lat, lon) ? SquaresAt(lat, lon, squares) : 0;
    for (int i = 0; i < n; ++i) {
        const std::shared_ptr<const CTileGrid> other = GridFor(squares[i]);
        if (!other || other.get() == &grid)
            continue;
        const double r = other->RowOf(lat);
        const double c = other->ColumnOf(lon);
        if (other->Contains(r, c))
            return other->Interpolate(r, c);
    }
    return grid.Sample(std::clamp(row, 0, grid.Rows() - 1), std::clamp(col, 0, grid.Cols() - 1));
}
