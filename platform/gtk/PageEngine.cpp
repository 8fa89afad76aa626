#include "platform/gtk/PageEngine.h"

namespace platform::gtk {

WebKitSettings* NewPageSettings() {
  WebKitSettings* settings = webkit_settings_new();
  webkit_settings_set_enable_javascript(settings, TRUE);
  webkit_settings_set_allow_file_access_from_file_urls(settings, FALSE);
  webkit_settings_set_allow_universal_access_from_file_urls(settings, FALSE);
  webkit_settings_set_enable_developer_extras(settings, FALSE);
  // The sound page plays as soon as it loads, with no click to allow it.
  webkit_settings_set_media_playback_requires_user_gesture(settings, FALSE);
  // A touchpad's swipe would go back and forward in the view's history,
  // which only the page's own script may do. WebKit leaves it off today;
  // the views say so themselves rather than trust a default.
  webkit_settings_set_enable_back_forward_navigation_gestures(settings, FALSE);
  // The pages are flat documents with nothing to composite. Compositing
  // them in layers costs the web process its GL context and buffers, some
  // 65 MB, and on a software renderer more than twice the processor time
  // of drawing them directly while the window is resized. With a GPU the
  // layers would cost video memory instead, and drawing without them a
  // copy of each changed frame to the window: for pages that change only
  // when they are resized or scrolled, still the cheaper side.
  webkit_settings_set_hardware_acceleration_policy(settings,
                                                   WEBKIT_HARDWARE_ACCELERATION_POLICY_NEVER);
  return settings;
}

WebKitWebsitePolicies* NewPagePolicies() {
  return webkit_website_policies_new_with_policies("autoplay", WEBKIT_AUTOPLAY_ALLOW, nullptr);
}

}  // namespace platform::gtk
