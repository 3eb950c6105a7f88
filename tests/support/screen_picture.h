// The screen as it is shown, read back through the screen's DC: saved as a BMP
// file for people to look at, and read pixel by pixel by tests that check what
// a user would see.
#pragma once

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/win_resource.h"

namespace tabulon::test {

class ScreenPicture {
public:
    // The whole screen now; false when it could not be read.
    bool Take() {
        width_ = GetSystemMetrics(SM_CXSCREEN);
        height_ = GetSystemMetrics(SM_CYSCREEN);
        if (width_ <= 0 || height_ <= 0) return false;
        const WindowDcScope screen(nullptr);
        if (!screen.dc()) return false;
        info_ = {};
        info_.biSize = sizeof(info_);
        info_.biWidth = width_;
        info_.biHeight = height_;  // bottom-up, as BMP files keep it
        info_.biPlanes = 1;
        info_.biBitCount = 24;
        info_.biCompression = BI_RGB;
        stride_ = (width_ * 3 + 3) & ~3;
        info_.biSizeImage = static_cast<DWORD>(stride_) * static_cast<DWORD>(height_);
        void* bits = nullptr;
        UniqueHbitmap dib(
            CreateDIBSection(screen.dc(), reinterpret_cast<BITMAPINFO*>(&info_), DIB_RGB_COLORS, &bits, nullptr, 0));
        UniqueMemoryDc memory(CreateCompatibleDC(screen.dc()));
        if (!dib || !memory || !bits) return false;
        {
            SelectObjectScope select(memory.get(), dib.get());
            if (!BitBlt(memory.get(), 0, 0, width_, height_, screen.dc(), 0, 0, SRCCOPY | CAPTUREBLT)) return false;
            GdiFlush();
        }
        const auto* first = static_cast<const uint8_t*>(bits);
        bits_.assign(first, first + info_.biSizeImage);
        return true;
    }

    int Width() const { return width_; }
    int Height() const { return height_; }
    // The colour at a screen point; black outside the picture.
    COLORREF At(int x, int y) const {
        if (x < 0 || y < 0 || x >= width_ || y >= height_ || bits_.empty()) return RGB(0, 0, 0);
        const uint8_t* p = &bits_[static_cast<size_t>(height_ - 1 - y) * stride_ + static_cast<size_t>(x) * 3];
        return RGB(p[2], p[1], p[0]);
    }

    bool SaveBmp(const std::wstring& path) const {
        if (bits_.empty()) return false;
        BITMAPFILEHEADER file{};
        file.bfType = 0x4D42;  // "BM"
        file.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
        file.bfSize = file.bfOffBits + info_.biSizeImage;
        FILE* out = _wfopen(path.c_str(), L"wb");
        if (!out) return false;
        bool ok = std::fwrite(&file, sizeof file, 1, out) == 1 && std::fwrite(&info_, sizeof info_, 1, out) == 1 &&
                  std::fwrite(bits_.data(), bits_.size(), 1, out) == 1;
        ok = std::fclose(out) == 0 && ok;
        return ok;
    }

private:
    int width_ = 0, height_ = 0, stride_ = 0;
    BITMAPINFOHEADER info_{};
    std::vector<uint8_t> bits_;
};

}  // namespace tabulon::test
