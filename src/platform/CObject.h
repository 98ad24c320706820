// Root of the framework-style classes (CTrack, CDrawTools): only a virtual destructor.
#pragma once

class CObject {
public:
    CObject() = default;
    CObject(const CObject&) = delete;
    CObject& operator=(const CObject&) = delete;
    virtual ~CObject() = default;
};
