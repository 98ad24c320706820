// Command, string and resource ids of the desktop application: the values its menus, toolbars,
// accelerators and string table are built from, with the framework's own ids. Used by every
// application class and the tests.
#pragma once

#include "FrameworkIds.h"
#include "WinDef.h"

// Resources.
constexpr UINT IDR_MAINFRAME = 128;
constexpr UINT IDR_VORLANTYPE = 129;
constexpr UINT IDR_ROTATEBAR = 130;
constexpr UINT IDD_ABOUTBOX = 100;

// The program's own commands.
constexpr UINT ID_PLOT_ELEVATION = 32771;
constexpr UINT ID_FILE_IMPORT = 32773;
constexpr UINT ID_PLOT_3D = 32774;
constexpr UINT ID_ZOOM_IN = 32775;
constexpr UINT ID_ZOOM_OUT = 32776;
constexpr UINT ID_ZOOM_RESTORE = 32777;
constexpr UINT ID_ROTATE_UP = 32778;
constexpr UINT ID_ROTATE_DOWN = 32779;
constexpr UINT ID_ROTATE_LEFT = 32781;
constexpr UINT ID_ROTATE_RIGHT = 32782;
constexpr UINT ID_ROTATE_RESTORE = 32783;
constexpr UINT ID_VIEW_SMOOTH_LINES = 32784;

// The numbers, the mouse and image export: properties, display units, image export.
constexpr UINT ID_FILE_PROPERTIES = 32800;
constexpr UINT ID_VIEW_UNITS_IMPERIAL = 32801;
constexpr UINT ID_VIEW_UNITS_METRIC = 32802;
constexpr UINT ID_FILE_EXPORT_IMAGE = 32803;
// The track itself out of the program: its record as GPX or CSV.
constexpr UINT ID_FILE_EXPORT_TRACK = 32804;
// The chart beside the 3D view in one window.
constexpr UINT ID_WINDOW_CHART_AND_3D = 32805;
// What the elevation chart's x axis shows.
constexpr UINT ID_VIEW_XAXIS_DISTANCE = 32806;
constexpr UINT ID_VIEW_XAXIS_ELAPSED = 32807;
constexpr UINT ID_VIEW_XAXIS_TIME_OF_DAY = 32808;
// What colours the track.
constexpr UINT ID_VIEW_COLOUR_NONE = 32809;
constexpr UINT ID_VIEW_COLOUR_GRADE = 32810;
constexpr UINT ID_VIEW_COLOUR_SPEED = 32811;
constexpr UINT ID_VIEW_COLOUR_HEART_RATE = 32812;
constexpr UINT ID_VIEW_COLOUR_ELEVATION = 32813;
// The graphs under the elevation chart, in the order of GraphKind.
constexpr UINT ID_VIEW_GRAPH_FIRST = 32814;
constexpr UINT ID_VIEW_GRAPH_LAST = ID_VIEW_GRAPH_FIRST + 5;
// The ground from elevation tiles.
constexpr UINT ID_VIEW_TERRAIN = 32820;
constexpr UINT ID_VIEW_ELEVATION_FOLDER = 32821;
// True Proportions: off, or one scale with a vertical exaggeration of 1, 2 or 5.
constexpr UINT ID_VIEW_PROPORTIONS_OFF = 32822;
constexpr UINT ID_VIEW_PROPORTIONS_1X = 32823;
constexpr UINT ID_VIEW_PROPORTIONS_2X = 32824;
constexpr UINT ID_VIEW_PROPORTIONS_5X = 32825;
// Track, Elevations from Terrain.
constexpr UINT ID_TRACK_ELEVATIONS_FROM_TERRAIN = 32826;
// The ground around the track as a model to print in 3D (binary STL).
constexpr UINT ID_FILE_EXPORT_MODEL = 32827;
