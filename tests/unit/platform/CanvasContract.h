#pragma once
#include <functional>
#include <memory>
#include <ostream>
#include <string>

#include <gtest/gtest.h>

#include "platform/Canvas.h"
#include "platform/MemoryBitmap.h"

// One canvas implementation under test with the pixels it draws on. The contract suite in
// CanvasContract.cpp runs against every surface a test file instantiates it with: the software
// canvas everywhere, the GDI canvas under Windows.
class CanvasSurface {
public:
    virtual ~CanvasSurface() = default;
    virtual Canvas& Target() = 0;
    // The surface's pixels as 0x00RRGGBB, whatever the surface keeps in its unused byte.
    virtual MemoryBitmap Snapshot() = 0;
    virtual void Load(const MemoryBitmap& pixels) = 0;
};

struct SurfaceKind {
    std::string name;
    std::function<std::unique_ptr<CanvasSurface>(int width, int height)> make;
};

inline void PrintTo(const SurfaceKind& kind, std::ostream* out) { *out << kind.name; }

class CanvasContract : public ::testing::TestWithParam<SurfaceKind> {};

// Every pixel differs from its neighbours in all three channels, so a stray touch shows.
MemoryBitmap ContractPattern(int width, int height);
