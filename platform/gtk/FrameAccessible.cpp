#include "platform/gtk/FrameAccessible.h"

#include <gtk/gtk-a11y.h>

#include <new>
#include <vector>

namespace platform::gtk {
namespace {

// A part of the frame as an ATK object. Its index is its place among the
// area's parts, which is how the sink names it.
struct FramePart {
  AtkObject parent;
  AccessiblePart part;  // constructed in init, destroyed in finalize
  int index;
  gboolean defunct;
};
struct FramePartClass {
  AtkObjectClass parent;
};

// The drawing area, and its accessible, which owns the part objects.
struct FrameArea {
  GtkDrawingArea parent;
  WindowSink* sink;
  AtkObject* accessible;  // once GTK has made it; not a reference
};
struct FrameAreaClass {
  GtkDrawingAreaClass parent;
};
struct FrameAreaAccessible {
  GtkWidgetAccessible parent;
  GPtrArray* parts;  // of FramePart, referenced
  gboolean asked;    // the sink was asked for its parts
};
struct FrameAreaAccessibleClass {
  GtkWidgetAccessibleClass parent;
};

struct FrameLayout {
  GtkLayout parent;
};
struct FrameLayoutClass {
  GtkLayoutClass parent;
};
struct FrameLayoutAccessible {
  GtkContainerAccessible parent;
};
struct FrameLayoutAccessibleClass {
  GtkContainerAccessibleClass parent;
};

GType FramePartType();
GType FrameAreaType();
GType FrameAreaAccessibleType();
GType FrameLayoutType();
GType FrameLayoutAccessibleType();

FramePart* AsPart(gpointer object) {
  return G_TYPE_CHECK_INSTANCE_CAST(object, FramePartType(), FramePart);
}
FrameArea* AsArea(gpointer object) {
  return G_TYPE_CHECK_INSTANCE_CAST(object, FrameAreaType(), FrameArea);
}
FrameAreaAccessible* AsAreaAccessible(gpointer object) {
  return G_TYPE_CHECK_INSTANCE_CAST(object, FrameAreaAccessibleType(), FrameAreaAccessible);
}

// The area of a part, while both it and its sink are there.
FrameArea* LiveArea(FramePart* part) {
  if (part->defunct) return nullptr;
  AtkObject* parent = atk_object_get_parent(ATK_OBJECT(part));
  if (parent == nullptr || !GTK_IS_ACCESSIBLE(parent)) return nullptr;
  GtkWidget* widget = gtk_accessible_get_widget(GTK_ACCESSIBLE(parent));
  if (widget == nullptr) return nullptr;
  FrameArea* area = AsArea(widget);
  return area->sink != nullptr ? area : nullptr;
}

// Parts

void PartInit(GTypeInstance* instance, gpointer) {
  FramePart* part = AsPart(instance);
  new (&part->part) AccessiblePart();
  part->index = 0;
  part->defunct = FALSE;
}

void PartFinalize(GObject* object) {
  AsPart(object)->part.~AccessiblePart();
  G_OBJECT_CLASS(g_type_class_peek_parent(G_OBJECT_GET_CLASS(object)))->finalize(object);
}

AtkStateSet* PartStates(AtkObject* object) {
  FramePart* part = AsPart(object);
  AtkStateSet* states = atk_state_set_new();
  if (LiveArea(part) == nullptr) {
    atk_state_set_add_state(states, ATK_STATE_DEFUNCT);
    return states;
  }
  for (AtkStateType state :
       {ATK_STATE_ENABLED, ATK_STATE_SENSITIVE, ATK_STATE_VISIBLE, ATK_STATE_SHOWING}) {
    atk_state_set_add_state(states, state);
  }
  if (part->part.role == AccessibleRole::ToggleButton) {
    atk_state_set_add_state(states, ATK_STATE_CHECKABLE);
    if (part->part.pressed) {
      atk_state_set_add_state(states, ATK_STATE_PRESSED);
      atk_state_set_add_state(states, ATK_STATE_CHECKED);
    }
  } else if (part->part.pressed) {
    // GTK's own buttons say armed while the pointer holds them down.
    atk_state_set_add_state(states, ATK_STATE_ARMED);
  }
  return states;
}

gint PartIndex(AtkObject* object) {
  return AsPart(object)->index;
}

void PartClassInit(gpointer klass, gpointer) {
  G_OBJECT_CLASS(klass)->finalize = PartFinalize;
  ATK_OBJECT_CLASS(klass)->ref_state_set = PartStates;
  ATK_OBJECT_CLASS(klass)->get_index_in_parent = PartIndex;
}

// Device pixels, as the frame is drawn: GTK's logical origin of the area
// times its scale, plus the part's bounds times the scale.
void PartExtents(AtkComponent* component, gint* x, gint* y, gint* width, gint* height,
                 AtkCoordType coords) {
  *x = *y = *width = *height = 0;
  FramePart* part = AsPart(component);
  FrameArea* area = LiveArea(part);
  if (area == nullptr) return;
  GtkWidget* widget = GTK_WIDGET(area);
  GdkWindow* own = gtk_widget_get_window(widget);
  if (own == nullptr) return;
  int originX = 0;
  int originY = 0;
  if (coords != ATK_XY_PARENT) gdk_window_get_origin(own, &originX, &originY);
  if (coords == ATK_XY_WINDOW) {
    int topX = 0;
    int topY = 0;
    gdk_window_get_origin(gdk_window_get_toplevel(own), &topX, &topY);
    originX -= topX;
    originY -= topY;
  }
  const int scale = gtk_widget_get_scale_factor(widget);
  const RECT& b = part->part.bounds;
  *x = (originX + b.left) * scale;
  *y = (originY + b.top) * scale;
  *width = (b.right - b.left) * scale;
  *height = (b.bottom - b.top) * scale;
}

void PartComponentInit(gpointer iface, gpointer) {
  static_cast<AtkComponentIface*>(iface)->get_extents = PartExtents;
}

// The press runs once the tool has had its answer: a close ends the
// program, and the tool's call must not be left waiting for a reply.
gboolean PressLater(gpointer data) {
  FramePart* part = AsPart(data);
  if (FrameArea* area = LiveArea(part)) {
    area->sink->PressAccessiblePart(static_cast<std::size_t>(part->index));
  }
  return G_SOURCE_REMOVE;
}

gboolean PartAction(AtkAction* action, gint i) {
  FramePart* part = AsPart(action);
  if (i != 0 || LiveArea(part) == nullptr) return FALSE;
  g_idle_add_full(G_PRIORITY_DEFAULT_IDLE, PressLater, g_object_ref(part), g_object_unref);
  return TRUE;
}

gint PartActions(AtkAction*) {
  return 1;
}

const gchar* PartActionName(AtkAction*, gint i) {
  return i == 0 ? "click" : nullptr;
}

void PartActionInit(gpointer iface, gpointer) {
  auto* action = static_cast<AtkActionIface*>(iface);
  action->do_action = PartAction;
  action->get_n_actions = PartActions;
  action->get_name = PartActionName;
}

AtkRole RoleOf(AccessibleRole role) {
  return role == AccessibleRole::ToggleButton ? ATK_ROLE_TOGGLE_BUTTON : ATK_ROLE_PUSH_BUTTON;
}

FramePart* NewPart(AtkObject* parent, int index, const AccessiblePart& from) {
  FramePart* part = AsPart(g_object_new(FramePartType(), nullptr));
  part->index = index;
  part->part = from;
  atk_object_set_role(ATK_OBJECT(part), RoleOf(from.role));
  atk_object_set_name(ATK_OBJECT(part), from.name.c_str());
  atk_object_set_parent(ATK_OBJECT(part), parent);
  return part;
}

void EndPart(FramePart* part) {
  part->defunct = TRUE;
  atk_object_notify_state_change(ATK_OBJECT(part), ATK_STATE_DEFUNCT, TRUE);
}

// The area's accessible

// Brings the part objects in line with what the sink answers now; with
// `announce`, says so as GTK says it for its own widgets.
void Sync(FrameAreaAccessible* accessible, bool announce) {
  accessible->asked = TRUE;
  GtkWidget* widget = gtk_accessible_get_widget(GTK_ACCESSIBLE(accessible));
  FrameArea* area = widget != nullptr ? AsArea(widget) : nullptr;
  std::vector<AccessiblePart> parts;
  if (area != nullptr && area->sink != nullptr) parts = area->sink->AccessibleParts();
  AtkObject* self = ATK_OBJECT(accessible);
  GPtrArray* objects = accessible->parts;
  while (objects->len > parts.size()) {
    const guint last = objects->len - 1;
    FramePart* gone = AsPart(g_ptr_array_index(objects, last));
    g_object_ref(gone);
    g_ptr_array_remove_index(objects, last);
    EndPart(gone);
    if (announce) g_signal_emit_by_name(self, "children-changed::remove", last, gone);
    g_object_unref(gone);
  }
  for (guint i = 0; i < parts.size(); ++i) {
    const AccessiblePart& now = parts[i];
    if (i == objects->len) {
      FramePart* made = NewPart(self, static_cast<int>(i), now);
      g_ptr_array_add(objects, made);
      if (announce) g_signal_emit_by_name(self, "children-changed::add", i, made);
      continue;
    }
    FramePart* part = AsPart(g_ptr_array_index(objects, i));
    const AccessiblePart was = part->part;
    part->part = now;
    if (was.role != now.role) atk_object_set_role(ATK_OBJECT(part), RoleOf(now.role));
    if (was.name != now.name) atk_object_set_name(ATK_OBJECT(part), now.name.c_str());
    if (was.pressed != now.pressed && announce) {
      const bool toggle = now.role == AccessibleRole::ToggleButton;
      atk_object_notify_state_change(ATK_OBJECT(part), toggle ? ATK_STATE_PRESSED : ATK_STATE_ARMED,
                                     now.pressed);
      if (toggle) atk_object_notify_state_change(ATK_OBJECT(part), ATK_STATE_CHECKED, now.pressed);
    }
  }
}

void AreaAccessibleInit(GTypeInstance* instance, gpointer) {
  FrameAreaAccessible* accessible = AsAreaAccessible(instance);
  accessible->parts = g_ptr_array_new_with_free_func(g_object_unref);
  accessible->asked = FALSE;
}

void AreaAccessibleInitialize(AtkObject* object, gpointer data) {
  ATK_OBJECT_CLASS(g_type_class_peek_parent(G_OBJECT_GET_CLASS(object)))->initialize(object, data);
  if (GTK_IS_WIDGET(data)) AsArea(data)->accessible = object;
}

void AreaAccessibleFinalize(GObject* object) {
  g_ptr_array_unref(AsAreaAccessible(object)->parts);
  G_OBJECT_CLASS(g_type_class_peek_parent(G_OBJECT_GET_CLASS(object)))->finalize(object);
}

FrameAreaAccessible* Asked(AtkObject* object) {
  FrameAreaAccessible* accessible = AsAreaAccessible(object);
  if (!accessible->asked) Sync(accessible, false);
  return accessible;
}

gint AreaChildren(AtkObject* object) {
  return static_cast<gint>(Asked(object)->parts->len);
}

AtkObject* AreaChild(AtkObject* object, gint i) {
  GPtrArray* parts = Asked(object)->parts;
  if (i < 0 || static_cast<guint>(i) >= parts->len) return nullptr;
  return ATK_OBJECT(g_object_ref(g_ptr_array_index(parts, i)));
}

// The widget went (GTK drops its accessible then): its parts end with it.
void AreaWidgetUnset(GtkAccessible* object) {
  FrameAreaAccessible* accessible = AsAreaAccessible(object);
  for (guint i = 0; i < accessible->parts->len; ++i) {
    EndPart(AsPart(g_ptr_array_index(accessible->parts, i)));
  }
  g_ptr_array_set_size(accessible->parts, 0);
  auto* parent = GTK_ACCESSIBLE_CLASS(g_type_class_peek_parent(G_OBJECT_GET_CLASS(object)));
  if (parent->widget_unset != nullptr) parent->widget_unset(object);
}

void AreaAccessibleClassInit(gpointer klass, gpointer) {
  G_OBJECT_CLASS(klass)->finalize = AreaAccessibleFinalize;
  ATK_OBJECT_CLASS(klass)->initialize = AreaAccessibleInitialize;
  ATK_OBJECT_CLASS(klass)->get_n_children = AreaChildren;
  ATK_OBJECT_CLASS(klass)->ref_child = AreaChild;
  GTK_ACCESSIBLE_CLASS(klass)->widget_unset = AreaWidgetUnset;
}

void AreaInit(GTypeInstance* instance, gpointer) {
  FrameArea* area = AsArea(instance);
  area->sink = nullptr;
  area->accessible = nullptr;
}

void AreaClassInit(gpointer klass, gpointer) {
  gtk_widget_class_set_accessible_type(GTK_WIDGET_CLASS(klass), FrameAreaAccessibleType());
}

// The layout's accessible

std::vector<GtkWidget*> VisibleChildren(AtkObject* object) {
  std::vector<GtkWidget*> visible;
  GtkWidget* widget = gtk_accessible_get_widget(GTK_ACCESSIBLE(object));
  if (widget == nullptr) return visible;
  GList* children = gtk_container_get_children(GTK_CONTAINER(widget));
  for (GList* at = children; at != nullptr; at = at->next) {
    if (gtk_widget_get_visible(GTK_WIDGET(at->data))) visible.push_back(GTK_WIDGET(at->data));
  }
  g_list_free(children);
  return visible;
}

gint LayoutChildren(AtkObject* object) {
  return static_cast<gint>(VisibleChildren(object).size());
}

AtkObject* LayoutChild(AtkObject* object, gint i) {
  const std::vector<GtkWidget*> visible = VisibleChildren(object);
  if (i < 0 || static_cast<std::size_t>(i) >= visible.size()) return nullptr;
  return ATK_OBJECT(g_object_ref(gtk_widget_get_accessible(visible[i])));
}

gint VisibleIndex(AtkObject* layout, GtkWidget* child) {
  const std::vector<GtkWidget*> visible = VisibleChildren(layout);
  for (std::size_t i = 0; i < visible.size(); ++i) {
    if (visible[i] == child) return static_cast<gint>(i);
  }
  return -1;
}

// A child shown or hidden comes or goes for the tools, as GTK says a child
// added or removed does.
void ChildVisibilityChanged(GObject* object, GParamSpec*, gpointer data) {
  GtkWidget* child = GTK_WIDGET(object);
  AtkObject* layout = ATK_OBJECT(data);
  if (gtk_widget_get_visible(child)) {
    g_signal_emit_by_name(layout, "children-changed::add", VisibleIndex(layout, child),
                          gtk_widget_get_accessible(child));
  } else {
    g_signal_emit_by_name(layout, "children-changed::remove", -1, gtk_widget_get_accessible(child));
  }
}

// GTK's own announcement names the child among all of them; here a hidden
// child is announced when it shows, and one shown now at once.
gint LayoutChildAdded(GtkContainer*, GtkWidget* child, gpointer data) {
  g_signal_connect_object(child, "notify::visible", G_CALLBACK(ChildVisibilityChanged),
                          G_OBJECT(data), GConnectFlags(0));
  if (gtk_widget_get_visible(child)) {
    g_signal_emit_by_name(ATK_OBJECT(data), "children-changed::add",
                          VisibleIndex(ATK_OBJECT(data), child), gtk_widget_get_accessible(child));
  }
  return 1;
}

gint LayoutChildRemoved(GtkContainer*, GtkWidget* child, gpointer data) {
  g_signal_handlers_disconnect_by_func(child, reinterpret_cast<gpointer>(ChildVisibilityChanged),
                                       data);
  if (gtk_widget_get_visible(child)) {
    g_signal_emit_by_name(ATK_OBJECT(data), "children-changed::remove", -1,
                          gtk_widget_get_accessible(child));
  }
  return 1;
}

// The children the layout had before its accessible was made are followed
// from then on.
void LayoutAccessibleInitialize(AtkObject* object, gpointer data) {
  ATK_OBJECT_CLASS(g_type_class_peek_parent(G_OBJECT_GET_CLASS(object)))->initialize(object, data);
  if (!GTK_IS_CONTAINER(data)) return;
  GList* children = gtk_container_get_children(GTK_CONTAINER(data));
  for (GList* at = children; at != nullptr; at = at->next) {
    g_signal_connect_object(at->data, "notify::visible", G_CALLBACK(ChildVisibilityChanged), object,
                            GConnectFlags(0));
  }
  g_list_free(children);
}

void LayoutAccessibleClassInit(gpointer klass, gpointer) {
  ATK_OBJECT_CLASS(klass)->initialize = LayoutAccessibleInitialize;
  ATK_OBJECT_CLASS(klass)->get_n_children = LayoutChildren;
  ATK_OBJECT_CLASS(klass)->ref_child = LayoutChild;
  auto* container = static_cast<GtkContainerAccessibleClass*>(klass);
  container->add_gtk = LayoutChildAdded;
  container->remove_gtk = LayoutChildRemoved;
}

void LayoutClassInit(gpointer klass, gpointer) {
  gtk_widget_class_set_accessible_type(GTK_WIDGET_CLASS(klass), FrameLayoutAccessibleType());
}

// Types

GType Register(GType parent, const char* name, guint classSize, GClassInitFunc classInit,
               guint instanceSize, GInstanceInitFunc instanceInit) {
  return g_type_register_static_simple(parent, g_intern_static_string(name), classSize, classInit,
                                       instanceSize, instanceInit, GTypeFlags(0));
}

GType FramePartType() {
  static const GType type = [] {
    const GType t = Register(ATK_TYPE_OBJECT, "SkinshellFramePart", sizeof(FramePartClass),
                             PartClassInit, sizeof(FramePart), PartInit);
    const GInterfaceInfo component{PartComponentInit, nullptr, nullptr};
    const GInterfaceInfo action{PartActionInit, nullptr, nullptr};
    g_type_add_interface_static(t, ATK_TYPE_COMPONENT, &component);
    g_type_add_interface_static(t, ATK_TYPE_ACTION, &action);
    return t;
  }();
  return type;
}

GType FrameAreaAccessibleType() {
  static const GType type = Register(GTK_TYPE_WIDGET_ACCESSIBLE, "SkinshellFrameAreaAccessible",
                                     sizeof(FrameAreaAccessibleClass), AreaAccessibleClassInit,
                                     sizeof(FrameAreaAccessible), AreaAccessibleInit);
  return type;
}

GType FrameAreaType() {
  static const GType type =
      Register(GTK_TYPE_DRAWING_AREA, "SkinshellFrameArea", sizeof(FrameAreaClass), AreaClassInit,
               sizeof(FrameArea), AreaInit);
  return type;
}

GType FrameLayoutAccessibleType() {
  static const GType type =
      Register(GTK_TYPE_CONTAINER_ACCESSIBLE, "SkinshellFrameLayoutAccessible",
               sizeof(FrameLayoutAccessibleClass), LayoutAccessibleClassInit,
               sizeof(FrameLayoutAccessible), nullptr);
  return type;
}

GType FrameLayoutType() {
  static const GType type =
      Register(GTK_TYPE_LAYOUT, "SkinshellFrameLayout", sizeof(FrameLayoutClass), LayoutClassInit,
               sizeof(FrameLayout), nullptr);
  return type;
}

}  // namespace

GtkWidget* NewFrameArea(WindowSink& sink) {
  GtkWidget* widget = GTK_WIDGET(g_object_new(FrameAreaType(), nullptr));
  AsArea(widget)->sink = &sink;
  return widget;
}

void ForgetFrameSink(GtkWidget* area) {
  FrameArea* frame = AsArea(area);
  frame->sink = nullptr;
  if (frame->accessible != nullptr) Sync(AsAreaAccessible(frame->accessible), true);
}

void FramePartsChanged(GtkWidget* area) {
  FrameArea* frame = AsArea(area);
  if (frame->accessible == nullptr) return;  // no tool has asked yet
  FrameAreaAccessible* accessible = AsAreaAccessible(frame->accessible);
  if (accessible->asked) Sync(accessible, true);
}

GtkWidget* NewFrameLayout() {
  // The adjustments GtkLayout makes for itself when given none.
  return GTK_WIDGET(
      g_object_new(FrameLayoutType(), "hadjustment", nullptr, "vadjustment", nullptr, nullptr));
}

}  // namespace platform::gtk
