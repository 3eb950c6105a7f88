// PNG through librsvg and cairo: the picture is the SVG itself, rasterised, so
// the PNG shows nothing the SVG does not.
#include <cairo.h>
#include <librsvg/rsvg.h>

#include <algorithm>
#include <cmath>
#include <memory>

#include "cli/svg_raster.h"
#include "core/errors.h"

namespace tabulon {

bool CanRasterizeSvg() {
    return true;
}

std::string RasterizeSvg(std::string_view svg, double width, double height) {
    GError* error = nullptr;
    std::unique_ptr<RsvgHandle, decltype(&g_object_unref)> handle(
        rsvg_handle_new_from_data(reinterpret_cast<const guint8*>(svg.data()), svg.size(), &error), g_object_unref);
    if (!handle) {
        std::string reason = error ? error->message : "unknown error";
        if (error) g_error_free(error);
        throw TabulonError("cannot read the picture: " + reason);
    }
    double svgWidth = 0, svgHeight = 0;
    if (!rsvg_handle_get_intrinsic_size_in_pixels(handle.get(), &svgWidth, &svgHeight) || svgWidth <= 0 ||
        svgHeight <= 0) {
        svgWidth = std::max(1.0, std::fabs(width));
        svgHeight = std::max(1.0, std::fabs(height));
    }
    // The SVG gives its size in millimetres; pixels follow the drawing units.
    const double units = std::max({std::fabs(width), std::fabs(height), 1.0});
    const double perUnit = std::min(8.0, 8000.0 / units);
    const double scale = perUnit * 25.4 / 96;  // librsvg counts a millimetre as 96 / 25.4 pixels
    const int pw = std::clamp(static_cast<int>(std::ceil(svgWidth * scale)), 1, 8000);
    const int ph = std::clamp(static_cast<int>(std::ceil(svgHeight * scale)), 1, 8000);

    std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)> surface(
        cairo_image_surface_create(CAIRO_FORMAT_ARGB32, pw, ph), cairo_surface_destroy);
    std::unique_ptr<cairo_t, decltype(&cairo_destroy)> cr(cairo_create(surface.get()), cairo_destroy);
    const RsvgRectangle viewport{0, 0, static_cast<double>(pw), static_cast<double>(ph)};
    if (!rsvg_handle_render_document(handle.get(), cr.get(), &viewport, &error)) {
        std::string reason = error ? error->message : "unknown error";
        if (error) g_error_free(error);
        throw TabulonError("cannot draw the picture: " + reason);
    }
    std::string png;
    const cairo_status_t status = cairo_surface_write_to_png_stream(
        surface.get(),
        [](void* closure, const unsigned char* data, unsigned int length) {
            static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
            return CAIRO_STATUS_SUCCESS;
        },
        &png);
    if (status != CAIRO_STATUS_SUCCESS) throw TabulonError("cannot write the picture as PNG");
    return png;
}

}  // namespace tabulon
