#include "app/BrowserLayout.h"

#include <algorithm>

namespace app {

namespace {

constexpr int BrowserTop = 390;

// Inside a nested resize the window can briefly be smaller than the frame
// needs; a browser can never be less than empty.
int NotNegative(int length) {
  return std::max(length, 0);
}

}  // namespace

BrowserRect NormalBrowserRect(int clientWidth, int clientHeight) {
  return {90, BrowserTop, NotNegative(clientWidth - 180), NotNegative(clientHeight - 460)};
}

BrowserRect OtherBrowserRect(int clientWidth, int clientHeight) {
  return {-30, BrowserTop, NotNegative(clientWidth + 60), NotNegative(clientHeight - 360)};
}

}  // namespace app
