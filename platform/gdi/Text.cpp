// Text through Pango onto the pixels behind a DC: Cairo draws straight into
// the surface's buffer, which already has Cairo's ARGB32 layout.
#include "platform/gdi/Text.h"

#include <cairo.h>
#include <pango/pangocairo.h>

#include <algorithm>

#include "platform/gdi/Gdi.h"

namespace gdi {

namespace {

// One Pango context for the process, kept for the user-interface thread
// that does all drawing; making one per call costs more than the drawing.
PangoContext* SharedContext() {
  static PangoContext* context = [] {
    PangoContext* c = pango_font_map_create_context(pango_cairo_font_map_get_default());
    pango_cairo_context_set_resolution(c, 96.0);
    return c;
  }();
  return context;
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
PangoLayout* MakeLayout(const std::string& utf8, const Font& font) {
  PangoLayout* layout = pango_layout_new(SharedContext());
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

}  // namespace

bool DrawTextLine(HDC hdc, int x, int y, int w, int h, const std::string& utf8, const Font& font,
                  std::uint32_t color, const RECT* clip) {
  Surface* target = SurfaceOf(hdc);
  RECT box{};
  if (!target || !ClipBox(*target, x, y, w, h, clip, box)) return false;
  if (utf8.empty()) return true;

  cairo_surface_t* surface = cairo_image_surface_create_for_data(
      reinterpret_cast<unsigned char*>(target->pixels.data()), CAIRO_FORMAT_ARGB32, target->width,
      target->height, target->width * 4);
  if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(surface);
    return false;
  }
  cairo_t* cr = cairo_create(surface);
  cairo_rectangle(cr, box.left, box.top, box.right - box.left, box.bottom - box.top);
  cairo_clip(cr);

  const std::uint32_t c = ResolveColor(color);
  cairo_set_source_rgb(cr, (c & 0xFF) / 255.0, ((c >> 8) & 0xFF) / 255.0,
                       ((c >> 16) & 0xFF) / 255.0);
  pango_cairo_update_context(cr, SharedContext());
  PangoLayout* layout = MakeLayout(utf8, font);
  cairo_move_to(cr, x, y);
  pango_cairo_show_layout(cr, layout);
  g_object_unref(layout);

  const bool ok = cairo_status(cr) == CAIRO_STATUS_SUCCESS;
  cairo_destroy(cr);
  cairo_surface_flush(surface);
  cairo_surface_destroy(surface);
  return ok;
}

// Pango matches and sorts a font's faces on a fontconfig thread of its own,
// from the moment its font set is asked for, and keeps the set; the first
// layout in the font waits only for what that thread has not done yet.
void PrepareFont(const Font& font) {
  PangoFontDescription* desc = Describe(font);
  if (PangoFontset* fontset =
          pango_context_load_fontset(SharedContext(), desc, pango_language_get_default())) {
    g_object_unref(fontset);
  }
  pango_font_description_free(desc);
}

void MeasureText(const std::string& utf8, const Font& font, int& width, int& height) {
  PangoLayout* layout = MakeLayout(utf8, font);
  pango_layout_get_pixel_size(layout, &width, &height);
  g_object_unref(layout);
}

}  // namespace gdi
