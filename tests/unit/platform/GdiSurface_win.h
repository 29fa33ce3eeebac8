#pragma once
#include <windows.h>

#include <cstdint>
#include <memory>
#include <stdexcept>

#include "CanvasContract.h"
#include "win32/GdiCanvas.h"

// GDI drawing into a 32-bit top-down DIB section selected into a memory DC: the pixels are
// read and written directly, after GdiFlush has let GDI finish any batched drawing.
class GdiSurface final : public CanvasSurface {
public:
    GdiSurface(int width, int height) : width_(width), height_(height) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        dc_ = ::CreateCompatibleDC(nullptr);
        bitmap_ = ::CreateDIBSection(dc_, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
        if (!dc_ || !bitmap_ || !bits_) throw std::runtime_error("cannot make a DIB section");
        oldBitmap_ = ::SelectObject(dc_, bitmap_);
        canvas_ = std::make_unique<GdiCanvas>(dc_);
    }
    ~GdiSurface() override {
        canvas_.reset();
        ::SelectObject(dc_, oldBitmap_);
        ::DeleteObject(bitmap_);
        ::DeleteDC(dc_);
    }
    GdiSurface(const GdiSurface&) = delete;
    GdiSurface& operator=(const GdiSurface&) = delete;

    Canvas& Target() override { return *canvas_; }
    MemoryBitmap Snapshot() override {
        ::GdiFlush();
        MemoryBitmap result(width_, height_);
        for (int y = 0; y < height_; ++y) {
            for (int x = 0; x < width_; ++x) result.SetPixel(x, y, bits_[y * width_ + x] & 0xFFFFFFu);
        }
        return result;
    }
    void Load(const MemoryBitmap& pixels) override {
        ::GdiFlush();
        for (int y = 0; y < height_; ++y) {
            for (int x = 0; x < width_; ++x) bits_[y * width_ + x] = pixels.Pixel(x, y);
        }
    }

private:
    int width_, height_;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ oldBitmap_ = nullptr;
    uint32_t* bits_ = nullptr;
    std::unique_ptr<GdiCanvas> canvas_;
};
