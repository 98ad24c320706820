// vorlan-cli info --json: every statistic for scripts, in SI units with the unit in the key
// ("elapsed_time_s", "ascent_m"), each only where the record has the data for it.
#include "CTrackStatistics.h"
#include "CliCommands.h"
#include "UnitsAndEarth.h"

#include <nlohmann/json.hpp>

#include <cmath>
#include <cstdio>

namespace {
using Json = nlohmann::ordered_json;

// A value rounded to a useful number of decimals, and a whole number written as one.
Json Number(double value, int nDecimals = 3) {
    const double scale = std::pow(10.0, nDecimals);
    const double rounded = std::round(value * scale) / scale;
    if (rounded == std::trunc(rounded) && std::fabs(rounded) < 9e15)
        return static_cast<std::int64_t>(rounded);
    return rounded;
}

void PutIf(Json& json, const char* key, const std::optional<double>& value, int nDecimals = 3) {
    if (value)
        json[key] = Number(*value, nDecimals);
}

double Metres(double feet) {
    return feet / kFeetPerMetre;
}

Json DeviceJson(const DeviceTotals& device) {
    Json json = Json::object();
    PutIf(json, "distance_m", device.distanceM);
    PutIf(json, "moving_time_s", device.movingS);
    PutIf(json, "elapsed_time_s", device.elapsedS);
    PutIf(json, "ascent_m", device.ascentM);
    PutIf(json, "descent_m", device.descentM);
    PutIf(json, "calories_kcal", device.calories, 0);
    return json;
}

Json GradeJson(const GradeSpan& span) {
    return {{"grade_percent", Number(span.fGrade, 2)},
            {"from_m", Number(span.fStartMiles * kMetresPerMile)},
            {"to_m", Number(span.fEndMiles * kMetresPerMile)}};
}

void PutElevations(Json& json, const CTrackStatistics& s) {
    if (!s.m_bElevation)
        return;
    json["start_elevation_m"] = Number(Metres(s.m_fStartElev));
    json["end_elevation_m"] = Number(Metres(s.m_fEndElev));
    json["lowest_elevation_m"] = Number(Metres(s.m_fLowestElev));
    json["highest_elevation_m"] = Number(Metres(s.m_fHighestElev));
    json["ascent_m"] = Number(Metres(s.m_climb.fAscent));
    json["descent_m"] = Number(Metres(s.m_climb.fDescent));
    if (s.m_steepest.climb.bFound)
        json["steepest_climb"] = GradeJson(s.m_steepest.climb);
    if (s.m_steepest.descent.bFound)
        json["steepest_descent"] = GradeJson(s.m_steepest.descent);
}

void PutTimes(Json& json, const CTrackStatistics& s) {
    const CTimeStatistics& t = s.m_time;
    if (!t.HasTime())
        return;
    json["start_time"] = FormatIsoUtc(t.m_start);
    json["end_time"] = FormatIsoUtc(t.m_end);
    json["elapsed_time_s"] = Number(t.ElapsedS());
    json["moving_time_s"] = Number(t.m_fMovingS);
    PutIf(json, "average_speed_m_s", t.AverageSpeed());
    PutIf(json, "average_moving_speed_m_s", t.MovingSpeed());
    if (t.m_maxSpeedMps) {
        json["max_speed_m_s"] = Number(*t.m_maxSpeedMps);
        json["max_speed_from"] = t.m_bMaxSpeedFromDevice ? "device" : "positions";
    }
    if (t.ShowsPace())
        json["average_moving_pace_s_per_km"] = Number(1000.0 / *t.MovingSpeed(), 1);
    if (const std::optional<double> rate = t.ClimbRateFtPerHour(); rate && s.m_bElevation)
        json["climbing_rate_m_per_h"] = Number(Metres(*rate), 1);
}

void PutSensors(Json& json, const CTimeStatistics& t) {
    if (t.m_heartRate) {
        json["heart_rate_avg_bpm"] = Number(t.m_heartRate->fMean, 1);
        json["heart_rate_max_bpm"] = Number(t.m_heartRate->fMax, 1);
    }
    if (t.m_cadence)
        json["cadence_avg_rpm"] = Number(t.m_cadence->fMean, 1);
    if (t.m_power) {
        json["power_avg_w"] = Number(t.m_power->fMean, 1);
        json["power_max_w"] = Number(t.m_power->fMax, 1);
    }
    if (t.m_temperature) {
        json["temperature_min_c"] = Number(t.m_temperature->fMin, 1);
        json["temperature_max_c"] = Number(t.m_temperature->fMax, 1);
    }
}

Json LapsJson(const std::vector<StretchFigures>& laps) {
    Json json = Json::array();
    for (const StretchFigures& lap : laps) {
        Json one = {{"distance_m", Number(lap.fDistanceM)}};
        PutIf(one, "elapsed_time_s", lap.elapsedS);
        if (lap.ascentFt)
            one["ascent_m"] = Number(Metres(*lap.ascentFt));
        if (lap.descentFt)
            one["descent_m"] = Number(Metres(*lap.descentFt));
        PutIf(one, "average_speed_m_s", lap.speedMps);
        PutIf(one, "heart_rate_avg_bpm", lap.heartRateBpm, 1);
        json.push_back(one);
    }
    return json;
}

void PutTerrain(Json& json, const TerrainNumbers& terrain) {
    if (!std::isnan(terrain.ground.lowestM)) {
        json["terrain_lowest_m"] = Number(terrain.ground.lowestM);
        json["terrain_highest_m"] = Number(terrain.ground.highestM);
        json["terrain_ascent_m"] = Number(terrain.ground.ascentM);
        json["terrain_descent_m"] = Number(terrain.ground.descentM);
    }
    json["terrain_tiles_needed"] = terrain.ground.nTilesNeeded;
    json["terrain_missing_tiles"] = terrain.ground.missingTiles;
    if (!terrain.ground.message.empty())
        json["terrain_message"] = terrain.ground.message;
}

} // namespace

void PrintInfoJson(const std::string& path, const CTrackRecord& record, const CTrackStatistics& s,
                   const TerrainNumbers* pTerrain) {
    Json json;
    json["file"] = path;
    json["source"] = {{"file_name", record.m_source.fileName},
                      {"format", record.m_source.format},
                      {"creator", record.m_source.creator}};
    json["points"] = s.m_nPoints;
    json["chart_points"] = s.m_nChartPoints;
    json["channels"] = CTrackStatistics::Channels(record, true);
    json["notes"] = s.m_importNotes;
    json["distance_m"] = Number(s.m_fDistanceMiles * kMetresPerMile);
    if (s.m_device.Any())
        json["device"] = DeviceJson(s.m_device);
    PutTimes(json, s);
    PutElevations(json, s);
    if (s.m_nPoints > 0)
        json["bounds"] = {{"south_deg", Number(s.m_fMinLat, 7)},
                          {"north_deg", Number(s.m_fMaxLat, 7)},
                          {"west_deg", Number(s.m_fWestLon, 7)},
                          {"east_deg", Number(s.m_fEastLon, 7)}};
    PutSensors(json, s.m_time);
    if (!s.m_laps.empty())
        json["laps"] = LapsJson(s.m_laps);
    if (pTerrain)
        PutTerrain(json, *pTerrain);
    // Bytes that are not UTF-8 (a file name, a name in the file) are replaced, never refused.
    const std::string text = json.dump(2, ' ', false, Json::error_handler_t::replace);
    std::printf("%s\n", text.c_str());
}
