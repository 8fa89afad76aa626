// The main window: a frameless window whose frame is drawn by a caption
// control and three border controls from a skin, with the start page in a
// web browser inside the frame and a hidden browser for the sound page.
#pragma once

#include <string>
#include <utility>

#include "app/StateFolder.h"
#include "host/Form.h"
#include "host/PropertyBag.h"
#include "host/WebBrowser.h"
#include "skin/FrameSkins.h"

class JSCAPTION;
class JSBORDER;

class TestOCX_new : public host::Form {
 public:
  // The caption text.
  static constexpr const char* ProductTitle = "Skinshell";

  // Starts drawing the caption's text once, at the desktop's scale, on a
  // thread of its own, so that the first frame finds its font loaded and its
  // glyphs drawn: done while the window and its web views are made.
  static void StartPreparingText(int scale);

  explicit TestOCX_new(platform::Desktop& desktop);
  ~TestOCX_new() override;

  // Points all four frame controls at the named skin (a file under stype)
  // and repaints the caption.
  void ApplySkin(const std::string& skinName);

  // The designed stored settings of a frame control, as the designer saved
  // them; empty for any other name.
  static host::PropertyBag DesignedSettings(const std::string& controlName);

  JSCAPTION& JSCAPTION1() const { return *caption_; }
  JSBORDER& JSBORDER1() const { return *left_; }
  JSBORDER& JSBORDER2() const { return *right_; }
  JSBORDER& JSBORDER3() const { return *bottom_; }
  host::WebBrowser& WebBrowser() const { return *browser_; }
  host::WebBrowser& WebBrowser1() const { return *soundBrowser_; }

  void Form_Load() override;
  void Form_Resize() override;
  void Form_Unload(int& Cancel) override;

 private:
  void ApplyOutline();
  // The smallest size the window may take here, in twips: the designed size
  // where it fits, never more than the work area of the window's monitor.
  std::pair<int, int> SmallestSize();
  // Applies the skin of the window's state again, read afresh.
  void ReloadSkin();

  // The frame controls' skin reader, whose lines go to stderr. It goes
  // before host::Form's destructor ends the controls, which compose nothing
  // then.
  skin::FrameSkins skins_;

  // Where this start keeps the marker and the placement; chosen at load.
  app::StateFiles state_;
  bool stateWritable_ = true;

  // Set once every child exists; size changes before that (the designed
  // size) have nothing to lay out.
  JSCAPTION* caption_ = nullptr;
  JSBORDER* left_ = nullptr;
  JSBORDER* right_ = nullptr;
  JSBORDER* bottom_ = nullptr;
  host::WebBrowser* browser_ = nullptr;
  host::WebBrowser* soundBrowser_ = nullptr;
  std::pair<int, int> minimum_;  // as last told to the desktop
};
