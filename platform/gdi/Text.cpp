// Text through Pango onto the pixels behind a DC: Cairo draws straight into
// the surface's buffer, which already has Cairo's ARGB32 layout.
#include "platform/gdi/Text.h"

#include <cairo.h>
#include <pango/pangocairo.h>

#include <algorithm>
#include <chrono>
#include <exception>
#include <future>

#include "platform/gdi/Gdi.h"

namespace gdi {

namespace {

// One Pango context for the process, on a font map of its own; making one
// per call costs more than the drawing. Only one thread uses it at a time:
// the text's preparer until it ends, then the user-interface thread.
PangoContext* Context() {
  static PangoContext* context = [] {
    PangoFontMap* map = pango_cairo_font_map_new();
    PangoContext* c = pango_font_map_create_context(map);
    g_object_unref(map);
    pango_cairo_context_set_resolution(c, 96.0);
    return c;
  }();
  return context;
}

std::future<void>& Preparing() {
  static std::future<void> preparing;
  return preparing;
}

// Whether the context has had a user yet: the preparer may only be the
// first. Read and written on the user-interface thread alone.
bool contextTaken = false;

// The context for the user-interface thread, once the preparer is done.
PangoContext* SharedContext() {
  contextTaken = true;
  if (Preparing().valid()) Preparing().get();
  return Context();
}

// The font as Pango describes it. The caller frees it.
PangoFontDescription* Describe(const Font& font) {
  PangoFontDescription* desc = pango_font_description_new();
  // A face the system lacks falls back through fontconfig: first to its
  // own substitutes, then to the generic sans face.
  const std::string family = (font.Name.empty() ? std::string("Sans") : font.Name) + ",Sans";
  pango_font_description_set_family(desc, family.c_str());
  // Points at 96 dots per inch, as the skins were designed.
  const double pixels = std::clamp(font.Size, 1.0, 1000.0) * 96.0 / 72.0;
  pango_font_description_set_absolute_size(desc, pixels * PANGO_SCALE);
  pango_font_description_set_weight(desc,
                                    static_cast<PangoWeight>(std::clamp(font.Weight, 100, 1000)));
  pango_font_description_set_style(desc, font.Italic ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL);
  return desc;
}

// A layout of one line in the font. The caller unrefs it.
PangoLayout* MakeLayout(PangoContext* context, const std::string& utf8, const Font& font) {
  PangoLayout* layout = pango_layout_new(context);
  PangoFontDescription* desc = Describe(font);
  pango_layout_set_font_description(layout, desc);
  pango_font_description_free(desc);

  PangoAttrList* attrs = pango_attr_list_new();
  if (font.Underline)
    pango_attr_list_insert(attrs, pango_attr_underline_new(PANGO_UNDERLINE_SINGLE));
  if (font.Strikethrough) pango_attr_list_insert(attrs, pango_attr_strikethrough_new(TRUE));
  pango_layout_set_attributes(layout, attrs);
  pango_attr_list_unref(attrs);

  // A line break in a caption shows as a glyph rather than a second line.
  pango_layout_set_single_paragraph_mode(layout, TRUE);
  // Pango rejects invalid UTF-8 outright; a damaged caption still shows.
  gchar* valid = g_utf8_make_valid(utf8.data(), static_cast<gssize>(utf8.size()));
  pango_layout_set_text(layout, valid, -1);
  g_free(valid);
  return layout;
}

// The text at (x, y) onto the pixels, inside the box, in the colour
// (0x00BBGGRR).
bool Draw(PangoContext* context, Surface& target, const RECT& box, int x, int y,
          const std::string& utf8, const Font& font, std::uint32_t c) {
  cairo_surface_t* surface = cairo_image_surface_create_for_data(
      reinterpret_cast<unsigned char*>(target.pixels.data()), CAIRO_FORMAT_ARGB32, target.width,
      target.height, target.width * 4);
  if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(surface);
    return false;
  }
  cairo_t* cr = cairo_create(surface);
  cairo_rectangle(cr, box.left, box.top, box.right - box.left, box.bottom - box.top);
  cairo_clip(cr);

  cairo_set_source_rgb(cr, (c & 0xFF) / 255.0, ((c >> 8) & 0xFF) / 255.0,
                       ((c >> 16) & 0xFF) / 255.0);
  pango_cairo_update_context(cr, context);
  PangoLayout* layout = MakeLayout(context, utf8, font);
  cairo_move_to(cr, x, y);
  pango_cairo_show_layout(cr, layout);
  g_object_unref(layout);

  const bool ok = cairo_status(cr) == CAIRO_STATUS_SUCCESS;
  cairo_destroy(cr);
  cairo_surface_flush(surface);
  cairo_surface_destroy(surface);
  return ok;
}

}  // namespace

bool DrawTextLine(HDC hdc, int x, int y, int w, int h, const std::string& utf8, const Font& font,
                  std::uint32_t color, const RECT* clip) {
  Surface* target = SurfaceOf(hdc);
  RECT box{};
  if (!target || !ClipBox(*target, x, y, w, h, clip, box)) return false;
  if (utf8.empty()) return true;
  PangoContext* context = SharedContext();
  return Draw(context, *target, box, x, y, utf8, font, ResolveColor(color));
}

// The first text in a font costs its thread milliseconds: fontconfig's
// substitutions, the font file opened and its tables read, each glyph
// rasterized. Drawn once here, that work is done and kept (in the context's
// font map and in Cairo's glyph cache) before the first frame asks for it.
// What fails here only leaves that work to the first frame.
void StartPreparingText(const Font& font, const std::string& utf8) {
  if (contextTaken || utf8.empty()) return;
  contextTaken = true;
  Preparing() = std::async(std::launch::async, [font, utf8] {
    try {
      PangoContext* context = Context();
      PangoLayout* layout = MakeLayout(context, utf8, font);
      int width = 0;
      int height = 0;
      pango_layout_get_pixel_size(layout, &width, &height);
      g_object_unref(layout);
      Surface scratch(std::clamp(width, 1, 2048), std::clamp(height, 1, 256), 0);
      Draw(context, scratch, {0, 0, scratch.width, scratch.height}, 0, 0, utf8, font, 0);
    } catch (const std::exception&) {
    }
  });
}

// Pango matches and sorts a font's faces on a fontconfig thread of its own,
// from the moment its font set is asked for, and keeps the set; the first
// layout in the font waits only for what that thread has not done yet.
void PrepareFont(const Font& font) {
  // A preparer still at work holds the context, and is already finding the
  // first frame's font: a hint is not worth waiting for it.
  if (Preparing().valid() &&
      Preparing().wait_for(std::chrono::seconds(0)) != std::future_status::ready) {
    return;
  }
  PangoFontDescription* desc = Describe(font);
  if (PangoFontset* fontset =
          pango_context_load_fontset(SharedContext(), desc, pango_language_get_default())) {
    g_object_unref(fontset);
  }
  pango_font_description_free(desc);
}

void MeasureText(const std::string& utf8, const Font& font, int& width, int& height) {
  PangoLayout* layout = MakeLayout(SharedContext(), utf8, font);
  pango_layout_get_pixel_size(layout, &width, &height);
  g_object_unref(layout);
}

}  // namespace gdi
