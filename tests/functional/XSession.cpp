#include "tests/functional/XSession.h"

#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <string_view>
#include <thread>
#include <tuple>

#include "tests/support/Scenario.h"

// Xlib last: its macros (None, Bool, Status) would clash with names above.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace functional {

namespace {

using Clock = std::chrono::steady_clock;

void Sleep(int ms) {
  std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// Between fork and exec the child of a threaded program may only make
// async-signal-safe calls, which allocating is not: everything the child
// needs is made before the fork.
pid_t Spawn(const std::vector<std::string>& argv, const std::vector<std::string>& env,
            const std::string& workDir, const std::string& logPath, int outFd, int keepFd) {
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  // This program's environment, with the entries given replacing those of
  // the same name.
  std::vector<char*> envp;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    std::string_view current(*entry);
    std::string_view name = current.substr(0, current.find('='));
    bool replaced = std::any_of(env.begin(), env.end(), [&](const std::string& given) {
      return given.size() > name.size() && given.compare(0, name.size(), name) == 0 &&
             given[name.size()] == '=';
    });
    if (!replaced) envp.push_back(*entry);
  }
  for (const std::string& entry : env) envp.push_back(const_cast<char*>(entry.c_str()));
  envp.push_back(nullptr);

  pid_t pid = fork();
  if (pid != 0) return pid;
  setpgid(0, 0);
  // The child dies with the test program, even when that one crashes.
  prctl(PR_SET_PDEATHSIG, SIGKILL);
  if (!workDir.empty() && chdir(workDir.c_str()) != 0) _exit(126);
  int devNull = open("/dev/null", O_RDWR);
  dup2(devNull, 0);
  int log = logPath.empty() ? devNull : open(logPath.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
  dup2(outFd >= 0 ? outFd : log, 1);
  dup2(log, 2);
  for (int fd = 3; fd < 1024; ++fd) {
    if (fd != keepFd) close(fd);
  }
  execvpe(args[0], args.data(), envp.data());
  _exit(127);
}

// A request about a window that is gone (a program that crashed, a window
// that was never found) is answered with an X error, and Xlib's default
// handler would end the whole test program over it, hiding the failure the
// tests were about to report.
int IgnoreXError(::Display*, XErrorEvent*) {
  return 0;
}

}  // namespace

int CountInFile(const std::string& path, const std::string& text) {
  const std::string content = test::ReadFile(path);
  int count = 0;
  for (std::size_t at = content.find(text); at != std::string::npos;
       at = content.find(text, at + text.size())) {
    ++count;
  }
  return count;
}

bool WaitFor(int timeoutMs, const std::function<bool()>& predicate) {
  auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
  while (true) {
    if (predicate()) return true;
    if (Clock::now() >= end) return false;
    Sleep(20);
  }
}

Child::Child(const std::vector<std::string>& argv, const std::vector<std::string>& env,
             const std::string& workDir, const std::string& logPath)
    : pid_(Spawn(argv, env, workDir, logPath, -1, -1)) {}

Child::~Child() {
  Stop();
}

Child::Child(Child&& other) noexcept {
  *this = std::move(other);
}

Child& Child::operator=(Child&& other) noexcept {
  if (this != &other) {
    Stop();
    pid_ = other.pid_;
    reaped_ = other.reaped_;
    status_ = other.status_;
    other.pid_ = -1;
  }
  return *this;
}

bool Child::Running() {
  if (pid_ <= 0 || reaped_) return false;
  int status = 0;
  if (waitpid(pid_, &status, WNOHANG) == pid_) {
    reaped_ = true;
    status_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return false;
  }
  return true;
}

int Child::Wait(int timeoutMs) {
  if (!WaitFor(timeoutMs, [this] { return !Running(); })) return -1;
  return status_;
}

void Child::Stop() {
  if (pid_ <= 0) return;
  if (Running()) {
    killpg(pid_, SIGTERM);
    if (Wait(2000) == -1 && Running()) {
      killpg(pid_, SIGKILL);
      Wait(2000);
    }
  }
  // Whatever the process left in its group goes too.
  killpg(pid_, SIGKILL);
  pid_ = -1;
}

namespace {

// Starts an X server that writes its display number to a pipe; the pid, and
// ":n" in display (empty when it never said).
pid_t StartServer(std::vector<std::string> argv, const std::vector<std::string>& env,
                  std::string& display) {
  int fds[2];
  if (pipe(fds) != 0) return -1;
  std::string fd = std::to_string(fds[1]);
  argv.insert(argv.begin() + 1, {"-displayfd", fd});
  pid_t pid = Spawn(argv, env, "", "", -1, fds[1]);
  close(fds[1]);
  char buffer[32] = {};
  std::string number;
  fcntl(fds[0], F_SETFL, O_NONBLOCK);
  WaitFor(10000, [&] {
    ssize_t n = read(fds[0], buffer, sizeof buffer - 1);
    if (n > 0) number.append(buffer, static_cast<std::size_t>(n));
    return number.find('\n') != std::string::npos;
  });
  close(fds[0]);
  if (number.find('\n') != std::string::npos) display = ":" + number.substr(0, number.find('\n'));
  return pid;
}

void EndServer(pid_t pid) {
  if (pid <= 0) return;
  kill(pid, SIGTERM);
  int status = 0;
  if (!WaitFor(3000, [&] { return waitpid(pid, &status, WNOHANG) == pid; })) {
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
  }
}

}  // namespace

// GDK takes its monitors from RandR outputs only: Xvfb has one output, and
// neither a monitor set without an output nor Xinerama heads (Xephyr's) count
// as a second monitor. The dummy video driver of Xorg has sixteen outputs.
const char* const TwoOutputConfig = R"(Section "Device"
  Identifier "dummy"
  Driver "dummy"
  VideoRam 256000
EndSection
Section "Screen"
  Identifier "screen"
  Device "dummy"
  DefaultDepth 24
  SubSection "Display"
    Depth 24
    Virtual 7680 2160
  EndSubSection
EndSection
Section "ServerFlags"
  Option "AutoAddDevices" "false"
EndSection
)";

XSession::XSession(WindowManager manager, const ScreenLayout& layout, bool panel)
    : manager_(manager) {
  const std::string head = std::to_string(layout.width) + "x" + std::to_string(layout.height);
  if (!layout.twoHeads) {
    serverPid_ = StartServer({"Xvfb", "-screen", "0", head + "x24", "-nolisten", "tcp"}, {},
                             display_);
  } else {
    char config[] = "/tmp/skinshell-xorg-XXXXXX";
    int fd = mkstemp(config);
    if (fd < 0) return;
    const std::string text = TwoOutputConfig;
    bool written = write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    close(fd);
    configPath_ = config;
    if (!written) return;
    serverPid_ = StartServer({"Xorg", "-config", configPath_, "-configdir", configPath_ + ".d",
                              "-logfile", configPath_ + ".log", "-nolisten", "tcp", "-noreset",
                              "-novtswitch", "-sharevts"},
                             {}, display_);
  }
  if (display_.empty()) return;
  if (layout.twoHeads) {
    // Two heads of the given size side by side, the left one primary.
    const std::string x = std::to_string(layout.width);
    auto plus = [](int base, int more) { return std::to_string(base + more); };
    Run({"xrandr", "--newmode", head, "173.00", x, plus(layout.width, 128),
         plus(layout.width, 328), plus(layout.width, 656), std::to_string(layout.height),
         plus(layout.height, 3), plus(layout.height, 8), plus(layout.height, 40)});
    for (const char* output : {"DUMMY0", "DUMMY1"}) Run({"xrandr", "--addmode", output, head});
    int status = 1;
    Run({"xrandr", "--output", "DUMMY0", "--mode", head, "--pos", "0x0", "--primary", "--output",
         "DUMMY1", "--mode", head, "--pos", x + "x0"},
        &status);
    if (status != 0) return;
    // The driver counts the second output as connected only once the
    // outputs are probed again, which a plain query does; GDK itself never
    // probes.
    Run({"xrandr", "--query"});
  }
  XSetErrorHandler(IgnoreXError);
  connection_ = XOpenDisplay(display_.c_str());
  if (connection_ == nullptr) return;
  if (manager_ != WindowManager::Absent && !StartManager(manager_)) return;
  if (panel && !ReservePanel(layout.twoHeads ? 2 * layout.width : layout.width)) return;
  ready_ = true;
}

bool XSession::StartManager(WindowManager manager) {
  if (manager == WindowManager::Xfwm4 || manager == WindowManager::Mutter) {
    // mutter will not start without a session bus; xfwm4 reads its settings
    // through one.
    char dir[] = "/tmp/skinshell-bus-XXXXXX";
    if (mkdtemp(dir) == nullptr) return false;
    busPath_ = std::string(dir) + "/bus";
    bus_ = Child({"dbus-daemon", "--session", "--nofork", "--nopidfile",
                  "--address=unix:path=" + busPath_},
                 {});
    if (!WaitFor(10000, [this] { return access(busPath_.c_str(), F_OK) == 0; })) return false;
  }
  std::vector<std::string> argv;
  switch (manager) {
    case WindowManager::Openbox:
      argv = {"openbox", "--sm-disable"};
      break;
    case WindowManager::Xfwm4:
      argv = {"xfwm4", "--compositor=on", "--sm-client-disable"};
      break;
    case WindowManager::Mutter:
      argv = {"mutter", "--x11", "--replace", "--sm-disable"};
      break;
    case WindowManager::Absent:
      return true;
  }
  managerProcess_ = Child(argv, Environment());
  bool managed = WaitFor(15000, [this] {
    return Run({"xprop", "-root", "_NET_SUPPORTING_WM_CHECK"}).find("window id") !=
           std::string::npos;
  });
  // The manager has taken the screen; xfwm4 and mutter publish the rest of
  // what they support (the work area, the supported hints) a little later.
  return managed && WaitFor(10000, [this] {
           return Run({"xprop", "-root", "_NET_WORKAREA"}).find(" = ") != std::string::npos;
         });
}

// A dock as panels make it: typed so, and reserving its strip of the screen.
bool XSession::ReservePanel(int width) {
  auto* display = static_cast<::Display*>(connection_);
  ::Window root = DefaultRootWindow(display);
  ::Window panel = XCreateSimpleWindow(display, root, 0, 0, static_cast<unsigned>(width),
                                       PanelHeight, 0, 0, 0x303030);
  auto atom = [&](const char* name) { return XInternAtom(display, name, False); };
  long dock = static_cast<long>(atom("_NET_WM_WINDOW_TYPE_DOCK"));
  XChangeProperty(display, panel, atom("_NET_WM_WINDOW_TYPE"), XA_ATOM, 32, PropModeReplace,
                  reinterpret_cast<unsigned char*>(&dock), 1);
  // left, right, top, bottom, then the start and end of each strip.
  long strut[12] = {0, 0, PanelHeight, 0, 0, 0, 0, 0, 0, width - 1, 0, 0};
  XChangeProperty(display, panel, atom("_NET_WM_STRUT_PARTIAL"), XA_CARDINAL, 32,
                  PropModeReplace, reinterpret_cast<unsigned char*>(strut), 12);
  XChangeProperty(display, panel, atom("_NET_WM_STRUT"), XA_CARDINAL, 32, PropModeReplace,
                  reinterpret_cast<unsigned char*>(strut), 4);
  // A panel drawing its own frame: mutter would shadow the windows below a
  // dock it frames.
  long noFrame[4] = {0, 0, 0, 0};
  XChangeProperty(display, panel, atom("_GTK_FRAME_EXTENTS"), XA_CARDINAL, 32, PropModeReplace,
                  reinterpret_cast<unsigned char*>(noFrame), 4);
  XMapWindow(display, panel);
  XSync(display, False);
  // The panel lives as long as this connection, the session's.
  const std::string top = ", " + std::to_string(PanelHeight) + ", ";
  return WaitFor(10000, [&] {
    return Run({"xprop", "-root", "_NET_WORKAREA"}).find("= 0" + top) != std::string::npos;
  });
}

XSession::~XSession() {
  managerProcess_.Stop();
  bus_.Stop();
  if (!busPath_.empty()) {
    unlink(busPath_.c_str());
    rmdir(busPath_.substr(0, busPath_.rfind('/')).c_str());
  }
  if (connection_ != nullptr) XCloseDisplay(static_cast<::Display*>(connection_));
  EndServer(serverPid_);
  if (!configPath_.empty()) {
    unlink(configPath_.c_str());
    unlink((configPath_ + ".log").c_str());
    unlink((configPath_ + ".log.old").c_str());
  }
}

std::vector<std::string> XSession::Environment() const {
  std::vector<std::string> env = {"DISPLAY=" + display_, "GDK_BACKEND=x11", "NO_AT_BRIDGE=1"};
  if (!busPath_.empty()) env.push_back("DBUS_SESSION_BUS_ADDRESS=unix:path=" + busPath_);
  return env;
}

std::string XSession::Run(const std::vector<std::string>& argv, int* status) const {
  int fds[2];
  if (pipe(fds) != 0) return "";
  pid_t pid = Spawn(argv, Environment(), "", "", fds[1], -1);
  close(fds[1]);
  std::string out;
  char buffer[4096];
  ssize_t n;
  while ((n = read(fds[0], buffer, sizeof buffer)) > 0)
    out.append(buffer, static_cast<std::size_t>(n));
  close(fds[0]);
  int raw = 0;
  waitpid(pid, &raw, 0);
  if (status != nullptr) *status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  return out;
}

void XSession::Xdotool(const std::vector<std::string>& args) const {
  std::vector<std::string> argv = {"xdotool"};
  argv.insert(argv.end(), args.begin(), args.end());
  Run(argv);
  Sleep(60);
}

unsigned long XSession::WaitForWindow(const std::vector<std::string>& criteria, int timeoutMs,
                                      const std::function<bool()>& keepWaiting) const {
  std::vector<std::string> argv = {"xdotool", "search", "--onlyvisible"};
  argv.insert(argv.end(), criteria.begin(), criteria.end());
  unsigned long id = 0;
  WaitFor(timeoutMs, [&] {
    id = std::strtoul(Run(argv).c_str(), nullptr, 10);
    return id != 0 || (keepWaiting && !keepWaiting());
  });
  return id;
}

WindowInfo XSession::Info(unsigned long window) const {
  WindowInfo info;
  int status = 0;
  std::string out = Run({"xwininfo", "-id", std::to_string(window)}, &status);
  if (status != 0) return info;
  info.found = true;
  auto number = [&](const std::string& label) {
    std::size_t at = out.find(label);
    return at == std::string::npos ? 0 : std::atoi(out.c_str() + at + label.size());
  };
  info.x = number("Absolute upper-left X:");
  info.y = number("Absolute upper-left Y:");
  info.width = number("Width:");
  info.height = number("Height:");
  info.mapped = out.find("Map State: IsViewable") != std::string::npos;
  return info;
}

std::string XSession::Property(unsigned long window, const std::string& name) const {
  return Run({"xprop", "-id", std::to_string(window), name});
}

std::uint32_t XSession::PixelAt(int x, int y) const {
  auto* display = static_cast<::Display*>(connection_);
  if (display == nullptr) return 0;
  XImage* image = XGetImage(display, DefaultRootWindow(display), x, y, 1, 1, AllPlanes, ZPixmap);
  if (image == nullptr) return 0;
  std::uint32_t pixel = static_cast<std::uint32_t>(XGetPixel(image, 0, 0)) & 0xFFFFFFu;
  XDestroyImage(image);
  return pixel;
}

gdi::Surface XSession::Capture() const {
  auto* display = static_cast<::Display*>(connection_);
  if (display == nullptr) return {};
  int width = DisplayWidth(display, DefaultScreen(display));
  int height = DisplayHeight(display, DefaultScreen(display));
  XImage* image =
      XGetImage(display, DefaultRootWindow(display), 0, 0, width, height, AllPlanes, ZPixmap);
  if (image == nullptr) return {};
  gdi::Surface shot(width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      shot.Row(y)[x] =
          0xFF000000u | (static_cast<std::uint32_t>(XGetPixel(image, x, y)) & 0xFFFFFFu);
    }
  }
  XDestroyImage(image);
  return shot;
}

void XSession::SetBackground(std::uint32_t rgb) const {
  auto* display = static_cast<::Display*>(connection_);
  if (display == nullptr) return;
  // The server runs at 24 bits of true colour: a pixel value is the colour.
  XSetWindowBackground(display, DefaultRootWindow(display), rgb & 0xFFFFFFu);
  XClearWindow(display, DefaultRootWindow(display));
  XSync(display, False);
}

void XSession::ResetBackground() const {
  auto* display = static_cast<::Display*>(connection_);
  if (display == nullptr) return;
  // No background pixmap on the root window is the server's default.
  XSetWindowBackgroundPixmap(display, DefaultRootWindow(display), 0);
  XClearWindow(display, DefaultRootWindow(display));
  XSync(display, False);
}

void XSession::Close(unsigned long window) const {
  auto* display = static_cast<::Display*>(connection_);
  if (display == nullptr || window == 0) return;
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
  event.xclient.data.l[1] = CurrentTime;
  XSendEvent(display, window, False, NoEventMask, &event);
  XFlush(display);
}

void XSession::Maximize(unsigned long window) const {
  auto* display = static_cast<::Display*>(connection_);
  if (display == nullptr || window == 0) return;
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = XInternAtom(display, "_NET_WM_STATE", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = 1;  // add
  event.xclient.data.l[1] =
      static_cast<long>(XInternAtom(display, "_NET_WM_STATE_MAXIMIZED_VERT", False));
  event.xclient.data.l[2] =
      static_cast<long>(XInternAtom(display, "_NET_WM_STATE_MAXIMIZED_HORZ", False));
  event.xclient.data.l[3] = 1;  // a normal application
  XSendEvent(display, DefaultRootWindow(display), False,
             SubstructureRedirectMask | SubstructureNotifyMask, &event);
  XFlush(display);
}

namespace {

using SessionKey = std::tuple<WindowManager, int, int, bool, bool>;

std::map<SessionKey, std::unique_ptr<XSession>>& Sessions() {
  static std::map<SessionKey, std::unique_ptr<XSession>> sessions;
  return sessions;
}

class SessionsEnvironment : public ::testing::Environment {
 public:
  void TearDown() override { Sessions().clear(); }
};
const auto* const environment = ::testing::AddGlobalTestEnvironment(new SessionsEnvironment);

}  // namespace

XSession& SharedSession(bool windowManager, const ScreenLayout& layout) {
  return SharedSession(windowManager ? WindowManager::Openbox : WindowManager::Absent, layout, false);
}

XSession& SharedSession(WindowManager manager, const ScreenLayout& layout, bool panel) {
  auto& session = Sessions()[{manager, layout.width, layout.height, layout.twoHeads, panel}];
  if (!session) session = std::make_unique<XSession>(manager, layout, panel);
  return *session;
}

std::vector<pid_t> ProcessesWithEnvironment(const std::string& entry) {
  std::vector<pid_t> found;
  DIR* proc = opendir("/proc");
  if (proc == nullptr) return found;
  while (dirent* item = readdir(proc)) {
    pid_t pid = static_cast<pid_t>(std::atoi(item->d_name));
    if (pid <= 0 || pid == getpid()) continue;
    std::ifstream file(std::string("/proc/") + item->d_name + "/environ", std::ios::binary);
    std::string environ((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::size_t at = 0;
    while (at < environ.size()) {
      std::size_t end = environ.find('\0', at);
      if (end == std::string::npos) end = environ.size();
      if (environ.compare(at, end - at, entry) == 0) {
        found.push_back(pid);
        break;
      }
      at = end + 1;
    }
  }
  closedir(proc);
  return found;
}

}  // namespace functional
