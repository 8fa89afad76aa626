// What the program's main view opens when the user clicks a page's links:
// the program's own pages stay in the view, everything else goes to the
// user's default handler (here a desktop entry that writes down what it is
// given), and the view stays on its page; the hidden sound view stays on
// its page and opens nothing; an iframe's own navigations are its own.
// Files dropped on the view do not open, keys and mouse buttons do not go
// back, the page's script does. Then the web process is killed: once, and
// the pages come back; twice in a row, and a plain page says they stopped.
#include <sys/stat.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "tests/functional/XSession.h"
#include "tests/support/Scenario.h"

namespace functional {
namespace {

// One link at a time covers the whole view, so a click at the window's
// centre is a click on it; each click shows the next. window.open() leaves
// its answer in the last link. The iframe under the links loads from the
// web, and one link is aimed at it.
constexpr const char* LinksPage = R"(<!doctype html><html><head><style>
a { position: fixed; inset: 0; display: block; background: #808080; }
</style></head><body><iframe name="pane" src="https://example.invalid/frame"></iframe><script>
const links = [
  ['https://example.invalid/away', ''],
  ['mailto:someone@example.invalid', ''],
  ['https://example.invalid/blank', '_blank'],
  ['', 'open'],
  ['https://example.invalid/file.zip', 'download'],
  ['https://example.invalid/pane', 'pane'],
  ['inside.html?middle', ''],
  ['', 'script'],
  ['https://example.invalid/form', 'form'],
  ['OUTSIDE', ''],
  ['data.bin', ''],
  ['', 'alert'],
  ['inside.html?opened=', '']];
let step = 0;
let opened = 'untried';
function show() {
  const [href, how] = links[step];
  if (how === 'form') {
    const form = document.createElement('form');
    form.action = href;
    form.innerHTML = '<input name="q" value="x"><button style="position: fixed; inset: 0">';
    form.onsubmit = () => { step += 1; setTimeout(() => { form.remove(); show(); }, 50); };
    document.body.appendChild(form);
    return;
  }
  const a = document.createElement('a');
  a.href = href === '' ? '#' : href + (href.endsWith('opened=') ? opened : '');
  if (how === '_blank' || how === 'pane') a.target = how;
  if (how === 'download') a.download = 'file.zip';
  a.onclick = (event) => {
    if (how === 'open') {
      event.preventDefault();
      opened = String(window.open('https://example.invalid/open') === null);
    }
    if (how === 'script') {
      // Nothing tells the program whose navigation this is until it fails.
      event.preventDefault();
      setTimeout(() => { location.href = 'https://example.invalid/script'; }, 0);
    }
    if (how === 'alert') {
      // The next link is there as soon as the dialog has gone.
      event.preventDefault();
      alert('from ' + location.href);
      step += 1;
      a.remove();
      show();
      return;
    }
    step += 1;
    setTimeout(() => { a.remove(); show(); }, 50);
  };
  // A middle click is no click to the page.
  a.onauxclick = (event) => { if (event.button === 1) a.onclick(event); };
  document.body.appendChild(a);
}
show();
</script></body></html>)";

// The left half takes drops, the right half does not; the key H goes back
// in the view's history.
constexpr const char* InsidePage = R"(<!doctype html><html><body>
<div id="zone" style="position: fixed; left: 0; top: 0; width: 50%; height: 100%"></div>
<p style="margin-left: 60%">inside</p><script>
const zone = document.getElementById('zone');
zone.addEventListener('dragover', (event) => event.preventDefault());
zone.addEventListener('drop', (event) => {
  event.preventDefault();
  location.href = 'inside.html?dropped';
});
addEventListener('keydown', (event) => { if (event.key === 'h') history.back(); });
</script></body></html>)";

std::vector<pid_t> WebProcesses(const std::string& marker) {
  std::vector<pid_t> found;
  for (pid_t pid : ProcessesWithEnvironment(marker)) {
    std::ifstream comm("/proc/" + std::to_string(pid) + "/comm");
    std::string name;
    std::getline(comm, name);
    if (name.rfind("WebKitWebProces", 0) == 0) found.push_back(pid);
  }
  return found;
}

TEST(PageRule, LinksOutsideGoToTheDefaultHandlerAndTheWebProcessComesBackOnce) {
  XSession& x = SharedSession(false);
  ASSERT_TRUE(x.Ready());
  test::TempFolder root("skinshell-pages");
  const std::string folder = root / "program";
  test::CopyTree(test::DistFolder(), folder);
  const std::string outside = root / "note.txt";
  test::WriteFile(outside, "a note\n");
  std::string page = LinksPage;
  page.replace(page.find("OUTSIDE"), 7, "file://" + outside);
  test::WriteFile(folder + "/html/index.html", page);
  test::WriteFile(folder + "/html/inside.html", InsidePage);
  // The hidden sound view tries to leave its page, for another page of the
  // program's and for the web: it stays, and nothing is handed off.
  test::WriteFile(folder + "/html/sound.html",
                  "<!doctype html><script>"
                  "setTimeout(() => { location.href = 'https://example.invalid/sound'; }, 0);"
                  "setTimeout(() => { location.href = 'inside.html?sound'; }, 100);"
                  "</script>");
  test::WriteFile(folder + "/html/data.bin", std::string("\x7F\x01\x02\x00\xFF", 5));

  // The handler: a desktop entry for the web and mail schemes and for text
  // files, the default in the user's own mimeapps.list. For mail it then
  // hangs: the links after it are handed off all the same.
  std::filesystem::create_directories(root / "data/applications");
  std::filesystem::create_directories(root / "config");
  const std::string got = root / "handed.txt";
  const std::string script = root / "record.sh";
  test::WriteFile(script, "#!/bin/sh\nprintf '%s\\n' \"$1\" >> '" + got +
                              "'\ncase \"$1\" in mailto:*) exec sleep 20 </dev/null >/dev/null "
                              "2>&1;; esac\n");
  ::chmod(script.c_str(), 0755);
  test::WriteFile(root / "data/applications/record.desktop",
                  "[Desktop Entry]\nType=Application\nName=Record\nExec=" + script +
                      " %u\nMimeType=x-scheme-handler/http;x-scheme-handler/https;"
                      "x-scheme-handler/mailto;text/plain;text/html;\n");
  test::WriteFile(root / "config/mimeapps.list",
                  "[Default Applications]\nx-scheme-handler/http=record.desktop\n"
                  "x-scheme-handler/https=record.desktop\nx-scheme-handler/mailto=record.desktop\n"
                  "text/plain=record.desktop\ntext/html=record.desktop\n");

  std::vector<std::string> env = x.Environment();
  const std::string marker = "SKINSHELL_PAGE_RULE=" + root.Path();
  env.push_back(marker);
  env.push_back("XDG_DATA_HOME=" + (root / "data"));
  env.push_back("XDG_CONFIG_HOME=" + (root / "config"));
  env.push_back("G_MESSAGES_DEBUG=skinshell");
  env.push_back("ASAN_OPTIONS=detect_leaks=0");
  const std::string log = root / "log.txt";
  Child program({folder + "/skinshell"}, env, folder, log);
  const unsigned long window = x.WaitForWindow({"--pid", std::to_string(program.Pid())}, 20000,
                                               [&] { return program.Running(); });
  ASSERT_NE(window, 0u) << test::ReadFile(log);
  ASSERT_TRUE(WaitFor(20000, [&] { return CountInFile(log, "load finished: file://") >= 2; }))
      << test::ReadFile(log);
  EXPECT_TRUE(WaitFor(5000, [&] {
    return CountInFile(log, "page rule: navigation https://example.invalid/sound -> 2") == 1 &&
           CountInFile(log, "page rule: navigation file://" + folder +
                                "/html/inside.html?sound -> 2") == 1;
  })) << test::ReadFile(log);
  const WindowInfo info = x.Info(window);
  const std::string centreX = std::to_string(info.x + info.width / 2);
  const std::string centreY = std::to_string(info.y + info.height / 2);

  // The link aimed at the iframe hands nothing off: the next line must
  // follow the one before it. A middle click opens even the program's own
  // page outside, and GIO gives a local file by its path.
  const std::pair<const char*, std::string> expected[] = {
      {"1", "https://example.invalid/away\n"},
      {"1", "mailto:someone@example.invalid\n"},
      {"1", "https://example.invalid/blank\n"},
      {"1", "https://example.invalid/open\n"},
      {"1", "https://example.invalid/file.zip\n"},
      {"1", ""},
      {"2", folder + "/html/inside.html\n"},
      {"1", "https://example.invalid/script\n"},
      {"1", "https://example.invalid/form?q=x\n"},
      {"1", outside + "\n"}};
  std::string handed;
  for (const auto& [button, line] : expected) {
    x.Xdotool({"mousemove", centreX, centreY});
    x.Xdotool({"click", button});
    if (line.empty()) continue;
    handed += line;
    EXPECT_TRUE(WaitFor(5000, [&] { return test::ReadFile(got) == handed; }))
        << "waiting for " << line << test::ReadFile(got) << test::ReadFile(log);
    handed = test::ReadFile(got);
  }
  // A file of the program's the view cannot show would be a download:
  // refused, with its line.
  x.Xdotool({"click", "1"});
  EXPECT_TRUE(WaitFor(5000, [&] {
    return CountInFile(log, "skinshell: not opening file://" + folder +
                                "/html/data.bin: the program's own pages are not "
                                "downloaded\n") == 1;
  })) << test::ReadFile(log);
  // A script's alert is titled as the window is, not with the page's
  // address, and closing it lets the page go on.
  x.Xdotool({"click", "1"});
  const auto titled = [&] {
    std::istringstream found(
        x.Run({"xdotool", "search", "--onlyvisible", "--name", "^Skinshell$"}));
    std::vector<unsigned long> ids;
    for (unsigned long id = 0; found >> id;) ids.push_back(id);
    return ids;
  };
  EXPECT_TRUE(WaitFor(5000, [&] {
    const std::vector<unsigned long> ids = titled();
    return ids.size() == 2 && std::find(ids.begin(), ids.end(), window) != ids.end();
  })) << test::ReadFile(log);
  for (unsigned long id : titled()) {
    if (id != window) x.Close(id);
  }
  EXPECT_TRUE(WaitFor(5000, [&] { return titled().size() == 1; }));
  // The own page stays in the view, and window.open() had given null.
  x.Xdotool({"click", "1"});
  EXPECT_TRUE(WaitFor(5000, [&] {
    return CountInFile(log, "load finished: file://" + folder + "/html/inside.html?opened=true") ==
           1;
  })) << test::ReadFile(log);
  // A refused download ends the load it started, which WebKit reports as
  // finished on the page that stayed, and so does the script's navigation
  // stopped when it failed.
  const std::string startPage = "load finished: file://" + folder + "/html/index.html";
  const int started = CountInFile(log, startPage);
  EXPECT_EQ(started, 3);

  // Files dropped beside the page's drop zone open nothing, the program's
  // own page included; on the zone the page takes them.
  int drops = 0;
  const auto drop = [&](const std::string& file, int toX) {
    const std::string shown = root / ("drag-" + std::to_string(++drops) + ".txt");
    Child source(
        {"/usr/bin/python3", test::SourceFolder() + "/tests/functional/drag.py", "file://" + file},
        x.Environment(), "", shown);
    ASSERT_TRUE(WaitFor(10000, [&] { return CountInFile(shown, "ready") == 1; }));
    x.Xdotool({"mousemove", "50", "50"});
    x.Xdotool({"mousedown", "1"});
    for (int step = 1; step <= 5; ++step) {
      x.Xdotool({"mousemove", std::to_string(50 + (toX - 50) * step / 5), centreY});
    }
    x.Xdotool({"mousemove", std::to_string(toX + 3), centreY});
    x.Xdotool({"mouseup", "1"});
    EXPECT_TRUE(WaitFor(5000, [&] { return CountInFile(shown, "dragged") == 1; }));
  };
  const std::string right = std::to_string(info.x + info.width * 3 / 4);
  for (const std::string& file : {folder + "/html/index.html", outside}) {
    drop(file, info.x + info.width * 3 / 4);
    EXPECT_TRUE(WaitFor(5000, [&] {
      return CountInFile(log, "page rule: drop file://" + file + " -> not opened") == 1;
    })) << test::ReadFile(log);
  }
  drop(outside, info.x + info.width / 4);
  EXPECT_TRUE(WaitFor(5000, [&] {
    return CountInFile(log, "load finished: file://" + folder + "/html/inside.html?dropped") == 1;
  })) << test::ReadFile(log);

  // Neither keys nor the mouse's side buttons go back; the page's script
  // does, by one page: to the one before the drop, not further.
  x.Xdotool({"mousemove", right, centreY});
  x.Xdotool({"click", "1"});
  for (const char* key : {"BackSpace", "alt+Left", "XF86Back", "alt+Right"})
    x.Xdotool({"key", key});
  x.Xdotool({"click", "8"});
  x.Xdotool({"click", "9"});
  x.Xdotool({"key", "h"});
  EXPECT_TRUE(WaitFor(5000, [&] {
    return CountInFile(log, "load finished: file://" + folder + "/html/inside.html?opened=true") ==
           2;
  })) << test::ReadFile(log);
  EXPECT_EQ(CountInFile(log, startPage), started);
  EXPECT_EQ(test::ReadFile(got), handed);

  // The web process ends: the pages load again, and one line says why.
  std::vector<pid_t> web = WebProcesses(marker);
  ASSERT_EQ(web.size(), 1u) << test::ReadFile(log);
  ::kill(web.front(), SIGKILL);
  EXPECT_TRUE(WaitFor(10000, [&] {
    return CountInFile(log, startPage) == started + 1 &&
           CountInFile(log, "load finished: file://" + folder + "/html/sound.html") == 2;
  })) << test::ReadFile(log);
  EXPECT_EQ(CountInFile(log, "skinshell: the pages' web process ended (it crashed); loading the "
                             "pages again\n"),
            1);
  // Again at once: a plain page rather than a loop.
  web = WebProcesses(marker);
  ASSERT_EQ(web.size(), 1u) << test::ReadFile(log);
  ::kill(web.front(), SIGKILL);
  EXPECT_TRUE(WaitFor(10000, [&] { return CountInFile(log, "load finished: about:blank") == 1; }))
      << test::ReadFile(log);
  EXPECT_EQ(CountInFile(log, "skinshell: the pages' web process ended again (it crashed); not "
                             "loading the pages once more\n"),
            1);
  EXPECT_EQ(CountInFile(log, startPage), started + 1);
  // Nothing else was said: every hand-off found its handler.
  std::string said;
  std::ifstream lines(log);
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind("skinshell: ", 0) == 0) said += line + "\n";
  }
  EXPECT_EQ(CountInFile(log, "skinshell: "), 3) << said;
  program.Stop();
}

}  // namespace
}  // namespace functional
