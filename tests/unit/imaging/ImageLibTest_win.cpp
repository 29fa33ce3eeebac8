#include <windows.h>

#include <gtest/gtest.h>

#include "GdiBitmapKind_win.h"
#include "ImageLibSuite.h"

// The whole pipeline on screen-compatible GDI bitmaps, the frame drawn with a real GDI pen.
INSTANTIATE_TYPED_TEST_SUITE_P(GdiBitmap, TrimPipeline, GdiBitmapKind);
