#include "paint/paint_win32.h"

#include <memory>
#include <type_traits>

#include "text/utf8.h"
#include "win/gdiplus_win32.h"

namespace paint {
namespace {

namespace gp = Gdiplus::DllExports;

// Deletes a GDI+ object with its own flat-API function.
template <auto Delete>
struct GdipDeleter {
    template <typename T>
    void operator()(T* object) const {
        Delete(object);
    }
};
using GraphicsPtr = std::unique_ptr<Gdiplus::GpGraphics, GdipDeleter<gp::GdipDeleteGraphics>>;
using PathPtr = std::unique_ptr<Gdiplus::GpPath, GdipDeleter<gp::GdipDeletePath>>;
using BrushPtr = std::unique_ptr<Gdiplus::GpSolidFill, GdipDeleter<gp::GdipDeleteBrush>>;
using PenPtr = std::unique_ptr<Gdiplus::GpPen, GdipDeleter<gp::GdipDeletePen>>;
using AttributesPtr = std::unique_ptr<Gdiplus::GpImageAttributes, GdipDeleter<gp::GdipDisposeImageAttributes>>;

struct GdiObjectDeleter {
    void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
using FontPtr = std::unique_ptr<std::remove_pointer_t<HFONT>, GdiObjectDeleter>;
using BrushHandle = std::unique_ptr<std::remove_pointer_t<HBRUSH>, GdiObjectDeleter>;

class PaintScope {
  public:
    explicit PaintScope(HWND window) : window_(window) { hdc_ = BeginPaint(window, &ps_); }
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;
    ~PaintScope() { EndPaint(window_, &ps_); }
    HDC hdc() const { return hdc_; }

  private:
    HWND window_;
    PAINTSTRUCT ps_{};
    HDC hdc_ = nullptr;
};

// Puts the device context's own font back when the paint is done with it.
class FontSelection {
  public:
    FontSelection(HDC hdc, HFONT font) : hdc_(hdc), previous_(SelectObject(hdc, font)) {}
    FontSelection(const FontSelection&) = delete;
    FontSelection& operator=(const FontSelection&) = delete;
    ~FontSelection() {
        if (previous_ && previous_ != HGDI_ERROR) SelectObject(hdc_, previous_);
    }

  private:
    HDC hdc_;
    HGDIOBJ previous_;
};

FontPtr make_font(std::int32_t pixel_height, bool semibold) {
    LOGFONTW lf{};
    lf.lfHeight = -pixel_height;  // character height, not cell height
    lf.lfWeight = semibold ? 600 : 400;
    lf.lfQuality = CLEARTYPE_QUALITY;
    constexpr wchar_t FACE[] = L"Segoe UI Variable Text";
    static_assert(sizeof FACE <= sizeof lf.lfFaceName);
    std::copy(std::begin(FACE), std::end(FACE), lf.lfFaceName);
    return FontPtr(CreateFontIndirectW(&lf));
}

struct Fonts {
    FontPtr heading, body, small;
    HFONT get(FontSlot slot) const {
        switch (slot) {
            case FontSlot::Heading: return heading.get();
            case FontSlot::Body: return body.get();
            case FontSlot::Small: return small.get();
        }
        return body.get();
    }
};

Fonts make_fonts(const FontSet& set, std::uint32_t dpi) {
    auto font = [&](const FontSpec& spec) { return make_font(scale(spec.design_height, dpi), spec.semibold); };
    return Fonts{font(set.heading), font(set.body), font(set.small)};
}

RECT to_rect(PixelRect r) { return RECT{r.left, r.top, r.right, r.bottom}; }

// GDI+ joins the four corner arcs with the sides.
PathPtr rounded_path(const RoundedBox& b) {
    Gdiplus::GpPath* raw = nullptr;
    if (gp::GdipCreatePath(Gdiplus::FillModeAlternate, &raw) != Gdiplus::Ok) return nullptr;
    PathPtr path(raw);
    const float d = 2 * b.radius;
    gp::GdipAddPathArc(raw, b.x, b.y, d, d, 180, 90);
    gp::GdipAddPathArc(raw, b.x + b.width - d, b.y, d, d, 270, 90);
    gp::GdipAddPathArc(raw, b.x + b.width - d, b.y + b.height - d, d, d, 0, 90);
    gp::GdipAddPathArc(raw, b.x, b.y + b.height - d, d, d, 90, 90);
    gp::GdipClosePathFigure(raw);
    return path;
}

class Executor {
  public:
    Executor(HDC hdc, Gdiplus::GpGraphics* graphics, const Fonts& fonts)
        : hdc_(hdc), graphics_(graphics), fonts_(fonts) {}

    void operator()(const RectFill& op) const {
        BrushHandle brush(CreateSolidBrush(op.colour & 0xFFFFFF));
        if (!brush) return;
        const RECT r = to_rect(op.rect);
        FillRect(hdc_, &r, brush.get());
    }

    void operator()(const TextRun& op) const {
        const std::u16string text = text::utf8_to_utf16(op.text);
        SelectObject(hdc_, fonts_.get(op.font));
        SetTextColor(hdc_, op.colour & 0xFFFFFF);
        if (op.character_extra != 0) SetTextCharacterExtra(hdc_, op.character_extra);
        RECT r = to_rect(op.rect);
        constexpr UINT FIXED = DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS;
        static_assert(FIXED == 0x8824);
        DrawTextW(hdc_, reinterpret_cast<const wchar_t*>(text.data()), static_cast<int>(text.size()), &r,
                  FIXED | static_cast<UINT>(op.format));
        if (op.character_extra != 0) SetTextCharacterExtra(hdc_, 0);
    }

    void operator()(const Chip& op) const {
        const RoundedBox box = rounded_box(op.rect, op.radius);
        fill(box, PALETTE.surface);
        outline(box, PALETTE.line);
    }

    void operator()(const RoundedFill& op) const { fill(op.box, op.colour); }
    void operator()(const RoundedOutline& op) const { outline(op.box, op.colour); }

    void operator()(const Logo& op) const {
        for (const LogoPart& part : logo_parts(op.x, op.y, op.size)) fill(part.box, part.colour);
    }

    void operator()(const Image& op) const {
        Gdiplus::GpImage* image = win::to_image(op.image);
        if (!image) return;
        UINT width = 0, height = 0;
        gp::GdipGetImageWidth(image, &width);
        gp::GdipGetImageHeight(image, &height);
        Gdiplus::GpImageAttributes* raw = nullptr;
        gp::GdipCreateImageAttributes(&raw);
        const AttributesPtr attributes(raw);
        // Flipped tiling keeps the edge pixels from blending with nothing.
        if (attributes) gp::GdipSetImageAttributesWrapMode(raw, Gdiplus::WrapModeTileFlipXY, 0, FALSE);
        // The half-pixel offset suits scaled images only; the outlines drawn
        // after this one sit on pixel centres as they are.
        Gdiplus::PixelOffsetMode offset = Gdiplus::PixelOffsetModeDefault;
        gp::GdipGetPixelOffsetMode(graphics_, &offset);
        gp::GdipSetInterpolationMode(graphics_, Gdiplus::InterpolationModeHighQualityBicubic);
        gp::GdipSetPixelOffsetMode(graphics_, Gdiplus::PixelOffsetModeHalf);
        gp::GdipDrawImageRectRect(graphics_, image, static_cast<float>(op.rect.left), static_cast<float>(op.rect.top),
                                  static_cast<float>(op.rect.right - op.rect.left),
                                  static_cast<float>(op.rect.bottom - op.rect.top), 0, 0, static_cast<float>(width),
                                  static_cast<float>(height), Gdiplus::UnitPixel, raw, nullptr, nullptr);
        gp::GdipSetPixelOffsetMode(graphics_, offset);
    }

  private:
    void fill(const RoundedBox& box, Colour colour) const {
        const PathPtr path = rounded_path(box);
        Gdiplus::GpSolidFill* raw = nullptr;
        gp::GdipCreateSolidFill(argb(colour), &raw);
        const BrushPtr brush(raw);
        if (path && brush) gp::GdipFillPath(graphics_, brush.get(), path.get());
    }

    void outline(const RoundedBox& box, Colour colour) const {
        const PathPtr path = rounded_path(box);
        Gdiplus::GpPen* raw = nullptr;
        gp::GdipCreatePen1(argb(colour), 1.0f, Gdiplus::UnitPixel, &raw);
        const PenPtr pen(raw);
        if (path && pen) gp::GdipDrawPath(graphics_, pen.get(), path.get());
    }

    HDC hdc_;
    Gdiplus::GpGraphics* graphics_;
    const Fonts& fonts_;
};

}  // namespace

void start_gdiplus() {
    ULONG_PTR token = 0;
    const Gdiplus::GdiplusStartupInput input;  // version 1, no callback, background thread, external codecs
    Gdiplus::GdiplusStartup(&token, &input, nullptr);
}

LRESULT paint_window(HWND window, const FontSet& font_set, const PaintContent& content) {
    const std::uint32_t dpi = GetDpiForWindow(window);
    const PaintScope scope(window);
    const HDC hdc = scope.hdc();
    RECT client{};
    GetClientRect(window, &client);
    SetBkMode(hdc, TRANSPARENT);

    Gdiplus::GpGraphics* raw = nullptr;
    gp::GdipCreateFromHDC(hdc, &raw);
    const GraphicsPtr graphics(raw);
    if (graphics) gp::GdipSetSmoothingMode(raw, Gdiplus::SmoothingModeAntiAlias);

    const Fonts fonts = make_fonts(font_set, dpi);
    const FontSelection selection(hdc, fonts.heading.get());

    Painter painter{dpi,
                    [&](FontSlot slot, std::string_view text) {
                        const std::u16string wide = text::utf8_to_utf16(text);
                        SelectObject(hdc, fonts.get(slot));
                        SIZE size{};
                        GetTextExtentPoint32W(hdc, reinterpret_cast<const wchar_t*>(wide.data()),
                                              static_cast<int>(wide.size()), &size);
                        return static_cast<std::int32_t>(size.cx);
                    },
                    {}};
    const PixelRect area{client.left, client.top, client.right, client.bottom};
    fill_rect(painter, area, PALETTE.background);
    content(painter, area);

    // Without a Graphics the GDI part still draws; the rounded shapes are left out.
    const Executor run(hdc, graphics.get(), fonts);
    for (const PaintOp& op : painter.list.ops) {
        if (!graphics && !std::holds_alternative<RectFill>(op) && !std::holds_alternative<TextRun>(op)) continue;
        std::visit(run, op);
    }
    return 0;
}

}  // namespace paint
