#include "platform/win/desktop/PageKeys.h"

#include <cwchar>
#include <string>

#include "platform/win/desktop/ScriptProperty.h"

namespace platform::win {

namespace {

bool Named(const std::wstring& text, const wchar_t* name) {
  return _wcsicmp(text.c_str(), name) == 0;
}

// The element with focus takes text: a text field, a text area or editable
// content, inside frames of the page too (a frame of another origin does
// not say, and counts as no text field).
bool Typing(IDispatch* document, int depth) {
  IDispatch* element = ObjectProperty(document, L"activeElement");
  if (!element) return false;
  bool typing = false;
  const std::wstring tag = TextProperty(element, L"tagName");
  if (Named(tag, L"textarea") || TrueProperty(element, L"isContentEditable")) {
    typing = true;
  } else if (Named(tag, L"input")) {
    const std::wstring type = TextProperty(element, L"type");
    for (const wchar_t* text :
         {L"text", L"password", L"search", L"email", L"url", L"tel", L"number", L""}) {
      typing = typing || Named(type, text);
    }
  } else if ((Named(tag, L"iframe") || Named(tag, L"frame")) && depth < 4) {
    if (IDispatch* window = ObjectProperty(element, L"contentWindow")) {
      if (IDispatch* inner = ObjectProperty(window, L"document")) {
        typing = Typing(inner, depth + 1);
        inner->Release();
      }
      window->Release();
    }
  }
  element->Release();
  return typing;
}

bool Typing(IWebBrowser2* browser) {
  IDispatch* document = nullptr;
  if (!browser || FAILED(browser->get_Document(&document)) || !document) return false;
  const bool typing = Typing(document, 0);
  document->Release();
  return typing;
}

bool Down(UINT message) {
  return message == WM_KEYDOWN || message == WM_SYSKEYDOWN;
}

}  // namespace

bool LeavesPage(UINT message, WPARAM key, const KeyState& state) {
  switch (message) {
    case WM_XBUTTONDOWN:
    case WM_XBUTTONUP:
    case WM_XBUTTONDBLCLK:
    case WM_NCXBUTTONDOWN:
    case WM_NCXBUTTONUP:
    case WM_NCXBUTTONDBLCLK:
      return true;
    default:
      break;
  }
  if (!Down(message)) return false;
  switch (key) {
    case VK_BROWSER_BACK:
    case VK_BROWSER_FORWARD:
    case VK_BROWSER_HOME:
    case VK_BROWSER_SEARCH:
    case VK_BROWSER_FAVORITES:
      return true;
    case VK_BACK:
      return !state.typing;
    case VK_LEFT:
    case VK_RIGHT:
    case VK_HOME:
      return state.alt;
    case 'N':
    case 'O':
    case 'L':
      return state.control && !state.alt;
    default:
      return false;
  }
}

bool LeavesPage(const MSG& msg, IWebBrowser2* browser) {
  KeyState state;
  state.control = (GetKeyState(VK_CONTROL) & 0x8000) != 0;
  // A system key message carries Alt in its context bit.
  state.alt = msg.message == WM_SYSKEYDOWN ? (msg.lParam & (1 << 29)) != 0
                                           : (GetKeyState(VK_MENU) & 0x8000) != 0;
  // Only Backspace needs to know where the focus is.
  if (Down(msg.message) && msg.wParam == VK_BACK) state.typing = Typing(browser);
  return LeavesPage(msg.message, msg.wParam, state);
}

}  // namespace platform::win
