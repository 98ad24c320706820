// Invariants of a track that the fuzz targets check after every input.
#pragma once

class CTrack;

// Stops the run (a crash that libFuzzer records with its input) when the condition fails.
void FuzzCheck(bool bOk, const char* pszWhat);

// The count lies in 0..10000, and every stored value of points 0..count-1, the bounds included,
// is finite; the bounds are ordered and the legs are not negative.
void CheckTrackIsSound(const CTrack& track);
